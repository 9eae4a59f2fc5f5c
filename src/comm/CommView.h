#pragma once
#include <string>

namespace comm {

// What the link shows the operator. The program's communication page and data panel implement
// it; tests record the calls.
class CommView {
public:
    virtual ~CommView() = default;
    virtual void SetStatusLine(const std::string& text) = 0;
    virtual void AppendLog(const std::string& text) = 0;
    // ACCEPT, CHANGE BAUDRATE and the hardware info file button need a working link.
    virtual void SetLinkButtonsDimmed(bool dimmed) = 0;
    virtual void ShowCommunicationPage() = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // The link failed: what was measured before is no longer live.
    virtual void LinkFailed() {}
};

} // namespace comm
