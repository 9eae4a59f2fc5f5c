#include "cli/SensorSession.h"

#include "comm/ServerList.h"
#include "comm/TransferPlan.h"
#include "core/AppState.h"
#include "live/LiveValues.h"
#include "protocol/FrameCodec.h"

#include <algorithm>

namespace cli {

namespace {
constexpr int kIdentifyOrder = 7;
constexpr int kMeasureOrder = 8;
constexpr int kReadCalibrationOrder = 102;
constexpr int kHardwareInfoOrder = 194;
constexpr int kHardwareInfoKey = 19053;
} // namespace

SensorSession::SensorSession() : state(std::make_unique<core::AppState>()), link(*state, view) {}

SensorSession::~SensorSession() {
    link.ShutDown();
}

bool SensorSession::Open(const LinkChoice& choice) {
    auto& settings = state->link;
    if (choice.tcp) {
        settings.protocol = core::kTcpIp;
        settings.serverName = choice.host;
        settings.tcpPortText = std::to_string(choice.port);
        settings.tcpPortNumber = choice.port;
        link.ConnectToServer();
        if (settings.openResult < 0 || !settings.tcpConnected) return false;
    } else {
        settings.protocol = core::kRs232;
        settings.baudRateCode = std::uint16_t(choice.baudCode);
        const std::string device = choice.device;
        link.SetSerialDeviceResolver([device](int) { return device; });
        link.OpenSerialPort();
        if (settings.openResult < 0) return false;
    }
    if (!Exchange(kIdentifyOrder, 0, 0)) return false;
    settings.firmwareId = comm::FirmwareIdFromReply(
        settings.receiveBuffer.data() + protocol::frame::kHeaderSize, state->frames.dataLength);
    state->flags.linkGood = 1;
    return true;
}

const std::string& SensorSession::FirmwareId() const {
    return state->link.firmwareId;
}

bool SensorSession::Exchange(int order, int argument, int payloadBytes) {
    state->frames.currentOrder = std::uint8_t(order);
    link.BuildRequestFrame(order, payloadBytes / 2, argument, payloadBytes);
    // An error reply has been reported by the exchange and carries nothing to take.
    return link.ExchangeFrames(int(protocol::frame::kHeaderSize) + payloadBytes) == 1 &&
           state->frames.replyCode != 0;
}

SensorSession::Transfer SensorSession::GetParameters(std::uint16_t paraSet,
                                                     std::uint16_t memoryTarget,
                                                     protocol::ParameterImage& image) {
    auto& frames = state->frames;
    protocol::ParameterImage received = image;
    bool replaced = false;
    for (const auto& request : comm::PlanGetRequests(paraSet, memoryTarget)) {
        if (!Exchange(request.order, request.argument, 0)) return Transfer::Failed;
        if (request.order == 2) {
            link.DecodeReplyWords();
            const std::size_t words =
                std::min<std::size_t>(frames.dataLength, protocol::frame::kMaxDataBytes) / 2;
            comm::StoreReadReply(received, request, frames.wordBuffer.data(),
                                 std::min(words, frames.wordBuffer.size()));
            // A block of another length would leave values in the file the sensor never sent.
            if (frames.dataLength != request.expectedReplyBytes) {
                view.AppendLog("ATTENTION! PARAMETER BLOCK " + std::to_string(request.argument) +
                               ": " + std::to_string(frames.dataLength) + " OF " +
                               std::to_string(request.expectedReplyBytes) + " BYTES RECEIVED!\n\n");
                return Transfer::Failed;
            }
        }
        replaced |= ReportReplacedValues(request);
    }
    image = received;
    return replaced ? Transfer::Replaced : Transfer::Done;
}

bool SensorSession::ReportReplacedValues(const comm::ParameterRequest& request) {
    const std::string notice = comm::PlausibilityNotice(request, state->frames.statusWord);
    if (notice.empty()) return false;
    state->link.messageBuffer = notice;
    link.ReportSensorNotice();
    return true;
}

SensorSession::Transfer SensorSession::SendParameters(const protocol::ParameterImage& image,
                                                      std::uint16_t paraSet,
                                                      std::uint16_t memoryTarget) {
    auto& frames = state->frames;
    bool replaced = false;
    for (const auto& request : comm::PlanSendRequests(image, paraSet, memoryTarget)) {
        const std::size_t words = std::min(request.payload.size(), frames.wordBuffer.size());
        std::copy_n(request.payload.begin(), words, frames.wordBuffer.begin());
        if (!Exchange(request.order, request.argument, request.payloadBytes))
            return Transfer::Failed;
        replaced |= ReportReplacedValues(request);
    }
    return replaced ? Transfer::Replaced : Transfer::Done;
}

bool SensorSession::Measure(protocol::MeasurementFrame& frame) {
    if (!Exchange(kMeasureOrder, 0, 0)) return false;
    link.DecodeMeasurementWords();
    protocol::TakeMeasurementFrame(frame, state->frames.measurementWords.data(),
                                   protocol::MeasurementFrame::kWords);
    return true;
}

bool SensorSession::ReadCalibration(std::array<std::uint16_t, 3>& factors,
                                    std::array<std::uint16_t, 3>& offsets) {
    if (!Exchange(kReadCalibrationOrder, 0, 0)) return false;
    link.DecodeReplyWords();
    const auto& w = state->frames.wordBuffer;
    factors = {w[0], w[1], w[2]};
    offsets = {w[3], w[4], w[5]};
    return true;
}

bool SensorSession::ReadHardwareWords(std::array<std::uint16_t, 256>& words) {
    if (!Exchange(kHardwareInfoOrder, kHardwareInfoKey, 0)) return false;
    link.DecodeMeasurementWords();
    // Words the reply did not carry are 0, not what an earlier reply left.
    words.fill(0);
    const std::size_t carried = std::min<std::size_t>(state->frames.dataLength / 2, words.size());
    std::copy_n(state->frames.measurementWords.begin(), carried, words.begin());
    return true;
}

} // namespace cli
