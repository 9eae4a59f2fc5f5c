#pragma once
// The communication page: link settings, connect, baud-rate change, server list and the
// communication log.
#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class QPlainTextEdit;
class QLabel;
class Program;

class CommPage : public QWidget {
    Q_OBJECT
public:
    explicit CommPage(Program& program, QWidget* parent = nullptr);

    QComboBox* editCommunicationProtocol;
    QComboBox* editSelectComPort;
    QComboBox* editSelectBaudrate;
    QComboBox* stringIpAdress; // editable: the server list is its drop-down
    QLineEdit* stringPortNumber;
    QLineEdit* editId;
    QPushButton* buttonTryToConnect;
    QPushButton* buttonAccept;
    QPushButton* buttonChangeBaudrate;
    QPushButton* buttonGenHwInfoFile;
    QPlainTextEdit* commLog;
    QLabel* labelComPort;
    QLabel* labelBaudrate;
    QLabel* labelServer;
    QLabel* labelPort;

    // Selects the list entry of a serial port number, adding one when the machine lacks it.
    void SelectComPort(int portNumber);
    int SelectedComPort() const;
    // Shows the server list as the drop-down, keeping the typed text.
    void ShowServerList();

    void CBF_EditCommunicationProtocol();
    void CBF_EditSelectComPort();
    void CBF_EditSelectBaudrate();
    void CBF_StringIpAdress();
    void CBF_StringPortNumber();
    void CBF_ButtonTryToConnect();
    void CBF_ButtonAccept();
    void CBF_ButtonChangeBaudrate();
    void CBF_EditID();

private:
    void FillComPorts();
    Program& program;
};
