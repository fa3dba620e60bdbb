// Whatever a sequence file holds, loading a configuration record from it must end in the record's
// values or a clear error: no crash, no undefined behaviour, no leak, no runaway. The bytes go
// through the host's XML parser, then to each record's Load, as the document element and as each
// of its first children (where a test element keeps its records). A record that loaded, or kept
// what it had, must then save, print and describe itself, and load again what it saved.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "FuzzHost.h"
#include "host/records/HostLoadLog.h"
#include "host/records/HostReportContext.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/config/CConfigLeak.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/config/CConfigPressure.h"
#include "plugin/config/MPresets.h"

namespace {

using orvex::ComError;
using orvex::HostServices;

// Records are small; larger inputs only spend the time budget in the parser.

using ElementPtr = std::shared_ptr<orvex::XmlElement>;

std::shared_ptr<orvex::HostLoadLog> NewLog() {
    return std::make_shared<orvex::HostLoadLog>(HostServices::Language());
}

// Save, then load what was saved into a fresh record: a record must always read its own output.
template <class Record>
void SaveAndReload(Record& record) {
    const auto document = HostServices::Xml()->CreateDocument();
    document->SetDocumentElement(record.Save(document));
    const QString text = document->ToText();
    const auto reread = HostServices::Xml()->CreateDocument();
    reread->LoadText(text);
    Record fresh;
    try {
        fresh.Load(reread->DocumentElement(), NewLog());
    } catch (const ComError&) {
        __builtin_trap();
    }
}

// prepare does what the owning test does before it loads the record; describe asks the record what
// the test and the views ask it afterwards.
template <class Record>
void Exercise(const ElementPtr& element, const std::function<void(Record&)>& prepare,
              const std::function<void(Record&)>& describe) {
    auto record = std::make_shared<Record>();
    prepare(*record);
    try {
        record->Load(element, NewLog());
    } catch (const ComError&) {
        // A clear error is a correct answer; the record keeps its defaults.
    }
    SaveAndReload(*record);
    record->PrintReport(std::make_shared<orvex::HostReportContext>(HostServices::Language()));
    record->Clone();
    try {
        describe(*record);
    } catch (const ComError&) {
        // A loaded pressure may be too large to become whole mmHg: Overflow, and nothing else.
    }
}

void LoadEveryRecord(const ElementPtr& element) {
    Exercise<korotka::CConfigPressure>(
        element, [](korotka::CConfigPressure& record) { record.SetShowNoPumpCheckbox(true); },
        [](korotka::CConfigPressure& record) {
            record.GetDescription();
            record.GetTestParameters();
        });
    Exercise<korotka::CConfigLeak>(
        element, [](korotka::CConfigLeak&) {},
        [](korotka::CConfigLeak& record) {
            record.GetDescription();
            record.GetTestParameters();
        });
    // Every family, and one on either side of the table.
    for (int32_t family = -1; family <= korotka::MPresets::kFamilyCount; ++family) {
        Exercise<korotka::CConfigPBP>(
            element, [family](korotka::CConfigPBP& record) { record.SetTestType(family); },
            [](korotka::CConfigPBP& record) {
                record.ExpectedValue(QStringLiteral("SYST"));
                record.ExpectedValue(QStringLiteral("HART"));
                record.GetTestParameters();
            });
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return FuzzHost::Initialize(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzHost::RunOne(data, size, LoadEveryRecord);
}
