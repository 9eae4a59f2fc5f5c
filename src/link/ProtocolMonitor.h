#pragma once
// What the protocol monitor keeps of the frames on the link: the last frames in both directions,
// each with its time, its bytes and how it ended, and the text line the operator reads for one.
// A frame is kept as the bytes its line shows and the verdicts on the rest, not as text: the
// line is made only when someone reads it.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace comm {

enum class FrameDirection { Request, Reply };

// Bytes of one frame shown in its line; the rest is counted.
inline constexpr std::size_t kFrameBytesShown = 64;

struct FrameRecord {
    std::int64_t msSinceStart = 0;
    FrameDirection direction = FrameDirection::Request;
    bool dataRight = false;   // the data check byte matches all the data on the line
    std::uint16_t length = 0; // bytes on the line, at most the frame buffer's size
    std::array<std::uint8_t, kFrameBytesShown> head{}; // the first of them
    std::string failure;                               // empty: the link took it as it was

    std::span<const std::uint8_t> Shown() const {
        return {head.data(), std::min<std::size_t>(length, head.size())};
    }
    // Fills the record from the frame's bytes (at most the frame buffer of them).
    void Take(FrameDirection direction, const std::uint8_t* bytes, std::size_t length,
              std::string_view failure);
};

// The decoded line of one frame: time, direction, bytes in hex, code, word, length and both
// check bytes. Failed frames begin with "!".
std::string FrameLine(const FrameRecord& record);
// The frame failed: the link reported it, or a check byte or the length is wrong.
bool FrameFailed(const FrameRecord& record);

class ProtocolMonitor {
public:
    static constexpr std::size_t kCapacity = 10000;
    static constexpr std::size_t kHexShown = kFrameBytesShown;

    ProtocolMonitor();

    // Called by the link for each frame while the monitor is open: copies into the ring, whose
    // entries keep their storage, so a full ring records without allocating.
    void Record(FrameDirection direction, const std::uint8_t* bytes, std::size_t length,
                std::string_view failure = {});
    // A frame another monitor recorded, with its time.
    void Append(const FrameRecord& record);
    void Clear();

    // Frames held now (at most kCapacity), and the one `index` from the oldest.
    std::size_t Size() const { return size; }
    const FrameRecord& At(std::size_t index) const;
    // Frames recorded since the start or the last Clear, dropped ones included: a view shows
    // what came after the count it last saw.
    std::uint64_t Recorded() const { return recorded; }

    // Every line held, oldest first; false when the file could not be written, with `refusal`
    // saying why when `path` is no regular file (a fifo or a device would hold the window).
    bool Save(const std::string& path, std::string& refusal) const;

private:
    // The entry the next frame goes into; the oldest once the ring is full.
    FrameRecord& Next();

    std::vector<FrameRecord> ring; // grows to kCapacity as frames come, then wraps
    std::size_t first = 0;         // oldest entry
    std::size_t size = 0;
    std::uint64_t recorded = 0;
    std::chrono::steady_clock::time_point start;
};

} // namespace comm
