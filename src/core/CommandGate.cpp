#include "core/CommandGate.h"

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

} // namespace core
