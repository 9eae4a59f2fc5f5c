// Link computations that need no connection: device names, port texts, error texts, server list.
#include "link/LinkTexts.h"
#include "link/SerialDevices.h"
#include "link/ServerList.h"

#include <QtTest>

using namespace comm;

class TestLinkModel : public QObject {
    Q_OBJECT
private slots:
    void portNumbersNameDevicesAndBack_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("device");
        QTest::newRow("COM1") << 1 << "/dev/ttyS0";
        QTest::newRow("last built-in") << 32 << "/dev/ttyS31";
        QTest::newRow("first USB") << 33 << "/dev/ttyUSB0";
        QTest::newRow("ACM") << 66 << "/dev/ttyACM1";
        QTest::newRow("pty") << 104 << "/dev/pts/3";
        QTest::newRow("zero") << 0 << "";
        QTest::newRow("gap") << 97 << "";
        QTest::newRow("too high") << 357 << "";
    }
    void portNumbersNameDevicesAndBack() {
        QFETCH(int, port);
        QFETCH(QString, device);
        QCOMPARE(QString::fromStdString(SerialDeviceName(port)), device);
        if (!device.isEmpty()) QCOMPARE(SerialPortNumberOfDevice(device.toStdString()), port);
    }

    void devicesOutsideTheSchemeHaveNoNumber() {
        QCOMPARE(SerialPortNumberOfDevice("/dev/ttyS"), 0);
        QCOMPARE(SerialPortNumberOfDevice("/dev/ttyS1a"), 0);
        QCOMPARE(SerialPortNumberOfDevice("/dev/pts/256"), 0);
        QCOMPARE(SerialPortNumberOfDevice("/tmp/link"), 0);
        QCOMPARE(SerialPortNumberOfDevice("/dev/ttyUSB99999999999999"), 0);
    }

    void portListLabels_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("label");
        QTest::newRow("usb") << 33 << "FT232R USB UART"
                             << "A50285BI"
                             << "COM33  /dev/x  FT232R USB UART  S/N A50285BI";
        QTest::newRow("built-in") << 1 << ""
                                  << ""
                                  << "COM1  /dev/x";
        QTest::newRow("no number") << 0 << ""
                                   << "77"
                                   << "/dev/x  S/N 77";
    }
    void portListLabels() {
        QFETCH(int, number);
        QFETCH(QString, description);
        QFETCH(QString, serial);
        QFETCH(QString, label);
        QCOMPARE(QString::fromStdString(SerialPortLabel(number, "/dev/x", description.toStdString(),
                                                        serial.toStdString())),
                 label);
    }

    void typedPortsArePathsOrComNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("path");
        QTest::newRow("by-id link")
            << " /dev/serial/by-id/usb-x-port0 " << 0 << "/dev/serial/by-id/usb-x-port0";
        QTest::newRow("pty") << "/dev/pts/7" << 0 << "/dev/pts/7";
        QTest::newRow("COM3") << "COM3" << 3 << "";
        QTest::newRow("com34") << "com34" << 34 << "";
        QTest::newRow("COM without a device") << "COM999" << 0 << "";
        QTest::newRow("COM with junk") << "COM3a" << 0 << "";
        QTest::newRow("a word") << "ttyUSB0" << 0 << "";
        QTest::newRow("empty") << "   " << 0 << "";
    }
    void typedPortsArePathsOrComNumbers() {
        QFETCH(QString, text);
        QFETCH(int, number);
        QFETCH(QString, path);
        const TypedSerialPort typed = ParseTypedSerialPort(text.toStdString());
        QCOMPARE(typed.portNumber, number);
        QCOMPARE(QString::fromStdString(typed.devicePath), path);
    }

    void baudCodesOutsideTheTableOpenAtTheHighestRate() {
        QCOMPARE(BaudRateOfCode(0), 9600);
        QCOMPARE(BaudRateOfCode(3), 57600);
        QCOMPARE(BaudRateOfCode(4), 115200);
        QCOMPARE(BaudRateOfCode(7), 115200);
        QCOMPARE(BaudRateOfCode(-1), 115200);
    }

    void tcpPortTextTakesLeadingDigits_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");
        QTest::newRow("plain") << "10001" << 10001;
        QTest::newRow("trailing junk") << "8080abc" << 8080;
        QTest::newRow("no digits") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("leading blank") << " 23" << 23;
        QTest::newRow("huge") << "99999999999999" << 0x7FFFFFFF;
    }
    void tcpPortTextTakesLeadingDigits() {
        QFETCH(QString, text);
        QFETCH(int, port);
        QCOMPARE(TcpPortNumberOfText(text.toStdString()), port);
    }

    void failureCausesAndPermissionHintsAreTheSystemsOwn_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        using linktext::FailureCause;
        using linktext::PermissionHint;
        const auto row = [](const char* name, const std::string& text, const char* expected) {
            QTest::newRow(name) << QString::fromStdString(text) << QString::fromLatin1(expected);
        };
        row("time-out", FailureCause(linktext::kTimeout), "TIMEOUT! NO DATA RECEIVED!");
        row("broken frame", FailureCause(linktext::kBadData),
            "ATTENTION! RECEIVED DATA FRAME IS INCORRECT!");
        row("closed", FailureCause(linktext::kServerClosed), "SERVER HAS CLOSED CONNECTION!");
        row("one word alone", FailureCause("TIMEOUT!"), "TIMEOUT!");
        row("dialout may use it", PermissionHint(020660, "dialout", "root"),
            "add the user to group dialout");
        row("another group may use it", PermissionHint(020660, "uucp", "root"),
            "add the user to group uucp");
        // A group that may not read and write the device is no help.
        row("only its owner", PermissionHint(020600, "root", "root"),
            "only root may use it: mode 0600");
        row("group may only read", PermissionHint(020640, "dialout", "op"),
            "only op may use it: mode 0640");
        row("nothing known", PermissionHint(020600, "", ""), "");
        row("in the open text",
            linktext::OpenCauseText(linktext::OpenCause::NoPermission, "/dev/x"),
            "NO PERMISSION FOR /dev/x");
    }
    void failureCausesAndPermissionHintsAreTheSystemsOwn() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    void serverListMovesAnExistingEntryToTheTop() {
        std::vector<std::string> list = {"a", "b", "c", "d"};
        UpdateServerList(list, "c");
        QCOMPARE(list, (std::vector<std::string>{"c", "a", "b", "d"}));
    }

    void serverListNeverExceedsTen() {
        std::vector<std::string> list;
        for (int i = 0; i < 25; ++i)
            UpdateServerList(list, "host" + std::to_string(i));
        QCOMPARE(list.size(), std::size_t(10));
        QCOMPARE(list.front(), std::string("host24"));
        QCOMPARE(list.back(), std::string("host15"));
    }

    void firmwareIdIsCutAtNulAndAt71Characters() {
        const std::uint8_t shortText[] = {'F', 'W', 0, 'x', 'y'};
        QCOMPARE(FirmwareIdFromReply(shortText, sizeof shortText), std::string("FW"));
        std::vector<std::uint8_t> longText(100, 'A');
        QCOMPARE(FirmwareIdFromReply(longText.data(), longText.size()).size(), std::size_t(71));
        QCOMPARE(FirmwareIdFromReply(longText.data(), 0), std::string());
    }
};

QTEST_APPLESS_MAIN(TestLinkModel)
#include "TestLinkModel.moc"
