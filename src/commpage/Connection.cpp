#include "commpage/Connection.h"

#include "commpage/CommPage.h"
#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/ParameterTransfers.h"
#include "core/Shell.h"
#include "core/Text.h"
#include "link/SensorLink.h"
#include "link/SensorOperations.h"
#include "link/SerialDevices.h"
#include "link/ServerList.h"

#include <QCoreApplication>

namespace comm {

Connection::Connection(core::AppState& state, core::Shell& shell, SensorOperations& operations,
                       CommPage& page, core::ParameterTransfers& transfers)
    : state(state), shell(shell), operations(operations), page(page), transfers(transfers) {}

void Connection::TryToConnect() {
    SensorLink& link = operations.Link();
    link.CloseSerialPort();
    shell.SetStatusLine("TRY TO CONNECT!");
    shell.AppendLog("TRY TO CONNECT!\n");

    const LinkSettings chosen = page.Settings();
    state.link.protocol = chosen.protocol;
    state.link.serialPortNumber = chosen.serialPort;
    state.link.serialDevicePath = chosen.serialDevice;
    state.link.baudRateCode = chosen.baudRateCode;
    state.link.serverName = chosen.serverName;
    state.link.tcpPortText = chosen.tcpPortText;
    QCoreApplication::processEvents();

    state.link.tcpPortNumber = TcpPortNumberOfText(state.link.tcpPortText);
    const bool serial = state.link.protocol == core::kRs232;
    emit LinkInUse(serial, state.link.serialPortNumber, core::TextOfBytes(state.link.serverName));
    const int opened =
        serial ? link.OpenSerialPort(state.link.serialPortNumber, state.link.serialDevicePath,
                                     state.link.baudRateCode)
               : link.ConnectToServer(state.link.serverName, state.link.tcpPortNumber);
    if (serial && opened >= 0) shell.AppendLog(link.LowLatencyReport() + "\n");
    // A stop or a closed window ends the attempt here.
    if (opened >= 0 && !shell.Gate().StopRequested()) IdentifySensor();
}

void Connection::IdentifySensor() {
    std::string firmwareId;
    // An error reply (reported by the exchange) identifies nothing: not connected.
    if (operations.Identify(firmwareId) != protocol::Outcome::Reply) return;
    state.link.firmwareId = firmwareId;
    shell.SetStatusLine(state.link.firmwareId);
    shell.AppendLog(state.link.firmwareId + "\n\n");
    state.flags.linkGood = 1;
    if (shell.Gate().StopRequested()) return;
    transfers.GetParameters();
    if (state.flags.linkGood == 1) page.SetLinkButtonsDimmed(false);
}

void Connection::ChangeBaudrate() {
    state.link.baudRateCode = static_cast<std::uint16_t>(page.SelectedBaudRateCode());
    shell.AppendLog("TRY TO CHANGE BAUDRATE!\n");
    // A refused change leaves the sensor at the old rate, and so the port.
    if (operations.ChangeBaudrate(state.link.baudRateCode) != protocol::Outcome::Reply) return;
    shell.AppendLog("SUCCESS!\n");
    operations.Link().OpenSerialPort(state.link.serialPortNumber, state.link.serialDevicePath,
                                     state.link.baudRateCode);
    state.flags.linkGood = 1;
    TryToConnect();
    if (state.flags.linkGood == 1)
        shell.AppendLog("ATTENTION!!!   CONFIRM NEW BAUDRATE WITH EEPROM AND SEND!\n\n");
}

} // namespace comm
