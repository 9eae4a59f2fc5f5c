#include "live/LiveValues.h"

#include <algorithm>

namespace live {

std::uint16_t RawDelta(const protocol::MeasurementFrame& frame) {
    const auto r = frame.w[protocol::MeasurementFrame::kRawRed];
    const auto g = frame.w[protocol::MeasurementFrame::kRawGreen];
    const auto b = frame.w[protocol::MeasurementFrame::kRawBlue];
    return static_cast<std::uint16_t>(std::max({r, g, b}) - std::min({r, g, b}));
}

std::uint32_t LiveColour(const protocol::MeasurementFrame& frame) {
    auto component = [&](int word) {
        return std::min<std::uint32_t>(frame.w[std::size_t(word)] / 16u, 255u);
    };
    return (component(protocol::MeasurementFrame::kRed) << 16) |
           (component(protocol::MeasurementFrame::kGreen) << 8) |
           component(protocol::MeasurementFrame::kBlue);
}

std::array<bool, 5> OutputIndicators(std::uint16_t colourNumber) {
    // Successive subtraction as the outputs are defined: 16, 8, 4, 2, 1.
    std::array<bool, 5> out{};
    int v = colourNumber;
    for (int bit = 4; bit >= 0; --bit) {
        const int weight = 1 << bit;
        out[std::size_t(bit)] = v >= weight;
        if (v >= weight) v -= weight;
    }
    return out;
}

} // namespace live
