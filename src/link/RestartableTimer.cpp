#include "link/RestartableTimer.h"

namespace dz {

RestartableTimer::RestartableTimer(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RestartableTimer::onTimer);
}

void RestartableTimer::arm(qint64 ms)
{
    m_armedFor = QDeadlineTimer(ms, Qt::PreciseTimer);
    m_timer.start(static_cast<int>(ms));
}

void RestartableTimer::start()
{
    m_active = true;
    m_deadline = QDeadlineTimer(m_interval, Qt::PreciseTimer);
    // Only a deadline earlier than the armed one needs the timer itself restarted.
    if (!m_timer.isActive() || m_deadline < m_armedFor) {
        arm(m_interval);
    }
}

void RestartableTimer::stop()
{
    m_active = false;
    m_timer.stop();
}

void RestartableTimer::onTimer()
{
    if (!m_active) {
        return;
    }
    if (!m_deadline.hasExpired()) {
        arm((m_deadline.remainingTimeNSecs() + 999999) / 1000000);
        return;
    }
    m_deadline = QDeadlineTimer(m_interval, Qt::PreciseTimer);
    arm(m_interval);
    emit timeout();
}

}  // namespace dz
