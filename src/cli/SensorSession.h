#pragma once
// One connection to the sensor for one command: the program's link and its sensor operations,
// without a window. Every failure is in the log the link wrote.
#include "cli/ConsoleView.h"
#include "comm/SensorLink.h"
#include "comm/SensorOperations.h"
#include "core/CommandGate.h"

#include <string>

namespace cli {

struct LinkChoice {
    bool tcp = true;
    std::string host;
    int port = 0;
    std::string device;
    int baudCode = 4;
};

class SensorSession {
public:
    SensorSession();
    ~SensorSession();

    // Opens the transport and asks for the identification, as the program does on connecting.
    bool Open(const LinkChoice& choice);
    const std::string& FirmwareId() const { return firmwareId; }

    // The sensor's commands, the same the window gives.
    comm::SensorOperations& Operations() { return operations; }

    const std::string& Log() const { return view.Log(); }

private:
    ConsoleView view;
    core::CommandGate gate;
    comm::SensorLink link;
    comm::SensorOperations operations;
    std::string firmwareId;
};

} // namespace cli
