// SEND and GET: the request plans walked over the link, the sensor's plausibility counts
// reported, and the received blocks shown.
#include "app/AppState.h"
#include "app/MainPanel.h"
#include "app/Program.h"
#include "link/FrameCodec.h"
#include "link/SensorLink.h"
#include "params/BlockLayout.h"
#include "params/ParameterCodes.h"
#include "params/ParameterPage.h"
#include "params/ParameterPanels.h"
#include "params/TransferPlan.h"

#include <QRadioButton>

#include <algorithm>
#include <string>

namespace {

// Only PARA works with two parameter sets; every other trigger addresses ParaSet0.
std::uint16_t ParaSetInUse(Program& program) {
    auto& params = program.state.params;
    if (program.parameterPage && program.parameterPage->Word(kTrigger) == kTriggerPara)
        return params.paraSet == 1 ? 1 : 0;
    if (params.paraSet != 0) {
        params.paraSet = 0;
        program.Main().selectParaSet[0]->setChecked(true);
    }
    return 0;
}

int ExchangeRequest(Program& program, const ParameterRequest& request) {
    auto& frames = program.state.frames;
    auto& link = program.Link();
    frames.currentOrder = request.order;
    const std::size_t words = std::min(request.payload.size(), frames.wordBuffer.size());
    std::copy_n(request.payload.begin(), words, frames.wordBuffer.begin());
    link.BuildRequestFrame(request.order, int(words), request.argument, request.payloadBytes);
    if (link.ExchangeFrames(int(frame::kHeaderSize) + request.payloadBytes) != 1) return -1;
    // An error reply (reply code 0) has been reported by the exchange; it carries neither a
    // block nor a plausibility count, so the command ends here.
    return frames.replyCode == 0 ? -1 : 1;
}

// The sensor's count of replaced parameters is not a failure, but it goes where link reports
// go, so a running GO loop ends.
void ReportPlausibility(Program& program, const ParameterRequest& request) {
    const std::string notice = PlausibilityNotice(request, program.state.frames.statusWord);
    if (notice.empty()) return;
    program.state.link.messageBuffer = notice;
    program.Link().ReportCommError();
}

// A reply of another length than its block still fills what it carries; the operator is told.
void StoreReply(Program& program, const ParameterRequest& request, ParameterImage& image) {
    auto& frames = program.state.frames;
    program.Link().DecodeReplyWords();
    const std::size_t received = std::min<std::size_t>(frames.dataLength, frame::kMaxDataBytes) / 2;
    StoreReadReply(image, request, frames.wordBuffer.data(),
                   std::min(received, frames.wordBuffer.size()));
    if (frames.dataLength == request.expectedReplyBytes) return;
    const std::string block = std::to_string(request.argument);
    const std::string got = std::to_string(frames.dataLength);
    const std::string expected = std::to_string(request.expectedReplyBytes);
    if (frames.dataLength < request.expectedReplyBytes)
        program.AppendLog("ATTENTION! PARAMETER BLOCK " + block + ": " + got + " OF " + expected +
                          " BYTES RECEIVED, THE OTHER VALUES ARE KEPT!\n\n");
    else
        program.AppendLog("ATTENTION! PARAMETER BLOCK " + block + ": " + got +
                          " BYTES RECEIVED, ONLY " + expected + " ARE USED!\n\n");
}

} // namespace

int SendParameters(Program& program) {
    auto& state = program.state;
    state.flags.pendingSend = 0;
    if (state.params.memoryTarget == kFile) {
        WriteParameterFile(program);
        return 1;
    }
    GetParametersFromPanel(program);
    const auto plan =
        PlanSendRequests(state.params.image, ParaSetInUse(program), state.params.memoryTarget);
    for (const auto& request : plan) {
        if (ExchangeRequest(program, request) != 1) return -1;
        ReportPlausibility(program, request);
    }
    return 1;
}

int GetParameters(Program& program) {
    auto& state = program.state;
    state.flags.pendingGet = 0;
    if (state.params.memoryTarget == kFile) {
        ReadParameterFile(program);
        return 1;
    }
    // Received blocks are collected apart and taken over together, so a failed read leaves the
    // image as it was, like the controls.
    ParameterImage received = state.params.image;
    for (const auto& request : PlanGetRequests(ParaSetInUse(program), state.params.memoryTarget)) {
        if (ExchangeRequest(program, request) != 1) return -1;
        if (request.order == 2) StoreReply(program, request, received);
        ReportPlausibility(program, request);
    }
    state.params.image = received;
    PutParametersToPanel(program);
    ApplyParameterRules(program);
    return 1;
}
