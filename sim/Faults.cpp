#include "sim/Faults.h"

#include "protocol/CheckByte.h"
#include "protocol/FrameCodec.h"
#include "sim/ModelNames.h"

#include <algorithm>

namespace sim {

namespace {

void PutLength(std::vector<std::uint8_t>& reply, std::size_t length) {
    reply[4] = static_cast<std::uint8_t>(length & 0xFF);
    reply[5] = static_cast<std::uint8_t>((length >> 8) & 0xFF);
}

void SealHead(std::vector<std::uint8_t>& reply) {
    reply[7] = ComputeCheckByte(reply.data(), 0, 7);
}

// Rewrites the head so that it still passes its own check.
void ApplyContentFaults(std::vector<std::uint8_t>& reply, int order, const FaultSettings& f) {
    if (f.errorReply.AppliesTo(order)) {
        reply = frame::EncodeFrameBytes(0, static_cast<std::uint16_t>(f.errorReply.value), {});
        return;
    }
    const bool countingOrder = order == kOrderWriteBlock || order == kOrderLoadEeprom;
    if (countingOrder && reply[1] != 0 && f.plausibilityCount.AppliesTo(order)) {
        reply[2] = static_cast<std::uint8_t>(f.plausibilityCount.value & 0xFF);
        reply[3] = static_cast<std::uint8_t>((f.plausibilityCount.value >> 8) & 0xFF);
    }
    if (f.dataBytes.AppliesTo(order)) {
        const std::size_t kept = static_cast<std::size_t>(std::max(f.dataBytes.value, 0));
        reply.resize(std::min(reply.size(), frame::kHeaderSize + kept));
        PutLength(reply, reply.size() - frame::kHeaderSize);
        reply[6] =
            ComputeCheckByte(reply.data(), frame::kHeaderSize, reply.size() - frame::kHeaderSize);
    }
    if (f.oddLength.AppliesTo(order)) {
        reply.push_back(0x5A);
        PutLength(reply, reply.size() - frame::kHeaderSize);
        reply[6] =
            ComputeCheckByte(reply.data(), frame::kHeaderSize, reply.size() - frame::kHeaderSize);
    }
    if (f.oversizeLength.AppliesTo(order))
        PutLength(reply, static_cast<std::size_t>(f.oversizeLength.value));
    if (f.badDataCheck.AppliesTo(order)) reply[6] = static_cast<std::uint8_t>(reply[6] ^ 0x01);
    SealHead(reply);
    if (f.badHeadCheck.AppliesTo(order)) reply[7] = static_cast<std::uint8_t>(reply[7] ^ 0x01);
}

std::vector<std::vector<std::uint8_t>> Split(const std::vector<std::uint8_t>& bytes, int count) {
    std::vector<std::vector<std::uint8_t>> pieces;
    const std::size_t n = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(count, 1)), 1,
                                                  std::max<std::size_t>(bytes.size(), 1));
    std::size_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t end = bytes.size() * (i + 1) / n;
        pieces.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                            bytes.begin() + static_cast<std::ptrdiff_t>(end));
        start = end;
    }
    return pieces;
}

} // namespace

ReplyPlan ShapeReply(const std::vector<std::uint8_t>& reply, int order,
                     const FaultSettings& faults) {
    ReplyPlan plan;
    if (faults.silence.AppliesTo(order) || reply.size() < frame::kHeaderSize) {
        plan.silent = true;
        return plan;
    }
    std::vector<std::uint8_t> bytes = reply;
    ApplyContentFaults(bytes, order, faults);
    if (faults.cutAfterBytes.AppliesTo(order))
        bytes.resize(std::min(bytes.size(),
                              static_cast<std::size_t>(std::max(faults.cutAfterBytes.value, 0))));
    plan.held = faults.hold.AppliesTo(order);
    if (faults.delayMs.AppliesTo(order)) plan.delayMs = std::max(faults.delayMs.value, 0);
    if (faults.baudRate.AppliesTo(order))
        plan.bytesPerSecond = std::max(faults.baudRate.value / 10, 1);
    if (faults.pieces.AppliesTo(order) && faults.pieces.value > 1) {
        plan.pieces = Split(bytes, faults.pieces.value);
        plan.pauseMs = std::max(faults.piecePauseMs, 0);
        return plan;
    }
    plan.pieces.push_back(std::move(bytes));
    return plan;
}

void Faults::Set(const FaultSettings& next) {
    std::lock_guard lock(mutex);
    settings = next;
}

FaultSettings Faults::Get() const {
    std::lock_guard lock(mutex);
    return settings;
}

} // namespace sim
