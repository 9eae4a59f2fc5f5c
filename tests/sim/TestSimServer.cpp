// The simulator served over real loopback sockets and pseudo-terminals.
#include "SimTestBytes.h"
#include "SimTestLinks.h"
#include "sim/SimThread.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

using namespace sim;

using namespace simtest;

namespace {

constexpr int kWaitMs = 30000;
const QByteArray kIdentificationReply =
    QByteArray::fromHex("55070000200008d5") + QByteArray("CHROMIX3 SIMULATOR FW 4.2 (sim)\0", 32);

QByteArray ReadSocket(QTcpSocket& socket, int count, int timeoutMs = kWaitMs) {
    QByteArray bytes;
    QDeadlineTimer deadline(timeoutMs);
    while (bytes.size() < count && !deadline.hasExpired()) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(deadline.remainingTime()))
            break;
        bytes += socket.read(count - bytes.size());
    }
    return bytes;
}

void Send(QTcpSocket& socket, const std::vector<std::uint8_t>& bytes) {
    socket.write(ToQt(bytes));
    socket.waitForBytesWritten(kWaitMs);
}

sim::Fault On(int value = 0, int order = sim::kAllOrders) {
    return sim::Fault{true, value, order};
}

} // namespace

class TestSimServer : public QObject {
    Q_OBJECT
private slots:
    void tcpClientIsAnsweredAndItsRequestLogged() {
        sim::SimThread simulator;
        const quint16 port = simulator.StartTcp(0);
        QVERIFY(port != 0);
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        QVERIFY(socket.waitForConnected(kWaitMs));
        const auto request = Order(7);
        Send(socket, {request.begin(), request.begin() + 3});
        QTest::qWait(20);
        Send(socket, {request.begin() + 3, request.end()});
        QCOMPARE(ReadSocket(socket, 40), kIdentificationReply);

        const auto log = simulator.RequestLog();
        QCOMPARE(log.size(), std::size_t(1));
        QCOMPARE(log[0].order, std::uint8_t(7));
        QCOMPARE(log[0].argument, std::uint16_t(0));
        QCOMPARE(log[0].payloadLength, std::uint16_t(0));
        QVERIFY(log[0].raw == request);
        simulator.ClearRequestLog();
        QVERIFY(simulator.RequestLog().empty());
    }

    void tcpParameterTransfersReachRamAndEeprom() {
        sim::SimThread simulator;
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), simulator.StartTcp());
        QVERIFY(socket.waitForConnected(kWaitMs));
        protocol::ParameterImage image = sim::FactoryImage();
        image.parameters[protocol::kPower] = 333;
        Send(socket, Order(1, 1, {image.parameters.begin(), image.parameters.end()}));
        QCOMPARE(ReadSocket(socket, 8), QByteArray::fromHex("550100000000aae0"));
        QCOMPARE(simulator.RamImage()[1].parameters[protocol::kPower], std::uint16_t(333));
        QCOMPARE(simulator.EepromImage()[1].parameters[protocol::kPower], std::uint16_t(500));
        Send(socket, Order(3));
        QCOMPARE(ReadSocket(socket, 8), QByteArray::fromHex("550300000000aa8e"));
        QCOMPARE(simulator.EepromImage()[1].parameters[protocol::kPower], std::uint16_t(333));

        image.table[6].w = {1234, 2345, 77, 1500, 66, 2, 30, 0x4242};
        simulator.SetRamImage(0, image);
        Send(socket, Order(2, 2));
        const QByteArray reply = ReadSocket(socket, 8 + 496);
        QCOMPARE(reply.size(), 8 + 496);
        const auto words = ReplyWords(FromQt(reply));
        QCOMPARE(words[6 * 8 + 0], std::uint16_t(1234));
        QCOMPARE(words[6 * 8 + 7], std::uint16_t(0x4242));
    }

    void silenceLimitedToMeasurementsLeavesIdentificationAnswered() {
        sim::SimThread simulator;
        sim::FaultSettings faults;
        faults.silence = On(0, 8);
        simulator.SetFaults(faults);
        QCOMPARE(simulator.CurrentFaults().silence.order, 8);
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), simulator.StartTcp());
        QVERIFY(socket.waitForConnected(kWaitMs));
        Send(socket, Order(8));
        QVERIFY(ReadSocket(socket, 1, 300).isEmpty());
        Send(socket, Order(7));
        QCOMPARE(ReadSocket(socket, 40), kIdentificationReply);
        QCOMPARE(simulator.RequestLog().size(), std::size_t(2));
    }

    void cutReplyStopsAfterItsBytesAndPiecesArriveWhole() {
        sim::SimThread simulator;
        sim::FaultSettings faults;
        faults.cutAfterBytes = On(5);
        simulator.SetFaults(faults);
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), simulator.StartTcp());
        QVERIFY(socket.waitForConnected(kWaitMs));
        Send(socket, Order(8));
        QCOMPARE(ReadSocket(socket, 5), QByteArray::fromHex("5508000028"));
        // The rest of it never comes: the next reply's first bytes follow.
        Send(socket, Order(7));
        QCOMPARE(ReadSocket(socket, 5), kIdentificationReply.left(5));

        faults = {};
        faults.pieces = On(4);
        faults.piecePauseMs = 5;
        faults.delayMs = On(10);
        simulator.SetFaults(faults);
        Send(socket, Order(8));
        const QByteArray reply = ReadSocket(socket, 48);
        QCOMPARE(reply.size(), 48);
        protocol::frame::HeaderFields head;
        QVERIFY(protocol::frame::DecodeHead(
            reinterpret_cast<const std::uint8_t*>(reply.constData()), head));
        QCOMPARE(head.length, std::uint16_t(40));
    }

    void closedAfterRepliesThenANewClientIsServed() {
        sim::SimThread simulator;
        sim::FaultSettings faults;
        faults.closeAfterReplies = On(2);
        simulator.SetFaults(faults);
        const quint16 port = simulator.StartTcp();
        QTcpSocket first;
        first.connectToHost(QStringLiteral("127.0.0.1"), port);
        QVERIFY(first.waitForConnected(kWaitMs));
        Send(first, Order(7));
        QCOMPARE(ReadSocket(first, 40), kIdentificationReply);
        Send(first, Order(7));
        QCOMPARE(ReadSocket(first, 40), kIdentificationReply);
        QTRY_COMPARE_WITH_TIMEOUT(first.state(), QAbstractSocket::UnconnectedState, kWaitMs);

        QTcpSocket second;
        second.connectToHost(QStringLiteral("127.0.0.1"), port);
        QVERIFY(second.waitForConnected(kWaitMs));
        Send(second, Order(7));
        QCOMPARE(ReadSocket(second, 40), kIdentificationReply);
    }

    void ptyServesAClientThenTheNextOneAfterItCloses() {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttySIM"));
        QFile::link(QStringLiteral("/dev/pts/4095"), link); // a stale link is replaced
        sim::SimThread simulator;
        QVERIFY2(simulator.StartPty(link), qPrintable(simulator.LastError()));
        QCOMPARE(QFileInfo(link).symLinkTarget(), simulator.PtySlavePath());
        {
            PtyClient client(link);
            QVERIFY(client.IsOpen());
            client.Send(Order(7));
            QCOMPARE(client.Read(40), kIdentificationReply);
            // Leave in the middle of a parameter write.
            const auto write = Order(1, 0, std::vector<std::uint16_t>(17, 1));
            client.Send({write.begin(), write.begin() + 12});
        }
        QTRY_VERIFY_WITH_TIMEOUT(!simulator.PtyClientPresent(), kWaitMs); // seen the hang-up
        PtyClient next(link);
        QVERIFY(next.IsOpen());
        next.Send(Order(8));
        const QByteArray reply = next.Read(48);
        QCOMPARE(reply.size(), 48);
        QCOMPARE(reply.left(6), QByteArray::fromHex("550800002800"));
        QVERIFY(next.Read(1, 200).isEmpty());
        QCOMPARE(simulator.RequestLog().size(), std::size_t(2));
        simulator.Stop();
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    // Only a link to a pty slave, left by an earlier run, is ever replaced.
    void ptyLeavesWhatIsNotItsOwnLinkAlone_data() {
        QTest::addColumn<QString>("existing"); // a link's target, "file" or "folder"
        QTest::newRow("link elsewhere") << "/nonexistent";
        QTest::newRow("regular file") << "file";
        QTest::newRow("folder") << "folder";
    }
    void ptyLeavesWhatIsNotItsOwnLinkAlone() {
        QFETCH(QString, existing);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ttySIM"));
        QVERIFY(existing == "folder" ? QDir(dir.path()).mkdir("ttySIM")
                : existing == "file" ? QFile(path).open(QIODevice::WriteOnly)
                                     : QFile::link(existing, path));
        sim::SimThread simulator;
        QVERIFY(!simulator.StartPty(path));
        QVERIFY2(simulator.LastError().contains(path), qPrintable(simulator.LastError()));
        const QFileInfo after(path);
        QCOMPARE(after.symLinkTarget(), existing.startsWith('/') ? existing : QString());
        QCOMPARE(after.isFile(), existing == "file");
    }

    void pacedReplyOverPtyArrivesWhole() {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttyPACE"));
        sim::SimThread simulator;
        sim::FaultSettings faults;
        faults.baudRate = On(115200);
        simulator.SetFaults(faults);
        QVERIFY(simulator.StartPty(link));
        PtyClient client(link);
        client.Send(Order(2, 2));
        const QByteArray reply = client.Read(8 + 496);
        QCOMPARE(reply.size(), 8 + 496);
        QCOMPARE(reply.left(6), QByteArray::fromHex("55020000f001"));
        QCOMPARE(ReplyWords(FromQt(reply))[8 * 30 + 7], std::uint16_t(0xA500 + 30));
    }

    void programServesTcpAndPtyAndCleansUpOnTerm() {
        const QString program = qEnvironmentVariable("CHROMIX_SIM");
        if (program.isEmpty()) QSKIP("CHROMIX_SIM does not name the simulator program");
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttyPROG"));
        QProcess process;
        process.start(program, {"--tcp", "0", "--pty", link, "--eeprom", dir.filePath("e.bin"),
                                "--error-reply", "2", "--only-order", "8"});
        QVERIFY(process.waitForStarted(kWaitMs));
        QByteArray out;
        QDeadlineTimer deadline(kWaitMs);
        while (!out.contains("linked at") && process.waitForReadyRead(deadline.remainingTime()))
            out += process.readAllStandardOutput();
        const QRegularExpressionMatch match =
            QRegularExpression("TCP port (\\d+)").match(QString::fromLocal8Bit(out));
        QVERIFY2(match.hasMatch(), out.constData());
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), match.captured(1).toUShort());
        QVERIFY(socket.waitForConnected(kWaitMs));
        Send(socket, Order(8));
        QCOMPARE(ReadSocket(socket, 8), QByteArray::fromHex("550002000000aa54"));
        {
            PtyClient client(link);
            QVERIFY(client.IsOpen());
            client.Send(Order(7));
            QCOMPARE(client.Read(40), kIdentificationReply);
        }
        process.terminate();
        QVERIFY(process.waitForFinished(kWaitMs));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestSimServer)
#include "TestSimServer.moc"
