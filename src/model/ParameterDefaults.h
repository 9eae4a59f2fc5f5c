#pragma once
// Values the controls start with and that a parameter file lacking a key falls back to.
#include "protocol/ParameterImage.h"

#include <array>
#include <cstdint>

namespace params {

inline constexpr std::array<std::uint16_t, protocol::kParameterCount> kDefaultParameters = {
    500,  // POWER
    0,    // POWER MODE: STAT
    1,    // AVERAGE
    1,    // EVALUATION MODE: BEST HIT
    10,   // HOLD FAIL
    0,    // INTLIM
    1,    // MAX VEC NO
    0,    // DIGITAL OUTMODE
    0,    // TRIGGER: CONT
    0,    // EXTERN TEACH: OFF
    0,    // CALCULATION MODE: X Y INT 2D
    3200, // DYNWIN LO
    3300, // DYNWIN HI
    0,    // COLOR GROUP: off
    0,    // LED MODE: DC
    5,    // GAIN
    1,    // INTEGRAL
};

constexpr std::uint16_t kDefaultTeachCell = 1;
constexpr std::uint16_t kDefaultGroup = 0;
constexpr std::uint16_t kDefaultHold = 10;

// Teach cells 1, GROUP 0, HOLD 10, reserved word 0.
protocol::TeachVector DefaultTeachVector();

// The file defaults in the parameter block and DefaultTeachVector in every row.
protocol::ParameterImage DefaultParameterImage();

} // namespace params
