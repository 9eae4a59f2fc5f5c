#pragma once
// Help texts of this subsystem's controls, keyed by handler name.
#include "core/HelpBook.h"

#include <span>

namespace calibration {

// The white calibration page.
std::span<const core::NamedHelp> CalibrationHelp();

// The offset compensation page.
std::span<const core::NamedHelp> OffsetHelp();

} // namespace calibration
