#pragma once
// Computations on a received measurement, shared by the live loops.
#include "protocol/MeasurementFrame.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace live {

// max(raw red, raw green, raw blue) - min(...)
std::uint16_t RawDelta(const protocol::MeasurementFrame& frame);

// 0xRRGGBB of (red/16, green/16, blue/16); components above 255 are limited to 255.
std::uint32_t LiveColour(const protocol::MeasurementFrame& frame);

// OUT0..OUT4 from the colour number: its low five bits, and all five for any value of 32 or more
// (255 is the failure condition).
std::array<bool, 5> OutputIndicators(std::uint16_t colourNumber);

} // namespace live
