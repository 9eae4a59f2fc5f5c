#include "recorder/RecorderModule.h"

#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/OperatorDialogs.h"
#include "core/SafeFile.h"
#include "core/Shell.h"
#include "core/SideFiles.h"
#include "core/Text.h"
#include "link/LinkTexts.h"
#include "link/ReplyEngine.h"
#include "link/SensorLink.h"
#include "link/SensorOperations.h"
#include "live/GoLoop.h"
#include "live/GraphPanel.h"
#include "live/LiveModule.h"
#include "protocol/Orders.h"
#include "recorder/RecorderHelp.h"
#include "recorder/RecorderPage.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace recorder {

namespace {

constexpr const char* kAttention = "ATTENTION!";
constexpr const char* kNoFileSelected = "No filename was selected! \nRecording will not be done! ";
constexpr const char* kFileExists = "File already exist! \nDo you want to select existing file?";
constexpr const char* kCloseOtherPrograms =
    " Make sure, that the file is not opened by any other program. \n Otherwise it can not be "
    "saved.";
constexpr const char* kRecordFileStays = "\nThe record file stays ";
constexpr const char* kRightFileName = "Are you sure, that you have selected the right file name?";
constexpr const char* kSavedTitle = "INFO!";
constexpr const char* kSaved = "File has been saved!";
constexpr const char* kDialogTitle = "FILENAME!";
constexpr const char* kDialogFilter = "*.dat";

ClockTime PcClock() {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(),  t.date().day(),
            t.time().hour(), t.time().minute(), t.time().second()};
}

// A refusal's reason on a line of its own in the log.
std::string Why(const std::string& refusal) {
    return refusal.empty() ? refusal : "\n" + refusal;
}

// What a recording came to, in the status bar and in the message at its end.
std::string RowsRecorded(int rows, bool failed) {
    return std::to_string(rows) + " rows recorded" + (failed ? ", ended by a failure" : "");
}

// An exchange that went wrong; a stop is none.
bool Failed(protocol::Outcome outcome) {
    return outcome != protocol::Outcome::Reply && outcome != protocol::Outcome::Cancelled;
}

} // namespace

RecorderModule::RecorderModule(core::AppState& state, core::Shell& shell,
                               core::OperatorDialogs& dialogs, core::Registrar& registrar,
                               comm::SensorOperations& operations, live::LiveModule& live)
    : state(state), shell(shell), dialogs(dialogs), operations(operations), live(live),
      now(PcClock) {
    timer.start();
    page = new RecorderPage;
    page->RegisterCommands(registrar);
    registrar.AddPage(core::MainPage::Recorder, page);
    registrar.AddHelp(RecorderHelp());
    registrar.AddHelp(RecorderOwnHelp());

    connect(page, &RecorderPage::SelectFileRequested, this, &RecorderModule::CBF_ButtonSelRecFile);
    connect(page, &RecorderPage::ModeChanged, this, &RecorderModule::CBF_EditSelectDataRec);
    connect(page, &RecorderPage::TimingEdited, this, &RecorderModule::RecomputeRecordTime);
    connect(page, &RecorderPage::StartRequested, this, &RecorderModule::CBF_ButtonStartRecord);
    connect(page, &RecorderPage::StopRequested, this, &RecorderModule::CBF_ButtonStopRecord);
    connect(page, &RecorderPage::StartTriggeredRequested, this,
            &RecorderModule::CBF_ButtonStartTrigRec);
    connect(page, &RecorderPage::ManualRequested, this, &RecorderModule::CBF_ButtonManualRecord);
    RecomputeRecordTime();
}

void RecorderModule::ShowRecordFile() {
    page->ShowPath(core::TextOfPath(state.settings.recordFilePath));
}

void RecorderModule::ShowIdentification(const QString& id) {
    page->ShowIdentification(id);
}

void RecorderModule::PageActivated() {
    page->ApplyVisibility(page->Mode());
    if (page->Mode() == kModeCount) RecomputeRecordTime();
}

double RecorderModule::Seconds() const {
    return double(timer.nsecsElapsed()) / 1e9;
}

void RecorderModule::CBF_ButtonSelRecFile() {
    const auto selection =
        dialogs.SelectFile(kDialogTitle, core::DialogStartDirectory(state.settings.recordFilePath),
                           kDefaultRecordFileName, kDialogFilter, true);
    using Choice = core::OperatorDialogs::FileChoice;
    if (selection.choice == Choice::None || selection.path.empty()) {
        dialogs.Message(kAttention, kNoFileSelected);
        return;
    }
    // Looked at before anything opens it: opening a fifo to write would hold the window.
    const std::string refusal = core::ResolveSaveTarget(selection.path).refusal;
    if (!refusal.empty()) {
        dialogs.Message(kAttention, refusal + kRecordFileStays + state.settings.recordFilePath);
        return;
    }
    const bool existing =
        selection.choice == Choice::Existing || QFileInfo::exists(core::TextOfPath(selection.path));
    WriteResult result = WriteResult::Written;
    const std::string header = RecordFileHeader(state.params.sensorId);
    std::string unwritten;
    if (existing) {
        if (!dialogs.Confirm(kAttention, kFileExists)) return;
        dialogs.Message(kAttention, kCloseOtherPrograms);
        result = ReplaceRecordFile(selection.path, header, &unwritten);
    } else {
        result = AppendToRecordFile(selection.path, header, &unwritten);
    }
    state.settings.recordFilePath = selection.path;
    ShowRecordFile();
    rowsNotWritten = 0;
    page->ShowNotWritten(0);
    // The recording would write its rows into nothing: say so now, not after it.
    if (result == WriteResult::NotWritten) {
        core::ReportUnwrittenFile(dialogs, selection.path, unwritten);
        shell.AppendLog("RECORD FILE NOT WRITTEN: " + selection.path + Why(unwritten) + "\n\n");
    }
}

void RecorderModule::CBF_EditSelectDataRec() {
    shell.Gate().Stop(core::StopCause::Loop);
    const int mode = page->Mode();
    if (mode == kModeManual) {
        recordedCount = 0;
        page->ShowRecorded(0);
        StartCountingRows();
    } else if (mode == kModeCount) {
        RecomputeRecordTime();
    }
    live.Graphs().ClearSignalGraphs(state.live.frame);
    page->ApplyVisibility(mode);
}

void RecorderModule::RecomputeRecordTime() {
    const RecordTime time = ComputeRecordTime(page->Interval(), page->FrameCount());
    page->ShowRecorded(0);
    page->ShowRemaining(page->FrameCount());
    if (time.interval != page->Interval()) page->ShowInterval(time.interval);
    page->ShowRecordTime(time);
}

bool RecorderModule::ConfirmFileAndWarn(bool alsoWarn) {
    if (!dialogs.Confirm(kAttention, kRightFileName)) return false;
    if (alsoWarn) dialogs.Message(kAttention, kCloseOtherPrograms);
    return true;
}

void RecorderModule::StartCountingRows() {
    rowsNotWritten = 0;
    framesNotRecorded = 0;
    endedByFailure = false;
    page->ShowNotWritten(0);
}

void RecorderModule::CBF_ButtonStartRecord() {
    core::RunCommand(shell, "START RECORD", [this] { RunTimedRecording(); });
}

void RecorderModule::RunTimedRecording() {
    shell.SetButtonsDimmed(0, 1);
    live.Graphs().ClearSignalGraphs(state.live.frame);
    if (!ConfirmFileAndWarn(true)) {
        shell.SetButtonsDimmed(0, 0);
        return;
    }
    page->ShowTimedRecording(true);
    StartCountingRows();
    recordedCount = 0;
    RecomputeRecordTime();
    const double interval = ComputeRecordTime(page->Interval(), page->FrameCount()).interval;
    const std::uint16_t frameCount = page->FrameCount();
    frameCounter = 0;
    page->ShowFrameCounter(0);
    core::CommandGate& gate = shell.Gate();
    {
        const core::CommandGate::MeasuringLoop loop(gate);
        while (!gate.StopRequested()) {
            const double cycleStart = Seconds();
            emit CycleStarted(cycleStart);
            const protocol::Outcome measured = operations.Measure(state.live.frame);
            const bool valid = measured == protocol::Outcome::Reply;
            if (valid) RecordFrame();
            if (Failed(measured)) {
                ++framesNotRecorded;
                endedByFailure = true;
            }
            if (page->Mode() == kModeCount) {
                // A failed exchange wrote no row: it is not counted as recorded.
                if (valid) ++recordedCount;
                page->ShowRecorded(recordedCount);
                page->ShowRemaining(int(frameCount) - int(recordedCount));
                if (recordedCount >= frameCount) break;
            } else if (valid) {
                frameCounter += 1.0;
                page->ShowFrameCounter(frameCounter);
            }
            WaitForNextPeriod(cycleStart, interval);
        }
    }
    // The connection may also go between two exchanges.
    if (gate.Cause() == core::StopCause::LinkLost) endedByFailure = true;
    live.Loop().ShowPendingNow();
    const int rows = page->Mode() == kModeCount ? int(recordedCount) : int(frameCounter);
    ReportSaved(rows);
    page->ShowTimedRecording(false);
    shell.SetButtonsDimmed(0, 0);
    shell.ReportCommand("RECORD", RowsRecorded(rows, endedByFailure));
}

void RecorderModule::WaitForNextPeriod(double cycleStart, double interval) {
    while (!shell.Gate().StopRequested()) {
        const double left = interval - (Seconds() - cycleStart);
        if (left <= 0) return;
        eventWait.ProcessEventsFor(int(std::ceil(left * 1000)));
    }
}

void RecorderModule::RecordFrame() {
    live.Loop().ShowMeasurement();
    live.Graphs().AppendSignalSample(state.live.frame);
    AppendRow(state.live.frame);
}

void RecorderModule::AppendRow(const protocol::MeasurementFrame& frame) {
    const std::string& path = state.settings.recordFilePath;
    std::string refusal;
    if (AppendToRecordFile(path, RecordRow(frame, now()), &refusal) == WriteResult::Written) return;
    // The recording goes on; the operator learns at once how many rows are missing.
    if (rowsNotWritten == 0)
        shell.AppendLog("RECORD FILE: A ROW COULD NOT BE WRITTEN TO " + path + Why(refusal) +
                        "\n\n");
    ++rowsNotWritten;
    page->ShowNotWritten(rowsNotWritten);
}

void RecorderModule::ReportSaved(int rows) {
    if (rowsNotWritten == 0 && framesNotRecorded == 0 && !endedByFailure) {
        dialogs.Message(kSavedTitle, kSaved);
        return;
    }
    std::string text;
    if (rowsNotWritten > 0)
        text += std::to_string(rowsNotWritten) +
                " rows could not be written to the record file! \n" + state.settings.recordFilePath;
    if (framesNotRecorded > 0)
        text += std::string(text.empty() ? "" : "\n") + std::to_string(framesNotRecorded) +
                " frames from the sensor failed or held no measurement and were not recorded!";
    if (endedByFailure)
        text += std::string(text.empty() ? "" : "\n") + RowsRecorded(rows, true) + "!";
    dialogs.Message(kAttention, text);
}

void RecorderModule::CBF_ButtonStopRecord() {
    shell.Gate().Stop(core::StopCause::Operator);
}

void RecorderModule::CBF_ButtonManualRecord() {
    page->DimManualRecord(true);
    live.Graphs().AppendSignalSample(state.live.frame);
    AppendRow(state.live.frame);
    ++recordedCount;
    page->ShowRecorded(recordedCount);
    page->DimManualRecord(false);
}

void RecorderModule::CBF_ButtonStartTrigRec() {
    core::RunCommand(shell, "START TRIGGERED RECORD", [this] { RunTriggeredRecording(); });
}

void RecorderModule::RunTriggeredRecording() {
    if (!ConfirmFileAndWarn(false)) return;
    shell.SetButtonsDimmed(0, 1);
    dialogs.Message(kAttention, kCloseOtherPrograms);
    page->ShowTriggeredRecording(true);
    StartCountingRows();
    core::CommandGate& gate = shell.Gate();
    frameCounter = 0;
    const protocol::Outcome started = operations.StartTriggerSending();
    endedByFailure = Failed(started);
    if (started == protocol::Outcome::Reply) {
        page->ShowFrameCounter(0);
        const core::CommandGate::MeasuringLoop loop(gate);
        const comm::ReplyLength measurement = comm::ExpectedReplyLength(protocol::kOrderMeasure, 0);
        while (!gate.StopRequested()) {
            const protocol::Reply frame = operations.ReceivePushed();
            if (frame.outcome == protocol::Outcome::Cancelled) break;
            if (frame.outcome == protocol::Outcome::Closed) {
                endedByFailure = true;
                break;
            }
            // A bad frame has been reported, and the report ends the recording. An error reply
            // ends it as any other does, and so does a measurement too short to be one, as it
            // would in an exchange; a frame of another order is passed over. None is a row.
            std::string refused;
            if (frame.Ok() && frame.code == protocol::kErrorReplyCode)
                refused = comm::linktext::ErrorReplyText(frame.status);
            else if (frame.Ok() && frame.code == protocol::kOrderMeasure &&
                     !measurement.Holds(frame.data.size()))
                refused = comm::linktext::OtherLengthText(protocol::kOrderMeasure,
                                                          frame.data.size(), measurement.least);
            if (!refused.empty()) operations.Link().ReportCommError(refused);
            const bool failed = !frame.Ok() || !refused.empty();
            if (failed) endedByFailure = true;
            if (failed || frame.code != protocol::kOrderMeasure) {
                ++framesNotRecorded;
                continue;
            }
            protocol::TakeMeasurementFrame(state.live.frame, frame.words.data(),
                                           frame.words.size());
            RecordFrame();
            frameCounter += 1.0;
            page->ShowFrameCounter(frameCounter);
        }
    }
    // The sensor stops sending, also after a failure or a stop, unless the link itself is gone
    // or the start was never answered.
    if (started != protocol::Outcome::Cancelled && operations.Link().LinkOpen() &&
        Failed(operations.StopTriggerSending()))
        endedByFailure = true;
    if (gate.Cause() == core::StopCause::LinkLost) endedByFailure = true;
    live.Loop().ShowPendingNow();
    ReportSaved(int(frameCounter));
    page->ShowTriggeredRecording(false);
    shell.SetButtonsDimmed(0, 0);
    shell.ReportCommand("TRIGGERED RECORD", RowsRecorded(int(frameCounter), endedByFailure));
}

} // namespace recorder
