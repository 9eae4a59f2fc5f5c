#pragma once
// The link's view on a console: the communication log is kept, to be printed when a command
// fails; there is no page, cursor or button to show.
#include "link/CommView.h"

#include <string>

namespace cli {

class ConsoleView : public comm::CommView {
public:
    void SetStatusLine(const std::string&) override {}
    void AppendLog(const std::string& text) override {
        log += text;
        lastEntry = text;
    }
    // The link reports a failure by a log entry, then this.
    void LinkFailed() override { failure = lastEntry; }
    void SetLinkButtonsDimmed(bool) override {}
    void ShowCommunicationPage() override {}
    void SetWaitCursor(bool) override {}

    const std::string& Log() const { return log; }
    // The last failure the link reported, in the window's words; empty when none was.
    const std::string& Failure() const { return failure; }

private:
    std::string log;
    std::string lastEntry;
    std::string failure;
};

} // namespace cli
