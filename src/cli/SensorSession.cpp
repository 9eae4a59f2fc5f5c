#include "cli/SensorSession.h"

#include "cli/ShellTexts.h"

#include <cmath>

namespace cli {

SensorSession::SensorSession() : link(view), operations(link, view) {
    link.WatchGate(&gate);
}

SensorSession::~SensorSession() {
    link.ShutDown();
}

bool SensorSession::Open(const LinkChoice& choice, double timeoutSeconds) {
    if (timeoutSeconds > 0)
        link.SetTimeLimits(timeoutSeconds, int(std::lround(timeoutSeconds * 1000)));
    where = WhereOf(choice);
    const int opened = choice.tcp ? link.ConnectToServer(choice.host, choice.port)
                                  : link.OpenSerialPort(0, choice.device, choice.baudCode);
    if (opened < 0) return false;
    return operations.Identify(firmwareId) == protocol::Outcome::Reply;
}

std::string SensorSession::FailureText() const {
    if (!link.OpenFailure().empty()) return ShellWords(link.OpenFailure(), where);
    if (view.Failure().empty()) return {};
    return ShellReport(view.Failure(), where, link.ReplyLimitSeconds());
}

} // namespace cli
