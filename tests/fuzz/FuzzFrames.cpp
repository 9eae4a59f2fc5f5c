// Arbitrary bytes through the reply path and the simulator's request parser. The first byte
// steers the variant (where a stream is cut into pieces, the scope's trigger mode); the rest is
// what came off the line. Stops on a sanitizer report, or when a valid frame does not encode
// back to its own bytes, or when the parser cuts the same stream differently in pieces.
#include "link/ServerList.h"
#include "live/LiveValues.h"
#include "model/CalibrationMath.h"
#include "protocol/BlockLayout.h"
#include "protocol/CheckByte.h"
#include "protocol/FrameCodec.h"
#include "scope/ScopeModel.h"
#include "sim/RequestParser.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

namespace frame = protocol::frame;

void Require(bool condition) {
    if (!condition) std::abort();
}

// A reply as the link takes it: header check, length limit, data check, then the words, and
// what the program makes of them.
void ReplyPath(const std::uint8_t* data, std::size_t size, std::uint8_t steer) {
    if (size < protocol::frame::kHeaderSize) return;
    protocol::frame::HeaderFields head;
    if (!protocol::frame::DecodeHead(data, head)) return;
    // A length beyond the receive buffer is refused before anything is read.
    if (head.length > protocol::frame::kMaxDataBytes ||
        size < protocol::frame::kHeaderSize + head.length)
        return;
    if (protocol::ComputeCheckByte(data, protocol::frame::kHeaderSize, head.length) !=
        head.dataCheck)
        return;

    const std::vector<std::uint8_t> payload(data + protocol::frame::kHeaderSize,
                                            data + protocol::frame::kHeaderSize + head.length);
    const auto again = protocol::frame::EncodeFrameBytes(head.code, head.word, payload);
    Require(again.size() == protocol::frame::kHeaderSize + head.length);
    Require(std::equal(again.begin(), again.end(), data));

    std::array<std::uint16_t, protocol::frame::kWordCount> words{};
    const std::size_t count =
        protocol::frame::DecodeWords(payload.data(), payload.size(), words.data(), words.size());
    Require(count == payload.size() / 2);
    std::vector<std::uint16_t> wordList(words.begin(), words.begin() + count);
    if (payload.size() % 2 == 0)
        Require(protocol::frame::EncodeFrameWords(head.code, head.word, wordList) == again);

    // A parameter or table block: the words stored come back out as they were received.
    protocol::ParameterImage image;
    const auto blockIndex = std::uint16_t(steer % protocol::kBlockCount);
    const std::size_t stored = protocol::StoreBlockWords(image, blockIndex, words.data(), count);
    Require(stored == std::min(count, protocol::BlockWordCount(blockIndex)));
    const auto back = protocol::BlockWords(image, blockIndex);
    Require(std::equal(words.begin(), words.begin() + long(stored), back.begin()));

    // The identification text: at most its 71 characters, and none of them NUL.
    const std::string id = comm::FirmwareIdFromReply(payload.data(), payload.size());
    Require(id.size() <= comm::kFirmwareIdLength && id.find('\0') == std::string::npos);

    protocol::MeasurementFrame measurement;
    protocol::TakeMeasurementFrame(measurement, words.data(), count);
    live::RawDelta(measurement);

    // A scope block and a cycle-time reply from the same bytes.
    const auto block = scope::RotateBlock(words.data(), steer % 5, steer % 129,
                                          words[scope::kSamples] % scope::kSamples);
    Require(block.size() == std::size_t(scope::kSamples));
    scope::DigitalLevels(words[0]);
    scope::CycleTimeOfReply(payload.data(), int(payload.size()));
    calibration::HardwareDataText(words.data());
    calibration::FactorsFor(words[0] | (std::uint32_t(words[1]) << 16),
                            {words[2], words[3], words[4]});
}

// The simulator's parser: the same requests whether the bytes come whole or in pieces, and an
// intact request encodes back to its own bytes.
void RequestPath(const std::uint8_t* data, std::size_t size, std::uint8_t steer) {
    sim::RequestParser whole;
    const auto all = whole.Feed(data, size);
    sim::RequestParser pieces;
    std::vector<sim::Request> cut;
    const std::size_t step = 1 + steer % 17;
    for (std::size_t at = 0; at < size; at += step) {
        auto some = pieces.Feed(data + at, std::min(step, size - at));
        cut.insert(cut.end(), some.begin(), some.end());
    }
    Require(all.size() == cut.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        Require(all[i].raw == cut[i].raw);
        Require(all[i].order == cut[i].order && all[i].argument == cut[i].argument);
        if (!all[i].payloadIntact) continue;
        const std::vector<std::uint8_t> payload(all[i].raw.begin() + protocol::frame::kHeaderSize,
                                                all[i].raw.end());
        auto again = protocol::frame::EncodeFrameBytes(all[i].order, all[i].argument, payload);
        // Without a payload the data check byte checks nothing and is not looked at; the
        // header check byte still covers it.
        if (payload.empty()) {
            Require(again.size() == all[i].raw.size());
            Require(std::equal(again.begin(), again.begin() + 6, all[i].raw.begin()));
            continue;
        }
        Require(again == all[i].raw);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t steer = data[0];
    ReplyPath(data + 1, size - 1, steer);
    RequestPath(data + 1, size - 1, steer);
    return 0;
}
