#include "link/SensorOperations.h"

#include "core/AppState.h"
#include "link/CommView.h"
#include "link/SensorLink.h"
#include "link/ServerList.h"
#include "link/TransferPlan.h"
#include "protocol/Orders.h"

#include <algorithm>

namespace comm {

using protocol::Outcome;
using protocol::Reply;

namespace {

// The words of a measurement frame as the sensor sends them: 20 words.
constexpr int kMeasurementBytes = protocol::MeasurementFrame::kWords * 2;

TransferResult::Outcome FailureOf(Outcome outcome) {
    return outcome == Outcome::Cancelled ? TransferResult::Cancelled : TransferResult::Failed;
}

} // namespace

SensorOperations::SensorOperations(SensorLink& link, CommView& view) : link(link), view(view) {}

Reply SensorOperations::Exchange(std::uint8_t order, std::uint16_t argument,
                                 std::span<const std::uint16_t> payload) {
    return link.ExchangeFrames(protocol::MakeRequest(order, argument, payload));
}

Outcome SensorOperations::Identify(std::string& firmwareId) {
    const Reply reply = Exchange(protocol::kOrderIdentify);
    if (reply.Ok()) firmwareId = FirmwareIdFromReply(reply.data.data(), reply.data.size());
    return reply.outcome;
}

Outcome SensorOperations::ChangeBaudrate(std::uint16_t baudRateCode) {
    return Exchange(protocol::kOrderChangeBaudrate, baudRateCode).outcome;
}

TransferResult SensorOperations::SendParameters(const protocol::ParameterImage& image,
                                                std::uint16_t paraSet, std::uint16_t memoryTarget) {
    TransferResult result;
    result.outcome = TransferResult::Completed;
    SensorLink::WriteScope write(link);
    for (const auto& planned : PlanSendRequests(image, paraSet, memoryTarget)) {
        protocol::Request request =
            protocol::MakeRequest(planned.order, planned.argument, planned.payload);
        request.payloadBytes = planned.payloadBytes;
        const Reply reply = link.ExchangeFrames(request);
        if (!reply.Ok()) {
            result.outcome = FailureOf(reply.outcome);
            return result;
        }
        const std::string notice = PlausibilityNotice(planned, reply.status);
        if (notice.empty()) continue;
        link.ReportSensorNotice(notice);
        result.replaced = true;
    }
    // The sensor counts what it replaced but does not say which: reading the set back tells.
    if (result.replaced && memoryTarget != core::kFile) {
        result.held = image;
        if (GetParameters(paraSet, core::kRam, result.held).Done()) {
            result.readBack = true;
            result.replacedValues = ReplacedValues(image, result.held);
            std::string lines;
            for (const std::string& value : result.replacedValues)
                lines += value + "\n";
            if (!lines.empty()) view.AppendLog("REPLACED BY THE SENSOR:\n" + lines + "\n");
        }
    }
    return result;
}

std::vector<std::string> ReplacedValues(const protocol::ParameterImage& sent,
                                        const protocol::ParameterImage& held) {
    std::vector<std::string> values;
    auto told = [](const std::string& what, std::uint16_t was, std::uint16_t now) {
        return what + ": SENT " + std::to_string(was) + ", THE SENSOR HOLDS " + std::to_string(now);
    };
    for (std::size_t word = 0; word < sent.parameters.size(); ++word)
        if (sent.parameters[word] != held.parameters[word])
            values.push_back(told(protocol::kParameterNames[word], sent.parameters[word],
                                  held.parameters[word]));
    static const char* const kRowWords[7] = {"CELL 0", "CELL 1", "CELL 2", "CELL 3",
                                             "CELL 4", "GROUP",  "HOLD"};
    for (std::size_t row = 0; row < sent.table.size(); ++row)
        for (std::size_t word = 0; word < 7; ++word)
            if (sent.table[row].w[word] != held.table[row].w[word])
                values.push_back(told("TEACH ROW " + std::to_string(row) + " " + kRowWords[word],
                                      sent.table[row].w[word], held.table[row].w[word]));
    return values;
}

TransferResult SensorOperations::GetParameters(std::uint16_t paraSet, std::uint16_t memoryTarget,
                                               protocol::ParameterImage& image) {
    TransferResult result;
    // Received blocks are collected apart and taken over together, so a failed read leaves the
    // image as it was.
    protocol::ParameterImage received = image;
    for (const auto& planned : PlanGetRequests(paraSet, memoryTarget)) {
        const Reply reply = Exchange(planned.order, planned.argument);
        if (!reply.Ok()) {
            result.outcome = FailureOf(reply.outcome);
            return result;
        }
        // The link took the block only at its own length.
        if (planned.order == protocol::kOrderReadBlock)
            StoreReadReply(received, planned, reply.words.data(), reply.words.size());
        const std::string notice = PlausibilityNotice(planned, reply.status);
        if (notice.empty()) continue;
        link.ReportSensorNotice(notice);
        result.replaced = true;
    }
    image = received;
    result.outcome = TransferResult::Completed;
    return result;
}

Outcome SensorOperations::Measure(protocol::MeasurementFrame& frame) {
    const Reply reply = Exchange(protocol::kOrderMeasure);
    if (reply.Ok()) protocol::TakeMeasurementFrame(frame, reply.words.data(), reply.words.size());
    return reply.outcome;
}

Outcome SensorOperations::ReadCalibration(CalibrationWords& words) {
    const Reply reply = Exchange(protocol::kOrderReadCalibration);
    if (!reply.Ok()) return reply.outcome;
    // Words the reply did not carry are 0.
    std::array<std::uint16_t, 6> w{};
    std::copy_n(reply.words.begin(), std::min(reply.words.size(), w.size()), w.begin());
    words.factors = {w[0], w[1], w[2]};
    words.offsets = {w[3], w[4], w[5]};
    return reply.outcome;
}

Outcome SensorOperations::WriteCalibration(std::uint16_t which,
                                           const std::array<std::uint16_t, 3>& words,
                                           std::uint16_t* replaced) {
    SensorLink::WriteScope write(link);
    const Reply reply = Exchange(protocol::kOrderWriteCalibration, which, words);
    const bool notice = reply.Ok() && reply.status > 0;
    if (notice) link.ReportSensorNotice(RamPlausibilityNotice(reply.status));
    if (replaced) *replaced = notice ? reply.status : 0;
    return reply.outcome;
}

Outcome SensorOperations::MeasureOffsets() {
    return Exchange(protocol::kOrderMeasureOffsets, protocol::kMeasureOffsetsKey).outcome;
}

Outcome SensorOperations::StartSelfCalibration(SelfCalibrationWords& words) {
    const Reply reply = Exchange(protocol::kOrderSelfCalibration);
    if (!reply.Ok()) return reply.outcome;
    std::array<std::uint16_t, 5> w{};
    std::copy_n(reply.words.begin(), std::min(reply.words.size(), w.size()), w.begin());
    words.factors = {w[0], w[1], w[2]};
    words.setValue = w[3];
    words.maxDelta = w[4];
    return reply.outcome;
}

Outcome SensorOperations::ReadHardwareBlock(HardwareBlock& words) {
    const Reply reply = Exchange(protocol::kOrderHardwareInfo, protocol::kHardwareInfoKey);
    if (!reply.Ok()) return reply.outcome;
    words.fill(0);
    std::copy_n(reply.words.begin(), std::min(reply.words.size(), words.size()), words.begin());
    return reply.outcome;
}

Reply SensorOperations::ReadCycleTime() {
    return Exchange(protocol::kOrderCycleTime);
}

Outcome SensorOperations::StartScan(std::span<const std::uint16_t, kScanRequestWords> words) {
    return Exchange(protocol::kOrderScan, protocol::kStart, words).outcome;
}

Outcome SensorOperations::BreakScan(int blockBytes) {
    return link
        .ExchangeFramesPassingPushed(protocol::MakeRequest(protocol::kOrderScan, protocol::kStop),
                                     {protocol::kOrderScan, blockBytes})
        .outcome;
}

Outcome SensorOperations::StartTriggerSending() {
    return Exchange(protocol::kOrderTriggerSending, protocol::kStart).outcome;
}

Outcome SensorOperations::StopTriggerSending() {
    // Whatever code a frame on its way carries, it came on a trigger, not as the reply: the
    // reply to order 30 has no data.
    return link
        .ExchangeFramesPassingPushed(
            protocol::MakeRequest(protocol::kOrderTriggerSending, protocol::kStop),
            {SensorLink::PushedFrames::kAnyCode, kMeasurementBytes})
        .outcome;
}

Reply SensorOperations::ReceivePushed() {
    return link.ReceivePushedFrame();
}

} // namespace comm
