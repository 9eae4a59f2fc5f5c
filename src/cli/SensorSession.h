#pragma once
// One connection to the sensor for one command: the program's link and its sensor operations,
// without a window. Every failure is in the log the link wrote.
#include "cli/CliOptions.h"
#include "cli/ConsoleView.h"
#include "core/CommandGate.h"
#include "link/SensorLink.h"
#include "link/SensorOperations.h"

#include <string>

namespace cli {

class SensorSession {
public:
    SensorSession();
    ~SensorSession();

    // Opens the transport and asks for the identification, as the program does on connecting.
    // `timeoutSeconds` (above 0) takes the place of the link's limits for a reply and a connect.
    bool Open(const LinkChoice& choice, double timeoutSeconds = 0);
    const std::string& FirmwareId() const { return firmwareId; }

    // The sensor's commands, the same the window gives.
    comm::SensorOperations& Operations() { return operations; }

    const std::string& Log() const { return view.Log(); }
    // Why the link failed, in a shell's words with the sensor's address; empty when it did not.
    std::string FailureText() const;

private:
    ConsoleView view;
    core::CommandGate gate;
    comm::SensorLink link;
    comm::SensorOperations operations;
    std::string firmwareId;
    std::string where;
};

} // namespace cli
