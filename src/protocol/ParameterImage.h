#pragma once
#include <array>
#include <cstdint>

namespace protocol {

// One row of the table block: five teach cells, GROUP, HOLD and a reserved word that the
// program never sets; it keeps what the sensor last sent and goes back unchanged.
struct TeachVector {
    std::array<std::uint16_t, 8> w{};
};

constexpr int kParameterCount = 17;
constexpr int kTeachRows = 31;
constexpr int kTeachVectorWords = 8;

// Word indices of the parameter block.
enum ParameterWord : int {
    kPower = 0,
    kPowerMode = 1,
    kAverage = 2,
    kEvaluationMode = 3,
    kHoldFail = 4,
    kIntlim = 5,
    kMaxVecNo = 6,
    kDigitalOutmode = 7,
    kTrigger = 8,
    kExternTeach = 9,
    kCalculationMode = 10,
    kDynWinLo = 11,
    kDynWinHi = 12,
    kColorGroup = 13,
    kLedMode = 14,
    kGain = 15,
    kIntegral = 16,
};

// The parameters' names as the operator knows them, in word order.
inline constexpr std::array<const char*, kParameterCount> kParameterNames = {
    "POWER",     "POWER MODE",   "AVERAGE",          "EVALUATION MODE",
    "HOLD FAIL", "INTLIM",       "MAX VEC NO",       "DIGITAL OUTMODE",
    "TRIGGER",   "EXTERN TEACH", "CALCULATION MODE", "DYNWIN LO",
    "DYNWIN HI", "COLOR GROUP",  "LED MODE",         "GAIN",
    "INTEGRAL"};

struct ParameterImage {
    std::array<std::uint16_t, kParameterCount> parameters{};
    std::array<TeachVector, kTeachRows> table{};
};

} // namespace protocol
