#pragma once
#include <string>

namespace comm {

// What the link shows the operator and tells the window. The program's communication page and
// data panel implement it; the command line keeps the log; tests record the calls.
class CommView {
public:
    virtual ~CommView() = default;
    virtual void SetStatusLine(const std::string& text) = 0;
    virtual void AppendLog(const std::string& text) = 0;
    // ACCEPT, CHANGE BAUDRATE and the hardware info file button need a working link.
    virtual void SetLinkButtonsDimmed(bool dimmed) = 0;
    virtual void ShowCommunicationPage() = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // Something was reported (a failure, or the sensor's notice): the link is no longer known to
    // be good, and a measuring loop ends.
    virtual void LinkReported() {}
    // The sensor replaced values it found implausible: the link is fine, a measuring loop ends.
    virtual void SensorNotice() {}
    // The link failed: what was measured before is no longer live.
    virtual void LinkFailed() {}
    // The connection closed or the serial device vanished: the command in progress ends.
    virtual void LinkLost() {}
    // An intact reply came: the link works, whatever an earlier exchange left it as.
    virtual void LinkAnswered() {}
};

} // namespace comm
