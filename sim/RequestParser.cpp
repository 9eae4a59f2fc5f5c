#include "sim/RequestParser.h"

#include "protocol/CheckByte.h"
#include "protocol/FrameCodec.h"
#include "sim/ModelNames.h"

namespace sim {

std::vector<Request> RequestParser::Feed(const std::uint8_t* bytes, std::size_t count) {
    pending.insert(pending.end(), bytes, bytes + count);
    std::vector<Request> requests;
    std::size_t pos = 0;
    const std::size_t size = pending.size();
    while (pos < size) {
        if (pending[pos] != frame::kStartByte) {
            ++pos;
            ++discarded;
            continue;
        }
        if (size - pos < frame::kHeaderSize) break;
        frame::HeaderFields head;
        // A start byte without a valid head is noise: step past it and look for the next one.
        if (!frame::DecodeHead(&pending[pos], head) || head.length > frame::kMaxDataBytes) {
            ++pos;
            ++discarded;
            continue;
        }
        const std::size_t total = frame::kHeaderSize + head.length;
        if (size - pos < total) break;
        Request request;
        request.order = head.code;
        request.argument = head.word;
        request.payloadLength = head.length;
        request.raw.assign(pending.begin() + static_cast<std::ptrdiff_t>(pos),
                           pending.begin() + static_cast<std::ptrdiff_t>(pos + total));
        if (head.length > 0)
            request.payloadIntact = ComputeCheckByte(request.raw.data(), frame::kHeaderSize,
                                                     head.length) == head.dataCheck;
        requests.push_back(std::move(request));
        pos += total;
    }
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(pos));
    return requests;
}

void RequestParser::Reset() {
    pending.clear();
}

} // namespace sim
