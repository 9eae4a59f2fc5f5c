// What the live charts show, computed without widgets: histories, bands, taught colours, the
// views' windows, the output indicators and the live colour.
#include "live/LiveGraphs.h"
#include "live/LiveValues.h"
#include "protocol/ParameterCodes.h"

#include <QtTest>

using namespace live;
using protocol::TeachVector;

namespace {

using Table = std::array<protocol::TeachVector, protocol::kTeachRows>;
using Colours = std::array<std::uint32_t, protocol::kTeachRows>;

// Every row at its reset value (all cells 1).
Table ResetTable() {
    Table table;
    for (auto& row : table)
        row.w = {1, 1, 1, 1, 1, 0, 10, 0};
    return table;
}

} // namespace

class TestLiveGraphs : public QObject {
    Q_OBJECT

private slots:
    void bandIsClippedAtZeroAndAtTheLimitOfEachDrawing_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("intensity");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("stripUpper");
        QTest::addColumn<int>("rectangleUpper");
        QTest::newRow("2D near the top") << 0 << 4000 << 200 << 3800 << 4095 << 4096;
        QTest::newRow("2D near zero") << 1 << 100 << 300 << 0 << 400 << 400;
        QTest::newRow("3D inside") << 2 << 2000 << 50 << 1950 << 2050 << 2050;
        // Cells are words: a sum past 32767 or 65535 must not wrap below the band.
        QTest::newRow("2D sum beyond a signed word") << 0 << 4000 << 30000 << 0 << 4095 << 4096;
        QTest::newRow("3D sum beyond a word") << 2 << 60000 << 60000 << 0 << 4095 << 4096;
    }
    void bandIsClippedAtZeroAndAtTheLimitOfEachDrawing() {
        QFETCH(int, mode);
        QFETCH(int, intensity);
        QFETCH(int, tolerance);
        QFETCH(int, lower);
        QFETCH(int, stripUpper);
        QFETCH(int, rectangleUpper);
        protocol::TeachVector row;
        // 2D: INT in cell 4, ITO in cell 5; 3D: INT in cell 3, TOL in cell 4.
        const std::size_t first = protocol::IsCalculation3D(std::uint16_t(mode)) ? 2 : 3;
        row.w[first] = std::uint16_t(intensity);
        row.w[first + 1] = std::uint16_t(tolerance);
        const TaughtIntensity taught = TaughtIntensityOf(row, std::uint16_t(mode));
        QCOMPARE(int(taught.intensity), intensity);
        const Band strip = IntensityBand(taught, kStripBandLimit);
        const Band rectangle = IntensityBand(taught, kRectangleBandLimit);
        QCOMPARE(strip.lower, lower);
        QCOMPARE(strip.upper, stripUpper);
        QCOMPARE(rectangle.upper, rectangleUpper);
    }

    void resetRowsLeaveTheWholeRangeAndTheViewRunsFromMinus25To10025() {
        const TaughtDrawing drawing = DrawTaughtColoursModel(ResetTable(), 0, Colours{});
        QCOMPARE(drawing.extents.x.min, 0);
        QCOMPARE(drawing.extents.x.max, 10000);
        QCOMPARE(drawing.extents.intensity.max, 10000);
        const Window view =
            SquareWindow(CentreAxis(5000, drawing.extents.x), CentreAxis(1200, drawing.extents.y));
        QCOMPARE(view.x.lower, -25.0);
        QCOMPARE(view.x.upper, 10025.0);
        QCOMPARE(view.y.lower, -25.0);
        QCOMPARE(view.y.upper, 10025.0);
    }

    void oneTaughtColourAndALivePointBesideItGiveTheSquareWindow() {
        Table table = ResetTable();
        table[4].w = {500, 400, 100, 1000, 50, 0, 10, 0}; // X 500, Y 400, CTO 100
        Colours colours{};
        colours[4] = 0x123456;
        const TaughtDrawing drawing = DrawTaughtColoursModel(table, 0, colours);
        QCOMPARE(drawing.extents.x.min, 400);
        QCOMPARE(drawing.extents.x.max, 600);
        QCOMPARE(drawing.rows[4].colour, 0x123456u);
        QCOMPARE(drawing.rows[4].xy.left, 400.0);
        QCOMPARE(drawing.rows[4].xy.top, 500.0);
        const Centred x = CentreAxis(700, drawing.extents.x);
        const Centred y = CentreAxis(450, drawing.extents.y);
        QCOMPARE(x.span, 300);
        QCOMPARE(y.span, 200);
        const Window view = SquareWindow(x, y);
        QCOMPARE(view.x.lower, 375.0);
        QCOMPARE(view.x.upper, 725.0);
        QCOMPARE(view.y.lower, 225.0);
        QCOMPARE(view.y.upper, 575.0);
    }

    // The pixels a plane can use and the ranges it must show: the centred plot area, and the
    // ranges widened to fill the whole area, both with as many pixels per unit on X as on Y.
    void squareUnitsFitThePlaneIntoItsPixels_data() {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRectF>("ranges"); // x lower, y lower, x span, y span
        QTest::addColumn<QRect>("centred");
        QTest::addColumn<QRectF>("widened");
        const QRectF square(-25, -25, 10050, 10050);
        QTest::newRow("wide, as the 2D page at 800 x 560")
            << QRect(40, 10, 300, 100) << square << QRect(140, 10, 100, 100)
            << QRectF(-10075, -25, 30150, 10050);
        QTest::newRow("tall") << QRect(0, 0, 120, 360) << QRectF(375, 225, 350, 350)
                              << QRect(0, 120, 120, 120) << QRectF(375, -125, 350, 1050);
        QTest::newRow("already square")
            << QRect(5, 5, 200, 200) << square << QRect(5, 5, 200, 200) << square;
        QTest::newRow("ranges of another aspect")
            << QRect(0, 0, 300, 100) << QRectF(1000, 1400, 2000, 200) << QRect(0, 35, 300, 30)
            << QRectF(1000, 1500 - 1000.0 / 3, 2000, 2000.0 / 3);
        QTest::newRow("odd pixels left over") << QRect(0, 0, 101, 50) << QRectF(0, 0, 100, 100)
                                              << QRect(25, 0, 50, 50) << QRectF(-51, 0, 202, 100);
        QTest::newRow("nothing to fit")
            << QRect(0, 0, 0, 50) << square << QRect(0, 0, 0, 50) << square;
    }
    void squareUnitsFitThePlaneIntoItsPixels() {
        QFETCH(QRect, area);
        QFETCH(QRectF, ranges);
        const SquareUnits fit =
            FitSquareUnits({area.x(), area.y(), area.width(), area.height()},
                           {{ranges.left(), ranges.right()}, {ranges.top(), ranges.bottom()}});
        const QRect centred(fit.centred.left, fit.centred.top, fit.centred.width,
                            fit.centred.height);
        QTEST(centred, "centred");
        const QRectF widened(fit.widened.x.lower, fit.widened.y.lower,
                             fit.widened.x.upper - fit.widened.x.lower,
                             fit.widened.y.upper - fit.widened.y.lower);
        QTEST(widened, "widened");
    }

    void aLivePointBelowTheTaughtColoursCentresFromItself() {
        const Centred below = CentreAxis(100, Extent{400, 600});
        QCOMPARE(below.span, 500);
        QCOMPARE(below.centre, 350);
    }

    void threeDEllipsesUseTheTolerancesOfTheirPlane() {
        Table table = ResetTable();
        table[0].w = {300, 200, 1000, 20, 1, 0, 10, 0}; // X 300, Y 200, INT 1000, TOL 20
        const TaughtDrawing drawing = DrawTaughtColoursModel(table, 2, Colours{});
        QCOMPARE(drawing.rows[0].xy.left, 280.0);
        QCOMPARE(drawing.rows[0].xInt.bottom, 980.0);
        QCOMPARE(drawing.rows[0].yInt.right, 220.0);
        QCOMPARE(drawing.extents.intensity.min, 980);
        QCOMPARE(drawing.extents.intensity.max, 1020);
    }

    void mIsHeldAt1200InSiM2DOnly() {
        QCOMPARE(IntensityCursor(1500, 1), 1200);
        QCOMPARE(IntensityCursor(1000, 1), 1000);
        QCOMPARE(IntensityCursor(1500, 0), 1500);
    }

    void historiesKeepTheLast100TriplesOldestFirst() {
        TripleHistory history;
        for (int i = 1; i <= 105; ++i)
            history.Append(i, i * 10, i * 100);
        QCOMPARE(history.At(0, 0), 6.0);
        QCOMPARE(history.At(99, 0), 105.0);
        QCOMPARE(history.At(99, 2), 10500.0);
        QCOMPARE(history.At(98, 1), 1040.0);
    }

    void outputIndicatorsShowTheColourNumbersBits_data() {
        QTest::addColumn<int>("colourNumber");
        QTest::addColumn<QString>("lit"); // OUT0..OUT4
        QTest::newRow("5") << 5 << "10100";
        QTest::newRow("31") << 31 << "11111";
        QTest::newRow("16") << 16 << "00001";
        QTest::newRow("failure 255") << 255 << "11111";
        QTest::newRow("0") << 0 << "00000";
    }
    void outputIndicatorsShowTheColourNumbersBits() {
        QFETCH(int, colourNumber);
        QFETCH(QString, lit);
        const auto out = OutputIndicators(std::uint16_t(colourNumber));
        QString shown;
        for (bool on : out)
            shown += on ? '1' : '0';
        QCOMPARE(shown, lit);
    }

    void liveColourIsTheValuesDividedBy16() {
        protocol::MeasurementFrame frame;
        frame.w[0] = 4095;
        frame.w[1] = 2048;
        frame.w[2] = 0;
        QCOMPARE(LiveColour(frame), 0xFF8000u);
        frame.w[0] = 65535; // beyond full scale stays at 255
        QCOMPARE(LiveColour(frame) >> 16, 0xFFu);
    }
};

QTEST_APPLESS_MAIN(TestLiveGraphs)
#include "TestLiveGraphs.moc"
