#pragma once
// Help texts of this subsystem's controls, keyed by handler name.
#include "core/HelpBook.h"

#include <span>

namespace params {

// The transfer commands, the parameter page and the group/hold page.
std::span<const core::NamedHelp> ParameterHelp();

} // namespace params
