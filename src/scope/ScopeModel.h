#pragma once
// The scope's computations over plain values: the rotation of a received ring buffer into time
// order, the stacked levels of the digital traces, the cycle time from its reply, the display
// precisions, the analogue y range, and the cursor deltas.
#include <array>
#include <cstdint>

namespace scope {

inline constexpr int kSamples = 128;
inline constexpr int kBlockWords = kSamples + 1; // the ring, then the trigger index
inline constexpr int kBlocks = 4;                // three channels, then the digital states
inline constexpr int kDigitalTraces = 6;

enum TriggerMode : int {
    kSingleShot = 0,
    kRisingEdge = 1,
    kFallingEdge = 2,
    kInternalColour0 = 3,
    kExternalIn0 = 4
};

using Block = std::array<std::uint16_t, kSamples>;

// The ring in time order: the trigger sample lands at position `preTrigger`; in SINGLE SHOT the
// ring order is kept.
Block RotateBlock(const std::uint16_t* ring, int triggerMode, int preTrigger, int triggerIndex);
// The ring position that becomes the trace's first sample.
int RotationStart(int triggerMode, int preTrigger, int triggerIndex);

// Bits 0..5 of a digital word as six levels stacked in bands (bit 0: 8/9, bit 1: 6/7, bit 2: 4/5,
// bit 3: 2/3, bit 4: 0/1, bit 5: 10/11).
std::array<int, kDigitalTraces> DigitalLevels(std::uint16_t word);

// The reply to the cycle-time order: A and B, signed 32-bit little-endian.
struct CycleTime {
    double milliseconds = 0;
    double scanFrequencyHz = 0;
};
CycleTime CycleTimeOf(std::int32_t a, std::int32_t b);
CycleTime CycleTimeOfReply(const std::uint8_t* data, int length);

int CycleTimeDecimals(double milliseconds);
int ScanFrequencyDecimals(double milliseconds);
int DeltaXDecimals(double deltaX);

// The analogue y axis: 0..4100, or 0..10000 for the coordinates in the s, i, M modes.
double AnalogueUpperLimit(int recordSignal, int calculationMode);

// The time between two cursors in ms: whole samples apart x the cycle time x the scan rate.
double DeltaX(double x1, double x2, double cycleMilliseconds, int scanRate);
// The difference between two cursors in whole digits.
int DeltaY(double y1, double y2);

} // namespace scope
