#include "cli/CliOptions.h"

#include "link/SerialDevices.h"

#include <algorithm>
#include <cctype>

namespace cli {

std::optional<TcpAddress> ParseTcpAddress(const std::string& text) {
    TcpAddress address;
    const std::size_t colon = text.rfind(':');
    address.host = text.substr(0, colon);
    if (colon != std::string::npos) {
        const std::string port = text.substr(colon + 1);
        // Digits only, and few enough that the value cannot overflow before the range check.
        if (port.empty() || port.size() > 5 ||
            !std::all_of(port.begin(), port.end(), [](unsigned char c) { return std::isdigit(c); }))
            return std::nullopt;
        address.port = std::stoi(port);
    }
    if (address.host.empty() || address.port < 1 || address.port > 65535) return std::nullopt;
    // No host name holds a blank or a control character; one that did would reach messages.
    if (std::any_of(address.host.begin(), address.host.end(),
                    [](unsigned char c) { return c <= ' ' || c == 0x7f; }))
        return std::nullopt;
    return address;
}

std::string WhereOf(const LinkChoice& link) {
    return link.tcp ? link.host + ":" + std::to_string(link.port) : link.device;
}

std::optional<int> BaudCodeOfRate(int rate) {
    for (int code = 0; code < 5; ++code) {
        if (comm::BaudRateOfCode(code) == rate) return code;
    }
    return std::nullopt;
}

} // namespace cli
