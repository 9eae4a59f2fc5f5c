#pragma once

#include <QElapsedTimer>

class QTimer;

namespace comm {

// Waiting for the sensor without spinning: block in the event loop until an event arrives or
// the given time has passed, whichever is first. Socket and serial data are events, so a reply
// ends the wait at once.

class EventWait {
public:
    // How long a wait may block on the sensor alone after the event loop last ran: clicks,
    // timers and paints wait no longer than this (plus the turn in hand) to be served.
    static constexpr int kEventPassIntervalMs = 10;

    EventWait();
    ~EventWait();
    EventWait(const EventWait&) = delete;
    EventWait& operator=(const EventWait&) = delete;

    // Processes pending events; if there were none, sleeps until one arrives or maxMs passes.
    void ProcessEventsFor(int maxMs);
    // Milliseconds until the event loop is due to run again; 0 when it is due now.
    int MsUntilEventPass() const;
    // The event loop is due since a whole interval: it runs now, whatever the wait would prefer.
    bool EventPassOverdue() const;

private:
    QTimer* wakeTimer;
    QElapsedTimer sinceEventPass;
};

} // namespace comm
