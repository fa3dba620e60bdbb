#include "FTimer.h"

namespace korotka {

FTimer::FTimer(QObject* parent) : QObject(parent) {
    m_tmrTicks.setSingleShot(true);
    connect(&m_tmrTicks, &QTimer::timeout, this, [this] {
        m_tmrTicks.stop();
        emit TimerTick();
    });
}

void FTimer::StartTimer() { m_tmrTicks.start(kIntervalMs); }

void FTimer::StopTimer() { m_tmrTicks.stop(); }

}  // namespace korotka
