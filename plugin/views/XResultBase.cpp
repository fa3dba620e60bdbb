#include "XResultBase.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTreeWidget>
#include <algorithm>
#include <utility>

#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/GuideWindowNames.h"
#include "hostapi/HostServices.h"
#include "hostapi/ILimitData.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IMeasurement2.h"
#include "hostapi/IResultData.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/StandardList.h"
#include "hostapi/ValueFormatter.h"
#include "plugin/base/CFlagGuard.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/MLocale.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/dialogs/MNumberEntry.h"
#include "plugin/dialogs/MSafeHandler.h"
#include "plugin/dialogs/MViewUtils.h"
#include "plugin/measure/CMeasurement.h"
#include "plugin/units/MConversions.h"

namespace korotka {

using orvex::Variant;
using orvex::VariantArray;

namespace {

// What a row holds besides its texts (column 0).
constexpr int kKeyRole = orvex::GuideWindowNames::kRowKeyRole;
constexpr int kColourRole = kKeyRole + 1;
constexpr int kTagRole = kKeyRole + 2;

// The edit box sits inside the cell's grid lines.
constexpr int32_t kEditInsetX = 30;
constexpr int32_t kEditInsetY = 15;

// No gauge or monitor under test shows a reading beyond this either way (in any unit, converted
// from mmHg; heart rates in beats per minute): more is a typing error, not a reading.
constexpr float kFarthestReadingMmHg = 1000.0F;

// Mouse buttons and shift keys as the container counts them.
constexpr int16_t kLeftButton = 1;
constexpr int16_t kRightButton = 2;
constexpr int16_t kMiddleButton = 4;
constexpr int16_t kShiftMask = 1;
constexpr int16_t kCtrlMask = 2;
constexpr int16_t kAltMask = 4;

int16_t ButtonOf(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return kLeftButton;
        case Qt::RightButton:
            return kRightButton;
        case Qt::MiddleButton:
            return kMiddleButton;
        default:
            return 0;
    }
}

// A column at least as wide as its heading: a German heading is longer than the width laid out
// for the English one, and a cut heading ("ngezeigter Wert") names nothing.
void FitHeading(QTreeWidget& list, int column) {
    list.setColumnWidth(column, std::max(list.columnWidth(column), list.header()->sectionSizeHint(column)));
}

int16_t ShiftOf(Qt::KeyboardModifiers modifiers) {
    int16_t shift = 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) shift |= kShiftMask;
    if (modifiers.testFlag(Qt::ControlModifier)) shift |= kCtrlMask;
    if (modifiers.testFlag(Qt::AltModifier)) shift |= kAltMask;
    return shift;
}

}  // namespace

XResultBase::XResultBase(const std::vector<Column>& columns, QWidget* parent)
    : QWidget(parent),
      m_lvwResult(new QTreeWidget(this)),
      m_txtEdit(new QLineEdit(m_lvwResult)),
      m_lblRefusal(MNumberEntry::NewNote(m_lvwResult)) {
    m_lvwResult->setObjectName(orvex::GuideWindowNames::kResultList);
    m_lvwResult->setRootIsDecorated(false);
    m_lvwResult->setItemsExpandable(false);
    m_lvwResult->setUniformRowHeights(true);
    m_lvwResult->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lvwResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lvwResult->header()->setSectionsClickable(true);
    m_lvwResult->header()->setStretchLastSection(false);
    m_txtEdit->setObjectName(orvex::GuideWindowNames::kEditBox);
    m_txtEdit->setFrame(false);
    m_txtEdit->hide();
    // The note floats over the rows: it has the tool-tip's ground and a frame to stand out.
    m_lblRefusal->setAutoFillBackground(true);
    m_lblRefusal->setBackgroundRole(QPalette::ToolTipBase);
    m_lblRefusal->setFrameShape(QFrame::Box);
    m_lblRefusal->setMargin(2);
    BuildColumns(columns);
    MLanguage::TranslateCaptions(this);

    m_lvwResult->viewport()->installEventFilter(this);
    m_txtEdit->installEventFilter(this);
    connect(m_lvwResult->header(), &QHeaderView::sectionClicked, this,
            MSafeHandler::Guarded("a click on a column header", [this] { HideEditBox(); }));
    connect(m_lvwResult, &QTreeWidget::itemClicked, this,
            MSafeHandler::Guarded("a click on a result row", [this] { ItemClicked(); }));
    connect(m_txtEdit, &QLineEdit::textChanged, this,
            MSafeHandler::Guarded("typing a reading", [this] { EditTextChanged(); }));
    EnableNextButton(false);
}

void XResultBase::BuildColumns(const std::vector<Column>& columns) {
    m_lvwResult->hide();
    m_lvwResult->setColumnCount(static_cast<int>(columns.size()));
    QTreeWidgetItem* header = m_lvwResult->headerItem();
    for (size_t i = 0; i < columns.size(); ++i) {
        const int column = static_cast<int>(i);
        header->setText(column, MLanguage::TranslatedOrPlain(columns[i].literal));
        header->setTextAlignment(column, columns[i].alignment | Qt::AlignVCenter);
        m_lvwResult->setColumnWidth(column, MViewUtils::ToPixels(columns[i].widthTwips));
        FitHeading(*m_lvwResult, column);
        m_columnKeys.push_back(columns[i].key);
    }
    m_lvwResult->show();
}

std::shared_ptr<orvex::ControlCallBack> XResultBase::CallBack() const { return m_callBack; }

void XResultBase::SetCallBack(std::shared_ptr<orvex::ControlCallBack> callBack) {
    m_callBack = std::move(callBack);
}

QWidget* XResultBase::hWnd() const { return const_cast<XResultBase*>(this); }

bool XResultBase::Visible() const { return !isHidden(); }

void XResultBase::SetVisible(bool visible) { setVisible(visible); }

// The technician types into the views only while the test guide lets him.
bool XResultBase::Locked() const { return false; }

void XResultBase::SetLocked(bool) {}

void XResultBase::Initialize(const Variant&) {}

void XResultBase::Refresh() { m_lvwResult->viewport()->repaint(); }

void XResultBase::SetFocus() {
    if (m_txtEdit->isVisible()) {
        m_txtEdit->setFocus();
    } else {
        m_lvwResult->setFocus();
    }
}

void XResultBase::Limits(const std::shared_ptr<orvex::ILimitData>& limits) {
    m_standards.reset();
    if (!limits) return;
    try {
        m_standards = limits->Standards();
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "the result view has no standards to show: %s", error.what());
    }
}

void XResultBase::Clear() { m_lvwResult->clear(); }

void XResultBase::ShowStandard(const QString& sAlphaName, const QString& sCompleteName, bool flag) {
    if (!m_standards) return;
    std::shared_ptr<orvex::Standard> standard;
    try {
        standard = m_standards->Find(sAlphaName, sCompleteName);
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "the standard to show could not be looked up: %s", error.what());
    }
    if (!standard) return;
    int32_t options = orvex::IMeasurement2::kAsText | orvex::IMeasurement2::kWithUnit;
    if (flag) options |= orvex::IMeasurement2::kEvaluateCalculated;
    for (int i = 0; i < m_lvwResult->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = m_lvwResult->topLevelItem(i);
        const QString key = RowKey(*row);
        if (key.isEmpty()) continue;
        const auto measurement = std::dynamic_pointer_cast<orvex::IMeasurement2>(MeasurementOf(key));
        if (!measurement) continue;
        ShowLimit(*row, kHighKey, *measurement, standard, orvex::LimitEntry::kHigh, options);
        ShowLimit(*row, kLowKey, *measurement, standard, orvex::LimitEntry::kLow, options);
        for (const QString& cell : {kHighKey, kLowKey}) {
            const int column = ColumnOf(cell);
            if (column >= 0) row->setToolTip(column, sCompleteName);
        }
    }
}

void XResultBase::ShowLimit(QTreeWidgetItem& row, const QString& key, orvex::IMeasurement2& measurement,
                            const std::shared_ptr<orvex::Standard>& standard, int32_t position,
                            int32_t options) const {
    try {
        const Variant limit = measurement.GetLimitValue(standard, position, options);
        SetCell(row, key, limit.IsEmpty() ? kBlank : limit.ToString());
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "a limit cell keeps its text: %s", error.what());
    }
}

void XResultBase::ShowTestResult(const std::shared_ptr<orvex::IResultData>& result) {
    m_result = result;
    if (!result) return;
    int32_t count = 0;
    try {
        count = result->MeasurementCount();
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "the result's measurements could not be counted: %s", error.what());
    }
    for (int32_t i = 1; i <= count; ++i) {
        try {
            const auto measurement = result->Measurement(Variant(i));
            if (!measurement) continue;
            const QString key = measurement->Key();
            QTreeWidgetItem* row = FindRow(key);
            if (row == nullptr) row = AddRow(key, measurement->Description());
            ShowMeasurement(*row, measurement);
        } catch (const orvex::ComError& error) {
            qCDebug(lcPlugIn, "a measurement could not be shown: %s", error.what());
        }
    }
}

void XResultBase::StartEditing() {
    SelectFirstRow();
    m_editing = true;
    OpenEditBox(-1, -1);
}

void XResultBase::StopEditing() { m_editing = false; }

void XResultBase::StoreConfiguration(const std::shared_ptr<orvex::IUnknown>&) {}

bool XResultBase::eventFilter(QObject* watched, QEvent* event) {
    bool swallowed = false;
    MSafeHandler::Run("the result view's handling of an event", [&] {
        if (watched == m_lvwResult->viewport() && event->type() == QEvent::MouseButtonPress) {
            ListMouseDown(*static_cast<QMouseEvent*>(event));
        } else if (watched == m_txtEdit && event->type() == QEvent::FocusIn) {
            m_txtEdit->selectAll();
        } else if (watched == m_txtEdit && event->type() == QEvent::KeyPress) {
            swallowed = EditKeyPressed(*static_cast<QKeyEvent*>(event));
        }
    });
    return swallowed || QWidget::eventFilter(watched, event);
}

void XResultBase::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_lvwResult->setGeometry(0, 0, width(), height());
}

QTreeWidgetItem* XResultBase::FindRow(const QString& key) const {
    for (int i = 0; i < m_lvwResult->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = m_lvwResult->topLevelItem(i);
        if (RowKey(*row) == key) return row;
    }
    return nullptr;
}

QTreeWidgetItem* XResultBase::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = m_lvwResult->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

QTreeWidgetItem* XResultBase::SelectFirstRow() {
    QTreeWidgetItem* first = m_lvwResult->topLevelItem(0);
    if (first != nullptr) m_lvwResult->setCurrentItem(first);
    return first;
}

QString XResultBase::RowKey(const QTreeWidgetItem& row) { return row.data(0, kKeyRole).toString(); }

Variant XResultBase::RowTag(const QTreeWidgetItem& row) {
    const QVariant tag = row.data(0, kTagRole);
    return tag.isValid() ? tag.value<Variant>() : Variant();
}

void XResultBase::SetRowTag(QTreeWidgetItem& row, const Variant& tag) {
    row.setData(0, kTagRole, QVariant::fromValue(tag));
}

QTreeWidgetItem* XResultBase::AddRow(const QString& key, const QString& text) {
    auto* row = new QTreeWidgetItem(m_lvwResult);
    row->setText(0, text);
    row->setData(0, kKeyRole, key);
    // What every row starts with, so that only a change of colour redraws it.
    row->setData(0, kColourRole, MViewUtils::kColourWindowText);
    const QBrush foreground(MViewUtils::ToColor(MViewUtils::kColourWindowText, m_lvwResult->palette()));
    QTreeWidgetItem* header = m_lvwResult->headerItem();
    for (int column = 0; column < m_lvwResult->columnCount(); ++column) {
        if (column > 0) row->setText(column, kBlank);
        row->setTextAlignment(column, Qt::Alignment::fromInt(header->textAlignment(column)));
        row->setForeground(column, foreground);
    }
    return row;
}

int XResultBase::ColumnOf(const QString& key) const {
    const auto found = std::find(m_columnKeys.begin(), m_columnKeys.end(), key);
    return found == m_columnKeys.end() ? -1 : static_cast<int>(found - m_columnKeys.begin());
}

QString XResultBase::CellText(const QTreeWidgetItem& row, const QString& key) const {
    const int column = ColumnOf(key);
    return column < 0 ? QString() : row.text(column);
}

void XResultBase::SetCell(QTreeWidgetItem& row, const QString& key, const QString& text) const {
    const int column = ColumnOf(key);
    if (column >= 0) row.setText(column, text);
}

void XResultBase::SetHeaderText(const QString& key, const QString& text) const {
    const int column = ColumnOf(key);
    if (column < 0) return;
    m_lvwResult->headerItem()->setText(column, text);
    FitHeading(*m_lvwResult, column);
}

bool XResultBase::ColourByStatus(QTreeWidgetItem& row, int32_t status) const {
    const bool failed = status == CMeasurement::kFailed;
    const uint32_t colour = failed ? MViewUtils::kColourDarkRed : MViewUtils::kColourWindowText;
    if (row.data(0, kColourRole).toUInt() == colour) return false;
    row.setData(0, kColourRole, colour);
    const QBrush foreground(MViewUtils::ToColor(colour, m_lvwResult->palette()));
    for (int column = 0; column < m_lvwResult->columnCount(); ++column) {
        row.setForeground(column, foreground);
        QFont font = row.font(column);
        font.setBold(failed);
        row.setFont(column, font);
    }
    return true;
}

void XResultBase::RowSpan(const QTreeWidgetItem& row, int32_t& top, int32_t& height) const {
    const QRect rect = m_lvwResult->visualItemRect(&row);
    top = MViewUtils::ToTwips(m_lvwResult->viewport()->geometry().top() + rect.top());
    height = MViewUtils::ToTwips(rect.height());
}

bool XResultBase::ValueColumnSpan(int32_t& left, int32_t& width) const {
    const int column = ColumnOf(kValueKey);
    if (column < 0) return false;
    const QHeaderView* header = m_lvwResult->header();
    left = MViewUtils::ToTwips(m_lvwResult->viewport()->geometry().left() +
                               header->sectionViewportPosition(column));
    width = MViewUtils::ToTwips(header->sectionSize(column));
    return true;
}

std::shared_ptr<orvex::IMeasurement> XResultBase::MeasurementOf(const QString& key) const {
    if (!m_result) return nullptr;
    try {
        return m_result->Measurement(Variant(key));
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "the result has no measurement to show: %s", error.what());
        return nullptr;
    }
}

std::shared_ptr<CMeasurement> XResultBase::TypedMeasurementOf(const QString& key) const {
    return std::dynamic_pointer_cast<CMeasurement>(MeasurementOf(key));
}

void XResultBase::OpenEditBox(int32_t left, int32_t width) {
    if (!m_editing) return;
    if (left < 0 && !ValueColumnSpan(left, width)) return;
    QTreeWidgetItem* row = EditRow();
    if (row == nullptr) return;
    int32_t top = 0;
    int32_t height = 0;
    RowSpan(*row, top, height);
    // The unit stays out of the box: what is typed is the number alone.
    QString text = CellText(*row, kValueKey);
    text.truncate(text.indexOf(QLatin1Char(' ')) < 0 ? text.size() : text.indexOf(QLatin1Char(' ')));
    const CFlagGuard suppress(m_suppress);
    const auto measurement = TypedMeasurementOf(RowKey(*row));
    m_cellBeforeEdit = CellText(*row, kValueKey);
    m_valueBeforeEdit = Variant();
    if (measurement) {
        MSafeHandler::Run("keeping the reading before the edit",
                          [&] { m_valueBeforeEdit = measurement->GetValue(); });
    }
    m_txtEdit->setGeometry(MViewUtils::ToPixels(left + kEditInsetX), MViewUtils::ToPixels(top + kEditInsetY),
                           std::max(0, MViewUtils::ToPixels(width - kEditInsetX)),
                           std::max(0, MViewUtils::ToPixels(height - kEditInsetY)));
    m_txtEdit->setText(text);
    // What a row shows was taken; the box tells what the row's reading may be.
    MNumberEntry::ShowRefusal(*m_txtEdit, m_lblRefusal, QString());
    if (measurement) {
        MSafeHandler::Run("telling the range of a reading", [&] {
            const QString unit = MConversions::ShownUnitText(measurement->GetUnit());
            const float farthest = FarthestReading(unit);
            m_txtEdit->setToolTip(MNumberEntry::RangeText(-farthest, farthest, unit));
        });
    }
    m_txtEdit->show();
    m_txtEdit->raise();
    m_txtEdit->setFocus();
}

void XResultBase::HideEditBox() {
    m_txtEdit->hide();
    m_lblRefusal->hide();
}

void XResultBase::PlaceNote() {
    if (m_lblRefusal->isHidden()) return;
    const QRect box = m_txtEdit->geometry();
    const int room = m_lvwResult->width();
    // On one line where the list has room: a wrapped label would only ask for a narrow column.
    const int oneLine = m_lblRefusal->fontMetrics().horizontalAdvance(m_lblRefusal->text()) +
                        2 * (m_lblRefusal->margin() + m_lblRefusal->frameWidth()) + 1;
    const int width = std::min(room, std::max(box.width(), oneLine));
    const int wrapped = m_lblRefusal->heightForWidth(width);
    const int height = wrapped > 0 ? wrapped : m_lblRefusal->sizeHint().height();
    const int left = std::max(0, std::min(box.left(), room - width));
    const bool below = box.bottom() + 1 + height <= m_lvwResult->height();
    m_lblRefusal->setGeometry(left, below ? box.bottom() + 1 : std::max(0, box.top() - height), width,
                              height);
    m_lblRefusal->raise();
}

void XResultBase::ListMouseDown(const QMouseEvent& event) {
    HideEditBox();
    const QPoint point = m_lvwResult->viewport()->geometry().topLeft() + event.position().toPoint();
    const int32_t x = MViewUtils::ToTwips(point.x());
    const int32_t y = MViewUtils::ToTwips(point.y());
    if (event.button() == Qt::LeftButton) {
        m_lastX = x;
        m_lastY = y;
    }
    RaiseEvent(QStringLiteral("MouseDown"),
               VariantArray::FromList({Variant(ButtonOf(event.button())), Variant(ShiftOf(event.modifiers())),
                                       Variant(static_cast<float>(x)), Variant(static_cast<float>(y))}));
}

// Qt reports an item click on the button's release, after the mouse-down that stored the point.
void XResultBase::ItemClicked() {
    int32_t left = 0;
    int32_t width = 0;
    if (!ValueColumnSpan(left, width)) return;
    if (m_lastX >= left && m_lastX <= left + width && IsEditableHeight(m_lastY)) OpenEditBox(left, width);
}

bool XResultBase::EditKeyPressed(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter || event.key() == Qt::Key_Tab) {
        // A refused text stays in front of the technician with its note until it is mended.
        if (m_lblRefusal->isHidden()) EditDone();
        return true;
    }
    for (const QChar character : event.text()) {
        if (!kAcceptedCharacters.contains(character)) {
            RaiseEvent(QStringLiteral("KeyPress"),
                       VariantArray::FromList({Variant(static_cast<int16_t>(character.unicode()))}));
        }
    }
    return false;
}

void XResultBase::EditTextChanged() {
    if (m_suppress) return;
    QTreeWidgetItem* row = SelectedRow();
    const auto measurement = row != nullptr ? TypedMeasurementOf(RowKey(*row)) : nullptr;
    bool taken = true;
    if (measurement) {
        MSafeHandler::Run("taking a typed reading", [&] { taken = TakeReading(*row, *measurement); });
    }
    ApplyNextButtonRule();
    // Next would store the reading from before while the box shows a refused one.
    if (!taken) EnableNextButton(false);
}

// An emptied box clears the reading. While the box refuses its text the reading and its cell are
// what they were when the box opened: a number typed on into one refused ("1" of "1,000") is not
// kept, and the row shows no reading that the box does not show.
bool XResultBase::TakeReading(QTreeWidgetItem& row, CMeasurement& measurement) {
    const QString text = m_txtEdit->text();
    if (text.isEmpty()) {
        MNumberEntry::ShowRefusal(*m_txtEdit, m_lblRefusal, QString());
        measurement.SetValue(Variant());
        SetCell(row, kValueKey, QString());
        ValueTyped(std::nullopt);
        return true;
    }
    const QString unit = MConversions::ShownUnitText(measurement.GetUnit());
    const float farthest = FarthestReading(unit);
    const MNumberEntry::Judged judged = MNumberEntry::Judge(text, -farthest, farthest, unit);
    MNumberEntry::ShowRefusal(*m_txtEdit, m_lblRefusal, judged.refusal);
    PlaceNote();
    if (!judged.value) {
        measurement.SetValue(m_valueBeforeEdit);
        SetCell(row, kValueKey, m_cellBeforeEdit);
        const bool none = m_valueBeforeEdit.IsEmpty() || m_valueBeforeEdit.IsNull();
        ValueTyped(none ? std::nullopt : std::optional<float>(m_valueBeforeEdit.ToSingle()));
        return false;
    }
    measurement.SetValue(Variant(*judged.value));
    // As it can be typed back: the box opens with the cell's number.
    SetCell(row, kValueKey, MLocale::PlainText(*judged.value) + QLatin1Char(' ') + unit);
    ValueTyped(judged.value);
    return true;
}

float XResultBase::FarthestReading(const QString& unit) {
    return MConversions::ConvertUnits(kFarthestReadingMmHg, epmuMMHG, MConversions::UnitFromText(unit));
}

void XResultBase::EnableNextButton(bool enable) {
    RaiseEvent(QStringLiteral("EnableNextButton"), VariantArray::FromList({Variant(enable)}));
}

QString XResultBase::DisplayText(const Variant& value, const QString& format, const QString& unit) {
    // Every decimal the reading holds: a reading judged outside a limit never shows as the limit.
    const QString text = orvex::HostServices::Values()->FormatShown(value, format, QLocale());
    return text.isEmpty() ? kBlank : text + QLatin1Char(' ') + MConversions::ShownUnitText(unit);
}

void XResultBase::RaiseEvent(const QString& name, VariantArray parameters) {
    if (!m_callBack) return;
    QString eventName = name;
    MSafeHandler::Run("the container's handling of a result view's event",
                      [&] { m_callBack->Event(eventName, parameters); });
}

}  // namespace korotka
