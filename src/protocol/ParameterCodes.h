#pragma once
// Numeric codes of the coded parameters. Values travel as these codes; labels live in the
// controls only.
#include <cstdint>

namespace protocol {

enum PowerModeCode : std::uint16_t { kPowerModeStat = 0, kPowerModeDyn = 1 };

enum EvaluationModeCode : std::uint16_t {
    kEvalFirstHit = 0,
    kEvalBestHit = 1,
    kEvalMinDist = 2,
    kEvalCol5 = 3,
    kEvalThdRgb = 4, // and every larger value
};

enum DigitalOutmodeCode : std::uint16_t { kOutBinary = 1 }; // 0 and 2 are the two DIRECT modes

enum TriggerCode : std::uint16_t {
    kTriggerCont = 0,
    kTriggerSelf = 1,
    kTriggerExt1 = 2,
    kTriggerExt2 = 3,
    kTriggerExt3 = 4,
    kTriggerTrans = 5,
    kTriggerPara = 6,
};

enum ExternTeachCode : std::uint16_t {
    kExternTeachOff = 0,
    kExternTeachOn = 1,
    kExternTeachStat1 = 2,
    kExternTeachDyn1 = 3,
};

enum CalculationModeCode : std::uint16_t {
    kCalcXyInt2D = 0,
    kCalcSiM2D = 1,
    kCalcXyInt3D = 2,
    kCalcSiM3D = 3,
};

enum LedModeCode : std::uint16_t { kLedDc = 0, kLedAc = 1, kLedPulse = 2, kLedOff = 3 };

// THD RGB overrides the teach columns, the data pages and most locks; any code above it is
// treated the same way.
constexpr bool IsThdRgb(std::uint16_t evaluationMode) {
    return evaluationMode >= kEvalThdRgb;
}

// A calculation mode outside 0..3 is shown like the default mode 0 (X Y INT 2D).
constexpr bool IsCalculation3D(std::uint16_t calculationMode) {
    return calculationMode == kCalcXyInt3D || calculationMode == kCalcSiM3D;
}

// s i M instead of X Y INT.
constexpr bool IsCalculationSiM(std::uint16_t calculationMode) {
    return calculationMode == kCalcSiM2D || calculationMode == kCalcSiM3D;
}

} // namespace protocol
