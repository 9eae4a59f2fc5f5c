// The scope's computations: rotation, digital levels, cycle time and the display precisions,
// the analogue range and the cursor deltas.
#include "scope/ScopeModel.h"

#include <QtTest>

using namespace scope;

class TestScopeModel : public QObject {
    Q_OBJECT

private slots:
    void rotationPutsTheTriggerSampleAtThePreTriggerPosition_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("preTrigger");
        QTest::addColumn<int>("triggerIndex");
        QTest::addColumn<int>("start");
        QTest::newRow("P 20, T 5") << int(kRisingEdge) << 20 << 5 << 113;
        QTest::newRow("single shot keeps ring order") << int(kSingleShot) << 20 << 77 << 0;
        QTest::newRow("P 0, T 0") << int(kFallingEdge) << 0 << 0 << 0;
        QTest::newRow("P 128, T 0") << int(kExternalIn0) << 128 << 0 << 0;
        QTest::newRow("P 0, T 127") << int(kInternalColour0) << 0 << 127 << 127;
        QTest::newRow("P 128, T 127") << int(kRisingEdge) << 128 << 127 << 127;
    }
    void rotationPutsTheTriggerSampleAtThePreTriggerPosition() {
        QFETCH(int, mode);
        QFETCH(int, preTrigger);
        QFETCH(int, triggerIndex);
        QFETCH(int, start);
        QCOMPARE(RotationStart(mode, preTrigger, triggerIndex), start);
        std::array<std::uint16_t, kSamples> ring{};
        for (int i = 0; i < kSamples; ++i)
            ring[std::size_t(i)] = std::uint16_t(1000 + i);
        const Block block = RotateBlock(ring.data(), mode, preTrigger, triggerIndex);
        QCOMPARE(int(block[0]), 1000 + start);
        QCOMPARE(int(block[127]), 1000 + (start + 127) % kSamples);
        if (mode != kSingleShot && preTrigger < kSamples)
            QCOMPARE(int(block[std::size_t(preTrigger)]), 1000 + triggerIndex);
    }

    void digitalBitsStackInBands() {
        QCOMPARE(DigitalLevels(0x21), (std::array<int, 6>{9, 6, 4, 2, 0, 11}));
        QCOMPARE(DigitalLevels(0x00), (std::array<int, 6>{8, 6, 4, 2, 0, 10}));
        // Bits above 5 change nothing.
        QCOMPARE(DigitalLevels(0xFFC0), DigitalLevels(0x00));
        QCOMPARE(DigitalLevels(0x3F), (std::array<int, 6>{9, 7, 5, 3, 1, 11}));
    }

    void cycleTimeAndItsPrecisions() {
        const CycleTime time = CycleTimeOf(1000, 1000);
        QCOMPARE(time.milliseconds, 100.0);
        QCOMPARE(time.scanFrequencyHz, 10.0);
        QCOMPARE(CycleTimeDecimals(100.0), 1);
        QCOMPARE(ScanFrequencyDecimals(100.0), 3);
        QCOMPARE(CycleTimeDecimals(0.5), 2);
        QCOMPARE(ScanFrequencyDecimals(0.5), 0);
        QCOMPARE(CycleTimeDecimals(1000.5), 0);
        QCOMPARE(ScanFrequencyDecimals(10000.5), 6);
        // B of 0 gives no cycle time instead of a division by zero.
        QCOMPARE(CycleTimeOf(1000, 0).milliseconds, 0.0);
        QCOMPARE(CycleTimeOf(1000, 0).scanFrequencyHz, 0.0);
        // The reply's bytes: A and B little-endian, signed.
        const std::uint8_t reply[8] = {0xE8, 0x03, 0, 0, 0xE8, 0x03, 0, 0};
        QCOMPARE(CycleTimeOfReply(reply, 8).milliseconds, 100.0);
        QCOMPARE(CycleTimeOfReply(reply, 7).milliseconds, 0.0); // short reply
        const std::uint8_t negative[8] = {0x18, 0xFC, 0xFF, 0xFF, 0xE8, 0x03, 0, 0};
        QCOMPARE(CycleTimeOfReply(negative, 8).milliseconds, -100.0);
        QCOMPARE(CycleTimeOfReply(negative, 8).scanFrequencyHz, 0.0);
    }

    void theAnalogueRangeFollowsRecordSignalAndMode_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("upper");
        QTest::newRow("RGB, X Y INT") << 0 << 0 << 4100.0;
        QTest::newRow("RGB, s i M") << 0 << 1 << 4100.0;
        QTest::newRow("coordinates, X Y INT") << 1 << 0 << 4100.0;
        QTest::newRow("coordinates, s i M") << 1 << 1 << 10000.0;
        QTest::newRow("coordinates, X Y INT 3D") << 1 << 2 << 4100.0;
        QTest::newRow("coordinates, s i M 3D") << 1 << 3 << 10000.0;
    }
    void theAnalogueRangeFollowsRecordSignalAndMode() {
        QFETCH(int, signal);
        QFETCH(int, mode);
        QTEST(AnalogueUpperLimit(signal, mode), "upper");
    }

    void deltasAreWholeSamplesAndDigits() {
        // 10.9 samples apart count as 10; 100 ms per cycle, every 2nd cycle stored.
        QCOMPARE(DeltaX(20.4, 31.3, 100.0, 2), 2000.0);
        QCOMPARE(DeltaX(31.3, 20.4, 100.0, 2), 2000.0);
        QCOMPARE(DeltaX(5, 50, 0.0, 3), 0.0); // no cycle time measured yet
        QCOMPARE(DeltaY(1000.9, 900.2), 100);
        QCOMPARE(DeltaY(900.2, 1000.9), 100);
        QCOMPARE(DeltaXDecimals(2000.0), 0);
        QCOMPARE(DeltaXDecimals(2.5), 3);
        QCOMPARE(DeltaXDecimals(0.5), 6);
    }
};

QTEST_MAIN(TestScopeModel)
#include "TestScopeModel.moc"
