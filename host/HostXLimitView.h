#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

#include "HostExport.h"
#include "hostapi/ICustomControl.h"
#include "hostapi/LimitView.h"

class QTableWidget;

namespace orvex {

// The host's limit editor control ("OrvexView.XLimitView"): one table row per measurement key
// with its description, a list of the units it may be shown in and a list of the choices for its
// limits (units with "%", or the limit operations).
class ORVEX_HOST_EXPORT HostXLimitView : public QWidget, public ICustomControl, public LimitView {
    Q_OBJECT

public:
    // Table columns.
    enum Column { kKeyColumn, kDescriptionColumn, kUnitColumn, kChoiceColumn, kColumnCount };

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

    std::shared_ptr<ControlCallBack> CallBack() const override { return m_callBack; }
    void SetCallBack(std::shared_ptr<ControlCallBack> callBack) override;
    QWidget* hWnd() const override;
    bool Visible() const override { return !isHidden(); }
    void SetVisible(bool visible) override { setVisible(visible); }
    bool Locked() const override { return m_locked; }
    void SetLocked(bool locked) override;
    // The rows come from AddLimit alone: the data (the limit record) adds nothing to show.
    void Initialize(const Variant& data) override;
    void Refresh() override;
    void SetFocus() override;

private:
    QTableWidget* m_table;
    std::vector<Row> m_rows;
    std::shared_ptr<ControlCallBack> m_callBack;
    bool m_locked = false;
};

}  // namespace orvex
