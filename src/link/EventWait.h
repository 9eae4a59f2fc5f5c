#pragma once
// Waiting for the sensor without spinning: block in the event loop until an event arrives or
// the given time has passed, whichever is first. Socket and serial data are events, so a reply
// ends the wait at once.
class QTimer;

class EventWait {
public:
    EventWait();
    ~EventWait();
    EventWait(const EventWait&) = delete;
    EventWait& operator=(const EventWait&) = delete;

    // Processes pending events; if there were none, sleeps until one arrives or maxMs passes.
    void ProcessEventsFor(int maxMs);

private:
    QTimer* wakeTimer;
};
