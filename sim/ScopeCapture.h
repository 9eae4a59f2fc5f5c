#pragma once
// The sensor's scope. Order 105 reports the measurement cycle; order 110 with argument 1 records
// 128 samples of three signals and of the digital states around a trigger event and sends them
// unasked as four blocks, argument 0 abandons the recording.
#include "sim/RequestParser.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace sim {

// One measurement cycle of the model, in real time while a scan runs. Order 105 reports it.
constexpr std::int64_t kCycleNs = 1000000;

enum class ScopeTrigger : std::uint16_t {
    kSingleShot = 0,  // at the request
    kRisingEdge = 1,  // channel 3 rises above the level
    kFallingEdge = 2, // channel 3 falls below the level
    kColourZero = 3,  // the evaluation starts finding colour number 0
    kInput0 = 4,      // IN0 goes from low to high
};

struct ScopeSettings {
    ScopeTrigger trigger = ScopeTrigger::kSingleShot;
    int preTrigger = 0;      // samples before the trigger, 0..128
    std::uint16_t level = 0; // of the edge triggers
    int rate = 1;            // one sample stored every `rate` cycles
    int signal = 0;          // 0: red, green, blue; 1: the colour coordinates
    // Not part of the request: the ring position the trigger sample ends up at, 0..127, as in a
    // sensor whose ring did not start at 0. -1: the ring starts at 0.
    int triggerIndex = -1;
};

// Bits of the digital-state block: OUT0..OUT4 as DIGITAL OUTMODE drives them, then IN0.
constexpr std::uint8_t kDigitalOutputs = 0x1F;
constexpr std::uint8_t kDigitalInput0 = 0x20;

// What the scope sees in one measurement cycle.
struct ScopeSample {
    std::array<std::uint16_t, 3> rgb{};
    std::array<std::uint16_t, 3> coordinates{}; // X, Y, INT or s, i, M
    std::uint16_t colourNumber = 255;
    std::uint8_t digital = 0;
};

// A well-formed order 110: a break, or a scan with its settings.
struct ScanOrder {
    bool isBreak = false;
    ScopeSettings settings;
};

// Empty for any other request, and for an order 110 the sensor refuses: an argument other than
// 0 or 1, a break with a payload, a scan whose payload is not five intact words, or a trigger
// mode above 4, a pre-trigger count above 128 or a record signal above 1. Scan rate 0 counts as 1.
std::optional<ScanOrder> ParseScanOrder(const Request& request);

// One recording. Fed every measurement cycle, it stores a sample every `rate` cycles into rings
// of 128, watches for the trigger once the pre-trigger part is full, and is complete when the
// samples from the trigger on fill the rest. Trigger conditions compare a stored sample with the
// one stored before it, so the trigger sample is always one the scope kept.
class ScopeCapture {
public:
    static constexpr int kSamples = 128;
    static constexpr int kBlocks = 4;

    explicit ScopeCapture(const ScopeSettings& settings);

    // One measurement cycle; true once the recording is complete (later cycles change nothing).
    bool Feed(const ScopeSample& sample);
    bool Complete() const { return complete; }
    // The pre-trigger part is stored and the recording waits for its trigger.
    bool Armed() const { return !complete && afterTrigger < 0 && stored >= settings.preTrigger; }
    // The ring position of the trigger sample. With 128 pre-trigger samples the trigger sample is
    // not kept and this is where it would have gone, the oldest sample. A single shot has its
    // samples in time order from position 0, and reports the pre-trigger count modulo 128, so
    // rotating by 128 - P + T leaves them where they are. A placed trigger index turns the
    // finished ring so that the trigger sample lies there; the rotation still puts it at P.
    int TriggerIndex() const { return triggerIndex; }
    // Block 0..2: channels 1..3 of the record signal, block 3: the digital states; each the
    // ring in ring order followed by the trigger index.
    std::vector<std::uint16_t> BlockWords(int block) const;
    // The four blocks as the sensor sends them: code 110, status 0, 258 data bytes each.
    std::vector<std::vector<std::uint8_t>> Frames() const;

private:
    const std::array<std::uint16_t, 3>& Channels(const ScopeSample& sample) const;
    bool Triggers(const ScopeSample& sample) const;
    void Store(const ScopeSample& sample);
    void PlaceTrigger();

    ScopeSettings settings;
    std::array<std::array<std::uint16_t, kSamples>, kBlocks> ring{};
    int skip = 0;          // cycles to pass before the next stored sample
    int next = 0;          // ring position of the next sample
    int stored = 0;        // samples in the ring (at most 128)
    int afterTrigger = -1; // samples stored from the trigger on; -1 while waiting for it
    int triggerIndex = 0;
    bool complete = false;
    std::optional<ScopeSample> previous; // the last sample on the scan-rate grid
};

} // namespace sim
