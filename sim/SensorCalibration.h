#pragma once
// The sensor's calibration memory: the factors that turn raw values into calibrated ones, the
// dark offsets taken off first, the self calibration's arithmetic, and the fixed hardware
// information block.
#include <array>
#include <cstdint>

namespace sim {

constexpr std::uint16_t kFactorOne = 1024; // 1.0
constexpr std::uint16_t kLargestFactor = 4096;
constexpr std::uint16_t kLargestOffset = 1000;
constexpr int kLargestCalibrated = 4095; // the converter's full scale

// What the self calibration aims at and the raw spread it tolerates, as it reports them.
constexpr std::uint16_t kSelfCalibrationSetValue = 1000;
constexpr std::uint16_t kSelfCalibrationMaxDelta = 200;
// Measurements the self calibration averages.
constexpr int kSelfCalibrationCycles = 16;

// The covered receiver's dark signal per channel; each reading adds up to ±4 of noise.
constexpr std::array<int, 3> kDarkSignal{38, 24, 51};
constexpr int kDarkNoise = 4;

constexpr int kHardwareInfoWords = 256;

using ChannelWords = std::array<std::uint16_t, 3>;

struct CalibrationMemory {
    ChannelWords factors{kFactorOne, kFactorOne, kFactorOne};
    ChannelWords offsets{0, 0, 0};

    // Take three words; a factor of 0 or above 4096 becomes 1.0, an offset above 1000 becomes 0.
    // Return how many were replaced.
    int WriteFactors(const ChannelWords& words);
    int WriteOffsets(const ChannelWords& words);
    // (raw − offset, not below 0) × factor / 1024, at most full scale.
    int Calibrated(int channel, int raw) const;
};

// set value × 1024 / (raw − offset), at most 4096, also when raw is not above the offset.
std::uint16_t SelfCalibrationFactor(int setValue, int raw, int offset);

// The same 256 words on every request: words 0 and 1 are 1 and 255, the last word makes the
// 16-bit sum of all words 0.
const std::array<std::uint16_t, kHardwareInfoWords>& HardwareInfoBlock();

} // namespace sim
