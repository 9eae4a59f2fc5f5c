#include "commpage/CommModule.h"

#include "commpage/CommPage.h"
#include "commpage/Connection.h"
#include "commpage/LinkHelp.h"
#include "commpage/MonitorWindow.h"
#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/Shell.h"
#include "link/ProtocolMonitor.h"
#include "link/SensorLink.h"
#include "link/SerialDevices.h"

namespace comm {

CommModule::CommModule(core::AppState& state, core::Shell& shell, core::Registrar& registrar,
                       SensorLink& link, SensorOperations& operations,
                       core::ParameterTransfers& transfers)
    : state(state), shell(shell), link(link), page(new CommPage(state)),
      monitor(std::make_unique<ProtocolMonitor>()),
      connection(std::make_unique<Connection>(state, shell, operations, *page, transfers)) {
    registrar.AddPage(core::MainPage::Communication, page);
    page->RegisterCommandControls(registrar);
    registrar.AddHelp(LinkHelp());

    // Both read the sensor's parameters into the panel.
    connect(page, &CommPage::ConnectRequested, this, [this] {
        if (!mayReadParameters || mayReadParameters()) RunTryToConnect();
    });
    connect(page, &CommPage::BaudrateChangeRequested, this, [this] {
        if (!mayReadParameters || mayReadParameters()) RunChangeBaudrate();
    });
    connect(page, &CommPage::MonitorToggled, this, &CommModule::ShowMonitor);
}

CommModule::~CommModule() {
    if (link.FrameTap() == monitor.get()) link.SetFrameTap(nullptr);
}

void CommModule::ShowMonitor(bool open) {
    link.SetFrameTap(open ? monitor.get() : nullptr);
    page->SetMonitorChecked(open);
    if (open) {
        if (!monitorWindow) {
            monitorWindow = new MonitorWindow(*monitor, page);
            connect(monitorWindow, &MonitorWindow::Closed, this, [this] { ShowMonitor(false); });
        }
        monitorWindow->show();
        monitorWindow->raise();
    } else if (monitorWindow && monitorWindow->isVisible()) {
        monitorWindow->close();
    }
}

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
