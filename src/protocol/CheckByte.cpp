#include "protocol/CheckByte.h"

#include <array>

namespace protocol {

namespace {

constexpr std::array<std::uint8_t, 256> MakeDallasTable() {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        std::uint8_t crc = static_cast<std::uint8_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint8_t>((crc >> 1) ^ 0x8C)
                            : static_cast<std::uint8_t>(crc >> 1);
        table[i] = crc;
    }
    return table;
}

constexpr auto kDallasTable = MakeDallasTable();
static_assert(kDallasTable[1] == 0x5E && kDallasTable[2] == 0xBC && kDallasTable[3] == 0xE2);

} // namespace

std::uint8_t ComputeCheckByte(const std::uint8_t* bytes, std::size_t startOffset,
                              std::size_t count) {
    std::uint8_t crc = 0xAA;
    for (std::size_t i = 0; i < count; ++i)
        crc = kDallasTable[crc ^ bytes[startOffset + i]];
    return crc;
}

} // namespace protocol
