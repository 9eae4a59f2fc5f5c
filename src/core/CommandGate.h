#pragma once
// Commands cannot nest, and there is one way to stop them. The event loop keeps running while
// the program waits for the sensor, so a click can arrive in the middle of an exchange; a second
// command started there would take the first one's reply. One command at a time holds the gate:
// a command that arrives while another holds it is either queued (SEND and GET, through their
// pending flags) or refused with a status text. Every operation and every loop runs through Run,
// and every way of ending one (STOP, a lost link, closing the window, leaving for a page that
// ends measuring) goes through Stop; loops and waits ask StopRequested.
#include <functional>
#include <string>
#include <string_view>

namespace core {

// Why the command in progress is to end, weakest first.
enum class StopCause {
    None,
    Loop,     // the running flag cleared: a failure reported, the COM or scope page chosen; ends
              // a measuring loop only
    Operator, // STOP, BREAK SCAN, STOP RECORD
    LinkLost, // the connection closed or the serial device vanished
    Closing,  // the window was closed; stays for the rest of the run
};

class CommandGate {
public:
    // Runs `command` as the one command in progress and returns true; returns false at once,
    // running nothing, while another command holds the gate or after Close.
    bool Run(std::string_view name, const std::function<void()>& command);

    bool Busy() const { return !holder.empty(); }
    const std::string& Holder() const { return holder; }

    // Called each time the gate has become free after a command, to serve what was queued
    // meanwhile (it may run further commands through Run).
    void SetQueueServer(std::function<void()> server) { serveQueued = std::move(server); }

    // The one call that ends what runs. A cause weaker than one already given changes nothing;
    // Loop ends nothing but a measuring loop, and without a command nothing but Closing stays.
    void Stop(StopCause cause);
    // The command in progress has been asked to end: loops leave, and the link gives up waiting
    // for the reply to a read.
    bool StopRequested() const { return cause != StopCause::None; }
    StopCause Cause() const { return cause; }

    // The window is closing: what runs ends, nothing new starts from now on.
    void Close() { Stop(StopCause::Closing); }
    bool Closed() const { return cause == StopCause::Closing; }

    // A measuring loop (GO, the recorder, the teach recordings) runs: what the running flag was.
    bool LoopRunning() const { return loopDepth > 0; }
    // Marks a measuring loop for as long as it lives. As the running flag was set at a loop's
    // start, a Loop stop given before (a failure in the command's first steps) does not end it,
    // and one that ended it does not reach the command's steps after it.
    class MeasuringLoop {
    public:
        explicit MeasuringLoop(CommandGate& gate) : gate(gate) { ++gate.loopDepth; }
        ~MeasuringLoop() {
            if (--gate.loopDepth == 0 && gate.cause == StopCause::Loop)
                gate.cause = StopCause::None;
        }
        MeasuringLoop(const MeasuringLoop&) = delete;
        MeasuringLoop& operator=(const MeasuringLoop&) = delete;

    private:
        CommandGate& gate;
    };

    // Status text of a command refused because `holder` is still running.
    static std::string BusyText(std::string_view refused, std::string_view holder);

private:
    std::string holder;
    std::function<void()> serveQueued;
    StopCause cause = StopCause::None;
    int loopDepth = 0;
    bool serving = false;
};

} // namespace core
