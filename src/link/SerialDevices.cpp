#include "link/SerialDevices.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>

namespace comm {

linktext::OpenCause SerialOpenCause(bool notFound, bool permissionError, const std::string& device,
                                    std::string& hint) {
    if (device.empty() || notFound) return linktext::OpenCause::NoSuchDevice;
    // A lock another program holds on the same name comes as a permission error even for a
    // device that is not there: what is not there is said first.
    struct stat present {};
    if (::stat(device.c_str(), &present) != 0 && errno == ENOENT)
        return linktext::OpenCause::NoSuchDevice;
    if (!permissionError) return linktext::OpenCause::OtherSerial;
    if (::access(device.c_str(), R_OK | W_OK) == 0) return linktext::OpenCause::DeviceBusy;
    struct stat status {};
    if (::stat(device.c_str(), &status) == 0) {
        const struct group* group = ::getgrgid(status.st_gid);
        const struct passwd* owner = ::getpwuid(status.st_uid);
        hint = linktext::PermissionHint(status.st_mode, group ? group->gr_name : "",
                                        owner ? owner->pw_name : "");
    }
    return linktext::OpenCause::NoPermission;
}

namespace {

struct DeviceRange {
    int first;
    int count;
    const char* prefix;
};

constexpr std::array<DeviceRange, 4> kRanges = {{{1, 32, "/dev/ttyS"},
                                                 {33, 32, "/dev/ttyUSB"},
                                                 {65, 32, "/dev/ttyACM"},
                                                 {101, 256, "/dev/pts/"}}};

} // namespace

std::string SerialDeviceName(int portNumber) {
    for (const auto& range : kRanges) {
        if (portNumber >= range.first && portNumber < range.first + range.count)
            return range.prefix + std::to_string(portNumber - range.first);
    }
    return {};
}

std::string SerialPortLabel(int portNumber, const std::string& device,
                            const std::string& description, const std::string& serialNumber) {
    std::string label = portNumber > 0 ? "COM" + std::to_string(portNumber) + "  " : "";
    label += device;
    if (!description.empty()) label += "  " + description;
    if (!serialNumber.empty()) label += "  S/N " + serialNumber;
    return label;
}

TypedSerialPort ParseTypedSerialPort(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const std::string trimmed = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (trimmed.front() == '/') return {0, trimmed};
    const bool com = trimmed.size() > 3 &&
                     (trimmed.compare(0, 3, "COM") == 0 || trimmed.compare(0, 3, "com") == 0);
    if (!com || trimmed.size() > 6) return {};
    int number = 0;
    for (std::size_t i = 3; i < trimmed.size(); ++i) {
        if (trimmed[i] < '0' || trimmed[i] > '9') return {};
        number = number * 10 + (trimmed[i] - '0');
    }
    return {SerialDeviceName(number).empty() ? 0 : number, {}};
}

int SerialPortNumberOfDevice(const std::string& devicePath) {
    for (const auto& range : kRanges) {
        const std::string prefix = range.prefix;
        if (devicePath.size() <= prefix.size() || devicePath.compare(0, prefix.size(), prefix) != 0)
            continue;
        int index = 0;
        for (std::size_t i = prefix.size(); i < devicePath.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(devicePath[i])) || index > 1000) return 0;
            index = index * 10 + (devicePath[i] - '0');
        }
        return index < range.count ? range.first + index : 0;
    }
    return 0;
}

int BaudRateOfCode(int code) {
    static constexpr std::array<int, 5> kRates = {9600, 19200, 38400, 57600, 115200};
    return (code >= 0 && code < 5) ? kRates[static_cast<std::size_t>(code)] : 115200;
}

int TcpPortNumberOfText(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 0x7FFFFFFF) return 0x7FFFFFFF;
    }
    return static_cast<int>(value);
}

} // namespace comm
