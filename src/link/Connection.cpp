#include "link/Connection.h"

#include "app/AppState.h"
#include "app/Program.h"
#include "link/CommPage.h"
#include "link/SensorLink.h"
#include "link/SerialDevices.h"
#include "link/ServerList.h"
#include "live/DataPanel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void ShowLinkFields(Program& program) {
    auto& page = program.Comm();
    const int protocol = page.editCommunicationProtocol->currentData().toInt();
    program.state.link.protocol = static_cast<std::uint16_t>(protocol);
    if (protocol != kRs232 && protocol != kTcpIp) return;
    const bool serial = protocol == kRs232;
    page.editSelectComPort->setVisible(serial);
    page.labelComPort->setVisible(serial);
    page.editSelectBaudrate->setVisible(serial);
    page.labelBaudrate->setVisible(serial);
    page.buttonChangeBaudrate->setVisible(serial);
    page.stringIpAdress->setVisible(!serial);
    page.labelServer->setVisible(!serial);
    page.stringPortNumber->setVisible(!serial);
    page.labelPort->setVisible(!serial);
}

void TryToConnect(Program& program) {
    auto& state = program.state;
    auto& page = program.Comm();
    auto& data = program.Data();
    program.Link().CloseSerialPort();
    program.SetStatusLine("TRY TO CONNECT!");
    program.AppendLog("TRY TO CONNECT!\n");

    state.link.protocol =
        static_cast<std::uint16_t>(page.editCommunicationProtocol->currentData().toInt());
    state.link.serialPortNumber = static_cast<std::uint16_t>(page.SelectedComPort());
    state.link.baudRateCode =
        static_cast<std::uint16_t>(page.editSelectBaudrate->currentData().toInt());
    state.link.serverName = page.stringIpAdress->currentText().left(255).toStdString();
    state.link.tcpPortText = page.stringPortNumber->text().left(31).toStdString();
    QCoreApplication::processEvents();

    data.dispComPort->setText(QString::number(state.link.serialPortNumber));
    data.dispServer->setText(QString::fromStdString(state.link.serverName));
    state.link.tcpPortNumber = TcpPortNumberOfText(state.link.tcpPortText);

    const bool serial = state.link.protocol == kRs232;
    data.dispComPort->setVisible(serial);
    data.labelComPort->setVisible(serial);
    data.dispServer->setVisible(!serial);
    data.labelServer->setVisible(!serial);
    if (serial)
        program.Link().OpenSerialPort();
    else
        program.Link().ConnectToServer();
    if (state.link.openResult >= 0) IdentifySensor(program);
}

void IdentifySensor(Program& program) {
    auto& state = program.state;
    auto& link = program.Link();
    state.frames.currentOrder = 7;
    link.BuildRequestFrame(7, 0, 0, 0);
    if (link.ExchangeFrames(8) != 1) return;
    state.link.firmwareId =
        FirmwareIdFromReply(state.link.receiveBuffer.data() + 8, state.frames.dataLength);
    program.SetStatusLine(state.link.firmwareId);
    program.AppendLog(state.link.firmwareId + "\n\n");
    state.flags.linkGood = 1;
    program.GetParameters();
    if (state.flags.linkGood == 1) program.SetLinkButtonsDimmed(false);
}

void ChangeBaudrate(Program& program) {
    auto& state = program.state;
    auto& link = program.Link();
    state.link.baudRateCode =
        static_cast<std::uint16_t>(program.Comm().editSelectBaudrate->currentData().toInt());
    program.AppendLog("TRY TO CHANGE BAUDRATE!\n");
    state.frames.currentOrder = 190;
    link.BuildRequestFrame(190, 0, state.link.baudRateCode, 0);
    if (link.ExchangeFrames(8) != 1) return;
    program.AppendLog("SUCCESS!\n");
    link.OpenSerialPort();
    state.flags.linkGood = 1;
    TryToConnect(program);
    if (state.flags.linkGood == 1)
        program.AppendLog("ATTENTION!!!   CONFIRM NEW BAUDRATE WITH EEPROM AND SEND!\n\n");
}
