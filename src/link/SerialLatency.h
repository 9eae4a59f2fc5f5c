#pragma once
// Asking a serial driver for low latency, and reading a USB adapter's latency timer. A USB
// serial adapter collects received bytes for up to its latency timer (16 ms unless set) before
// it hands them on, which holds every reply back by as much.
#include <string>

namespace comm {

enum class LowLatency {
    Set,        // the driver took the request
    AlreadySet, // it was on before
    NotSerial,  // the device is no serial port (a pseudo-terminal): nothing to ask
    Refused,    // the driver answered the request with an error
};

// Sets ASYNC_LOW_LATENCY on an open serial descriptor where the driver allows it; anything else
// leaves the descriptor as it was.
LowLatency RequestLowLatency(int fd);

// The adapter's latency timer in ms as the system shows it under `sysRoot` (an FTDI adapter's
// latency_timer), or -1 where it shows none. `path` receives the file it was read from.
int LatencyTimerMs(const std::string& device, std::string* path = nullptr,
                   const std::string& sysRoot = "/sys");

// The line the communication log shows for the opened device.
std::string LowLatencyText(LowLatency outcome, const std::string& device, int latencyTimerMs,
                           const std::string& timerPath = {});

} // namespace comm
