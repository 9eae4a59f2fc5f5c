#pragma once
// Help texts of this subsystem's controls, keyed by handler name.
#include "core/HelpBook.h"

#include <span>

namespace settings {

// The table attributes page. Its controls have always shown their help under "Info".
std::span<const core::NamedHelp> SettingsHelp();

} // namespace settings
