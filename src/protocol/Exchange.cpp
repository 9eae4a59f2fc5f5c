#include "protocol/Exchange.h"

namespace protocol {

std::string_view OutcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Reply:
        return "reply";
    case Outcome::ErrorReply:
        return "error reply";
    case Outcome::TimedOut:
        return "time-out";
    case Outcome::ShortFrame:
        return "short frame";
    case Outcome::BadHeader:
        return "bad header";
    case Outcome::BadData:
        return "bad data";
    case Outcome::OtherRequest:
        return "reply to another order";
    case Outcome::Closed:
        return "link closed";
    case Outcome::Cancelled:
        return "cancelled";
    case Outcome::Busy:
        return "busy";
    }
    return "?";
}

std::size_t BuildRequestFrame(const Request& request, std::uint8_t* out, std::size_t size) {
    return frame::EncodeFrame(out, size, request.order, request.argument, request.payload.data(),
                              request.payload.size(), request.payloadBytes);
}

} // namespace protocol
