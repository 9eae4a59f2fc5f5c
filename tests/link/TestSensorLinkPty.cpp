// The sensor link over a real pseudo-terminal to the simulator, as over an RS-232 cable: what
// only the serial side does.
#include "LinkFixture.h"
#include "link/LinkTexts.h"
#include "support/RunTests.h"

#include <QtTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using sim::FaultSettings;

class TestSensorLinkPty : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> f;

private slots:
    void init() {
        f = std::make_unique<LinkFixture>();
        QVERIFY(f->OpenPty());
        QVERIFY(f->link->SerialPortOpen());
    }
    void cleanup() { f.reset(); }

    void identificationAndMeasurementSucceed() {
        // A pseudo-terminal refuses the serial settings: said once, and the link works as ever.
        QCOMPARE(f->link->LowLatencyReport(),
                 "LOW LATENCY NOT AVAILABLE ON " + f->PtyPath().toStdString());
        const Reply id = f->Exchange(7);
        QVERIFY(id.Ok());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(id.data.data())),
                 QByteArray(sim::kIdentification));
        const Reply measurement = f->Exchange(8);
        QVERIFY(measurement.Ok());
        QVERIFY(measurement.words[0] > 0);
        QVERIFY(f->view.log.empty());
    }

    void silentSensorIsReportedAfterTheLimitAndThePortTimeout() {
        // The one wait on the serial side for the real reply limit: here the limit is the point.
        f->SetFault(&FaultSettings::silence);
        double seconds = 0;
        QCOMPARE(f->TimedMeasurement(seconds).outcome, Outcome::TimedOut);
        // 3.0 s for the header, then the read of the missing bytes waits its own 2.0 s.
        // The upper bound only catches a wait that never ends; a loaded machine may add seconds.
        QVERIFY2(seconds >= 4.9 && seconds < 60.0, qPrintable(QString::number(seconds)));
        QCOMPARE(f->view.log, std::string(linktext::kTimeout) + "\n\n");
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
        f->LongReplyLimit();
        f->SetFault(&FaultSettings::baudRate, baud);
        // The terminal's settings are shared by every descriptor on it.
        const int observer = ::open(f->PtyPath().toLocal8Bit(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(observer >= 0);
        constexpr int kTurns = 3;
        for (int turn = 0; turn < kTurns; ++turn) {
            const Reply reply = f->Exchange(8);
            QVERIFY(reply.Ok());
            QVERIFY(reply.words[0] > 0);
            QVERIFY(reply.words[10] > 0); // temperature, word 10
            // Between exchanges every byte wakes the port again.
            termios settings{};
            QCOMPARE(::tcgetattr(observer, &settings), 0);
            QCOMPARE(int(settings.c_cc[VMIN]), 0);
        }
        ::close(observer);
        // How often the wait wakes is a figure of bench_wait, not a test: a busy machine
        // splits a reply where a quiet one does not.
        QVERIFY(f->Exchange(7).Ok());
        QVERIFY(f->view.log.empty());
    }

    void aReplyLaterThanTheWaitsOwnSliceIsNoFailure() {
        // The wait on the port alone runs out every few milliseconds; that is no fault.
        f->LongReplyLimit();
        f->SetFault(&FaultSettings::delayMs, 40);
        QVERIFY(f->Exchange(8).Ok());
        QVERIFY(f->view.log.empty());
    }

    void timersRunWhileWholeRepliesFollowEachOther() {
        // An unpaced reply is all there at the first wake-up, so no wait follows the request
        // that could be given to the event loop; it must get its turn all the same.
        QVERIFY(f->TimerFiresDuringExchanges(10));
    }

    void pacedReplyCutShortStillTimesOut() {
        sim::FaultSettings faults;
        faults.baudRate = sim::Fault{true, 115200, sim::kAllOrders};
        faults.cutAfterBytes = sim::Fault{true, 30, sim::kAllOrders};
        f->simulator.SetFaults(faults);
        f->PartReplyLimit();
        QCOMPARE(f->Exchange(8).outcome, Outcome::ShortFrame);
        QCOMPARE(f->view.log, std::string(linktext::kTimeout) + "\n\n");
    }

    void vanishingPeerIsReportedOnceAndDoesNotFloodTheEventLoop() {
        QVERIFY(f->Exchange(7).Ok());
        f->simulator.Stop();
        // Once the port is closed it reports nothing more: what it reported until then is all.
        QTRY_VERIFY_WITH_TIMEOUT(!f->link->SerialPortOpen(), support::kEventLimitMs);
        QCoreApplication::processEvents();
        QCOMPARE(f->view.log, std::string(linktext::kSerialLost) + "\n\n");
        QVERIFY2(f->link->SerialErrorEvents() < 5,
                 qPrintable(QString::number(f->link->SerialErrorEvents())));
        QCOMPARE(f->view.losses, 1);
    }

    void aSensorSendingOnItsOwnDoesNotFillMemoryAndTheNextExchangeWorks() {
        // Three times what the link keeps, pushed while nothing waits for it, then one frame of
        // another code: once that one is in, all of them are.
        constexpr int kFrameBytes = 48; // a measurement: the head and 40 data bytes
        constexpr int kFrames = 3 * int(SensorLink::kSerialReadBufferLimit) / kFrameBytes;
        f->simulator.SetTriggerPeriodMs(0);
        QVERIFY(f->Exchange(30, 1).Ok());
        for (int i = 0; i < kFrames; ++i)
            f->simulator.FireTrigger();
        f->simulator.SetTriggerFrameCode(9);
        f->simulator.FireTrigger();
        auto* port = f->link->findChild<QSerialPort*>();
        QVERIFY(port);
        const auto lastFrameIn = [port] {
            const QByteArray waiting = port->peek(port->bytesAvailable());
            const qsizetype last = waiting.size() - kFrameBytes;
            return last >= 0 && waiting.at(last) == char(0x55) && waiting.at(last + 1) == char(9);
        };
        QTRY_VERIFY_WITH_TIMEOUT(lastFrameIn(), support::kEventLimitMs);
        const qint64 kept = f->link->SerialBufferedBytes();
        QVERIFY2(kept <= SensorLink::kSerialReadBufferLimit, qPrintable(QString::number(kept)));
        QVERIFY2(kept > SensorLink::kSerialReadBufferLimit - kFrameBytes,
                 qPrintable(QString::number(kept)));
        // The next exchange finds its own reply.
        f->simulator.SetTriggerFrameCode(8);
        const Reply measurement = f->Exchange(8);
        QVERIFY(measurement.Ok());
        QCOMPARE(int(measurement.code), 8);
        const Reply stopped =
            f->link->ExchangeFramesPassingPushed(protocol::MakeRequest(30, 0), {8, 40});
        QVERIFY(stopped.Ok());
        QCOMPARE(int(stopped.code), 30);
        QVERIFY(f->view.log.empty());
    }
};

class TestSerialOpen : public QObject {
    Q_OBJECT
private slots:
    // The cause in the operator's words, with the device.
    void aFailedOpenTellsTheCauseWithTheDevice() {
        LinkFixture f;
        QVERIFY(f.link->OpenSerialPort(1, "/nonexistent/ttyX9", 4) < 0);
        QVERIFY2(f.view.log == "NO SUCH SERIAL DEVICE /nonexistent/ttyX9\n\n", f.view.log.c_str());
        QCOMPARE(f.view.statusLine, std::string("TIMEOUT!"));
        QCOMPARE(f.view.communicationPageShown, 1);

        LinkFixture numbered;
        numbered.link->SetSerialDeviceResolver([](int) { return std::string(); });
        QCOMPARE(numbered.link->OpenSerialPort(0, "", 4), -2);
        QCOMPARE(numbered.view.log, std::string("NO SUCH SERIAL DEVICE COM0\n\n"));

        // A device another program holds open (and locked) is in use, not forbidden.
        LinkFixture first;
        QVERIFY(first.OpenPty());
        QVERIFY(first.link->OpenFailure().empty());
        const std::string device = first.link->InUse().device;
        LinkFixture second;
        QVERIFY(second.link->OpenSerialPort(0, device, 4) < 0);
        QCOMPARE(second.link->OpenFailure(),
                 "SERIAL DEVICE " + device + " IS IN USE BY ANOTHER PROGRAM");
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
