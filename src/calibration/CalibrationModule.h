#pragma once
// White calibration, offset compensation and the hardware info file as the window composes
// them: the two pages, their exchanges with the sensor through the command gate, the averaging
// of 100 frames, and the support file written after a complete read of the sensor.
#include "model/CalibrationMath.h"
#include "protocol/Exchange.h"

#include <QObject>

#include <string>

namespace core {
struct AppState;
class OperatorDialogs;
class ParameterTransfers;
class Registrar;
class Shell;
} // namespace core
namespace comm {
class SensorOperations;
}
namespace live {
class LiveModule;
}

namespace calibration {

class CalibrationPage;
class OffsetPage;

class CalibrationModule : public QObject {
    Q_OBJECT
public:
    CalibrationModule(core::AppState& state, core::Shell& shell, core::OperatorDialogs& dialogs,
                      core::Registrar& registrar, comm::SensorOperations& operations,
                      live::LiveModule& live, core::ParameterTransfers& transfers);

    CalibrationPage& Calibration() { return *calibrationPage; }
    OffsetPage& Offsets() { return *offsetPage; }
    // The password was right: the service page shows and comes to the front.
    void UnlockOffsetPage();

    void CBF_ButtonSendCF();
    void CBF_ButtonGetCF();
    void CBF_ButtonCalcCF();
    void CBF_ButtonStartSelfCalibration();
    void CBF_ButtonSendOffset();
    void CBF_ButtonGetOffset();
    void CBF_ButtonCalcOffset();
    void CBF_ButtonCloseOffsetCompensation();
    void CBF_ButtonGenHwInfoFile();

private:
    // The factor fields to the sensor; false after a failure.
    // True once the factors are in the sensor; `replaced` tells whether it replaced any.
    bool SendFactors(bool* replaced = nullptr);
    // The factor fields and the offset fields from the sensor; the exchange's outcome.
    protocol::Outcome ReadCalibrationData();
    // The 100-frame calculation; the text of the check that failed, to be shown once the
    // command has ended, or nullptr.
    const char* Calculate();
    // Adds up the raw values of 100 measurements; false when the command was stopped or an
    // exchange failed.
    bool AverageFrames(Rgb& rawSums, std::uint32_t& deltaSum);
    // How HW INFO FILE ended: the status bar's words, and the log's when it did not save.
    struct HardwareInfoEnd {
        std::string outcome;
        std::string log;
    };
    HardwareInfoEnd WriteHardwareInfoFile();

    core::AppState& state;
    core::Shell& shell;
    core::OperatorDialogs& dialogs;
    comm::SensorOperations& operations;
    live::LiveModule& live;
    core::ParameterTransfers& transfers;
    CalibrationPage* calibrationPage;
    OffsetPage* offsetPage;
};

} // namespace calibration
