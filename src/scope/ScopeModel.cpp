#include "scope/ScopeModel.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace scope {

int RotationStart(int triggerMode, int preTrigger, int triggerIndex) {
    if (triggerMode == kSingleShot) return 0;
    const int start = (kSamples - preTrigger + triggerIndex) % kSamples;
    return start < 0 ? start + kSamples : start;
}

Block RotateBlock(const std::uint16_t* ring, int triggerMode, int preTrigger, int triggerIndex) {
    const int start = RotationStart(triggerMode, preTrigger, triggerIndex);
    Block block{};
    for (int i = 0; i < kSamples; ++i)
        block[std::size_t(i)] = ring[(start + i) % kSamples];
    return block;
}

std::array<int, kDigitalTraces> DigitalLevels(std::uint16_t word) {
    static constexpr int kLow[kDigitalTraces] = {8, 6, 4, 2, 0, 10};
    std::array<int, kDigitalTraces> levels{};
    for (int bit = 0; bit < kDigitalTraces; ++bit)
        levels[std::size_t(bit)] = kLow[bit] + ((word >> bit) & 1);
    return levels;
}

CycleTime CycleTimeOf(std::int32_t a, std::int32_t b) {
    CycleTime time;
    // B of 0 would divide by zero: no cycle time rather than an infinite one.
    if (b == 0) return time;
    time.milliseconds = double(a) / (double(b) * 0.01);
    if (!std::isfinite(time.milliseconds)) time.milliseconds = 0;
    time.scanFrequencyHz = time.milliseconds > 0 ? 1000.0 / time.milliseconds : 0;
    return time;
}

CycleTime CycleTimeOfReply(const std::uint8_t* data, int length) {
    if (length < 8) return {};
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    for (int i = 3; i >= 0; --i) {
        a = (a << 8) | data[i];
        b = (b << 8) | data[4 + i];
    }
    return CycleTimeOf(std::int32_t(a), std::int32_t(b));
}

int CycleTimeDecimals(double ms) {
    return ms > 1000.0 ? 0 : ms > 1.0 ? 1 : 2;
}

int ScanFrequencyDecimals(double ms) {
    return ms > 10000.0 ? 6 : ms > 1.0 ? 3 : 0;
}

int DeltaXDecimals(double deltaX) {
    return deltaX > 1000.0 ? 0 : deltaX > 1.0 ? 3 : 6;
}

double AnalogueUpperLimit(int recordSignal, int calculationMode) {
    const bool siM = calculationMode == 1 || calculationMode == 3;
    return recordSignal == 1 && siM ? 10000.0 : 4100.0;
}

double DeltaX(double x1, double x2, double cycleMilliseconds, int scanRate) {
    const double samples = std::trunc(std::fabs(x1 - x2));
    return samples * cycleMilliseconds * scanRate;
}

int DeltaY(double y1, double y2) {
    return std::abs(int(std::trunc(y1)) - int(std::trunc(y2)));
}

} // namespace scope
