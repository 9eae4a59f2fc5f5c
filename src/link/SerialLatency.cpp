#include "link/SerialLatency.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace comm {

namespace {

// ttyUSB0 for /dev/ttyUSB0 and for a /dev/serial/by-id link that leads to it.
std::string TtyName(const std::string& device) {
    char resolved[PATH_MAX];
    const std::string path = ::realpath(device.c_str(), resolved) ? resolved : device;
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int ReadNumber(const std::string& path) {
    std::ifstream file(path);
    int value = -1;
    if (!(file >> value) || value < 0) return -1;
    return value;
}

} // namespace

LowLatency RequestLowLatency(int fd) {
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) return LowLatency::NotSerial;
    if (serial.flags & ASYNC_LOW_LATENCY) return LowLatency::AlreadySet;
    serial.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd, TIOCSSERIAL, &serial) != 0) return LowLatency::Refused;
    return LowLatency::Set;
}

int LatencyTimerMs(const std::string& device, std::string* path, const std::string& sysRoot) {
    const std::string name = TtyName(device);
    if (name.empty() || name == "." || name == "..") return -1;
    const std::string base = sysRoot + "/class/tty/" + name + "/device/";
    // ftdi_sio keeps it on the port's device, some drivers on the interface above it.
    for (const std::string candidate : {base + "latency_timer", base + "../latency_timer"}) {
        const int value = ReadNumber(candidate);
        if (value < 0) continue;
        if (path) *path = candidate;
        return value;
    }
    return -1;
}

std::string LowLatencyText(LowLatency outcome, const std::string& device, int latencyTimerMs,
                           const std::string& timerPath) {
    std::string text;
    switch (outcome) {
    case LowLatency::Set:
    case LowLatency::AlreadySet:
        text = "LOW LATENCY ON FOR " + device;
        break;
    case LowLatency::NotSerial:
        text = "LOW LATENCY NOT AVAILABLE ON " + device;
        break;
    case LowLatency::Refused:
        text = "LOW LATENCY REFUSED BY THE DRIVER OF " + device;
        break;
    }
    if (latencyTimerMs < 0) return text;
    text += "\nADAPTER LATENCY TIMER " + std::to_string(latencyTimerMs) + " MS";
    // Every reply waits for the timer: at 16 ms GO reaches a fraction of the line's rate.
    if (latencyTimerMs > 1)
        text += ": EACH REPLY MAY WAIT AS LONG; 1 MS IS FASTER (WRITE 1 TO " + timerPath + ")";
    return text;
}

} // namespace comm
