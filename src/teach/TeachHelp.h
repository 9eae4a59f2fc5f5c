#pragma once
// Help texts of this subsystem's controls, keyed by handler name.
#include "core/HelpBook.h"

#include <span>

namespace teach {

// The teach operations on the teach-table page and the two teach panels.
std::span<const core::NamedHelp> TeachHelp();

// Title and text of the popup that the teach table's context-menu item "Help" opens; the
// table has no right-click entry.
inline constexpr const char* kTeachTableHelpTitle = "INFO!";
const char* TeachTableHelpText();

} // namespace teach
