#include "MLimitUtils.h"

#include <QStringList>
#include <QWidget>
#include <exception>

#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/LimitView.h"
#include "hostapi/ReportContext.h"
#include "hostapi/Standard.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/units/MConversions.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

namespace {

using UnitKind = MMeasureKey::UnitKind;

const QString kLimitEntryClass = QStringLiteral("OrvexTypeLib.LimitEntry");
const QString kPlainOperation = QStringLiteral("Y");
const QString kPercent = QStringLiteral("%");
const QLatin1Char kSeparator(';');

// Limits of blood-pressure values follow the preset the simulator was given; the others are fixed numbers.
bool HasOperations(UnitKind kind) { return kind == UnitKind::BloodPressure || kind == UnitKind::HeartRate; }

QString OperationList() {
    return QStringLiteral("<op>") + kPlainOperation + kSeparator + QStringLiteral("X+Y") + kSeparator +
           QStringLiteral("X+(X*Y%)") + QStringLiteral("</op>");
}

// The five unit texts as records keep them, each followed by suffix: the unit chosen in the editor
// is the one the limits are stored in.
QString UnitList(const QString& suffix) {
    QStringList units;
    for (int32_t unit = 0; unit < MConversions::kUnitCount; ++unit)
        units.append(MConversions::StoredUnitText(unit) + suffix);
    return units.join(kSeparator);
}

void AddRow(orvex::LimitView& view, const MMeasureKey::KeyInfo& info, const QString& unitText) {
    const QString description = MLanguage::Translate(info.descriptionLiteral);
    switch (info.unitKind) {
        case UnitKind::BloodPressure:
            view.AddLimit(info.key, description, unitText, OperationList());
            break;
        case UnitKind::HeartRate:
            view.AddLimit(info.key, description, MConversions::StoredHeartRateUnit(), OperationList());
            break;
        case UnitKind::Pressure: {
            const QString units = UnitList({});
            view.AddLimit(info.key, description, units, units + kSeparator + kPercent);
            break;
        }
        case UnitKind::LeakRate: {
            const QString units = UnitList(MConversions::StoredPerMinute());
            view.AddLimit(info.key, description, units, units + kSeparator + kPercent);
            break;
        }
    }
}

}  // namespace

void MLimitUtils::CreateDefaultLimits(const std::shared_ptr<orvex::Standard>& standard, int32_t testId,
                                      const QString& unitText) {
    for (const MMeasureKey::KeyInfo& info : MMeasureKey::KeysOfTest(testId)) {
        const QString unit =
            info.unitKind == UnitKind::HeartRate ? MConversions::StoredHeartRateUnit() : unitText;
        AddDefaultLimit(standard, info.key, unit, HasOperations(info.unitKind) ? kPlainOperation : QString());
    }
}

void MLimitUtils::AddDefaultLimit(const std::shared_ptr<orvex::Standard>& standard, const QString& key,
                                  const QString& unitText, const QString& operation) {
    if (!standard) return;
    try {
        auto entry = orvex::ComponentRegistry::Instance().CreateAs<orvex::LimitEntry>(kLimitEntryClass);
        entry->Initialize(key, MConversions::NeutralUnitText(unitText), QString(), QString());
        if (!operation.isEmpty()) entry->SetOperation(orvex::LimitEntry::kHigh, operation);
        standard->Add(entry);
    } catch (const orvex::ComError& error) {
        qCWarning(lcPlugIn, "a default limit could not be added to the standard: %s", error.what());
        // The standard goes without this entry.
    }
}

void MLimitUtils::FillLimitView(QWidget* view, int32_t testId, const QString& unitText) {
    auto* limitView = dynamic_cast<orvex::LimitView*>(view);
    if (limitView == nullptr) return;
    for (const MMeasureKey::KeyInfo& info : MMeasureKey::KeysOfTest(testId)) {
        try {
            AddRow(*limitView, info, unitText);
        } catch (const orvex::ComError& error) {
            qCDebug(lcPlugIn, "the limit editor goes without a row: %s", error.what());
            // The editor goes without this row.
        }
    }
}

orvex::Variant MLimitUtils::BuildLimitReportTable(const std::shared_ptr<orvex::ReportContext>& report,
                                                  const std::shared_ptr<orvex::ITestElement>& owner,
                                                  int32_t unit) {
    int32_t testId = 0;
    std::shared_ptr<orvex::IResultData> result;
    try {
        if (owner) testId = owner->TestID();
        if (owner && MMeasureKey::IsBloodPressureTest(testId)) result = owner->Result();
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "the limit table goes without the result of the test: %s", error.what());
        // Without the owner's answers the table has what the keys alone give.
    }
    const std::vector<MMeasureKey::KeyInfo> keys = MMeasureKey::KeysOfTest(testId);
    const int32_t columns = MMeasureKey::IsBloodPressureTest(testId) ? 4 : 3;
    orvex::VariantArray table(0, static_cast<int32_t>(keys.size()) - 1, 0, keys.empty() ? -1 : columns - 1);
    for (int32_t row = 0; row < static_cast<int32_t>(keys.size()); ++row) {
        const MMeasureKey::KeyInfo& info = keys[static_cast<size_t>(row)];
        table.At(row, 0) = orvex::Variant(info.key);
        if (report) {
            try {
                table.At(row, 1) =
                    orvex::Variant(report->GetText(MLanguage::kPlugInId, info.descriptionLiteral));
            } catch (const orvex::ComError& error) {
                qCDebug(lcPlugIn, "a limit table description stays empty: %s", error.what());
                // An empty description cell.
            }
        }
        table.At(row, 2) = orvex::Variant(MConversions::FormatForKey(info.key, unit));
        if (columns < 4 || !result) continue;
        try {
            if (auto measurement = result->Measurement(orvex::Variant(info.key))) {
                table.At(row, 3) = orvex::Variant(std::shared_ptr<orvex::IUnknown>(std::move(measurement)));
            }
        } catch (const orvex::ComError& error) {
            qCDebug(lcPlugIn, "a limit table measurement cell stays empty: %s", error.what());
            // An empty measurement cell.
        }
    }
    return orvex::Variant(table);
}

}  // namespace korotka
