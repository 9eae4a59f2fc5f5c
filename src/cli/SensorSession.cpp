#include "cli/SensorSession.h"

namespace cli {

SensorSession::SensorSession() : link(view), operations(link, view) {
    link.WatchGate(&gate);
}

SensorSession::~SensorSession() {
    link.ShutDown();
}

bool SensorSession::Open(const LinkChoice& choice) {
    const int opened = choice.tcp ? link.ConnectToServer(choice.host, choice.port)
                                  : link.OpenSerialPort(0, choice.device, choice.baudCode);
    if (opened < 0) return false;
    return operations.Identify(firmwareId) == protocol::Outcome::Reply;
}

} // namespace cli
