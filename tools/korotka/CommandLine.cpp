#include "CommandLine.h"

#include <optional>

#include "host/platform/HostSettingsFile.h"

namespace korotkatool {

namespace {

const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");
const QString kDevice = QStringLiteral("device");
const QString kSimulate = QStringLiteral("simulate");
const QString kTimeScale = QStringLiteral("time-scale");
const QString kFault = QStringLiteral("fault");
const QString kPolls = QStringLiteral("polls");
const QString kVerbose = QStringLiteral("verbose");

}  // namespace

CommandLine::CommandLine() {
    m_parser.setApplicationDescription(QStringLiteral(
        "Talks to a Korotka NIBP simulator over its serial line: checks that it answers, runs single\n"
        "tests and sends single commands, without the test host.\n\n"
        "Commands:\n"
        "  identify          ask the Korotka for its name, serial number and firmware version\n"
        "  test P0 [P1 ...]  run one test the way a test sequence runs it and print the answer\n"
        "  send COMMAND      send one bracketed command, e.g. \"[BP_VERSION]\", and print the reply\n"
        "                    (<ACK> marks a positive answer, <NAK> a refusal)"));
    // Not addHelpOption(): its --help-all lists options of graphical applications that do not apply here.
    m_parser.addOption({{QStringLiteral("h"), kHelp}, QStringLiteral("Show this help.")});
    m_parser.addOption({kVersion, QStringLiteral("Show the version.")});
    m_parser.addOption({kDevice, QStringLiteral("Serial device of the Korotka, e.g. /dev/ttyUSB0."),
                        QStringLiteral("path")});
    m_parser.addOption(
        {kSimulate, QStringLiteral("Use the built-in simulated Korotka instead of a device.")});
    m_parser.addOption(
        {kTimeScale,
         QStringLiteral("With --simulate: how fast the simulated pump and valves run; 1 is real "
                        "time, 0.1 ten times faster (default %1).")
             .arg(kDefaultTimeScale),
         QStringLiteral("X")});
    m_parser.addOption({kFault,
                        QStringLiteral("With --simulate: let the simulated Korotka misbehave (%1).")
                            .arg(QString::fromStdString(korotkasim::FaultNames())),
                        QStringLiteral("name")});
    m_parser.addOption({kPolls,
                        QStringLiteral("With test: how many one-second reply windows to wait for the answer "
                                       "(1 to %1, default %2).")
                            .arg(kMaxPolls)
                            .arg(kDefaultPolls),
                        QStringLiteral("N")});
    m_parser.addOption(
        {kVerbose,
         QStringLiteral("Also report on stderr the failures that the driver and the host pass over.")});
    m_parser.addPositionalArgument(QStringLiteral("command"),
                                   QStringLiteral("identify, test or send (see above)."),
                                   QStringLiteral("command [arguments]"));
}

bool CommandLine::Parse(const QStringList& arguments, QString* error) {
    m_request = Request{};
    m_request.simulator.timeScale = kDefaultTimeScale;
    m_request.polls = kDefaultPolls;
    if (!m_parser.parse(arguments)) {
        *error = m_parser.errorText();
        if (error->endsWith(QLatin1Char('.'))) error->chop(1);  // the hint follows on the same line
        return false;
    }
    m_helpRequested = m_parser.isSet(kHelp);
    m_versionRequested = m_parser.isSet(kVersion);
    if (m_helpRequested || m_versionRequested) return true;
    m_request.verbose = m_parser.isSet(kVerbose);
    return ParseTarget(error) && ParseCommand(m_parser.positionalArguments(), error);
}

bool CommandLine::ParseTarget(QString* error) {
    const bool device = m_parser.isSet(kDevice);
    const bool simulate = m_parser.isSet(kSimulate);
    if (device && simulate) {
        *error = QStringLiteral("give either --device PATH or --simulate, not both");
        return false;
    }
    if (!simulate && (m_parser.isSet(kTimeScale) || m_parser.isSet(kFault))) {
        *error = QStringLiteral("--time-scale and --fault only go with --simulate");
        return false;
    }
    if (device) {
        m_request.target = Target::Device;
        m_request.device = m_parser.value(kDevice);
        if (m_request.device.isEmpty()) {
            *error = QStringLiteral("--device needs the path of a serial device");
            return false;
        }
        return true;
    }
    if (!simulate) return true;

    m_request.target = Target::Simulator;
    if (m_parser.isSet(kTimeScale)) {
        bool ok = false;
        m_request.simulator.timeScale = m_parser.value(kTimeScale).toDouble(&ok);
        if (!ok) {
            *error = QStringLiteral("--time-scale needs a number, e.g. 0.1");
            return false;
        }
    }
    if (m_parser.isSet(kFault)) {
        const std::optional<korotkasim::Fault> fault =
            korotkasim::FaultFromName(m_parser.value(kFault).toStdString());
        if (!fault) {
            *error = QStringLiteral("unknown fault \"%1\"; one of %2")
                         .arg(m_parser.value(kFault), QString::fromStdString(korotkasim::FaultNames()));
            return false;
        }
        m_request.simulator.fault = *fault;
    }
    const std::string problem = korotkasim::CheckOptions(m_request.simulator);
    if (!problem.empty()) {
        *error = QString::fromStdString(problem);
        return false;
    }
    return true;
}

bool CommandLine::ParseCommand(const QStringList& words, QString* error) {
    const QString command = words.value(0);
    if (command != QLatin1String("test") && m_parser.isSet(kPolls)) {
        *error = QStringLiteral("--polls only goes with test");
        return false;
    }
    if (command == QLatin1String("identify") && words.size() == 1) {
        m_request.command = Command::Identify;
        return true;
    }
    if (command == QLatin1String("send") && words.size() == 2) {
        m_request.command = Command::Send;
        m_request.sendText = words.at(1);
        return true;
    }
    if (command == QLatin1String("test") && words.size() >= 2) {
        m_request.command = Command::Test;
        m_request.parameters = words.mid(1);
        if (m_parser.isSet(kPolls)) {
            bool ok = false;
            m_request.polls = m_parser.value(kPolls).toInt(&ok);
            if (!ok || m_request.polls < 1 || m_request.polls > kMaxPolls) {
                *error = QStringLiteral("--polls needs a whole number from 1 to %1").arg(kMaxPolls);
                return false;
            }
        }
        return true;
    }
    if (command.isEmpty()) {
        *error = QStringLiteral("say what to do: identify, test or send");
    } else if (command == QLatin1String("identify") || command == QLatin1String("send") ||
               command == QLatin1String("test")) {
        *error = QStringLiteral("wrong number of arguments for %1").arg(command);
    } else {
        *error = QStringLiteral("unknown command \"%1\"").arg(command);
    }
    return false;
}

QString CommandLine::HelpText() const {
    return m_parser.helpText() + QStringLiteral(R"(
Which Korotka:
  --device PATH     the instrument on that serial device
  --simulate        a simulated instrument inside this program (for training and demos)
  neither           the port the Korotka is registered on in the settings file
                    %1
                    (group [Instruments], a sub-group per port with Name=Korotka; group [Ports]
                    with <port>=<device path>)

Tests: P0 chooses the test, the parameters after it go in this order. "_" marks a place
that the test does not read: type anything there, e.g. _ or 0.
  100  leak                    100 PRESSURE UNIT _ _ _ INTERNAL_CUFF
  200  relief valve            200 PRESSURE UNIT
  300  static pressure         300 PRESSURE UNIT GAUGE_ONLY _ MEASURE_ONLY
  400  blood pressure          400 FAMILY PRESET BPUNIT INTERNAL_CUFF
  900  vent the system         900

  PRESSURE        target pressure (leak, static) or upper limit (relief) in mmHg, e.g. 250
  UNIT            unit of the reading: 0 mmHg, 1 kPa, 2 cmH2O, 3 inH2O, 4 PSI
  INTERNAL_CUFF   True: the Korotka's internal cuff, False: the external cuff on the monitor
  GAUGE_ONLY      True: only read the gauge as it is set now (no venting, cuff or unit change)
  MEASURE_ONLY    with GAUGE_ONLY False: True reads the gauge in UNIT; False vents, selects
                  the external cuff, pumps to PRESSURE and reads it
  FAMILY, PRESET  the blood-pressure simulation:
                    0 standard     0 60/30, 1 80/50, 2 100/65, 3 120/80, 4 150/100,
                                   5 200/150, 6 255/195
                    1 conditions   0 healthy, 1 weak pulse, 2 mild exercise, 3 strenuous
                                   exercise, 4 obese, 5 geriatric, 6 tachycardia, 7 bradycardia
                    2 arrhythmias  0 PAC1, 1 PAC2, 2 PVC, 3 AFIB with PVC
                    3 respiratory  0 SB1, 1 SB2, 2 SB3, 3 CV
                    4 neonate      0 35/15, 1 60/30, 2 80/50, 3 100/70
                    5 wrist cuff   0 80/55, 1 120/80, 2 160/100
  BPUNIT          unit of the simulated blood pressure: 0 mmHg, 1 kPa
True and False may be written in any case.

The answer is one line "ack=<code> field1=<text> field2=<text>": ack=6 is a positive answer,
ack=21 a refusal; for pressure tests field1 is the reading and field2 its unit (ERROR when
the pump could not reach the pressure), for blood pressure READY and the simulation. Control
characters are shown as <ACK>, <NAK>, <CR>, <LF> or <xHH>.

A test waits --polls reply windows of one second each for the answer. Pumping up and leak
tests take a real Korotka many seconds: give it e.g. --polls 60, and --polls 150 for a leak
test. The simulated Korotka runs ten times faster by default.

Exit status: 0 done, 1 the Korotka did not answer or reported an error, 2 wrong arguments
or no Korotka registered.

Examples:
  korotka --simulate identify
  korotka --simulate test 300 250 0 False 0 False        switch the pump on towards 250 mmHg
  korotka --simulate test 300 250 0 True                 read the gauge once 250 mmHg is held
  korotka --simulate test 100 250 0 _ _ _ False --polls 10
  korotka --simulate --fault silence identify            a Korotka that does not answer
  korotka --device /dev/ttyUSB0 identify
  korotka --device /dev/ttyUSB0 test 400 0 3 0 False --polls 60   simulate 120/80 mmHg
  korotka --device /dev/ttyUSB0 test 900 --polls 30     vent the pneumatic system
  korotka --device /dev/ttyUSB0 send "[BP_SERIAL]"
  korotka identify                                       the registered Korotka)")
                                     .arg(orvex::HostSettingsFile::Path());
}

}  // namespace korotkatool
