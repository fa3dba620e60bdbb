#pragma once

#include <QObject>
#include <QTimer>

#include "plugin/base/PlugInExport.h"

namespace korotka {

// The one-second clock of the leak and over-pressure tests. Each tick switches the timer off
// before it is reported, so a handler that takes longer than a second never sees ticks pile up;
// the handler re-arms it with StartTimer.
class KOROTKA_PLUGIN_EXPORT FTimer : public QObject {
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 1000;

    explicit FTimer(QObject* parent = nullptr);

    void StartTimer();
    void StopTimer();
    bool Running() const { return m_tmrTicks.isActive(); }

signals:
    void TimerTick();

private:
    QTimer m_tmrTicks;
};

}  // namespace korotka
