#include "FTimers.h"

namespace korotka {

namespace {
constexpr int kTimeoutMs = 1000;
}

FTimers::FTimers(QObject* parent) : QObject(parent), m_tmrTimeOut(this) {
    m_tmrTimeOut.setTimerType(Qt::PreciseTimer);
    connect(&m_tmrTimeOut, &QTimer::timeout, this, &FTimers::tmrTimeOut_Timer);
}

void FTimers::StartTimeout() {
    m_tmrTimeOut.setInterval(kTimeoutMs);
    m_tmrTimeOut.start();
}

void FTimers::StopTimeout() { m_tmrTimeOut.stop(); }

void FTimers::tmrTimeOut_Timer() {
    // Single shot: off before anyone hears of it.
    m_tmrTimeOut.stop();
    emit TimeOut();
}

}  // namespace korotka
