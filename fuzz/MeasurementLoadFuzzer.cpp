// Whatever a sequence file holds, a measurement loaded from it must end in its values or a clear
// error: no crash, no undefined behaviour, no leak, no runaway. The bytes go through the host's XML
// parser, then to a measurement's Load, as the document element and as each of its first children
// (where a result keeps its measurements). Whatever loaded is then shown, judged against limits of
// every operation, printed, saved, and what it saved must load again into the same measurement.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzHost.h"
#include "host/records/HostLoadLog.h"
#include "host/records/HostReportContext.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/measure/CMeasurement.h"

namespace {

using korotka::CMeasurement;
using orvex::ComError;
using orvex::HostServices;
using orvex::LimitEntry;

// Measurements are small; larger inputs only spend the time budget in the parser.
// Options of GetLimitValue and GetResultValue: every combination of their three bits.
constexpr int32_t kAllOptions = 8;

using ElementPtr = std::shared_ptr<orvex::XmlElement>;

std::shared_ptr<orvex::HostLoadLog> NewLog() {
    return std::make_shared<orvex::HostLoadLog>(HostServices::Language());
}

// One entry of the key per operation, the unknown one included, with the positions switched
// alternately; numbers around the value so that both verdicts occur.
std::shared_ptr<orvex::Standard> LimitsFor(const QString& key) {
    auto& registry = orvex::ComponentRegistry::Instance();
    auto standard = registry.CreateAs<orvex::Standard>(QStringLiteral("OrvexTypeLib.Standard"));
    standard->Initialize(QStringLiteral("IEC"), QStringLiteral("IEC"), 1);
    const QString operations[] = {
        QString(),           QStringLiteral("Y"), QStringLiteral("X+Y"), QStringLiteral("X+(X*Y%)"),
        QStringLiteral("%"), QStringLiteral("?")};
    int32_t index = 0;
    for (const QString& operation : operations) {
        auto entry = registry.CreateAs<LimitEntry>(QStringLiteral("OrvexTypeLib.LimitEntry"));
        entry->Initialize(key, QStringLiteral("mmHg"), QString(), QString());
        for (const int32_t position : {LimitEntry::kHigh, LimitEntry::kLow}) {
            entry->SetValue(position, position == LimitEntry::kHigh ? 140.0F : -10.0F);
            entry->SetEnabled(position, (index + position) % 2 == 0);
            entry->SetOperation(position, operation);
        }
        standard->Add(entry);
        ++index;
    }
    return standard;
}

void Show(CMeasurement& measurement) {
    measurement.Description();
    measurement.ToolTipText();
    QString text;
    int32_t status = 0;
    measurement.ValueText(text, status);
    measurement.FormatValue(measurement.PresetValue());
    for (int32_t options = 0; options < kAllOptions; ++options) {
        try {
            measurement.GetResultValue(options);
        } catch (const ComError&) {
            // A display format from the file that the host does not know: reported, as it should be.
        }
    }
    auto report = std::make_shared<orvex::HostReportContext>(HostServices::Language());
    measurement.ReportLine(report);
    report->SetOptions(orvex::ReportContext::kFailedOnly);
    measurement.ReportLine(report);
}

void Judge(CMeasurement& measurement) {
    const auto standard = LimitsFor(measurement.LimitKey());
    measurement.ValidateLimits(standard);
    measurement.SupportsLimit({});
    for (int32_t i = 1; i <= standard->Count(); ++i) {
        measurement.CalculateLimitValue(standard->Item(i), LimitEntry::kHigh);
        measurement.CalculateLimitValue(standard->Item(i), LimitEntry::kLow);
    }
    for (int32_t options = 0; options < kAllOptions; ++options) {
        measurement.GetLimitValue(standard, LimitEntry::kHigh, options);
        measurement.GetLimitValue(standard, LimitEntry::kLow, options);
    }
}

// Saves the measurement, then loads what was saved into a fresh one: what a measurement stores it
// must read. None for a measurement that stores nothing.
std::shared_ptr<CMeasurement> SaveAndReload(CMeasurement& measurement) {
    const auto document = HostServices::Xml()->CreateDocument();
    document->SetDocumentElement(document->CreateElement(QStringLiteral("ResultItem")));
    std::shared_ptr<orvex::XmlElement> saved;
    try {
        saved = measurement.Save(document->DocumentElement());
    } catch (const ComError&) {
        // Only a value without text (none comes from a file) cannot be written.
        __builtin_trap();
    }
    if (!saved) return nullptr;
    const auto reread = HostServices::Xml()->CreateDocument();
    reread->LoadText(document->ToText());
    auto fresh = std::make_shared<CMeasurement>();
    try {
        fresh->Load(reread->DocumentElement()->Child(0), NewLog());
    } catch (const ComError&) {
        __builtin_trap();
    }
    return fresh;
}

// The verdict and the kind of value survive storing as they are. Texts may come back with their
// line ends and attribute blanks normalised by the XML layer, so they are compared once that has
// happened: from the second round trip on nothing may change.
void CheckStored(CMeasurement& measurement) {
    const auto once = SaveAndReload(measurement);
    if (!once) return;
    if (once->Status() != measurement.Status() || once->ValueType() != measurement.ValueType() ||
        once->Value().IsNull() != measurement.Value().IsNull()) {
        __builtin_trap();
    }
    const auto twice = SaveAndReload(*once);
    if (!twice || twice->Key() != once->Key() || twice->Flags() != once->Flags() ||
        twice->Unit() != once->Unit() || twice->Description() != once->Description() ||
        twice->Status() != once->Status() || twice->ValueType() != once->ValueType()) {
        __builtin_trap();
    }
}

void Exercise(const ElementPtr& element) {
    auto measurement = std::make_shared<CMeasurement>();
    for (int32_t pass = 0; pass < 2; ++pass) {
        // The second pass loads over what the first one left.
        try {
            measurement->Load(element, NewLog());
        } catch (const ComError&) {
            // A clear error is a correct answer; the measurement keeps what it had.
        }
    }
    Show(*measurement);
    Judge(*measurement);
    CheckStored(*measurement);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return FuzzHost::Initialize(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzHost::RunOne(data, size, Exercise);
}
