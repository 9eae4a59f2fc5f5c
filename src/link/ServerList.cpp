#include "link/ServerList.h"

#include <algorithm>

namespace comm {

void UpdateServerList(std::vector<std::string>& list, const std::string& server) {
    list.erase(std::remove(list.begin(), list.end(), server), list.end());
    list.insert(list.begin(), server);
    if (list.size() > kServerListLength) list.resize(kServerListLength);
}

std::string FirmwareIdFromReply(const std::uint8_t* data, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length && data[i] != 0 && text.size() < kFirmwareIdLength; ++i)
        text.push_back(static_cast<char>(data[i]));
    return text;
}

} // namespace comm
