#include "link/CommPage.h"

#include "app/AppState.h"
#include "app/MainPanel.h"
#include "app/Program.h"
#include "link/Connection.h"
#include "link/SerialDevices.h"
#include "link/ServerList.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

CommPage::CommPage(Program& program, QWidget* parent) : QWidget(parent), program(program) {
    setObjectName(QStringLiteral("CommPage"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);

    editCommunicationProtocol = new QComboBox(this);
    editCommunicationProtocol->setObjectName(QStringLiteral("EditCommunicationProtocol"));
    editCommunicationProtocol->addItem(QStringLiteral("RS232"), 0);
    editCommunicationProtocol->addItem(QStringLiteral("TCP/IP"), 1);
    form->addRow(tr("PROTOCOL"), editCommunicationProtocol);

    editSelectComPort = new QComboBox(this);
    editSelectComPort->setObjectName(QStringLiteral("EditSelectComPort"));
    labelComPort = new QLabel(tr("COM PORT"), this);
    form->addRow(labelComPort, editSelectComPort);
    FillComPorts();

    editSelectBaudrate = new QComboBox(this);
    editSelectBaudrate->setObjectName(QStringLiteral("EditSelectBaudrate"));
    for (int code = 0; code < 5; ++code)
        editSelectBaudrate->addItem(QString::number(BaudRateOfCode(code)), code);
    editSelectBaudrate->setCurrentIndex(4);
    labelBaudrate = new QLabel(tr("BAUDRATE"), this);
    form->addRow(labelBaudrate, editSelectBaudrate);

    stringIpAdress = new QComboBox(this);
    stringIpAdress->setObjectName(QStringLiteral("StringIpAdress"));
    stringIpAdress->setEditable(true);
    stringIpAdress->setInsertPolicy(QComboBox::NoInsert);
    stringIpAdress->setStyleSheet(QStringLiteral("QComboBox { background: #E0E0E0; }"));
    labelServer = new QLabel(tr("SERVER"), this);
    form->addRow(labelServer, stringIpAdress);

    stringPortNumber = new QLineEdit(QStringLiteral("10001"), this);
    stringPortNumber->setObjectName(QStringLiteral("StringPortNumber"));
    stringPortNumber->setMaxLength(31);
    labelPort = new QLabel(tr("PORT"), this);
    form->addRow(labelPort, stringPortNumber);

    editId = new QLineEdit(this);
    editId->setObjectName(QStringLiteral("EditID"));
    form->addRow(tr("SENSOR ID"), editId);
    layout->addLayout(form);

    auto* buttons = new QGridLayout;
    auto makeButton = [this](const QString& name, const QString& text) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        return button;
    };
    buttonTryToConnect = makeButton(QStringLiteral("ButtonTryToConnect"), tr("TRY TO CONNECT"));
    buttonAccept = makeButton(QStringLiteral("ButtonAccept"), tr("ACCEPT"));
    buttonChangeBaudrate =
        makeButton(QStringLiteral("ButtonChangeBaudrate"), tr("CHANGE BAUDRATE"));
    buttonGenHwInfoFile = makeButton(QStringLiteral("ButtonGenHwInfoFile"), tr("HW INFO FILE"));
    buttons->addWidget(buttonTryToConnect, 0, 0);
    buttons->addWidget(buttonAccept, 0, 1);
    buttons->addWidget(buttonChangeBaudrate, 1, 0);
    buttons->addWidget(buttonGenHwInfoFile, 1, 1);
    layout->addLayout(buttons);

    commLog = new QPlainTextEdit(this);
    commLog->setObjectName(QStringLiteral("TextCommLog"));
    commLog->setReadOnly(true);
    commLog->setMaximumBlockCount(2000);
    layout->addWidget(new QLabel(tr("COMMUNICATION LOG"), this));
    layout->addWidget(commLog, 1);

    connect(editCommunicationProtocol, &QComboBox::activated, this,
            &CommPage::CBF_EditCommunicationProtocol);
    connect(editSelectComPort, &QComboBox::activated, this, &CommPage::CBF_EditSelectComPort);
    connect(editSelectBaudrate, &QComboBox::activated, this, &CommPage::CBF_EditSelectBaudrate);
    connect(stringIpAdress->lineEdit(), &QLineEdit::returnPressed, this,
            &CommPage::CBF_StringIpAdress);
    connect(stringIpAdress, &QComboBox::activated, this, &CommPage::CBF_StringIpAdress);
    connect(stringPortNumber, &QLineEdit::editingFinished, this, &CommPage::CBF_StringPortNumber);
    connect(editId, &QLineEdit::editingFinished, this, &CommPage::CBF_EditID);
    connect(buttonTryToConnect, &QPushButton::clicked, this, &CommPage::CBF_ButtonTryToConnect);
    connect(buttonAccept, &QPushButton::clicked, this, &CommPage::CBF_ButtonAccept);
    connect(buttonChangeBaudrate, &QPushButton::clicked, this, &CommPage::CBF_ButtonChangeBaudrate);
}

void CommPage::FillComPorts() {
    // The machine's ports by device name; the number is what the settings keep.
    for (const auto& info : QSerialPortInfo::availablePorts()) {
        const QString device = QFileInfo(info.systemLocation()).canonicalFilePath();
        const int number = SerialPortNumberOfDevice(device.toStdString());
        if (number > 0 && editSelectComPort->findData(number) < 0)
            editSelectComPort->addItem(QStringLiteral("COM%1  %2").arg(number).arg(device), number);
    }
    SelectComPort(1);
}

void CommPage::SelectComPort(int portNumber) {
    int index = editSelectComPort->findData(portNumber);
    if (index < 0) {
        const QString device = QString::fromStdString(SerialDeviceName(portNumber));
        editSelectComPort->addItem(QStringLiteral("COM%1  %2").arg(portNumber).arg(device),
                                   portNumber);
        index = editSelectComPort->count() - 1;
    }
    editSelectComPort->setCurrentIndex(index);
}

int CommPage::SelectedComPort() const {
    return editSelectComPort->currentData().toInt();
}

void CommPage::ShowServerList() {
    const QString text = stringIpAdress->currentText();
    const QSignalBlocker blocker(stringIpAdress);
    stringIpAdress->clear();
    for (const auto& server : program.state.link.serverList)
        stringIpAdress->addItem(QString::fromStdString(server));
    stringIpAdress->setEditText(text);
}

void CommPage::CBF_EditCommunicationProtocol() {
    ShowLinkFields(program);
    program.SetLinkButtonsDimmed(true);
}

void CommPage::CBF_EditSelectComPort() {
    program.SetLinkButtonsDimmed(true);
}

void CommPage::CBF_EditSelectBaudrate() {
    // The new rate must still reach the sensor with CHANGE BAUDRATE, so only ACCEPT is dimmed.
    buttonAccept->setEnabled(false);
}

void CommPage::CBF_StringIpAdress() {
    buttonAccept->setEnabled(false);
    program.state.link.serverName = stringIpAdress->currentText().toStdString();
    UpdateServerList(program.state.link.serverList, program.state.link.serverName);
    ShowServerList();
}

void CommPage::CBF_StringPortNumber() {
    buttonAccept->setEnabled(false);
}

void CommPage::CBF_ButtonTryToConnect() {
    program.SetButtonsDimmed(0, 1);
    TryToConnect(program);
    program.SetButtonsDimmed(0, 0);
}

void CommPage::CBF_ButtonAccept() {
    program.WritePanelSettings();
    program.Main().tabMain1->setCurrentIndex(MainPanel::kParameterPage);
}

void CommPage::CBF_ButtonChangeBaudrate() {
    program.SetButtonsDimmed(0, 1);
    program.SetLinkButtonsDimmed(true);
    ChangeBaudrate(program);
    program.SetButtonsDimmed(0, 0);
}

void CommPage::CBF_EditID() {
    program.state.params.sensorId = editId->text().toStdString();
    program.ShowSensorId();
}
