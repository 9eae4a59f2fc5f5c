#include "params/ParameterTransfer.h"

#include "core/AppState.h"
#include "core/Shell.h"
#include "link/SensorOperations.h"
#include "params/ParameterPanels.h"

#include <algorithm>
#include <string>

namespace params {

ParameterTransfer::ParameterTransfer(core::AppState& state, core::Shell& shell,
                                     core::OperatorDialogs& dialogs,
                                     comm::SensorOperations& operations, ParameterPanels& panels)
    : state(state), shell(shell), dialogs(dialogs), operations(operations), panels(panels) {}

void ParameterTransfer::GetParametersFromPanel() {
    panels.GetParametersFromPanel();
}

void ParameterTransfer::MarkPanelInStep() {
    inStep = panels.PanelImage();
}

bool ParameterTransfer::PanelUnsent() {
    const protocol::ParameterImage now = panels.PanelImage();
    if (now.parameters != inStep.parameters) return true;
    // Word 7 of a row is the sensor's own; the panel never edits it.
    for (std::size_t r = 0; r < now.table.size(); ++r)
        if (!std::equal(now.table[r].w.begin(), now.table[r].w.begin() + 7,
                        inStep.table[r].w.begin()))
            return true;
    return false;
}

std::string ParameterTransfer::Describe(bool send, std::uint16_t paraSet) const {
    static const char* const kTargets[4] = {"", "RAM", "EEPROM", "FILE"};
    const std::uint16_t target = state.params.memoryTarget;
    std::string text = send ? "SEND to " : "GET from ";
    text += target <= core::kFile ? kTargets[target] : "?";
    if (target != core::kFile) text += ", parameter set " + std::to_string(paraSet);
    return text;
}

std::string ParameterTransfer::OutcomeText(const comm::TransferResult& result) {
    switch (result.outcome) {
    case comm::TransferResult::Completed:
        return result.replaced ? "done; the sensor replaced parameters, see the log" : "done";
    case comm::TransferResult::Cancelled:
        return "stopped";
    case comm::TransferResult::Failed:
        break;
    }
    return "failed";
}

int ParameterTransfer::SendParameters() {
    state.flags.pendingSend = 0;
    if (state.params.memoryTarget == core::kFile) {
        const std::string outcome = WriteParameterFile();
        shell.ReportCommand(Describe(true, 0), outcome);
        return 1;
    }
    panels.GetParametersFromPanel();
    const std::uint16_t paraSet = panels.ParaSetInUse();
    const comm::TransferResult result =
        operations.SendParameters(state.params.image, paraSet, state.params.memoryTarget);
    shell.ReportCommand(Describe(true, paraSet), OutcomeText(result));
    // Values the sensor replaced show as it holds them, not as they were sent.
    if (result.readBack) {
        state.params.image = result.held;
        panels.PutParametersToPanel();
        panels.ApplyParameterRules();
        panels.DrawTaughtColours();
    }
    if (result.Done()) MarkPanelInStep();
    return result.Done() ? 1 : -1;
}

int ParameterTransfer::GetParameters() {
    state.flags.pendingGet = 0;
    if (state.params.memoryTarget == core::kFile) {
        const std::string outcome = ReadParameterFile();
        shell.ReportCommand(Describe(false, 0), outcome);
        return 1;
    }
    const std::uint16_t paraSet = panels.ParaSetInUse();
    const comm::TransferResult result =
        operations.GetParameters(paraSet, state.params.memoryTarget, state.params.image);
    shell.ReportCommand(Describe(false, paraSet), OutcomeText(result));
    if (!result.Done()) return -1;
    panels.PutParametersToPanel();
    panels.ApplyParameterRules();
    panels.DrawTaughtColours();
    MarkPanelInStep();
    return 1;
}

} // namespace params
