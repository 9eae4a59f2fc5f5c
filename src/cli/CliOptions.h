#pragma once
// The texts of the command line that name the road to the sensor, read into link settings.
#include <optional>
#include <string>

namespace cli {

inline constexpr int kDefaultTcpPort = 10001;

struct TcpAddress {
    std::string host;
    int port = kDefaultTcpPort;
};

// The road to one sensor: a TCP server, or a serial device at a baud rate (the link's code).
struct LinkChoice {
    bool tcp = true;
    std::string host;
    int port = 0;
    std::string device;
    int baudCode = 4;
};
// "host:port" or the device: how messages name the sensor's address.
std::string WhereOf(const LinkChoice& link);

// "HOST" or "HOST:PORT"; nothing when the host is empty or holds a blank or a control
// character, or the port is not 1..65535.
std::optional<TcpAddress> ParseTcpAddress(const std::string& text);

// The link's baud code of a rate in bits per second; nothing for a rate the sensor lacks.
std::optional<int> BaudCodeOfRate(int rate);

// What the program ends with, for scripts to tell failures apart.
enum ExitStatus : int {
    kExitOk = 0,
    kExitLinkFailed = 1,     // no connection, a time-out, an error reply
    kExitUsage = 2,          // the command line is wrong
    kExitFileFailed = 3,     // a file could not be read, was refused, or could not be written
    kExitValuesReplaced = 4, // the sensor set values it found implausible to their defaults
};

} // namespace cli
