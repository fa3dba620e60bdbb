#include <gtest/gtest.h>

#include <QHash>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <stdexcept>

#include "MeasureFixture.h"
#include "driver/GDeclares.h"
#include "host/controls/HostXLimitView.h"
#include "host/platform/HostLanguageService.h"
#include "host/records/HostLimitEntry.h"
#include "host/records/HostReportContext.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/ICustomControl.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"
#include "hostapi/VariantArray.h"
#include "plugin/measure/MLimitUtils.h"
#include "support/TestElementStub.h"

using korotka::MLimitUtils;
using orvex::LimitEntry;

namespace {

const QString kOperations = QStringLiteral("<op>Y;X+Y;X+(X*Y%)</op>");

// A measurement that only needs to be told apart from others.
class KeyedMeasurement : public orvex::IMeasurement {
public:
    explicit KeyedMeasurement(QString key) : m_key(std::move(key)) {}
    QString Description() override { return {}; }
    QString Key() override { return m_key; }
    QString LimitKey() override { return m_key; }
    int32_t Status() override { return 0; }
    QString Unit() override { return {}; }
    orvex::Variant Value() override { return {}; }
    orvex::Variant PresetValue() override { return {}; }
    int32_t ValueType() override { return 1; }
    QString ValueFormat() override { return {}; }
    QString Flags() override { return {}; }
    QString ToolTipText() override { return {}; }
    void Load(const std::shared_ptr<orvex::XmlElement>&, const std::shared_ptr<orvex::LoadLog>&) override {}
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlElement>&) override {
        return nullptr;
    }

private:
    QString m_key;
};

// A result holding some measurements; asking for "MAPR" fails as a broken host object would.
class PartialResult : public orvex::IResultData {
public:
    QHash<QString, std::shared_ptr<orvex::IMeasurement>> measurements;

    QString Comment() override { return {}; }
    void SetComment(const QString&) override {}
    bool HasDialog() override { return false; }
    int32_t Status() override { return 0; }
    std::shared_ptr<orvex::IMeasurement> Measurement(const orvex::Variant& index) override {
        if (index.ToString() == QLatin1String("MAPR"))
            throw orvex::ComError(91, "result", "result not loaded");
        return measurements.value(index.ToString());
    }
    int32_t MeasurementCount() override { return static_cast<int32_t>(measurements.size()); }
    std::shared_ptr<::orvex::ServiceRecord> ServiceRecord() override { return nullptr; }
    int32_t MTIID() override { return 0; }
    std::shared_ptr<orvex::IDialog> CreateDialog() override { return nullptr; }
    void Load(const std::shared_ptr<orvex::XmlElement>&, const std::shared_ptr<orvex::LoadLog>&) override {}
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlElement>&) override {
        return nullptr;
    }
    void PrintReport(const std::shared_ptr<orvex::ReportContext>&) override {}
};

class LimitUtils : public MeasureFixture {
protected:
    static std::shared_ptr<orvex::Standard> NewStandard() {
        return orvex::ComponentRegistry::Instance().CreateAs<orvex::Standard>(
            QStringLiteral("OrvexTypeLib.Standard"));
    }

    static QStringList Keys(const orvex::Standard& standard) {
        QStringList keys;
        for (int32_t i = 1; i <= standard.Count(); ++i) keys.append(standard.Item(i)->Key());
        return keys;
    }

    // A limit editor filled for the test, as the limit dialog creates it.
    static std::shared_ptr<orvex::HostXLimitView> FilledView(int32_t testId, const QString& unitText) {
        auto control = orvex::ComponentRegistry::Instance().CreateAs<orvex::ICustomControl>(
            QStringLiteral("OrvexView.XLimitView"));
        MLimitUtils::FillLimitView(control->hWnd(), testId, unitText);
        return std::dynamic_pointer_cast<orvex::HostXLimitView>(control);
    }
};

TEST_F(LimitUtils, DefaultLimitsFollowTheKeysOfTheTest) {
    const auto pressure = NewStandard();
    MLimitUtils::CreateDefaultLimits(pressure, korotka::TESTID_PRESS_STATIC, QStringLiteral("mmHg"));
    ASSERT_EQ(Keys(*pressure), QStringList({"STAT", "MANO", "DIFF"}));
    for (int32_t i = 1; i <= pressure->Count(); ++i) {
        const auto entry = pressure->Item(i);
        EXPECT_EQ(entry->Unit(), "mmHg");
        EXPECT_EQ(entry->Type(), LimitEntry::kTypeInUnit);
        EXPECT_TRUE(entry->Operation(LimitEntry::kHigh).isEmpty());
        EXPECT_TRUE(entry->Operation(LimitEntry::kLow).isEmpty());
        EXPECT_FALSE(entry->Enabled(LimitEntry::kHigh) || entry->Enabled(LimitEntry::kLow));
    }

    const auto bloodPressure = NewStandard();
    MLimitUtils::CreateDefaultLimits(bloodPressure, korotka::TESTID_BP_ARRYHYTHMIAS, QStringLiteral("kPa"));
    ASSERT_EQ(Keys(*bloodPressure), QStringList({"SYST", "DIAS", "HART", "MAPR"}));
    const QStringList units = {"kPa", "kPa", "BPM", "kPa"};
    for (int32_t i = 1; i <= bloodPressure->Count(); ++i) {
        EXPECT_EQ(bloodPressure->Item(i)->Unit(), units[i - 1]);
        EXPECT_EQ(bloodPressure->Item(i)->Operation(LimitEntry::kHigh), "Y");
    }

    const auto leak = NewStandard();
    MLimitUtils::CreateDefaultLimits(leak, korotka::TESTID_PRESS_LEAK, QStringLiteral("kPa/min"));
    MLimitUtils::CreateDefaultLimits(leak, korotka::TESTID_PRESS_RELIEF, QStringLiteral("PSI"));
    EXPECT_EQ(Keys(*leak), QStringList({"RATE", "PEAK"}));
    EXPECT_EQ(leak->Item(1)->Unit(), "kPa/min");

    const auto none = NewStandard();
    for (const int32_t testId : {int32_t{korotka::TESTID_BP}, int32_t{korotka::TESTID_VENT}, 0, -1, 407}) {
        MLimitUtils::CreateDefaultLimits(none, testId, QStringLiteral("mmHg"));
    }
    EXPECT_EQ(none->Count(), 0);
    MLimitUtils::CreateDefaultLimits(nullptr, korotka::TESTID_PRESS_STATIC, QStringLiteral("mmHg"));
}

TEST_F(LimitUtils, HeartRateUnitIsStoredTheSameInEveryLanguageAndEntriesThatFailAreLeftOut) {
    UseGerman();
    // The second entry the host is asked for cannot be made.
    orvex::ComponentRegistry::Instance().Register(
        QStringLiteral("OrvexTypeLib.LimitEntry"),
        [created = 0]() mutable -> std::shared_ptr<orvex::IUnknown> {
            if (++created == 2) {
                throw orvex::ComError(orvex::ComError::kOutOfMemory, QStringLiteral("Host"),
                                      QStringLiteral("Out of memory"));
            }
            return std::make_shared<orvex::HostLimitEntry>();
        });
    const auto standard = NewStandard();
    MLimitUtils::CreateDefaultLimits(standard, korotka::TESTID_BP_STD, QStringLiteral("mmHg"));
    EXPECT_EQ(Keys(*standard), QStringList({"SYST", "HART", "MAPR"}));
    EXPECT_EQ(standard->Item(2)->Unit(), "BPM");
}

TEST_F(LimitUtils, LimitEditorRowsOfALeakTestInEnglishAndGerman) {
    const auto english = FilledView(korotka::TESTID_PRESS_LEAK, QStringLiteral("kPa/min"));
    ASSERT_TRUE(english);
    ASSERT_EQ(english->Rows().size(), 1U);
    const auto& rate = english->Rows().front();
    EXPECT_EQ(rate.key, "RATE");
    EXPECT_EQ(rate.description, "Leak Rate");
    EXPECT_EQ(rate.units.join(';'), "mmHg/min;kPa/min;cmH2O/min;inH2O/min;PSI/min");
    EXPECT_EQ(rate.choices.join(';'), "mmHg/min;kPa/min;cmH2O/min;inH2O/min;PSI/min;%");
    EXPECT_FALSE(rate.choicesAreOperations);

    UseGerman();
    const auto german = FilledView(korotka::TESTID_PRESS_LEAK, QStringLiteral("kPa/min"));
    ASSERT_EQ(german->Rows().size(), 1U);
    EXPECT_EQ(german->Rows().front().description, "Leckrate");
    // The units offered are those the limits are stored in, the same in every language.
    EXPECT_EQ(german->Rows().front().units.join(';'), rate.units.join(';'));
    EXPECT_EQ(german->Rows().front().choices.last(), "%");
}

TEST_F(LimitUtils, LimitEditorRowsOfOtherTests) {
    const auto bloodPressure = FilledView(korotka::TESTID_BP_WRIST, QStringLiteral("kPa"));
    ASSERT_EQ(bloodPressure->Rows().size(), 4U);
    const QStringList keys = {"SYST", "DIAS", "HART", "MAPR"};
    const QStringList units = {"kPa", "kPa", "BPM", "kPa"};
    for (size_t i = 0; i < 4; ++i) {
        const auto& row = bloodPressure->Rows()[i];
        EXPECT_EQ(row.key, keys[static_cast<int>(i)]);
        EXPECT_EQ(row.units, QStringList(units[static_cast<int>(i)]));
        EXPECT_TRUE(row.choicesAreOperations);
        EXPECT_EQ(row.choices, QStringList({"Y", "X+Y", "X+(X*Y%)"}));
    }
    EXPECT_EQ(bloodPressure->Rows()[3].description, "MAP");

    const auto relief = FilledView(korotka::TESTID_PRESS_RELIEF, QStringLiteral("PSI"));
    ASSERT_EQ(relief->Rows().size(), 1U);
    EXPECT_EQ(relief->Rows().front().description, "Monitor Release Pressure");
    EXPECT_EQ(relief->Rows().front().units.join(';'), "mmHg;kPa;cmH2O;inH2O;PSI");
    EXPECT_EQ(relief->Rows().front().choices.join(';'), "mmHg;kPa;cmH2O;inH2O;PSI;%");

    EXPECT_TRUE(FilledView(korotka::TESTID_BP, QStringLiteral("mmHg"))->Rows().empty());
    EXPECT_TRUE(FilledView(korotka::TESTID_VENT, QStringLiteral("mmHg"))->Rows().empty());
    // A widget that is no limit editor, and none at all, are left alone.
    QWidget plain;
    MLimitUtils::FillLimitView(&plain, korotka::TESTID_PRESS_STATIC, QStringLiteral("mmHg"));
    MLimitUtils::FillLimitView(nullptr, korotka::TESTID_PRESS_STATIC, QStringLiteral("mmHg"));
}

TEST_F(LimitUtils, ReportTableOfABloodPressureTestInKPa) {
    auto result = std::make_shared<PartialResult>();
    const auto systolic = std::make_shared<KeyedMeasurement>(QStringLiteral("SYST"));
    const auto diastolic = std::make_shared<KeyedMeasurement>(QStringLiteral("DIAS"));
    result->measurements.insert(QStringLiteral("SYST"), systolic);
    result->measurements.insert(QStringLiteral("DIAS"), diastolic);
    const auto owner = std::make_shared<TestElementStub>(korotka::TESTID_BP_STD, nullptr, result);
    // The report is printed in German while the technician works in English.
    auto reportLanguage = std::make_shared<orvex::HostLanguageService>();
    ASSERT_TRUE(reportLanguage->LoadFile(QStringLiteral("Korotka"), GermanFile()));
    const auto report = std::make_shared<orvex::HostReportContext>(reportLanguage);

    const orvex::Variant table = MLimitUtils::BuildLimitReportTable(report, owner, korotka::epmuKPA);
    ASSERT_TRUE(table.IsArray());
    const orvex::VariantArray& rows = table.ToArray();
    ASSERT_EQ(rows.Dimensions(), 2);
    EXPECT_EQ(rows.LBound(1), 0);
    EXPECT_EQ(rows.UBound(1), 3);
    EXPECT_EQ(rows.LBound(2), 0);
    EXPECT_EQ(rows.UBound(2), 3);
    const QStringList keys = {"SYST", "DIAS", "HART", "MAPR"};
    const QStringList names = {"Systolisch", "Diastolisch", "Herzfrequenz", "MAD"};
    const QStringList formats = {"0.0", "0.0", "0", "0.0"};
    for (int32_t row = 0; row < 4; ++row) {
        EXPECT_EQ(rows.At(row, 0).ToString(), keys[row]);
        EXPECT_EQ(rows.At(row, 1).ToString(), names[row]);
        EXPECT_EQ(rows.At(row, 2).ToString(), formats[row]);
    }
    EXPECT_EQ(rows.At(0, 3).ToObject(), systolic);
    EXPECT_EQ(rows.At(1, 3).ToObject(), diastolic);
    EXPECT_TRUE(rows.At(2, 3).IsEmpty());  // no heart-rate measurement
    EXPECT_TRUE(rows.At(3, 3).IsEmpty());  // the result failed to answer
}

TEST_F(LimitUtils, ReportTableBoundsPerTest) {
    const auto report = std::make_shared<orvex::HostReportContext>(language);
    const auto bounds = [&](int32_t testId) {
        const orvex::VariantArray rows =
            MLimitUtils::BuildLimitReportTable(report, std::make_shared<TestElementStub>(testId),
                                               korotka::epmuPSI)
                .ToArray();
        return QStringLiteral("%1x%2/%3").arg(rows.UBound(1)).arg(rows.UBound(2)).arg(rows.Count());
    };
    EXPECT_EQ(bounds(korotka::TESTID_PRESS_STATIC), "2x2/9");
    EXPECT_EQ(bounds(korotka::TESTID_PRESS_LEAK), "0x2/3");
    EXPECT_EQ(bounds(korotka::TESTID_PRESS_RELIEF), "0x2/3");
    EXPECT_EQ(bounds(korotka::TESTID_BP_NEONATE), "3x3/16");  // without a result: no column 3 content
    EXPECT_EQ(bounds(korotka::TESTID_BP), "-1x-1/0");
    EXPECT_EQ(bounds(korotka::TESTID_VENT), "-1x-1/0");

    const orvex::VariantArray leak =
        MLimitUtils::BuildLimitReportTable(
            report, std::make_shared<TestElementStub>(korotka::TESTID_PRESS_LEAK), korotka::epmuKPA)
            .ToArray();
    EXPECT_EQ(leak.At(0, 0).ToString(), "RATE");
    EXPECT_EQ(leak.At(0, 1).ToString(), "Leak Rate");
    EXPECT_EQ(leak.At(0, 2).ToString(), "0.00");
    // No report and no owner: what needs neither is still there.
    const orvex::VariantArray orphan =
        MLimitUtils::BuildLimitReportTable(nullptr, nullptr, korotka::epmuKPA).ToArray();
    EXPECT_EQ(orphan.Count(), 0);
}

}  // namespace
