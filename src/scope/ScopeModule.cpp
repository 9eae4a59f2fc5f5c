#include "scope/ScopeModule.h"

#include "comm/LinkTexts.h"
#include "comm/SensorLink.h"
#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/OperatorDialogs.h"
#include "core/Shell.h"
#include "core/Text.h"
#include "protocol/ParameterCodes.h"
#include "scope/ScopeHelp.h"
#include "scope/ScopePanel.h"
#include "scope/ScopePrintout.h"
#include "scope/ScopeSettingsPage.h"

#include <QPrinter>

namespace scope {

namespace {

constexpr int kCycleTimeOrder = 105;
constexpr int kScanOrder = 110;
constexpr int kHeaderLength = 8;
constexpr int kScanRequestLength = kHeaderLength + 10;
constexpr int kBlockBytes = kBlockWords * 2;

} // namespace

ScopeModule::ScopeModule(core::AppState& state, core::Shell& shell, core::OperatorDialogs& dialogs,
                         core::Registrar& registrar, comm::SensorLink& link)
    : state(state), shell(shell), dialogs(dialogs), link(link) {
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
    state.frames.currentOrder = kCycleTimeOrder;
    link.BuildRequestFrame(kCycleTimeOrder, 0, 0, 0);
    CycleTime time;
    const bool valid = link.ExchangeFrames(kHeaderLength) == 1 && state.frames.replyCode != 0;
    if (valid)
        time = CycleTimeOfReply(state.link.receiveBuffer.data() + kHeaderLength,
                                state.frames.dataLength);
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
    for (std::size_t i = 0; i < request.size(); ++i)
        state.frames.wordBuffer[i] = request[i];
    state.frames.currentOrder = kScanOrder;
    link.BuildRequestFrame(kScanOrder, int(request.size()), 1, int(request.size() * 2));
    if (link.ExchangeFrames(kScanRequestLength) != 1 || state.frames.replyCode == 0) {
        shell.ReportCommand("SCAN", "not acknowledged");
        return;
    }
    settingsPage->EnableBreak(true);
    state.scope.scanFlag = 1;
    for (int k = 0; k < kBlocks; ++k) {
        if (!ReceiveBlock(k, request[0], request[1])) {
            shell.ReportCommand("SCAN", state.scope.scanFlag ? "failed, nothing plotted"
                                                             : "broken, previous traces kept");
            return;
        }
    }
    panel->ShowTraces(state.scope.buffer);
    UpdateDeltas();
    shell.ReportCommand("SCAN",
                        "plotted, trigger index " + std::to_string(state.scope.triggerIndex));
}

bool ScopeModule::ReceiveBlock(int k, int triggerMode, int preTrigger) {
    const bool tcpLink = state.link.protocol == core::kTcpIp;
    const int received = link.ReceivePushedFrame(state.scope.scanFlag);
    if (received == 0) return false; // broken
    if (received == -1) {
        // Over TCP/IP a bad block ends the scan; on a serial line only a port that failed does,
        // and a bad block keeps its old samples.
        return !tcpLink && link.LinkOpen() && state.link.linkErrorWord == 0;
    }
    if (state.frames.dataLength != kBlockBytes) {
        state.link.messageBuffer = comm::linktext::kBadHeader;
        link.ReportCommError();
        return !tcpLink;
    }
    link.DecodeMeasurementWords();
    const auto& words = state.frames.measurementWords;
    state.scope.triggerIndex = std::uint16_t(words[kSamples] % kSamples);
    state.scope.buffer[std::size_t(k)] =
        RotateBlock(words.data(), triggerMode, preTrigger, state.scope.triggerIndex);
    return true;
}

void ScopeModule::CBF_ButtonBreakScan() {
    // Runs inside the scan's wait: the scan holds the gate, and this is its way out.
    if (state.scope.scanFlag != 1) return;
    settingsPage->EnableBreak(false);
    state.frames.currentOrder = kScanOrder;
    link.BuildRequestFrame(kScanOrder, 0, 0, 0);
    link.ExchangeFramesPassingPushed(kHeaderLength, {kScanOrder, kBlockBytes});
    state.scope.scanFlag = 0;
}

void ScopeModule::CBF_ButtonPrintScopeGraph() {
    core::RunCommand(shell, "PRINT", [this] {
        const QImage picture = panel->grab().toImage();
        if (picture.isNull()) {
            dialogs.Message("ERROR", "Could not initialize the report...");
            return;
        }
        const auto lines =
            ScopeReportLines(state.params.sensorId, core::BytesOfText(settingsPage->Comment()));
        const auto target = dialogs.SelectPrinter();
        if (!target) return; // cancelled: nothing printed, nothing said
        QPrinter printer(QPrinter::HighResolution);
        if (!target->pdfFile.empty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(core::TextOfPath(target->pdfFile));
        } else {
            printer.setPrinterName(QString::fromLocal8Bit(target->printerName.c_str()));
        }
        const bool printed =
            PrintScopeReport(printer, lines, picture, QDateTime::currentDateTime());
        dialogs.Message("Info!", printed ? "Print successful!" : "Print error ");
        shell.ReportCommand("PRINT", printed ? "done" : "failed");
    });
}

} // namespace scope
