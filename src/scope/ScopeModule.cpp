#include "scope/ScopeModule.h"

#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/OperatorDialogs.h"
#include "core/SafeFile.h"
#include "core/Shell.h"
#include "core/Text.h"
#include "link/LinkTexts.h"
#include "link/SensorLink.h"
#include "link/SensorOperations.h"
#include "protocol/Orders.h"
#include "protocol/ParameterCodes.h"
#include "scope/ScopeHelp.h"
#include "scope/ScopePanel.h"
#include "scope/ScopePrintout.h"
#include "scope/ScopeSettingsPage.h"

#include <QPrinter>

#include <string>
#include <vector>

namespace scope {

namespace {

constexpr int kBlockBytes = kBlockWords * 2;

} // namespace

ScopeModule::ScopeModule(core::AppState& state, core::Shell& shell, core::OperatorDialogs& dialogs,
                         core::Registrar& registrar, comm::SensorOperations& operations)
    : state(state), shell(shell), dialogs(dialogs), operations(operations) {
    settingsPage = new ScopeSettingsPage;
    settingsPage->RegisterCommands(registrar);
    registrar.AddPage(core::MainPage::ScopeSettings, settingsPage);
    panel = new ScopePanel;
    registrar.AddChildPanel(core::ChildPanel::Scope, panel);
    registrar.AddHelp(ScopeHelp());

    connect(settingsPage, &ScopeSettingsPage::GetCycleTimeRequested, this,
            &ScopeModule::CBF_ButtonGetCycleTime);
    connect(settingsPage, &ScopeSettingsPage::ScanRequested, this, &ScopeModule::CBF_ButtonScan);
    connect(settingsPage, &ScopeSettingsPage::BreakRequested, this,
            &ScopeModule::CBF_ButtonBreakScan);
    connect(settingsPage, &ScopeSettingsPage::PrintRequested, this,
            &ScopeModule::CBF_ButtonPrintScopeGraph);
    connect(settingsPage, &ScopeSettingsPage::ScanRateChanged, this, &ScopeModule::UpdateDeltas);
    connect(panel, &ScopePanel::CursorsMoved, this, &ScopeModule::UpdateDeltas);
    connect(panel, &ScopePanel::ZoomResetRequested, this, &ScopeModule::CBF_ButtonZoom11);
    connect(panel, &ScopePanel::CloseRequested, this,
            [this] { this->shell.ShowChildPanel(core::ChildPanel::Data); });
    settingsPage->ShowCycleTime(0);
    UpdateDeltas();
}

void ScopeModule::CBF_ButtonGetCycleTime() {
    core::RunCommand(shell, "GET CYCLE TIME", [this] {
        shell.SetButtonsDimmed(0, 1);
        MeasureCycleTime();
        UpdateDeltas();
        shell.SetButtonsDimmed(0, 0);
    });
}

void ScopeModule::MeasureCycleTime() {
    CycleTime time;
    const protocol::Reply reply = operations.ReadCycleTime();
    const bool valid = reply.Ok();
    if (valid) time = CycleTimeOfReply(reply.data.data(), int(reply.data.size()));
    state.scope.cycleMilliseconds = time.milliseconds;
    settingsPage->ShowCycleTime(time.milliseconds);
    shell.ReportCommand("GET CYCLE TIME",
                        valid ? QString::number(time.milliseconds, 'f', 2).toStdString() + " ms"
                              : "failed");
}

void ScopeModule::UpdateDeltas() {
    const CursorPositions at = panel->Cursors();
    panel->ShowDeltas(DeltaX(at.x1, at.x2, state.scope.cycleMilliseconds, settingsPage->ScanRate()),
                      DeltaY(at.y1, at.y2));
    panel->ShowSampleTime(state.scope.cycleMilliseconds * settingsPage->ScanRate());
}

void ScopeModule::ResetAxes() {
    const int calculationMode = state.params.image.parameters[protocol::kCalculationMode];
    panel->ResetAxes(AnalogueUpperLimit(settingsPage->RecordSignal(), calculationMode));
    UpdateDeltas();
}

void ScopeModule::CBF_ButtonZoom11() {
    ResetAxes();
}

void ScopeModule::CBF_ButtonScan() {
    core::RunCommand(shell, "SCAN", [this] {
        shell.SetButtonsDimmed(0, 1);
        ResetAxes();
        panel->ShowWaiting(true);
        shell.ShowChildPanel(core::ChildPanel::Scope);
        RunScan();
        panel->ShowWaiting(false);
        settingsPage->EnableBreak(false);
        shell.SetButtonsDimmed(0, 0);
    });
}

void ScopeModule::RunScan() {
    const auto request = settingsPage->ScanRequest();
    const protocol::Outcome started = operations.StartScan(request);
    if (started != protocol::Outcome::Reply) {
        // An acknowledgement that never came (or came wrong) may still have started a capture:
        // it is broken off, so the sensor's blocks do not meet the next command.
        const bool maybeStarted = started != protocol::Outcome::ErrorReply &&
                                  started != protocol::Outcome::Cancelled &&
                                  started != protocol::Outcome::Closed;
        if (maybeStarted && operations.Link().LinkOpen()) operations.BreakScan(kBlockBytes);
        shell.ReportCommand("SCAN", "not acknowledged");
        return;
    }
    settingsPage->EnableBreak(true);
    bool kept = false;
    for (int k = 0; k < kBlocks; ++k) {
        const BlockEnd end = ReceiveBlock(k, request[0], request[1]);
        kept |= end == BlockEnd::Kept;
        if (end == BlockEnd::Broken) {
            // The sensor abandons the capture; the graphs keep the previous trace.
            settingsPage->EnableBreak(false);
            operations.BreakScan(kBlockBytes);
            shell.ReportCommand("SCAN", "broken, previous traces kept");
            return;
        }
        if (end == BlockEnd::Failed) {
            if (operations.Link().LinkOpen()) operations.BreakScan(kBlockBytes);
            shell.ReportCommand("SCAN", "failed, nothing plotted");
            return;
        }
    }
    panel->ShowTraces(state.scope.buffer);
    UpdateDeltas();
    shell.ReportCommand("SCAN",
                        std::string(kept ? "plotted with old samples in a bad block" : "plotted") +
                            ", trigger index " + std::to_string(state.scope.triggerIndex));
}

ScopeModule::BlockEnd ScopeModule::ReceiveBlock(int k, int triggerMode, int preTrigger) {
    // Over TCP/IP a bad block ends the scan; on a serial line only a port that failed does,
    // and a bad block keeps its old samples.
    const bool tcpLink = operations.Link().InUse().tcp;
    const protocol::Reply block = operations.ReceivePushed();
    if (block.outcome == protocol::Outcome::Cancelled) return BlockEnd::Broken;
    if (block.outcome == protocol::Outcome::Closed) return BlockEnd::Failed;
    if (!block.Ok()) return tcpLink ? BlockEnd::Failed : BlockEnd::Kept;
    if (block.code != protocol::kOrderScan || int(block.data.size()) != kBlockBytes) {
        operations.Link().ReportCommError(comm::linktext::kBadHeader);
        return tcpLink ? BlockEnd::Failed : BlockEnd::Kept;
    }
    const auto& words = block.words;
    state.scope.triggerIndex = std::uint16_t(words[kSamples] % kSamples);
    state.scope.buffer[std::size_t(k)] =
        RotateBlock(words.data(), triggerMode, preTrigger, state.scope.triggerIndex);
    return BlockEnd::Taken;
}

void ScopeModule::CBF_ButtonBreakScan() {
    // Runs inside the scan's wait: the scan ends it, and sends the sensor the break.
    settingsPage->EnableBreak(false);
    shell.Gate().Stop(core::StopCause::Operator);
}

void ScopeModule::CBF_ButtonPrintScopeGraph() {
    core::RunCommand(shell, "PRINT", [this] {
        const QImage picture = panel->PrintPicture();
        if (picture.isNull()) {
            dialogs.Message("ERROR", "Could not initialize the report...");
            return;
        }
        const std::string comment = core::BytesOfText(settingsPage->Comment());
        const auto target = dialogs.SelectPrinter();
        if (!target) return; // cancelled: nothing printed, nothing said
        QPrinter printer(QPrinter::HighResolution);
        if (!target->pdfFile.empty()) {
            // Into the file a link leads to; never into a fifo or a device, which would hold
            // the window or lose the report.
            const core::SaveTarget pdf = core::ResolveSaveTarget(target->pdfFile);
            if (!pdf.refusal.empty()) {
                dialogs.Message("Info!", "Print error \n" + pdf.refusal);
                shell.ReportCommand("PRINT", "refused");
                return;
            }
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(core::TextOfPath(pdf.path));
        } else {
            printer.setPrinterName(QString::fromLocal8Bit(target->printerName.c_str()));
        }
        const PrintOutcome outcome = PrintScopeReport(printer, state.params.sensorId, comment,
                                                      picture, QDateTime::currentDateTime());
        if (!outcome.printed) {
            dialogs.Message("Info!", "Print error ");
            shell.ReportCommand("PRINT", "failed");
            return;
        }
        // A page too small for part of the report is no success: the operator learns what is
        // missing from the paper.
        std::vector<std::string> missing;
        if (outcome.pictureLeftOut) missing.push_back("the scope picture");
        if (outcome.linesLeftOut > 0)
            missing.push_back(std::to_string(outcome.linesLeftOut) +
                              (outcome.linesLeftOut == 1 ? " line of text" : " lines of text"));
        if (missing.empty()) {
            dialogs.Message("Info!", "Print successful!");
            shell.ReportCommand("PRINT", "done");
            return;
        }
        std::string what = missing.front();
        if (missing.size() > 1) what += " and " + missing.back();
        dialogs.Message("Info!", "Printed without " + what + ": the page is too small for it.");
        shell.ReportCommand("PRINT", "incomplete, without " + what);
    });
}

} // namespace scope
