#pragma once
// The simulated sensor: answers request frames as the sensor would, from its parameter memory
// and a slowly drifting simulated object in front of it.
#include "live/MeasurementFrame.h"
#include "sim/ColourEvaluation.h"
#include "sim/ModelNames.h"
#include "sim/ParameterStore.h"
#include "sim/RequestParser.h"

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace sim {

inline constexpr char kIdentification[] = "CHROMIX3 SIMULATOR FW 4.2 (sim)";

// Status words of an error reply (reply code 0).
constexpr std::uint16_t kStatusInvalidOrder = 1;
constexpr std::uint16_t kStatusCommunicationError = 2;

constexpr std::uint8_t kOrderMeasure = 8;
// Argument 1 starts trigger-driven sending on the connection it arrives on, 0 stops it.
constexpr std::uint8_t kOrderTriggerSending = 30;

// For a well-formed order 30, whether it switches trigger-driven sending on; empty for any other
// request, including an order 30 with another argument or with a payload.
std::optional<bool> TriggerSendingSwitch(const Request& request);

struct Exchange {
    Request request;
    std::vector<std::uint8_t> reply;
};

class SensorModel {
public:
    struct Options {
        std::string eepromPath; // empty: the EEPROM lives in memory only
        std::uint32_t seed = 1;
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
    // next measurement, with its trigger word set.
    std::vector<std::uint8_t> TriggeredMeasurementReply();

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
    std::array<std::uint16_t, 3> factors{1024, 1024, 1024};
    std::deque<Rgb> recent;

    // What the trigger modes hold at the output while the trigger is low.
    bool wasTriggered = false;
    std::array<int, 256> seenCount{};
    std::array<Evaluation, 256> seenResult{};
    Evaluation lastDetected;
};

} // namespace sim
