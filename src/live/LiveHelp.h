#pragma once
// Help texts of this subsystem's controls, keyed by handler name.
#include "core/HelpBook.h"

#include <span>

namespace live {

// GO and STOP and the data panel.
std::span<const core::NamedHelp> LiveHelp();

// The graph panel.
std::span<const core::NamedHelp> GraphPanelHelp();

} // namespace live
