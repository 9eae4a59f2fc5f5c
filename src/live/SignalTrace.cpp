#include "live/SignalTrace.h"

namespace live {

TraceSignal SignalOfListValue(int value) {
    if (value < 0 || value >= kTraceSignals) return TraceSignal::Red;
    return TraceSignal(value);
}

int FrameWordOf(TraceSignal signal) {
    // Red to INT are the first six words in the same order; the temperature comes later.
    if (signal == TraceSignal::Temperature) return protocol::MeasurementFrame::kTemperature;
    return protocol::MeasurementFrame::kRed + int(signal);
}

void SignalTrace::Clear(const protocol::MeasurementFrame& frame) {
    counter = 0;
    previousX = 0;
    currentX = 0;
    for (int s = 0; s < kTraceSignals; ++s) {
        const auto value = frame.w[std::size_t(FrameWordOf(TraceSignal(s)))];
        previous[std::size_t(s)] = value;
        current[std::size_t(s)] = value;
    }
}

void SignalTrace::Append(const protocol::MeasurementFrame& frame) {
    previousX = currentX;
    currentX = counter;
    previous = current;
    for (int s = 0; s < kTraceSignals; ++s)
        current[std::size_t(s)] = frame.w[std::size_t(FrameWordOf(TraceSignal(s)))];
    if (counter == 0) previous = current;
    ++counter;
}

} // namespace live
