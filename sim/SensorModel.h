#pragma once
// The simulated sensor: answers request frames as the sensor would, from its parameter memory
// and a slowly drifting simulated object in front of it.
#include "protocol/MeasurementFrame.h"
#include "sim/ColourEvaluation.h"
#include "sim/ModelNames.h"
#include "sim/ParameterStore.h"
#include "sim/RequestParser.h"
#include "sim/ScopeCapture.h"
#include "sim/SensorCalibration.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace sim {

inline constexpr char kIdentification[] = "CHROMIX3 SIMULATOR FW 4.2 (sim)";

// Order 30 with argument 1 starts trigger-driven sending on the connection it arrives on, 0
// stops it.

// For a well-formed order 30, whether it switches trigger-driven sending on; empty for any other
// request, including an order 30 with another argument or with a payload.
std::optional<bool> TriggerSendingSwitch(const Request& request);

// OUT0..OUT4 as DIGITAL OUTMODE drives them from the evaluation: BINARY shows the group (the
// colour number without colour groups) in binary, all high when nothing is found; DIRECT LO
// pulls the output of group 0..4 low, DIRECT HI raises it, the others at the opposite level.
std::uint8_t DigitalOutputs(int outmode, std::uint16_t colourNumber, std::uint16_t group);

struct Exchange {
    Request request;
    std::vector<std::uint8_t> reply;
};

class SensorModel {
public:
    struct Options {
        std::string eepromPath; // empty: the EEPROM lives in memory only
        std::uint32_t seed = 1;
        // What order 7 answers (its bytes as they are, a 0 after them).
        std::string identification = kIdentification;
    };

    explicit SensorModel(Options options);
    SensorModel() : SensorModel(Options{}) {}

    // Parses what arrived and answers every complete request in it.
    std::vector<Exchange> Feed(const std::uint8_t* bytes, std::size_t count);
    void ResetStream() { parser.Reset(); }
    const RequestParser& Parser() const { return parser; }

    std::vector<std::uint8_t> Answer(const Request& request);
    MeasurementFrame NextMeasurement();
    // What a trigger edge makes the sensor send unasked: the reply to order 8, taken from the
    // next measurement, with its trigger word set; `code` in place of 8 makes it a frame of
    // another order (0: an error reply) with the same data.
    std::vector<std::uint8_t> TriggeredMeasurementReply(std::uint8_t code = kOrderMeasure);
    // The next measurement as the scope records it, with the outputs and IN0.
    ScopeSample NextScopeSample();

    // IN0 is a light barrier: high for 150 of every 200 measurements, while an object passes.
    // Once set it stays at the level given.
    void SetInput0(bool high) { input0Level = high; }
    bool Input0() const;
    // For the next `cycles` measurements the object in front of the sensor has `digits` more
    // blue; the readings follow it as gradually as any other change of the object.
    void PulseChannel3(int digits, int cycles);
    // Holds the object (whenever no taught colour is in front) at raw means of 1500 + spread / 2,
    // 1500 and 1500 − spread / 2 (spread up to 3000), noise and the blue pulse still on top; a
    // negative spread lets it drift again.
    void SetRawSpread(int spread) { rawSpread = std::min(spread, 3000); }
    // Where scans lay out their rings: the trigger sample at ring position `index` (0..127), as
    // if the ring had not started at 0; a negative index starts it at 0 again.
    void SetScopeTriggerIndex(int index) {
        scopeTriggerIndex = index < 0 ? -1 : index % ScopeCapture::kSamples;
    }
    int ScopeTriggerIndex() const { return scopeTriggerIndex; }

    // What orders 101 and 100 stored, as order 102 reports them.
    const ChannelWords& CalibrationFactors() const { return calibration.factors; }
    const ChannelWords& Offsets() const { return calibration.offsets; }

    const ParameterSets& Ram() const { return ram; }
    // The baud-rate code last ordered (4 = 115200 at start).
    int BaudRateCode() const { return baudRateCode; }
    const ParameterSets& Eeprom() const { return eeprom; }
    void SetRam(int set, const ParameterImage& image);
    // The parameter set that evaluates now (ParaSet1 only while TRIGGER PARA sees IN0 high).
    int ActiveSet() const;
    // Why the EEPROM file could not be read or written, empty when all went well.
    const std::string& EepromError() const { return eepromError; }

private:
    std::vector<std::uint8_t> WriteBlock(const Request& request);
    std::vector<std::uint8_t> ReadBlock(const Request& request);
    std::vector<std::uint8_t> StoreToEeprom(const Request& request);
    std::vector<std::uint8_t> LoadFromEeprom(const Request& request);
    std::vector<std::uint8_t> CycleTimeReply(const Request& request);
    std::vector<std::uint8_t> MeasureOffsets(const Request& request);
    std::vector<std::uint8_t> WriteCalibration(const Request& request);
    std::vector<std::uint8_t> ReadCalibration(const Request& request);
    std::vector<std::uint8_t> SelfCalibration(const Request& request);
    std::vector<std::uint8_t> HardwareInfo(const Request& request);
    Rgb MoveObject(const ParameterImage& set, bool objectPresent);
    Evaluation ApplyTrigger(const ParameterImage& set, const Evaluation& live, bool in0,
                            std::uint16_t& triggerWord);
    double Noise();

    Options options;
    RequestParser parser;
    ParameterSets ram;
    ParameterSets eeprom;
    std::string eepromError;
    int baudRateCode = 4;

    // Simulated object and inputs.
    std::uint64_t cycle = 0;
    std::uint32_t randomState;
    double object[3] = {1800.0, 1500.0, 1200.0};
    int rawSpread = -1; // negative: the object drifts
    int scopeTriggerIndex = -1;
    CalibrationMemory calibration;
    std::deque<Rgb> recent;
    std::optional<bool> input0Level; // empty: the light barrier's pattern
    int pulseDigits = 0;
    int pulseCycles = 0;

    // What the trigger modes hold at the output while the trigger is low.
    bool wasTriggered = false;
    std::array<int, 256> seenCount{};
    std::array<Evaluation, 256> seenResult{};
    Evaluation lastDetected;
};

} // namespace sim
