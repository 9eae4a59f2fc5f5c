#include "core/CommandGate.h"

#include "core/Shell.h"

namespace core {

bool CommandGate::Run(std::string_view name, const std::function<void()>& command) {
    if (closed || Busy()) return false;
    holder = name.empty() ? std::string("COMMAND") : std::string(name);
    command();
    holder.clear();
    // Queued commands run once, one after the other, not from inside each other's end.
    if (serveQueued && !serving && !closed) {
        serving = true;
        serveQueued();
        serving = false;
    }
    return true;
}

std::string CommandGate::BusyText(std::string_view refused, std::string_view holder) {
    return std::string(refused) + " REFUSED: " + std::string(holder) + " IS STILL RUNNING!";
}

bool RunCommand(Shell& shell, std::string_view name, const std::function<void()>& command) {
    CommandGate& gate = shell.Gate();
    if (gate.Run(name, command)) return true;
    if (!gate.Closed()) shell.SetStatusLine(CommandGate::BusyText(name, gate.Holder()));
    return false;
}

} // namespace core
