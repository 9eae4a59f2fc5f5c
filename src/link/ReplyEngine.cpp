#include "link/ReplyEngine.h"

#include "link/LinkTexts.h"
#include "protocol/BlockLayout.h"
#include "protocol/CheckByte.h"
#include "protocol/MeasurementFrame.h"
#include "protocol/Orders.h"

#include <algorithm>
#include <cstring>

namespace comm {

namespace frame = protocol::frame;
using protocol::Outcome;

ReplyLength ExpectedReplyLength(std::uint8_t order, std::uint16_t argument) {
    using namespace protocol;
    switch (order) {
    case kOrderReadBlock: {
        const std::size_t bytes = BlockWordCount(argument) * 2;
        return {bytes, bytes};
    }
    case kOrderIdentify:
        return {};
    case kOrderMeasure:
        return {std::size_t(MeasurementFrame::kWords) * 2, frame::kMaxDataBytes};
    case kOrderReadCalibration:
        return {12, 12};
    case kOrderSelfCalibration:
        return {10, 10};
    case kOrderCycleTime:
        return {8, 8};
    case kOrderHardwareInfo:
        return {512, 512};
    default:
        // The orders that make the sensor do something are acknowledged without data; an order
        // of no known reply has a length that tells nothing.
        if (ChangesSensor(order)) return {0, 0};
        return {};
    }
}

bool FrameHeadIntact(const std::uint8_t* bytes, frame::HeaderFields& head) {
    return frame::DecodeHead(bytes, head) && head.length <= frame::kMaxDataBytes;
}

bool FrameDataIntact(const std::uint8_t* bytes, std::size_t available,
                     const frame::HeaderFields& head) {
    return head.length <= frame::kMaxDataBytes && available >= frame::kHeaderSize + head.length &&
           protocol::ComputeCheckByte(bytes, frame::kHeaderSize, head.length) == head.dataCheck;
}

ReplyEngine::ReplyEngine() {
    unanswered.reserve(8);
}

std::span<const std::uint8_t> ReplyEngine::Start(const protocol::Request& request,
                                                 const PushedFrames* pushedFrames) {
    if (pushedFrames)
        Compact();
    else
        filled = 0;
    asked = protocol::Request{request.order, request.argument, {}, request.payloadBytes};
    length = ExpectedReplyLength(request.order, request.argument);
    hasPushed = pushedFrames != nullptr;
    if (hasPushed) pushed = *pushedFrames;
    outcome = Outcome::TimedOut;
    failure.clear();
    skipped = {};
    requestLength = protocol::BuildRequestFrame(request, requestFrame.data(), requestFrame.size());
    if (inStep) {
        state = State::Awaiting;
        return RequestFrame();
    }
    state = State::Probing;
    ChooseProbe(request);
    if (probeLength == 0) return RequestFrame();
    return {probeFrame.data(), probeLength};
}

void ReplyEngine::Listen() {
    Compact();
    hasPushed = false;
    outcome = Outcome::TimedOut;
    failure.clear();
    skipped = {};
    state = State::Listening;
}

void ReplyEngine::ChooseProbe(const protocol::Request& request) {
    const auto waiting = [this](std::uint8_t order) {
        return std::find(unanswered.begin(), unanswered.end(), order) != unanswered.end();
    };
    // A read whose order no unanswered request had proves the link itself.
    if (!protocol::ChangesSensor(request.order) && request.order != protocol::kErrorReplyCode &&
        !waiting(request.order)) {
        probeOrder = request.order;
        probeArgument = request.argument;
        probeLength = 0;
        return;
    }
    struct Candidate {
        std::uint8_t order;
        std::uint16_t argument;
    };
    constexpr Candidate kCandidates[] = {{protocol::kOrderIdentify, 0},
                                         {protocol::kOrderReadCalibration, 0},
                                         {protocol::kOrderReadBlock, 0}};
    Candidate chosen = kCandidates[0];
    for (const Candidate& c : kCandidates)
        if (!waiting(c.order)) {
            chosen = c;
            break;
        }
    probeOrder = chosen.order;
    probeArgument = chosen.argument;
    probeLength = protocol::BuildRequestFrame(protocol::MakeRequest(chosen.order, chosen.argument),
                                              probeFrame.data(), probeFrame.size());
}

bool ReplyEngine::ProbeAnswers(const frame::HeaderFields& head) const {
    return head.code == probeOrder &&
           ExpectedReplyLength(probeOrder, probeArgument).Holds(head.length);
}

std::span<std::uint8_t> ReplyEngine::Room() {
    return {buffer.data() + filled, buffer.size() - filled};
}

void ReplyEngine::Stored(std::size_t count) {
    filled = std::min(filled + count, buffer.size());
}

ReplyEngine::Next ReplyEngine::Feed(const std::uint8_t* bytes, std::size_t count) {
    // What finds no room is lost, as on a line whose buffer is full.
    const std::span<std::uint8_t> room = Room();
    const std::size_t n = std::min(count, room.size());
    if (n > 0) std::memcpy(room.data(), bytes, n);
    Stored(n);
    return Advance();
}

bool ReplyEngine::HeaderAtFront(frame::HeaderFields& head) const {
    return FrameHeadIntact(buffer.data(), head);
}

void ReplyEngine::DropFront(std::size_t count) {
    count = std::min(count, filled);
    std::memmove(buffer.data(), buffer.data() + count, filled - count);
    filled -= count;
}

void ReplyEngine::Compact() {
    // The frame last taken is the caller's no longer; what came after it stays.
    if (!skipped.empty()) DropFront(skipped.size());
    DropFront(frameEnd);
    skipped = {};
    frameEnd = 0;
}

ReplyEngine::Next ReplyEngine::Advance() {
    if (!skipped.empty()) {
        DropFront(skipped.size());
        skipped = {};
    }
    if (state == State::Idle) return Next::Done;
    for (;;) {
        if (filled < frame::kHeaderSize) return Next::Receive;
        frame::HeaderFields head;
        const bool probing = state == State::Probing;
        if (!HeaderAtFront(head)) {
            // Out of step, the stream is searched for the next frame a byte at a time.
            if (probing) {
                DropFront(1);
                continue;
            }
            frameEnd = filled;
            return Finish(Outcome::BadHeader, linktext::kBadHeader);
        }
        const std::size_t whole = frame::kHeaderSize + head.length;
        if (filled < whole) return Next::Receive;
        if (!FrameDataIntact(buffer.data(), filled, head)) {
            if (probing) {
                DropFront(1);
                continue;
            }
            header = head;
            frameEnd = whole;
            return Finish(Outcome::BadData, linktext::kBadData);
        }
        if (probing) {
            if (!ProbeAnswers(head)) {
                skipped = {buffer.data(), whole};
                skipReason = linktext::kEarlierFrameDropped;
                return Next::Skipped;
            }
            inStep = true;
            unanswered.clear();
            state = State::Awaiting;
            if (probeLength > 0) {
                DropFront(whole);
                return Next::WriteRequest;
            }
        }
        header = head;
        if (state == State::Listening) {
            frameEnd = whole;
            return Finish(Outcome::Reply, {});
        }
        if (hasPushed && (pushed.code == PushedFrames::kAnyCode || head.code == pushed.code) &&
            head.length == std::size_t(pushed.dataLength)) {
            skipped = {buffer.data(), whole};
            skipReason.clear();
            return Next::Skipped;
        }
        frameEnd = whole;
        // An error reply completes the exchange, whatever data it brings.
        if (head.code == protocol::kErrorReplyCode)
            return Finish(Outcome::ErrorReply, linktext::ErrorReplyText(head.word));
        if (head.code != asked.order)
            return Finish(Outcome::OtherRequest, linktext::OtherOrderText(head.code, asked.order));
        if (!length.Holds(head.length))
            return Finish(Outcome::OtherRequest,
                          linktext::OtherLengthText(asked.order, head.length, length.least));
        return Finish(Outcome::Reply, {});
    }
}

ReplyEngine::Next ReplyEngine::Finish(protocol::Outcome result, std::string text) {
    outcome = result;
    failure = std::move(text);
    // A wait for pushed frames that was stopped left no request unanswered.
    const bool listenStopped = state == State::Listening && result == Outcome::Cancelled;
    if (result != Outcome::Reply && result != Outcome::ErrorReply && !listenStopped) {
        inStep = false;
        if (state == State::Awaiting) Unanswered(asked.order);
        if (state == State::Probing) Unanswered(probeOrder);
    }
    state = State::Idle;
    return Next::Done;
}

void ReplyEngine::Unanswered(std::uint8_t order) {
    if (std::find(unanswered.begin(), unanswered.end(), order) == unanswered.end())
        unanswered.push_back(order);
}

std::size_t ReplyEngine::Missing() const {
    if (state == State::Idle) return 0;
    if (!skipped.empty()) return 0;
    if (filled < frame::kHeaderSize) return frame::kHeaderSize - filled;
    frame::HeaderFields head;
    if (!HeaderAtFront(head)) return 0;
    const std::size_t whole = frame::kHeaderSize + head.length;
    return whole > filled ? whole - filled : 0;
}

void ReplyEngine::TimeUp() {
    if (state == State::Idle) return;
    frameEnd = std::min(filled, frame::kBufferSize);
    // Nothing of a frame is a silence; part of one, a frame cut short.
    Finish(filled > 0 && Missing() > 0 ? Outcome::ShortFrame : Outcome::TimedOut,
           linktext::kTimeout);
}

void ReplyEngine::Abandon(protocol::Outcome result) {
    if (state == State::Idle) return;
    frameEnd = std::min(filled, frame::kBufferSize);
    Finish(result, {});
    if (result == Outcome::Closed) filled = 0;
}

void ReplyEngine::LinkOpened(bool freshStream) {
    state = State::Idle;
    filled = 0;
    frameEnd = 0;
    skipped = {};
    if (!freshStream) return;
    unanswered.clear();
    inStep = true;
}

std::span<const std::uint8_t> ReplyEngine::Data() const {
    const bool intact = outcome == Outcome::Reply || outcome == Outcome::ErrorReply ||
                        outcome == Outcome::OtherRequest;
    if (!intact) return {};
    return {buffer.data() + frame::kHeaderSize, header.length};
}

std::span<const std::uint8_t> ReplyEngine::ResultFrame() const {
    return {buffer.data(), frameEnd};
}

} // namespace comm
