#include "Diagnostics.h"

#include <algorithm>

#include "InstrumentTest.h"
#include "driver/CChannel.h"
#include "driver/CKorotkaMlcQuery.h"
#include "hostapi/ComError.h"
#include "sim/Simulator.h"

namespace korotkatool {

void Diagnostics::Print(FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

QString Diagnostics::Readable(const QString& text) {
    return QString::fromStdString(korotkasim::Simulator::Readable(text.toLatin1().toStdString()));
}

int Diagnostics::Send(const QString& command) {
    const qsizetype messagesBefore = m_session.Messages().size();
    korotka::CChannel channel;
    try {
        // Host port numbers run from 1 to 255.
        channel.Open(static_cast<int16_t>(m_session.Port()), QStringLiteral("9600,N,8,1"));
        channel.Send(command);
        const QString reply = channel.Receive();
        channel.Close();
        if (reply.isEmpty()) {
            Print(stderr, QStringLiteral("korotka: no reply within one receive window (1000 ms)"));
            return kFailed;
        }
        Print(stdout, Readable(reply));
        return kSucceeded;
    } catch (const orvex::ComError& e) {
        return Failed(e, messagesBefore);
    }
}

int Diagnostics::Identify() {
    const qsizetype messagesBefore = m_session.Messages().size();
    korotka::CKorotkaMlcQuery query;
    const orvex::InstrumentInfo info = query.QueryMTI(m_session.Port());
    if (info.found != 1) {
        // A port that could not be opened has been explained by the driver already; silence has not.
        if (m_session.Messages().size() == messagesBefore) {
            Print(stderr, QStringLiteral("korotka: no Korotka answered on %1").arg(m_session.DevicePath()));
        }
        return kFailed;
    }
    Print(stdout, QStringLiteral("name: ") + Readable(info.name));
    Print(stdout, QStringLiteral("serial number: ") + Readable(info.serialNo));
    Print(stdout, QStringLiteral("firmware version: ") + Readable(info.fwVersion));
    return kSucceeded;
}

int Diagnostics::Test(const QStringList& parameters, int polls) {
    const qsizetype messagesBefore = m_session.Messages().size();
    InstrumentTest test;
    test.LoadTimeouts();
    try {
        const InstrumentTest::Result result = test.Run(parameters, polls);
        Print(stdout, QStringLiteral("ack=%1 field1=%2 field2=%3")
                          .arg(result.ack)
                          .arg(Readable(result.field1), Readable(result.field2)));
        return kSucceeded;
    } catch (const orvex::ComError& e) {
        return Failed(e, messagesBefore);
    }
}

int Diagnostics::Failed(const orvex::ComError& error, qsizetype messagesBefore) {
    const auto& shown = m_session.Messages();
    const bool alreadyShown =
        std::any_of(shown.begin() + messagesBefore, shown.end(),
                    [&](const auto& message) { return message.text == error.Description(); });
    QString description = error.Description();
    if (description.isEmpty()) {
        description = QStringLiteral("raised by ") + error.Source();
    } else if (alreadyShown) {
        description = QStringLiteral("see the message above");
    }
    Print(stderr, QStringLiteral("error 0x%1: %2")
                      .arg(static_cast<uint32_t>(error.Number()), 8, 16, QLatin1Char('0'))
                      .arg(description));
    return kFailed;
}

}  // namespace korotkatool
