#include <gtest/gtest.h>

#include <memory>

#include "MeasureFixture.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"
#include "plugin/measure/CMeasurement.h"

using korotka::CMeasurement;
using orvex::LimitEntry;
using orvex::Variant;

namespace {

struct Limit {
    float value;
    bool enabled;
};

class MeasurementLimitsTest : public MeasureFixture {
protected:
    static std::shared_ptr<CMeasurement> Systolic(const Variant& value, const Variant& preset = {}) {
        auto measurement = std::make_shared<CMeasurement>();
        measurement->Init("SYST", "mmHg", "20350::Systolic", CMeasurement::kTypeDecimal);
        measurement->SetValueFormat("0");
        measurement->SetValue(value);
        measurement->SetPresetValue(preset);
        return measurement;
    }

    static std::shared_ptr<orvex::Standard> NewStandard() {
        auto standard =
            orvex::ComponentRegistry::Instance().CreateAs<orvex::Standard>("OrvexTypeLib.Standard");
        standard->Initialize("IEC", "IEC 80601", 1);
        return standard;
    }

    static std::shared_ptr<LimitEntry> Add(orvex::Standard& standard, const QString& key, Limit high,
                                           Limit low, const QString& operation = {}) {
        auto entry = orvex::ComponentRegistry::Instance().CreateAs<LimitEntry>("OrvexTypeLib.LimitEntry");
        entry->Initialize(key, "mmHg", {}, {});
        entry->SetValue(LimitEntry::kHigh, high.value);
        entry->SetEnabled(LimitEntry::kHigh, high.enabled);
        entry->SetValue(LimitEntry::kLow, low.value);
        entry->SetEnabled(LimitEntry::kLow, low.enabled);
        entry->SetOperation(LimitEntry::kHigh, operation);
        entry->SetOperation(LimitEntry::kLow, operation);
        standard.Add(entry);
        return entry;
    }
};

TEST_F(MeasurementLimitsTest, TheMostRestrictiveEnabledLimitOfTheKeyIsShown) {
    const auto standard = NewStandard();
    Add(*standard, "SYST", {140, true}, {90, true});
    Add(*standard, "DIAS", {100, true}, {99, true});
    Add(*standard, "SYST", {135, true}, {95, true});
    Add(*standard, "SYST", {120, false}, {99, false});
    const auto measurement = Systolic(Variant(121.0F));

    const Variant high = measurement->GetLimitValue(standard, LimitEntry::kHigh, 0);
    EXPECT_EQ(high.GetKind(), Variant::Kind::Single);
    EXPECT_EQ(high.ToSingle(), 135.0F);
    EXPECT_EQ(measurement->GetLimitValue(standard, LimitEntry::kLow, 0).ToSingle(), 95.0F);
    EXPECT_EQ(measurement->GetLimitValue(standard, LimitEntry::kHigh, 2).ToString(), "135");
    EXPECT_EQ(measurement->GetLimitValue(standard, LimitEntry::kLow, 6).ToString(), "95 mmHg");

    // Nothing to show: no entry of the key, no standard, no such position.
    auto heartRate = std::make_shared<CMeasurement>();
    heartRate->Init("HART", "BPM", "20353::Heart Rate", CMeasurement::kTypeDecimal);
    EXPECT_TRUE(heartRate->GetLimitValue(standard, LimitEntry::kHigh, 6).IsEmpty());
    EXPECT_TRUE(measurement->GetLimitValue(nullptr, LimitEntry::kHigh, 6).IsEmpty());
    EXPECT_TRUE(measurement->GetLimitValue(standard, 2, 6).IsEmpty());
}

TEST_F(MeasurementLimitsTest, BoundsAreInclusiveAndOnlyEnabledLimitsOfTheKeyJudge) {
    const auto standard = NewStandard();
    Add(*standard, "SYST", {140, true}, {90, true});
    Add(*standard, "DIAS", {10, true}, {0, true});
    EXPECT_EQ(Systolic(Variant(140.0F))->ValidateLimits(standard), 0);
    EXPECT_EQ(Systolic(Variant(90.0F))->ValidateLimits(standard), 0);
    EXPECT_EQ(Systolic(Variant(140.5F))->ValidateLimits(standard), 2);
    EXPECT_EQ(Systolic(Variant(89.9F))->ValidateLimits(standard), 2);
    // A typed-in value kept as text still reads as a number.
    EXPECT_EQ(Systolic(Variant("141"))->ValidateLimits(standard), 2);

    const auto lenient = NewStandard();
    Add(*lenient, "SYST", {140, false}, {90, true});
    EXPECT_EQ(Systolic(Variant(300.0F))->ValidateLimits(lenient), 0);
    EXPECT_EQ(Systolic(Variant(50.0F))->ValidateLimits(lenient), 2);

    // A value that is no single cannot keep a limit, so it breaks it; no value is not judged.
    EXPECT_EQ(Systolic(Variant("abc"))->ValidateLimits(standard), 2);
    EXPECT_EQ(Systolic(Variant("1e40"))->ValidateLimits(standard), 2);
    EXPECT_EQ(Systolic(Variant::Null())->ValidateLimits(standard), 0);
    EXPECT_EQ(Systolic(Variant(300.0F))->ValidateLimits(nullptr), 0);
}

TEST_F(MeasurementLimitsTest, PercentagesShowTheirSignUnlessCalculatedFromThePreset) {
    const auto standard = NewStandard();
    Add(*standard, "SYST", {10, true}, {0, false}, "X+(X*Y%)");
    const auto measurement = Systolic(Variant(121.0F), Variant(120.0F));
    EXPECT_EQ(measurement->GetLimitValue(standard, LimitEntry::kHigh, 6).ToString(), "10 %");
    EXPECT_EQ(measurement->GetLimitValue(standard, LimitEntry::kHigh, 7).ToString(), "132 mmHg");
    EXPECT_EQ(measurement->GetLimitValue(standard, LimitEntry::kHigh, 1).ToSingle(), 132.0F);
}

TEST_F(MeasurementLimitsTest, CalculatedLimitsTakeXFromThePreset) {
    const auto standard = NewStandard();
    const auto offset = Add(*standard, "SYST", {5, true}, {-5, true}, "X+Y");
    const auto percent = Add(*standard, "DIAS", {10, true}, {0, false}, "X+(X*Y%)");
    EXPECT_EQ(Systolic({}, Variant(120.0F))->CalculateLimitValue(offset, LimitEntry::kHigh), 125.0F);
    EXPECT_EQ(Systolic({}, Variant(120.0F))->CalculateLimitValue(percent, LimitEntry::kHigh), 132.0F);
    // A preset loaded from a file is text.
    EXPECT_EQ(Systolic({}, Variant("120"))->CalculateLimitValue(offset, LimitEntry::kLow), 115.0F);
    // No preset counts as 0; one that is no number gives no limit at all.
    EXPECT_EQ(Systolic({}, Variant())->CalculateLimitValue(offset, LimitEntry::kHigh), 5.0F);
    EXPECT_EQ(Systolic({}, Variant::Null())->CalculateLimitValue(offset, LimitEntry::kHigh), 0.0F);
    EXPECT_EQ(Systolic({}, Variant("abc"))->CalculateLimitValue(offset, LimitEntry::kHigh), 0.0F);
    EXPECT_EQ(Systolic({}, Variant("1e40"))->CalculateLimitValue(offset, LimitEntry::kHigh), 0.0F);
    EXPECT_EQ(Systolic({}, Variant(120.0F))->CalculateLimitValue(nullptr, LimitEntry::kHigh), 0.0F);

    EXPECT_EQ(Systolic(Variant(125.0F), Variant("120"))->ValidateLimits(standard), 0);
    EXPECT_EQ(Systolic(Variant(126.0F), Variant("120"))->ValidateLimits(standard), 2);
    EXPECT_EQ(Systolic(Variant(114.0F), Variant(120.0F))->ValidateLimits(standard), 2);
    // Without a readable X the calculated entry cannot judge: the reading fails rather than pass
    // or be judged against 0, and its tip names the limit and the cause.
    const auto unreadable = Systolic(Variant(120.0F), Variant("abc"));
    EXPECT_EQ(unreadable->ValidateLimits(standard), 2);
    EXPECT_EQ(unreadable->ToolTipText(),
              "Failed because a limit could not be evaluated: SYST IEC 80601 high limit: Type mismatch");
    EXPECT_TRUE(
        Systolic(Variant(126.0F), Variant("abc"))->GetLimitValue(standard, LimitEntry::kHigh, 7).IsEmpty());
}

}  // namespace
