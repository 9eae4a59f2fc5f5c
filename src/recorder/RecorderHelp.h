#pragma once
// Help texts of this subsystem's controls, keyed by handler name.
#include "core/HelpBook.h"

#include <span>

namespace recorder {

// The recorder page.
std::span<const core::NamedHelp> RecorderHelp();
// The recorder page's displays that only this program has.
std::span<const core::NamedHelp> RecorderOwnHelp();

} // namespace recorder
