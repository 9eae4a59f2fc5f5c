#pragma once
// SEND and GET as lists of requests, so the exchange code only walks the list and tests can see
// exactly what goes to the sensor. FILE plans are empty: the parameter file does that work.
#include "protocol/ParameterImage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace comm {

enum class TransferStep {
    WriteParameterBlock, // kOrderWriteBlock
    WriteTableBlock,     // kOrderWriteBlock
    StoreToEeprom,       // kOrderStoreEeprom
    LoadFromEeprom,      // kOrderLoadEeprom
    ReadParameterBlock,  // kOrderReadBlock
    ReadTableBlock,      // kOrderReadBlock
};

// Which plausibility text a nonzero status word of the reply calls for.
enum class PlausibilityReport { None, Ram, Eeprom };

struct ParameterRequest {
    TransferStep step = TransferStep::ReadParameterBlock;
    std::uint8_t order = 0;
    std::uint16_t argument = 0;           // block index, or 0
    std::vector<std::uint16_t> payload;   // words sent
    std::uint16_t payloadBytes = 0;       // length field of the request
    std::uint16_t expectedReplyBytes = 0; // data bytes of the reply; 0 when none is used
    PlausibilityReport report = PlausibilityReport::None;
};

// SEND for the given memory target (1 RAM, 2 EEPROM, 3 FILE): parameter block, table block and,
// for EEPROM, the store order. Each request is sent only if the one before succeeded.
std::vector<ParameterRequest> PlanSendRequests(const protocol::ParameterImage& image,
                                               std::uint16_t paraSet, std::uint16_t memoryTarget);
// GET: for EEPROM the load order first, then the two reads.
std::vector<ParameterRequest> PlanGetRequests(std::uint16_t paraSet, std::uint16_t memoryTarget);

// Puts a read reply's words into the image (short replies keep the rest, see BlockLayout.h).
// Requests that are not reads store nothing. Returns the number of words stored.
std::size_t StoreReadReply(protocol::ParameterImage& image, const ParameterRequest& request,
                           const std::uint16_t* words, std::size_t count);

std::string RamPlausibilityNotice(std::uint16_t replacedCount);
std::string EepromPlausibilityNotice(std::uint16_t replacedCount);
// The notice a reply's status word calls for, or an empty text when none is due.
std::string PlausibilityNotice(const ParameterRequest& request, std::uint16_t statusWord);

} // namespace comm
