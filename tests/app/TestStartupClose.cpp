// Closing the window while the start-up connection still waits ends the program: the test runs
// the program in a child process of its own and checks how that process ends.
#include "app/Program.h"
#include "core/AppState.h"
#include "sim/SimThread.h"
#include "support/ScriptedOperator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstring>

namespace {

constexpr const char* kChildSwitch = "--run-program-and-close-after-ms";

// The program as main() runs it, with its window closed `closeAfterMs` into the start-up.
int RunProgramClosedEarly(int argc, char** argv) {
    QApplication application(argc, argv);
    const int closeAfterMs = std::atoi(argv[2]);
    core::AppState state;
    ScriptedOperator dialogs;
    app::Program program(state, dialogs);
    program.SetProgramDirectory(QString::fromLocal8Bit(argv[3]));
    QTimer::singleShot(closeAfterMs, [&program] { program.Window().close(); });
    return app::RunProgram(program);
}

void WriteSettings(const QString& path, quint16 port) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n"
               "SCOPE VERSION: = \"CHROMIX3-Varev V4.2\"\r\nPANEL ID: = \"before\"\r\n\r\n"
               "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 1\r\nCOMPORT = 1\r\nBAUDRATE = 4\r\n"
               "IP ADRESS = \"127.0.0.1\"\r\nPORT NUMBER = \"" +
               QByteArray::number(port) + "\"\r\n");
}

} // namespace

class TestStartupClose : public QObject {
    Q_OBJECT

private slots:
    void closingDuringTheFirstConnectEndsTheProcess() {
        sim::SimThread simulator;
        const quint16 port = simulator.StartTcp(0);
        sim::FaultSettings faults;
        faults.silence = sim::Fault{true, 0, 7}; // the sensor never identifies itself
        simulator.SetFaults(faults);
        QTemporaryDir dir;
        const QString settings = dir.filePath(QStringLiteral("PanelSettings.cfg"));
        WriteSettings(settings, port);
        const QDateTime written = QFileInfo(settings).lastModified();

        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kChildSwitch), QStringLiteral("300"), dir.path()});
        QVERIFY(child.waitForStarted());
        // Generous: the identification wait of 3.0 s runs to its end, nothing after it.
        const bool ended = child.waitForFinished(20000);
        if (!ended) child.kill();
        QVERIFY2(ended, "the program went on without its window");
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);

        // Shut-down ran: the settings were written at close, and nothing was asked after the
        // identification that was waiting.
        QVERIFY(QFileInfo(settings).lastModified() >= written);
        QFile file(settings);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("PORT NUMBER = \"" + QByteArray::number(port) + "\""));
        int identifications = 0;
        for (const auto& request : simulator.RequestLog()) {
            identifications += request.order == 7 ? 1 : 0;
            QVERIFY2(request.order == 7, "a request after the window was closed");
        }
        QCOMPARE(identifications, 1);
    }
};

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], kChildSwitch) == 0)
        return RunProgramClosedEarly(argc, argv);
    QApplication application(argc, argv);
    TestStartupClose test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestStartupClose.moc"
