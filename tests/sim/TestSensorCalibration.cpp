// The calibration orders (100..103) and the hardware block (194): fixed answers byte for byte,
// and over the links how the stored factors and offsets shape the measurements.
#include "SimTestBytes.h"
#include "SimTestLinks.h"
#include "sim/SensorModel.h"

#include <QtTest>

using namespace simtest;
using Words = std::vector<std::uint16_t>;

namespace {

const QByteArray kRefused = QByteArray::fromHex("550002000000aa54");
const QByteArray kWritten = QByteArray::fromHex("556500000000aaff");

QByteArray Answer(sim::SensorModel& model, const std::vector<std::uint8_t>& request) {
    const auto exchanges = model.Feed(request.data(), request.size());
    return exchanges.size() == 1 ? ToQt(exchanges.front().reply) : QByteArray();
}

Words Measure(LinkClient& client) {
    client.Send(Order(8));
    const QByteArray reply = client.ReadFrame();
    return reply.size() == 48 ? ReplyWords(FromQt(reply)) : Words{};
}

} // namespace

class TestSensorCalibration : public QObject {
    Q_OBJECT
private slots:
    void repliesAreByteExact_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("write factors")
            << QByteArray::fromHex("5565000006008f32000800040002") << kWritten;
        QTest::newRow("factor 0 refused")
            << ToQt(Order(101, 0, {1024, 0, 1024})) << QByteArray::fromHex("556501000000aa32");
        QTest::newRow("offset 1001 refused")
            << ToQt(Order(101, 1, {0, 1001, 0})) << QByteArray::fromHex("556501000000aa32");
        QTest::newRow("read at start") << ToQt(Order(102))
                                       << QByteArray::fromHex("556600000c00c158"
                                                              "000400040004000000000000");
        QTest::newRow("measure offsets")
            << ToQt(Order(100, 1)) << QByteArray::fromHex("556400000000aac8");
        QTest::newRow("hardware block")
            << QByteArray::fromHex("55c26d4a0000aa20")
            << QByteArray::fromHex("55c2000000021ee4"
                                   "0100ff00f131600102030204e707050011003100e0150300160008000c00"
                                   "e8034348524f4d4958332d53494d00000000") +
                   QByteArray(2 * 231, char(0xFF)) + QByteArray::fromHex("bfee");
        QTest::newRow("hardware block, other key") << ToQt(Order(194, 0x4A6C)) << kRefused;
        QTest::newRow("factors, two words") << ToQt(Order(101, 0, {1024, 1024})) << kRefused;
        QTest::newRow("write, argument 2") << ToQt(Order(101, 2, {1, 1, 1})) << kRefused;
        QTest::newRow("offsets, argument 0") << ToQt(Order(100, 0)) << kRefused;
    }
    void repliesAreByteExact() {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, expected);
        sim::SensorModel model;
        QCOMPARE(Answer(model, FromQt(request)), expected);
    }

    void selfCalibrationWithNothingAboveTheOffsetsProposesTheLargestFactors() {
        sim::SensorModel model;
        sim::ParameterImage image = sim::FactoryImage();
        image.parameters[sim::kLedMode] = 3; // ambient light only, far below the offsets
        model.SetRam(0, image);
        QCOMPARE(Answer(model, Order(101, 1, {1000, 1000, 1000})), kWritten);
        QCOMPARE(Answer(model, Order(103)),
                 QByteArray::fromHex("556700000a00278a001000100010e803c800"));
        QVERIFY(model.CalibrationFactors() == (sim::ChannelWords{1024, 1024, 1024}));
    }

    void calibratedValuesStopAtFullScale() {
        sim::SensorModel model;
        QCOMPARE(Answer(model, Order(101, 0, {4096, 4096, 4096})), kWritten);
        const auto m = model.NextMeasurement();
        for (int c = 0; c < 3; ++c)
            QVERIFY(m.w[11 + c] > 1024 && m.w[c] == 4095);
    }

    void calibratedValuesFollowFactorsAndMeasuredOffsets_data() { AddTransports(); }
    void calibratedValuesFollowFactorsAndMeasuredOffsets() {
        QFETCH(QString, transport);
        QTemporaryDir dir;
        sim::SimThread simulator;
        LinkClient client(simulator, transport, dir);
        client.Send(Order(101, 0, {2048, 1024, 512}));
        QCOMPARE(client.ReadFrame(), kWritten);
        QVERIFY(simulator.CalibrationFactors() == (sim::ChannelWords{2048, 1024, 512}));
        for (const bool covered : {false, true}) {
            if (covered) {
                client.Send(Order(100, 1));
                QCOMPARE(client.ReadFrame(), QByteArray::fromHex("556400000000aac8"));
            }
            const auto off = simulator.Offsets();
            for (const std::uint16_t offset : off)
                QVERIFY(covered ? offset >= 10 && offset <= 60 : offset == 0);
            for (int turn = 0; turn < 20; ++turn) {
                const auto w = Measure(client);
                QCOMPARE(w.size(), std::size_t(20));
                QCOMPARE(int(w[0]), std::min((w[11] - off[0]) * 2, 4095));
                QCOMPARE(int(w[1]), w[12] - off[1]);
                QCOMPARE(int(w[2]), (w[13] - off[2]) / 2);
            }
        }
    }

    void selfCalibrationWrittenBackBringsTheSetValue_data() { AddTransports(); }
    void selfCalibrationWrittenBackBringsTheSetValue() {
        QFETCH(QString, transport);
        QTemporaryDir dir;
        sim::SimThread simulator;
        simulator.SetRawSpread(600);
        LinkClient client(simulator, transport, dir);
        Words w;
        for (int turn = 0; turn < 80; ++turn)
            w = Measure(client);
        QVERIFY(w.size() == 20 && w[11] - w[13] > 500);
        client.Send(Order(103));
        const Words proposed = ReplyWords(FromQt(client.ReadFrame()));
        QCOMPARE(proposed.size(), std::size_t(5));
        QVERIFY(proposed[0] < proposed[1] && proposed[1] < proposed[2]);
        QCOMPARE(proposed[3], std::uint16_t(1000));
        QCOMPARE(proposed[4], std::uint16_t(200));
        client.Send(Order(101, 0, {proposed[0], proposed[1], proposed[2]}));
        QCOMPARE(client.ReadFrame(), kWritten);
        for (int turn = 0; turn < 10; ++turn) {
            w = Measure(client);
            for (int c = 0; c < 3; ++c)
                QVERIFY2(std::abs(w[c] - 1000) <= 25, qPrintable(QString::number(w[c])));
        }
    }
};

QTEST_GUILESS_MAIN(TestSensorCalibration)
#include "TestSensorCalibration.moc"
