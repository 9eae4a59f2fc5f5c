// Colour coordinates and the search for the taught colour, in every evaluation mode.
#include "sim/ColourEvaluation.h"
#include "sim/ParameterStore.h"

#include <QtTest>

#include <cstdlib>

using namespace sim;

namespace {

// Two overlapping taught colours of equal intensity, 2D X/Y/INT: row 0 at (3333, 3333) with
// CTO 200, row 1 at (3600, 3333) with CTO 300, both INT 2000 with ITO 200.
protocol::ParameterImage TwoColours(int evaluationMode, int maxVecNo = 2) {
    protocol::ParameterImage set = sim::FactoryImage();
    set.parameters[protocol::kEvaluationMode] = static_cast<std::uint16_t>(evaluationMode);
    set.parameters[protocol::kMaxVecNo] = static_cast<std::uint16_t>(maxVecNo);
    set.table[0].w = {3333, 3333, 200, 2000, 200, 4, 10, 0};
    set.table[1].w = {3600, 3333, 300, 2000, 200, 9, 10, 0};
    return set;
}

sim::Rgb At(int x, int y, int intensity, int calculationMode = 0) {
    return sim::RgbFromColourPoint({x, y, intensity}, calculationMode);
}

} // namespace

class TestColourEvaluation : public QObject {
    Q_OBJECT
private slots:
    void coordinatesRoundTripThroughRgb_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("green");
        QTest::addColumn<int>("blue");
        for (int mode : {0, 1}) {
            const QByteArray m = QByteArray::number(mode);
            QTest::newRow("grey " + m) << mode << 1000 << 1000 << 1000;
            QTest::newRow("orange " + m) << mode << 4000 << 2000 << 100;
            QTest::newRow("deep blue " + m) << mode << 50 << 300 << 3900;
        }
    }
    void coordinatesRoundTripThroughRgb() {
        QFETCH(int, mode);
        QFETCH(int, red);
        QFETCH(int, green);
        QFETCH(int, blue);
        const sim::Rgb back =
            sim::RgbFromColourPoint(sim::ComputeColourPoint({red, green, blue}, mode), mode);
        QVERIFY(std::abs(back.red - red) <= 3);
        QVERIFY(std::abs(back.green - green) <= 3);
        QVERIFY(std::abs(back.blue - blue) <= 3);
    }

    void greyIsTheCentreOfBothColourPlanes() {
        const auto xy = sim::ComputeColourPoint({2000, 2000, 2000}, 0);
        QCOMPARE(xy.first, 3333);
        QCOMPARE(xy.second, 3333);
        QCOMPARE(xy.intensity, 2000);
        const auto si = sim::ComputeColourPoint({2000, 2000, 2000}, 3);
        QCOMPARE(si.first, 5000);
        QCOMPARE(si.second, 5000);
        QCOMPARE(si.intensity, 586);
    }

    void colourIsFoundByEvaluationMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("maxVecNo");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("intensity");
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("deltaC"); // -1, or the expected distance within 3
        // (3480, 3333) is 147 from row 0 and 120 from row 1: inside both tolerances.
        QTest::newRow("first hit takes the first row hit")
            << 0 << 2 << 3480 << 3333 << 2000 << 0 << 147;
        QTest::newRow("best hit takes the nearer row")
            << 1 << 2 << 3480 << 3333 << 2000 << 1 << 120;
        QTest::newRow("best hit: only row 1 hit") << 1 << 2 << 3800 << 3333 << 2000 << 1 << 200;
        QTest::newRow("first hit, nothing hit: distance to the last row")
            << 0 << 2 << 7000 << 1000 << 1500 << 255 << 4124;
        QTest::newRow("best hit, nothing hit") << 1 << 2 << 7000 << 1000 << 1500 << 255 << -1;
        QTest::newRow("intensity outside ITO is no hit")
            << 1 << 2 << 3333 << 3333 << 2400 << 255 << -1;
        QTest::newRow("min dist outside tolerances") << 2 << 2 << 4200 << 3333 << 2100 << 1 << 600;
        QTest::newRow("min dist, intensity outside all")
            << 2 << 2 << 4200 << 3333 << 2600 << 255 << -1;
        QTest::newRow("max vec no 1 leaves row 1 out")
            << 1 << 1 << 3800 << 3333 << 2000 << 255 << -1;
        QTest::newRow("col5 with both rows hit") << 3 << 5 << 3480 << 3333 << 2000 << 3 << 120;
        QTest::newRow("col5 with row 1 only") << 3 << 5 << 3800 << 3333 << 2000 << 2 << 200;
        QTest::newRow("col5 nothing hit") << 3 << 5 << 7000 << 1000 << 1500 << 255 << -1;
    }
    void colourIsFoundByEvaluationMode() {
        QFETCH(int, mode);
        QFETCH(int, maxVecNo);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, intensity);
        QFETCH(int, colour);
        QFETCH(int, deltaC);
        const auto result = sim::EvaluateColour(At(x, y, intensity), TwoColours(mode, maxVecNo));
        QCOMPARE(int(result.colourNumber), colour);
        if (deltaC < 0)
            QCOMPARE(int(result.deltaC), -1);
        else
            QVERIFY2(std::abs(result.deltaC - deltaC) <= 3,
                     qPrintable(QString::number(result.deltaC)));
    }

    void groupFollowsTheGroupTableOnlyWithColourGroups() {
        protocol::ParameterImage set = TwoColours(1);
        const sim::Rgb live = At(3800, 3333, 2000);
        QCOMPARE(sim::EvaluateColour(live, set).group, std::uint16_t(1));
        set.parameters[protocol::kColorGroup] = 1;
        QCOMPARE(sim::EvaluateColour(live, set).group, std::uint16_t(9));
        QCOMPARE(sim::EvaluateColour(At(7000, 1000, 1500), set).group, std::uint16_t(255));
    }

    void intensityBelowIntlimIsTheErrorState() {
        protocol::ParameterImage set = TwoColours(0);
        set.parameters[protocol::kIntlim] = 2001;
        const auto result = sim::EvaluateColour(At(3333, 3333, 2000), set);
        QCOMPARE(result.colourNumber, std::uint16_t(255));
        QCOMPARE(result.group, std::uint16_t(255));
        QCOMPARE(result.deltaC, std::int16_t(-1));
        set.parameters[protocol::kIntlim] = 1990;
        QCOMPARE(sim::EvaluateColour(At(3333, 3333, 2000), set).colourNumber, std::uint16_t(0));
    }

    void threeDimensionsUseTolAcrossIntensity() {
        protocol::ParameterImage set = sim::FactoryImage();
        set.parameters[protocol::kCalculationMode] = 2;
        set.table[0].w = {3333, 3333, 2000, 120, 1, 0, 10, 0};
        // 100 away in intensity alone: inside TOL 120; 150 away: outside.
        QCOMPARE(sim::EvaluateColour(At(3333, 3333, 2100, 2), set).colourNumber, std::uint16_t(0));
        QCOMPARE(sim::EvaluateColour(At(3333, 3333, 2150, 2), set).colourNumber,
                 std::uint16_t(255));
    }

    void thresholdModeSetsOneBitPerChannel_data() {
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("green");
        QTest::addColumn<int>("blue");
        QTest::addColumn<int>("colour");
        QTest::newRow("all below") << 100 << 100 << 100 << 0;
        QTest::newRow("red above") << 1001 << 100 << 100 << 1;
        QTest::newRow("equal is not above") << 1000 << 2000 << 3000 << 0;
        QTest::newRow("green and blue above") << 0 << 2001 << 3001 << 6;
        QTest::newRow("all above") << 4095 << 4095 << 4095 << 7;
    }
    void thresholdModeSetsOneBitPerChannel() {
        QFETCH(int, red);
        QFETCH(int, green);
        QFETCH(int, blue);
        QFETCH(int, colour);
        protocol::ParameterImage set = sim::FactoryImage();
        set.parameters[protocol::kEvaluationMode] = 4;
        set.table[0].w[0] = 1000;
        set.table[1].w[0] = 2000;
        set.table[2].w[0] = 3000;
        QCOMPARE(int(sim::EvaluateColour({red, green, blue}, set).colourNumber), colour);
    }
};

QTEST_GUILESS_MAIN(TestColourEvaluation)
#include "TestColourEvaluation.moc"
