#include "core/CommandGate.h"

#include "core/Shell.h"

namespace core {

bool CommandGate::Run(std::string_view name, const std::function<void()>& command) {
    if (Closed() || Busy()) return false;
    holder = name.empty() ? std::string("COMMAND") : std::string(name);
    cause = StopCause::None;
    command();
    holder.clear();
    // What stopped this command is not meant for the next one; a close stays.
    if (!Closed()) cause = StopCause::None;
    // Queued commands run once, one after the other, not from inside each other's end.
    if (serveQueued && !serving && !Closed()) {
        serving = true;
        serveQueued();
        serving = false;
    }
    return true;
}

void CommandGate::Stop(StopCause given) {
    if (given <= cause) return;
    if (given == StopCause::Loop && !LoopRunning()) return;
    if (given != StopCause::Closing && !Busy()) return;
    cause = given;
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
