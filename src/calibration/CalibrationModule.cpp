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
constexpr const char* kOffsetTitle = "CALCULATE OFFSET";
constexpr const char* kOffsetText = "Make sure, that the receiver of the sensor is covered!";

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

bool CalibrationModule::ReadCalibrationData() {
    comm::CalibrationWords words;
    if (operations.ReadCalibration(words) != Outcome::Reply) return false;
    state.calibration.factors = words.factors;
    state.calibration.offsets = words.offsets;
    calibrationPage->ShowFactors(state.calibration.factors);
    offsetPage->ShowOffsetFields(state.calibration.offsets);
    return true;
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
        const bool read = ReadCalibrationData();
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("GET CF", read ? "done" : "failed");
    });
}

void CalibrationModule::CBF_ButtonCalcCF() {
    if (!dialogs.Confirm(kSendPowerTitle, kSendPowerText)) return;
    core::RunCommand(shell, "CALCULATE CF", [this] { Calculate(); });
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

void CalibrationModule::Calculate() {
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
            return;
        }
        const RawMeans means = MeansOf(rawSums, deltaSum);
        state.calibration.setValue = calibrationPage->SetValue();
        state.calibration.maxDelta = calibrationPage->MaxDelta();
        const auto factors = FactorsFor(state.calibration.setValue, means.raw);
        if (means.delta > state.calibration.maxDelta) {
            dialogs.Message("ATTENTION!", kDeltaTooHigh);
            outcome = "raw delta too high";
        } else if (!factors) {
            dialogs.Message("ATTENTION!", kFactorOutOfRange);
            outcome = "factor out of range";
        } else {
            calibrationPage->ShowFactors(*factors);
            outcome = "passed";
        }
    }
    // In every case the fields as they stand go to the sensor, and GO starts; success is told
    // only once the factors are in the sensor, and a send that failed ends the command.
    bool replaced = false;
    if (!SendFactors(&replaced)) {
        shell.ReportCommand("CALCULATE CF", outcome + ", but the factors were not sent");
        shell.SetButtonsDimmed(0, 0);
        return;
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
}

void CalibrationModule::CBF_ButtonStartSelfCalibration() {
    if (!dialogs.Confirm(kSendPowerTitle, kSendPowerText)) return;
    core::RunCommand(shell, "SELF CALIBRATION", [this] {
        shell.SetButtonsDimmed(0, 1);
        comm::SelfCalibrationWords words;
        const bool valid = operations.StartSelfCalibration(words) == Outcome::Reply;
        if (valid) {
            calibrationPage->ShowFactors(words.factors);
            calibrationPage->ShowSetValueAndMaxDelta(words.setValue, words.maxDelta);
            dialogs.Message("ATTENTION!", kConfirmWithSend);
        }
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("SELF CALIBRATION", valid ? "factors received" : "failed");
    });
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
        const bool read = ReadCalibrationData();
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("GET OFFSET", read ? "done" : "failed");
    });
}

void CalibrationModule::CBF_ButtonCalcOffset() {
    if (!dialogs.Confirm(kOffsetTitle, kOffsetText)) return;
    core::RunCommand(shell, "CALCULATE OFFSET", [this] {
        shell.SetButtonsDimmed(0, 1);
        const bool measured =
            operations.MeasureOffsets() == Outcome::Reply && ReadCalibrationData();
        if (measured) offsetPage->ShowMeasuredOffsets(state.calibration.offsets);
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("CALCULATE OFFSET", measured ? "done" : "failed");
    });
}

void CalibrationModule::CBF_ButtonGenHwInfoFile() {
    core::RunCommand(shell, "HW INFO FILE", [this] {
        shell.SetButtonsDimmed(0, 1);
        WriteHardwareInfoFile();
        shell.SetButtonsDimmed(0, 0);
    });
}

void CalibrationModule::WriteHardwareInfoFile() {
    const std::uint16_t target = state.params.memoryTarget;
    state.params.memoryTarget = core::kRam;
    const int got = transfers.GetParameters();
    state.params.memoryTarget = target;
    if (got != 1 || !ReadCalibrationData()) return;
    comm::HardwareBlock words{};
    if (operations.ReadHardwareBlock(words) != Outcome::Reply) return;

    const auto selection = dialogs.SelectFile(
        "HardwareInitialFile", core::DialogStartDirectory(state.settings.hardwareInfoPath),
        "HardwareInitialFile.ini", "*.ini", true);
    if (selection.choice == core::OperatorDialogs::FileChoice::None || selection.path.empty()) {
        shell.AppendLog("ATTENTION!   NO FILE WAS SELECTED!\n\n");
        return;
    }
    state.settings.hardwareInfoPath = selection.path;
    transfers.GetParametersFromPanel();
    state.calibration.factors = calibrationPage->Factors();
    state.calibration.offsets = offsetPage->Offsets();

    HardwareInfo info;
    info.firmwareId = state.link.firmwareId;
    info.words = words;
    info.factors = state.calibration.factors;
    info.offsets = state.calibration.offsets;
    // A file that could not be written is said to be so, not reported as saved.
    std::string refusal;
    if (calibration::WriteHardwareInfoFile(selection.path, info, state.params.image, &refusal) <
        0) {
        shell.AppendLog("HARDWARE INI FILE COULD NOT BE WRITTEN TO:\n" + selection.path + "\n\n");
        core::ReportUnwrittenFile(dialogs, selection.path, refusal);
        return;
    }
    shell.AppendLog("HARDWARE INI FILE HAS BEEN SAVED TO:\n" + selection.path + "\n\n");
}

} // namespace calibration
