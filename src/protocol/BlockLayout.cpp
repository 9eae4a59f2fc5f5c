#include "protocol/BlockLayout.h"

#include <algorithm>

namespace protocol {

std::array<std::uint16_t, kParameterBlockWords> ParameterBlockWords(const ParameterImage& image) {
    return image.parameters;
}

std::array<std::uint16_t, kTableBlockWords> TableBlockWords(const ParameterImage& image) {
    std::array<std::uint16_t, kTableBlockWords> words{};
    for (std::size_t r = 0; r < kTeachRows; ++r)
        std::copy(image.table[r].w.begin(), image.table[r].w.end(),
                  words.begin() + static_cast<std::ptrdiff_t>(r * kTeachVectorWords));
    return words;
}

std::vector<std::uint16_t> BlockWords(const ParameterImage& image, std::uint16_t blockIndex) {
    if (blockIndex >= kBlockCount) return {};
    if (IsTableBlock(blockIndex)) {
        const auto words = TableBlockWords(image);
        return {words.begin(), words.end()};
    }
    return {image.parameters.begin(), image.parameters.end()};
}

std::size_t StoreParameterBlockWords(ParameterImage& image, const std::uint16_t* words,
                                     std::size_t count) {
    if (words == nullptr) return 0;
    const std::size_t n = std::min(count, kParameterBlockWords);
    std::copy(words, words + n, image.parameters.begin());
    return n;
}

std::size_t StoreTableBlockWords(ParameterImage& image, const std::uint16_t* words,
                                 std::size_t count) {
    if (words == nullptr) return 0;
    const std::size_t n = std::min(count, kTableBlockWords);
    for (std::size_t i = 0; i < n; ++i)
        image.table[i / kTeachVectorWords].w[i % kTeachVectorWords] = words[i];
    return n;
}

std::size_t StoreBlockWords(ParameterImage& image, std::uint16_t blockIndex,
                            const std::uint16_t* words, std::size_t count) {
    if (blockIndex >= kBlockCount) return 0;
    if (IsTableBlock(blockIndex)) return StoreTableBlockWords(image, words, count);
    return StoreParameterBlockWords(image, words, count);
}

std::vector<std::uint8_t> WordsToBytes(const std::uint16_t* words, std::size_t count) {
    std::vector<std::uint8_t> bytes;
    if (words == nullptr) return bytes;
    bytes.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(words[i] & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(words[i] >> 8));
    }
    return bytes;
}

std::size_t BytesToWords(const std::uint8_t* bytes, std::size_t byteCount, std::uint16_t* words,
                         std::size_t maxWords) {
    if (bytes == nullptr || words == nullptr) return 0;
    const std::size_t n = std::min(byteCount / 2, maxWords);
    for (std::size_t i = 0; i < n; ++i)
        words[i] = static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return n;
}

std::vector<std::uint8_t> ParameterBlockBytes(const ParameterImage& image) {
    return WordsToBytes(image.parameters.data(), kParameterBlockWords);
}

std::vector<std::uint8_t> TableBlockBytes(const ParameterImage& image) {
    const auto words = TableBlockWords(image);
    return WordsToBytes(words.data(), words.size());
}

std::size_t StoreParameterBlockBytes(ParameterImage& image, const std::uint8_t* bytes,
                                     std::size_t byteCount) {
    std::array<std::uint16_t, kParameterBlockWords> words{};
    const std::size_t n = BytesToWords(bytes, byteCount, words.data(), words.size());
    return StoreParameterBlockWords(image, words.data(), n);
}

std::size_t StoreTableBlockBytes(ParameterImage& image, const std::uint8_t* bytes,
                                 std::size_t byteCount) {
    std::array<std::uint16_t, kTableBlockWords> words{};
    const std::size_t n = BytesToWords(bytes, byteCount, words.data(), words.size());
    return StoreTableBlockWords(image, words.data(), n);
}

} // namespace protocol
