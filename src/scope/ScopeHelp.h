#pragma once
// Help texts of this subsystem's controls, keyed by handler name.
#include "core/HelpBook.h"

#include <span>

namespace scope {

// The scope settings page and the scope panel.
std::span<const core::NamedHelp> ScopeHelp();

} // namespace scope
