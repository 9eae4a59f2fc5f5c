#include "commpage/CommPage.h"

#include "core/AppState.h"
#include "core/Shell.h"
#include "core/Text.h"
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

#include <functional>

namespace comm {

namespace {

// The role of an item's device path beside its port number.
constexpr int kDeviceRole = Qt::UserRole + 1;

// A list that asks for its entries afresh each time it opens: an adapter plugged in after
// start-up appears without a restart.
class FreshList : public QComboBox {
public:
    FreshList(std::function<void()> refill, QWidget* parent)
        : QComboBox(parent), refill(std::move(refill)) {}
    void showPopup() override {
        refill();
        QComboBox::showPopup();
    }

private:
    std::function<void()> refill;
};

} // namespace

CommPage::CommPage(core::AppState& state, QWidget* parent) : QWidget(parent), state(state) {
    setObjectName(QStringLiteral("CommPage"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);

    editCommunicationProtocol = new QComboBox(this);
    editCommunicationProtocol->setObjectName(QStringLiteral("EditCommunicationProtocol"));
    editCommunicationProtocol->addItem(QStringLiteral("RS232"), int(core::kRs232));
    editCommunicationProtocol->addItem(QStringLiteral("TCP/IP"), int(core::kTcpIp));
    form->addRow(tr("PROTOCOL"), editCommunicationProtocol);

    editSelectComPort = new FreshList([this] { FillComPorts(); }, this);
    editSelectComPort->setObjectName(QStringLiteral("EditSelectComPort"));
    // A device path can be typed in: a pseudo-terminal, a /dev/serial/by-id link.
    editSelectComPort->setEditable(true);
    editSelectComPort->setInsertPolicy(QComboBox::NoInsert);
    editSelectComPort->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    editSelectComPort->setMinimumContentsLength(18);
    labelComPort = new QLabel(tr("COM PORT"), this);
    // A caption handed to the form as a widget gets no buddy by itself; the buddy leads a right
    // click on the caption to the field's help.
    labelComPort->setBuddy(editSelectComPort);
    form->addRow(labelComPort, editSelectComPort);
    // The machine's ports are listed when the list opens: asking the system for them at start
    // would hold up the window.
    SelectComPort(1);

    editSelectBaudrate = new QComboBox(this);
    editSelectBaudrate->setObjectName(QStringLiteral("EditSelectBaudrate"));
    for (int code = 0; code < 5; ++code)
        editSelectBaudrate->addItem(QString::number(BaudRateOfCode(code)), code);
    editSelectBaudrate->setCurrentIndex(4);
    labelBaudrate = new QLabel(tr("BAUDRATE"), this);
    labelBaudrate->setBuddy(editSelectBaudrate);
    form->addRow(labelBaudrate, editSelectBaudrate);

    stringIpAdress = new QComboBox(this);
    stringIpAdress->setObjectName(QStringLiteral("StringIpAdress"));
    stringIpAdress->setEditable(true);
    stringIpAdress->setInsertPolicy(QComboBox::NoInsert);
    stringIpAdress->setStyleSheet(QStringLiteral("QComboBox { background: #E0E0E0; }"));
    labelServer = new QLabel(tr("SERVER"), this);
    labelServer->setBuddy(stringIpAdress);
    form->addRow(labelServer, stringIpAdress);

    stringPortNumber = new QLineEdit(QStringLiteral("10001"), this);
    stringPortNumber->setObjectName(QStringLiteral("StringPortNumber"));
    stringPortNumber->setMaxLength(int(kTcpPortTextBytes));
    labelPort = new QLabel(tr("PORT"), this);
    labelPort->setBuddy(stringPortNumber);
    form->addRow(labelPort, stringPortNumber);

    editId = new QLineEdit(this);
    editId->setObjectName(QStringLiteral("EditID"));
    editId->setMaxLength(99);
    form->addRow(tr("SENSOR ID"), editId);
    // Read-only and frameless: it tells, and a long path scrolls instead of widening the page.
    dispSettingsFile = new QLineEdit(this);
    dispSettingsFile->setObjectName(QStringLiteral("DispSettingsFile"));
    dispSettingsFile->setReadOnly(true);
    dispSettingsFile->setFrame(false);
    dispSettingsFile->setFocusPolicy(Qt::ClickFocus);
    form->addRow(tr("SETTINGS"), dispSettingsFile);
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
    // Not a command: the monitor only watches, so it stays usable while commands run.
    buttonMonitor = makeButton(QStringLiteral("ButtonMonitor"), tr("MONITOR"));
    buttonMonitor->setCheckable(true);
    buttons->addWidget(buttonMonitor, 0, 2);
    layout->addLayout(buttons);

    commLog = new QPlainTextEdit(this);
    commLog->setObjectName(QStringLiteral("TextCommLog"));
    commLog->setReadOnly(true);
    commLog->setMaximumBlockCount(2000);
    // Its caption stays plain (a right click on it shows no help), so the name is given here.
    commLog->setAccessibleName(tr("COMMUNICATION LOG"));
    layout->addWidget(new QLabel(tr("COMMUNICATION LOG"), this));
    layout->addWidget(commLog, 1);

    connect(editCommunicationProtocol, &QComboBox::activated, this,
            &CommPage::CBF_EditCommunicationProtocol);
    connect(editSelectComPort, &QComboBox::activated, this, &CommPage::CBF_EditSelectComPort);
    connect(editSelectComPort->lineEdit(), &QLineEdit::textEdited, this,
            &CommPage::CBF_EditSelectComPort);
    connect(editSelectBaudrate, &QComboBox::activated, this, &CommPage::CBF_EditSelectBaudrate);
    connect(stringIpAdress->lineEdit(), &QLineEdit::returnPressed, this,
            &CommPage::CBF_StringIpAdress);
    connect(stringIpAdress, &QComboBox::activated, this, &CommPage::CBF_StringIpAdress);
    connect(stringPortNumber, &QLineEdit::editingFinished, this, &CommPage::CBF_StringPortNumber);
    connect(editId, &QLineEdit::editingFinished, this, &CommPage::CBF_EditID);
    connect(buttonGenHwInfoFile, &QPushButton::clicked, this, &CommPage::HardwareInfoRequested);
    connect(buttonTryToConnect, &QPushButton::clicked, this, &CommPage::CBF_ButtonTryToConnect);
    connect(buttonAccept, &QPushButton::clicked, this, &CommPage::CBF_ButtonAccept);
    connect(buttonChangeBaudrate, &QPushButton::clicked, this, &CommPage::CBF_ButtonChangeBaudrate);
    connect(buttonMonitor, &QPushButton::toggled, this, &CommPage::CBF_ButtonMonitor);
}

void CommPage::FillComPorts() {
    // What is chosen or typed stays chosen or typed across the refill.
    const QString text = editSelectComPort->currentText();
    const bool typed = editSelectComPort->currentIndex() < 0 ||
                       text != editSelectComPort->itemText(editSelectComPort->currentIndex());
    const int number = SelectedComPort();
    const QSignalBlocker blocker(editSelectComPort);
    editSelectComPort->clear();
    for (const auto& info : QSerialPortInfo::availablePorts()) {
        const QString device = info.systemLocation();
        const QString canonical = QFileInfo(device).canonicalFilePath();
        const int portNumber = SerialPortNumberOfDevice(canonical.toStdString());
        if (portNumber > 0 && editSelectComPort->findData(portNumber) >= 0) continue;
        const QString label = QString::fromStdString(
            SerialPortLabel(portNumber, device.toStdString(), info.description().toStdString(),
                            info.serialNumber().toStdString()));
        editSelectComPort->addItem(label, portNumber);
        editSelectComPort->setItemData(editSelectComPort->count() - 1, device, kDeviceRole);
    }
    if (typed) {
        editSelectComPort->setCurrentIndex(-1);
        editSelectComPort->setEditText(text);
    } else if (number > 0) {
        SelectComPort(number);
    } else {
        const int index = editSelectComPort->findText(text);
        editSelectComPort->setCurrentIndex(index);
        if (index < 0) editSelectComPort->setEditText(text);
    }
}

void CommPage::SelectComPort(int portNumber) {
    int index = editSelectComPort->findData(portNumber);
    if (index < 0) {
        // A port the machine does not list now: kept, so the settings keep working.
        const std::string device = SerialDeviceName(portNumber);
        editSelectComPort->addItem(
            QString::fromStdString(SerialPortLabel(portNumber, device, {}, {})), portNumber);
        editSelectComPort->setItemData(editSelectComPort->count() - 1,
                                       QString::fromStdString(device), kDeviceRole);
        index = editSelectComPort->count() - 1;
    }
    editSelectComPort->setCurrentIndex(index);
}

TypedSerialPort CommPage::ChosenSerialPort() const {
    const int index = editSelectComPort->currentIndex();
    const QString text = editSelectComPort->currentText();
    if (index >= 0 && text == editSelectComPort->itemText(index)) {
        // A listed port: by its number, or by its device where it has none.
        const int number = editSelectComPort->itemData(index).toInt();
        if (number > 0) return {number, {}};
        return {0, editSelectComPort->itemData(index, kDeviceRole).toString().toStdString()};
    }
    return ParseTypedSerialPort(text.toStdString());
}

int CommPage::SelectedComPort() const {
    const int index = editSelectComPort->currentIndex();
    return index >= 0 ? editSelectComPort->itemData(index).toInt() : 0;
}

void CommPage::ShowServerList() {
    const QString text = stringIpAdress->currentText();
    const QSignalBlocker blocker(stringIpAdress);
    stringIpAdress->clear();
    for (const auto& server : state.link.serverList)
        stringIpAdress->addItem(core::TextOfBytes(server));
    stringIpAdress->setEditText(text);
}

LinkSettings CommPage::Settings() const {
    LinkSettings settings;
    settings.protocol = std::uint16_t(SelectedProtocol());
    // A device without a number of its own leaves the number the settings had.
    const TypedSerialPort chosen = ChosenSerialPort();
    int number = chosen.portNumber;
    if (number == 0 && chosen.devicePath.empty())
        number = SelectedComPort(); // nothing usable typed
    if (number == 0 && !chosen.devicePath.empty()) {
        const QString canonical =
            QFileInfo(QString::fromStdString(chosen.devicePath)).canonicalFilePath();
        number = SerialPortNumberOfDevice(canonical.toStdString());
    }
    settings.serialPort = std::uint16_t(number > 0 ? number : state.link.serialPortNumber);
    settings.serialDevice = chosen.devicePath;
    settings.baudRateCode = std::uint16_t(SelectedBaudRateCode());
    settings.serverName = core::BytesOfText(stringIpAdress->currentText(), kServerNameBytes);
    settings.tcpPortText = core::BytesOfText(stringPortNumber->text(), kTcpPortTextBytes);
    return settings;
}

void CommPage::ShowSettings(const LinkSettings& settings) {
    const int protocolIndex = editCommunicationProtocol->findData(int(settings.protocol));
    editCommunicationProtocol->setCurrentIndex(protocolIndex >= 0 ? protocolIndex : 0);
    SelectComPort(settings.serialPort);
    const int baudIndex = editSelectBaudrate->findData(int(settings.baudRateCode));
    editSelectBaudrate->setCurrentIndex(baudIndex >= 0 ? baudIndex
                                                       : editSelectBaudrate->count() - 1);
    stringIpAdress->setEditText(core::TextOfBytes(settings.serverName));
    stringPortNumber->setText(core::TextOfBytes(settings.tcpPortText));
}

int CommPage::SelectedProtocol() const {
    return editCommunicationProtocol->currentData().toInt();
}

int CommPage::SelectedBaudRateCode() const {
    return editSelectBaudrate->currentData().toInt();
}

void CommPage::ShowSettingsFile(const std::string& path, SettingsOrigin origin) {
    // Which folder first: a long path is cut at the right.
    const QString where = origin == SettingsOrigin::BesideProgram ? tr("BESIDE THE PROGRAM: ")
                          : origin == SettingsOrigin::UserFolder  ? tr("USER FOLDER: ")
                                                                  : tr("COMMAND LINE: ");
    dispSettingsFile->setText(where + QString::fromStdString(path));
    dispSettingsFile->setCursorPosition(0);
    dispSettingsFile->setToolTip(dispSettingsFile->text());
}

void CommPage::ShowLinkFields() {
    const int protocol = SelectedProtocol();
    state.link.protocol = static_cast<std::uint16_t>(protocol);
    if (protocol != core::kRs232 && protocol != core::kTcpIp) return;
    const bool serial = protocol == core::kRs232;
    editSelectComPort->setVisible(serial);
    labelComPort->setVisible(serial);
    editSelectBaudrate->setVisible(serial);
    labelBaudrate->setVisible(serial);
    buttonChangeBaudrate->setVisible(serial);
    stringIpAdress->setVisible(!serial);
    labelServer->setVisible(!serial);
    stringPortNumber->setVisible(!serial);
    labelPort->setVisible(!serial);
}

std::string CommPage::SensorId() const {
    return core::BytesOfText(editId->text());
}

void CommPage::SetSensorId(const std::string& id) {
    editId->setText(core::TextOfBytes(id));
    state.params.sensorId = id;
    emit SensorIdChanged(editId->text());
}

void CommPage::RegisterCommandControls(core::Registrar& registrar) {
    registrar.AddCommandControl(buttonTryToConnect, core::CommandKind::Command);
    registrar.AddCommandControl(editSelectBaudrate, core::CommandKind::Command);
    registrar.AddCommandControl(buttonChangeBaudrate, core::CommandKind::NeedsLink);
    registrar.AddCommandControl(buttonGenHwInfoFile, core::CommandKind::NeedsLink);
}

void CommPage::AppendLog(const std::string& text) {
    commLog->moveCursor(QTextCursor::End);
    commLog->insertPlainText(core::TextOfBytes(text));
    commLog->moveCursor(QTextCursor::End);
}

void CommPage::ClearLog() {
    commLog->clear();
}

void CommPage::SetLinkButtonsDimmed(bool dimmed) {
    buttonAccept->setEnabled(!dimmed);
    buttonChangeBaudrate->setEnabled(!dimmed);
    buttonGenHwInfoFile->setEnabled(!dimmed);
}

void CommPage::SetMonitorChecked(bool open) {
    const QSignalBlocker blocker(buttonMonitor);
    buttonMonitor->setChecked(open);
}

void CommPage::CBF_ButtonMonitor(bool open) {
    emit MonitorToggled(open);
}

void CommPage::CBF_EditCommunicationProtocol() {
    ShowLinkFields();
    SetLinkButtonsDimmed(true);
}

void CommPage::CBF_EditSelectComPort() {
    SetLinkButtonsDimmed(true);
}

void CommPage::CBF_EditSelectBaudrate() {
    // The new rate must still reach the sensor with CHANGE BAUDRATE, so only ACCEPT is dimmed.
    buttonAccept->setEnabled(false);
}

void CommPage::CBF_StringIpAdress() {
    buttonAccept->setEnabled(false);
    state.link.serverName = core::BytesOfText(stringIpAdress->currentText(), kServerNameBytes);
    UpdateServerList(state.link.serverList, state.link.serverName);
    ShowServerList();
}

void CommPage::CBF_StringPortNumber() {
    buttonAccept->setEnabled(false);
}

void CommPage::CBF_ButtonTryToConnect() {
    emit ConnectRequested();
}

void CommPage::CBF_ButtonAccept() {
    emit Accepted();
}

void CommPage::CBF_ButtonChangeBaudrate() {
    emit BaudrateChangeRequested();
}

void CommPage::CBF_EditID() {
    state.params.sensorId = SensorId();
    emit SensorIdChanged(editId->text());
}

} // namespace comm
