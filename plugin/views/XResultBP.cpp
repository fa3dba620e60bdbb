#include "XResultBP.h"

#include <QTreeWidget>

#include "hostapi/ComError.h"
#include "hostapi/IMeasurement.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/measure/CMeasurement.h"

namespace korotka {

XResultBP::XResultBP(QWidget* parent)
    : XResultBase({{QStringLiteral("20800::Measurement"), QString(), 2295, Qt::AlignLeft},
                   {QStringLiteral("20801::Preset Value"), kPresetKey, 1440, Qt::AlignRight},
                   {QStringLiteral("232::High limit"), kHighKey, 1440, Qt::AlignRight},
                   {QStringLiteral("233::Low limit"), kLowKey, 1440, Qt::AlignRight},
                   {QStringLiteral("235::Recorded value"), kValueKey, 1440, Qt::AlignRight}},
                  parent) {}

QString XResultBP::Tag() const { return m_tag; }

void XResultBP::SetTag(const QString& tag) {
    m_tag = tag;
    SetHeaderText(kPresetKey, tag);
}

void XResultBP::ShowTestResult(const std::shared_ptr<orvex::IResultData>& result) {
    XResultBase::ShowTestResult(result);
    ApplyNextButtonRule();
}

void XResultBP::ShowMeasurement(QTreeWidgetItem& row,
                                const std::shared_ptr<orvex::IMeasurement>& measurement) {
    if (const auto typed = std::dynamic_pointer_cast<CMeasurement>(measurement)) {
        try {
            const orvex::Variant preset = typed->GetPresetValue();
            SetCell(row, kPresetKey,
                    preset.IsEmpty() ? kBlank
                                     : DisplayText(preset, typed->GetValueFormat(), measurement->Unit()));
        } catch (const orvex::ComError& error) {
            qCDebug(lcPlugIn, "a preset value keeps its text: %s", error.what());
        }
    }
    const int32_t status = measurement->Status();
    try {
        SetCell(row, kValueKey,
                status == CMeasurement::kNotMeasured
                    ? kBlank
                    : DisplayText(measurement->Value(), measurement->ValueFormat(), measurement->Unit()));
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "a recorded value keeps its text: %s", error.what());
    }
    ColourByStatus(row, status);
}

QTreeWidgetItem* XResultBP::EditRow() { return SelectedRow(); }

// Every row takes a reading.
bool XResultBP::IsEditableHeight(int32_t) const { return true; }

void XResultBP::EditDone() {
    QTreeWidgetItem* row = SelectedRow();
    const int index = row != nullptr ? List()->indexOfTopLevelItem(row) : -1;
    // Once editing stopped the box cannot follow the selection, and typing would then go into a
    // row the box is not over.
    if (!Editing() || index < 0 || index + 1 >= List()->topLevelItemCount()) {
        HideEditBox();
        return;
    }
    List()->setCurrentItem(List()->topLevelItem(index + 1));
    OpenEditBox(-1, -1);
}

void XResultBP::ApplyNextButtonRule() {
    bool enable = true;
    for (int i = 0; i < List()->topLevelItemCount(); ++i) {
        if (!IsRecorded(CellText(*List()->topLevelItem(i), kValueKey))) enable = false;
    }
    EnableNextButton(enable);
}

}  // namespace korotka
