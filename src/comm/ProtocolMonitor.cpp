#include "comm/ProtocolMonitor.h"

#include "protocol/CheckByte.h"
#include "protocol/FrameCodec.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

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

Checks CheckFrame(const std::vector<std::uint8_t>& bytes) {
    Checks checks;
    if (bytes.size() < protocol::frame::kHeaderSize) return checks;
    checks.complete = true;
    checks.headRight =
        bytes[0] == protocol::frame::kStartByte &&
        protocol::ComputeCheckByte(bytes.data(), 0, protocol::frame::kHeaderSize) == 0;
    checks.length = std::size_t(bytes[4] | (bytes[5] << 8));
    checks.oversized = checks.length > protocol::frame::kMaxDataBytes;
    checks.dataComplete =
        !checks.oversized && bytes.size() >= protocol::frame::kHeaderSize + checks.length;
    checks.dataRight = checks.dataComplete &&
                       protocol::ComputeCheckByte(bytes.data(), protocol::frame::kHeaderSize,
                                                  checks.length) == bytes[6];
    return checks;
}

} // namespace

bool FrameFailed(const FrameRecord& record) {
    const Checks checks = CheckFrame(record.bytes);
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

    const std::size_t shown = std::min(record.bytes.size(), ProtocolMonitor::kHexShown);
    char hex[4];
    for (std::size_t i = 0; i < shown; ++i) {
        std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", record.bytes[i]);
        line += hex;
    }
    if (shown < record.bytes.size()) line += " ... +" + std::to_string(record.bytes.size() - shown);
    if (record.bytes.empty()) line += "(no bytes)";

    const Checks checks = CheckFrame(record.bytes);
    line += " | ";
    if (!checks.complete) {
        line += "incomplete head";
    } else {
        char fields[96];
        std::snprintf(fields, sizeof fields, "%s %u %s 0x%04X len %zu%s",
                      request ? "order" : "reply", unsigned(record.bytes[1]),
                      request ? "arg" : "status",
                      unsigned(record.bytes[2] | (record.bytes[3] << 8)), checks.length,
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

ProtocolMonitor::ProtocolMonitor() : ring(kCapacity), start(std::chrono::steady_clock::now()) {}

void ProtocolMonitor::Record(FrameDirection direction, const std::uint8_t* bytes,
                             std::size_t length, std::string_view failure) {
    length = std::min(length, protocol::frame::kBufferSize);
    if (bytes == nullptr) length = 0;
    FrameRecord* entry;
    if (size < kCapacity) {
        entry = &ring[(first + size) % kCapacity];
        ++size;
    } else {
        entry = &ring[first];
        first = (first + 1) % kCapacity;
    }
    entry->msSinceStart = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count();
    entry->direction = direction;
    entry->bytes.assign(bytes, bytes + length);
    entry->failure.assign(failure.data(), failure.size());
    ++recorded;
}

void ProtocolMonitor::Clear() {
    first = 0;
    size = 0;
    recorded = 0;
}

const FrameRecord& ProtocolMonitor::At(std::size_t index) const {
    return ring[(first + index) % kCapacity];
}

bool ProtocolMonitor::Save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (std::size_t i = 0; i < size; ++i)
        out << FrameLine(At(i)) << '\n';
    out.flush();
    return bool(out);
}

} // namespace comm
