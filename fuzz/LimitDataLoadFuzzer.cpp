// Whatever a sequence file holds, loading the limits of a test from it must end in standards or a
// clear error: no crash, no undefined behaviour, no leak, no runaway. The bytes go through the
// host's XML parser, then to the limit record's Load, as the document element and as each of its
// first children (where a test element keeps its limits). Loaded limits must then judge readings,
// convert, print and clone, and what they save must load back as the same standards.

#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzHost.h"
#include "host/records/HostLoadLog.h"
#include "host/records/HostReportContext.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/measure/CKorotkaLimitData.h"

namespace {

using korotka::CKorotkaLimitData;
using orvex::ComError;
using orvex::HostServices;
using orvex::LimitEntry;
using orvex::Variant;

// Stored numbers keep seven significant digits.
constexpr double kDigitsKept = 1e-6;

using ElementPtr = std::shared_ptr<orvex::XmlElement>;

// A reading of one key, as a measurement hands it to the limits.
class Reading : public orvex::IMeasurement {
public:
    Reading(QString key, Variant value, Variant preset)
        : m_key(std::move(key)), m_value(std::move(value)), m_preset(std::move(preset)) {}
    QString Description() override { return {}; }
    QString Key() override { return m_key; }
    QString LimitKey() override { return m_key; }
    int32_t Status() override { return 0; }
    QString Unit() override { return {}; }
    Variant Value() override { return m_value; }
    Variant PresetValue() override { return m_preset; }
    int32_t ValueType() override { return m_value.GetKind() == Variant::Kind::Boolean ? 3 : 1; }
    QString ValueFormat() override { return {}; }
    QString Flags() override { return {}; }
    QString ToolTipText() override { return {}; }
    void Load(const ElementPtr&, const std::shared_ptr<orvex::LoadLog>&) override {}
    ElementPtr Save(const ElementPtr&) override { return nullptr; }

private:
    QString m_key;
    Variant m_value;
    Variant m_preset;
};

std::shared_ptr<orvex::HostLoadLog> NewLog() {
    return std::make_shared<orvex::HostLoadLog>(HostServices::Language());
}

bool SameNumber(float a, float b) {
    return a == b || std::fabs(static_cast<double>(a) - b) <= kDigitsKept * std::fabs(static_cast<double>(a));
}

bool SameEntry(const LimitEntry& a, const LimitEntry& b) {
    if (a.Key() != b.Key() || a.Unit() != b.Unit() || a.Type() != b.Type()) return false;
    for (const int32_t position : {LimitEntry::kHigh, LimitEntry::kLow}) {
        if (a.Enabled(position) != b.Enabled(position) || a.Operation(position) != b.Operation(position) ||
            !SameNumber(a.Value(position), b.Value(position))) {
            return false;
        }
    }
    return true;
}

bool SameStandards(const orvex::StandardList& a, const orvex::StandardList& b) {
    if (a.Count() != b.Count()) return false;
    for (int32_t i = 1; i <= a.Count(); ++i) {
        const auto x = a.Item(i);
        const auto y = b.Item(i);
        if (x->AlphaName() != y->AlphaName() || x->CompleteName() != y->CompleteName() ||
            x->Number() != y->Number() || x->Count() != y->Count()) {
            return false;
        }
        for (int32_t j = 1; j <= x->Count(); ++j) {
            if (!SameEntry(*x->Item(j), *y->Item(j))) return false;
        }
    }
    return true;
}

// What the record saves it must load back, unchanged.
void SaveAndReload(CKorotkaLimitData& limits) {
    const auto document = HostServices::Xml()->CreateDocument();
    document->SetDocumentElement(document->CreateElement(QStringLiteral("TestElement")));
    const ElementPtr saved = limits.Save(document->DocumentElement());
    if (!saved) {
        if (limits.Standards()) __builtin_trap();
        return;
    }
    const auto reread = HostServices::Xml()->CreateDocument();
    reread->LoadText(document->ToText());
    CKorotkaLimitData fresh;
    try {
        fresh.Load(reread->DocumentElement()->FindChild(CKorotkaLimitData::kElementTag), NewLog());
    } catch (const ComError&) {
        __builtin_trap();
    }
    if (!fresh.Standards() || !SameStandards(*limits.Standards(), *fresh.Standards())) __builtin_trap();
}

// Readings of every key the standards name, plain and awkward, against the record's own standards.
void Judge(CKorotkaLimitData& limits) {
    const auto standards = limits.Standards();
    if (!standards) return;
    for (int32_t i = 1; i <= standards->Count(); ++i) {
        const auto standard = standards->Item(i);
        for (int32_t j = 1; j <= standard->Count(); ++j) {
            const QString key = standard->Item(j)->Key();
            for (const Variant& value : {Variant(0.0F), Variant(3e38F), Variant(false), Variant("abc")}) {
                for (const Variant& preset : {Variant("120"), Variant("1e40"), Variant()}) {
                    limits.FindFailedStandards(std::make_shared<Reading>(key, value, preset), standards);
                }
            }
        }
    }
}

void Exercise(const ElementPtr& element) {
    auto limits = std::make_shared<CKorotkaLimitData>();
    try {
        limits->Load(element, NewLog());
    } catch (const ComError&) {
        // A clear error is a correct answer; the record keeps what it had.
    }
    SaveAndReload(*limits);
    Judge(*limits);
    limits->PrintReport(std::make_shared<orvex::HostReportContext>(HostServices::Language()), nullptr);
    limits->Clone();
    limits->ChangeUnit(QStringLiteral("PSI"));
    limits->ChangeUnit(QStringLiteral("kPa"));
    SaveAndReload(*limits);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return FuzzHost::Initialize(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzHost::RunOne(data, size, Exercise);
}
