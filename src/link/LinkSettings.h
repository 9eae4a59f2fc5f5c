#pragma once
// The five communication settings as the communication page shows them and the settings file
// keeps them. Texts are bytes.
#include <cstddef>
#include <cstdint>
#include <string>

namespace comm {

struct LinkSettings {
    std::uint16_t protocol = 0; // 0 RS-232, 1 TCP/IP
    std::uint16_t serialPort = 1;
    std::uint16_t baudRateCode = 4; // 0 9600 ... 4 115200
    std::string serverName;
    std::string tcpPortText = "10001";
    // A device path typed in, or chosen without a port number; empty: the port by its number.
    // The settings file keeps only the number.
    std::string serialDevice;
};

// Room the link state gives the texts (the server name, the TCP port text).
inline constexpr std::size_t kServerNameBytes = 255;
inline constexpr std::size_t kTcpPortTextBytes = 31;

} // namespace comm
