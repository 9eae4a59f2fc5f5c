#pragma once
// Help texts of this subsystem's controls, keyed by handler name.
#include "core/HelpBook.h"

#include <span>

namespace comm {

// The communication page.
std::span<const core::NamedHelp> LinkHelp();

} // namespace comm
