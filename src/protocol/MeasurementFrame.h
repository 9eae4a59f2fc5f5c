#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace protocol {

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

// Copies the first 20 measurement words into the frame. Words beyond `available` keep their
// earlier values (a short reply fills only what it carries).
inline void TakeMeasurementFrame(MeasurementFrame& frame, const std::uint16_t* words,
                                 std::size_t available) {
    const std::size_t count = std::min<std::size_t>(available, MeasurementFrame::kWords);
    std::copy(words, words + count, frame.w.begin());
}

} // namespace protocol
