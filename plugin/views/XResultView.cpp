#include "XResultView.h"

#include <QTreeWidget>

#include "hostapi/ComError.h"
#include "hostapi/IMeasurement.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/measure/CMeasurement.h"
#include "plugin/units/MConversions.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

using orvex::Variant;

XResultView::XResultView(QWidget* parent)
    : XResultBase({{QStringLiteral("20800::Measurement"), QString(), 2295, Qt::AlignLeft},
                   {QStringLiteral("231::Value"), kValueKey, 1440, Qt::AlignRight},
                   {QStringLiteral("232::High limit"), kHighKey, 1440, Qt::AlignRight},
                   {QStringLiteral("233::Low limit"), kLowKey, 1440, Qt::AlignRight}},
                  parent) {}

QString XResultView::Tag() const { return {}; }

void XResultView::SetTag(const QString&) {}

void XResultView::StopEditing() {
    XResultBase::StopEditing();
    HideEditBox();
}

void XResultView::ShowMeasurement(QTreeWidgetItem& row,
                                  const std::shared_ptr<orvex::IMeasurement>& measurement) {
    const Variant value = measurement->Value();
    // 0 is what a cleared or not yet measured value reads as, so it is always drawn.
    if (!value.IsEmpty() && !value.Equals(Variant(int32_t{0})) && value.Equals(RowTag(row))) return;
    SetRowTag(row, value);
    const int32_t status = measurement->Status();
    try {
        // The manometer shows live; the other values once judged.
        SetCell(row, kValueKey,
                status != CMeasurement::kNotMeasured || RowKey(row) == MMeasureKey::kMano
                    ? DisplayText(value, measurement->ValueFormat(), measurement->Unit())
                    : kBlank);
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "a measured value keeps its text: %s", error.what());
    }
    if (status != CMeasurement::kNotMeasured) EnableNextButton(true);
    if (ColourByStatus(row, status)) List()->viewport()->repaint();
}

QTreeWidgetItem* XResultView::EditRow() { return SelectFirstRow(); }

bool XResultView::IsEditableHeight(int32_t y) const {
    const QTreeWidgetItem* first = List()->topLevelItem(0);
    if (first == nullptr) return false;
    int32_t top = 0;
    int32_t height = 0;
    RowSpan(*first, top, height);
    return y >= top && y <= top + height;
}

void XResultView::EditDone() { HideEditBox(); }

void XResultView::ValueTyped(const std::optional<float>& value) {
    const auto difference = TypedMeasurementOf(MMeasureKey::kDiff);
    if (!difference) return;
    QTreeWidgetItem* row = FindRow(MMeasureKey::kDiff);
    if (!value) {
        difference->SetValue(Variant());
        if (row != nullptr) SetCell(*row, kValueKey, QString());
        return;
    }
    const auto manometer = TypedMeasurementOf(MMeasureKey::kMano);
    if (!manometer) return;
    try {
        // No reading yet counts as 0.
        const Variant reading = manometer->GetValue();
        const float read = reading.IsEmpty() || reading.IsNull() ? 0.0F : reading.ToSingle();
        const Variant offset(MConversions::Difference(*value, read));
        difference->SetValue(offset);
        if (row != nullptr) {
            SetCell(*row, kValueKey,
                    DisplayText(offset, difference->GetValueFormat(), difference->GetUnit()));
        }
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "the difference keeps its value: %s", error.what());
    }
}

void XResultView::ApplyNextButtonRule() {
    const QTreeWidgetItem* first = List()->topLevelItem(0);
    EnableNextButton(first != nullptr && IsRecorded(CellText(*first, kValueKey)));
}

}  // namespace korotka
