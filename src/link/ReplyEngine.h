#pragma once
// The rules of a reply, once, without I/O or clock: given a request it says what to write, fed
// the bytes that arrive it says when a frame is whole and what it is, told that a limit passed it
// says what came of the exchange. The window's blocking exchange and the watch's event-driven
// sensors both drive it, so a reply is judged the same way wherever it arrives.
//
// In step: a reply counts only when its order and its data length are the request's. After an
// exchange that ended abnormally (time-out, short or broken frame, a reply to another request,
// a wait given up) a late reply may still be on its way, and one of the same order and length
// could not be told from the next request's. The engine then proves the link in step before the
// next request goes out: it sends a probe (a harmless read whose reply no request left
// unanswered can carry) and drops every frame until the probe's reply has come, since the
// sensor answers in order. A request that is such a read itself serves as its own probe.
#include "protocol/Exchange.h"
#include "protocol/FrameCodec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace comm {

// The data lengths a request's reply may carry.
struct ReplyLength {
    std::size_t least = 0;
    std::size_t most = protocol::frame::kMaxDataBytes;
    bool Holds(std::size_t length) const { return length >= least && length <= most; }
};
ReplyLength ExpectedReplyLength(std::uint8_t order, std::uint16_t argument);

// The checks of a frame, for the engine and for whatever shows frames (the monitor): the start
// byte, the head's check byte and a length the buffer holds; the data's check byte over the
// `available` bytes of the frame.
bool FrameHeadIntact(const std::uint8_t* bytes, protocol::frame::HeaderFields& head);
bool FrameDataIntact(const std::uint8_t* bytes, std::size_t available,
                     const protocol::frame::HeaderFields& head);

// Frames the sensor sends unasked: their code (kAnyCode: whatever order they claim to answer)
// and data length.
struct PushedFrames {
    static constexpr int kAnyCode = -1;
    int code = 0;
    int dataLength = 0;
};

class ReplyEngine {
public:
    // What the driver does next.
    enum class Next {
        Receive,      // nothing whole yet: wait for Missing() more bytes
        WriteRequest, // the probe was answered: the link is in step, write RequestFrame() now
        Skipped,      // a whole frame that is not the reply was passed over (SkippedFrame())
        Done,         // the exchange ended: Result()
    };

    ReplyEngine();

    // A new exchange. Returns the bytes to write first: the request's frame, or the probe's
    // while the link is out of step. Bytes left from earlier frames are dropped, unless frames
    // are pushed (`pushed` given), which keep what follows the last frame taken.
    std::span<const std::uint8_t> Start(const protocol::Request& request,
                                        const PushedFrames* pushed = nullptr);
    // Waits for a frame the sensor pushes unasked: the next intact frame is the result,
    // whatever its code.
    void Listen();
    // The request's frame (after WriteRequest).
    std::span<const std::uint8_t> RequestFrame() const {
        return {requestFrame.data(), requestLength};
    }

    // Where arriving bytes go, and how many were put there.
    std::span<std::uint8_t> Room();
    void Stored(std::size_t count);
    // Judges what has been stored.
    Next Advance();
    // Stored and Advance in one; what finds no room is lost.
    Next Feed(const std::uint8_t* bytes, std::size_t count);
    // Bytes still needed before Advance has something new to judge.
    std::size_t Missing() const;
    // Bytes of the frame under way already in (nothing at all: a silence).
    std::size_t FrameBytes() const { return filled - frameStart; }

    // The reply limit passed: TimedOut (nothing came) or ShortFrame.
    void TimeUp();
    // The wait was given up (Cancelled) or the link closed (Closed).
    void Abandon(protocol::Outcome outcome);
    // A link was opened: a fresh TCP connection carries nothing of earlier requests and is in
    // step; a serial line may still bring what was owed before, so it stays as it was.
    void LinkOpened(bool freshStream);

    bool InStep() const { return inStep; }
    // The request this exchange was started for is out on the line (its probe, if any, answered).
    bool RequestSent() const { return state == State::Awaiting || state == State::Idle; }

    // What came of the exchange and, for a frame that came, its fields and data; valid until
    // the next Start.
    protocol::Outcome Result() const { return outcome; }
    const protocol::frame::HeaderFields& Header() const { return header; }
    std::span<const std::uint8_t> Data() const;
    // The whole frame of the result, or what arrived of it.
    std::span<const std::uint8_t> ResultFrame() const;
    // The frame passed over (after Skipped), and why.
    std::span<const std::uint8_t> SkippedFrame() const { return skipped; }
    const std::string& SkipReason() const { return skipReason; }
    // What the operator is told of a failed exchange (the error reply's status, the time-out,
    // the broken frame, the reply to another request); empty for a reply, a cancelled wait or a
    // closed link.
    const std::string& Failure() const { return failure; }

private:
    enum class State { Idle, Probing, Awaiting, Listening };

    Next Finish(protocol::Outcome result, std::string text);
    // The first bytes make no valid header (Probing: a byte is dropped and the search goes on).
    bool HeaderAtFront(protocol::frame::HeaderFields& head) const;
    void DropFront(std::size_t count);
    void Compact();
    void ChooseProbe(const protocol::Request& request);
    bool ProbeAnswers(const protocol::frame::HeaderFields& head) const;
    void Unanswered(std::uint8_t order);

    State state = State::Idle;
    bool inStep = true;
    protocol::Request asked;
    ReplyLength length;
    bool hasPushed = false;
    PushedFrames pushed;
    std::uint8_t probeOrder = 0;
    std::uint16_t probeArgument = 0;
    // Orders of requests whose replies may still come, since the link was last in step.
    std::vector<std::uint8_t> unanswered;

    protocol::Outcome outcome = protocol::Outcome::TimedOut;
    protocol::frame::HeaderFields header;
    std::string failure;
    std::string skipReason;
    std::span<const std::uint8_t> skipped;
    std::size_t frameStart = 0; // where the frame under way (or the result) begins
    std::size_t frameEnd = 0;   // after the result's frame
    std::size_t filled = 0;
    std::size_t requestLength = 0;
    std::size_t probeLength = 0;
    std::array<std::uint8_t, protocol::frame::kBufferSize> requestFrame{};
    std::array<std::uint8_t, protocol::frame::kHeaderSize> probeFrame{};
    // Room for a frame under way and one more behind it.
    std::array<std::uint8_t, 2 * protocol::frame::kBufferSize> buffer{};
};

} // namespace comm
