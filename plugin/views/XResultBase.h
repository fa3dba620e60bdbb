#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "hostapi/ICustomControl.h"
#include "hostapi/Variant.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/PlugInExport.h"
#include "plugin/views/IKorotkaResultView.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvex {
class IMeasurement;
class IMeasurement2;
class Standard;
class StandardList;
}  // namespace orvex

namespace korotka {

class CMeasurement;

// What the two result views share: a table with one row per measurement of the running test,
// its limit columns for a chosen standard, and an edit box floating over the value cell in which
// the technician types the reading of the equipment under test. Rows are addressed by the
// measurement's key, cells by their column's key. The views differ in their columns, in how a
// measurement is shown, in the row the edit box opens on and in when the Next button may go on.
//
// Nothing here reports an error to its caller: a step that fails is logged and left out, and a
// cell it should have written keeps its text. Every typed key goes into the edit box; a text that
// is no number of the user's locale, or lies beyond any reading, is refused aloud: a note under
// the box says why and which range it takes, the record and its cell keep the value they had when
// the box opened, Next stays off and Enter leaves the box open.
class KOROTKA_PLUGIN_EXPORT XResultBase : public QWidget,
                                          public orvex::ICustomControl,
                                          public IKorotkaResultView {
    Q_OBJECT

public:
    // Keys of the cells both views have.
    static inline const QString kValueKey = QStringLiteral("val");
    static inline const QString kHighKey = QStringLiteral("hi");
    static inline const QString kLowKey = QStringLiteral("lo");
    // What an empty cell shows.
    static inline const QString kBlank = QStringLiteral(" ");
    // The characters of a number; any other typed character is also told to the container as
    // "KeyPress", and goes into the box, which then refuses its text.
    static inline const QString kAcceptedCharacters = QStringLiteral("0123456789,.-+\b");

    std::shared_ptr<orvex::ControlCallBack> CallBack() const override;
    void SetCallBack(std::shared_ptr<orvex::ControlCallBack> callBack) override;
    QWidget* hWnd() const override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    bool Locked() const override;
    void SetLocked(bool locked) override;
    void Initialize(const orvex::Variant& data) override;
    void Refresh() override;
    void SetFocus() override;

    void Limits(const std::shared_ptr<orvex::ILimitData>& limits) override;
    void Clear() override;
    void ShowStandard(const QString& sAlphaName, const QString& sCompleteName, bool flag) override;
    void ShowTestResult(const std::shared_ptr<orvex::IResultData>& result) override;
    void StartEditing() override;
    void StopEditing() override;
    void StoreConfiguration(const std::shared_ptr<orvex::IUnknown>& configuration) override;

protected:
    struct Column {
        QString literal;  // the header text
        QString key;      // empty for the row's own text
        int32_t widthTwips;
        Qt::Alignment alignment;
    };

    explicit XResultBase(const std::vector<Column>& columns, QWidget* parent);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Writes the measurement into its row.
    virtual void ShowMeasurement(QTreeWidgetItem& row,
                                 const std::shared_ptr<orvex::IMeasurement>& measurement) = 0;
    // The row the edit box opens on; none leaves the box as it is.
    virtual QTreeWidgetItem* EditRow() = 0;
    // Whether a click at this height (twips, list coordinates) lies on a row the technician types into.
    virtual bool IsEditableHeight(int32_t y) const = 0;
    // Enter or Tab in the edit box.
    virtual void EditDone() = 0;
    // After a typed reading (none: the box was emptied) went into its row.
    virtual void ValueTyped(const std::optional<float>& /*value*/) {}
    // Raises "EnableNextButton" as the recorded values allow.
    virtual void ApplyNextButtonRule() = 0;

    QTreeWidget* List() const { return m_lvwResult; }
    bool Editing() const { return m_editing; }

    QTreeWidgetItem* FindRow(const QString& key) const;
    QTreeWidgetItem* SelectedRow() const;
    // Selects the first row and returns it; none in an empty list.
    QTreeWidgetItem* SelectFirstRow();
    static QString RowKey(const QTreeWidgetItem& row);
    // The measurement value a row last showed (XResultView's record of what it drew).
    static orvex::Variant RowTag(const QTreeWidgetItem& row);
    static void SetRowTag(QTreeWidgetItem& row, const orvex::Variant& tag);
    QString CellText(const QTreeWidgetItem& row, const QString& key) const;
    // A key the view has no column of leaves the row as it is.
    void SetCell(QTreeWidgetItem& row, const QString& key, const QString& text) const;
    void SetHeaderText(const QString& key, const QString& text) const;
    // Dark red and bold for a failed measurement, window text otherwise; true when the row changed.
    bool ColourByStatus(QTreeWidgetItem& row, int32_t status) const;
    // Top and height of the row in twips, list coordinates.
    void RowSpan(const QTreeWidgetItem& row, int32_t& top, int32_t& height) const;

    // The measurement of the key in the shown result; none when there is none.
    std::shared_ptr<orvex::IMeasurement> MeasurementOf(const QString& key) const;
    std::shared_ptr<CMeasurement> TypedMeasurementOf(const QString& key) const;

    // Opens the edit box over the cell at left and width (twips); negative ones mean the value column.
    void OpenEditBox(int32_t left, int32_t width);
    void HideEditBox();

    void EnableNextButton(bool enable);
    // Whether the cell shows a recorded value: a typed or shown value always carries its unit.
    static bool IsRecorded(const QString& cellText) { return cellText.size() >= 2; }
    // The value in the format with the unit after a blank; one blank when the value gives no text.
    // Raises what the host's formatter raises.
    static QString DisplayText(const orvex::Variant& value, const QString& format, const QString& unit);

private:
    void BuildColumns(const std::vector<Column>& columns);
    QTreeWidgetItem* AddRow(const QString& key, const QString& text);
    int ColumnOf(const QString& key) const;
    // The value column's left and width in twips, list coordinates; false without that column.
    bool ValueColumnSpan(int32_t& left, int32_t& width) const;
    void ShowLimit(QTreeWidgetItem& row, const QString& key, orvex::IMeasurement2& measurement,
                   const std::shared_ptr<orvex::Standard>& standard, int32_t position, int32_t options) const;

    void ListMouseDown(const QMouseEvent& event);
    void ItemClicked();
    // A key typed into the edit box; true when it is swallowed (Enter and Tab).
    bool EditKeyPressed(const QKeyEvent& event);
    void EditTextChanged();
    // Whether the box's text was taken (an emptied box is).
    bool TakeReading(QTreeWidgetItem& row, CMeasurement& measurement);
    // The refusal note under the edit box, or above it where the list ends.
    void PlaceNote();
    // How far from 0 a reading in the unit (its text) may lie.
    static float FarthestReading(const QString& unit);
    void RaiseEvent(const QString& name, orvex::VariantArray parameters);

    QTreeWidget* m_lvwResult;
    QLineEdit* m_txtEdit;
    QLabel* m_lblRefusal;
    std::vector<QString> m_columnKeys;
    std::shared_ptr<orvex::ControlCallBack> m_callBack;
    std::shared_ptr<orvex::StandardList> m_standards;
    std::shared_ptr<orvex::IResultData> m_result;
    bool m_editing = false;
    // Set while the view itself writes into the edit box, which is then no typing.
    bool m_suppress = false;
    // The reading of the edit box's row, and its cell's text, when the box opened.
    orvex::Variant m_valueBeforeEdit;
    QString m_cellBeforeEdit;
    // The last left-button mouse-down on the list, in twips.
    int32_t m_lastX = 0;
    int32_t m_lastY = 0;
};

}  // namespace korotka
