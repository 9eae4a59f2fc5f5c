// The window program's command line, run as a shell runs it: what needs no window is answered
// without a display, and --settings names the file read and written.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

constexpr int kWaitMs = 60000;

// The environment of a terminal without any display: a program that tried to open a window
// would abort.
QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void answeredWithoutADisplay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out"); // what stdout holds (empty: nothing at all)
        QTest::addColumn<QString>("err"); // stderr's one line (empty: nothing at all)
        QTest::newRow("help") << QStringList{"--settings", "x.cfg", "--help", "p.ini"} << 0
                              << "\n  --settings FILE  keep the settings in FILE"
                              << "";
        QTest::newRow("version") << QStringList{"-v"} << 0 << "chromix3 " CHROMIX_VERSION "\n"
                                 << "";
        QTest::newRow("unknown option")
            << QStringList{"--colour"} << 2 << ""
            << "chromix3: unknown option '--colour' (chromix3 --help lists them)\n";
        QTest::newRow("settings without a file") << QStringList{"--settings"} << 2 << ""
                                                 << "chromix3: --settings needs a file\n";
        QTest::newRow("two parameter files")
            << QStringList{"a.ini", "b.ini"} << 2 << ""
            << "chromix3: one parameter file only, not also 'b.ini'\n";
    }
    void answeredWithoutADisplay() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess program;
        program.setProcessEnvironment(WithoutDisplay());
        program.start(QStringLiteral(CHROMIX_PROGRAM_PATH), arguments);
        QVERIFY(program.waitForFinished(kWaitMs));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), exitCode);
        const QString outText = QString::fromLocal8Bit(program.readAllStandardOutput());
        QVERIFY2(out.isEmpty() ? outText.isEmpty() : outText.contains(out), qPrintable(outText));
        QCOMPARE(QString::fromLocal8Bit(program.readAllStandardError()), err);
    }

    // Two windows on one account keep separate settings: the file named is the one read (the
    // program connects to the sensor it names) and written at the end, and none is placed
    // beside the program. Relative to the folder the program starts in.
    void settingsComeFromTheFileNamed() {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("chromix3"));
        QVERIFY(QFile::copy(QStringLiteral(CHROMIX_PROGRAM_PATH), program));
        QVERIFY(
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("second")));
        QTcpServer sensor;
        QVERIFY(sensor.listen(QHostAddress::LocalHost));
        // The identification and the communication part only, as scripts/run writes them.
        const QByteArray given = "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n"
                                 "SCOPE VERSION: = \"CHROMIX3-Varev V4.2\"\r\n"
                                 "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 1\r\n"
                                 "IP ADRESS = \"127.0.0.1\"\r\nPORT NUMBER = \"" +
                                 QByteArray::number(sensor.serverPort()) + "\"\r\n";
        const QString settingsPath = dir.filePath(QStringLiteral("second/window.cfg"));
        QFile settingsFile(settingsPath);
        QVERIFY(settingsFile.open(QIODevice::WriteOnly) && settingsFile.write(given) > 0);
        settingsFile.close();

        QProcess window;
        window.setProcessChannelMode(QProcess::ForwardedChannels);
        window.setWorkingDirectory(dir.path());
        window.start(program, {QStringLiteral("--settings"), QStringLiteral("second/window.cfg")});
        QVERIFY(sensor.waitForNewConnection(kWaitMs));
        QCOMPARE(::kill(pid_t(window.processId()), SIGTERM), 0);
        QVERIFY(window.waitForFinished(kWaitMs));
        QCOMPARE(window.exitStatus(), QProcess::NormalExit);
        QCOMPARE(window.exitCode(), 0);
        QVERIFY(settingsFile.open(QIODevice::ReadOnly));
        const QByteArray written = settingsFile.readAll();
        // Written whole at the end, the side files starting in the settings file's folder.
        QVERIFY(written.contains("[PANEL POSITION]"));
        const QString second =
            QFileInfo(dir.filePath(QStringLiteral("second"))).canonicalFilePath();
        QVERIFY(written.contains((second + QStringLiteral("/Parameter.ini")).toLocal8Bit()));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("PanelSettings.cfg"))));
    }
};

QTEST_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
