#pragma once
// Every order the program sends to the sensor and what its replies carry, named once: the
// program, the command line and the simulator all speak by these names.
#include <cstdint>

namespace protocol {

inline constexpr std::uint8_t kOrderWriteBlock = 1;  // argument: block index; payload: the block
inline constexpr std::uint8_t kOrderReadBlock = 2;   // argument: block index
inline constexpr std::uint8_t kOrderStoreEeprom = 3; // the RAM parameter set into EEPROM
inline constexpr std::uint8_t kOrderLoadEeprom = 4;  // the EEPROM parameter set into RAM
inline constexpr std::uint8_t kOrderIdentify = 7;    // reply: NUL-terminated text
inline constexpr std::uint8_t kOrderMeasure = 8;     // reply: the measurement words
inline constexpr std::uint8_t kOrderTriggerSending = 30;    // argument: kStart or kStop
inline constexpr std::uint8_t kOrderMeasureOffsets = 100;   // argument: kMeasureOffsetsKey
inline constexpr std::uint8_t kOrderWriteCalibration = 101; // argument: kFactors or kOffsets
inline constexpr std::uint8_t kOrderReadCalibration = 102;  // reply: factors, then offsets
inline constexpr std::uint8_t kOrderSelfCalibration = 103;  // reply: factors, two more values
inline constexpr std::uint8_t kOrderCycleTime = 105;        // reply: two signed 32-bit values
inline constexpr std::uint8_t kOrderScan = 110;           // argument: kStart (five words) or kStop
inline constexpr std::uint8_t kOrderChangeBaudrate = 190; // argument: the new baud-rate code
inline constexpr std::uint8_t kOrderHardwareInfo = 194;   // argument: kHardwareInfoKey

// Arguments.
inline constexpr std::uint16_t kStart = 1;
inline constexpr std::uint16_t kStop = 0;
inline constexpr std::uint16_t kFactors = 0;
inline constexpr std::uint16_t kOffsets = 1;
inline constexpr std::uint16_t kMeasureOffsetsKey = 1;
inline constexpr std::uint16_t kHardwareInfoKey = 19053; // 0x4A6D, a fixed service constant

// The reply code of an error reply, and what its status word says.
inline constexpr std::uint8_t kErrorReplyCode = 0;
inline constexpr std::uint16_t kStatusInvalidOrder = 1;
inline constexpr std::uint16_t kStatusControlUnitError = 2;

// Orders after which the sensor holds or does something else: their reply is waited for to the
// end, whatever else happens, so that nothing is left half done.
constexpr bool ChangesSensor(std::uint8_t order) {
    switch (order) {
    case kOrderWriteBlock:
    case kOrderStoreEeprom:
    case kOrderLoadEeprom:
    case kOrderTriggerSending:
    case kOrderMeasureOffsets:
    case kOrderWriteCalibration:
    case kOrderScan:
    case kOrderChangeBaudrate:
        return true;
    default:
        return false;
    }
}

// The orders that leave the sensor in a clean state: the only ones sent once the window is
// closing.
constexpr bool IsCleanUp(std::uint8_t order, std::uint16_t argument) {
    return (order == kOrderScan || order == kOrderTriggerSending) && argument == kStop;
}

} // namespace protocol
