#include "link/CommModule.h"

#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/Shell.h"
#include "link/CommPage.h"
#include "link/Connection.h"
#include "link/LinkHelp.h"
#include "link/SerialDevices.h"

namespace comm {

CommModule::CommModule(core::AppState& state, core::Shell& shell, core::Registrar& registrar,
                       SensorLink& link, core::ParameterTransfers& transfers)
    : state(state), shell(shell), page(new CommPage(state)),
      connection(std::make_unique<Connection>(state, shell, link, *page, transfers)) {
    registrar.AddPage(core::MainPage::Communication, page);
    page->RegisterCommandControls(registrar);
    registrar.AddHelp(LinkHelp());

    connect(page, &CommPage::ConnectRequested, this, &CommModule::RunTryToConnect);
    connect(page, &CommPage::BaudrateChangeRequested, this, &CommModule::RunChangeBaudrate);
}

CommModule::~CommModule() = default;

void CommModule::RunTryToConnect() {
    core::RunCommand(shell, "TRY TO CONNECT", [this] {
        shell.SetButtonsDimmed(0, 1);
        connection->TryToConnect();
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("TRY TO CONNECT", state.flags.linkGood ? "connected" : "failed");
    });
}

void CommModule::RunChangeBaudrate() {
    core::RunCommand(shell, "CHANGE BAUDRATE", [this] {
        shell.SetButtonsDimmed(0, 1);
        page->SetLinkButtonsDimmed(true);
        connection->ChangeBaudrate();
        shell.SetButtonsDimmed(0, 0);
        shell.ReportCommand("CHANGE BAUDRATE to " +
                                std::to_string(BaudRateOfCode(state.link.baudRateCode)),
                            state.flags.linkGood ? "done" : "failed");
    });
}

} // namespace comm
