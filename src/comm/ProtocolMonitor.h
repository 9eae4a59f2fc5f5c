#pragma once
// What the protocol monitor keeps of the frames on the link: the last frames in both directions,
// each with its time, its bytes and how it ended, and the text line the operator reads for one.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace comm {

enum class FrameDirection { Request, Reply };

struct FrameRecord {
    std::int64_t msSinceStart = 0;
    FrameDirection direction = FrameDirection::Request;
    std::vector<std::uint8_t> bytes; // at most the frame buffer's size
    std::string failure;             // empty: the link took the frame as it was
};

// The decoded line of one frame: time, direction, bytes in hex, code, word, length and both
// check bytes. Failed frames begin with "!".
std::string FrameLine(const FrameRecord& record);
// The frame failed: the link reported it, or a check byte or the length is wrong.
bool FrameFailed(const FrameRecord& record);

class ProtocolMonitor {
public:
    static constexpr std::size_t kCapacity = 10000;
    // Bytes of one frame shown in its line; the rest is counted.
    static constexpr std::size_t kHexShown = 64;

    ProtocolMonitor();

    // Called by the link for each frame while the monitor is open: copies into the ring, whose
    // entries keep their storage, so a full ring records without allocating.
    void Record(FrameDirection direction, const std::uint8_t* bytes, std::size_t length,
                std::string_view failure = {});
    void Clear();

    // Frames held now (at most kCapacity), and the one `index` from the oldest.
    std::size_t Size() const { return size; }
    const FrameRecord& At(std::size_t index) const;
    // Frames recorded since the start or the last Clear, dropped ones included: a view shows
    // what came after the count it last saw.
    std::uint64_t Recorded() const { return recorded; }

    // Every line held, oldest first; false when the file could not be written.
    bool Save(const std::string& path) const;

private:
    std::vector<FrameRecord> ring;
    std::size_t first = 0; // oldest entry
    std::size_t size = 0;
    std::uint64_t recorded = 0;
    std::chrono::steady_clock::time_point start;
};

} // namespace comm
