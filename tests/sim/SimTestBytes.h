#pragma once
// Small byte helpers shared by the simulator tests.
#include "protocol/FrameCodec.h"

#include <QByteArray>

#include <cstdint>
#include <string>
#include <vector>

namespace simtest {

namespace frame = protocol::frame;

inline std::vector<std::uint8_t> Hex(const std::string& text) {
    const QByteArray bytes = QByteArray::fromHex(QByteArray::fromStdString(text));
    return {bytes.begin(), bytes.end()};
}

inline QByteArray ToQt(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

inline std::vector<std::uint8_t> FromQt(const QByteArray& bytes) {
    return {bytes.begin(), bytes.end()};
}

inline std::vector<std::uint8_t> Concat(std::vector<std::uint8_t> a,
                                        const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline std::vector<std::uint8_t> Order(std::uint8_t order, std::uint16_t argument = 0,
                                       const std::vector<std::uint16_t>& words = {}) {
    return protocol::frame::EncodeFrameWords(order, argument, words);
}

inline std::vector<std::uint16_t> ReplyWords(const std::vector<std::uint8_t>& reply) {
    std::vector<std::uint16_t> words((reply.size() - protocol::frame::kHeaderSize) / 2);
    protocol::frame::DecodeWords(reply.data() + protocol::frame::kHeaderSize,
                                 reply.size() - protocol::frame::kHeaderSize, words.data(),
                                 words.size());
    return words;
}

} // namespace simtest
