#pragma once
// What the signal graphs of the graph panel draw, apart from the widgets: each recorded sample
// adds one segment per signal, from the previous point to the current one, with the sample
// counter as x. All numbers are 16-bit words, as the sensor gives them.
#include "protocol/MeasurementFrame.h"

#include <array>
#include <cstdint>

namespace live {

// The seven signals, in the order of the graph panel's signal list.
enum class TraceSignal : int { Red = 0, Green, Blue, X, Y, Int, Temperature };
inline constexpr int kTraceSignals = 7;

// The graph a value of the signal list shows; a value the list does not hold shows red.
TraceSignal SignalOfListValue(int value);
// The frame word a signal is taken from.
int FrameWordOf(TraceSignal signal);

struct TracePoint {
    std::uint16_t x = 0;
    std::uint16_t value = 0;
    friend bool operator==(const TracePoint&, const TracePoint&) = default;
};

class SignalTrace {
public:
    // Starts over: no samples yet, both points of every signal at x 0 with the frame's value.
    void Clear(const protocol::MeasurementFrame& frame);
    // Takes one sample: the current point becomes the previous one, the frame gives the new
    // current one at x = sample counter. The first sample after a start (the counter is 0,
    // also when it has wrapped) is a single point.
    void Append(const protocol::MeasurementFrame& frame);

    std::uint16_t SampleCounter() const { return counter; }
    TracePoint Previous(TraceSignal signal) const { return {previousX, previous[Index(signal)]}; }
    TracePoint Current(TraceSignal signal) const { return {currentX, current[Index(signal)]}; }

private:
    static std::size_t Index(TraceSignal signal) { return std::size_t(signal); }

    std::uint16_t counter = 0;
    std::uint16_t previousX = 0;
    std::uint16_t currentX = 0;
    std::array<std::uint16_t, kTraceSignals> previous{};
    std::array<std::uint16_t, kTraceSignals> current{};
};

} // namespace live
