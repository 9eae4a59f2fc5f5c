// SEND and GET: the request plans walked over the link, the sensor's plausibility counts
// reported, and the received blocks shown.
#include "params/ParameterTransfer.h"

#include "comm/SensorLink.h"
#include "comm/TransferPlan.h"
#include "core/AppState.h"
#include "core/Shell.h"
#include "params/ParameterPanels.h"
#include "protocol/BlockLayout.h"
#include "protocol/FrameCodec.h"

#include <algorithm>
#include <string>

namespace params {

namespace {
constexpr const char* kReplacedOutcome = "done; the sensor replaced parameters, see the log";
} // namespace

ParameterTransfer::ParameterTransfer(core::AppState& state, core::Shell& shell,
                                     core::OperatorDialogs& dialogs, comm::SensorLink& link,
                                     ParameterPanels& panels)
    : state(state), shell(shell), dialogs(dialogs), link(link), panels(panels) {}

void ParameterTransfer::GetParametersFromPanel() {
    panels.GetParametersFromPanel();
}

int ParameterTransfer::ExchangeRequest(const comm::ParameterRequest& request) {
    auto& frames = state.frames;
    frames.currentOrder = request.order;
    const std::size_t words = std::min(request.payload.size(), frames.wordBuffer.size());
    std::copy_n(request.payload.begin(), words, frames.wordBuffer.begin());
    link.BuildRequestFrame(request.order, int(words), request.argument, request.payloadBytes);
    if (link.ExchangeFrames(int(protocol::frame::kHeaderSize) + request.payloadBytes) != 1)
        return -1;
    // An error reply (reply code 0) has been reported by the exchange; it carries neither a
    // block nor a plausibility count, so the command ends here.
    return frames.replyCode == 0 ? -1 : 1;
}

// The sensor's count of replaced parameters is not a failure, but it goes where link reports
// go, so a running GO loop ends.
bool ParameterTransfer::ReportPlausibility(const comm::ParameterRequest& request) {
    const std::string notice = comm::PlausibilityNotice(request, state.frames.statusWord);
    if (notice.empty()) return false;
    state.link.messageBuffer = notice;
    link.ReportSensorNotice();
    return true;
}

std::string ParameterTransfer::Describe(bool send, std::uint16_t paraSet) const {
    static const char* const kTargets[4] = {"", "RAM", "EEPROM", "FILE"};
    const std::uint16_t target = state.params.memoryTarget;
    std::string text = send ? "SEND to " : "GET from ";
    text += target <= core::kFile ? kTargets[target] : "?";
    if (target != core::kFile) text += ", parameter set " + std::to_string(paraSet);
    return text;
}

// A reply of another length than its block still fills what it carries; the operator is told.
void ParameterTransfer::StoreReply(const comm::ParameterRequest& request,
                                   protocol::ParameterImage& image) {
    auto& frames = state.frames;
    link.DecodeReplyWords();
    const std::size_t received =
        std::min<std::size_t>(frames.dataLength, protocol::frame::kMaxDataBytes) / 2;
    comm::StoreReadReply(image, request, frames.wordBuffer.data(),
                         std::min(received, frames.wordBuffer.size()));
    if (frames.dataLength == request.expectedReplyBytes) return;
    const std::string block = std::to_string(request.argument);
    const std::string got = std::to_string(frames.dataLength);
    const std::string expected = std::to_string(request.expectedReplyBytes);
    if (frames.dataLength < request.expectedReplyBytes)
        shell.AppendLog("ATTENTION! PARAMETER BLOCK " + block + ": " + got + " OF " + expected +
                        " BYTES RECEIVED, THE OTHER VALUES ARE KEPT!\n\n");
    else
        shell.AppendLog("ATTENTION! PARAMETER BLOCK " + block + ": " + got +
                        " BYTES RECEIVED, ONLY " + expected + " ARE USED!\n\n");
}

int ParameterTransfer::SendParameters() {
    state.flags.pendingSend = 0;
    if (state.params.memoryTarget == core::kFile) {
        const std::string outcome = WriteParameterFile();
        shell.ReportCommand(Describe(true, 0), outcome);
        return 1;
    }
    panels.GetParametersFromPanel();
    const std::uint16_t paraSet = panels.ParaSetInUse();
    const std::string what = Describe(true, paraSet);
    const auto plan =
        comm::PlanSendRequests(state.params.image, paraSet, state.params.memoryTarget);
    bool replaced = false;
    for (const auto& request : plan) {
        if (ExchangeRequest(request) != 1) {
            shell.ReportCommand(what, "failed");
            return -1;
        }
        replaced |= ReportPlausibility(request);
    }
    shell.ReportCommand(what, replaced ? kReplacedOutcome : "done");
    return 1;
}

int ParameterTransfer::GetParameters() {
    state.flags.pendingGet = 0;
    if (state.params.memoryTarget == core::kFile) {
        const std::string outcome = ReadParameterFile();
        shell.ReportCommand(Describe(false, 0), outcome);
        return 1;
    }
    // Received blocks are collected apart and taken over together, so a failed read leaves the
    // image as it was, like the controls.
    protocol::ParameterImage received = state.params.image;
    const std::uint16_t paraSet = panels.ParaSetInUse();
    const std::string what = Describe(false, paraSet);
    bool replaced = false;
    for (const auto& request : comm::PlanGetRequests(paraSet, state.params.memoryTarget)) {
        if (ExchangeRequest(request) != 1) {
            shell.ReportCommand(what, "failed");
            return -1;
        }
        if (request.order == 2) StoreReply(request, received);
        replaced |= ReportPlausibility(request);
    }
    shell.ReportCommand(what, replaced ? kReplacedOutcome : "done");
    state.params.image = received;
    panels.PutParametersToPanel();
    panels.ApplyParameterRules();
    panels.DrawTaughtColours();
    return 1;
}

} // namespace params
