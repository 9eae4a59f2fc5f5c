#pragma once
// Commands cannot nest. The event loop keeps running while the program waits for the sensor, so
// a click can arrive in the middle of an exchange; a second command started there would take
// the first one's reply. One command at a time holds the gate: a command that arrives while
// another holds it is either queued (SEND and GET, through their pending flags) or refused
// with a status text. Every operation and every loop runs through Run.
#include <functional>
#include <string>
#include <string_view>

namespace core {

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

    // The window is closing: nothing new starts from now on.
    void Close() { closed = true; }
    bool Closed() const { return closed; }

    // Status text of a command refused because `holder` is still running.
    static std::string BusyText(std::string_view refused, std::string_view holder);

private:
    std::string holder;
    std::function<void()> serveQueued;
    bool closed = false;
    bool serving = false;
};

} // namespace core
