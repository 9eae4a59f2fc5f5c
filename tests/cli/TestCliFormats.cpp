// The command line's record formats, sensor lists and shell texts, without a sensor.
#include "cli/FleetFile.h"
#include "cli/RecordFormat.h"
#include "cli/ShellTexts.h"
#include "link/LinkTexts.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <ctime>

namespace {

// 2024-02-03 12:00:05.042 UTC, and a frame whose words are all told apart.
constexpr std::int64_t kKnownMs = 1706961605042;

cli::MeasurementRecord KnownRecord(const std::string& sensor) {
    cli::MeasurementRecord record;
    record.sensor = sensor;
    record.unixMs = kKnownMs;
    const std::uint16_t words[] = {812, 640, 377, 310, 295, 609, std::uint16_t(-3), 2, 1, 0, 65535};
    std::copy(std::begin(words), std::end(words), record.frame.w.begin());
    return record;
}

} // namespace

class TestCliFormats : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The tab format keeps the record file's local date and time.
        qputenv("TZ", "UTC");
        ::tzset();
    }

    void formatsOfAKnownFrame_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("row");
        const QByteArray names = "RED\tGREEN\tBLUE\tX s\tY i\tINT M\tdelta C\tCOLOR\tGROUP\tTRIGGER"
                                 "\tTEMP\r\n";
        const QByteArray values = "812\t640\t377\t310\t295\t609\t-3\t2\t1\t0\t65535\r\n";
        QTest::newRow("tsv") << "tsv"
                             << ""
                             << "DATE\tTIME\t" + names << "02-03-2024\t12:00:05\t" + values;
        QTest::newRow("tsv named")
            << "tsv"
            << "line4"
            << "SENSOR\tDATE\tTIME\t" + names << "line4\t02-03-2024\t12:00:05\t" + values;
        QTest::newRow("csv") << "csv"
                             << ""
                             << QByteArray("time,RED,GREEN,BLUE,X s,Y i,INT M,delta C,COLOR,"
                                           "GROUP,TRIGGER,TEMP\n")
                             << QByteArray("2024-02-03T12:00:05.042Z,812,640,377,310,295,609,-3,"
                                           "2,1,0,65535\n");
        QTest::newRow("csv named") << "csv"
                                   << "line4"
                                   << QByteArray("sensor,time,RED,GREEN,BLUE,X s,Y i,INT M,"
                                                 "delta C,COLOR,GROUP,TRIGGER,TEMP\n")
                                   << QByteArray("line4,2024-02-03T12:00:05.042Z,812,640,377,"
                                                 "310,295,609,-3,2,1,0,65535\n");
        QTest::newRow("json") << "json"
                              << "" << QByteArray() << QByteArray();
        QTest::newRow("json named") << "json"
                                    << "line4" << QByteArray() << QByteArray();
    }
    void formatsOfAKnownFrame() {
        QFETCH(QString, format);
        QFETCH(QString, sensor);
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, row);
        const auto parsed = cli::ParseFormat(format.toStdString());
        QVERIFY(parsed);
        const bool named = !sensor.isEmpty();
        const auto record = KnownRecord(sensor.toStdString());
        QCOMPARE(QByteArray::fromStdString(cli::HeaderLine(*parsed, named)), header);
        const QByteArray line = QByteArray::fromStdString(cli::RecordLine(*parsed, record, named));
        if (*parsed != cli::Format::Json) {
            QCOMPARE(line, row);
            return;
        }
        QVERIFY(line.endsWith('\n') && line.count('\n') == 1);
        QJsonParseError error;
        const QJsonObject json = QJsonDocument::fromJson(line, &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        QCOMPARE(json.value("time").toString(), QString("2024-02-03T12:00:05.042Z"));
        QCOMPARE(json.contains("sensor"), named);
        if (named) QCOMPARE(json.value("sensor").toString(), sensor);
        QCOMPARE(json.value("RED").toInt(), 812);
        QCOMPARE(json.value("X s").toInt(), 310);
        QCOMPARE(json.value("delta C").toInt(), -3);
        QCOMPARE(json.value("COLOR").toInt(), 2);
        QCOMPARE(json.value("GROUP").toInt(), 1);
        QCOMPARE(json.value("TEMP").toInt(), 65535);
        QCOMPARE(json.size(), 12 + (named ? 1 : 0));
        if (named) QCOMPARE(line.chopped(1).toStdString(), cli::MeasurementJson(record));
    }

    void statusJsonEscapesItsTexts() {
        const QByteArray json = QByteArray::fromStdString(
            cli::StatusJson("a", kKnownMs, false, "no reply from \"x\"\\y\n"));
        const QJsonObject object = QJsonDocument::fromJson(json).object();
        QCOMPARE(object.value("status").toString(), QString("offline"));
        QCOMPARE(object.value("detail").toString(), QString("no reply from \"x\"\\y\n"));
    }

    // Each line of a fleet file, or --sensor text, and what it gives; `why` names a refusal.
    void sensorLists_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("option");      // --sensor rather than a fleet file
        QTest::addColumn<QString>("expected"); // name|where|interval ('-': none), lines by ';'
        QTest::addColumn<QString>("why");
        QTest::newRow("file with comments")
            << QByteArray("# fleet\n\nline4  tcp:10.0.0.5:10001  0.5  # paint shop\n"
                          "line5\tserial:/dev/ttyUSB0@57600\n")
            << false << "line4|10.0.0.5:10001|0.5;line5|/dev/ttyUSB0|-"
            << "";
        QTest::newRow("default port")
            << QByteArray("a tcp:sensor.local") << false << "a|sensor.local:10001|-"
            << "";
        QTest::newRow("fourth field") << QByteArray("a tcp:h 1 2") << false << ""
                                      << "line 1:";
        QTest::newRow("unknown transport") << QByteArray("\na udp:h") << false << ""
                                           << "line 2:";
        QTest::newRow("bad interval") << QByteArray("a tcp:h -1") << false << ""
                                      << "interval";
        QTest::newRow("bad name") << QByteArray("a/b tcp:h") << false << ""
                                  << "name";
        QTest::newRow("odd baud") << QByteArray("a serial:/dev/x@1234") << false << ""
                                  << "baud";
        QTest::newRow("option") << QByteArray("line4=tcp:h:2000,interval=0.25") << true
                                << "line4|h:2000|0.25"
                                << "";
        QTest::newRow("option, no interval")
            << QByteArray("x=serial:/dev/pts/3") << true << "x|/dev/pts/3|-"
            << "";
        QTest::newRow("option without name") << QByteArray("tcp:h") << true << ""
                                             << "NAME=ADDRESS";
        QTest::newRow("option, bad interval") << QByteArray("a=tcp:h,interval=x") << true << ""
                                              << "interval";
        // Control characters never reach a message raw: a NUL would cut it, an escape sequence
        // would drive the operator's terminal. Long texts are told by their length.
        QTest::newRow("CR LF lines")
            << QByteArray("a tcp:h 1\r\nb tcp:g\r\n") << false << "a|h:10001|1;b|g:10001|-"
            << "";
        QTest::newRow("NUL in a name")
            << QByteArray("\na tcp:h\nli\0ne4 tcp:h\n", 22) << false << ""
            << "line 3: a control character (\\x00) at column 3";
        QTest::newRow("escape in a comment") << QByteArray("a tcp:h # \x1b[2J") << false << ""
                                             << "line 1: a control character (\\x1b) at column 11";
        QTest::newRow("CR inside a line") << QByteArray("a tcp:h\r1") << false << ""
                                          << "(\\x0d) at column 8";
        QTest::newRow("DEL") << QByteArray("a\x7f tcp:h") << false << ""
                             << "(\\x7f) at column 2";
        QTest::newRow("name beyond ASCII") << QByteArray("l\xc3\xa4ne tcp:h") << false << ""
                                           << "'l\\xc3\\xa4ne'";
        QTest::newRow("name of 64")
            << QByteArray(64, 'n') + " tcp:h" << false << QString(64, 'n') + "|h:10001|-"
            << "";
        QTest::newRow("name of 65") << QByteArray(65, 'n') + " tcp:h" << false << ""
                                    << "line 1: the name is 65 characters long, more than 64";
        QTest::newRow("name of 50000") << QByteArray(50000, 'n') + " tcp:h" << false << ""
                                       << "the name is 50000 characters long";
        QTest::newRow("address of 50000") << "a tcp:" + QByteArray(50000, 'h') + ":x" << false << ""
                                          << "(50006 characters)";
        QTest::newRow("option with escape") << QByteArray("a=tcp:h\x1b") << true << ""
                                            << "--sensor: a control character (\\x1b) at column 8";
        QTest::newRow("option, name of 65") << QByteArray(65, 'n') + "=tcp:h" << true << ""
                                            << "the name is 65 characters long";
        // Found by fuzzing: a tab passes a line's checks, but no device or host holds one.
        QTest::newRow("option, tab in a device")
            << QByteArray("a=serial:/dev/x\t4") << true << ""
            << "'serial:/dev/x\\x094': a device path holds no blank";
    }
    void sensorLists() {
        QFETCH(QByteArray, text);
        QFETCH(bool, option);
        QFETCH(QString, expected);
        QFETCH(QString, why);
        std::string refusal;
        std::vector<cli::WatchTarget> fleet;
        if (option) {
            if (const auto target = cli::ParseSensorOption(text.toStdString(), refusal))
                fleet.push_back(*target);
        } else {
            fleet = cli::ParseFleet(text.toStdString(), refusal);
        }
        QStringList got;
        for (const auto& target : fleet)
            got << QString::fromStdString(
                target.name + "|" + cli::WhereOf(target.link) + "|" +
                (target.interval ? QString::number(*target.interval).toStdString() : "-"));
        QCOMPARE(got.join(';'), expected);
        QVERIFY2(QString::fromStdString(refusal).contains(why), refusal.c_str());
        QCOMPARE(refusal.empty(), why.isEmpty());
        QVERIFY2(refusal.size() < 200, refusal.substr(0, 200).c_str());
        for (const char c : refusal)
            QVERIFY2(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f, refusal.c_str());
    }

    // The link's reports in a shell's words: the address named, no advice to press a button.
    void shellTexts_data() {
        namespace lt = comm::linktext;
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("said");
        QTest::newRow("time-out") << lt::kTimeout << "h:1"
                                  << "no reply from h:1 within 1.5 s";
        QTest::newRow("not open") << QString(lt::kTimeout) + lt::kLinkNotOpen << "h:1"
                                  << "no open link to h:1";
        QTest::newRow("closed") << lt::kServerClosed << "h:1"
                                << "connection closed by h:1";
        QTest::newRow("error reply 1") << lt::kInvalidOrder << "h:1"
                                       << "error reply from h:1: invalid order number (status 1)";
        QTest::newRow("other order") << QString::fromStdString(lt::OtherOrderText(7, 8)) << "h:1"
                                     << "h:1 answered order 7, not order 8";
        QTest::newRow("unknown status")
            << QString::fromStdString(lt::ErrorReplyText(9)) << "h:1"
            << "error reply with unknown status 9; verify pc and sensor software (h:1)";
        QTest::newRow("device keeps its capitals")
            << QString::fromStdString(
                   lt::OpenCauseText(lt::OpenCause::NoSuchDevice, "/dev/serial/by-id/usb-FTDI_A"))
            << "/dev/serial/by-id/usb-FTDI_A"
            << "no such serial device /dev/serial/by-id/usb-FTDI_A";
    }
    void shellTexts() {
        QFETCH(QString, report);
        QFETCH(QString, where);
        QFETCH(QString, said);
        const bool open = report.startsWith("NO SUCH");
        const std::string text =
            open ? cli::ShellWords(report.toStdString(), where.toStdString())
                 : cli::ShellReport(report.toStdString(), where.toStdString(), 1.5);
        QCOMPARE(QString::fromStdString(text), said);
    }
};

QTEST_GUILESS_MAIN(TestCliFormats)
#include "TestCliFormats.moc"
