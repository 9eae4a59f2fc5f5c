#include "link/EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace comm {

EventWait::EventWait() : wakeTimer(new QTimer) {
    wakeTimer->setSingleShot(true);
    wakeTimer->setTimerType(Qt::PreciseTimer);
    sinceEventPass.start();
}

EventWait::~EventWait() {
    delete wakeTimer;
}

void EventWait::ProcessEventsFor(int maxMs) {
    wakeTimer->start(maxMs < 0 ? 0 : maxMs);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wakeTimer->stop();
    sinceEventPass.start();
}

int EventWait::MsUntilEventPass() const {
    return int(std::max<qint64>(kEventPassIntervalMs - sinceEventPass.elapsed(), 0));
}

bool EventWait::EventPassOverdue() const {
    return sinceEventPass.elapsed() >= 2 * kEventPassIntervalMs;
}

} // namespace comm
