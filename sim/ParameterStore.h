#pragma once
// The simulated sensor's parameter memory: two parameter sets in RAM and in EEPROM, the
// plausibility check that guards them, and the EEPROM file that keeps them across restarts.
#include "protocol/ParameterImage.h"
#include "sim/ModelNames.h"

#include <array>
#include <cstdint>
#include <string>

namespace sim {

constexpr int kParameterSets = 2;
using ParameterSets = std::array<ParameterImage, kParameterSets>;

// Allowed range of one word and the default that replaces a value outside it.
struct PlausibilityRange {
    const char* name;
    std::uint16_t min;
    std::uint16_t max;
    std::uint16_t fallback;
};

const std::array<PlausibilityRange, kParameterCount>& ParameterRanges();
// Ranges of the eight words of a table row; the reserved word (7) is never checked.
const std::array<PlausibilityRange, kTeachVectorWords>& TableRowRanges();
// Recognisable start value of the reserved word of `row`, so a reader can tell it was kept.
constexpr std::uint16_t ReservedStartValue(int row) {
    return static_cast<std::uint16_t>(0xA500 + row);
}

// The set a new sensor ships with: parameter defaults, every teach cell at its reset value 1.
ParameterImage FactoryImage();
ParameterSets FactorySets();

// Replace every implausible word by its default; return how many were replaced.
int CheckParameterBlock(std::array<std::uint16_t, kParameterCount>& block);
int CheckTableBlock(std::array<TeachVector, kTeachRows>& table);
int CheckImage(ParameterImage& image);

// Multi-line description of every range, for the simulator's help text.
std::string DescribeRanges();

// EEPROM file: a fixed magic line, then both sets as little-endian words.
// A missing file is not an error: `found` tells the caller to start from the factory sets.
bool LoadEepromFile(const std::string& path, ParameterSets& sets, bool& found, std::string& error);
// Written to a temporary file beside `path` and renamed over it, so a crash never leaves half.
bool SaveEepromFile(const std::string& path, const ParameterSets& sets, std::string& error);

} // namespace sim
