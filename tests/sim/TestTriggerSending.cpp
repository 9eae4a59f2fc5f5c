// Trigger-driven sending (order 30) over real loopback sockets and pseudo-terminals, and one
// session alone where what the line has taken by an edge must be known exactly.
#include "SimTestBytes.h"
#include "SimTestLinks.h"
#include "protocol/CheckByte.h"
#include "sim/ClientSession.h"
#include "sim/SimThread.h"

#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <memory>

using namespace simtest;
using protocol::ComputeCheckByte;

namespace {

const QByteArray kTriggerReply = QByteArray::fromHex("551e00000000aa9f");
const QByteArray kIdentificationReply =
    QByteArray::fromHex("55070000200008d5") + QByteArray("CHROMIX3 SIMULATOR FW 4.2 (sim)\0", 32);

// Exactly an order-8 reply, whole and intact, with the trigger word set; `code` in its place
// when the simulator is told to push frames of another order.
bool IsPushedFrame(const QByteArray& bytes, int code = 8) {
    const auto data = FromQt(bytes);
    protocol::frame::HeaderFields head;
    return data.size() == 48 && protocol::frame::DecodeHead(data.data(), head) &&
           head.code == code && head.word == 0 && head.length == 40 &&
           protocol::ComputeCheckByte(data.data(), 8, 40) == head.dataCheck &&
           ReplyWords(data)[9] == 1;
}

// The next frame that is not a pushed measurement; counts those passed over.
QByteArray ReadReply(LinkClient& client, int& pushed, int timeoutMs = kLinkWaitMs) {
    for (;;) {
        const QByteArray bytes = client.ReadFrame(timeoutMs);
        if (bytes.size() < 2 || bytes[1] != 8) return bytes;
        if (!IsPushedFrame(bytes)) return bytes; // a damaged frame is the test's failure
        ++pushed;
    }
}

} // namespace

class TestTriggerSending : public QObject {
    Q_OBJECT
private slots:
    void periodicFramesComeUnaskedBetweenRepliesUntilStopped_data() { AddTransports(); }
    void periodicFramesComeUnaskedBetweenRepliesUntilStopped() {
        QFETCH(QString, transport);
        QTemporaryDir dir;
        std::atomic<int> edges{0};
        sim::SimThread simulator;
        simulator.WatchTriggerEdges([&edges] { ++edges; });
        simulator.SetTriggerPeriodMs(40);
        LinkClient client(simulator, transport, dir);
        QVERIFY(client.IsOpen());
        QVERIFY(client.Read(1, 150).isEmpty());
        QVERIFY(!simulator.TriggerSending());

        client.Send(Order(30, 1));
        QCOMPARE(client.Read(8), kTriggerReply);
        QVERIFY(simulator.TriggerSending());
        // Paced by the period's edges, not sent as fast as the line takes them.
        for (int n = 1; n <= 4; ++n) {
            QVERIFY(IsPushedFrame(client.ReadFrame()));
            QVERIFY2(n <= edges,
                     qPrintable(QStringLiteral("frame %1, %2 edges").arg(n).arg(edges)));
        }

        simulator.SetTriggerPeriodMs(5);
        int pushed = 0;
        for (int n = 0; n < 5; ++n) {
            // Frames pile up unread before the request: those of two edges at least.
            const int before = edges;
            QTRY_VERIFY_WITH_TIMEOUT(edges >= before + 2, kLinkWaitMs);
            client.Send(Order(7));
            QCOMPARE(ReadReply(client, pushed), kIdentificationReply);
        }
        client.Send(Order(30, 0));
        QCOMPARE(ReadReply(client, pushed), kTriggerReply);
        QVERIFY2(pushed >= 10 && 4 + pushed <= edges,
                 qPrintable(QStringLiteral("%1 frames, %2 edges").arg(4 + pushed).arg(edges)));
        QVERIFY(!simulator.TriggerSending());
        QVERIFY(client.Read(1, 200).isEmpty());
    }

    void withoutPeriodOnlyFiredTriggersSend_data() { AddTransports(); }
    void withoutPeriodOnlyFiredTriggersSend() {
        QFETCH(QString, transport);
        QTemporaryDir dir;
        sim::SimThread simulator;
        simulator.SetTriggerPeriodMs(0);
        LinkClient client(simulator, transport, dir);
        simulator.FireTrigger();
        client.Send(Order(30, 2)); // neither on nor off
        QCOMPARE(client.Read(8), QByteArray::fromHex("550002000000aa54"));
        simulator.FireTrigger();
        QVERIFY(client.Read(1, 150).isEmpty());
        QVERIFY(!simulator.TriggerSending());

        client.Send(Order(30, 1));
        QCOMPARE(client.Read(8), kTriggerReply);
        QVERIFY(client.Read(1, 300).isEmpty());
        simulator.FireTrigger();
        QVERIFY(IsPushedFrame(client.ReadFrame()));
        QVERIFY(client.Read(1, 150).isEmpty());
        simulator.FireTrigger();
        simulator.FireTrigger();
        QVERIFY(IsPushedFrame(client.ReadFrame()));
        QVERIFY(IsPushedFrame(client.ReadFrame()));
        QVERIFY(client.Read(1, 150).isEmpty());
    }

    // The session alone, its edges fired on the test's own thread: nothing else runs between
    // them, so the bytes the line has taken by the last edge are known.
    void slowLineDropsEdgesInsteadOfQueueingThem() {
        sim::SensorModel model;
        sim::Faults faults;
        sim::FaultSettings settings;
        settings.baudRate = {true, 9600}; // 50 ms per pushed frame
        faults.Set(settings);
        sim::TriggerSource trigger;
        trigger.SetPeriodMs(0);
        sim::MeasurementClock cycles(model);
        QByteArray line;
        sim::ClientSession session(
            model, faults, trigger, cycles, [](const sim::Request&) {},
            [&line](const QByteArray& bytes) { line += bytes; }, [] {});
        session.Receive(ToQt(Order(30, 1)));
        QTRY_COMPARE_WITH_TIMEOUT(line, kTriggerReply, kLinkWaitMs);
        line.clear();
        for (int n = 0; n < 200; ++n)
            trigger.Fire();
        const qsizetype carried = line.size() / 48;
        session.Receive(ToQt(Order(30, 0)));
        QTRY_VERIFY_WITH_TIMEOUT(line.size() % 48 == 8 && line.endsWith(kTriggerReply),
                                 kLinkWaitMs);
        const qsizetype pushed = line.size() / 48;
        for (qsizetype n = 0; n < pushed; ++n)
            QVERIFY(IsPushedFrame(line.mid(n * 48, 48)));
        // Before the reply: the frames the line had taken by the last edge, the frame then on
        // the line and one waiting. A queue of edges would put all 200 there.
        QVERIFY2(
            pushed <= carried + 2,
            qPrintable(QStringLiteral("%1 frames, the line carried %2").arg(pushed).arg(carried)));
    }

    // The measurement a trigger pushes, under the reply code it is told to carry.
    void framesOfAnotherCodeComeOnTriggers_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("code");
        for (const char* transport : {"tcp", "pty"})
            for (const int code : {0, 7, 30, 110, 255})
                QTest::addRow("%s, code %d", transport, code)
                    << QString::fromLatin1(transport) << code;
    }
    void framesOfAnotherCodeComeOnTriggers() {
        QFETCH(QString, transport);
        QFETCH(int, code);
        QTemporaryDir dir;
        sim::SimThread simulator;
        simulator.SetTriggerPeriodMs(0);
        simulator.SetTriggerFrameCode(code);
        LinkClient client(simulator, transport, dir);
        client.Send(Order(30, 1));
        QCOMPARE(client.Read(8), kTriggerReply);
        simulator.FireTrigger();
        QVERIFY(IsPushedFrame(client.ReadFrame(), code));
        simulator.SetTriggerFrameCode(8);
        simulator.FireTrigger();
        QVERIFY(IsPushedFrame(client.ReadFrame()));
    }

    void faultsOfOrder8ShapePushedFrames() {
        QTemporaryDir dir;
        sim::SimThread simulator;
        sim::FaultSettings faults;
        faults.badDataCheck = {true, 0, 8};
        simulator.SetFaults(faults);
        simulator.SetTriggerPeriodMs(0);
        LinkClient client(simulator, QStringLiteral("tcp"), dir);
        client.Send(Order(30, 1));
        QCOMPARE(client.Read(8), kTriggerReply);
        simulator.FireTrigger();
        const auto bytes = FromQt(client.ReadFrame());
        QCOMPARE(bytes.size(), std::size_t(48));
        QVERIFY(protocol::ComputeCheckByte(bytes.data(), 8, 40) != bytes[6]);
    }

    void eachLinkSendsOnItsOwnUntilItCloses() {
        QTemporaryDir dir;
        sim::SimThread simulator;
        simulator.SetTriggerPeriodMs(0);
        const quint16 port = simulator.StartTcp();
        LinkClient tcp(simulator, QStringLiteral("tcp"), dir, port);
        LinkClient idle(simulator, QStringLiteral("tcp"), dir, port);
        LinkClient pty(simulator, QStringLiteral("pty"), dir);
        for (LinkClient* client : {&tcp, &pty}) {
            client->Send(Order(30, 1));
            QCOMPARE(client->Read(8), kTriggerReply);
        }
        simulator.FireTrigger();
        QVERIFY(IsPushedFrame(tcp.ReadFrame()));
        QVERIFY(IsPushedFrame(pty.ReadFrame()));
        QVERIFY(idle.Read(1, 150).isEmpty());
        pty.Close();
        QTRY_VERIFY_WITH_TIMEOUT(!simulator.PtyClientPresent(), kLinkWaitMs); // seen the hang-up
        QVERIFY(simulator.TriggerSending());
        PtyClient next(LinkClient::PtyLink(dir));
        QVERIFY(next.IsOpen());
        simulator.FireTrigger();
        QVERIFY(IsPushedFrame(tcp.ReadFrame()));
        QVERIFY(next.Read(1, 150).isEmpty());
        tcp.Close();
        QTRY_VERIFY_WITH_TIMEOUT(!simulator.TriggerSending(), kLinkWaitMs);
    }

    void programFiresATriggerOnSigusr1() {
        const QString program = qEnvironmentVariable("CHROMIX_SIM");
        if (program.isEmpty()) QSKIP("CHROMIX_SIM does not name the simulator program");
        SimProgram sim;
        QVERIFY(sim.Start(program, {"--tcp", "0", "--trigger-period", "-5"},
                          {"--tcp", "0", "--trigger-period", "0", "--trigger-code", "7"}));
        QCOMPARE(sim.refusedExitCode, 2);
        QProcess& process = sim.process;
        QTcpSocket& socket = sim.socket;
        socket.write(ToQt(Order(30, 1)));
        QVERIFY(socket.waitForReadyRead(kLinkWaitMs));
        QCOMPARE(socket.read(8), kTriggerReply);
        QVERIFY(!socket.waitForReadyRead(300));
        ::kill(static_cast<pid_t>(process.processId()), SIGUSR1);
        QByteArray bytes;
        while (bytes.size() < 48 && socket.waitForReadyRead(kLinkWaitMs))
            bytes += socket.readAll();
        QVERIFY(IsPushedFrame(bytes, 7));
        process.terminate();
        QVERIFY(process.waitForFinished(kLinkWaitMs));
        QCOMPARE(process.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestTriggerSending)
#include "TestTriggerSending.moc"
