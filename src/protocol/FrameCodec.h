#pragma once
// Byte layout of the sensor frames, shared by the program and the simulator.
// Request: 55 order arg(2) L(2) payloadCheck headCheck payload(L).
// Reply header: 55 replyCode status(2) D(2) dataCheck headCheck, then D data bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace protocol {

namespace frame {

constexpr std::uint8_t kStartByte = 0x55;
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kBufferSize = 2048;
constexpr std::size_t kMaxDataBytes = kBufferSize - kHeaderSize; // 2040
constexpr std::size_t kWordCount = 1024;

struct HeaderFields {
    std::uint8_t code = 0;         // order number (request) or reply code (reply)
    std::uint16_t word = 0;        // argument word (request) or status word (reply)
    std::uint16_t length = 0;      // payload / data length in bytes
    std::uint8_t dataCheck = 0xAA; // check byte of the bytes that follow the head
};

// Writes an 8-byte head followed by `payloadLength` bytes taken little-endian from `words`
// (at most kMaxDataBytes; a longer length is clipped). Returns the number of bytes written, or 0
// when `outSize` is too small.
std::size_t EncodeFrame(std::uint8_t* out, std::size_t outSize, std::uint8_t code,
                        std::uint16_t word, const std::uint16_t* words, std::size_t wordCount,
                        std::uint16_t payloadLength);

// Same, with the data given as raw bytes (the simulator's identification text, for example).
std::size_t EncodeFrameBytes(std::uint8_t* out, std::size_t outSize, std::uint8_t code,
                             std::uint16_t word, const std::uint8_t* data, std::size_t dataLength);

std::vector<std::uint8_t> EncodeFrameBytes(std::uint8_t code, std::uint16_t word,
                                           const std::vector<std::uint8_t>& data);
std::vector<std::uint8_t> EncodeFrameWords(std::uint8_t code, std::uint16_t word,
                                           const std::vector<std::uint16_t>& words);

// Checks start byte and head check byte of the 8 bytes at `head`. On success fills `out`.
bool DecodeHead(const std::uint8_t* head, HeaderFields& out);

// words[i] := data[2i] + 256 * data[2i+1] for i < byteCount / 2, at most maxWords words.
// An odd last byte is ignored. Returns the number of words written.
std::size_t DecodeWords(const std::uint8_t* data, std::size_t byteCount, std::uint16_t* words,
                        std::size_t maxWords);

} // namespace frame

} // namespace protocol
