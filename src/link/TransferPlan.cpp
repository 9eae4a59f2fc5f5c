#include "link/TransferPlan.h"

#include "core/AppState.h"
#include "protocol/BlockLayout.h"
#include "protocol/Orders.h"

namespace comm {

namespace {

ParameterRequest WriteRequest(TransferStep step, std::uint16_t blockIndex,
                              const protocol::ParameterImage& image) {
    ParameterRequest request;
    request.step = step;
    request.order = protocol::kOrderWriteBlock;
    request.argument = blockIndex;
    request.payload = protocol::BlockWords(image, blockIndex);
    request.payloadBytes = static_cast<std::uint16_t>(request.payload.size() * 2);
    request.report = PlausibilityReport::Ram;
    return request;
}

ParameterRequest ReadRequest(TransferStep step, std::uint16_t blockIndex) {
    ParameterRequest request;
    request.step = step;
    request.order = protocol::kOrderReadBlock;
    request.argument = blockIndex;
    request.expectedReplyBytes =
        static_cast<std::uint16_t>(protocol::BlockWordCount(blockIndex) * 2);
    return request;
}

ParameterRequest BareRequest(TransferStep step, std::uint8_t order, PlausibilityReport report) {
    ParameterRequest request;
    request.step = step;
    request.order = order;
    request.report = report;
    return request;
}

} // namespace

std::vector<ParameterRequest> PlanSendRequests(const protocol::ParameterImage& image,
                                               std::uint16_t paraSet, std::uint16_t memoryTarget) {
    if (memoryTarget == core::kFile) return {};
    std::vector<ParameterRequest> plan{
        WriteRequest(TransferStep::WriteParameterBlock, protocol::ParameterBlockIndex(paraSet),
                     image),
        WriteRequest(TransferStep::WriteTableBlock, protocol::TableBlockIndex(paraSet), image)};
    if (memoryTarget == core::kEeprom)
        plan.push_back(BareRequest(TransferStep::StoreToEeprom, protocol::kOrderStoreEeprom,
                                   PlausibilityReport::None));
    return plan;
}

std::vector<ParameterRequest> PlanGetRequests(std::uint16_t paraSet, std::uint16_t memoryTarget) {
    if (memoryTarget == core::kFile) return {};
    std::vector<ParameterRequest> plan;
    if (memoryTarget == core::kEeprom)
        plan.push_back(BareRequest(TransferStep::LoadFromEeprom, protocol::kOrderLoadEeprom,
                                   PlausibilityReport::Eeprom));
    plan.push_back(
        ReadRequest(TransferStep::ReadParameterBlock, protocol::ParameterBlockIndex(paraSet)));
    plan.push_back(ReadRequest(TransferStep::ReadTableBlock, protocol::TableBlockIndex(paraSet)));
    return plan;
}

std::size_t StoreReadReply(protocol::ParameterImage& image, const ParameterRequest& request,
                           const std::uint16_t* words, std::size_t count) {
    if (request.order != protocol::kOrderReadBlock) return 0;
    return protocol::StoreBlockWords(image, request.argument, words, count);
}

std::string RamPlausibilityNotice(std::uint16_t replacedCount) {
    return "INFO!\n" + std::to_string(replacedCount) +
           " PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!";
}

std::string EepromPlausibilityNotice(std::uint16_t replacedCount) {
    return "INFO!\n" + std::to_string(replacedCount) +
           " PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!";
}

std::string PlausibilityNotice(const ParameterRequest& request, std::uint16_t statusWord) {
    if (statusWord == 0) return {};
    switch (request.report) {
    case PlausibilityReport::Ram:
        return RamPlausibilityNotice(statusWord);
    case PlausibilityReport::Eeprom:
        return EepromPlausibilityNotice(statusWord);
    case PlausibilityReport::None:
        break;
    }
    return {};
}

} // namespace comm
