#pragma once
// One exchange with the sensor as types: the request that goes out, and what came of it (the
// reply with its status and data, or which failure).
#include "protocol/FrameCodec.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace protocol {

struct Request {
    std::uint8_t order = 0;
    std::uint16_t argument = 0;
    std::span<const std::uint16_t> payload; // the words sent, little-endian
    // The length field: twice the words, except where an order sends fewer bytes than words
    // given (the calibration writes send three words).
    std::uint16_t payloadBytes = 0;
};

constexpr Request MakeRequest(std::uint8_t order, std::uint16_t argument = 0,
                              std::span<const std::uint16_t> payload = {}) {
    return Request{order, argument, payload, static_cast<std::uint16_t>(payload.size() * 2)};
}

enum class Outcome : std::uint8_t {
    Reply,        // the reply to the order asked, header and data intact
    ErrorReply,   // reply code 0: the status word says why
    TimedOut,     // nothing of a reply within the limit
    ShortFrame,   // a reply began but did not end within the limit
    BadHeader,    // header check byte or start byte wrong, or a length beyond the buffer
    BadData,      // data check byte wrong
    OtherRequest, // an intact reply, but to another request: its order or data length differ
    Closed,       // the link is not open, or closed during the wait
    Cancelled,    // the command was stopped while the reply to a read was awaited
    Busy,         // another exchange still waits for its reply
};

std::string_view OutcomeName(Outcome outcome);

// A reply's data are the link's until its next exchange.
struct Reply {
    Outcome outcome = Outcome::TimedOut;
    std::uint8_t code = 0;                // reply code, when a header came
    std::uint16_t status = 0;             // status word, when a header came
    std::span<const std::uint8_t> data;   // the data frame
    std::span<const std::uint16_t> words; // its little-endian words; an odd last byte is left

    bool Ok() const { return outcome == Outcome::Reply; }
    // An intact frame came: a reply or an error reply, to this order or another.
    bool Arrived() const {
        return outcome == Outcome::Reply || outcome == Outcome::ErrorReply ||
               outcome == Outcome::OtherRequest;
    }
};

// The request frame: the head, then the payload. Returns its length, 0 when `size` is too small.
std::size_t BuildRequestFrame(const Request& request, std::uint8_t* out, std::size_t size);

} // namespace protocol
