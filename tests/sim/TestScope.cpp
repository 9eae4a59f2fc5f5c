// Orders 105 and 110 over real loopback sockets and pseudo-terminals: the cycle time, scans with
// each trigger and their four blocks, breaks, and requests answered while a scan waits.
#include "SimTestBytes.h"
#include "SimTestLinks.h"
#include "protocol/CheckByte.h"
#include "sim/SimThread.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <csignal>

using namespace simtest;
using protocol::ComputeCheckByte;

namespace {

const QByteArray kScanAck = QByteArray::fromHex("556e00000000aa07");
const QByteArray kStatus2 = QByteArray::fromHex("550002000000aa54");
const QByteArray kIdentificationReply =
    QByteArray::fromHex("55070000200008d5") + QByteArray("CHROMIX3 SIMULATOR FW 4.2 (sim)\0", 32);

constexpr int kSamples = 128;
constexpr int kBlockBytes = 8 + 258;
constexpr int kRising = 1;
constexpr int kFalling = 2;
constexpr int kInput0 = 4;
constexpr std::uint16_t kInput0Bit = 0x20;
// The simulated object's blue stays within 1200 +- 250 unless pulsed.
constexpr int kLevel = 2600;
constexpr int kPulseDigits = 2000;

std::vector<std::uint8_t> Scan(int mode, int preTrigger, int level = 0, int rate = 1,
                               int signal = 0) {
    return Order(110, 1,
                 {std::uint16_t(mode), std::uint16_t(preTrigger), std::uint16_t(level),
                  std::uint16_t(rate), std::uint16_t(signal)});
}

struct Recording {
    std::array<std::vector<std::uint16_t>, 4> blocks; // 129 words each
    int triggerIndex = -1;

    // A block as the program shows it: the trigger sample at the pre-trigger count.
    std::vector<int> Rotated(int block, int preTrigger) const {
        const int start = (kSamples - preTrigger + triggerIndex) % kSamples;
        std::vector<int> samples(kSamples);
        for (int i = 0; i < kSamples; ++i)
            samples[i] = blocks[block][(start + i) % kSamples];
        return samples;
    }
};

// Four whole, intact blocks of code 110 that agree on the trigger index; `why` tells otherwise.
bool ReadRecording(LinkClient& client, Recording& recording, QString& why,
                   int timeoutMs = kLinkWaitMs) {
    for (int block = 0; block < 4; ++block) {
        const auto bytes = FromQt(client.ReadFrame(timeoutMs));
        protocol::frame::HeaderFields head;
        if (bytes.size() != kBlockBytes || !protocol::frame::DecodeHead(bytes.data(), head)) {
            why = QStringLiteral("block %1: %2 bytes").arg(block).arg(bytes.size());
            return false;
        }
        if (head.code != 110 || head.word != 0 || head.length != 258 ||
            head.dataCheck != protocol::ComputeCheckByte(bytes.data(), 8, 258)) {
            why = QStringLiteral("block %1: head %2")
                      .arg(block)
                      .arg(QString::fromLatin1(ToQt(bytes).left(8).toHex()));
            return false;
        }
        recording.blocks[block] = ReplyWords(bytes);
        const int index = recording.blocks[block][kSamples];
        if (index >= kSamples || (block > 0 && index != recording.triggerIndex)) {
            why = QStringLiteral("block %1: trigger index %2").arg(block).arg(index);
            return false;
        }
        recording.triggerIndex = index;
    }
    return true;
}

std::int32_t Int32At(const QByteArray& bytes, int at) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.constData()) + at;
    return static_cast<std::int32_t>(b[0] | b[1] << 8 | b[2] << 16 |
                                     static_cast<std::uint32_t>(b[3]) << 24);
}

void AddTransportRows(const char* name, const std::function<void(QTestData&)>& columns) {
    for (const char* transport : {"tcp", "pty"})
        columns(QTest::addRow("%s, %s", transport, name) << QString::fromLatin1(transport));
}

} // namespace

class TestScope : public QObject {
    Q_OBJECT
private slots:
    void cycleTimeIsOneMillisecond_data() { AddTransports(); }
    void cycleTimeIsOneMillisecond() {
        QFETCH(QString, transport);
        QTemporaryDir dir;
        sim::SimThread simulator;
        LinkClient client(simulator, transport, dir);
        client.Send(Order(105));
        const QByteArray reply = client.Read(16);
        QCOMPARE(reply.size(), 16);
        QCOMPARE(reply.left(6), QByteArray::fromHex("556900000800"));
        QCOMPARE(std::uint8_t(reply[6]),
                 protocol::ComputeCheckByte(
                     reinterpret_cast<const std::uint8_t*>(reply.constData()), 8, 8));
        QCOMPARE(Int32At(reply, 8), 80);
        const double cycleMs = Int32At(reply, 8) / (Int32At(reply, 12) * 0.01);
        QVERIFY2(std::abs(cycleMs - 1.0) < 0.0005, qPrintable(QString::number(cycleMs)));
        QVERIFY(std::abs(1000.0 / cycleMs - 1000.0) < 0.5);
        QVERIFY(client.Read(1, 100).isEmpty());
    }

    void singleShotSendsAckAndFourBlocks_data() { AddTransports(); }
    void singleShotSendsAckAndFourBlocks() {
        QFETCH(QString, transport);
        QTemporaryDir dir;
        sim::SimThread simulator;
        LinkClient client(simulator, transport, dir);
        QElapsedTimer clock;
        clock.start();
        client.Send(Scan(0, 0));
        QCOMPARE(client.Read(8), kScanAck);
        Recording recording;
        QString why;
        QVERIFY2(ReadRecording(client, recording, why), qPrintable(why));
        // 128 cycles of 1 ms, and never sooner.
        QVERIFY2(clock.elapsed() >= 125, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(recording.triggerIndex, 0);
        const int lowest[3] = {1400, 1100, 800};
        for (int block = 0; block < 3; ++block) {
            const auto samples = recording.Rotated(block, 0);
            for (int i = 0; i < kSamples; ++i) {
                QVERIFY(samples[i] >= lowest[block] && samples[i] <= lowest[block] + 800);
                // In time order: one cycle apart, the object moves a few digits at most.
                if (i > 0) QVERIFY(std::abs(samples[i] - samples[i - 1]) < 40);
            }
        }
        // Factory set: DIRECT LO with nothing found keeps OUT0..OUT4 high; IN0 is bit 5.
        for (const int states : recording.Rotated(3, 0))
            QCOMPARE(states & ~int(kInput0Bit), 0x1F);
        QVERIFY(client.Read(1, 200).isEmpty());
        QVERIFY(!simulator.ScanPending());
    }

    void edgePutsTheTriggerSampleAtThePreTriggerCount_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("preTrigger");
        for (const auto& [name, mode, preTrigger] :
             {std::tuple{"rising, P 64", kRising, 64}, std::tuple{"falling, P 30", kFalling, 30},
              std::tuple{"rising, P 0", kRising, 0}, std::tuple{"rising, P 128", kRising, 128},
              std::tuple{"falling, P 128", kFalling, 128}})
            AddTransportRows(name, [&](QTestData& row) { row << mode << preTrigger; });
    }
    void edgePutsTheTriggerSampleAtThePreTriggerCount() {
        QFETCH(QString, transport);
        QFETCH(int, mode);
        QFETCH(int, preTrigger);
        QTemporaryDir dir;
        sim::SimThread simulator;
        LinkClient client(simulator, transport, dir);
        client.Send(Scan(mode, preTrigger, kLevel));
        QCOMPARE(client.Read(8), kScanAck);
        QVERIFY(client.Read(1, 200).isEmpty()); // the pre-trigger part fills; no crossing yet
        QTRY_VERIFY_WITH_TIMEOUT(simulator.ScanArmed(), kLinkWaitMs);
        simulator.PulseChannel3(kPulseDigits, 150);
        Recording recording;
        QString why;
        QVERIFY2(ReadRecording(client, recording, why), qPrintable(why));
        const auto blue = recording.Rotated(2, preTrigger);
        const bool rising = mode == kRising;
        const auto above = [](int value) { return value > kLevel; };
        const auto below = [](int value) { return value < kLevel; };
        if (preTrigger < kSamples) {
            QVERIFY2(rising ? above(blue[preTrigger]) : below(blue[preTrigger]),
                     qPrintable(QString::number(blue[preTrigger])));
        }
        if (preTrigger > 0) {
            const int last = blue[preTrigger - 1];
            QVERIFY2(rising ? !above(last) : !below(last), qPrintable(QString::number(last)));
            // On its way to the level, not far from it.
            QVERIFY2(std::abs(last - kLevel) < 300, qPrintable(QString::number(last)));
        }
        QVERIFY(client.Read(1, 150).isEmpty());
    }

    void externalInput0WaitsForTheInput_data() { AddTransports(); }
    void externalInput0WaitsForTheInput() {
        QFETCH(QString, transport);
        QTemporaryDir dir;
        sim::SimThread simulator;
        simulator.SetInput0(false);
        LinkClient client(simulator, transport, dir);
        client.Send(Scan(kInput0, 32));
        QCOMPARE(client.Read(8), kScanAck);
        QVERIFY(client.Read(1, 400).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(simulator.ScanArmed(), kLinkWaitMs);
        simulator.SetInput0(true);
        Recording recording;
        QString why;
        QVERIFY2(ReadRecording(client, recording, why), qPrintable(why));
        const auto states = recording.Rotated(3, 32);
        for (int i = 0; i < kSamples; ++i)
            QCOMPARE(bool(states[i] & kInput0Bit), i >= 32);
    }

    // One sample every `rate` cycles: the light barrier's 150 cycles of IN0 high and 50 low
    // come out as runs of 150 / rate and 50 / rate samples.
    void scanRateStretchesTheRecording_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("rate");
        for (const int rate : {0, 1, 2, 5})
            AddTransportRows(qPrintable(QStringLiteral("rate %1").arg(rate)),
                             [&](QTestData& row) { row << rate; });
    }
    void scanRateStretchesTheRecording() {
        QFETCH(QString, transport);
        QFETCH(int, rate);
        QTemporaryDir dir;
        sim::SimThread simulator;
        LinkClient client(simulator, transport, dir);
        client.Send(Scan(0, 0, 0, rate));
        QCOMPARE(client.Read(8), kScanAck);
        Recording recording;
        QString why;
        QVERIFY2(ReadRecording(client, recording, why), qPrintable(why));
        const int stride = std::max(rate, 1); // 0 counts as 1
        const auto states = recording.Rotated(3, 0);
        const auto high = [&](int i) { return (states[i] & kInput0Bit) != 0; };
        int wholeRuns = 0;
        // Only runs that begin and end inside the trace have their full length.
        for (int start = -1, i = 1; i < kSamples; ++i) {
            if (high(i) == high(i - 1)) continue;
            if (start >= 0) {
                QCOMPARE(i - start, (high(start) ? 150 : 50) / stride);
                ++wholeRuns;
            }
            start = i;
        }
        if (stride > 1) QVERIFY(wholeRuns > 0);
    }

    void recordSignal1GivesTheCoordinates_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("calculationMode");
        QTest::addColumn<QList<int>>("ranges"); // lowest and highest of each channel
        // The object drifts by 250 around red 1800, green 1500, blue 1200, their sum near 4500.
        const QList<int> xyInt{3300, 4700, 2650, 4050, 1470, 1530};
        const QList<int> siM{4750, 6000, 5000, 6100, 430, 450};
        AddTransportRows("X Y INT", [&](QTestData& row) { row << 0 << xyInt; });
        AddTransportRows("s i M", [&](QTestData& row) { row << 1 << siM; });
        AddTransportRows("3D s i M", [&](QTestData& row) { row << 3 << siM; });
    }
    void recordSignal1GivesTheCoordinates() {
        QFETCH(QString, transport);
        QFETCH(int, calculationMode);
        QFETCH(QList<int>, ranges);
        QTemporaryDir dir;
        sim::SimThread simulator;
        sim::ParameterImage image = simulator.RamImage()[0];
        image.parameters[sim::kCalculationMode] = std::uint16_t(calculationMode);
        simulator.SetRamImage(0, image);
        LinkClient client(simulator, transport, dir);
        client.Send(Scan(0, 0, 0, 1, 1));
        QCOMPARE(client.Read(8), kScanAck);
        Recording recording;
        QString why;
        QVERIFY2(ReadRecording(client, recording, why), qPrintable(why));
        for (int block = 0; block < 3; ++block) {
            for (const int value : recording.Rotated(block, 0)) {
                QVERIFY2(value >= ranges[2 * block] && value <= ranges[2 * block + 1],
                         qPrintable(QStringLiteral("channel %1: %2").arg(block + 1).arg(value)));
            }
        }
    }

    void breakAbandonsAWaitingScan_data() { AddTransports(); }
    void breakAbandonsAWaitingScan() {
        QFETCH(QString, transport);
        QTemporaryDir dir;
        sim::SimThread simulator;
        simulator.SetInput0(false);
        LinkClient client(simulator, transport, dir);
        client.Send(Order(110, 0)); // nothing to break: acknowledged all the same
        QCOMPARE(client.Read(8), kScanAck);
        client.Send(Scan(kInput0, 16));
        QCOMPARE(client.Read(8), kScanAck);
        QVERIFY(simulator.ScanPending());
        client.Send(Order(110, 0));
        QCOMPARE(client.Read(8), kScanAck);
        QVERIFY(!simulator.ScanPending());
        simulator.SetInput0(true);
        QVERIFY(client.Read(1, 400).isEmpty());
    }

    void closingTheLinkAbandonsTheScan_data() { AddTransports(); }
    void closingTheLinkAbandonsTheScan() {
        QFETCH(QString, transport);
        QTemporaryDir dir;
        sim::SimThread simulator;
        simulator.SetInput0(false);
        LinkClient client(simulator, transport, dir);
        client.Send(Scan(kInput0, 16));
        QCOMPARE(client.Read(8), kScanAck);
        QVERIFY(simulator.ScanPending());
        client.Close();
        QTRY_VERIFY_WITH_TIMEOUT(!simulator.ScanPending(), kLinkWaitMs);
    }

    void otherOrdersAreAnsweredWhileAScanWaits_data() { AddTransports(); }
    void otherOrdersAreAnsweredWhileAScanWaits() {
        QFETCH(QString, transport);
        QTemporaryDir dir;
        sim::SimThread simulator;
        simulator.SetInput0(false);
        LinkClient client(simulator, transport, dir);
        client.Send(Scan(kInput0, 64));
        QCOMPARE(client.Read(8), kScanAck);
        client.Send(Order(8));
        const auto measurement = FromQt(client.ReadFrame());
        QCOMPARE(measurement.size(), std::size_t(48));
        QCOMPARE(ToQt(measurement).left(6), QByteArray::fromHex("550800002800"));
        client.Send(Order(105));
        QCOMPARE(client.ReadFrame().left(6), QByteArray::fromHex("556900000800"));
        client.Send(Order(7));
        QCOMPARE(client.ReadFrame(), kIdentificationReply);
        QVERIFY(simulator.ScanPending());
        // An edge counts only once the 64 pre-trigger samples are stored.
        QTRY_VERIFY_WITH_TIMEOUT(simulator.ScanArmed(), kLinkWaitMs);
        simulator.SetInput0(true);
        Recording recording;
        QString why;
        QVERIFY2(ReadRecording(client, recording, why), qPrintable(why));
        const auto states = recording.Rotated(3, 64);
        QVERIFY(states[64] & kInput0Bit);
        QVERIFY(!(states[63] & kInput0Bit));
    }

    void blocksNeverInterleaveWithAReply_data() { AddTransports(); }
    void blocksNeverInterleaveWithAReply() {
        QFETCH(QString, transport);
        QTemporaryDir dir;
        sim::SimThread simulator;
        sim::FaultSettings faults;
        faults.baudRate = {true, 115200, 110}; // the four blocks take some 90 ms
        simulator.SetFaults(faults);
        LinkClient client(simulator, transport, dir);
        client.Send(Scan(0, 0));
        QCOMPARE(client.Read(8), kScanAck);
        const QByteArray start = client.Read(8);
        QCOMPARE(start.left(2), QByteArray::fromHex("556e"));
        client.Send(Order(7)); // arrives while the first block is on the line
        const QByteArray rest = client.Read(4 * kBlockBytes - 8);
        QCOMPARE(rest.size(), 4 * kBlockBytes - 8);
        const auto bytes = FromQt(start + rest);
        for (int block = 0; block < 4; ++block) {
            const std::uint8_t* at = bytes.data() + block * kBlockBytes;
            protocol::frame::HeaderFields head;
            QVERIFY(protocol::frame::DecodeHead(at, head));
            QCOMPARE(int(head.code), 110);
            QCOMPARE(head.dataCheck, protocol::ComputeCheckByte(at, 8, 258));
        }
        QCOMPARE(client.ReadFrame(), kIdentificationReply);
    }

    void wrongPayloadGetsStatus2AndChangesNothing_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QByteArray>("request");
        // Each would be a single shot with 100 pre-trigger samples, were it accepted.
        QByteArray damaged = ToQt(Scan(0, 100));
        damaged[6] = char(damaged[6] ^ 0x01);
        damaged[7] = char(protocol::ComputeCheckByte(
            reinterpret_cast<const std::uint8_t*>(damaged.constData()), 0, 7));
        const std::vector<std::pair<const char*, QByteArray>> requests{
            {"four words", ToQt(Order(110, 1, {0, 100, 0, 1}))},
            {"six words", ToQt(Order(110, 1, {0, 100, 0, 1, 0, 0}))},
            {"no words", ToQt(Order(110, 1))},
            {"bad payload check byte", damaged}};
        for (const auto& [name, request] : requests)
            AddTransportRows(name, [&](QTestData& row) { row << request; });
    }
    void wrongPayloadGetsStatus2AndChangesNothing() {
        QFETCH(QString, transport);
        QFETCH(QByteArray, request);
        const std::vector<std::uint8_t> bytes = FromQt(request);
        QTemporaryDir dir;
        sim::SimThread simulator;
        simulator.SetInput0(false);
        LinkClient client(simulator, transport, dir);
        client.Send(bytes);
        QCOMPARE(client.Read(8), kStatus2);
        QVERIFY(!simulator.ScanPending());
        QVERIFY(client.Read(1, 250).isEmpty());

        client.Send(Scan(kInput0, 40));
        QCOMPARE(client.Read(8), kScanAck);
        client.Send(bytes);
        QCOMPARE(client.Read(8), kStatus2);
        QVERIFY(client.Read(1, 250).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(simulator.ScanArmed(), kLinkWaitMs);
        simulator.SetInput0(true);
        Recording recording;
        QString why;
        QVERIFY2(ReadRecording(client, recording, why), qPrintable(why));
        const auto states = recording.Rotated(3, 40);
        QVERIFY(states[40] & kInput0Bit);
        QVERIFY(!(states[39] & kInput0Bit));
    }

    void faultsOfOrder110ShapeTheBlocks() {
        QTemporaryDir dir;
        sim::SimThread simulator;
        sim::FaultSettings faults;
        faults.badDataCheck = {true, 0, 110};
        simulator.SetFaults(faults);
        LinkClient client(simulator, QStringLiteral("tcp"), dir);
        client.Send(Scan(0, 0));
        QCOMPARE(client.Read(8), QByteArray::fromHex("556e00000000ab59"));
        for (int block = 0; block < 4; ++block) {
            const auto bytes = FromQt(client.ReadFrame());
            QCOMPARE(bytes.size(), std::size_t(kBlockBytes));
            QVERIFY(protocol::ComputeCheckByte(bytes.data(), 8, 258) != bytes[6]);
        }
        client.Send(Order(7));
        QCOMPARE(client.ReadFrame(), kIdentificationReply);
    }

    void programTogglesInput0OnSigusr2() {
        const QString program = qEnvironmentVariable("CHROMIX_SIM");
        if (program.isEmpty()) QSKIP("CHROMIX_SIM does not name the simulator program");
        SimProgram sim;
        QVERIFY(sim.Start(program, {"--tcp", "0", "--in0", "sometimes"},
                          {"--tcp", "0", "--in0", "low", "--trigger-index", "100"}));
        QCOMPARE(sim.refusedExitCode, 2);
        QProcess& process = sim.process;
        QTcpSocket& socket = sim.socket;
        socket.write(ToQt(Scan(kInput0, 8)));
        QVERIFY(socket.waitForReadyRead(kLinkWaitMs));
        QCOMPARE(socket.read(8), kScanAck);
        QVERIFY(!socket.waitForReadyRead(400));
        ::kill(static_cast<pid_t>(process.processId()), SIGUSR2);
        QByteArray bytes;
        while (bytes.size() < 4 * kBlockBytes && socket.waitForReadyRead(kLinkWaitMs))
            bytes += socket.readAll();
        QCOMPARE(bytes.size(), 4 * kBlockBytes);
        const auto data = FromQt(bytes);
        const auto states = ReplyWords({data.begin() + 3 * kBlockBytes, data.end()});
        QCOMPARE(int(states[kSamples]), 100); // where --trigger-index put it
        const int start = (kSamples - 8 + states[kSamples]) % kSamples;
        QVERIFY(states[(start + 8) % kSamples] & kInput0Bit);
        QVERIFY(!(states[(start + 7) % kSamples] & kInput0Bit));
        process.terminate();
        QVERIFY(process.waitForFinished(kLinkWaitMs));
        QCOMPARE(process.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestScope)
#include "TestScope.moc"
