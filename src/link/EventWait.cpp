#include "link/EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

EventWait::EventWait() : wakeTimer(new QTimer) {
    wakeTimer->setSingleShot(true);
    wakeTimer->setTimerType(Qt::PreciseTimer);
}

EventWait::~EventWait() {
    delete wakeTimer;
}

void EventWait::ProcessEventsFor(int maxMs) {
    wakeTimer->start(maxMs < 0 ? 0 : maxMs);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wakeTimer->stop();
}
