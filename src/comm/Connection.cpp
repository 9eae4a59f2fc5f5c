#include "comm/Connection.h"

#include "comm/CommPage.h"
#include "comm/SensorLink.h"
#include "comm/SerialDevices.h"
#include "comm/ServerList.h"
#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/ParameterTransfers.h"
#include "core/Shell.h"
#include "core/Text.h"

#include <QCoreApplication>

namespace comm {

Connection::Connection(core::AppState& state, core::Shell& shell, SensorLink& link, CommPage& page,
                       core::ParameterTransfers& transfers)
    : state(state), shell(shell), link(link), page(page), transfers(transfers) {}

void Connection::TryToConnect() {
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
    if (serial)
        link.OpenSerialPort();
    else
        link.ConnectToServer();
    // A window closed meanwhile ends the attempt here: it only waits for the end of the run.
    if (state.link.openResult >= 0 && !shell.Gate().Closed()) IdentifySensor();
}

void Connection::IdentifySensor() {
    state.frames.currentOrder = 7;
    link.BuildRequestFrame(7, 0, 0, 0);
    // An error reply (reported by the exchange) identifies nothing: not connected.
    if (link.ExchangeFrames(8) != 1 || state.frames.replyCode == 0) return;
    state.link.firmwareId =
        FirmwareIdFromReply(state.link.receiveBuffer.data() + 8, state.frames.dataLength);
    shell.SetStatusLine(state.link.firmwareId);
    shell.AppendLog(state.link.firmwareId + "\n\n");
    state.flags.linkGood = 1;
    if (shell.Gate().Closed()) return;
    transfers.GetParameters();
    if (state.flags.linkGood == 1) page.SetLinkButtonsDimmed(false);
}

void Connection::ChangeBaudrate() {
    state.link.baudRateCode = static_cast<std::uint16_t>(page.SelectedBaudRateCode());
    shell.AppendLog("TRY TO CHANGE BAUDRATE!\n");
    state.frames.currentOrder = 190;
    link.BuildRequestFrame(190, 0, state.link.baudRateCode, 0);
    // A refused change leaves the sensor at the old rate, and so the port.
    if (link.ExchangeFrames(8) != 1 || state.frames.replyCode == 0) return;
    shell.AppendLog("SUCCESS!\n");
    link.OpenSerialPort();
    state.flags.linkGood = 1;
    TryToConnect();
    if (state.flags.linkGood == 1)
        shell.AppendLog("ATTENTION!!!   CONFIRM NEW BAUDRATE WITH EEPROM AND SEND!\n\n");
}

void Connection::GiveUp() {
    link.CancelConnect();
}

} // namespace comm
