// The recorded-value teach panel on its own: recording into the fixed buffer, the clouds, the
// cursors that snap to recorded points and pull the other two graphs to the same record.
#include "core/AppState.h"
#include "live/DisplayWidgets.h"
#include "protocol/ParameterCodes.h"
#include "support/ScriptedOperator.h"
#include "teach/PointCloudGraph.h"
#include "teach/RecordedValuePanel.h"

#include <QLabel>
#include <QtTest>

using namespace teach;

namespace {

protocol::MeasurementFrame Frame(int x, int y, int intensity) {
    protocol::MeasurementFrame frame;
    frame.w[protocol::MeasurementFrame::kX] = std::uint16_t(x);
    frame.w[protocol::MeasurementFrame::kY] = std::uint16_t(y);
    frame.w[protocol::MeasurementFrame::kInt] = std::uint16_t(intensity);
    return frame;
}

bool Equal(std::optional<PlanePoint> p, double a, double b) {
    return p && p->a == a && p->b == b;
}

} // namespace

class TestRecordedValueTeach : public QObject {
    Q_OBJECT

    std::unique_ptr<core::TeachState> teachState;
    ScriptedOperator dialogs;
    live::RefreshClock clock;
    std::unique_ptr<RecordedValuePanel> panel;

    QString Shown(const char* role) {
        return panel->findChild<QLabel*>(QString::fromLatin1(role))->text();
    }
    QStringList Displays() { return {Shown("DispXTP2"), Shown("DispYTP2"), Shown("DispIntTP2")}; }
    void RecordTheThreePoints() {
        panel->PlotTeachPoint(Frame(100, 200, 1000));
        panel->PlotTeachPoint(Frame(110, 205, 1200));
        panel->PlotTeachPoint(Frame(100, 200, 900));
        panel->ShowRecorded(); // as the recording ends
    }

private slots:
    void init() {
        teachState = std::make_unique<core::TeachState>();
        panel = std::make_unique<RecordedValuePanel>(*teachState, dialogs, clock);
        panel->resize(640, 480);
        dialogs.popups.clear();
    }

    void theEarliestRecordUnderACursorIsChosenInAllThreeGraphs() {
        RecordTheThreePoints();
        QCOMPARE(Shown("DispTP2Counter"), QStringLiteral("3"));
        // While recording, the displays and cursors show the newest point.
        QCOMPARE(Displays(), (QStringList{"100", "200", "900"}));
        QVERIFY(Equal(panel->Graph(1).Cursor(), 100, 900));

        // (100, 200) is shared by records 0 and 2 in the X/Y graph: the first one wins.
        panel->Graph(0).SnapCursorTo({101, 199});
        QCOMPARE(Displays(), (QStringList{"100", "200", "1000"}));
        QVERIFY(Equal(panel->Graph(0).Cursor(), 100, 200));
        QVERIFY(Equal(panel->Graph(1).Cursor(), 100, 1000));
        QVERIFY(Equal(panel->Graph(2).Cursor(), 200, 1000));

        // In the X/INT graph the third record stands apart.
        panel->Graph(1).SnapCursorTo({100, 905});
        QCOMPARE(Displays(), (QStringList{"100", "200", "900"}));
        QVERIFY(Equal(panel->Graph(2).Cursor(), 200, 900));
        QCOMPARE(panel->ShownPoint(), (core::TeachPoint{100, 200, 900}));

        // A position that is no record selects record 0.
        panel->Graph(2).SetCursor({1, 1});
        panel->SyncTeachCursors(2);
        QCOMPARE(Displays(), (QStringList{"100", "200", "1000"}));
    }

    void pointsReachTheCloudsAndDisplaysAtTheClocksTick() {
        panel->PlotTeachPoint(Frame(100, 200, 1000));
        panel->PlotTeachPoint(Frame(110, 205, 1200));
        // In the buffer at once; no display is laid out and no cloud painted for each point.
        QCOMPARE(teachState->recordCount, std::uint16_t(2));
        QCOMPARE(Shown("DispTP2Counter"), QStringLiteral("0"));
        QCOMPARE(panel->Graph(0).Plotted(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(Shown("DispTP2Counter"), QStringLiteral("2"), 30000);
        QCOMPARE(Displays(), (QStringList{"110", "205", "1200"}));
        for (int g = 0; g < kTeachGraphs; ++g)
            QCOMPARE(panel->Graph(g).Plotted(), 2);
        QVERIFY(Equal(panel->Graph(2).Cursor(), 205, 1200));
    }

    void findingAndSnappingFollowTheGraphsCoordinates_data() {
        QTest::addColumn<int>("graph");
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<int>("found");
        QTest::newRow("X/Y shared, earliest") << 0 << 100.0 << 200.0 << 0;
        QTest::newRow("X/Y second") << 0 << 110.0 << 205.0 << 1;
        QTest::newRow("X/INT third") << 1 << 100.0 << 900.0 << 2;
        QTest::newRow("Y/INT second") << 2 << 205.0 << 1200.0 << 1;
        QTest::newRow("no match") << 0 << 100.0 << 1000.0 << 0;
        QTest::newRow("near is not equal") << 1 << 100.0 << 900.5 << 0;
    }
    void findingAndSnappingFollowTheGraphsCoordinates() {
        QFETCH(int, graph);
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(int, found);
        const std::vector<core::TeachPoint> records{
            {100, 200, 1000}, {110, 205, 1200}, {100, 200, 900}, {7, 7, 7}};
        // Record 3 lies beyond the counter: left over, never found.
        QCOMPARE(FindTeachRecord(records, 3, graph, {a, b}), found);
        QCOMPARE(FindTeachRecord(records, 0, graph, {7, 7}), 0);
    }

    void theNearestPointIsMeasuredAsTheOperatorSeesIt() {
        const std::vector<core::TeachPoint> records{{0, 0, 0}, {10, 100, 0}, {10, 100, 0}};
        // In units (0, 0) is nearer to (8, 20); at 10 pixels per X unit and 0.1 per Y unit
        // (10, 100) is, and of two equal points the earlier is taken.
        QCOMPARE(NearestTeachRecord(records, 3, 0, {8, 20}, 10, 0.1), std::optional<int>(1));
        QCOMPARE(NearestTeachRecord(records, 3, 0, {8, 20}, 1, 1), std::optional<int>(0));
        QCOMPARE(NearestTeachRecord(records, 0, 0, {8, 20}, 1, 1), std::nullopt);
    }

    void aClickSnapsTheCursorToTheNearestPointAndTheOthersFollow() {
        panel->PlotTeachPoint(Frame(100, 100, 500));
        panel->PlotTeachPoint(Frame(300, 300, 2500));
        panel->ShowRecorded();
        PointCloudGraph& xy = panel->Graph(0);
        // Lower left of the X/Y graph is nearest the first point.
        QTest::mouseClick(&xy, Qt::LeftButton, {}, QPoint(xy.width() / 5, xy.height() * 4 / 5));
        QVERIFY(Equal(xy.Cursor(), 100, 100));
        QVERIFY(Equal(panel->Graph(2).Cursor(), 100, 500));
        QCOMPARE(Displays(), (QStringList{"100", "100", "500"}));
        // The arrow keys step through the records in recording order.
        QTest::keyClick(&xy, Qt::Key_Right);
        QCOMPARE(Displays(), (QStringList{"300", "300", "2500"}));
    }

    void theArrowKeysStepPastRecordsThatShareAPosition() {
        RecordTheThreePoints(); // records 0 and 2 share (100, 200) in the X/Y graph
        panel->PlotTeachPoint(Frame(120, 210, 1300));
        panel->ShowRecorded();
        panel->Graph(0).SnapCursorTo({100, 200});
        const char* shownIntensities[] = {"1200", "900", "1300"};
        for (const char* intensity : shownIntensities) {
            QTest::keyClick(&panel->Graph(0), Qt::Key_Right);
            QCOMPARE(Shown("DispIntTP2"), QString::fromLatin1(intensity));
        }
        // Back from record 3 through record 2, and on from it in another graph.
        QTest::keyClick(&panel->Graph(0), Qt::Key_Left);
        QTest::keyClick(&panel->Graph(1), Qt::Key_Left);
        QCOMPARE(Displays(), (QStringList{"110", "205", "1200"}));
    }

    void resetEmptiesTheCloudsButNotTheBufferAndTheNextPointIsRecordZero() {
        RecordTheThreePoints();
        dialogs.confirmAnswers = {false};
        panel->CBF_ButtonTP2Reset();
        QCOMPARE(teachState->recordCount, std::uint16_t(3));
        QCOMPARE(dialogs.popups.back().title, std::string("ATTENTION!"));
        QCOMPARE(dialogs.popups.back().text, std::string("Do you really want to reset the table?"));

        dialogs.confirmAnswers = {true};
        panel->CBF_ButtonTP2Reset();
        QCOMPARE(Shown("DispTP2Counter"), QStringLiteral("0"));
        for (int g = 0; g < kTeachGraphs; ++g)
            QCOMPARE(panel->Graph(g).Plotted(), 0);
        panel->PlotTeachPoint(Frame(55, 66, 77));
        panel->ShowRecorded();
        QCOMPARE(Shown("DispTP2Counter"), QStringLiteral("1"));
        QCOMPARE(teachState->recordedPoints[0], (core::TeachPoint{55, 66, 77}));
        QCOMPARE(teachState->recordedPoints[1], (core::TeachPoint{110, 205, 1200}));
        QCOMPARE(panel->Graph(1).Plotted(), 1);
    }

    void recordingStopsWhenTheBufferIsFull() {
        teachState->recordCount = core::kTeachPointCapacity - 2;
        QVERIFY(panel->PlotTeachPoint(Frame(1, 2, 3)));
        QVERIFY(!panel->PlotTeachPoint(Frame(4, 5, 6))); // the 60000th point ends the recording
        QCOMPARE(Shown("DispTP2Counter"), QStringLiteral("60000"));
        QVERIFY(panel->Full());
        QVERIFY(!panel->PlotTeachPoint(Frame(7, 8, 9))); // a full buffer records nothing
        QCOMPARE(teachState->recordCount, std::uint16_t(60000));
        QCOMPARE(teachState->recordedPoints.back(), (core::TeachPoint{4, 5, 6}));
        QCOMPARE(teachState->recordedPoints.size(), std::size_t(core::kTeachPointCapacity));
    }

    void aFullRecordingFillsEveryCloud() {
        for (int k = 0; k < core::kTeachPointCapacity; ++k) {
            if (!panel->PlotTeachPoint(Frame(1000 + k % 97, 2000 + k % 89, 500 + k % 83))) break;
        }
        QCOMPARE(int(teachState->recordCount), core::kTeachPointCapacity);
        for (int g = 0; g < kTeachGraphs; ++g)
            QCOMPARE(panel->Graph(g).Plotted(), core::kTeachPointCapacity);
        // Every point lies inside the axes the cloud grew to.
        QVERIFY(panel->Graph(0).HorizontalRange().Contains(1096));
        QVERIFY(panel->Graph(2).VerticalRange().Contains(582));
        QVERIFY(panel->Graph(2).VerticalRange().Contains(500));
    }

    void theAxesGrowAroundTheCloudWithAMargin_data() {
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("newLower");
        QTest::addColumn<double>("newUpper");
        QTest::newRow("inside") << 100.0 << 164.0 << 150.0 << 100.0 << 164.0;
        QTest::newRow("above: a quarter margin") << 100.0 << 164.0 << 400.0 << 100.0 << 500.0;
        QTest::newRow("just above: half a span more") << 100.0 << 164.0 << 165.0 << 100.0 << 196.0;
        QTest::newRow("below stops at zero") << 100.0 << 164.0 << 10.0 << 0.0 << 164.0;
    }
    void theAxesGrowAroundTheCloudWithAMargin() {
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(double, value);
        const AxisRange widened = WidenedRange({lower, upper}, value);
        QTEST(widened.lower, "newLower");
        QTEST(widened.upper, "newUpper");
        QCOMPARE(RangeAround(10, 64).lower, 0.0); // words are never negative
        QCOMPARE(RangeAround(1000, 64).upper, 1032.0);
    }

    void labelsAndColoursFollowTheCalculationMode() {
        panel->UpdateTeachPanelLabels(1, protocol::kEvalBestHit);
        auto* yValue = panel->findChild<QLabel*>(QStringLiteral("DispYTP2"));
        QVERIFY(yValue->styleSheet().contains(QStringLiteral("#FFFF00")));
        QStringList names;
        for (QLabel* label : panel->findChildren<QLabel*>()) {
            if (label->buddy() && label->buddy()->objectName().endsWith(QLatin1String("TP2")) &&
                label->buddy()->objectName() != QLatin1String("DispTP2Counter"))
                names << label->text();
        }
        QCOMPARE(names, (QStringList{"s", "i", "M"}));
        panel->UpdateTeachPanelLabels(2, protocol::kEvalBestHit);
        QVERIFY(yValue->styleSheet().contains(QStringLiteral("#00FF00")));
        // THD RGB leaves the labels as they were.
        panel->UpdateTeachPanelLabels(1, protocol::kEvalThdRgb);
        QVERIFY(yValue->styleSheet().contains(QStringLiteral("#00FF00")));
    }
};

QTEST_MAIN(TestRecordedValueTeach)
#include "TestRecordedValueTeach.moc"
