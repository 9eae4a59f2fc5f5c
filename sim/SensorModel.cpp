#include "sim/SensorModel.h"

#include "protocol/FrameCodec.h"
#include "protocol/ParameterCodes.h"
#include "sim/ModelNames.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

constexpr std::size_t kParameterBlockBytes = kParameterCount * 2;
constexpr std::size_t kTableBlockBytes = kTeachRows * kTeachVectorWords * 2;

// IN0 is a light barrier: an object passes for 150 measurements, then 50 of background.
constexpr std::uint64_t kPassPeriod = 200;
constexpr std::uint64_t kPassLength = 150;
constexpr std::size_t kMinMaxWindow = 64;

constexpr int kTriggerCont = 0;
constexpr int kTriggerSelf = 1;
constexpr int kTriggerExt2 = 3;
constexpr int kTriggerExt3 = 4;
constexpr int kTriggerTrans = 5;
constexpr int kTriggerPara = 6;
constexpr int kLedOff = 3;
constexpr int kOutDirectHigh = 2;
constexpr int kDirectOutputs = 5;

// The cycle time comes from counting cycles over a window of 8 s, given in tenths of a second:
// A / (B * 0.01) ms with A the window and B the count.
constexpr std::int32_t kCycleWindowTenths = 80;

bool InputHigh(std::uint64_t cycle) {
    return cycle % kPassPeriod < kPassLength;
}

std::vector<std::uint8_t> ErrorReply(std::uint16_t status) {
    return frame::EncodeFrameBytes(0, status, {});
}

std::vector<std::uint16_t> BlockWords(const ParameterImage& image, bool table) {
    if (!table) return {image.parameters.begin(), image.parameters.end()};
    std::vector<std::uint16_t> words;
    words.reserve(kTeachRows * kTeachVectorWords);
    for (const auto& row : image.table)
        words.insert(words.end(), row.w.begin(), row.w.end());
    return words;
}

std::vector<std::uint8_t> MeasurementReply(const MeasurementFrame& measurement) {
    return frame::EncodeFrameWords(kOrderMeasure, 0, {measurement.w.begin(), measurement.w.end()});
}

void PutInt32(std::vector<std::uint8_t>& bytes, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>((bits >> shift) & 0xFF));
}

} // namespace

std::optional<bool> TriggerSendingSwitch(const Request& request) {
    if (request.order != kOrderTriggerSending || request.payloadLength != 0 || request.argument > 1)
        return std::nullopt;
    return request.argument == 1;
}

std::uint8_t DigitalOutputs(int outmode, std::uint16_t colourNumber, std::uint16_t group) {
    const bool found = colourNumber != kNoColour;
    if (outmode == kOutBinary) return found ? group & kDigitalOutputs : kDigitalOutputs;
    const bool direct = found && group < kDirectOutputs;
    const std::uint8_t chosen = direct ? static_cast<std::uint8_t>(1u << group) : 0;
    if (outmode == kOutDirectHigh) return chosen;
    return kDigitalOutputs & static_cast<std::uint8_t>(~chosen);
}

SensorModel::SensorModel(Options options)
    : options(std::move(options)), ram(FactorySets()), eeprom(FactorySets()),
      randomState(this->options.seed == 0 ? 1 : this->options.seed) {
    if (!this->options.eepromPath.empty()) {
        bool found = false;
        ParameterSets stored = FactorySets();
        if (LoadEepromFile(this->options.eepromPath, stored, found, eepromError) && found)
            eeprom = stored;
    }
    // The sensor starts from its EEPROM, checked like every load.
    ram = eeprom;
    for (auto& image : ram)
        CheckImage(image);
}

std::vector<Exchange> SensorModel::Feed(const std::uint8_t* bytes, std::size_t count) {
    std::vector<Exchange> exchanges;
    for (auto& request : parser.Feed(bytes, count)) {
        Exchange exchange;
        exchange.reply = Answer(request);
        exchange.request = std::move(request);
        exchanges.push_back(std::move(exchange));
    }
    return exchanges;
}

std::vector<std::uint8_t> SensorModel::Answer(const Request& request) {
    switch (request.order) {
    case kOrderWriteBlock:
        return WriteBlock(request);
    case kOrderReadBlock:
        return ReadBlock(request);
    case kOrderStoreEeprom:
        return StoreToEeprom(request);
    case kOrderLoadEeprom:
        return LoadFromEeprom(request);
    case kOrderIdentify: {
        std::vector<std::uint8_t> text(options.identification.begin(),
                                       options.identification.end());
        text.push_back(0);
        return frame::EncodeFrameBytes(kOrderIdentify, 0, text);
    }
    case kOrderMeasure:
        return MeasurementReply(NextMeasurement());
    case kOrderTriggerSending:
        // The sending itself belongs to the connection; the sensor only confirms the switch.
        if (!TriggerSendingSwitch(request)) return ErrorReply(kStatusControlUnitError);
        return frame::EncodeFrameBytes(kOrderTriggerSending, 0, {});
    case kOrderCycleTime:
        return CycleTimeReply(request);
    case kOrderScan:
        // The recording itself belongs to the connection; the sensor acknowledges at once.
        if (!ParseScanOrder(request)) return ErrorReply(kStatusControlUnitError);
        return frame::EncodeFrameBytes(kOrderScan, 0, {});
    case kOrderMeasureOffsets:
        return MeasureOffsets(request);
    case kOrderWriteCalibration:
        return WriteCalibration(request);
    case kOrderReadCalibration:
        return ReadCalibration(request);
    case kOrderSelfCalibration:
        return SelfCalibration(request);
    case kOrderHardwareInfo:
        return HardwareInfo(request);
    case kOrderChangeBaudrate:
        // The new rate takes effect after this reply; a pseudo-terminal or a socket has no rate
        // to change, so the code is only remembered.
        if (request.argument > 4) return ErrorReply(kStatusControlUnitError);
        baudRateCode = request.argument;
        return frame::EncodeFrameBytes(kOrderChangeBaudrate, 0, {});
    default:
        return ErrorReply(kStatusInvalidOrder);
    }
}

std::vector<std::uint8_t> SensorModel::WriteBlock(const Request& request) {
    if (request.argument > 3 || !request.payloadIntact) return ErrorReply(kStatusControlUnitError);
    const bool table = request.argument >= 2;
    const std::size_t expected = table ? kTableBlockBytes : kParameterBlockBytes;
    // The raw bytes must really hold the payload the head announced.
    if (request.payloadLength != expected || request.raw.size() != frame::kHeaderSize + expected)
        return ErrorReply(kStatusControlUnitError);
    std::vector<std::uint16_t> words(expected / 2);
    frame::DecodeWords(request.Payload(), expected, words.data(), words.size());
    ParameterImage& image = ram[request.argument % 2];
    int replaced = 0;
    if (table) {
        for (int row = 0; row < kTeachRows; ++row)
            std::copy_n(words.begin() + row * kTeachVectorWords, kTeachVectorWords,
                        image.table[row].w.begin());
        replaced = CheckTableBlock(image.table);
    } else {
        std::copy(words.begin(), words.end(), image.parameters.begin());
        replaced = CheckParameterBlock(image.parameters);
    }
    return frame::EncodeFrameBytes(kOrderWriteBlock, static_cast<std::uint16_t>(replaced), {});
}

std::vector<std::uint8_t> SensorModel::ReadBlock(const Request& request) {
    if (request.argument > 3) return ErrorReply(kStatusControlUnitError);
    const ParameterImage& image = ram[request.argument % 2];
    return frame::EncodeFrameWords(kOrderReadBlock, 0, BlockWords(image, request.argument >= 2));
}

std::vector<std::uint8_t> SensorModel::StoreToEeprom(const Request&) {
    eeprom = ram;
    if (options.eepromPath.empty()) return frame::EncodeFrameBytes(kOrderStoreEeprom, 0, {});
    eepromError.clear();
    if (!SaveEepromFile(options.eepromPath, eeprom, eepromError))
        return ErrorReply(kStatusControlUnitError);
    return frame::EncodeFrameBytes(kOrderStoreEeprom, 0, {});
}

std::vector<std::uint8_t> SensorModel::LoadFromEeprom(const Request&) {
    ram = eeprom;
    int replaced = 0;
    for (auto& image : ram)
        replaced += CheckImage(image);
    return frame::EncodeFrameBytes(kOrderLoadEeprom, static_cast<std::uint16_t>(replaced), {});
}

std::vector<std::uint8_t> SensorModel::CycleTimeReply(const Request& request) {
    if (request.argument != 0 || request.payloadLength != 0)
        return ErrorReply(kStatusControlUnitError);
    // The count of a real window wanders by a cycle or two.
    const std::int64_t cycles = kCycleWindowTenths * 100000000LL / kCycleNs;
    const auto counted = static_cast<std::int32_t>(cycles + std::lround(2.0 * Noise()));
    std::vector<std::uint8_t> data;
    PutInt32(data, kCycleWindowTenths);
    PutInt32(data, counted);
    return frame::EncodeFrameBytes(kOrderCycleTime, 0, data);
}

std::vector<std::uint8_t> SensorModel::MeasureOffsets(const Request& request) {
    if (request.argument != 1 || request.payloadLength != 0)
        return ErrorReply(kStatusControlUnitError);
    // With the receiver covered only its dark signal is left.
    for (std::size_t i = 0; i < 3; ++i) {
        const long dark = std::lround(kDarkSignal[i] + kDarkNoise * Noise());
        calibration.offsets[i] =
            static_cast<std::uint16_t>(std::clamp(dark, 0L, long(kLargestOffset)));
    }
    return frame::EncodeFrameBytes(kOrderMeasureOffsets, 0, {});
}

std::vector<std::uint8_t> SensorModel::WriteCalibration(const Request& request) {
    constexpr std::size_t kBytes = 6;
    if (request.argument > 1 || !request.payloadIntact || request.payloadLength != kBytes ||
        request.raw.size() != frame::kHeaderSize + kBytes)
        return ErrorReply(kStatusControlUnitError);
    ChannelWords words{};
    frame::DecodeWords(request.Payload(), kBytes, words.data(), words.size());
    const int replaced =
        request.argument == 0 ? calibration.WriteFactors(words) : calibration.WriteOffsets(words);
    return frame::EncodeFrameBytes(kOrderWriteCalibration, static_cast<std::uint16_t>(replaced),
                                   {});
}

std::vector<std::uint8_t> SensorModel::ReadCalibration(const Request& request) {
    if (request.argument != 0 || request.payloadLength != 0)
        return ErrorReply(kStatusControlUnitError);
    const auto& f = calibration.factors;
    const auto& o = calibration.offsets;
    return frame::EncodeFrameWords(kOrderReadCalibration, 0, {f[0], f[1], f[2], o[0], o[1], o[2]});
}

std::vector<std::uint8_t> SensorModel::SelfCalibration(const Request& request) {
    if (request.argument != 0 || request.payloadLength != 0)
        return ErrorReply(kStatusControlUnitError);
    // The target in front is taken as white; the factors are only proposed, not stored.
    std::array<int, 3> sums{};
    for (int turn = 0; turn < kSelfCalibrationCycles; ++turn) {
        const MeasurementFrame m = NextMeasurement();
        for (std::size_t i = 0; i < 3; ++i)
            sums[i] += m.w[MeasurementFrame::Word::kRawRed + i];
    }
    std::vector<std::uint16_t> words;
    for (std::size_t i = 0; i < 3; ++i)
        words.push_back(SelfCalibrationFactor(
            kSelfCalibrationSetValue, sums[i] / kSelfCalibrationCycles, calibration.offsets[i]));
    words.push_back(kSelfCalibrationSetValue);
    words.push_back(kSelfCalibrationMaxDelta);
    return frame::EncodeFrameWords(kOrderSelfCalibration, 0, words);
}

std::vector<std::uint8_t> SensorModel::HardwareInfo(const Request& request) {
    if (request.argument != kHardwareInfoKey || request.payloadLength != 0)
        return ErrorReply(kStatusControlUnitError);
    const auto& block = HardwareInfoBlock();
    return frame::EncodeFrameWords(kOrderHardwareInfo, 0, {block.begin(), block.end()});
}

ScopeSample SensorModel::NextScopeSample() {
    // Taken before the measurement moves the model on to its next cycle.
    const bool in0 = Input0();
    const int outmode = ram[ActiveSet()].parameters[kDigitalOutmode];
    const MeasurementFrame m = NextMeasurement();
    using W = MeasurementFrame::Word;
    ScopeSample sample;
    sample.rgb = {m.w[W::kRed], m.w[W::kGreen], m.w[W::kBlue]};
    sample.coordinates = {m.w[W::kX], m.w[W::kY], m.w[W::kInt]};
    sample.colourNumber = m.w[W::kColourNumber];
    sample.digital = DigitalOutputs(outmode, m.w[W::kColourNumber], m.w[W::kGroup]);
    if (in0) sample.digital |= kDigitalInput0;
    return sample;
}

bool SensorModel::Input0() const {
    return input0Level.value_or(InputHigh(cycle));
}

void SensorModel::PulseChannel3(int digits, int cycles) {
    pulseDigits = digits;
    pulseCycles = std::max(cycles, 0);
}

std::vector<std::uint8_t> SensorModel::TriggeredMeasurementReply(std::uint8_t code) {
    MeasurementFrame measurement = NextMeasurement();
    measurement.w[MeasurementFrame::Word::kTrigger] = 1;
    std::vector<std::uint8_t> reply = MeasurementReply(measurement);
    if (code == kOrderMeasure) return reply;
    reply[1] = code;
    reply[7] = ComputeCheckByte(reply.data(), 0, 7);
    return reply;
}

void SensorModel::SetRam(int set, const ParameterImage& image) {
    if (set < 0 || set >= kParameterSets) return;
    ram[set] = image;
}

int SensorModel::ActiveSet() const {
    return ram[0].parameters[kTrigger] == kTriggerPara && Input0() ? 1 : 0;
}

double SensorModel::Noise() {
    randomState = randomState * 1664525u + 1013904223u;
    return static_cast<double>(randomState >> 8) / static_cast<double>(1u << 23) - 1.0;
}

Rgb SensorModel::MoveObject(const ParameterImage& set, bool objectPresent) {
    const int calc = set.parameters[kCalculationMode];
    const int rows = std::min<int>(set.parameters[kMaxVecNo], kTeachRows);
    std::vector<int> taught;
    for (int row = 0; row < rows && set.parameters[kEvaluationMode] != 4; ++row) {
        if (IsTaught(set.table[row])) taught.push_back(row);
    }
    double target[3];
    if (objectPresent && !taught.empty()) {
        const int row = taught[(cycle / kPassPeriod) % taught.size()];
        const Rgb rgb = RgbFromColourPoint(ReadTaughtColour(set.table[row], calc).point, calc);
        target[0] = rgb.red;
        target[1] = rgb.green;
        target[2] = rgb.blue;
    } else if (rawSpread >= 0) {
        target[0] = 1500.0 + rawSpread / 2;
        target[1] = 1500.0;
        target[2] = 1500.0 - rawSpread / 2;
    } else {
        const double base[3] = {1800.0, 1500.0, 1200.0};
        for (int i = 0; i < 3; ++i)
            target[i] = base[i] + 250.0 * std::sin(static_cast<double>(cycle) * 0.013 + i * 2.1);
    }
    if (pulseCycles > 0) {
        target[2] += pulseDigits;
        --pulseCycles;
    }
    // The object approaches its colour gradually, with a little noise on every channel.
    for (int i = 0; i < 3; ++i)
        object[i] =
            std::clamp(object[i] + (target[i] - object[i]) * 0.08 + 3.0 * Noise(), 0.0, 4095.0);
    return {static_cast<int>(std::lround(object[0])), static_cast<int>(std::lround(object[1])),
            static_cast<int>(std::lround(object[2]))};
}

Evaluation SensorModel::ApplyTrigger(const ParameterImage& set, const Evaluation& live, bool in0,
                                     std::uint16_t& triggerWord) {
    const int mode = set.parameters[kTrigger];
    triggerWord = 0;
    if (mode == kTriggerCont) return live;
    const bool triggered = mode == kTriggerSelf ? live.colourNumber != 0 : in0;
    triggerWord = triggered ? 1 : 0;
    if (mode == kTriggerTrans || mode == kTriggerPara) return live;
    if (triggered) {
        if (!wasTriggered) {
            seenCount.fill(0);
            lastDetected = {};
        }
        wasTriggered = true;
        if (live.colourNumber != kNoColour) {
            ++seenCount[live.colourNumber & 0xFF];
            seenResult[live.colourNumber & 0xFF] = live;
            lastDetected = live;
        }
        return live;
    }
    wasTriggered = false;
    if (mode == kTriggerExt3) return {};
    if (mode == kTriggerExt2) return lastDetected;
    const auto most = std::max_element(seenCount.begin(), seenCount.end());
    if (*most == 0) return mode == kTriggerSelf ? live : Evaluation{};
    return seenResult[static_cast<std::size_t>(most - seenCount.begin())];
}

MeasurementFrame SensorModel::NextMeasurement() {
    const bool in0 = Input0();
    const ParameterImage& set = ram[ActiveSet()];
    const auto& p = set.parameters;
    Rgb raw = MoveObject(set, in0);
    const bool transmitterOn = p[kLedMode] != kLedOff && !(p[kTrigger] == kTriggerTrans && !in0);
    if (!transmitterOn) raw = {raw.red / 50, raw.green / 50, raw.blue / 50}; // ambient light only
    // Everything the sensor evaluates and shows is calibrated; only words 11..13 are raw.
    const Rgb rgb{calibration.Calibrated(0, raw.red), calibration.Calibrated(1, raw.green),
                  calibration.Calibrated(2, raw.blue)};
    const ColourPoint point = ComputeColourPoint(rgb, p[kCalculationMode]);
    std::uint16_t triggerWord = 0;
    const Evaluation result = ApplyTrigger(set, EvaluateColour(rgb, set), in0, triggerWord);

    recent.push_back(rgb);
    if (recent.size() > kMinMaxWindow) recent.pop_front();

    MeasurementFrame m;
    using W = MeasurementFrame::Word;
    m.w[W::kRed] = static_cast<std::uint16_t>(rgb.red);
    m.w[W::kGreen] = static_cast<std::uint16_t>(rgb.green);
    m.w[W::kBlue] = static_cast<std::uint16_t>(rgb.blue);
    m.w[W::kX] = static_cast<std::uint16_t>(point.first);
    m.w[W::kY] = static_cast<std::uint16_t>(point.second);
    m.w[W::kInt] = static_cast<std::uint16_t>(point.intensity);
    if (p[kPowerMode] == 1) {
        // Dynamic power shows the transmitter power that brings INT into the window.
        const int realInt = std::max(1, (rgb.red + rgb.green + rgb.blue) / 3);
        const int mid = (p[kDynWinLo] + p[kDynWinHi]) / 2;
        m.w[W::kInt] = static_cast<std::uint16_t>(std::clamp(mid * 500 / realInt, 0, 1000));
    }
    m.w[W::kDeltaC] = static_cast<std::uint16_t>(result.deltaC);
    m.w[W::kColourNumber] = result.colourNumber;
    m.w[W::kGroup] = result.group;
    m.w[W::kTrigger] = triggerWord;
    m.w[W::kTemperature] =
        static_cast<std::uint16_t>(380 + std::lround(15.0 * std::sin(cycle * 0.0005)));
    m.w[W::kRawRed] = static_cast<std::uint16_t>(raw.red);
    m.w[W::kRawGreen] = static_cast<std::uint16_t>(raw.green);
    m.w[W::kRawBlue] = static_cast<std::uint16_t>(raw.blue);
    for (int i = 0; i < 3; ++i) {
        int low = 4095;
        int high = 0;
        for (const Rgb& past : recent) {
            const int value = i == 0 ? past.red : (i == 1 ? past.green : past.blue);
            low = std::min(low, value);
            high = std::max(high, value);
        }
        m.w[W::kMinMaxFirst + 2 * i] = static_cast<std::uint16_t>(low);
        m.w[W::kMinMaxFirst + 2 * i + 1] = static_cast<std::uint16_t>(high);
    }
    ++cycle;
    return m;
}

} // namespace sim
