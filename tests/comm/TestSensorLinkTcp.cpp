// The sensor link over a real TCP connection to the simulator.
#include "LinkFixture.h"
#include "comm/LinkTexts.h"
#include "comm/SerialDevices.h"
#include "support/RunTests.h"

#include <QTcpServer>

#include <QtTest>

using namespace comm;
using namespace core;

using sim::FaultSettings;

class TestSensorLinkTcp : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> f;

private slots:
    void init() {
        f = std::make_unique<LinkFixture>();
        QVERIFY(f->ConnectTcp());
        f->state->flags.running = 1;
    }
    void cleanup() { f.reset(); }

    void identificationArrivesAsNulTerminatedText() {
        QCOMPARE(f->Exchange(7), 1);
        QVERIFY(f->state->frames.dataLength > 0);
        const char* text = reinterpret_cast<const char*>(f->state->link.receiveBuffer.data() + 8);
        QCOMPARE(QByteArray(text), QByteArray(sim::kIdentification));
        QVERIFY(f->view.log.empty());
        QCOMPARE(f->state->flags.running, std::uint16_t(1));
    }

    void measurementDecodesTwentyWords() {
        QCOMPARE(f->Exchange(8), 1);
        QVERIFY(f->state->frames.dataLength >= 40);
        f->link->DecodeMeasurementWords();
        const auto& w = f->state->frames.measurementWords;
        QVERIFY(w[0] > 0 && w[0] <= 4095);
        const auto& req = f->simulator.RequestLog();
        QCOMPARE(int(req.size()), 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(req[0].raw.data()),
                            qsizetype(req[0].raw.size()))
                     .toHex(' '),
                 QByteArray("55 08 00 00 00 00 aa 76"));
    }

    void silentSensorIsReportedAfterTheLimit() {
        f->SetFault(&FaultSettings::silence);
        double seconds = 0;
        QCOMPARE(f->TimedMeasurement(seconds), -1);
        // The upper bound only catches a wait that never ends; a loaded machine may add a second.
        QVERIFY2(seconds >= 3.0 && seconds < 6.0, qPrintable(QString::number(seconds)));
        QCOMPARE(f->view.log, std::string(linktext::kTimeout) + "\n\n");
        QCOMPARE(f->view.log.substr(0, 24), std::string("TIMEOUT! \nNO DATA RECEIV"));
        QCOMPARE(f->view.statusLine, std::string("TIMEOUT!"));
        QCOMPARE(f->view.communicationPageShown, 1);
        QVERIFY(f->view.linkButtonsDimmed);
        QCOMPARE(f->state->flags.running, std::uint16_t(0));
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(0));
    }

    void headerWithWrongCheckByteKeepsPreviousFields() {
        QCOMPARE(f->Exchange(7), 1);
        const auto previousLength = f->state->frames.dataLength;
        const auto previousCode = f->state->frames.replyCode;
        f->SetFault(&FaultSettings::badHeadCheck);
        QCOMPARE(f->Exchange(8), -1);
        QCOMPARE(f->view.log, std::string("ATTENTION! \nRECEIVED HEADER FRAME IS INCORRECT!\n\n"));
        QCOMPARE(f->state->frames.dataLength, previousLength);
        QCOMPARE(f->state->frames.replyCode, previousCode);
        QCOMPARE(f->view.statusLine, std::string("TIMEOUT!"));
    }

    void dataFrameWithWrongCheckByteIsRejected() {
        f->SetFault(&FaultSettings::badDataCheck);
        QCOMPARE(f->Exchange(8), -1);
        QCOMPARE(f->view.log, std::string("ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!\n\n"));
    }

    void errorRepliesAreReportedButCompleteTheExchange_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("invalid order") << 1 << QString(linktext::kInvalidOrder);
        QTest::newRow("control unit") << 2 << QString(linktext::kControlUnitError);
        QTest::newRow("status 3") << 3
                                  << QStringLiteral("ERROR REPLY WITH UNKNOWN STATUS 3!\n"
                                                    "VERIFY PC AND SENSOR SOFTWARE!");
        QTest::newRow("status 0") << 0
                                  << QString::fromStdString(linktext::UnknownErrorReplyText(0));
    }
    void errorRepliesAreReportedButCompleteTheExchange() {
        QFETCH(int, status);
        QFETCH(QString, message);
        f->SetFault(&FaultSettings::errorReply, status);
        QCOMPARE(f->Exchange(8), 1);
        QCOMPARE(QString::fromStdString(f->view.log), message + "\n\n");
        QCOMPARE(int(f->state->frames.replyCode), 0);
        QCOMPARE(int(f->state->frames.statusWord), status);
        QCOMPARE(f->state->flags.running, std::uint16_t(0));
    }

    void unknownOrderGetsTheInvalidOrderReply() {
        QCOMPARE(f->Exchange(77), 1);
        QCOMPARE(f->view.log, std::string(linktext::kInvalidOrder) + "\n\n");
    }

    void replyInSeveralPiecesIsAssembled() {
        f->SetFault(&FaultSettings::pieces, 5);
        QCOMPARE(f->Exchange(8), 1);
        QVERIFY(f->view.log.empty());
        f->link->DecodeMeasurementWords();
        QVERIFY(f->state->frames.measurementWords[0] > 0);
    }

    void oddDataLengthDecodesWholeWordsOnly() {
        f->state->frames.measurementWords.fill(0xBEEF);
        f->SetFault(&FaultSettings::oddLength);
        QCOMPARE(f->Exchange(8), 1);
        const int length = f->state->frames.dataLength;
        QCOMPARE(length % 2, 1);
        f->link->DecodeMeasurementWords();
        QVERIFY(f->state->frames.measurementWords[std::size_t(length / 2 - 1)] != 0xBEEF);
        QCOMPARE(f->state->frames.measurementWords[std::size_t(length / 2)], std::uint16_t(0xBEEF));
    }

    void oversizedDataLengthIsAnIncorrectHeader() {
        f->SetFault(&FaultSettings::oversizeLength, 3000);
        QCOMPARE(f->Exchange(8), -1);
        QCOMPARE(f->view.log, std::string(linktext::kBadHeader) + "\n\n");
        QCOMPARE(f->state->link.receivedCount <= 2048, true);
    }

    void replyCutShortTimesOut() {
        f->SetFault(&FaultSettings::cutAfterBytes, 7);
        double seconds = 0;
        QCOMPARE(f->TimedMeasurement(seconds), -1);
        QVERIFY(seconds >= 3.0);
        QCOMPARE(f->view.log, std::string(linktext::kTimeout) + "\n\n");
    }

    void delayedReplyWithinTheLimitSucceeds() {
        f->SetFault(&FaultSettings::delayMs, 300);
        double seconds = 0;
        QCOMPARE(f->TimedMeasurement(seconds), 1);
        QVERIFY(seconds >= 0.29);
    }

    void timersRunWhileExchangesFollowEachOther() {
        // The wait takes replies from the socket itself; the event loop must still get its turn.
        const int ticks = f->TimerTicksDuringExchanges(500);
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    }

    void serverClosingTheConnectionIsReportedOnce() {
        f->SetFault(&FaultSettings::closeAfterReplies, 1);
        QCOMPARE(f->Exchange(8), 1);
        QTRY_COMPARE(f->state->link.tcpConnected, std::uint16_t(0));
        QCOMPARE(f->view.log, std::string("SERVER HAS CLOSED CONNECTION!\n\n"));
        QCOMPARE(f->state->flags.running, std::uint16_t(0));
    }

    void connectingWhileConnectedReplacesTheConnection() {
        f->link->ConnectToServer();
        QCOMPARE(f->state->link.tcpConnected, std::uint16_t(1));
        QVERIFY(f->view.log.empty()); // our own disconnect is not the server closing
        QCOMPARE(f->Exchange(7), 1);
    }
};

class TestTcpConnectFailures : public QObject {
    Q_OBJECT
private slots:
    void refusedConnectionLeavesFlagClearAndReports() {
        LinkFixture f;
        // A port nobody listens on: bind a free one, then release it.
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        f.state->link.protocol = kTcpIp;
        f.state->link.serverName = "127.0.0.1";
        f.state->link.tcpPortNumber = port;
        f.link->ConnectToServer();
        QCOMPARE(f.state->link.tcpConnected, std::uint16_t(0));
        QVERIFY(f.state->link.openResult < 0);
        QCOMPARE(f.view.log, std::string("FailedToConnect\n\n"));
        QCOMPARE(f.view.statusLine, std::string("TIMEOUT!"));
        QVERIFY(!f.view.waitCursorOn);
    }

    void portTextWithoutDigitsGivesPortZeroAndAClearError() {
        LinkFixture f;
        f.state->link.protocol = kTcpIp;
        f.state->link.serverName = "127.0.0.1";
        f.state->link.tcpPortNumber = TcpPortNumberOfText("abc");
        QCOMPARE(f.state->link.tcpPortNumber, 0);
        f.link->ConnectToServer();
        QCOMPARE(f.state->link.tcpConnected, std::uint16_t(0));
        QCOMPARE(f.view.log, std::string("InvalidParameter\n\n"));
    }

    void exchangeWithoutConnectionTimesOut() {
        LinkFixture f;
        f.state->link.protocol = kTcpIp;
        double seconds = 0;
        QCOMPARE(f.TimedMeasurement(seconds), -1);
        QVERIFY(seconds >= 3.0);
        QCOMPARE(f.view.log, std::string(linktext::kTimeout) + "\n\n");
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunTests<TestSensorLinkTcp, TestTcpConnectFailures>(argc, argv);
}
#include "TestSensorLinkTcp.moc"
