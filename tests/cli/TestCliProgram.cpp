// chromix3-cli as a shell runs it, against the chromix3-sim program over TCP and a pty.
#include "model/IniStore.h"
#include "model/ParameterDefaults.h"
#include "model/ParameterFile.h"
#include "model/RecordFile.h"
#include "sim/SensorModel.h"
#include "support/SimProgram.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

constexpr int kWaitMs = 20000;
constexpr int kWatchWaitMs = 60000;

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A parameter set unlike the factory one, so that a file that was sent shows.
protocol::ParameterImage KnownImage(int power) {
    protocol::ParameterImage image = params::DefaultParameterImage();
    image.parameters[protocol::kPower] = std::uint16_t(power);
    image.parameters[protocol::kAverage] = 17;
    image.table[3].w[0] = 1234;
    image.table[30].w[6] = 4321;
    return image;
}

} // namespace

class TestCliProgram : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QProcess sim;
    QString tcpAddress;

    // Starts a simulator with `switches`; the address of its TCP port, or empty.
    static QString StartSim(QProcess& process, const QStringList& switches) {
        const QString program = qEnvironmentVariable("CHROMIX_SIM");
        if (program.isEmpty()) return {};
        process.start(program, QStringList{"--tcp", "0"} + switches);
        QByteArray out;
        while (!out.contains(switches.contains("--pty") ? "linked at" : "\n") &&
               process.waitForReadyRead(kWaitMs))
            out += process.readAllStandardOutput();
        const auto match = QRegularExpression("TCP port (\\d+)").match(QString::fromLatin1(out));
        return match.hasMatch() ? "127.0.0.1:" + match.captured(1) : QString();
    }

    // With a reply limit no busy machine reaches, so only the sensor's answer decides.
    QStringList Link(const QString& transport) const {
        const QStringList limit{"--timeout", QString::number(kWaitMs / 1000)};
        if (transport == "pty") return QStringList{"--serial", dir.filePath("ttySIM")} + limit;
        return QStringList{"--tcp", tcpAddress} + limit;
    }

    static Outcome Run(const QStringList& arguments, const QString& input = {}) {
        QProcess cli;
        if (!input.isEmpty()) cli.setStandardInputFile(input);
        cli.start(QStringLiteral(CHROMIX_CLI_PATH), arguments);
        Outcome outcome;
        if (!cli.waitForFinished(kWaitMs)) return outcome;
        outcome.status = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
        outcome.out = cli.readAllStandardOutput();
        outcome.err = cli.readAllStandardError();
        return outcome;
    }

    // Runs watch until what it wrote satisfies `seen`, then ends it with SIGTERM.
    static Outcome RunWatchUntil(const QStringList& arguments,
                                 const std::function<bool(const Outcome&)>& seen) {
        QProcess cli;
        cli.start(QStringLiteral(CHROMIX_CLI_PATH), QStringList{"watch"} + arguments);
        Outcome outcome;
        QElapsedTimer clock;
        clock.start();
        while (!seen(outcome) && cli.state() != QProcess::NotRunning &&
               clock.elapsed() < kWatchWaitMs) {
            cli.waitForReadyRead(100);
            outcome.out += cli.readAllStandardOutput();
            outcome.err += cli.readAllStandardError();
        }
        ::kill(pid_t(cli.processId()), SIGTERM);
        if (!cli.waitForFinished(kWaitMs)) return outcome;
        outcome.status = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
        outcome.out += cli.readAllStandardOutput();
        outcome.err += cli.readAllStandardError();
        return outcome;
    }

    // A password file of the kind named, its path ("" for none).
    QString PasswordFile(const QString& kind) const {
        const QString path = dir.filePath("password-" + kind);
        QFile::remove(path);
        QByteArray text;
        if (kind.isEmpty()) return {};
        if (kind == "missing") return path;
        if (kind == "directory") return QDir().mkpath(path) ? path : QString();
        if (kind == "fifo") return ::mkfifo(path.toLocal8Bit().constData(), 0600) == 0 ? path : "";
        if (kind == "good") text = "secret\n";
        if (kind == "megabyte") text = QByteArray(1 << 20, 'p');
        if (kind == "line too long") text = QByteArray(65536, 'p');
        if (kind == "no first line") text = "\nsecret\n";
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) return {};
        file.close();
        return ::chmod(path.toLocal8Bit().constData(), 0600) == 0 ? path : QString();
    }

    QString WriteFile(const QString& name, const protocol::ParameterImage& image) const {
        const QString path = dir.filePath(name);
        return params::WriteParameterFileTo(path.toStdString(), image) >= 0 ? path : QString();
    }

private slots:
    // What MQTT cannot carry, a TLS set-up that fails, and a password file that holds no
    // password end watch with the reason before anything is sent: a listener standing for the
    // broker sees no connection.
    void watchRefusesWhatCannotGoToTheBroker_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("passwordFile"); // the kind, given with --mqtt-user
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        const QString big(70000, 'x');
        const QString half(40000, 'h');
        QTest::newRow("TLS, no CA file")
            << QStringList{"--mqtt-tls", "/nonexistent/ca.crt"} << "good" << 2
            << "TLS cannot be set up with the CA file /nonexistent/ca.crt";
        QTest::newRow("TLS, a CA file of noise")
            << QStringList{"--mqtt-tls", "/dev/urandom"} << "good" << 2
            << "TLS cannot be set up with the CA file /dev/urandom (/dev/urandom is a character "
               "device";
        QTest::newRow("client id too long") << QStringList{"--mqtt-client-id", big} << "" << 2
                                            << "--mqtt-client-id is longer than MQTT carries";
        QTest::newRow("user too long") << QStringList{"--mqtt-user", big} << "" << 2
                                       << "--mqtt-user is longer than MQTT carries";
        QTest::newRow("prefix too long") << QStringList{"--topic-prefix", big} << "" << 2
                                         << "--topic-prefix is longer than MQTT carries";
        QTest::newRow("prefix and id too long together")
            << QStringList{"--topic-prefix", half, "--mqtt-client-id", half} << "" << 2
            << "together make a topic longer";
        QTest::newRow("prefix with +")
            << QStringList{"--topic-prefix", "plant/+"} << "" << 2 << "wildcards";
        QTest::newRow("prefix with #")
            << QStringList{"--topic-prefix", "#"} << "" << 2 << "wildcards";
        QTest::newRow("prefix with an empty level")
            << QStringList{"--topic-prefix", "plant//hall"} << "" << 2 << "empty level";
        QTest::newRow("prefix ending in /")
            << QStringList{"--topic-prefix", "plant/"} << "" << 2 << "empty level";
        QTest::newRow("password file a directory")
            << QStringList{} << "directory" << 3 << "is a directory";
        QTest::newRow("password file a fifo")
            << QStringList{} << "fifo" << 3 << "is a fifo, not a regular file";
        QTest::newRow("password file empty") << QStringList{} << "empty" << 2 << "is empty";
        QTest::newRow("password file of a megabyte")
            << QStringList{} << "megabyte" << 2 << "is larger than 64 kB";
        QTest::newRow("password longer than MQTT carries")
            << QStringList{} << "line too long" << 2 << "the password is longer than MQTT";
        QTest::newRow("password file, first line empty")
            << QStringList{} << "no first line" << 2 << "no password on its first line";
        QTest::newRow("password file missing")
            << QStringList{} << "missing" << 3 << "No such file or directory";
    }
    void watchRefusesWhatCannotGoToTheBroker() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, passwordFile);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost, 0));
        if (!passwordFile.isEmpty()) {
            const QString path = PasswordFile(passwordFile);
            QVERIFY(!path.isEmpty());
            arguments += QStringList{"--mqtt-user", "operator", "--mqtt-password-file", path};
        }
        const Outcome outcome =
            Run(QStringList{"watch", "--sensor", "a=tcp:127.0.0.1:1", "--mqtt",
                            QString("127.0.0.1:%1").arg(listener.serverPort())} +
                arguments);
        QCOMPARE(outcome.status, status);
        QVERIFY2(outcome.err.contains(said.toUtf8()), outcome.err.left(500).constData());
        QVERIFY(outcome.out.isEmpty());
        // watch has ended: a connection it had begun would be waiting here.
        QVERIFY(!listener.waitForNewConnection(0));
    }

    // A password file that others may read is taken, with a warning; one only its owner reads
    // is taken without a word.
    void aPasswordFileOthersCanReadIsWarnedAbout_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("warned");
        QTest::newRow("owner only") << 0600 << false;
        QTest::newRow("group reads") << 0640 << true;
        QTest::newRow("others read") << 0604 << true;
    }
    void aPasswordFileOthersCanReadIsWarnedAbout() {
        QFETCH(int, mode);
        QFETCH(bool, warned);
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost, 0));
        const QString path = PasswordFile("good");
        QVERIFY(!path.isEmpty());
        QCOMPARE(::chmod(path.toLocal8Bit().constData(), mode_t(mode)), 0);
        // The sensor that is not there goes offline once the options are all taken.
        const Outcome outcome =
            RunWatchUntil({"--sensor", "a=tcp:127.0.0.1:1", "--mqtt",
                           QString("127.0.0.1:%1").arg(listener.serverPort()), "--mqtt-user",
                           "operator", "--mqtt-password-file", path},
                          [](const Outcome& seen) { return seen.err.contains("a offline"); });
        QVERIFY2(outcome.err.contains("a offline"), outcome.err.constData());
        QCOMPARE(outcome.status, 0);
        QCOMPARE(outcome.err.contains("can be read by its group or by others"), warned);
    }

    // The sensor's text is data: what it says is shown on the terminal with its control
    // characters escaped, its bytes as 8-bit characters, and the JSON lines parse.
    void sensorTextIsShownNeverObeyed() {
        const QByteArray bytes = "ID\x1b]0;owned\x07\nchromix3-cli: forged \xe9\xff\x80\x9b end";
        QProcess odd;
        const QString address = StartSim(
            odd, {"--identification",
                  "ID\\x1b]0;owned\\x07\\x0achromix3-cli: forged \\xe9\\xff\\x80\\x9b end"});
        QVERIFY(!address.isEmpty());
        const QByteArray shown = "ID\\x1b]0;owned\\x07\\nchromix3-cli: forged \xc3\xa9\xc3\xbf"
                                 "\\x80\\x9b end";

        const Outcome identified =
            Run({"identify", "--tcp", address, "--timeout", QString::number(kWaitMs / 1000)});
        QCOMPARE(identified.status, 0);
        QCOMPARE(identified.out, shown + "\n");

        const Outcome watched =
            RunWatchUntil({"--sensor", "odd=tcp:" + address, "--format", "json", "--interval",
                           "0.2", "--timeout", QString::number(kWaitMs / 1000)},
                          [](const Outcome& seen) { return seen.out.contains("\"RED\""); });
        odd.terminate();
        odd.waitForFinished(kWaitMs);
        QCOMPARE(watched.status, 0);
        QVERIFY2(watched.err.contains("chromix3-cli: odd online: " + shown + "\n"),
                 watched.err.constData());
        QVERIFY(!watched.err.contains('\x1b') && !watched.err.contains("\nchromix3-cli: forged"));
        int statuses = 0;
        for (const QByteArray& line : watched.out.split('\n')) {
            if (line.isEmpty()) continue;
            QJsonParseError error;
            const QJsonObject object = QJsonDocument::fromJson(line, &error).object();
            QVERIFY2(error.error == QJsonParseError::NoError, line.constData());
            if (object.value("status").toString() != "online") continue;
            ++statuses;
            QCOMPARE(object.value("detail").toString(), QString::fromLatin1(bytes));
        }
        QCOMPARE(statuses, 1);
    }
    void initTestCase() {
        if (qEnvironmentVariable("CHROMIX_SIM").isEmpty())
            QSKIP("CHROMIX_SIM does not name the simulator program");
        QVERIFY(dir.isValid());
        tcpAddress = StartSim(sim, {"--pty", dir.filePath("ttySIM")});
        QVERIFY(!tcpAddress.isEmpty());
    }

    void cleanupTestCase() {
        sim.terminate();
        sim.waitForFinished(kWaitMs);
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "hwinfo";
        QTest::newRow("get help") << QStringList{"get", "--help"} << 0 << "--eeprom";
        QTest::newRow("send help") << QStringList{"send", "--help"} << 0 << "--set";
        QTest::newRow("measure help") << QStringList{"measure", "--help"} << 0 << "--seconds";
        QTest::newRow("hwinfo help") << QStringList{"hwinfo", "--help"} << 0 << "--file";
        QTest::newRow("no command") << QStringList{} << 2 << "no command";
        QTest::newRow("unknown command") << QStringList{"--tcp", "h", "fly"} << 2 << "'fly'";
        QTest::newRow("no sensor named") << QStringList{"identify"} << 2 << "--tcp or --serial";
        QTest::newRow("odd baud") << QStringList{"identify", "--serial", "d", "--baud", "1"} << 2
                                  << "--baud";
        QTest::newRow("count and seconds")
            << QStringList{"measure", "--tcp", "h", "--count", "2", "--seconds", "2"} << 2
            << "either";
        QTest::newRow("no file") << QStringList{"get", "--tcp", "h"} << 2 << "--file";
        QTest::newRow("set 2") << QStringList{"get", "--tcp", "h", "--file", "f", "--set", "2"} << 2
                               << "--set";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "chromix3-cli 4.2\n";
        QTest::newRow("odd format")
            << QStringList{"measure", "--tcp", "h", "--format", "xml"} << 2 << "--format";
        QTest::newRow("odd timeout")
            << QStringList{"identify", "--tcp", "h", "--timeout", "0"} << 2 << "--timeout";
        QTest::newRow("watch without sensors") << QStringList{"watch"} << 2 << "--sensor";
        QTest::newRow("watch, two of a name")
            << QStringList{"watch", "--sensor", "a=tcp:h", "--sensor", "a=tcp:g"} << 2
            << "two sensors named a";
        QTest::newRow("watch, no fleet file")
            << QStringList{"watch", "--fleet", "/nonexistent/fleet"} << 3 << "fleet";
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        const Outcome outcome = Run(arguments);
        QCOMPARE(outcome.status, status);
        QVERIFY2((outcome.out + outcome.err).contains(said.toUtf8()), outcome.err.constData());
    }

    void identify_data() {
        QTest::addColumn<QString>("transport");
        QTest::newRow("tcp") << "tcp";
        QTest::newRow("pty") << "pty";
    }
    void identify() {
        QFETCH(QString, transport);
        const Outcome outcome = Run(QStringList{"identify"} + Link(transport));
        QVERIFY2(outcome.status == 0, outcome.err.constData());
        QCOMPARE(outcome.out, QByteArray(sim::kIdentification) + "\n");
    }

    void sendThenGet_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QStringList>("where");
        QTest::addColumn<int>("power");
        QTest::newRow("ram set 0, tcp") << "tcp" << QStringList{} << 601;
        QTest::newRow("ram set 1, pty") << "pty" << QStringList{"--set", "1"} << 602;
        QTest::newRow("eeprom set 1, tcp") << "tcp" << QStringList{"--eeprom", "--set", "1"} << 603;
    }
    void sendThenGet() {
        QFETCH(QString, transport);
        QFETCH(QStringList, where);
        QFETCH(int, power);
        const QString sent = WriteFile("sent.ini", KnownImage(power));
        const QString got = dir.filePath("got.ini");
        const Outcome send = Run(QStringList{"send", "--file", sent} + where + Link(transport));
        QVERIFY2(send.status == 0, send.err.constData());
        QCOMPARE(send.err, QByteArray());
        const Outcome get = Run(QStringList{"get", "--file", got} + where + Link(transport));
        QVERIFY2(get.status == 0, get.err.constData());
        QCOMPARE(Contents(got), Contents(sent));
    }

    // Nothing of a refused file reaches the sensor: it keeps the set sent before.
    void refusedFileSendsNothing_data() {
        QTest::addColumn<QByteArray>("contents"); // empty: no file at all
        QTest::addColumn<QString>("said");
        QTest::newRow("missing") << QByteArray() << "cannot read";
        QTest::newRow("garbled") << QByteArray("\x01\x7f=]]not a parameter file[\n", 27)
                                 << "not a parameter file";
        protocol::ParameterImage other = KnownImage(123);
        const QByteArray valid = Contents(WriteFile("other.ini", other));
        QTest::newRow("value garbled")
            << QByteArray(valid).replace("INTLIM = 0", "INTLIM = 0x") << "INTLIM";
    }
    void refusedFileSendsNothing() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, said);
        const QString known = WriteFile("known.ini", KnownImage(777));
        QCOMPARE(Run(QStringList{"send", "--file", known} + Link("tcp")).status, 0);
        const QString bad = dir.filePath("bad.ini");
        QFile::remove(bad);
        if (!contents.isEmpty()) {
            QFile file(bad);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        const Outcome send = Run(QStringList{"send", "--file", bad} + Link("tcp"));
        QCOMPARE(send.status, 3);
        QVERIFY2(send.err.contains("nothing sent") && send.err.contains(said.toUtf8()),
                 send.err.constData());
        const QString got = dir.filePath("after.ini");
        QCOMPARE(Run(QStringList{"get", "--file", got} + Link("tcp")).status, 0);
        QCOMPARE(Contents(got), Contents(known));
    }

    void replacedValuesGiveTheNotice() {
        const QString path = WriteFile("implausible.ini", KnownImage(2000));
        const Outcome send = Run(QStringList{"send", "--file", path} + Link("tcp"));
        QCOMPARE(send.status, 4);
        QVERIFY2(send.err.contains("1 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK"),
                 send.err.constData());
        QVERIFY2(send.err.contains("POWER: SENT 2000, THE SENSOR HOLDS 500"), send.err.constData());
    }

    // A failure is told with the address and its cause, in the shell's words.
    void failuresNameTheAddressAndTheCause() {
        QProcess silent;
        // Over the pty, where no connect has to finish within the time the reply is given.
        const QString device = dir.filePath("ttySILENT");
        const QString address = StartSim(silent, {"--silence", "--pty", device});
        QVERIFY(!address.isEmpty());
        const Outcome timedOut = Run({"identify", "--serial", device, "--timeout", "0.5"});
        silent.terminate();
        silent.waitForFinished(kWaitMs);
        QCOMPARE(timedOut.status, 1);
        QCOMPARE(timedOut.out, QByteArray());
        QCOMPARE(timedOut.err,
                 "chromix3-cli: no reply from " + device.toUtf8() + " within 0.5 s\n");
        // The simulator has gone: nothing listens on its port now.
        const Outcome refused = Run({"measure", "--tcp", address});
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.startsWith("chromix3-cli: connection refused by " + address.toUtf8()),
                 refused.err.constData());
        QVERIFY(!refused.err.contains("TRY TO CONNECT"));
    }

    // Scripts read csv and json without a preamble, a JSON object a line.
    void measureFormats_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("first");
        QTest::newRow("csv") << "csv"
                             << QByteArray("time,RED,GREEN,BLUE,X s,Y i,INT M,delta C,"
                                           "COLOR,GROUP,TRIGGER,TEMP");
        QTest::newRow("json") << "json" << QByteArray("{\"time\":\"");
    }
    void measureFormats() {
        QFETCH(QString, format);
        QFETCH(QByteArray, first);
        const QString path = dir.filePath("records." + format);
        const Outcome toFile = Run(QStringList{"measure", "--count", "3", "--format", format,
                                               "--interval", "0.01", "--file", path} +
                                   Link("tcp"));
        QVERIFY2(toFile.status == 0, toFile.err.constData());
        QCOMPARE(toFile.out, QByteArray());
        const Outcome toOutput =
            Run(QStringList{"measure", "--count", "3", "--format", format, "--file", "-"} +
                Link("tcp"));
        QVERIFY2(toOutput.status == 0, toOutput.err.constData());
        for (const QByteArray& out : {Contents(path), toOutput.out}) {
            QVERIFY2(out.startsWith(first) && out.endsWith('\n'), out.constData());
            QList<QByteArray> lines = out.trimmed().split('\n');
            QCOMPARE(lines.size(), format == "csv" ? 4 : 3);
            if (format == "csv") {
                QVERIFY(QRegularExpression(
                            "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z(,-?\\d+){11}$")
                            .match(QString::fromLatin1(lines.last()))
                            .hasMatch());
                continue;
            }
            for (const QByteArray& line : lines) {
                const QJsonObject record = QJsonDocument::fromJson(line).object();
                QVERIFY2(record.value("RED").isDouble() && record.value("TEMP").isDouble(),
                         line.constData());
            }
        }
    }

    // "-" is standard output: the same bytes the file gets.
    void getToStandardOutputGivesTheFile() {
        const QString path = dir.filePath("viafile.ini");
        QCOMPARE(Run(QStringList{"get", "--file", path} + Link("tcp")).status, 0);
        const Outcome out = Run(QStringList{"get", "--file", "-"} + Link("tcp"));
        QVERIFY2(out.status == 0, out.err.constData());
        QCOMPARE(out.out, Contents(path));
        const Outcome json =
            Run(QStringList{"get", "--file", "-", "--format", "json"} + Link("tcp"));
        const QJsonObject values = QJsonDocument::fromJson(json.out).object();
        QCOMPARE(values.value("PARAMETER").toObject().value("AVERAGE").toInt(), 17);
        QCOMPARE(values.value("TEACH VECTOR 3").toObject().value("CELL 0").toInt(), 1234);
    }

    // A file the window would ask about is refused with its reason; --force sends it.
    void foreignFileNeedsForce() {
        QByteArray foreign = Contents(WriteFile("foreign.ini", KnownImage(444)));
        foreign.replace("Parameter File", "Scope File");
        const QString path = dir.filePath("foreign.ini");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(foreign);
        file.close();
        QCOMPARE(
            Run(QStringList{"send", "--file", WriteFile("k.ini", KnownImage(333))} + Link("tcp"))
                .status,
            0);
        const Outcome refused = Run(QStringList{"send", "--file", path} + Link("tcp"));
        QCOMPARE(refused.status, 3);
        QVERIFY2(refused.err.contains("not a parameter file (FILE TYPE: \"Scope File\")") &&
                     refused.err.contains("--force"),
                 refused.err.constData());
        QVERIFY(!refused.err.contains("Do you want"));
        const Outcome forced = Run(QStringList{"send", "--force", "--file", path} + Link("tcp"));
        QVERIFY2(forced.status == 0, forced.err.constData());
        const Outcome json =
            Run(QStringList{"get", "--file", "-", "--format", "json"} + Link("tcp"));
        QCOMPARE(QJsonDocument::fromJson(json.out)["PARAMETER"]["POWER"].toInt(), 444);
    }

    void measureCountPrintsRows() {
        const Outcome outcome = Run(QStringList{"measure", "--count", "3"} + Link("tcp"));
        QVERIFY2(outcome.status == 0, outcome.err.constData());
        const QList<QByteArray> lines = outcome.out.split('\n');
        const qsizetype header = lines.indexOf("DATE\tTIME\tRED\tGREEN\tBLUE\tX s\tY i\tINT M\t"
                                               "delta C\tCOLOR\tGROUP\tTRIGGER\tTEMP\r");
        QVERIFY2(header > 0, outcome.out.constData());
        QVERIFY(lines[1].startsWith("RECORD RESULTS OF: "));
        QCOMPARE(lines.size(), header + 5); // three rows, then nothing after the last line end
        for (qsizetype row = header + 1; row <= header + 3; ++row)
            QCOMPARE(lines[row].split('\t').size(), 13);
        QCOMPARE(lines.last(), QByteArray());
    }

    // A reply too short to hold a measurement fails the command: no row, the cause on stderr.
    void aShortMeasurementIsNoRow_data() {
        QTest::addColumn<int>("dataBytes");
        QTest::newRow("no data") << 0;
        QTest::newRow("one word") << 2;
        QTest::newRow("half a measurement") << 20;
    }
    void aShortMeasurementIsNoRow() {
        QFETCH(int, dataBytes);
        SimProgram shortSim;
        const QString address =
            StartSim(shortSim, {"--data-bytes", QString::number(dataBytes), "--only-order", "8"});
        QVERIFY(!address.isEmpty());
        const QString path = dir.filePath("short.dat");
        const Outcome outcome = Run({"measure", "--count", "3", "--file", path, "--tcp", address,
                                     "--timeout", QString::number(kWaitMs / 1000)});
        QCOMPARE(outcome.status, 1);
        QVERIFY2(outcome.err.contains("its " + QByteArray::number(dataBytes) +
                                      " data bytes are not the 40 order 8 asks for"),
                 outcome.err.constData());
        QCOMPARE(Contents(path), QByteArray::fromStdString(recorder::RecordFileHeader("")));
    }

    // A file size limit stands in for a full disk: the header fits and a row or so after it.
    // The limit comes as a service manager sets it; the program itself must not die of it.
    void measureOnAFullDiskKeepsWholeRowsAndSaysHowManyAreMissing_data() {
        QTest::addColumn<bool>("named"); // --file rather than standard output
        QTest::newRow("standard output") << false;
        QTest::newRow("--file") << true;
    }
    void measureOnAFullDiskKeepsWholeRowsAndSaysHowManyAreMissing() {
        QFETCH(bool, named);
        const QString path = dir.filePath(named ? "full-named.dat" : "full.dat");
        const auto header = QByteArray::fromStdString(recorder::RecordFileHeader(""));
        QProcess cli;
        QStringList arguments = QStringList{"measure", "--count", "4"} + Link("tcp");
        if (named)
            arguments << "--file" << path;
        else
            cli.setStandardOutputFile(path);
        cli.setChildProcessModifier([limit = rlim_t(header.size() + 100)] {
            const rlimit full{limit, limit};
            setrlimit(RLIMIT_FSIZE, &full);
        });
        cli.start(QStringLiteral(CHROMIX_CLI_PATH), arguments);
        QVERIFY(cli.waitForFinished(kWaitMs));
        const QByteArray err = cli.readAllStandardError();
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 3);
        const QByteArray out = Contents(path);
        QVERIFY(out.startsWith(header));
        const QList<QByteArray> rows = out.mid(header.size()).split('\n');
        QCOMPARE(rows.last(), QByteArray()); // every row ends with its line end
        for (qsizetype row = 0; row + 1 < rows.size(); ++row)
            QCOMPARE(rows[row].split('\t').size(), 13);
        const QByteArray missing = QByteArray::number(4 - (rows.size() - 1)) + " of 4 rows";
        QVERIFY2(err.contains(missing), err.constData());
    }

    // Every file the command line reads is a regular file of at most 1 MiB, opened without
    // waiting: a device, a fifo or a kernel file without end is refused at once, with its reason.
    void inputFilesAreRefusedWithTheirReason_data() {
        QTest::addColumn<QStringList>("arguments"); // FIFO, BIG: files this test makes
        QTest::addColumn<QString>("input");         // standard input, when it counts
        QTest::addColumn<QString>("said");
        const QStringList send = QStringList{"send"} + Link("tcp") + QStringList{"--file"};
        const QStringList mqtt{"watch", "--sensor", "a=tcp:h", "--mqtt", "h"};
        QTest::newRow("fleet of zeros") << QStringList{"watch", "--fleet", "/dev/zero"} << ""
                                        << "/dev/zero is a character device";
        QTest::newRow("fleet fifo") << QStringList{"watch", "--fleet", "FIFO"} << ""
                                    << "is a fifo";
        QTest::newRow("fleet folder") << QStringList{"watch", "--fleet", "/tmp"} << ""
                                      << "/tmp is a directory";
        QTest::newRow("fleet of 2 MiB") << QStringList{"watch", "--fleet", "BIG"} << ""
                                        << "is larger than 1 MiB";
        // A kernel file tells no size: its bytes are counted as they come.
        QTest::newRow("fleet, kernel file")
            << QStringList{"watch", "--fleet", "/proc/self/pagemap"} << ""
            << "/proc/self/pagemap is larger than 1 MiB";
        QTest::newRow("send fifo") << send + QStringList{"FIFO"} << ""
                                   << "is a fifo";
        QTest::newRow("send endless input") << send + QStringList{"-"} << "/dev/zero"
                                            << "holds more than 1 MiB";
    }
    void inputFilesAreRefusedWithTheirReason() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, input);
        QFETCH(QString, said);
        const QString fifo = dir.filePath("fifo");
        const QString big = dir.filePath("big");
        QVERIFY(QFileInfo::exists(fifo) || ::mkfifo(fifo.toLocal8Bit().constData(), 0600) == 0);
        QFile file(big);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(2 * 1024 * 1024));
        file.close();
        arguments.replaceInStrings(QRegularExpression("^FIFO$"), fifo);
        arguments.replaceInStrings(QRegularExpression("^BIG$"), big);
        const Outcome outcome = Run(arguments, input);
        QVERIFY2(outcome.err.contains(said.toUtf8()), outcome.err.constData());
        QCOMPARE(outcome.status, 3);
        QCOMPARE(outcome.out, QByteArray());
    }

    // The fleet file's model table holds the other control characters and long names; here the
    // message is seen whole on stderr, escaped once, through the program's own error path.
    void aFleetLineWithANulIsToldWhole() {
        const QByteArray contents("a tcp:h\nli\0ne tcp:h\n", 20);
        const QString said = "line 2: a control character (\\x00) at column 3";
        const QString path = dir.filePath("fleet");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
        file.close();
        const Outcome outcome = Run({"watch", "--fleet", path});
        QCOMPARE(outcome.status, 2);
        QVERIFY2(outcome.err.contains(said.toUtf8()), outcome.err.constData());
        QVERIFY2(outcome.err.endsWith('\n') && outcome.err.size() < 300,
                 outcome.err.left(300).constData());
    }

    void hwinfoWritesTheFile() {
        const QString path = dir.filePath("hw.ini");
        const Outcome outcome = Run(QStringList{"hwinfo", "--file", path} + Link("pty"));
        QVERIFY2(outcome.status == 0, outcome.err.constData());
        settings::IniStore store;
        QCOMPARE(store.ReadFromFile(path.toStdString()), int(settings::kIniOk));
        std::string text;
        store.GetString("GENERAL INFO", "FIRMWARE VERSION:", text);
        QCOMPARE(text, std::string(sim::kIdentification));
        store.GetString("HARDWARE INFO", "DATA", text);
        QCOMPARE(text.size(), std::size_t(1024));
        QVERIFY(text.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos);
        QVERIFY(text != std::string(1024, '0'));
    }
};

QTEST_GUILESS_MAIN(TestCliProgram)
#include "TestCliProgram.moc"
