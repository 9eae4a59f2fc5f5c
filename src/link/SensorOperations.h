#pragma once
// The sensor's commands, written once over the typed exchange and without widgets. The window's
// modules and chromix3-cli use the same code, so they send the same frames and judge the replies
// the same way. Failures and the sensor's notices have been reported by the link (and the
// shortfalls of a GET written to the log) when these return.
#include "protocol/Exchange.h"
#include "protocol/MeasurementFrame.h"
#include "protocol/ParameterImage.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace comm {

class CommView;
class SensorLink;

struct TransferResult {
    enum Outcome { Completed, Failed, Cancelled };
    Outcome outcome = Failed;
    // Every request went through, but the sensor set values it found implausible to their
    // defaults (its notice was reported).
    bool replaced = false;

    // SEND, when the sensor replaced values: what it holds now (read back), and each value it
    // replaced in the operator's words ("POWER: SENT 2000, THE SENSOR HOLDS 500").
    bool readBack = false;
    protocol::ParameterImage held;
    std::vector<std::string> replacedValues;

    bool Done() const { return outcome == TransferResult::Completed; }
};

// The values of `held` that differ from `sent`, in the operator's words: parameters by name,
// teach rows by number and word (rows as the teach table counts them, from 0).
std::vector<std::string> ReplacedValues(const protocol::ParameterImage& sent,
                                        const protocol::ParameterImage& held);

// Calibration factors (1024 = 1.0) and dark offsets, red, green, blue.
struct CalibrationWords {
    std::array<std::uint16_t, 3> factors{};
    std::array<std::uint16_t, 3> offsets{};
};

// What the sensor's self calibration proposes: factors, and the set value and maximum delta it
// used.
struct SelfCalibrationWords {
    std::array<std::uint16_t, 3> factors{};
    std::uint16_t setValue = 0;
    std::uint16_t maxDelta = 0;
};

inline constexpr std::size_t kHardwareBlockWords = 256;
using HardwareBlock = std::array<std::uint16_t, kHardwareBlockWords>;
inline constexpr std::size_t kScanRequestWords = 5;

class SensorOperations {
public:
    SensorOperations(SensorLink& link, CommView& view);

    SensorLink& Link() { return link; }

    // The firmware identification, at most 71 characters.
    protocol::Outcome Identify(std::string& firmwareId);
    // The new rate's code to the sensor; the request and its reply travel at the old rate.
    protocol::Outcome ChangeBaudrate(std::uint16_t baudRateCode);

    // SEND: the parameter block and the table block of `paraSet`, and for EEPROM the store
    // order, as one write. FILE is not the sensor's: nothing is sent.
    TransferResult SendParameters(const protocol::ParameterImage& image, std::uint16_t paraSet,
                                  std::uint16_t memoryTarget);
    // GET: for EEPROM the load order first, then both blocks. `image` takes them only when every
    // request went through.
    TransferResult GetParameters(std::uint16_t paraSet, std::uint16_t memoryTarget,
                                 protocol::ParameterImage& image);

    // One measurement; the frame takes the words the reply carries.
    protocol::Outcome Measure(protocol::MeasurementFrame& frame);

    protocol::Outcome ReadCalibration(CalibrationWords& words);
    // Factors (protocol::kFactors) or offsets (protocol::kOffsets), three words. The sensor's
    // count of values it replaced is reported as its notice and given in `replaced`.
    protocol::Outcome WriteCalibration(std::uint16_t which,
                                       const std::array<std::uint16_t, 3>& words,
                                       std::uint16_t* replaced = nullptr);
    // The sensor measures its dark offsets (the receiver covered) and keeps them.
    protocol::Outcome MeasureOffsets();
    protocol::Outcome StartSelfCalibration(SelfCalibrationWords& words);
    // Words the reply did not carry are 0, not what an earlier reply left.
    protocol::Outcome ReadHardwareBlock(HardwareBlock& words);
    // The two counts of the cycle-time measurement are the reply's data.
    protocol::Reply ReadCycleTime();

    // A scan: started with its five words, then four blocks come unasked, each read with
    // ReceivePushed; a break abandons it, passing over blocks still on their way.
    protocol::Outcome StartScan(std::span<const std::uint16_t, kScanRequestWords> words);
    protocol::Outcome BreakScan(int blockBytes);
    // Trigger-driven sending: the sensor then sends a measurement frame at every trigger, read
    // with ReceivePushed; stopping passes over those still on their way.
    protocol::Outcome StartTriggerSending();
    protocol::Outcome StopTriggerSending();
    // The next frame the sensor sends unasked (no time limit; a stop ends the wait).
    protocol::Reply ReceivePushed();

private:
    protocol::Reply Exchange(std::uint8_t order, std::uint16_t argument = 0,
                             std::span<const std::uint16_t> payload = {});

    SensorLink& link;
    CommView& view;
};

} // namespace comm
