// korotka: a diagnostics front end for technicians, and a way to check the driver from outside.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <memory>
#include <string>

#include "driver/CChannel.h"
#include "host/HostLanguageService.h"
#include "host/HostMessageService.h"
#include "host/HostPortTable.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "sim/Simulator.h"

namespace {

constexpr int16_t kPort = 1;

void Print(FILE* stream, const QString& text) { std::fprintf(stream, "%s\n", text.toLocal8Bit().constData()); }

// Control characters as the technician's manual names them.
QString Readable(const QString& text) {
    return QString::fromStdString(korotkasim::Simulator::Readable(text.toLatin1().toStdString()));
}

int Send(const QString& command) {
    korotka::CChannel channel;
    try {
        channel.Open(kPort, QStringLiteral("9600,N,8,1"));
        channel.Send(command);
        const QString reply = channel.Receive();
        channel.Close();
        if (reply.isEmpty()) {
            Print(stderr, QStringLiteral("no reply within one receive window (1000 ms)"));
            return 1;
        }
        Print(stdout, Readable(reply));
        return 0;
    } catch (const orvex::ComError& e) {
        Print(stderr, QStringLiteral("error 0x%1: %2")
                          .arg(static_cast<uint32_t>(e.Number()), 8, 16, QLatin1Char('0'))
                          .arg(e.Description().isEmpty() ? QStringLiteral("raised by ") + e.Source() : e.Description()));
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korotka"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Talks to a Korotka NIBP simulator over its serial line.\n\n"
        "Commands:\n"
        "  send COMMAND   send one bracketed command, e.g. \"[BP_VERSION]\", and print the reply\n"
        "                 (<ACK> marks a positive answer, <NAK> a refusal)"));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("device"), QStringLiteral("Serial device of the Korotka, e.g. /dev/ttyUSB0."),
                      QStringLiteral("path")});
    parser.addOption({QStringLiteral("simulate"), QStringLiteral("Use the built-in simulator instead of a device.")});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do (see above)."));
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    const bool simulate = parser.isSet(QStringLiteral("simulate"));
    if (simulate == parser.isSet(QStringLiteral("device"))) {
        Print(stderr, QStringLiteral("korotka: give either --device PATH or --simulate (see --help)"));
        return 2;
    }
    if (args.size() != 2 || args[0] != QLatin1String("send")) {
        Print(stderr, QStringLiteral("korotka: unknown or incomplete command (see --help)"));
        return 2;
    }

    auto ports = std::make_shared<orvex::HostPortTable>();
    orvex::HostServices::SetPorts(ports);
    orvex::HostServices::SetLanguage(std::make_shared<orvex::HostLanguageService>());
    orvex::HostServices::SetMessages(
        std::make_shared<orvex::HostMessageService>(orvex::HostMessageService::Mode::Console));

    std::unique_ptr<korotkasim::Simulator> sim;
    if (simulate) {
        sim = std::make_unique<korotkasim::Simulator>(korotkasim::SimOptions{});
        std::string error;
        if (!sim->Start(&error)) {
            Print(stderr, QStringLiteral("korotka: the simulator did not start: %1").arg(QString::fromStdString(error)));
            return 1;
        }
        ports->Assign(kPort, QString::fromStdString(sim->SlavePath()));
    } else {
        ports->Assign(kPort, parser.value(QStringLiteral("device")));
    }
    return Send(args[1]);
}
