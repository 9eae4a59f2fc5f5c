#pragma once
// The communication page: link settings, connect, baud-rate change, server list, the sensor
// identification text and the communication log.
#include "link/LinkSettings.h"
#include "link/SerialDevices.h"

#include <QWidget>

#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;
class QPlainTextEdit;
class QLabel;

namespace core {
struct AppState;
class Registrar;
} // namespace core

namespace comm {

class CommPage : public QWidget {
    Q_OBJECT
public:
    explicit CommPage(core::AppState& state, QWidget* parent = nullptr);

    // The settings as the page shows them, and showing them; codes the selectors cannot show
    // fall back to what the link uses for them: RS-232, and 115200 baud for an unknown code.
    LinkSettings Settings() const;
    void ShowSettings(const LinkSettings& settings);
    int SelectedProtocol() const;
    int SelectedBaudRateCode() const;
    // Shows the serial or the TCP/IP fields, after the protocol selector.
    void ShowLinkFields();
    // Shows the server list of the link state as the drop-down, keeping the typed text.
    void ShowServerList();
    std::string SensorId() const;
    // The settings file in use, and where it came from: placed beside the program or in the
    // user's folder, or named by --settings.
    enum class SettingsOrigin { BesideProgram, UserFolder, CommandLine };
    void ShowSettingsFile(const std::string& path, SettingsOrigin origin);
    void SetSensorId(const std::string& id);

    // TRY TO CONNECT and the baud-rate selector are dimmed with every operation, CHANGE
    // BAUDRATE and the hardware info file button until the next identification.
    void RegisterCommandControls(core::Registrar& registrar);

    void AppendLog(const std::string& text);
    void ClearLog();
    // ACCEPT, CHANGE BAUDRATE and the hardware info file button need a working link.
    void SetLinkButtonsDimmed(bool dimmed);
    // MONITOR shows whether the protocol monitor is open (it may be closed by its own window).
    void SetMonitorChecked(bool open);

    void CBF_EditCommunicationProtocol();
    void CBF_EditSelectComPort();
    void CBF_EditSelectBaudrate();
    void CBF_StringIpAdress();
    void CBF_StringPortNumber();
    void CBF_ButtonTryToConnect();
    void CBF_ButtonAccept();
    void CBF_ButtonChangeBaudrate();
    void CBF_EditID();
    void CBF_ButtonMonitor(bool open);

signals:
    void ConnectRequested();
    void BaudrateChangeRequested();
    // ACCEPT: the settings are to be saved.
    void Accepted();
    void SensorIdChanged(const QString& id);
    void HardwareInfoRequested();
    void MonitorToggled(bool open);

private:
    void FillComPorts();
    void SelectComPort(int portNumber);
    int SelectedComPort() const;
    // The chosen or typed port: its number, or a device path to open instead.
    TypedSerialPort ChosenSerialPort() const;

    core::AppState& state;
    QComboBox* editCommunicationProtocol;
    QComboBox* editSelectComPort;
    QComboBox* editSelectBaudrate;
    QComboBox* stringIpAdress; // editable: the server list is its drop-down
    QLineEdit* stringPortNumber;
    QLineEdit* editId;
    QLineEdit* dispSettingsFile;
    QPushButton* buttonTryToConnect;
    QPushButton* buttonAccept;
    QPushButton* buttonChangeBaudrate;
    QPushButton* buttonGenHwInfoFile;
    QPushButton* buttonMonitor;
    QPlainTextEdit* commLog;
    QLabel* labelComPort;
    QLabel* labelBaudrate;
    QLabel* labelServer;
    QLabel* labelPort;
};

} // namespace comm
