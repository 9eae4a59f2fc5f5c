#pragma once
// How the ParameterImage travels to and from the sensor: four blocks per sensor (parameter block
// and table block of ParaSet0 and ParaSet1), every word low byte first, no scaling.
#include "protocol/ParameterImage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace protocol {

constexpr std::size_t kParameterBlockWords = kParameterCount;            // 17
constexpr std::size_t kTableBlockWords = kTeachRows * kTeachVectorWords; // 248
constexpr std::size_t kParameterBlockBytes = kParameterBlockWords * 2;   // 34
constexpr std::size_t kTableBlockBytes = kTableBlockWords * 2;           // 496
constexpr std::uint16_t kBlockCount = 4;

// Only 1 selects ParaSet1; any other number addresses ParaSet0, the start value, so a stray
// value never produces a block index the sensor does not have.
constexpr std::uint16_t ParameterBlockIndex(std::uint16_t paraSet) {
    return paraSet == 1 ? 1 : 0;
}
constexpr std::uint16_t TableBlockIndex(std::uint16_t paraSet) {
    return static_cast<std::uint16_t>(ParameterBlockIndex(paraSet) + 2);
}
constexpr bool IsTableBlock(std::uint16_t blockIndex) {
    return blockIndex == 2 || blockIndex == 3;
}
constexpr std::size_t BlockWordCount(std::uint16_t blockIndex) {
    if (blockIndex >= kBlockCount) return 0;
    return IsTableBlock(blockIndex) ? kTableBlockWords : kParameterBlockWords;
}

std::array<std::uint16_t, kParameterBlockWords> ParameterBlockWords(const ParameterImage& image);
// Row r occupies words 8r..8r+7, reserved word included.
std::array<std::uint16_t, kTableBlockWords> TableBlockWords(const ParameterImage& image);
// The words of block 0..3 (empty for any other index).
std::vector<std::uint16_t> BlockWords(const ParameterImage& image, std::uint16_t blockIndex);

// Store received words into the image. Only the words actually received are replaced: a short
// reply leaves the rest of the block as it was, a long one is cut at the block's end. The
// reserved word of a row is replaced like the others, so it always holds what was last received.
// Return the number of words stored.
std::size_t StoreParameterBlockWords(ParameterImage& image, const std::uint16_t* words,
                                     std::size_t count);
std::size_t StoreTableBlockWords(ParameterImage& image, const std::uint16_t* words,
                                 std::size_t count);
// By block index; an index other than 0..3 stores nothing. ParaSet1's blocks fill the same image
// as ParaSet0's: the image holds one parameter set.
std::size_t StoreBlockWords(ParameterImage& image, std::uint16_t blockIndex,
                            const std::uint16_t* words, std::size_t count);

// Little-endian conversion: word k is bytes 2k (low) and 2k+1 (high).
std::vector<std::uint8_t> WordsToBytes(const std::uint16_t* words, std::size_t count);
// An odd last byte is ignored; at most maxWords words are written. Returns the count written.
std::size_t BytesToWords(const std::uint8_t* bytes, std::size_t byteCount, std::uint16_t* words,
                         std::size_t maxWords);

std::vector<std::uint8_t> ParameterBlockBytes(const ParameterImage& image); // 34 bytes
std::vector<std::uint8_t> TableBlockBytes(const ParameterImage& image);     // 496 bytes
std::size_t StoreParameterBlockBytes(ParameterImage& image, const std::uint8_t* bytes,
                                     std::size_t byteCount);
std::size_t StoreTableBlockBytes(ParameterImage& image, const std::uint8_t* bytes,
                                 std::size_t byteCount);

} // namespace protocol
