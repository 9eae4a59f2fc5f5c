#include "sim/SensorCalibration.h"

#include <algorithm>

namespace sim {

namespace {

int CheckWords(ChannelWords& target, const ChannelWords& words, std::uint16_t low,
               std::uint16_t high, std::uint16_t fallback) {
    int replaced = 0;
    for (std::size_t i = 0; i < target.size(); ++i) {
        const bool plausible = words[i] >= low && words[i] <= high;
        target[i] = plausible ? words[i] : fallback;
        replaced += plausible ? 0 : 1;
    }
    return replaced;
}

void PutText(std::array<std::uint16_t, kHardwareInfoWords>& words, int first, const char* text) {
    for (int i = 0; text[i] != '\0'; ++i) {
        const auto byte = static_cast<std::uint16_t>(static_cast<unsigned char>(text[i]));
        words[first + i / 2] |= static_cast<std::uint16_t>(i % 2 == 0 ? byte : byte << 8);
    }
}

std::array<std::uint16_t, kHardwareInfoWords> MakeHardwareInfoBlock() {
    std::array<std::uint16_t, kHardwareInfoWords> words{};
    words.fill(0xFFFF); // erased cells after the written words
    words[0] = 0x0001;  // layout of the block
    words[1] = 0x00FF;  // index of its last word
    words[2] = 0x31F1;  // serial number 23081457, low word first
    words[3] = 0x0160;
    words[4] = 0x0302; // hardware revision 3.2 (major in the high byte)
    words[5] = 0x0402; // firmware 4.2, as the identification says
    words[6] = 2023;   // production date: year, month, day
    words[7] = 5;
    words[8] = 17;
    words[9] = 0x0031;  // transmitter LED type: white
    words[10] = 5600;   // its colour temperature in kelvin
    words[11] = 0x0003; // receiver type: three channels
    words[12] = 22;     // working distance in millimetres
    words[13] = 8;      // gain steps
    words[14] = 12;     // converter bits
    words[15] = 1000;   // measurement cycle in microseconds
    for (int i = 16; i < 24; ++i)
        words[i] = 0;
    PutText(words, 16, "CHROMIX3-SIM");
    std::uint16_t sum = 0;
    for (int i = 0; i < kHardwareInfoWords - 1; ++i)
        sum = static_cast<std::uint16_t>(sum + words[i]);
    words[kHardwareInfoWords - 1] = static_cast<std::uint16_t>(0x10000 - sum);
    return words;
}

} // namespace

int CalibrationMemory::WriteFactors(const ChannelWords& words) {
    return CheckWords(factors, words, 1, kLargestFactor, kFactorOne);
}

int CalibrationMemory::WriteOffsets(const ChannelWords& words) {
    return CheckWords(offsets, words, 0, kLargestOffset, 0);
}

int CalibrationMemory::Calibrated(int channel, int raw) const {
    const int above = std::max(raw - offsets[channel], 0);
    return std::min(above * factors[channel] / kFactorOne, kLargestCalibrated);
}

std::uint16_t SelfCalibrationFactor(int setValue, int raw, int offset) {
    const int above = raw - offset;
    if (above <= 0) return kLargestFactor;
    return static_cast<std::uint16_t>(std::min(setValue * kFactorOne / above, int(kLargestFactor)));
}

const std::array<std::uint16_t, kHardwareInfoWords>& HardwareInfoBlock() {
    static const auto block = MakeHardwareInfoBlock();
    return block;
}

} // namespace sim
