// Whatever bytes the instrument sends as a test's reply, the driver reads them through its channel
// into acknowledgement and two fields, or raises a clear error: no crash, no undefined behaviour, no
// leak, no runaway. A reply that raised leaves the result array as it was: no reading is ever taken
// from a reply that failed. A reply that was read gives the acknowledgement of its first byte and
// fields that are the reply's own characters. The bytes come from a simulated Korotka on a
// pseudo-terminal of this process, as a real line would deliver them.

#include <QString>
#include <QThread>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzHost.h"
#include "driver/CChannel.h"
#include "driver/CKorotkaVTI.h"
#include "driver/GDeclares.h"
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "hostapi/ComError.h"
#include "hostapi/VariantArray.h"
#include "sim/Simulator.h"

namespace {

using orvex::Variant;
using orvex::VariantArray;

constexpr int16_t kPort = 1;
constexpr char kAck = 6;
constexpr char kNak = 21;
const Variant kUnread(QStringLiteral("unread"));

struct Line {
    std::unique_ptr<korotkasim::Simulator> sim;
    std::shared_ptr<korotka::CKorotkaVTI> vti;
};

Line& Connected() {
    // Never destroyed: the simulator's thread must outlive every input, and exit needs no order.
    static auto* line = [] {
        auto* made = new Line;
        korotkasim::SimOptions options;
        options.timeScale = 0.01;
        made->sim = std::make_unique<korotkasim::Simulator>(options);
        std::string error;
        if (!made->sim->Start(&error)) FuzzHost::Fail("the simulator did not start");
        auto& environment = FuzzHost::Environment();
        environment.Ports()->Assign(kPort, QString::fromStdString(made->sim->SlavePath()));
        environment.Instruments()->Assign(kPort, {orvex::HostKorotka::kName, QString(), QString(), kPort});
        made->vti = std::make_shared<korotka::CKorotkaVTI>();
        made->vti->StartRemote();
        // From here on every byte on the line is the input's.
        made->sim->SetAutoReply(false);
        return made;
    }();
    return *line;
}

// Starts a static pressure step that only reads the gauge: one command, no reply awaited. Sending
// drops whatever an earlier input left on the line.
void StartGaugeStep(korotka::CKorotkaVTI& vti) {
    korotka::eTestId stop = korotka::TESTID_PRESS_STATIC;
    vti.StopTest(stop);
    Variant params(VariantArray::FromList({Variant(300), Variant("250"), Variant(0), Variant(true)}));
    vti.StartTest(params);
    if (vti.VtiState() != korotka::evtiPerformingTest) FuzzHost::Fail("the gauge step did not start");
}

// The field is the value with blanks around it, and the value has none at either end.
bool PaddedBySpaces(const QString& field, const QString& value) {
    const auto blanks = [](QStringView text) {
        return std::all_of(text.begin(), text.end(), [](QChar c) { return c == QLatin1Char(' '); });
    };
    const qsizetype at = field.indexOf(value);
    return at >= 0 && blanks(QStringView(field).left(at)) &&
           blanks(QStringView(field).mid(at + value.size())) && !value.startsWith(QLatin1Char(' ')) &&
           !value.endsWith(QLatin1Char(' '));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzHost::Initialize(argc, argv);
    Connected();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 2 * static_cast<size_t>(korotka::CChannel::kMaxReply)) return 0;
    FuzzHost::Environment();
    Line& line = Connected();
    StartGaugeStep(*line.vti);

    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The final CR LF ends the reply at once; a reply without one would cost a silent second.
    line.sim->Schedule({{0, bytes + "\r\n"}});
    Variant result(VariantArray::FromList({kUnread, kUnread, kUnread}));
    const auto& read = result.ToArray();
    // The line may deliver the bytes in pieces: a reply may then end at an earlier CR LF, or after
    // a leading NAK. Only a reply in one piece with neither must be read whole.
    const bool whole = bytes.find("\r\n") == std::string::npos && (bytes.empty() || bytes[0] != kNak);
    const bool tooLong = whole && bytes.size() + 2 > static_cast<size_t>(korotka::CChannel::kMaxReply);
    int32_t testId = korotka::TESTID_PRESS_STATIC;
    try {
        line.vti->GetTestResult(testId, result);
    } catch (const orvex::ComError&) {
        for (int32_t i = 0; i <= 2; ++i) {
            if (!read.At(i).Equals(kUnread)) FuzzHost::Fail("a reply that failed was read");
        }
        if (!whole || tooLong) {
            // The rest of a refused reply may still be on its way; it must not open the next one.
            QThread::msleep(20);
            StartGaugeStep(*line.vti);
            return 0;
        }
        FuzzHost::Fail("a reply within the limits failed");
    }
    if (tooLong) FuzzHost::Fail("a reply longer than the limit was read");

    const int16_t ack = read.At(0).ToInteger();
    const char first = bytes.empty() ? '\0' : bytes[0];
    const int16_t expected = first == kAck ? 6 : first == kNak ? 21 : 0;
    if (ack != expected) FuzzHost::Fail("the acknowledgement is not that of the reply's first byte");
    const QString payload = QString::fromLatin1(bytes.data() + (ack == 6 ? 1 : 0),
                                                static_cast<qsizetype>(bytes.size()) - (ack == 6 ? 1 : 0));
    const QString value = read.At(1).ToString();
    const QString unit = read.At(2).ToString();
    if (value.size() > 5 || !payload.left(5).contains(value) || !payload.mid(5).contains(unit)) {
        FuzzHost::Fail("a field holds what the reply did not say there");
    }
    if (whole && (!PaddedBySpaces(payload.left(5), value) || !PaddedBySpaces(payload.mid(5), unit))) {
        FuzzHost::Fail("a reply in one piece was not read whole");
    }
    return 0;
}
