// The scope's recording cycle by cycle, the scan request as the sensor reads it, and the
// samples, outputs and inputs the model gives the scope.
#include "SimTestBytes.h"
#include "protocol/CheckByte.h"
#include "sim/ScopeCapture.h"
#include "sim/SensorModel.h"

#include <QtTest>

#include <cmath>
#include <set>

using namespace sim;
using namespace simtest;
using protocol::ComputeCheckByte;

namespace {

constexpr int kSamples = ScopeCapture::kSamples;
constexpr std::uint16_t kLevel = 2000;
constexpr std::uint16_t kLow = 1000;
constexpr std::uint16_t kHigh = 3000;
constexpr std::uint16_t kCoordinateOffset = 20000;

// A sensor whose every signal changes at cycle `event`: channel 3 steps across the level (up, or
// down when `falling`), colour number 0 appears and IN0 goes high. Channel 1 counts the cycles,
// and the outputs show their low bits, so every stored sample tells which cycle it came from.
ScopeSample Synthetic(int cycle, int event, bool falling) {
    const bool after = event >= 0 && cycle >= event;
    ScopeSample sample;
    const std::uint16_t channel3 = after != falling ? kHigh : kLow;
    sample.rgb = {static_cast<std::uint16_t>(cycle), 7, channel3};
    sample.coordinates = {static_cast<std::uint16_t>(cycle + kCoordinateOffset), 9, channel3};
    sample.colourNumber = after ? 0 : 255;
    sample.digital =
        static_cast<std::uint8_t>((cycle & kDigitalOutputs) | (after ? kDigitalInput0 : 0));
    return sample;
}

// The ring as the program shows it: rotated so the trigger sample sits at the pre-trigger count.
std::vector<std::uint16_t> Rotated(const std::vector<std::uint16_t>& block, int preTrigger) {
    const int start = (kSamples - preTrigger + block[kSamples]) % kSamples;
    std::vector<std::uint16_t> samples(kSamples);
    for (int i = 0; i < kSamples; ++i)
        samples[i] = block[(start + i) % kSamples];
    return samples;
}

std::int32_t Int32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                     static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

} // namespace

class TestScopeCapture : public QObject {
    Q_OBJECT
private slots:
    void ringHoldsTheSamplesAroundTheTrigger_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("preTrigger");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("event");
        QTest::addColumn<bool>("falling");
        QTest::addColumn<int>("triggerCycle");
        QTest::addColumn<int>("cyclesToComplete");
        QTest::addColumn<int>("triggerIndex");
        // Samples are stored from the first cycle on, one every `rate` cycles; the trigger is
        // the first stored sample at or after the event once `preTrigger` samples are stored.
        QTest::newRow("single shot") << 0 << 0 << 1 << 0 << -1 << false << 0 << 128 << 0;
        QTest::newRow("single shot, P 20, rate 3")
            << 0 << 20 << 3 << 0 << -1 << false << 60 << 382 << 20;
        QTest::newRow("single shot, P 128") << 0 << 128 << 1 << 0 << -1 << false << 128 << 129 << 0;
        QTest::newRow("rising, P 64") << 1 << 64 << 1 << 0 << 200 << false << 200 << 264 << 72;
        QTest::newRow("falling, P 10") << 2 << 10 << 1 << 0 << 50 << true << 50 << 168 << 50;
        QTest::newRow("rising, P 0") << 1 << 0 << 1 << 0 << 1 << false << 1 << 129 << 1;
        QTest::newRow("rising, P 128, trigger sample not kept")
            << 1 << 128 << 1 << 0 << 300 << false << 300 << 301 << 44;
        QTest::newRow("rising between stored samples, rate 2")
            << 1 << 16 << 2 << 0 << 101 << false << 102 << 325 << 51;
        QTest::newRow("colour number 0, P 32")
            << 3 << 32 << 1 << 0 << 40 << false << 40 << 136 << 40;
        QTest::newRow("IN0, P 100") << 4 << 100 << 1 << 0 << 150 << false << 150 << 178 << 22;
        QTest::newRow("rising INT, record signal 1")
            << 1 << 5 << 1 << 1 << 30 << false << 30 << 153 << 30;
    }
    void ringHoldsTheSamplesAroundTheTrigger() {
        QFETCH(int, mode);
        QFETCH(int, preTrigger);
        QFETCH(int, rate);
        QFETCH(int, signal);
        QFETCH(int, event);
        QFETCH(bool, falling);
        QFETCH(int, triggerCycle);
        QFETCH(int, cyclesToComplete);
        QFETCH(int, triggerIndex);
        ScopeCapture capture({static_cast<ScopeTrigger>(mode), preTrigger, kLevel, rate, signal});
        int cycle = 0;
        while (!capture.Feed(Synthetic(cycle, event, falling)) && cycle < 5000)
            ++cycle;
        QCOMPARE(cycle + 1, cyclesToComplete);
        QVERIFY(capture.Complete());
        QCOMPARE(capture.TriggerIndex(), triggerIndex);

        const auto first = Rotated(capture.BlockWords(0), preTrigger);
        const auto digital = Rotated(capture.BlockWords(3), preTrigger);
        const int offset = signal == 1 ? kCoordinateOffset : 0;
        for (int i = 0; i < kSamples; ++i) {
            const int expectedCycle = triggerCycle + (i - preTrigger) * rate;
            QCOMPARE(int(first[i]), expectedCycle + offset);
            QCOMPARE(digital[i] & kDigitalOutputs, expectedCycle & kDigitalOutputs);
        }
        for (int block = 0; block < ScopeCapture::kBlocks; ++block)
            QCOMPARE(int(capture.BlockWords(block).back()), triggerIndex);
        // Later cycles leave the finished recording alone.
        QVERIFY(capture.Feed(Synthetic(cycle + 1, event, falling)));
        QCOMPARE(Rotated(capture.BlockWords(0), preTrigger), first);
    }

    void singleShotIsInTimeOrderFromPositionZero_data() {
        QTest::addColumn<int>("preTrigger");
        for (int p : {0, 1, 64, 127, 128})
            QTest::addRow("P %d", p) << p;
    }
    void singleShotIsInTimeOrderFromPositionZero() {
        QFETCH(int, preTrigger);
        ScopeCapture capture({ScopeTrigger::kSingleShot, preTrigger, kLevel, 1, 0});
        for (int cycle = 0; !capture.Complete(); ++cycle)
            capture.Feed(Synthetic(cycle, -1, false));
        const auto block = capture.BlockWords(0);
        for (int i = 0; i < kSamples; ++i)
            QCOMPARE(int(block[i]), i);
        QCOMPARE(Rotated(block, preTrigger),
                 std::vector<std::uint16_t>(block.begin(), block.end() - 1));
    }

    // A ring that does not start at 0 moves the trigger index, not the trace around it; the
    // trigger sample lies at the index placed.
    void aPlacedTriggerIndexTurnsTheRingButNotTheTrace_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("preTrigger");
        QTest::addColumn<int>("event");
        QTest::addColumn<int>("place");
        QTest::newRow("single shot, P 20 at 100") << 0 << 20 << -1 << 100;
        QTest::newRow("rising, P 64 at 3") << 1 << 64 << 200 << 3;
        QTest::newRow("IN0, P 0 at 127") << 4 << 0 << 5 << 127;
        QTest::newRow("IN0, P 100 at 0") << 4 << 100 << 150 << 0;
        QTest::newRow("rising, P 128 at 50") << 1 << 128 << 300 << 50;
    }
    void aPlacedTriggerIndexTurnsTheRingButNotTheTrace() {
        QFETCH(int, mode);
        QFETCH(int, preTrigger);
        QFETCH(int, event);
        QFETCH(int, place);
        const ScopeSettings settings{static_cast<ScopeTrigger>(mode), preTrigger, kLevel, 1, 0};
        ScopeSettings placed = settings;
        placed.triggerIndex = place;
        ScopeCapture usual(settings);
        ScopeCapture turned(placed);
        for (int cycle = 0; !usual.Complete() && cycle < 5000; ++cycle) {
            usual.Feed(Synthetic(cycle, event, false));
            turned.Feed(Synthetic(cycle, event, false));
        }
        QVERIFY(turned.Complete());
        QCOMPARE(turned.TriggerIndex(), place);
        QVERIFY(usual.TriggerIndex() != place);
        for (int block = 0; block < ScopeCapture::kBlocks; ++block) {
            QCOMPARE(int(turned.BlockWords(block).back()), place);
            QCOMPARE(Rotated(turned.BlockWords(block), preTrigger),
                     Rotated(usual.BlockWords(block), preTrigger));
        }
        if (preTrigger < kSamples)
            QCOMPARE(turned.BlockWords(0)[place],
                     Rotated(usual.BlockWords(0), preTrigger)[preTrigger]);
    }

    void armedOnceThePreTriggerPartIsStoredUntilTheTrigger() {
        ScopeCapture capture({ScopeTrigger::kInput0, 10, kLevel, 2, 0});
        int cycle = 0;
        for (; cycle < 19; ++cycle) {
            QVERIFY(!capture.Armed());
            capture.Feed(Synthetic(cycle, -1, false));
        }
        QVERIFY(capture.Armed()); // the tenth sample is stored
        for (; cycle < 30; ++cycle)
            capture.Feed(Synthetic(cycle, -1, false));
        QVERIFY(capture.Armed());
        capture.Feed(Synthetic(cycle, cycle, false));
        QVERIFY(!capture.Armed());
        QVERIFY(!capture.Complete());
    }

    void edgeBeforeThePreTriggerPartIsFullIsIgnored() {
        ScopeCapture capture({ScopeTrigger::kRisingEdge, 64, kLevel, 1, 0});
        for (int cycle = 0; cycle < 2000; ++cycle)
            QVERIFY(!capture.Feed(Synthetic(cycle, 10, false)));
    }

    void edgeNeedsACrossing_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("triggers");
        QTest::newRow("rising across") << 1 << 1999 << 2001 << true;
        QTest::newRow("rising from the level") << 1 << 2000 << 2001 << true;
        QTest::newRow("rising to the level") << 1 << 1999 << 2000 << false;
        QTest::newRow("rising above it") << 1 << 2001 << 2005 << false;
        QTest::newRow("falling is no rise") << 1 << 2001 << 1999 << false;
        QTest::newRow("falling across") << 2 << 2001 << 1999 << true;
        QTest::newRow("falling from the level") << 2 << 2000 << 1999 << true;
        QTest::newRow("falling to the level") << 2 << 2001 << 2000 << false;
        QTest::newRow("rising is no fall") << 2 << 1999 << 2001 << false;
    }
    void edgeNeedsACrossing() {
        QFETCH(int, mode);
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(bool, triggers);
        ScopeCapture capture({static_cast<ScopeTrigger>(mode), 0, kLevel, 1, 0});
        ScopeSample sample;
        sample.rgb[2] = static_cast<std::uint16_t>(before);
        capture.Feed(sample);
        sample.rgb[2] = static_cast<std::uint16_t>(after);
        for (int i = 0; i < kSamples; ++i)
            capture.Feed(sample);
        QCOMPARE(capture.Complete(), triggers);
    }

    void framesAreFourBlocksOf129Words() {
        ScopeCapture capture({ScopeTrigger::kRisingEdge, 64, kLevel, 1, 0});
        for (int cycle = 0; !capture.Complete(); ++cycle)
            capture.Feed(Synthetic(cycle, 100, false));
        const auto frames = capture.Frames();
        QCOMPARE(frames.size(), std::size_t(4));
        for (int block = 0; block < 4; ++block) {
            const auto& bytes = frames[block];
            QCOMPARE(bytes.size(), std::size_t(266));
            QCOMPARE(ToQt(bytes).left(6), QByteArray::fromHex("556e00000201"));
            QCOMPARE(bytes[6], protocol::ComputeCheckByte(bytes.data(), 8, 258));
            QCOMPARE(ReplyWords(bytes), capture.BlockWords(block));
        }
        QCOMPARE(capture.BlockWords(2)[capture.TriggerIndex()], kHigh);
    }

    void scanRequestIsReadOrRefused_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("isBreak");
        QTest::addColumn<QList<int>>("settings"); // mode, P, level, rate, signal
        QTest::newRow("rising edge") << ToQt(Order(110, 1, {1, 64, 2600, 1, 0})) << true << false
                                     << QList<int>{1, 64, 2600, 1, 0};
        QTest::newRow("IN0, coordinates, rate 7") << ToQt(Order(110, 1, {4, 128, 0, 7, 1})) << true
                                                  << false << QList<int>{4, 128, 0, 7, 1};
        QTest::newRow("scan rate 0 counts as 1")
            << ToQt(Order(110, 1, {0, 0, 0, 0, 0})) << true << false << QList<int>{0, 0, 0, 1, 0};
        QTest::newRow("break") << ToQt(Order(110, 0)) << true << true << QList<int>{};
        QTest::newRow("break with a payload")
            << ToQt(Order(110, 0, {1, 64, 2600, 1, 0})) << false << false << QList<int>{};
        QTest::newRow("four words")
            << ToQt(Order(110, 1, {1, 64, 2600, 1})) << false << false << QList<int>{};
        QTest::newRow("six words")
            << ToQt(Order(110, 1, {1, 64, 2600, 1, 0, 0})) << false << false << QList<int>{};
        QTest::newRow("scan without payload")
            << ToQt(Order(110, 1)) << false << false << QList<int>{};
        QTest::newRow("argument 2")
            << ToQt(Order(110, 2, {1, 64, 2600, 1, 0})) << false << false << QList<int>{};
        QTest::newRow("trigger mode 5")
            << ToQt(Order(110, 1, {5, 64, 2600, 1, 0})) << false << false << QList<int>{};
        QTest::newRow("pre-trigger 129")
            << ToQt(Order(110, 1, {1, 129, 2600, 1, 0})) << false << false << QList<int>{};
        QTest::newRow("record signal 2")
            << ToQt(Order(110, 1, {1, 64, 2600, 1, 2})) << false << false << QList<int>{};
        QByteArray damaged = ToQt(Order(110, 1, {1, 64, 2600, 1, 0}));
        damaged[6] = static_cast<char>(damaged[6] ^ 0x01);
        damaged[7] = static_cast<char>(protocol::ComputeCheckByte(
            reinterpret_cast<const std::uint8_t*>(damaged.constData()), 0, 7));
        QTest::newRow("bad payload check byte") << damaged << false << false << QList<int>{};
    }
    void scanRequestIsReadOrRefused() {
        QFETCH(QByteArray, request);
        QFETCH(bool, accepted);
        QFETCH(bool, isBreak);
        QFETCH(QList<int>, settings);
        RequestParser parser;
        const auto requests =
            parser.Feed(reinterpret_cast<const std::uint8_t*>(request.constData()),
                        static_cast<std::size_t>(request.size()));
        QCOMPARE(requests.size(), std::size_t(1));
        const auto order = ParseScanOrder(requests.front());
        QCOMPARE(order.has_value(), accepted);
        if (!order) return;
        QCOMPARE(order->isBreak, isBreak);
        if (isBreak) return;
        const ScopeSettings& s = order->settings;
        QCOMPARE((QList<int>{int(s.trigger), s.preTrigger, s.level, s.rate, s.signal}), settings);
    }

    void digitalOutputsFollowTheOutmode_data() {
        QTest::addColumn<int>("outmode");
        QTest::addColumn<int>("colourNumber");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("outputs");
        QTest::newRow("binary, colour 5") << 1 << 5 << 5 << 0x05;
        QTest::newRow("binary, colour 30") << 1 << 30 << 30 << 0x1E;
        QTest::newRow("binary, group 3 of colour 12") << 1 << 12 << 3 << 0x03;
        QTest::newRow("binary, none") << 1 << 255 << 255 << 0x1F;
        QTest::newRow("direct lo, colour 0") << 0 << 0 << 0 << 0x1E;
        QTest::newRow("direct lo, colour 4") << 0 << 4 << 4 << 0x0F;
        QTest::newRow("direct lo, none") << 0 << 255 << 255 << 0x1F;
        QTest::newRow("direct hi, colour 2") << 2 << 2 << 2 << 0x04;
        QTest::newRow("direct hi, none") << 2 << 255 << 255 << 0x00;
        QTest::newRow("direct hi, group 6 has no output") << 2 << 9 << 6 << 0x00;
    }
    void digitalOutputsFollowTheOutmode() {
        QFETCH(int, outmode);
        QFETCH(int, colourNumber);
        QFETCH(int, group);
        QFETCH(int, outputs);
        QCOMPARE(int(DigitalOutputs(outmode, std::uint16_t(colourNumber), std::uint16_t(group))),
                 outputs);
    }

    void scopeSamplesAreTheMeasurementsOfOrder8() {
        SensorModel scope;
        SensorModel live;
        for (int cycle = 0; cycle < 400; ++cycle) {
            const ScopeSample sample = scope.NextScopeSample();
            const protocol::MeasurementFrame m = live.NextMeasurement();
            QCOMPARE(sample.rgb[0], m.w[0]);
            QCOMPARE(sample.rgb[2], m.w[2]);
            QCOMPARE(sample.coordinates[0], m.w[3]);
            QCOMPARE(sample.coordinates[2], m.w[5]);
            QCOMPARE(sample.colourNumber, m.w[7]);
            // Factory set: DIRECT LO and nothing taught, so every output is high.
            QCOMPARE(sample.digital & kDigitalOutputs, kDigitalOutputs);
            // The light barrier: high for 150 of every 200 cycles.
            QCOMPARE(bool(sample.digital & kDigitalInput0), cycle % 200 < 150);
        }
    }

    void input0IsHeldOnceSet() {
        SensorModel model;
        QVERIFY(model.Input0());
        model.SetInput0(false);
        for (int cycle = 0; cycle < 300; ++cycle)
            QVERIFY(!(model.NextScopeSample().digital & kDigitalInput0));
        model.SetInput0(true);
        for (int cycle = 0; cycle < 300; ++cycle)
            QVERIFY(model.NextScopeSample().digital & kDigitalInput0);
    }

    void pulseRaisesBlueAndFallsBack() {
        SensorModel model;
        const int before = model.NextScopeSample().rgb[2];
        model.PulseChannel3(2000, 100);
        int highest = 0;
        for (int cycle = 0; cycle < 100; ++cycle)
            highest = std::max<int>(highest, model.NextScopeSample().rgb[2]);
        QVERIFY2(highest > before + 1800, qPrintable(QString::number(highest)));
        for (int cycle = 0; cycle < 100; ++cycle)
            model.NextScopeSample();
        QVERIFY(model.NextScopeSample().rgb[2] < before + 300);
    }

    void cycleTimeIsAboutOneMillisecondAndVariesALittle() {
        SensorModel model;
        RequestParser parser;
        const auto request = Order(kOrderCycleTime);
        std::set<std::int32_t> counts;
        for (int n = 0; n < 20; ++n) {
            const auto answer = model.Answer(parser.Feed(request.data(), request.size()).front());
            QCOMPARE(answer.size(), std::size_t(16));
            QCOMPARE(ToQt(answer).left(6), QByteArray::fromHex("556900000800"));
            QCOMPARE(answer[6], protocol::ComputeCheckByte(answer.data(), 8, 8));
            QCOMPARE(Int32At(answer, 8), 80);
            const std::int32_t b = Int32At(answer, 12);
            counts.insert(b);
            const double cycleMs = 80 / (b * 0.01);
            QVERIFY2(std::abs(cycleMs - 1.0) < 0.0005, qPrintable(QString::number(cycleMs)));
        }
        QVERIFY(counts.size() > 1);
    }

    void cycleTimeWithArgumentOrPayloadIsRefused_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("argument 1") << ToQt(Order(kOrderCycleTime, 1));
        QTest::newRow("payload") << ToQt(Order(kOrderCycleTime, 0, {1}));
    }
    void cycleTimeWithArgumentOrPayloadIsRefused() {
        QFETCH(QByteArray, request);
        SensorModel model;
        const auto exchanges = model.Feed(reinterpret_cast<const std::uint8_t*>(request.data()),
                                          static_cast<std::size_t>(request.size()));
        QCOMPARE(exchanges.size(), std::size_t(1));
        QCOMPARE(ToQt(exchanges.front().reply), QByteArray::fromHex("550002000000aa54"));
    }
};

QTEST_GUILESS_MAIN(TestScopeCapture)
#include "TestScopeCapture.moc"
