#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

#include "host/platform/HostExport.h"
#include "hostapi/ICustomControl.h"
#include "hostapi/LimitView.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace orvex {

class ILimitData;
class LimitEntry;
class Standard;

// The host's limit editor control ("OrvexView.XLimitView"). The plug-in adds one row per
// measurement key with the units and limit choices it allows (AddLimit); Initialize with a limit
// record (ILimitData) binds the rows to the entries of one of its standards, picked above the
// table. Per row: key, description, high and low limit (a check box for "checked" and the
// number), how the limit is meant ("Limit as": an operation, or a unit or "%") and the entry's
// unit. Every edit goes straight into the entry and is reported as "Change" with the entry
// through the call-back. Limit sets are added (short and full name) and removed beside the picker;
// a typed limit that is no number is refused aloud under the table.
class ORVEX_HOST_EXPORT HostXLimitView : public QWidget, public ICustomControl, public LimitView {
    Q_OBJECT

public:
    enum Column {
        kKeyColumn,
        kDescriptionColumn,
        kHighColumn,
        kLowColumn,
        kChoiceColumn,
        kUnitColumn,
        kColumnCount
    };

    struct Row {
        QString key;
        QString description;
        QStringList units;
        QStringList choices;
        bool choicesAreOperations = false;
    };

    explicit HostXLimitView(QWidget* parent = nullptr);

    void AddLimit(const QString& key, const QString& description, const QString& units,
                  const QString& choices) override;
    const std::vector<Row>& Rows() const { return m_rows; }
    QTableWidget* Table() const { return m_table; }
    QComboBox* StandardBox() const { return m_standardBox; }
    QLabel* StatusLabel() const { return m_status; }
    // A new standard of the limit record with these names, picked; false (told under the table)
    // for an empty or taken short name, or without a limit record.
    bool AddStandard(const QString& alphaName, const QString& completeName);
    // Takes the picked standard out of the limit record; false when there is none.
    bool RemoveCurrentStandard();
    // The standard whose limits the rows show; none without a limit record or standards.
    std::shared_ptr<Standard> CurrentStandard() const;

    std::shared_ptr<ControlCallBack> CallBack() const override { return m_callBack; }
    void SetCallBack(std::shared_ptr<ControlCallBack> callBack) override;
    QWidget* hWnd() const override;
    bool Visible() const override { return !isHidden(); }
    void SetVisible(bool visible) override { setVisible(visible); }
    bool Locked() const override { return m_locked; }
    void SetLocked(bool locked) override;
    // data: the limit record whose standards are edited (held weakly: the record owns its editor);
    // anything else leaves the rows without limits. The standard picked before stays picked.
    void Initialize(const Variant& data) override;
    // Shows the entries' current values again.
    void Refresh() override;
    void SetFocus() override;
    // Wide enough for every column, so that a dialog made to fit it shows the units too.
    QSize sizeHint() const override;

protected:
    // An Escape at a row's drop-down ends the choice there; it does not close the editor (the
    // limit record sends one after it converts its limits into a chosen unit).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The first entry of the picked standard with the row's key.
    std::shared_ptr<LimitEntry> EntryOf(int row) const;
    void FillStandards();
    void ShowRows();
    void ShowRow(int row);
    void OnItemChanged(QTableWidgetItem* item);
    void OnChoiceChosen(int row, const QString& choice);
    void OnUnitChosen(int row, const QString& unit);
    void RaiseChange(const std::shared_ptr<LimitEntry>& entry);
    void AskForStandard();
    void AskToRemoveStandard();

    QComboBox* m_standardBox;
    QPushButton* m_addButton;
    QPushButton* m_removeButton;
    QLabel* m_status;
    QTableWidget* m_table;
    std::vector<Row> m_rows;
    std::weak_ptr<ILimitData> m_data;
    std::shared_ptr<ControlCallBack> m_callBack;
    bool m_locked = false;
    // Set while the view writes its own cells, so that only the user's edits count.
    bool m_showing = false;
};

}  // namespace orvex
