#pragma once
#include <array>
#include <cstdint>

namespace live {

// The first 20 words of a measurement reply, in the sensor's order.
struct MeasurementFrame {
    enum Word : int {
        kRed = 0,
        kGreen,
        kBlue,
        kX,
        kY,
        kInt,
        kDeltaC,
        kColourNumber,
        kGroup,
        kTrigger,
        kTemperature,
        kRawRed,
        kRawGreen,
        kRawBlue,
        kMinMaxFirst, // words 14..19: red min, red max, green min, green max, blue min, blue max
    };
    static constexpr int kWords = 20;
    std::array<std::uint16_t, kWords> w{};

    std::int16_t DeltaC() const { return static_cast<std::int16_t>(w[kDeltaC]); }
};

} // namespace live
