// The sensor link over a real pseudo-terminal to the simulator, as over an RS-232 cable.
#include "LinkFixture.h"
#include "comm/LinkTexts.h"
#include "support/RunTests.h"

#include <QtTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace comm;
using namespace core;

using sim::FaultSettings;

class TestSensorLinkPty : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> f;

private slots:
    void init() {
        f = std::make_unique<LinkFixture>();
        QVERIFY(f->OpenPty());
        QVERIFY(f->link->SerialPortOpen());
        f->state->flags.running = 1;
    }
    void cleanup() { f.reset(); }

    void identificationAndMeasurementSucceed() {
        QCOMPARE(f->Exchange(7), 1);
        const char* text = reinterpret_cast<const char*>(f->state->link.receiveBuffer.data() + 8);
        QCOMPARE(QByteArray(text), QByteArray(sim::kIdentification));
        QCOMPARE(f->Exchange(8), 1);
        f->link->DecodeMeasurementWords();
        QVERIFY(f->state->frames.measurementWords[0] > 0);
        QVERIFY(f->view.log.empty());
    }

    void silentSensorIsReportedAfterTheLimitAndThePortTimeout() {
        f->SetFault(&FaultSettings::silence);
        double seconds = 0;
        QCOMPARE(f->TimedMeasurement(seconds), -1);
        // 3.0 s for the header, then the read of the missing bytes waits its own 2.0 s.
        // The upper bound only catches a wait that never ends; a loaded machine may add a second.
        QVERIFY2(seconds >= 4.9 && seconds < 8.0, qPrintable(QString::number(seconds)));
        QCOMPARE(f->view.log, std::string(linktext::kTimeout) + "\n\n");
        QCOMPARE(f->view.statusLine, std::string("TIMEOUT!"));
        QCOMPARE(f->state->flags.running, std::uint16_t(0));
    }

    void repliesPacedAtTheLineRateArriveWhole_data() {
        QTest::addColumn<int>("baud");
        QTest::newRow("9600") << 9600;
        QTest::newRow("115200") << 115200;
    }
    void repliesPacedAtTheLineRateArriveWhole() {
        // The wait sleeps through most of a reply that arrives byte by byte; it must still take
        // every byte and check them.
        QFETCH(int, baud);
        f->SetFault(&FaultSettings::baudRate, baud);
        // The terminal's settings are shared by every descriptor on it.
        const int observer = ::open(f->dir.filePath(QStringLiteral("sensor-tty")).toLocal8Bit(),
                                    O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(observer >= 0);
        const long wakeUpsBefore = f->link->WaitWakeUps();
        constexpr int kTurns = 3;
        for (int turn = 0; turn < kTurns; ++turn) {
            f->state->frames.measurementWords.fill(0);
            QCOMPARE(f->Exchange(8), 1);
            f->link->DecodeMeasurementWords();
            QVERIFY(f->state->frames.measurementWords[0] > 0);
            QVERIFY(f->state->frames.measurementWords[10] > 0); // temperature, word 10
            // Between exchanges every byte wakes the port again.
            termios settings{};
            QCOMPARE(::tcgetattr(observer, &settings), 0);
            QCOMPARE(int(settings.c_cc[VMIN]), 0);
        }
        ::close(observer);
        // Once for the header and once for the data, not once per byte; a third for the event
        // loop now and then.
        const long wakeUps = f->link->WaitWakeUps() - wakeUpsBefore;
        QVERIFY2(wakeUps <= 3 * kTurns, qPrintable(QString::number(wakeUps)));
        QCOMPARE(f->Exchange(7), 1);
        QVERIFY(f->view.log.empty());
    }

    void aReplyLaterThanTheWaitsOwnSliceIsNoFailure() {
        // The wait on the port alone runs out every few milliseconds; that is no fault.
        f->SetFault(&FaultSettings::delayMs, 40);
        QCOMPARE(f->Exchange(8), 1);
        QVERIFY(f->view.log.empty());
        QCOMPARE(f->state->link.linkErrorWord, std::uint16_t(0));
    }

    void timersRunWhileWholeRepliesFollowEachOther() {
        // An unpaced reply is all there at the first wake-up, so no wait follows the request
        // that could be given to the event loop; it must get its turn all the same.
        const int ticks = f->TimerTicksDuringExchanges(500);
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    }

    void pacedReplyCutShortStillTimesOut() {
        sim::FaultSettings faults;
        faults.baudRate = sim::Fault{true, 115200, sim::kAllOrders};
        faults.cutAfterBytes = sim::Fault{true, 30, sim::kAllOrders};
        f->simulator.SetFaults(faults);
        QCOMPARE(f->Exchange(8), -1);
        QCOMPARE(f->view.log, std::string(linktext::kTimeout) + "\n\n");
    }

    void wrongHeaderCheckByteIsReported() {
        f->SetFault(&FaultSettings::badHeadCheck);
        QCOMPARE(f->Exchange(8), -1);
        QCOMPARE(f->view.log, std::string(linktext::kBadHeader) + "\n\n");
    }

    void wrongDataCheckByteIsReported() {
        f->SetFault(&FaultSettings::badDataCheck);
        QCOMPARE(f->Exchange(8), -1);
        QCOMPARE(f->view.log, std::string(linktext::kBadData) + "\n\n");
    }

    void errorReplyStatusTwoStillCompletes() {
        f->SetFault(&FaultSettings::errorReply, 2);
        QCOMPARE(f->Exchange(8), 1);
        QCOMPARE(f->view.log, std::string(linktext::kControlUnitError) + "\n\n");
    }

    void leftoverBytesOfAnEarlierReplyAreDiscardedBeforeSending() {
        // The sensor answers late: its reply arrives after we gave up, and must not be taken
        // as the start of the next one.
        f->SetFault(&FaultSettings::delayMs, 3300, 7);
        QCOMPARE(f->Exchange(7), -1);
        QTest::qWait(800);
        f->simulator.ClearFaults();
        f->view.log.clear();
        QCOMPARE(f->Exchange(8), 1);
        QVERIFY(f->view.log.empty());
    }

    void vanishingPeerIsReportedOnceAndDoesNotFloodTheEventLoop() {
        QCOMPARE(f->Exchange(7), 1);
        f->simulator.Stop();
        QTest::qWait(1500);
        QCOMPARE(f->view.log, std::string(linktext::kSerialLost) + "\n\n");
        QVERIFY(!f->link->SerialPortOpen());
        QVERIFY2(f->link->SerialErrorEvents() < 5,
                 qPrintable(QString::number(f->link->SerialErrorEvents())));
        QCOMPARE(f->state->flags.running, std::uint16_t(0));
    }

    void aSensorSendingOnItsOwnDoesNotFillMemoryAndTheNextExchangeWorks() {
        // Frames pushed every millisecond while nothing waits for them: 48 kB a second.
        f->simulator.SetTriggerPeriodMs(1);
        QCOMPARE(f->Exchange(30, 1), 1);
        qint64 most = 0;
        for (int i = 0; i < 20; ++i) {
            QTest::qWait(100);
            most = std::max(most, f->link->SerialBufferedBytes());
        }
        QVERIFY2(most <= SensorLink::kSerialReadBufferLimit, qPrintable(QString::number(most)));
        QVERIFY(most > 1000); // it did arrive
        // The flood ends; the next exchange finds its own reply.
        f->simulator.SetTriggerPeriodMs(0);
        QTest::qWait(100);
        QCOMPARE(f->Exchange(8), 1);
        QCOMPARE(int(f->state->frames.replyCode), 8);
        f->state->frames.currentOrder = 30;
        f->link->BuildRequestFrame(30, 0, 0, 0);
        QCOMPARE(f->link->ExchangeFramesPassingPushed(8, {8, 40}), 1);
        QCOMPARE(int(f->state->frames.replyCode), 30);
        QVERIFY(f->view.log.empty());
    }
};

class TestSerialOpen : public QObject {
    Q_OBJECT
private slots:
    void missingDeviceIsReportedWithTheRunTimeText() {
        LinkFixture f;
        f.link->SetSerialDeviceResolver([](int) { return std::string("/nonexistent/ttyX9"); });
        f.state->flags.running = 1;
        f.link->OpenSerialPort();
        QVERIFY(f.state->link.openResult < 0);
        QVERIFY2(f.view.log == "Invalid port number\n\n" || f.view.log == "Cannot open port\n\n",
                 f.view.log.c_str());
        QCOMPARE(f.view.statusLine, std::string("TIMEOUT!"));
        QCOMPARE(f.view.communicationPageShown, 1);
        QCOMPARE(f.state->flags.running, std::uint16_t(0));
    }

    void portNumberWithoutDeviceIsAnInvalidPort() {
        LinkFixture f;
        f.state->link.serialPortNumber = 0;
        f.link->OpenSerialPort();
        QCOMPARE(f.state->link.openResult, -2);
        QCOMPARE(f.view.log, std::string("Invalid port number\n\n"));
    }

    void shutDownWithoutEverConnectingIsHarmless() {
        LinkFixture f;
        f.link->ShutDown();
        QVERIFY(!f.link->SerialPortOpen());
        QVERIFY(f.view.log.empty());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunTests<TestSensorLinkPty, TestSerialOpen>(argc, argv);
}
#include "TestSensorLinkPty.moc"
