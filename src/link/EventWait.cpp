#include "link/EventWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

namespace dz {

void pumpOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (done()) {
        return true;
    }
    const QDeadlineTimer deadline =
        timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeoutMs, Qt::PreciseTimer);
    // Only there to wake the dispatcher when the time is up.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    if (timeoutMs >= 0) {
        wake.start(timeoutMs);
    }
    // processEvents() rather than a nested QEventLoop: a QEventLoop returns at once
    // while the application is quitting, which would turn every wait into a spin.
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace dz
