#include "protocol/FrameCodec.h"

#include "protocol/CheckByte.h"

#include <algorithm>

namespace protocol {

namespace frame {

namespace {

void WriteHead(std::uint8_t* out, std::uint8_t code, std::uint16_t word, std::uint16_t length,
               std::uint8_t dataCheck) {
    out[0] = kStartByte;
    out[1] = code;
    out[2] = static_cast<std::uint8_t>(word & 0xFF);
    out[3] = static_cast<std::uint8_t>(word >> 8);
    out[4] = static_cast<std::uint8_t>(length & 0xFF);
    out[5] = static_cast<std::uint8_t>(length >> 8);
    out[6] = dataCheck;
    out[7] = ComputeCheckByte(out, 0, 7);
}

} // namespace

std::size_t EncodeFrame(std::uint8_t* out, std::size_t outSize, std::uint8_t code,
                        std::uint16_t word, const std::uint16_t* words, std::size_t wordCount,
                        std::uint16_t payloadLength) {
    const std::size_t length = std::min<std::size_t>(payloadLength, kMaxDataBytes);
    if (outSize < kHeaderSize + length) return 0;
    std::uint8_t* payload = out + kHeaderSize;
    for (std::size_t i = 0; i < length; ++i) {
        const std::size_t w = i / 2;
        const std::uint16_t value = w < wordCount ? words[w] : 0;
        payload[i] = (i % 2 == 0) ? static_cast<std::uint8_t>(value & 0xFF)
                                  : static_cast<std::uint8_t>(value >> 8);
    }
    WriteHead(out, code, word, static_cast<std::uint16_t>(length),
              ComputeCheckByte(payload, 0, length));
    return kHeaderSize + length;
}

std::size_t EncodeFrameBytes(std::uint8_t* out, std::size_t outSize, std::uint8_t code,
                             std::uint16_t word, const std::uint8_t* data, std::size_t dataLength) {
    const std::size_t length = std::min(dataLength, kMaxDataBytes);
    if (outSize < kHeaderSize + length) return 0;
    std::copy(data, data + length, out + kHeaderSize);
    WriteHead(out, code, word, static_cast<std::uint16_t>(length),
              ComputeCheckByte(out + kHeaderSize, 0, length));
    return kHeaderSize + length;
}

std::vector<std::uint8_t> EncodeFrameBytes(std::uint8_t code, std::uint16_t word,
                                           const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> out(kHeaderSize + std::min(data.size(), kMaxDataBytes));
    out.resize(EncodeFrameBytes(out.data(), out.size(), code, word, data.data(), data.size()));
    return out;
}

std::vector<std::uint8_t> EncodeFrameWords(std::uint8_t code, std::uint16_t word,
                                           const std::vector<std::uint16_t>& words) {
    const std::size_t length = std::min(words.size() * 2, kMaxDataBytes);
    std::vector<std::uint8_t> out(kHeaderSize + length);
    out.resize(EncodeFrame(out.data(), out.size(), code, word, words.data(), words.size(),
                           static_cast<std::uint16_t>(length)));
    return out;
}

bool DecodeHead(const std::uint8_t* head, HeaderFields& out) {
    if (head[0] != kStartByte || ComputeCheckByte(head, 0, kHeaderSize) != 0) return false;
    out.code = head[1];
    out.word = static_cast<std::uint16_t>(head[2] | (head[3] << 8));
    out.length = static_cast<std::uint16_t>(head[4] | (head[5] << 8));
    out.dataCheck = head[6];
    return true;
}

std::size_t DecodeWords(const std::uint8_t* data, std::size_t byteCount, std::uint16_t* words,
                        std::size_t maxWords) {
    const std::size_t count = std::min(byteCount / 2, maxWords);
    for (std::size_t i = 0; i < count; ++i)
        words[i] = static_cast<std::uint16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    return count;
}

} // namespace frame

} // namespace protocol
