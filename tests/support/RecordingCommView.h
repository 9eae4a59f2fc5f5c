#pragma once
// Records what the link shows the operator, for tests of the link without any window.
#include "link/CommView.h"

#include <string>
#include <vector>

class RecordingCommView : public comm::CommView {
public:
    void SetStatusLine(const std::string& text) override { statusLine = text; }
    void AppendLog(const std::string& text) override { log += text; }
    void SetLinkButtonsDimmed(bool dimmed) override { linkButtonsDimmed = dimmed; }
    void ShowCommunicationPage() override { ++communicationPageShown; }
    void SetWaitCursor(bool on) override { waitCursorOn = on; }
    void LinkReported() override { ++reports; }
    void LinkLost() override { ++losses; }

    std::string statusLine;
    std::string log;
    bool linkButtonsDimmed = false;
    int communicationPageShown = 0;
    bool waitCursorOn = false;
    int reports = 0;
    int losses = 0;
};
