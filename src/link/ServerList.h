#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace comm {

constexpr std::size_t kServerListLength = 10;
constexpr std::size_t kFirmwareIdLength = 71;

// Most recently used first, no duplicates, at most ten entries.
void UpdateServerList(std::vector<std::string>& list, const std::string& server);

// The identification text of a reply: up to the first NUL, at most 71 characters.
std::string FirmwareIdFromReply(const std::uint8_t* data, std::size_t length);

} // namespace comm
