// White calibration's arithmetic and the hardware block's text.
#include "model/CalibrationMath.h"
#include "model/IniStore.h"

#include <QtTest>

using namespace calibration;

Q_DECLARE_METATYPE(Rgb)

class TestCalibrationMath : public QObject {
    Q_OBJECT

private slots:
    void factorsFromTheMeanRawValues_data() {
        QTest::addColumn<int>("setValue");
        QTest::addColumn<Rgb>("meanRaw");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<Rgb>("factors");
        QTest::newRow("the worked example")
            << 800 << Rgb{700, 800, 1000} << true << Rgb{1170, 1024, 819};
        QTest::newRow("1024 everywhere")
            << 1024 << Rgb{1024, 1024, 1024} << true << Rgb{1024, 1024, 1024};
        QTest::newRow("4551 rejected") << 4000 << Rgb{1000, 900, 1000} << false << Rgb{};
        QTest::newRow("exactly 4096 accepted")
            << 4000 << Rgb{1000, 1000, 1000} << true << Rgb{4096, 4096, 4096};
        QTest::newRow("65536 or more is not cut to 16 bits")
            << 1000 << Rgb{1000, 15, 1000} << false << Rgb{};
        QTest::newRow("a mean of 0 counts as 1")
            << 1 << Rgb{0, 1, 1} << true << Rgb{1024, 1024, 1024};
        QTest::newRow("a mean of 0 with light set") << 800 << Rgb{800, 0, 800} << false << Rgb{};
    }
    void factorsFromTheMeanRawValues() {
        QFETCH(int, setValue);
        QFETCH(Rgb, meanRaw);
        QFETCH(bool, accepted);
        QFETCH(Rgb, factors);
        const auto result = FactorsFor(std::uint32_t(setValue), meanRaw);
        QCOMPARE(result.has_value(), accepted);
        if (!result) return;
        for (std::size_t c = 0; c < 3; ++c)
            QCOMPARE(std::uint32_t((*result)[c]), factors[c]);
    }

    void meansAreAlwaysOverAHundredFrames() {
        // 50 frames came through: the sums are still divided by 100.
        const RawMeans means = MeansOf({50 * 700, 50 * 800, 50 * 1000}, 50 * 300);
        QCOMPARE(means.raw, (Rgb{350, 400, 500}));
        QCOMPARE(means.delta, 150u);
        QCOMPARE(MeansOf({199, 100, 0}, 99).raw, (Rgb{1, 1, 0}));
    }

    void rawDeltaIsTheSpreadOfTheThree() {
        QCOMPARE(int(RawDelta(700, 800, 1000)), 300);
        QCOMPARE(int(RawDelta(5, 5, 5)), 0);
        QCOMPARE(int(RawDelta(65535, 0, 1)), 65535);
    }

    void theHardwareBlockAsTextAndBackThroughTheIniStore() {
        std::array<std::uint16_t, kHardwareWords> words{};
        words[0] = 1;
        words[1] = 255;
        words[255] = 0xABCD;
        const std::string text = HardwareDataText(words.data());
        QCOMPARE(text.size(), std::size_t(1024));
        QVERIFY(text.rfind("000100ff", 0) == 0);
        QCOMPARE(text.substr(1020), std::string("abcd"));
        settings::IniStore store;
        store.PutString("HARDWARE INFO", "DATA", text);
        const std::string written = store.WriteToText();
        QCOMPARE(int(std::count(written.begin(), written.end(), '\n')) >= 13, true);
        QVERIFY(written.find("DATA Line0013") != std::string::npos);
        QVERIFY(written.find("DATA Line0014") == std::string::npos);
        settings::IniStore back;
        QCOMPARE(back.ReadFromText(written), int(settings::kIniOk));
        std::string read;
        QCOMPARE(back.GetString("HARDWARE INFO", "DATA", read), int(settings::kIniFound));
        QCOMPARE(read, text);
    }
};

QTEST_MAIN(TestCalibrationMath)
#include "TestCalibrationMath.moc"
