#pragma once
// Help texts of this subsystem's controls, keyed by handler name.
#include "core/HelpBook.h"

#include <span>

namespace app {

// The main panel's own controls.
std::span<const core::NamedHelp> AppHelp();

} // namespace app
