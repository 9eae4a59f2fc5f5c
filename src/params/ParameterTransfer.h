#pragma once
// SEND and GET as the window gives them: the sensor's part through the shared sensor operations
// (or the parameter file with FILE), the result shown in the controls and told in the status bar.
#include "core/ParameterTransfers.h"
#include "protocol/ParameterImage.h"

#include <cstdint>
#include <string>

namespace core {
struct AppState;
class OperatorDialogs;
class Shell;
} // namespace core
namespace comm {
class SensorOperations;
struct TransferResult;
} // namespace comm

namespace params {

class ParameterPanels;

class ParameterTransfer : public core::ParameterTransfers {
public:
    ParameterTransfer(core::AppState& state, core::Shell& shell, core::OperatorDialogs& dialogs,
                      comm::SensorOperations& operations, ParameterPanels& panels);

    int SendParameters() override;
    int GetParameters() override;
    void GetParametersFromPanel() override;
    bool PanelUnsent() override;
    // The panel as it stands now is what the sensor holds (after a SEND or GET that worked).
    void MarkPanelInStep();

    // SEND and GET with FILE selected: the parameter file chosen in a dialog each time. They
    // return how it ended, in the operator's words ("done", "cancelled", ...).
    std::string WriteParameterFile();
    std::string ReadParameterFile();
    // The parameter file named when the program was started, read into the panel as GET from
    // FILE reads the one chosen, and reported as such.
    void OpenParameterFile(const std::string& path);

private:
    std::string ReadParameterFileAt(const std::string& path);
    // "SEND to EEPROM, parameter set 0", "GET from FILE".
    std::string Describe(bool send, std::uint16_t paraSet) const;
    // How a transfer ended, for the status bar.
    static std::string OutcomeText(const comm::TransferResult& result);

    core::AppState& state;
    core::Shell& shell;
    core::OperatorDialogs& dialogs;
    comm::SensorOperations& operations;
    ParameterPanels& panels;
    protocol::ParameterImage inStep; // the panel as it was when it last matched the sensor
};

} // namespace params
