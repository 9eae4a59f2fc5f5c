#include "settings/PanelSettings.h"

#include <QtTest>
#include <string>

using namespace settings;

namespace {

const std::string kProgramDir = "C:\\Chromix";

// A settings file of the right type, with `body` after its GENERAL INFO.
QByteArray SettingsFile(const QByteArray& body, const QByteArray& fileType = "Panel Settings") {
    return "[GENERAL INFO]\r\nFILE TYPE: = \"" + fileType +
           "\"\r\nSCOPE VERSION: = \"CHROMIX3-Varev V4.2\"\r\nPANEL ID: = \"Line 4\"\r\n\r\n" +
           body;
}

// Every field away from its default, so that a read that resets shows.
PanelSettings Scribbled() {
    PanelSettings settings = DefaultPanelSettings("/elsewhere", '/');
    settings.sensorId = "old";
    settings.window = {7, 1, 2, 3, 4};
    settings.serverList = {"old.server"};
    settings.rows.colours.fill(0x123456);
    settings.rows.rowTexts.fill("old");
    settings.comm = {1, 9, 0, "old.server", "99", ""};
    return settings;
}

PanelSettings Everything() {
    PanelSettings settings = DefaultPanelSettings(kProgramDir, '\\');
    settings.sensorId = "Line 4 \"left\"";
    settings.window = {0, -20, 15, 1024, 700};
    // The long one goes over several continuation lines.
    settings.paths = {"D:\\p\\" + std::string(200, 'm') + "\\mine.ini", "D:\\r\\rec.dat",
                      "D:\\h\\hw.ini", "D:\\t\\ta.ini"};
    for (int i = 0; i < 12; ++i)
        settings.serverList.push_back("10.0.0." + std::to_string(i));
    for (int i = 0; i < table_attributes::kRowCount; ++i) {
        SetRowColour(settings.rows, i, std::uint32_t(0x010203 * (i + 1)));
        settings.rows.rowTexts[std::size_t(i)] = "row " + std::to_string(i);
    }
    settings.comm = {1, 3, 2, "sensor.local", "10002", ""};
    return settings;
}

} // namespace

class TestPanelSettings : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }

    std::string WriteFile(const char* name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(bytes);
        return file.fileName().toStdString();
    }

    PanelSettings ReadBoth(const std::string& path) {
        PanelSettings settings = Scribbled();
        ReadLayoutPart(path, kProgramDir, '\\', settings);
        ReadCommunicationPart(path, settings);
        return settings;
    }

    static void VerifyAllDefaults(const PanelSettings& settings) {
        QCOMPARE(settings.sensorId, std::string());
        QCOMPARE(PlacementOf(settings.window), WindowPlacement::KeepBuiltGeometry);
        QCOMPARE(settings.paths.parameterFile, std::string("C:\\Chromix\\Parameter.ini"));
        QCOMPARE(settings.paths.recordFile, std::string("C:\\Chromix\\RecordFile.dat"));
        QCOMPARE(settings.paths.hardwareInfoFile,
                 std::string("C:\\Chromix\\HardwareInitialFile.ini"));
        QCOMPARE(settings.paths.tableAttributesFile,
                 std::string("C:\\Chromix\\TableAttributes.ini"));
        QVERIFY(settings.serverList.empty());
        QVERIFY(settings.rows.colours == DefaultRowColourTable());
        for (const std::string& text : settings.rows.rowTexts)
            QVERIFY(text.empty());
        QCOMPARE(settings.comm.protocol, std::uint16_t(0));
        QCOMPARE(settings.comm.serialPort, std::uint16_t(1));
        QCOMPARE(settings.comm.baudRateCode, std::uint16_t(4));
        QCOMPARE(settings.comm.serverName, std::string());
        QCOMPARE(settings.comm.tcpPortText, std::string("10001"));
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void missingFileGivesEveryDefault() { VerifyAllDefaults(ReadBoth(Path("absent.cfg"))); }

    void fileOfAnotherTypeIsIgnoredSilently_data() {
        QTest::addColumn<QByteArray>("fileType");
        QTest::newRow("other letter case") << QByteArray("panel settings");
        QTest::newRow("trailing blank inside the quotes") << QByteArray("Panel Settings ");
        QTest::newRow("parameter file") << QByteArray("Parameter File");
        QTest::newRow("empty") << QByteArray("");
    }
    void fileOfAnotherTypeIsIgnoredSilently() {
        QFETCH(QByteArray, fileType);
        const QByteArray body = "[PANEL POSITION]\r\nMAINPANEL FULLSCREEN = 2\r\n\r\n"
                                "[IP ADDRESSES]\r\nLIST ITEMS = 1\r\nIP ADDR 1 = \"a\"\r\n\r\n"
                                "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 1\r\nCOMPORT = 5\r\n";
        VerifyAllDefaults(ReadBoth(WriteFile("foreign.cfg", SettingsFile(body, fileType))));
    }

    void zoomStateDecidesThePlacement_data() {
        QTest::addColumn<QByteArray>("position");
        QTest::addColumn<WindowPlacement>("placement");
        QTest::addColumn<QList<int>>("geometry"); // left, top, width, height
        const QByteArray keys = "MAINPANEL LEFT = 1\r\nMAINPANEL TOP = 2\r\n"
                                "MAINPANEL WIDTH = 300\r\nMAINPANEL HEIGHT = 400\r\n";
        QTest::newRow("maximised ignores the position keys")
            << "MAINPANEL FULLSCREEN = 2\r\n" + keys << WindowPlacement::Maximise
            << QList<int>{10, 40, 790, 548};
        QTest::newRow("normal without position keys takes their defaults")
            << QByteArray("MAINPANEL FULLSCREEN = 0\r\n") << WindowPlacement::SetGeometry
            << QList<int>{10, 40, 790, 548};
        QTest::newRow("normal with position keys")
            << "MAINPANEL FULLSCREEN = 0\r\n" + keys << WindowPlacement::SetGeometry
            << QList<int>{1, 2, 300, 400};
        QTest::newRow("minimised is placed normally")
            << "MAINPANEL FULLSCREEN = 1\r\n" + keys << WindowPlacement::SetGeometry
            << QList<int>{1, 2, 300, 400};
        QTest::newRow("no zoom key keeps the built geometry")
            << keys << WindowPlacement::KeepBuiltGeometry << QList<int>{10, 40, 790, 548};
        QTest::newRow("a zoom key that is no number counts as absent")
            << "MAINPANEL FULLSCREEN = big\r\n" + keys << WindowPlacement::KeepBuiltGeometry
            << QList<int>{10, 40, 790, 548};
        QTest::newRow("an invalid width alone takes its default")
            << QByteArray("MAINPANEL FULLSCREEN = 0\r\nMAINPANEL WIDTH = 9x\r\n")
            << WindowPlacement::SetGeometry << QList<int>{10, 40, 790, 548};
    }
    void zoomStateDecidesThePlacement() {
        QFETCH(QByteArray, position);
        QFETCH(WindowPlacement, placement);
        QFETCH(QList<int>, geometry);
        const auto path = WriteFile("zoom.cfg", SettingsFile("[PANEL POSITION]\r\n" + position));
        const WindowGeometry window = ReadBoth(path).window;
        QCOMPARE(PlacementOf(window), placement);
        QCOMPARE((QList<int>{window.left, window.top, window.width, window.height}), geometry);
    }

    void serverListTakesAtMostTenWithoutHoles_data() {
        QTest::addColumn<QByteArray>("servers");
        QTest::addColumn<QStringList>("expected");
        QByteArray twelve;
        QStringList ten;
        for (int k = 1; k <= 12; ++k) {
            twelve += QByteArray("IP ADDR ") + QByteArray::number(k) + " = \"host" +
                      QByteArray::number(k) + "\"\r\n";
            if (k <= 10) ten << QStringLiteral("host%1").arg(k);
        }
        QTest::newRow("25 items read ten") << "LIST ITEMS = 25\r\n" + twelve << ten;
        QTest::newRow("a gap leaves no hole")
            << QByteArray("LIST ITEMS = 3\r\nIP ADDR 1 = \"a\"\r\nIP ADDR 3 = \"c\"\r\n")
            << QStringList{"a", "c"};
        QTest::newRow("keys beyond the count are not read")
            << QByteArray("LIST ITEMS = 1\r\nIP ADDR 1 = \"a\"\r\nIP ADDR 2 = \"b\"\r\n")
            << QStringList{"a"};
        QTest::newRow("a negative count reads none")
            << "LIST ITEMS = -3\r\n" + twelve << QStringList{};
        QTest::newRow("no count reads none") << twelve << QStringList{};
    }
    void serverListTakesAtMostTenWithoutHoles() {
        QFETCH(QByteArray, servers);
        QFETCH(QStringList, expected);
        const auto path = WriteFile("servers.cfg", SettingsFile("[IP ADDRESSES]\r\n" + servers));
        QStringList list;
        for (const std::string& entry : ReadBoth(path).serverList)
            list << QString::fromStdString(entry);
        QCOMPARE(list, expected);
    }

    void communicationValuesKeepTheirLowSixteenBits_data() {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QList<int>>("expected"); // protocol, port, baud-rate code
        QTest::newRow("port 65537 is port 1")
            << QByteArray("COMPORT = 65537\r\n") << QList<int>{0, 1, 4};
        QTest::newRow("minus one wraps")
            << QByteArray("COMPROTOCOL = -1\r\n") << QList<int>{65535, 1, 4};
        QTest::newRow("codes out of their meaning are kept")
            << QByteArray("COMPROTOCOL = 1\r\nCOMPORT = 12\r\nBAUDRATE = 9\r\n")
            << QList<int>{1, 12, 9};
        QTest::newRow("a value that is no number keeps the default")
            << QByteArray("COMPORT = COM3\r\nBAUDRATE = 2.5\r\n") << QList<int>{0, 1, 4};
    }
    void communicationValuesKeepTheirLowSixteenBits() {
        QFETCH(QByteArray, keys);
        QFETCH(QList<int>, expected);
        const auto path =
            WriteFile("comm.cfg", SettingsFile("[COMMUNICATION SETTINGS]\r\n" + keys));
        const CommSettings comm = ReadBoth(path).comm;
        QCOMPARE((QList<int>{comm.protocol, comm.serialPort, comm.baudRateCode}), expected);
        QCOMPARE(comm.tcpPortText, std::string("10001"));
        QCOMPARE(comm.serverName, std::string());
    }

    void textFieldsAreCutToTheirLengths() {
        const QByteArray body = "[COMMUNICATION SETTINGS]\r\nIP ADRESS = \"" +
                                QByteArray(300, 's') + "\"\r\nPORT NUMBER = \"" +
                                QByteArray(40, '7') + "\"\r\n";
        QByteArray file = SettingsFile(body);
        file.replace("PANEL ID: = \"Line 4\"", "PANEL ID: = \"" + QByteArray(150, 'i') + "\"");
        const PanelSettings settings = ReadBoth(WriteFile("long.cfg", file));
        QCOMPARE(settings.sensorId, std::string(99, 'i'));
        QCOMPARE(settings.comm.serverName, std::string(255, 's'));
        QCOMPARE(settings.comm.tcpPortText, std::string(31, '7'));
    }

    void pathsAreTakenWholeAndMissingOnesKeepTheirDefault() {
        // As written: backslashes doubled inside the quotes.
        const std::string longPath = "D:\\" + std::string(300, 'p') + "\\x.ini";
        const QByteArray body = "[DIRECTORIES]\r\nPARAMETER FILE = \"D:\\\\" +
                                QByteArray(300, 'p') +
                                "\\\\x.ini\"\r\nRECORDER FILE = \"E:\\\\rec.dat\"\r\n";
        const PanelSettings settings = ReadBoth(WriteFile("paths.cfg", SettingsFile(body)));
        QCOMPARE(settings.paths.parameterFile, longPath);
        QCOMPARE(settings.paths.recordFile, std::string("E:\\rec.dat"));
        QCOMPARE(settings.paths.hardwareInfoFile,
                 std::string("C:\\Chromix\\HardwareInitialFile.ini"));
        QCOMPARE(settings.paths.tableAttributesFile,
                 std::string("C:\\Chromix\\TableAttributes.ini"));
        QCOMPARE(settings.sensorId, std::string("Line 4"));
    }

    void eachPartReadsOnlyItsOwnFields() {
        const std::string path = Path("parts.cfg");
        QVERIFY(WritePanelSettingsFile(path, Everything()) == kIniOk);
        PanelSettings layoutOnly = Scribbled();
        ReadLayoutPart(path, kProgramDir, '\\', layoutOnly);
        QCOMPARE(layoutOnly.comm.serialPort, Scribbled().comm.serialPort);
        QCOMPARE(layoutOnly.sensorId, Everything().sensorId);
        PanelSettings commOnly = Scribbled();
        ReadCommunicationPart(path, commOnly);
        QCOMPARE(commOnly.sensorId, Scribbled().sensorId);
        QCOMPARE(commOnly.comm.serverName, Everything().comm.serverName);
    }

    void writtenFileReadsBackAndKeepsTenServers() {
        const std::string path = Path("roundtrip.cfg");
        const PanelSettings written = Everything();
        QCOMPARE(WritePanelSettingsFile(path, written), int(kIniOk));
        const PanelSettings read = ReadBoth(path);
        QCOMPARE(read.sensorId, written.sensorId);
        QCOMPARE(PlacementOf(read.window), WindowPlacement::SetGeometry);
        QCOMPARE(read.window.left, -20);
        QCOMPARE(read.window.height, 700);
        QCOMPARE(read.paths.parameterFile, written.paths.parameterFile);
        QCOMPARE(read.paths.tableAttributesFile, written.paths.tableAttributesFile);
        QCOMPARE(read.serverList.size(), std::size_t(10));
        QCOMPARE(read.serverList.back(), std::string("10.0.0.9"));
        QVERIFY(read.rows.colours == written.rows.colours);
        QVERIFY(read.rows.rowTexts == written.rows.rowTexts);
        QCOMPARE(read.comm.protocol, std::uint16_t(1));
        QCOMPARE(read.comm.serialPort, std::uint16_t(3));
        QCOMPARE(read.comm.baudRateCode, std::uint16_t(2));
        QCOMPARE(read.comm.serverName, written.comm.serverName);
        QCOMPARE(read.comm.tcpPortText, written.comm.tcpPortText);

        const std::string text = PanelSettingsText(written);
        QVERIFY(text.find("LIST ITEMS = 10\r\n") != std::string::npos);
        QVERIFY(text.find("IP ADDR 10 = \"10.0.0.9\"\r\n") != std::string::npos);
        QVERIFY(text.find("IP ADDR 11") == std::string::npos);
    }

    void fileBeginsWithItsSectionsInOrder() {
        PanelSettings settings = DefaultPanelSettings("C:\\P", '\\');
        settings.window.zoomState = 2;
        settings.comm.serverName = "host";
        const std::string text = PanelSettingsText(settings);
        const std::string head = "[GENERAL INFO]\r\n"
                                 "FILE TYPE: = \"Panel Settings\"\r\n"
                                 "SCOPE VERSION: = \"CHROMIX3-Varev V4.2\"\r\n"
                                 "PANEL ID: = \"\"\r\n\r\n"
                                 "[PANEL POSITION]\r\n"
                                 "MAINPANEL FULLSCREEN = 2\r\n"
                                 "MAINPANEL LEFT = 10\r\n"
                                 "MAINPANEL TOP = 40\r\n"
                                 "MAINPANEL WIDTH = 790\r\n"
                                 "MAINPANEL HEIGHT = 548\r\n\r\n"
                                 "[DIRECTORIES]\r\n"
                                 "PARAMETER FILE = \"C:\\\\P\\\\Parameter.ini\"\r\n";
        QCOMPARE(text.substr(0, head.size()), head);
        const std::string comm = "[IP ADDRESSES]\r\nLIST ITEMS = 0\r\n\r\n"
                                 "[COMMUNICATION SETTINGS]\r\n"
                                 "COMPROTOCOL = 0\r\nCOMPORT = 1\r\nBAUDRATE = 4\r\n"
                                 "IP ADRESS = \"host\"\r\nPORT NUMBER = \"10001\"\r\n\r\n"
                                 "[TABLE ATTR OF TEACH VECTOR 0]\r\n"
                                 "Row color = 16711680\r\n";
        QVERIFY(text.find(comm) != std::string::npos);
        QVERIFY(text.find("[TABLE ATTR OF TEACH VECTOR 30]") != std::string::npos);
    }

    void writingTwiceGivesTheSameBytes() {
        const std::string first = Path("first.cfg");
        const std::string second = Path("second.cfg");
        const PanelSettings settings = Everything();
        QCOMPARE(WritePanelSettingsFile(first, settings), int(kIniOk));
        QCOMPARE(WritePanelSettingsFile(second, settings), int(kIniOk));
        QFile a(QString::fromStdString(first));
        QFile b(QString::fromStdString(second));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QByteArray bytes = a.readAll();
        QCOMPARE(bytes, b.readAll());
        // A read and a rewrite of what was read changes nothing either.
        QCOMPARE(PanelSettingsText(ReadBoth(first)), bytes.toStdString());
    }

    void unusableFilesNeverCrashAndGiveDefaults_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("garbage") << "garbage";
        QTest::newRow("directory") << "directory";
        QTest::newRow("vanished file") << "vanished";
        QTest::newRow("empty file") << "empty";
    }
    void unusableFilesNeverCrashAndGiveDefaults() {
        QFETCH(QString, kind);
        std::string path = Path("unusable.cfg");
        if (kind == "garbage") {
            QByteArray bytes;
            for (int i = 0; i < 5000; ++i)
                bytes += char((i * 7919 + i / 13) % 256);
            path = WriteFile("garbage.cfg", bytes);
        } else if (kind == "directory") {
            QVERIFY(QDir(dir.path()).mkpath("folder.cfg"));
            path = Path("folder.cfg");
        } else if (kind == "vanished") {
            path = Path("vanished.cfg");
            QCOMPARE(WritePanelSettingsFile(path, Everything()), int(kIniOk));
            QVERIFY(QFile::remove(QString::fromStdString(path)));
        } else {
            path = WriteFile("empty.cfg", QByteArray());
        }
        VerifyAllDefaults(ReadBoth(path));
    }

    void unwritableTargetFailsAndLeavesItAlone() {
        QVERIFY(QDir(dir.path()).mkpath("target.cfg"));
        QVERIFY(WritePanelSettingsFile(Path("target.cfg"), Everything()) < 0);
        QVERIFY(QFileInfo(dir.filePath("target.cfg")).isDir());
        QVERIFY(WritePanelSettingsFile(Path("no-such-dir/PanelSettings.cfg"), Everything()) < 0);
        QVERIFY(!QFileInfo::exists(dir.filePath("no-such-dir")));
    }

    void joinPathDoesNotDoubleTheSeparator() {
        QCOMPARE(JoinPath("C:\\", '\\', "a.ini"), std::string("C:\\a.ini"));
        QCOMPARE(JoinPath("/opt/chromix", '/', "a.ini"), std::string("/opt/chromix/a.ini"));
    }
};

QTEST_GUILESS_MAIN(TestPanelSettings)
#include "TestPanelSettings.moc"
