#pragma once
// White calibration and the hardware info text as plain computations: the factors from the mean
// raw values, the raw spread of a frame, the averaging, and the hardware block as hexadecimal
// text.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace calibration {

inline constexpr int kFactorOne = 1024; // a factor of 1.0
inline constexpr int kLargestFactor = 4096;
inline constexpr int kAveragedFrames = 100;
inline constexpr int kHardwareWords = 256;

using Rgb = std::array<std::uint32_t, 3>;

// max − min of the three raw values.
std::uint16_t RawDelta(std::uint16_t red, std::uint16_t green, std::uint16_t blue);

// The sums of the averaging, each divided by 100 whatever number of frames succeeded.
struct RawMeans {
    Rgb raw{};
    std::uint32_t delta = 0;
};
RawMeans MeansOf(const Rgb& rawSums, std::uint32_t deltaSum);

// (set value × 1024) / mean raw value per channel, a mean of 0 counted as 1; nothing when one of
// the three exceeds 4096 (no factor changes then).
std::optional<std::array<std::uint16_t, 3>> FactorsFor(std::uint32_t setValue, const Rgb& meanRaw);

// 256 words as 1024 hexadecimal digits, four per word with leading zeros.
std::string HardwareDataText(const std::uint16_t* words, int count = kHardwareWords);

} // namespace calibration
