// Low latency on a serial descriptor and the adapter's latency timer, alone: a pseudo-terminal
// stands for a port whose driver knows no serial settings, a folder for the system's view of
// the adapters.
#include "link/SerialLatency.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using comm::LowLatency;

class TestSerialLatency : public QObject {
    Q_OBJECT

private slots:
    void aPseudoTerminalHasNoLowLatencyAndStaysUsable() {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0);
        QCOMPARE(::grantpt(master), 0);
        QCOMPARE(::unlockpt(master), 0);
        const int port = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
        QVERIFY(port >= 0);
        termios raw{};
        QCOMPARE(::tcgetattr(port, &raw), 0);
        ::cfmakeraw(&raw);
        QCOMPARE(::tcsetattr(port, TCSANOW, &raw), 0);

        QCOMPARE(comm::RequestLowLatency(port), LowLatency::NotSerial);
        // A pipe is no terminal at all: the same answer, and no harm.
        int pipeEnds[2];
        QCOMPARE(::pipe(pipeEnds), 0);
        QCOMPARE(comm::RequestLowLatency(pipeEnds[0]), LowLatency::NotSerial);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);

        QCOMPARE(::write(master, "ab", 2), ssize_t(2));
        char got[2] = {};
        QCOMPARE(::read(port, got, 2), ssize_t(2));
        QCOMPARE(QByteArray(got, 2), QByteArray("ab"));
        ::close(port);
        ::close(master);
    }

    void latencyTimerIsReadWhereTheSystemShowsIt_data() {
        QTest::addColumn<QString>("file"); // under class/tty/ttyUSB7/, empty for none
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("timer");
        QTest::addColumn<QString>("logLine2"); // the line after the low-latency line
        QTest::newRow("on the port") << "device/latency_timer" << QByteArray("16\n") << 16
                                     << "ADAPTER LATENCY TIMER 16 MS: EACH REPLY MAY WAIT AS "
                                        "LONG; 1 MS IS FASTER (WRITE 1 TO %1)";
        QTest::newRow("above the port")
            << "latency_timer" << QByteArray("1\n") << 1 << "ADAPTER LATENCY TIMER 1 MS";
        QTest::newRow("unreadable") << "device/latency_timer" << QByteArray("x") << -1 << "";
        QTest::newRow("none") << "" << QByteArray() << -1 << "";
    }
    void latencyTimerIsReadWhereTheSystemShowsIt() {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(int, timer);
        QFETCH(QString, logLine2);
        QTemporaryDir sys;
        const QString port = sys.filePath(QStringLiteral("class/tty/ttyUSB7"));
        QVERIFY(QDir().mkpath(port + QStringLiteral("/device")));
        if (!file.isEmpty()) {
            QFile timerFile(port + QLatin1Char('/') + file);
            QVERIFY(timerFile.open(QIODevice::WriteOnly));
            timerFile.write(content);
        }
        std::string path;
        QCOMPARE(comm::LatencyTimerMs("/dev/ttyUSB7", &path, sys.path().toStdString()), timer);
        const std::string text = comm::LowLatencyText(LowLatency::Set, "/dev/ttyUSB7", timer, path);
        QString expected = QStringLiteral("LOW LATENCY ON FOR /dev/ttyUSB7");
        if (!logLine2.isEmpty())
            expected += QLatin1Char('\n') + logLine2.arg(QString::fromStdString(path));
        QCOMPARE(QString::fromStdString(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestSerialLatency)
#include "TestSerialLatency.moc"
