#pragma once
// Cuts request frames out of a byte stream that may arrive in pieces and carry line noise.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

// One request frame as it came off the line.
struct Request {
    std::uint8_t order = 0;
    std::uint16_t argument = 0;
    std::uint16_t payloadLength = 0;
    bool payloadIntact = true;     // the payload matched the check byte in the head
    std::vector<std::uint8_t> raw; // head and payload, exactly as received
    // When the server logged it: nanoseconds of the monotonic clock, which every process on the
    // machine shares, so a test can tell what came before or after an event in another process.
    std::int64_t arrivalNs = 0;

    const std::uint8_t* Payload() const { return raw.data() + 8; }
};

class RequestParser {
public:
    // Appends `count` bytes and returns every request completed by them, in arrival order.
    std::vector<Request> Feed(const std::uint8_t* bytes, std::size_t count);
    void Reset();
    std::size_t PendingBytes() const { return pending.size(); }
    std::size_t DiscardedBytes() const { return discarded; }

private:
    std::vector<std::uint8_t> pending;
    std::size_t discarded = 0;
};

} // namespace sim
