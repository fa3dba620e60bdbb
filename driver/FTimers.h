#pragma once

#include <QObject>
#include <QTimer>

namespace korotka {

// Owner of the channel's 1000 ms inactivity timer. Its expiry arrives through the event loop,
// so it is seen only while the waiting code pumps events.
class FTimers : public QObject {
    Q_OBJECT
public:
    explicit FTimers(QObject* parent = nullptr);

    // (Re)starts the full 1000 ms window.
    void StartTimeout();
    void StopTimeout();

signals:
    void TimeOut();

private:
    void tmrTimeOut_Timer();

    QTimer m_tmrTimeOut;
};

}  // namespace korotka
