#pragma once
// A timer that is restarted far more often than it fires, like a watchdog that
// every request restarts: a restart only moves the deadline, and the underlying
// timer is re-armed when it fires before it. Same use as a repeating QTimer.

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

namespace dz {

class RestartableTimer final : public QObject {
    Q_OBJECT
public:
    explicit RestartableTimer(QObject* parent = nullptr);

    void setInterval(int ms) { m_interval = ms; }
    int interval() const { return m_interval; }
    // (Re)starts the countdown: fires `interval` from now, then every `interval`.
    void start();
    void stop();
    bool isActive() const { return m_active; }

signals:
    void timeout();

private:
    void arm(qint64 ms);
    void onTimer();

    QTimer m_timer;
    QDeadlineTimer m_deadline;  // when it fires
    QDeadlineTimer m_armedFor;  // when the underlying timer fires
    int m_interval = 0;
    bool m_active = false;
};

}  // namespace dz
