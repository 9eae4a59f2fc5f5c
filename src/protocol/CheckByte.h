#pragma once
#include <cstddef>
#include <cstdint>

namespace protocol {

// CRC-8 with the Dallas/Maxim 1-Wire table, register start 0xAA, no final XOR.
// Over a header including its own check byte the result is 0 exactly when the header is intact.
std::uint8_t ComputeCheckByte(const std::uint8_t* bytes, std::size_t startOffset,
                              std::size_t count);

} // namespace protocol
