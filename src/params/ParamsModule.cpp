#include "params/ParamsModule.h"

#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/OperatorDialogs.h"
#include "core/Shell.h"
#include "params/GroupHoldPage.h"
#include "params/ParameterHelp.h"
#include "params/ParameterPage.h"
#include "params/ParameterPanels.h"
#include "params/ParameterTransfer.h"
#include "params/TeachTablePage.h"
#include "params/TransferControls.h"

namespace params {

ParamsModule::ParamsModule(core::AppState& state, core::Shell& shell,
                           core::OperatorDialogs& dialogs, core::Registrar& registrar,
                           comm::SensorOperations& operations, live::DataPanel& data,
                           live::LiveDrawing& drawing)
    : state(state), shell(shell), dialogs(dialogs), parameterPage(new ParameterPage),
      groupHoldPage(new GroupHoldPage(dialogs)), teachTablePage(new TeachTablePage),
      transferControls(new TransferControls(state)),
      panels(std::make_unique<ParameterPanels>(
          state, shell, dialogs,
          ParameterPanels::Pages{*parameterPage, *groupHoldPage, *teachTablePage,
                                 *transferControls},
          data, drawing)),
      transfer(std::make_unique<ParameterTransfer>(state, shell, dialogs, operations, *panels)) {
    registrar.AddPage(core::MainPage::Parameters, parameterPage);
    registrar.AddPage(core::MainPage::GroupHold, groupHoldPage);
    registrar.AddPage(core::MainPage::TeachTable, teachTablePage);
    registrar.AddToCommandBar(transferControls, false);
    transferControls->RegisterCommandControls(registrar);
    registrar.AddHelp(ParameterHelp());

    ParameterPanels* rules = panels.get();
    connect(parameterPage, &ParameterPage::RulesRequested, rules,
            &ParameterPanels::ApplyParameterRules);
    connect(parameterPage, &ParameterPage::CalculationModeChanged, rules, [rules] {
        rules->ConvertTeachTable();
        rules->ApplyParameterRules();
        rules->RedrawTaughtColours();
    });
    connect(groupHoldPage, &GroupHoldPage::RulesRequested, rules,
            &ParameterPanels::ApplyParameterRules);
    connect(groupHoldPage, &GroupHoldPage::GroupCellEdited, rules, [rules, &shell] {
        rules->ApplyParameterRules();
        // The limit check may have brought another page to the front.
        shell.ShowPage(core::MainPage::GroupHold);
    });
    connect(teachTablePage, &TeachTablePage::CellsEdited, rules,
            &ParameterPanels::RedrawTaughtColours);
    connect(transferControls, &TransferControls::SendRequested, this, &ParamsModule::RunSend);
    connect(transferControls, &TransferControls::GetRequested, this, [this] {
        if (MayReplacePanel(this->state.params.memoryTarget == core::kFile
                                ? "GET replaces them with the parameters of a file."
                                : "GET replaces them with the parameters of the sensor."))
            RunGet();
    });
    shell.Gate().SetQueueServer([this] { ServeQueued(); });
    transfer->MarkPanelInStep();
}

bool ParamsModule::ShowUnsent() {
    const bool unsent = transfer->PanelUnsent();
    transferControls->ShowUnsent(unsent);
    return unsent;
}

bool ParamsModule::MayReplacePanel(const std::string& how) {
    if (!transfer->PanelUnsent()) return true;
    return dialogs.ConfirmLoss("ATTENTION!", std::string(kUnsentText) + how + " \nReplace them?");
}

ParamsModule::~ParamsModule() {
    shell.Gate().SetQueueServer({});
}

core::ParameterTransfers& ParamsModule::Transfers() {
    return *transfer;
}

void ParamsModule::RunSend() {
    RunTransfer("SEND", state.flags.pendingSend, [this] { transfer->SendParameters(); });
}

void ParamsModule::RunGet() {
    RunTransfer("GET", state.flags.pendingGet, [this] { transfer->GetParameters(); });
}

void ParamsModule::OpenParameterFile(const std::string& path) {
    core::RunCommand(shell, "GET", [this, &path] {
        shell.SetButtonsDimmed(0, 1);
        transfer->OpenParameterFile(path);
        shell.SetButtonsDimmed(0, 0);
    });
}

void ParamsModule::RunTransfer(const char* name, std::uint16_t& pending,
                               const std::function<void()>& transferNow) {
    if (shell.Gate().Busy()) {
        pending = 1;
        return;
    }
    shell.Gate().Run(name, [this, &transferNow] {
        shell.SetButtonsDimmed(0, 1);
        transferNow();
        shell.SetButtonsDimmed(0, 0);
    });
}

void ParamsModule::ServeQueued() {
    // SEND before GET, as the GO loop serves them. Each clears its flag when it starts.
    while (!shell.Gate().Closed() && !shell.Gate().Busy() &&
           (state.flags.pendingSend || state.flags.pendingGet)) {
        if (state.flags.pendingSend)
            RunSend();
        else
            RunGet();
    }
}

} // namespace params
