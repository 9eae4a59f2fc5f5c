#pragma once

class QTimer;
class QSocketNotifier;

namespace comm {

// Waiting for the sensor without spinning: block in the event loop until an event arrives or
// the given time has passed, whichever is first. Socket and serial data are events, so a reply
// ends the wait at once.

class EventWait {
public:
    EventWait();
    ~EventWait();
    EventWait(const EventWait&) = delete;
    EventWait& operator=(const EventWait&) = delete;

    // Processes pending events; if there were none, sleeps until one arrives or maxMs passes.
    void ProcessEventsFor(int maxMs);
    // Processes events for maxMs with `dataNotifier` switched off, so the wait does not wake for
    // every byte of a line that delivers them one by one at a known rate; then switches it back
    // on and collects what came meanwhile.
    void ProcessEventsQuietlyFor(int maxMs, QSocketNotifier* dataNotifier);

private:
    QTimer* wakeTimer;
};

} // namespace comm
