#include "FTimer.h"

#include <exception>

#include "plugin/base/PlugInLog.h"

namespace korotka {

FTimer::FTimer(QObject* parent) : QObject(parent) {
    m_tmrTicks.setSingleShot(true);
    connect(&m_tmrTicks, &QTimer::timeout, this, [this] {
        m_tmrTicks.stop();
        // A Qt timer handler: nothing may leave it. A tick whose handler failed keeps the clock
        // going, as the handler would have.
        try {
            emit TimerTick();
        } catch (const std::exception& error) {
            qCWarning(lcPlugIn, "a clock tick was not handled: %s", error.what());
            StartTimer();
        } catch (...) {
            qCWarning(lcPlugIn, "a clock tick was not handled");
            StartTimer();
        }
    });
}

void FTimer::StartTimer() { m_tmrTicks.start(kIntervalMs); }

void FTimer::StopTimer() { m_tmrTicks.stop(); }

}  // namespace korotka
