#include "link/ProtocolMonitor.h"
#include "core/SafeFile.h"

#include "link/ReplyEngine.h"
#include "protocol/FrameCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace comm {

namespace {

struct Checks {
    bool complete = false; // a whole head is there
    bool headRight = false;
    bool oversized = false;
    bool dataComplete = false;
    bool dataRight = false;
    std::size_t length = 0;
};

static_assert(kFrameBytesShown >= protocol::frame::kHeaderSize, "a line shows the whole head");

Checks CheckFrame(const FrameRecord& record) {
    Checks checks;
    if (record.length < protocol::frame::kHeaderSize) return checks;
    const std::uint8_t* bytes = record.head.data();
    checks.complete = true;
    // The head's own checks; a length beyond the buffer is told apart as OVERSIZED.
    protocol::frame::HeaderFields head;
    checks.headRight = protocol::frame::DecodeHead(bytes, head);
    checks.length = std::size_t(bytes[4] | (bytes[5] << 8));
    checks.oversized = checks.length > protocol::frame::kMaxDataBytes;
    checks.dataComplete =
        !checks.oversized && record.length >= protocol::frame::kHeaderSize + checks.length;
    checks.dataRight = checks.dataComplete && record.dataRight;
    return checks;
}

} // namespace

void FrameRecord::Take(FrameDirection frameDirection, const std::uint8_t* bytes,
                       std::size_t frameLength, std::string_view frameFailure) {
    frameLength = bytes ? std::min(frameLength, protocol::frame::kBufferSize) : 0;
    direction = frameDirection;
    length = std::uint16_t(frameLength);
    std::copy_n(bytes, std::min(frameLength, head.size()), head.begin());
    // The data check byte is judged here, over data a line does not keep.
    dataRight = false;
    if (frameLength >= protocol::frame::kHeaderSize) {
        // The data are judged whatever the head's own check byte says.
        protocol::frame::HeaderFields head;
        head.length = std::uint16_t(bytes[4] | (bytes[5] << 8));
        head.dataCheck = bytes[6];
        dataRight = FrameDataIntact(bytes, frameLength, head);
    }
    failure.assign(frameFailure.data(), frameFailure.size());
}

bool FrameFailed(const FrameRecord& record) {
    const Checks checks = CheckFrame(record);
    return !record.failure.empty() || !checks.headRight || !checks.dataRight;
}

std::string FrameLine(const FrameRecord& record) {
    const bool request = record.direction == FrameDirection::Request;
    const std::int64_t ms = std::max<std::int64_t>(record.msSinceStart, 0);
    char head[64];
    std::snprintf(head, sizeof head, "%02lld:%02lld:%02lld.%03lld %s ",
                  static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000),
                  request ? "->" : "<-");
    std::string line = FrameFailed(record) ? "! " : "  ";
    line += head;

    const auto shown = record.Shown();
    char hex[4];
    for (std::size_t i = 0; i < shown.size(); ++i) {
        std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", shown[i]);
        line += hex;
    }
    if (shown.size() < record.length)
        line += " ... +" + std::to_string(record.length - shown.size());
    if (record.length == 0) line += "(no bytes)";

    const Checks checks = CheckFrame(record);
    line += " | ";
    if (!checks.complete) {
        line += "incomplete head";
    } else {
        char fields[96];
        std::snprintf(fields, sizeof fields, "%s %u %s 0x%04X len %zu%s",
                      request ? "order" : "reply", unsigned(shown[1]), request ? "arg" : "status",
                      unsigned(shown[2] | (shown[3] << 8)), checks.length,
                      checks.oversized ? " OVERSIZED" : "");
        line += fields;
        line += checks.headRight ? " head ok" : " head WRONG";
        if (checks.oversized)
            line += " data -";
        else if (!checks.dataComplete)
            line += " data missing";
        else
            line += checks.dataRight ? " data ok" : " data WRONG";
    }
    if (!record.failure.empty()) {
        // Reports end in blank lines for the log; one line here.
        std::string failure = record.failure;
        std::replace(failure.begin(), failure.end(), '\n', ' ');
        while (!failure.empty() && failure.back() == ' ')
            failure.pop_back();
        line += " | " + failure;
    }
    return line;
}

ProtocolMonitor::ProtocolMonitor() : start(std::chrono::steady_clock::now()) {}

FrameRecord& ProtocolMonitor::Next() {
    ++recorded;
    if (size < kCapacity) {
        // Until the ring is first full, the oldest entry is the first one. Memory is taken as
        // frames come, once: a monitor never opened costs nothing.
        if (ring.size() == size) {
            ring.reserve(kCapacity);
            ring.emplace_back();
        }
        return ring[size++];
    }
    FrameRecord& oldest = ring[first];
    first = (first + 1) % kCapacity;
    return oldest;
}

void ProtocolMonitor::Record(FrameDirection direction, const std::uint8_t* bytes,
                             std::size_t length, std::string_view failure) {
    FrameRecord& entry = Next();
    entry.msSinceStart = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    entry.Take(direction, bytes, length, failure);
}

void ProtocolMonitor::Append(const FrameRecord& record) {
    FrameRecord& entry = Next();
    entry.msSinceStart = record.msSinceStart;
    entry.direction = record.direction;
    entry.dataRight = record.dataRight;
    entry.length = record.length;
    entry.head = record.head;
    entry.failure.assign(record.failure);
}

void ProtocolMonitor::Clear() {
    first = 0;
    size = 0;
    recorded = 0;
}

const FrameRecord& ProtocolMonitor::At(std::size_t index) const {
    return ring[(first + index) % kCapacity];
}

bool ProtocolMonitor::Save(const std::string& path, std::string& refusal) const {
    const int fd = core::OpenRegularFile(path, O_WRONLY | O_CREAT | O_TRUNC, refusal);
    if (fd < 0) return false;
    std::string text;
    for (std::size_t i = 0; i < size; ++i)
        text += FrameLine(At(i)) + '\n';
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += std::size_t(n);
    }
    const bool closed = ::close(fd) == 0;
    return written == text.size() && closed;
}

} // namespace comm
