#include "sim/ParameterStore.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace sim {

namespace {

constexpr char kEepromMagic[] = "CHROMIX3-SIM EEPROM 1\n";
constexpr std::size_t kMagicSize = sizeof(kEepromMagic) - 1;
constexpr std::size_t kWordsPerSet = kParameterCount + kTeachRows * kTeachVectorWords;
constexpr std::size_t kEepromFileSize = kMagicSize + kParameterSets * kWordsPerSet * 2;

constexpr std::array<PlausibilityRange, kParameterCount> kParameterRanges{{
    {"POWER", 0, 1000, 500},
    {"POWER MODE", 0, 1, 0},
    {"AVERAGE", 1, 250, 1},
    {"EVALUATION MODE", 0, 4, 1},
    {"HOLD FAIL", 0, 10000, 10},
    {"INTLIM", 0, 4095, 0},
    {"MAX VEC NO", 0, 31, 1},
    {"DIGITAL OUTMODE", 0, 2, 0},
    {"TRIGGER", 0, 6, 0},
    {"EXTERN TEACH", 0, 3, 0},
    {"CALCULATION MODE", 0, 3, 0},
    {"DYNWIN LO", 0, 4095, 3200},
    {"DYNWIN HI", 0, 4095, 3300},
    {"COLOR GROUP", 0, 1, 0},
    {"LED MODE", 0, 3, 0},
    {"GAIN", 0, 7, 5},
    {"INTEGRAL", 0, 250, 1},
}};

constexpr std::array<PlausibilityRange, kTeachVectorWords> kRowRanges{{
    {"teach cell 1", 0, 10000, 1},
    {"teach cell 2", 0, 10000, 1},
    {"teach cell 3", 0, 10000, 1},
    {"teach cell 4", 0, 10000, 1},
    {"teach cell 5", 0, 10000, 1},
    {"GROUP", 0, 30, 0},
    {"HOLD", 0, 10000, 10},
    {"reserved", 0, 65535, 0},
}};

int CheckWord(std::uint16_t& value, const PlausibilityRange& range) {
    if (value >= range.min && value <= range.max) return 0;
    value = range.fallback;
    return 1;
}

void PutWord(std::vector<char>& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

std::uint16_t TakeWord(const std::vector<char>& in, std::size_t& pos) {
    const auto lo = static_cast<std::uint8_t>(in[pos]);
    const auto hi = static_cast<std::uint8_t>(in[pos + 1]);
    pos += 2;
    return static_cast<std::uint16_t>(lo | (hi << 8));
}

} // namespace

const std::array<PlausibilityRange, kParameterCount>& ParameterRanges() {
    return kParameterRanges;
}

const std::array<PlausibilityRange, kTeachVectorWords>& TableRowRanges() {
    return kRowRanges;
}

ParameterImage FactoryImage() {
    ParameterImage image;
    for (int i = 0; i < kParameterCount; ++i)
        image.parameters[i] = kParameterRanges[i].fallback;
    for (int row = 0; row < kTeachRows; ++row) {
        auto& w = image.table[row].w;
        for (int i = 0; i < 5; ++i)
            w[i] = 1;
        w[5] = 0;
        w[6] = 10;
        w[7] = ReservedStartValue(row);
    }
    return image;
}

ParameterSets FactorySets() {
    return {FactoryImage(), FactoryImage()};
}

int CheckParameterBlock(std::array<std::uint16_t, kParameterCount>& block) {
    int replaced = 0;
    for (int i = 0; i < kParameterCount; ++i)
        replaced += CheckWord(block[i], kParameterRanges[i]);
    // A window whose bounds cross cannot regulate: both bounds go back to their defaults.
    if (block[kDynWinLo] > block[kDynWinHi]) {
        replaced += 2;
        block[kDynWinLo] = kParameterRanges[kDynWinLo].fallback;
        block[kDynWinHi] = kParameterRanges[kDynWinHi].fallback;
    }
    return replaced;
}

int CheckTableBlock(std::array<TeachVector, kTeachRows>& table) {
    int replaced = 0;
    for (auto& row : table) {
        for (int i = 0; i < kTeachVectorWords - 1; ++i)
            replaced += CheckWord(row.w[i], kRowRanges[i]);
    }
    return replaced;
}

int CheckImage(ParameterImage& image) {
    return CheckParameterBlock(image.parameters) + CheckTableBlock(image.table);
}

std::string DescribeRanges() {
    std::ostringstream out;
    out << "Plausibility ranges (a value outside is replaced by its default and counted):\n";
    for (const auto& r : kParameterRanges)
        out << "  " << r.name << ": " << r.min << ".." << r.max << ", default " << r.fallback
            << "\n";
    out << "  DYNWIN LO above DYNWIN HI: both set to their defaults (counts 2)\n";
    out << "  Each teach table row:\n";
    for (int i = 0; i < kTeachVectorWords - 1; ++i)
        out << "    " << kRowRanges[i].name << ": " << kRowRanges[i].min << ".."
            << kRowRanges[i].max << ", default " << kRowRanges[i].fallback << "\n";
    out << "    reserved word: not checked, stored and sent back unchanged\n";
    return out.str();
}

bool LoadEepromFile(const std::string& path, ParameterSets& sets, bool& found, std::string& error) {
    found = false;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (!std::filesystem::exists(path)) return true;
        error = "cannot read " + path;
        return false;
    }
    found = true;
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() != kEepromFileSize ||
        std::string(bytes.begin(), bytes.begin() + kMagicSize) != kEepromMagic) {
        error = path + " is not a simulator EEPROM file";
        return false;
    }
    std::size_t pos = kMagicSize;
    for (auto& image : sets) {
        for (auto& word : image.parameters)
            word = TakeWord(bytes, pos);
        for (auto& row : image.table)
            for (auto& word : row.w)
                word = TakeWord(bytes, pos);
    }
    return true;
}

bool SaveEepromFile(const std::string& path, const ParameterSets& sets, std::string& error) {
    std::vector<char> bytes(kEepromMagic, kEepromMagic + kMagicSize);
    for (const auto& image : sets) {
        for (auto word : image.parameters)
            PutWord(bytes, word);
        for (const auto& row : image.table)
            for (auto word : row.w)
                PutWord(bytes, word);
    }
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            error = "cannot write " + temporary;
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code code;
    std::filesystem::rename(temporary, path, code);
    if (code) {
        error = "cannot replace " + path + ": " + code.message();
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace sim
