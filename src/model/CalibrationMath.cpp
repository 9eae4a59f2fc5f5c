#include "model/CalibrationMath.h"

#include <algorithm>
#include <cstdio>

namespace calibration {

std::uint16_t RawDelta(std::uint16_t red, std::uint16_t green, std::uint16_t blue) {
    return std::uint16_t(std::max({red, green, blue}) - std::min({red, green, blue}));
}

RawMeans MeansOf(const Rgb& rawSums, std::uint32_t deltaSum) {
    RawMeans means;
    for (std::size_t c = 0; c < 3; ++c)
        means.raw[c] = rawSums[c] / kAveragedFrames;
    means.delta = deltaSum / kAveragedFrames;
    return means;
}

std::optional<std::array<std::uint16_t, 3>> FactorsFor(std::uint32_t setValue, const Rgb& meanRaw) {
    std::array<std::uint16_t, 3> factors{};
    for (std::size_t c = 0; c < 3; ++c) {
        const std::uint64_t raw = std::max<std::uint32_t>(meanRaw[c], 1);
        // Wide arithmetic: a quotient of 65536 or more is out of range, not cut to 16 bits.
        const std::uint64_t factor = std::uint64_t(setValue) * kFactorOne / raw;
        if (factor > kLargestFactor) return std::nullopt;
        factors[c] = std::uint16_t(factor);
    }
    return factors;
}

std::string HardwareDataText(const std::uint16_t* words, int count) {
    std::string text;
    text.reserve(std::size_t(count) * 4);
    char digits[8];
    for (int i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof digits, "%04x", unsigned(words[i]));
        text += digits;
    }
    return text;
}

} // namespace calibration
