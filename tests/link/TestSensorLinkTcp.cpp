// The sensor link over a real TCP connection to the simulator: what only the TCP side does.
#include "LinkFixture.h"
#include "link/LinkTexts.h"
#include "link/SerialDevices.h"
#include "support/RunTests.h"

#include <QTcpServer>

#include <QtTest>

using sim::FaultSettings;

class TestSensorLinkTcp : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> f;

private slots:
    void init() {
        f = std::make_unique<LinkFixture>();
        QVERIFY(f->ConnectTcp());
    }
    void cleanup() { f.reset(); }

    void identificationArrivesAsNulTerminatedText() {
        const Reply reply = f->Exchange(7);
        QVERIFY(reply.Ok());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(reply.data.data())),
                 QByteArray(sim::kIdentification));
        QVERIFY(f->view.log.empty());
    }

    void measurementRequestIsTheEightBytesOfTheProtocol() {
        const Reply reply = f->Exchange(8);
        QVERIFY(reply.Ok());
        QVERIFY(reply.words[0] > 0 && reply.words[0] <= 4095);
        const auto& req = f->simulator.RequestLog();
        QCOMPARE(int(req.size()), 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(req[0].raw.data()),
                            qsizetype(req[0].raw.size()))
                     .toHex(' '),
                 QByteArray("55 08 00 00 00 00 aa 76"));
    }

    void silentSensorIsReportedAfterTheLimit() {
        // The one wait over TCP/IP for the real reply limit: here the limit is the point.
        f->SetFault(&FaultSettings::silence);
        double seconds = 0;
        QCOMPARE(f->TimedMeasurement(seconds).outcome, Outcome::TimedOut);
        // The upper bound only catches a wait that never ends; a loaded machine may add seconds.
        QVERIFY2(seconds >= 3.0 && seconds < 60.0, qPrintable(QString::number(seconds)));
    }

    void replyInSeveralPiecesIsAssembled() {
        f->LongReplyLimit();
        f->SetFault(&FaultSettings::pieces, 5);
        const Reply reply = f->Exchange(8);
        QVERIFY(reply.Ok());
        QVERIFY(f->view.log.empty());
        QVERIFY(reply.words[0] > 0);
    }

    void oddDataLengthDecodesWholeWordsOnly() {
        f->SetFault(&FaultSettings::oddLength);
        const Reply reply = f->Exchange(8);
        QVERIFY(reply.Ok());
        QCOMPARE(reply.data.size() % 2, std::size_t(1));
        QCOMPARE(reply.words.size(), reply.data.size() / 2);
    }

    void delayedReplyWithinTheLimitSucceeds() {
        // The delay spans many of the wait's slices; the limit is far beyond any busy machine.
        f->LongReplyLimit();
        f->SetFault(&FaultSettings::delayMs, 300);
        double seconds = 0;
        QVERIFY(f->TimedMeasurement(seconds).Ok());
        QVERIFY(seconds >= 0.29);
    }

    void timersRunWhileExchangesFollowEachOther() {
        // The wait takes replies from the socket itself; the event loop must still get its turn.
        QVERIFY(f->TimerFiresDuringExchanges(10));
    }

    void serverClosingTheConnectionIsReportedOnce() {
        f->SetFault(&FaultSettings::closeAfterReplies, 1);
        QVERIFY(f->Exchange(8).Ok());
        QTRY_VERIFY_WITH_TIMEOUT(!f->link->TcpConnected(), support::kEventLimitMs);
        QCOMPARE(f->view.log, std::string("SERVER HAS CLOSED CONNECTION!\n\n"));
        QCOMPARE(f->view.losses, 1);
    }

    void connectingWhileConnectedReplacesTheConnection() {
        QVERIFY(f->ConnectTcp());
        QVERIFY(f->link->TcpConnected());
        QVERIFY(f->view.log.empty()); // our own disconnect is not the server closing
        QVERIFY(f->Exchange(7).Ok());
    }
};

class TestTcpConnectFailures : public QObject {
    Q_OBJECT
private slots:
    void refusedConnectionLeavesTheLinkClosedAndReports() {
        LinkFixture f;
        // A port nobody listens on: bind a free one, then release it.
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        QVERIFY(f.link->ConnectToServer("127.0.0.1", port) < 0);
        QVERIFY(!f.link->TcpConnected());
        const std::string where = "127.0.0.1:" + std::to_string(port);
        QCOMPARE(f.view.log,
                 "CONNECTION REFUSED BY " + where + " (no server listens on that port)\n\n");
        QVERIFY(f.link->LastFailure().starts_with("CONNECTION REFUSED BY " + where));
        QVERIFY(f.link->OpenFailure().starts_with("CONNECTION REFUSED BY " + where));
        QCOMPARE(f.view.statusLine, std::string("TIMEOUT!"));
        QVERIFY(!f.view.waitCursorOn);
    }

    void portTextWithoutDigitsGivesPortZeroAndAClearError() {
        LinkFixture f;
        const int port = TcpPortNumberOfText("abc");
        QCOMPARE(port, 0);
        QCOMPARE(f.link->ConnectToServer("127.0.0.1", port), -9);
        QVERIFY(!f.link->TcpConnected());
        QCOMPARE(f.view.log, std::string("NO SERVER OR PORT TO CONNECT TO: 127.0.0.1:0\n\n"));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunTests<TestSensorLinkTcp, TestTcpConnectFailures>(argc, argv);
}
#include "TestSensorLinkTcp.moc"
