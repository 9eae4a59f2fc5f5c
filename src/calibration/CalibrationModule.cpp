#include "calibration/CalibrationModule.h"

#include "calibration/CalibrationHelp.h"
#include "calibration/CalibrationPages.h"
#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/OperatorDialogs.h"
#include "core/ParameterTransfers.h"
#include "core/Shell.h"
#include "core/SideFiles.h"
#include "link/SensorLink.h"
#include "link/SensorOperations.h"
#include "live/GoLoop.h"
#include "live/LiveDrawing.h"
#include "live/LiveModule.h"
#include "live/LiveValues.h"
#include "model/HardwareInfoFile.h"
#include "protocol/Orders.h"

#include <QCoreApplication>

#include <cctype>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace calibration {

namespace {

using protocol::Outcome;

// The status bar's word on a write of three calibration values.
std::string WriteOutcome(bool sent, bool replaced) {
    if (!sent) return "failed";
    return replaced ? "done; the sensor replaced values, see the log" : "done";
}

constexpr const char* kSendPowerTitle = "SEND POWER";
constexpr const char* kSendPowerText =
    "Make sure, that the sensor shines on a WHITE target! \nSelect a proper POWER value that the "
    "RAW DATAS are within the dynamic range.  \nRepeat as long as the intensity for the RAW DATAS "
    "is NOT OK.";
constexpr const char* kConfirmTitle = "CONFIRM CALCULATION!";
constexpr const char* kConfirmText =
    "Are you sure, that you have selected the right calibration parameters? ";
constexpr const char* kDeclinedText =
    "Please insert the right values and press \n CALCULATE CALIBRATION FACTORS again.";
constexpr const char* kDeltaTooHigh =
    "The maximum delta of the raw data values RED,GREEN and BLUE is to high. \nCalibration is "
    "not possible. \nVerify, that the sensor shines on a WHITE target! \nIncrease MAXIMUM DELTA "
    "OF RAW DATAS! ";
constexpr const char* kFactorOutOfRange =
    "One of the calibration factor is out of range. \nCalibration is not possible. \nVerify, "
    "that the senor shines on a WHITE target! \nChoose a proper POWER value. ";
constexpr const char* kPassedTitle = "CALIBRATION PASSED!";
constexpr const char* kPassedText =
    "Calibration successful! \nCalibration factors were sent to the EEPROM of the sensor. \nGO "
    "mode will be activated. ";
constexpr const char* kConfirmWithSend = "Confirm calibration factors with SEND CF.";
// The status bar's word on factors that show in the fields but are not in the sensor.
constexpr const char* kFactorsNotInSensor = "the factors shown are not in the sensor until SEND CF";
constexpr const char* kOffsetTitle = "CALCULATE OFFSET";
constexpr const char* kOffsetText = "Make sure, that the receiver of the sensor is covered!";

// Why an exchange brought no reply to work with, in the operator's words.
std::string ExchangeFailureCause(Outcome outcome) {
    switch (outcome) {
    case Outcome::Reply:
        return "answered";
    case Outcome::ErrorReply:
        return "the sensor refused it (error reply)";
    case Outcome::TimedOut:
        return "no reply within the time limit";
    case Outcome::ShortFrame:
        return "the reply was cut short";
    case Outcome::BadHeader:
        return "the reply's header was broken";
    case Outcome::BadData:
        return "the reply's data check byte was wrong";
    case Outcome::OtherRequest:
        return "the reply was to another request";
    case Outcome::Closed:
        return "the link is closed";
    case Outcome::Cancelled:
        return "stopped";
    case Outcome::Busy:
        return "another exchange still waited for its reply";
    }
    return "unknown";
}

// Why a save to `path` (a regular file or none) failed, as far as its folder and the file tell;
// the path is named.
std::string UnwrittenFileCause(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path file(path);
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, error)) return path + ": its folder does not exist";
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return path + ": its folder may not be written to";
    if (fs::exists(file, error) && ::access(path.c_str(), W_OK) != 0)
        return path + ": the file may not be written to";
    return path + ": writing it failed";
}

std::string UpperCase(std::string text) {
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

CalibrationModule::CalibrationModule(core::AppState& state, core::Shell& shell,
                                     core::OperatorDialogs& dialogs, core::Registrar& registrar,
                                     comm::SensorOperations& operations, live::LiveModule& live,
                                     core::ParameterTransfers& transfers)
    : state(state), shell(shell), dialogs(dialogs), operations(operations), live(live),
      transfers(transfers) {
    calibrationPage = new CalibrationPage(live.Clock());
    calibrationPage->RegisterCommands(registrar);
    registrar.AddPage(core::MainPage::Calibration, calibrationPage);
    offsetPage = new OffsetPage;
    offsetPage->RegisterCommands(registrar);
    registrar.AddPage(core::MainPage::Offset, offsetPage);
    registrar.AddHelp(CalibrationHelp());
    registrar.AddHelp(OffsetHelp());
    // Every measurement of the GO loop shows its raw values here too.
    live.Drawing().AlsoShow(
        [this](const protocol::MeasurementFrame& frame) { calibrationPage->ShowFrame(frame); });

    connect(calibrationPage, &CalibrationPage::SendRequested, this,
            &CalibrationModule::CBF_ButtonSendCF);
    connect(calibrationPage, &CalibrationPage::GetRequested, this,
            &CalibrationModule::CBF_ButtonGetCF);
    connect(calibrationPage, &CalibrationPage::CalculateRequested, this,
            &CalibrationModule::CBF_ButtonCalcCF);
    connect(calibrationPage, &CalibrationPage::SelfCalibrationRequested, this,
            &CalibrationModule::CBF_ButtonStartSelfCalibration);
    connect(offsetPage, &OffsetPage::SendRequested, this, &CalibrationModule::CBF_ButtonSendOffset);
    connect(offsetPage, &OffsetPage::GetRequested, this, &CalibrationModule::CBF_ButtonGetOffset);
    connect(offsetPage, &OffsetPage::MeasureRequested, this,
            &CalibrationModule::CBF_ButtonCalcOffset);
    connect(offsetPage, &OffsetPage::CloseRequested, this,
            &CalibrationModule::CBF_ButtonCloseOffsetCompensation);
}

bool CalibrationModule::SendFactors(bool* replaced) {
    state.calibration.factors = calibrationPage->Factors();
    std::uint16_t count = 0;
    const bool sent = operations.WriteCalibration(protocol::kFactors, state.calibration.factors,
                                                  &count) == Outcome::Reply;
    if (replaced) *replaced = count > 0;
    return sent;
}

protocol::Outcome CalibrationModule::ReadCalibrationData() {
    comm::CalibrationWords words;
    const Outcome read = operations.ReadCalibration(words);
    if (read != Outcome::Reply) return read;
    state.calibration.factors = words.factors;
    state.calibration.offsets = words.offsets;
    calibrationPage->ShowFactors(state.calibration.factors);
    offsetPage->ShowOffsetFields(state.calibration.offsets);
    return read;
}

void CalibrationModule::CBF_ButtonSendCF() {
    core::RunCommand(shell, "SEND CF", [this] {
        shell.SetButtonsDimmed(0, 1);
        bool replaced = false;
        const bool sent = SendFactors(&replaced);
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("SEND CF", WriteOutcome(sent, replaced));
    });
}

void CalibrationModule::CBF_ButtonGetCF() {
    core::RunCommand(shell, "GET CF", [this] {
        shell.SetButtonsDimmed(0, 1);
        const bool read = ReadCalibrationData() == Outcome::Reply;
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("GET CF", read ? "done" : "failed");
    });
}

void CalibrationModule::CBF_ButtonCalcCF() {
    if (!dialogs.Confirm(kSendPowerTitle, kSendPowerText)) return;
    const char* failedCheck = nullptr;
    core::RunCommand(shell, "CALCULATE CF", [&] { failedCheck = Calculate(); });
    // Told once the command has ended, the page usable again behind the popup.
    if (failedCheck) dialogs.Message("ATTENTION!", failedCheck);
}

bool CalibrationModule::AverageFrames(Rgb& rawSums, std::uint32_t& deltaSum) {
    const core::CommandGate& gate = shell.Gate();
    for (int i = 0; i < kAveragedFrames && !gate.StopRequested(); ++i) {
        if (i % 5 == 0) {
            calibrationPage->ShowCalculating((i / 5) % 2 == 0);
            QCoreApplication::processEvents();
        }
        // A failure has been reported; the rest would only repeat it, a silent sensor one
        // time-out after another, and the means would be taken from fewer frames than counted.
        if (operations.Measure(state.live.frame) != Outcome::Reply) {
            calibrationPage->ShowCalculating(false);
            return false;
        }
        calibrationPage->ShowFrame(state.live.frame);
        using F = protocol::MeasurementFrame;
        const auto& w = state.live.frame.w;
        for (std::size_t c = 0; c < 3; ++c)
            rawSums[c] += w[F::kRawRed + c];
        deltaSum += RawDelta(w[F::kRawRed], w[F::kRawGreen], w[F::kRawBlue]);
    }
    calibrationPage->ShowCalculating(false);
    return !gate.StopRequested();
}

const char* CalibrationModule::Calculate() {
    shell.SetButtonsDimmed(0, 1);
    std::string outcome = "declined";
    if (!dialogs.Confirm(kConfirmTitle, kConfirmText)) {
        dialogs.Message("INFO!", kDeclinedText);
    } else {
        Rgb rawSums{};
        std::uint32_t deltaSum = 0;
        if (!AverageFrames(rawSums, deltaSum)) {
            // Stopped, failed, or the window closed: nothing goes to the sensor, and GO does not
            // start.
            shell.ReportCommand("CALCULATE CF", shell.Gate().StopRequested()
                                                    ? "stopped, nothing sent"
                                                    : "failed, nothing sent");
            shell.SetButtonsDimmed(0, 0);
            return nullptr;
        }
        const RawMeans means = MeansOf(rawSums, deltaSum);
        state.calibration.setValue = calibrationPage->SetValue();
        state.calibration.maxDelta = calibrationPage->MaxDelta();
        const auto factors = FactorsFor(state.calibration.setValue, means.raw);
        // A check that fails ends the command: the fields stay as they were, nothing is sent,
        // and GO does not start, so the operator can go on from the page.
        const bool deltaTooHigh = means.delta > state.calibration.maxDelta;
        if (deltaTooHigh || !factors) {
            shell.SetButtonsDimmed(0, 0);
            shell.ReportCommand("CALCULATE CF", deltaTooHigh ? "raw delta too high, nothing sent"
                                                             : "factor out of range, nothing sent");
            return deltaTooHigh ? kDeltaTooHigh : kFactorOutOfRange;
        }
        calibrationPage->ShowFactors(*factors);
        outcome = "passed";
    }
    // Passed or declined, the fields as they stand go to the sensor, and GO starts; success is
    // told only once the factors are in the sensor, and a send that failed ends the command.
    bool replaced = false;
    if (!SendFactors(&replaced)) {
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("CALCULATE CF",
                            outcome + ", but the factors were not sent: " + kFactorsNotInSensor);
        return nullptr;
    }
    // The sensor put its defaults in place of some: the factors it holds are not those computed.
    if (replaced)
        outcome += ", but the sensor replaced factors, see the log";
    else if (outcome == "passed")
        dialogs.Message(kPassedTitle, kPassedText);
    shell.ReportCommand("CALCULATE CF", outcome);
    shell.SetButtonsDimmed(1, 1);
    shell.ShowChildPanel(core::ChildPanel::Data);
    live.Drawing().DrawTaughtColours();
    live.Loop().RunGoLoop();
    shell.SetButtonsDimmed(0, 0);
    return nullptr;
}

void CalibrationModule::CBF_ButtonStartSelfCalibration() {
    if (!dialogs.Confirm(kSendPowerTitle, kSendPowerText)) return;
    bool valid = false;
    core::RunCommand(shell, "SELF CALIBRATION", [&] {
        shell.SetButtonsDimmed(0, 1);
        comm::SelfCalibrationWords words;
        valid = operations.StartSelfCalibration(words) == Outcome::Reply;
        if (valid) {
            calibrationPage->ShowFactors(words.factors);
            calibrationPage->ShowSetValueAndMaxDelta(words.setValue, words.maxDelta);
        }
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("SELF CALIBRATION",
                            valid ? std::string("factors received; ") + kFactorsNotInSensor
                                  : std::string("failed"));
    });
    // The command has ended when the popup asks for SEND CF: SEND CF is live behind it, and the
    // status bar says that the sensor does not hold the factors shown.
    if (valid) dialogs.Message("ATTENTION!", kConfirmWithSend);
}

void CalibrationModule::UnlockOffsetPage() {
    shell.SetPageVisible(core::MainPage::Offset, true);
    shell.ShowPage(core::MainPage::Offset);
}

void CalibrationModule::CBF_ButtonCloseOffsetCompensation() {
    shell.SetPageVisible(core::MainPage::Offset, false);
    shell.ShowPage(core::MainPage::Parameters);
}

void CalibrationModule::CBF_ButtonSendOffset() {
    core::RunCommand(shell, "SEND OFFSET", [this] {
        shell.SetButtonsDimmed(0, 1);
        state.calibration.offsets = offsetPage->Offsets();
        std::uint16_t replaced = 0;
        const bool sent = operations.WriteCalibration(protocol::kOffsets, state.calibration.offsets,
                                                      &replaced) == Outcome::Reply;
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("SEND OFFSET", WriteOutcome(sent, replaced > 0));
    });
}

void CalibrationModule::CBF_ButtonGetOffset() {
    core::RunCommand(shell, "GET OFFSET", [this] {
        shell.SetButtonsDimmed(0, 1);
        const bool read = ReadCalibrationData() == Outcome::Reply;
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("GET OFFSET", read ? "done" : "failed");
    });
}

void CalibrationModule::CBF_ButtonCalcOffset() {
    if (!dialogs.Confirm(kOffsetTitle, kOffsetText)) return;
    core::RunCommand(shell, "CALCULATE OFFSET", [this] {
        shell.SetButtonsDimmed(0, 1);
        const bool measured = operations.MeasureOffsets() == Outcome::Reply &&
                              ReadCalibrationData() == Outcome::Reply;
        if (measured) offsetPage->ShowMeasuredOffsets(state.calibration.offsets);
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("CALCULATE OFFSET", measured ? "done" : "failed");
    });
}

void CalibrationModule::CBF_ButtonGenHwInfoFile() {
    core::RunCommand(shell, "HW INFO FILE", [this] {
        shell.SetButtonsDimmed(0, 1);
        const HardwareInfoEnd end = WriteHardwareInfoFile();
        shell.SetButtonsDimmed(0, 0);
        // The reads inside reported their own ends ("GET ...: done"): the command's is the last.
        if (!end.log.empty()) shell.AppendLog(end.log);
        shell.ReportCommand("HW INFO FILE", end.outcome);
        shell.ReleaseLinkControls();
    });
}

CalibrationModule::HardwareInfoEnd CalibrationModule::WriteHardwareInfoFile() {
    const auto failed = [this](const std::string& step, Outcome outcome) -> HardwareInfoEnd {
        // A read is given up when the link is lost (its close told in the log) or the window
        // closes.
        if (outcome == Outcome::Cancelled && shell.Gate().Cause() == core::StopCause::LinkLost)
            outcome = Outcome::Closed;
        if (outcome == Outcome::Cancelled)
            return {"stopped, no file written", "HW INFO FILE STOPPED: NO FILE WAS WRITTEN.\n\n"};
        const std::string cause = step + ": " + ExchangeFailureCause(outcome);
        return {"failed, " + cause + "; no file written",
                "HW INFO FILE FAILED: " + UpperCase(cause) + ". NO FILE WAS WRITTEN.\n\n"};
    };
    const std::uint16_t target = state.params.memoryTarget;
    state.params.memoryTarget = core::kRam;
    const int got = transfers.GetParameters();
    state.params.memoryTarget = target;
    // GET has told its failure in the log; what ended it is the link's to say there.
    if (got != 1)
        return {"failed, the parameters could not be read (GET); no file written",
                "HW INFO FILE FAILED: THE PARAMETERS COULD NOT BE READ (GET). NO FILE WAS "
                "WRITTEN.\n\n"};
    const Outcome calibrationRead = ReadCalibrationData();
    if (calibrationRead != Outcome::Reply)
        return failed("calibration (order 102)", calibrationRead);
    comm::HardwareBlock words{};
    const Outcome hardwareRead = operations.ReadHardwareBlock(words);
    if (hardwareRead != Outcome::Reply) return failed("hardware info (order 194)", hardwareRead);

    const auto selection = dialogs.SelectFile(
        "HardwareInitialFile", core::DialogStartDirectory(state.settings.hardwareInfoPath),
        "HardwareInitialFile.ini", "*.ini", true);
    if (selection.choice == core::OperatorDialogs::FileChoice::None || selection.path.empty())
        return {"no file selected, nothing written", "ATTENTION!   NO FILE WAS SELECTED!\n\n"};
    state.settings.hardwareInfoPath = selection.path;
    transfers.GetParametersFromPanel();
    state.calibration.factors = calibrationPage->Factors();
    state.calibration.offsets = offsetPage->Offsets();

    HardwareInfo info;
    info.firmwareId = state.link.firmwareId;
    info.words = words;
    info.factors = state.calibration.factors;
    info.offsets = state.calibration.offsets;
    // A file that could not be written is said to be so, and why, not reported as saved.
    std::string refusal;
    if (calibration::WriteHardwareInfoFile(selection.path, info, state.params.image, &refusal) <
        0) {
        const std::string why = refusal.empty() ? UnwrittenFileCause(selection.path) : refusal;
        core::ReportUnwrittenFile(dialogs, selection.path, why);
        return {"failed, the file could not be written: " + why,
                "HW INFO FILE FAILED: HARDWARE INI FILE COULD NOT BE WRITTEN.\n" + why + "\n\n"};
    }
    shell.AppendLog("HARDWARE INI FILE HAS BEEN SAVED TO:\n" + selection.path + "\n\n");
    return {"done", {}};
}

} // namespace calibration
