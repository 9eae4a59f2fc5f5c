#include "model/ParameterFile.h"
#include "model/ParameterDefaults.h"

#include <array>
#include <cstdint>

namespace params {

using namespace settings;

using namespace parameter_file;

namespace {

struct ParameterKey {
    const char* key;
    const char* listedAs; // the name the missing list shows
};

constexpr std::array<ParameterKey, protocol::kParameterCount> kParameterKeys = {{
    {"POWER", "POWER"},
    {"POWER MODE", "POWER MODE"},
    {"AVERAGE", "AVERAGE"},
    {"EVALUATION MODE", "EVALUATION MODE"},
    {"HOLD FAIL", "HOLD FAIL"},
    {"INTLIM", "INTLIM"},
    {"MAX VEC NO", "MAX VEC NO"},
    {"DIGITAL OUTMODE", "DIGITAL OUTMODE"},
    {"TRIGGER", "TRIGGER"},
    {"EXTERN TEACH", "EXTEACH"},
    {"CALCULATION MODE", "CALCULATION MODE"},
    {"DYNWIN LO", "DYNWIN LO"},
    {"DYNWIN HI", "DYNWIN HI"},
    {"COLOR GROUP", "COLOR GROUP"},
    {"LED MODE", "LED MODE"},
    {"GAIN", "GAIN"},
    {"INTEGRAL", "INTEGRAL"},
}};

// Row keys in word order; the store trims the blanks of GROUP and HOLD.
constexpr std::array<const char*, 7> kRowKeys = {"CELL 0", "CELL 1", "CELL 2", "CELL 3",
                                                 "CELL 4", "GROUP ", "HOLD "};
constexpr std::array<std::uint16_t, 7> kRowDefaults = {
    kDefaultTeachCell, kDefaultTeachCell, kDefaultTeachCell, kDefaultTeachCell,
    kDefaultTeachCell, kDefaultGroup,     kDefaultHold};

constexpr const char* kParameterListHead =
    "Following parameter could not be read \nand where set to default value:\n\n";
constexpr const char* kTeachListHead =
    "Following teach vectors could not be read \nand where set to default value:\n\n";

std::string TeachSectionName(int row) {
    return "TEACH VECTOR " + std::to_string(row);
}

// Present and a valid integer: its low 16 bits; anything else counts as missing.
bool GetWord(const IniStore& store, const std::string& section, const char* key,
             std::uint16_t& word) {
    std::int32_t value = 0;
    if (store.GetInt(section, key, value) != kIniFound) return false;
    word = static_cast<std::uint16_t>(static_cast<std::uint32_t>(value));
    return true;
}

} // namespace

void PutParameterSection(IniStore& store, const protocol::ParameterImage& image) {
    for (int word = 0; word < protocol::kParameterCount; ++word) {
        store.PutInt(kParameterSection, kParameterKeys[word].key, image.parameters[word]);
    }
}

void PutTeachVectorSections(IniStore& store, const protocol::ParameterImage& image) {
    for (int row = 0; row < protocol::kTeachRows; ++row) {
        const std::string section = TeachSectionName(row);
        for (std::size_t word = 0; word < kRowKeys.size(); ++word) {
            store.PutInt(section, kRowKeys[word], image.table[row].w[word]);
        }
    }
}

std::string GetParameterSection(const IniStore& store, protocol::ParameterImage& image) {
    std::string missing;
    for (int word = 0; word < protocol::kParameterCount; ++word) {
        if (GetWord(store, kParameterSection, kParameterKeys[word].key, image.parameters[word])) {
            continue;
        }
        image.parameters[word] = kDefaultParameters[word];
        missing += kParameterKeys[word].listedAs;
        missing += '\n';
    }
    return missing.empty() ? missing : kParameterListHead + missing;
}

std::string GetTeachVectorSections(const IniStore& store, protocol::ParameterImage& image) {
    std::string missing;
    for (int row = 0; row < protocol::kTeachRows; ++row) {
        const std::string section = TeachSectionName(row);
        bool rowComplete = true;
        for (std::size_t word = 0; word < kRowKeys.size(); ++word) {
            std::uint16_t& target = image.table[row].w[word];
            if (GetWord(store, section, kRowKeys[word], target)) continue;
            target = kRowDefaults[word];
            rowComplete = false;
        }
        if (!rowComplete) missing += section + '\n';
    }
    return missing.empty() ? missing : kTeachListHead + missing;
}

int WriteParameterFileTo(const std::string& path, const protocol::ParameterImage& image,
                         std::string* refusal) {
    IniStore store;
    PutFileIdentity(store, kParameterFileType);
    PutParameterSection(store, image);
    PutTeachVectorSections(store, image);
    return store.WriteToFile(path, refusal);
}

ParameterFileContents ReadParameterFileFrom(const std::string& path) {
    return {ReadIdentifiedIniFile(path)};
}

} // namespace params
