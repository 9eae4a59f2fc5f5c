// Teaching on the real teach-table page: TEACH DATA TO from a live measurement, the automatic
// row colour, the context menu and the reset of the table.
#include "app/ProgramFixture.h"
#include "controls/WordTable.h"
#include "live/DisplayWidgets.h"
#include "live/LiveDrawing.h"
#include "live/LiveModule.h"
#include "protocol/ParameterCodes.h"
#include "protocol/ParameterImage.h"
#include "teach/PointCloudGraph.h"
#include "teach/TeachHelp.h"

#include <QCheckBox>
#include <QMenu>
#include <QtTest>
#include <qcustomplot.h>

using namespace params;

class TestTeachTable : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;

    QTableWidget* Grid() { return f->TeachTable().gridCtt; }
    QSpinBox* No() { return Need<QSpinBox>(f->Window(), "EditNo"); }
    QMenu* Menu() { return Need<QMenu>(f->Window(), "TeachTableMenu"); }
    QAction* MenuItem(const char* text) {
        for (QAction* action : Menu()->actions()) {
            if (action->text() == QLatin1String(text)) return action;
        }
        return nullptr;
    }
    std::array<int, 5> Row(int row) {
        std::array<int, 5> cells{};
        for (int c = 0; c < 5; ++c)
            cells[std::size_t(c)] = core::CellWord(Grid(), row, c);
        return cells;
    }

    // Acts inside a command's loop once `ready` holds; STOP should it never.
    void WhileGoRuns(std::function<bool()> ready, std::function<void()> action) {
        support::WhenReady(
            &f->Window(), [this, ready] { return f->program->Gate().LoopRunning() && ready(); },
            action, [this] { f->Stop(); });
    }

private slots:
    void init() {
        f = std::make_unique<ProgramFixture>();
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        f->dialogs.popups.clear();
    }
    void cleanup() { f.reset(); }

    void teachDataToTakesTheMeasurementIntoTheSelectedRowAndAdvances() {
        f->RunGo(3, [this] { f->Stop(); });
        const auto& w = f->state->live.frame.w;
        No()->setValue(4);
        Need<QCheckBox>(f->Window(), "RadioInc")->setChecked(true);
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonTeachDataTo"), Qt::LeftButton);
        // BEST HIT, X Y INT 2D, STAT: tolerances 200 and 200.
        QCOMPARE(Row(4), (std::array<int, 5>{w[3], w[4], 200, w[5], 200}));
        QCOMPARE(No()->value(), 5);
        QCOMPARE(f->state->params.image.table[4].w[0], w[3]); // the image follows at once

        // Tolerance teaching off: only X, Y and INT change.
        MenuItem("Teach tolerance off")->trigger();
        QVERIFY(!MenuItem("Teach tolerance off")->isEnabled());
        QVERIFY(MenuItem("Teach tolerance on")->isEnabled());
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonTeachDataTo"), Qt::LeftButton);
        QCOMPARE(Row(5), (std::array<int, 5>{w[3], w[4], 1, w[5], 1}));
    }

    void aTaughtRowTakesTheLiveColourInEveryTableInAutomaticMode() {
        f->RunGo(3, [this] { f->Stop(); });
        ProgramFixture::Choose(Need<QComboBox>(f->Window(), "EditSetColor"), 1); // automatically
        No()->setValue(2);
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonTeachDataTo"), Qt::LeftButton);
        const std::uint32_t live = f->state->live.liveColour;
        QCOMPARE(core::CellBackground(Grid(), 2, kTeachColourColumn), live);
        const auto groups = f->GroupHold();
        QCOMPARE(core::CellBackground(groups.editGridGroups, 2, kGroupHoldColourColumn), live);
        QCOMPARE(core::CellBackground(groups.editGridHold, 3, kGroupHoldColourColumn), live);
        QCOMPARE(f->RowTable()->item(2, 1)->background().color().rgb() & 0xFFFFFF, live);
        QCOMPARE(f->state->settings.rowColours[2], live);
    }

    void theContextMenuOffersItsItemsInOrderAndFillsTheSelection() {
        QStringList items;
        for (QAction* action : Menu()->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(items, (QStringList{"Help", "-", "Set selection to", "Increment selection with",
                                     "Reset selection", "-", "Teach tolerance off",
                                     "Teach tolerance on"}));
        QVERIFY(!MenuItem("Teach tolerance on")->isEnabled());

        MenuItem("Help")->trigger();
        QVERIFY(f->dialogs.Saw("INFO!", teach::TeachTableHelpText()));

        // A block of rows 2..4 in column 1, numbered from its first cell's value by 25.
        core::SetCellWord(Grid(), 2, 0, 100);
        Grid()->setRangeSelected(QTableWidgetSelectionRange(2, 0, 4, 0), true);
        f->dialogs.promptAnswers = {std::string("25")};
        MenuItem("Increment selection with")->trigger();
        QCOMPARE(Row(3)[0], 125);
        QCOMPARE(Row(4)[0], 150);
        QCOMPARE(f->state->params.image.table[4].w[0], std::uint16_t(150));
        f->dialogs.promptAnswers = {std::string("-25")}; // counts down, as typed
        MenuItem("Increment selection with")->trigger();
        QCOMPARE((QList<int>{Row(2)[0], Row(3)[0], Row(4)[0]}), (QList<int>{100, 75, 50}));
        f->dialogs.promptAnswers = {std::string("not a number")};
        MenuItem("Set selection to")->trigger();
        QCOMPARE(Row(4)[0], 50); // nothing happens, and the status bar says why
        QVERIFY(Need<QLabel>(f->Window(), "StatusCommand")
                    ->text()
                    .startsWith(QStringLiteral(
                        "Set selection to: refused: the answer has more than 9 characters")));
        MenuItem("Reset selection")->trigger();
        QCOMPARE(Row(2)[0], 1);
        QCOMPARE(Row(4)[0], 1);
        const auto prompt = f->dialogs.popups.back();
        QCOMPARE(prompt.title, std::string("VALUE!"));
        QCOMPARE(prompt.text, std::string("Insert a cell value!"));
    }

    void resettingTheTableNeedsAYesAndKeepsGroupsHoldsAndColours() {
        core::SetCellWord(Grid(), 6, 2, 777);
        No()->setValue(9);
        const auto colours = f->state->settings.rowColours;
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonResetTable"), Qt::LeftButton);
        QCOMPARE(Row(6)[2], 777); // answered no
        f->dialogs.confirmAnswers = {true};
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonResetTable"), Qt::LeftButton);
        QVERIFY(f->dialogs.Saw("ATTENTION!", "Do you really want to reset the table?"));
        for (int r = 0; r < protocol::kTeachRows; ++r)
            QCOMPARE(Row(r), (std::array<int, 5>{1, 1, 1, 1, 1}));
        QCOMPARE(No()->value(), 0);
        QVERIFY(f->state->settings.rowColours == colours);
        // The colour planes and the band are empty.
        int shown = 0;
        for (QCustomPlot* plot : f->Data().panel->findChildren<QCustomPlot*>()) {
            for (int i = 0; i < plot->itemCount(); ++i)
                shown += plot->item(i)->visible() ? 1 : 0;
        }
        QCOMPARE(shown, 0);
    }

    void afterAResetTheBandsShowTheResetRowThoughTheImageWaits() {
        Grid()->item(0, 3)->setData(Qt::EditRole, 2000); // edited: INT 2000, ITO 100
        Grid()->item(0, 4)->setData(Qt::EditRole, 100);
        f->dialogs.confirmAnswers = {true};
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonResetTable"), Qt::LeftButton);
        QCOMPARE(f->state->params.image.table[0].w[3], std::uint16_t(2000)); // not refreshed
        live::LiveDrawing& drawing = f->program->Live().Drawing();
        drawing.UpdateHistories(); // as for each measurement
        QCOMPARE(drawing.BandHistory().At(live::kHistorySamples - 1, 1), 2.0); // INT 1 + ITO 1
        No()->setValue(1);
        No()->setValue(0);
        auto* rectangle =
            qobject_cast<QCPItemRect*>(Need<QCustomPlot>(f->Window(), "Graph2D", 1)->item(0));
        QVERIFY(rectangle && rectangle->visible());
        QCOMPARE(rectangle->bottomRight->coords().x(), 2.0);
    }

    void theMeanValuePanelCapturesWhileGoRunsAndTeachesTheMean() {
        No()->setValue(3);
        // Opening the panel starts the GO loop; the captures take its frames.
        const std::uint64_t from = f->state->live.measurementCount;
        WhileGoRuns([this, from] { return f->state->live.measurementCount > from + 2; },
                    [this] {
                        auto* capture = Need<QPushButton>(f->Window(), "ButtonTP1Capture");
                        QTest::mouseClick(capture, Qt::LeftButton);
                        QTest::mouseClick(capture, Qt::LeftButton);
                        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonCloseTeachPanel"),
                                          Qt::LeftButton);
                    });
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonTeachMeanVal"), Qt::LeftButton);
        QVERIFY(!f->program->Gate().LoopRunning());
        QVERIFY(f->Data().panel->isVisible()); // CLOSE went back to the data panel
        QCOMPARE(Need<QLabel>(f->Window(), "DispTP1Counter")->text(), QStringLiteral("2"));
        // The panel's own RED, GREEN, BLUE followed the loop.
        auto* meanPanel = Need<QWidget>(f->Window(), "TEACHP1");
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(Need<live::NumericDisplay>(*meanPanel, "DispRGB", c)->Value(),
                     int(f->state->live.frame.w[std::size_t(c)]));
        }
        auto* values = Need<QTableWidget>(f->Window(), "GridTP1Values");
        const int x0 = core::CellWord(values, 0, 3);
        const int x1 = core::CellWord(values, 1, 3);
        QVERIFY(x0 > 0 && x1 > 0);
        QCOMPARE(core::CellWord(Need<QTableWidget>(f->Window(), "GridTP1Mean"), 0, 3),
                 std::uint16_t((x0 + x1) / 2));

        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonTP1Teach"), Qt::LeftButton);
        QCOMPARE(Row(3)[0], (x0 + x1) / 2);
        QCOMPARE(f->state->params.image.table[3].w[0], std::uint16_t((x0 + x1) / 2));

        f->dialogs.confirmAnswers = {true};
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonTP1ResetTable"), Qt::LeftButton);
        QCOMPARE(Need<QLabel>(f->Window(), "DispTP1Counter")->text(), QStringLiteral("0"));
        QCOMPARE(core::CellWord(values, 0, 3), std::uint16_t(0));
    }

    void theRecordedValuePanelRecordsUntilStopAndTeachesTheRecordUnderTheCursors() {
        No()->setValue(6);
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonTeachRecVal"), Qt::LeftButton);
        auto* panel = Need<QWidget>(f->Window(), "TEACHP2");
        QVERIFY(panel->isVisible());
        QCOMPARE(f->RequestsOfOrder(8), 0); // opening measures nothing

        bool dimmed = false;
        auto* stop = Need<QPushButton>(*panel, "ButtonTP2Stop");
        QVERIFY(!stop->isEnabled()); // nothing to stop yet
        WhileGoRuns([this] { return f->state->teach.recordCount > 1; },
                    [&] {
                        // No second loop starts inside the recording: GO and START are dimmed.
                        dimmed = !f->Main().buttonGo->isEnabled() &&
                                 !Need<QPushButton>(*panel, "ButtonTP2Start")->isEnabled();
                        // The panel's own STOP ends its recording.
                        QTest::mouseClick(stop, Qt::LeftButton);
                    });
        QTest::mouseClick(Need<QPushButton>(*panel, "ButtonTP2Start"), Qt::LeftButton);
        QVERIFY(dimmed);
        QVERIFY(!stop->isEnabled());
        QVERIFY(Need<QPushButton>(*panel, "ButtonTP2Start")->isEnabled());
        QVERIFY(!f->program->Gate().LoopRunning());
        const int recorded = f->state->teach.recordCount;
        QVERIFY(recorded > 1);
        QCOMPARE(f->RequestsOfOrder(8), recorded);
        QCOMPARE(Need<QLabel>(*panel, "DispTP2Counter")->text(), QString::number(recorded));
        QVERIFY(f->Main().buttonGo->isEnabled()); // undimmed afterwards

        // The first record, chosen in the X/Y graph, is what TEACH writes into row No.
        const core::TeachPoint first = f->state->teach.recordedPoints[0];
        auto* xy = Need<teach::PointCloudGraph>(*panel, "GraphXYTP2");
        xy->SnapCursorTo({first[0], first[1]});
        const auto chosen = f->state->teach.recordedPoints[std::size_t(teach::FindTeachRecord(
            f->state->teach.recordedPoints, recorded, 0, {first[0], first[1]}))];
        QTest::mouseClick(Need<QPushButton>(*panel, "ButtonTP2Teach"), Qt::LeftButton);
        QCOMPARE(Row(6),
                 (std::array<int, 5>{int(chosen[0]), int(chosen[1]), 200, int(chosen[2]), 200}));
        QCOMPARE(f->state->params.image.table[6].w[3], std::uint16_t(chosen[2]));

        // START again adds to the cloud; CLOSE ends the recording and brings the data back.
        WhileGoRuns([this, recorded] { return f->state->teach.recordCount > recorded; },
                    [panel] {
                        QTest::mouseClick(Need<QPushButton>(*panel, "ButtonCloseTeachPanel"),
                                          Qt::LeftButton);
                    });
        QTest::mouseClick(Need<QPushButton>(*panel, "ButtonTP2Start"), Qt::LeftButton);
        QVERIFY(f->state->teach.recordCount > recorded);
        QVERIFY(f->Data().panel->isVisible());
    }

    void aFailedExchangeEndsTheRecordingAndKeepsItsPoints() {
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonTeachRecVal"), Qt::LeftButton);
        auto* panel = Need<QWidget>(f->Window(), "TEACHP2");
        WhileGoRuns([this] { return f->state->teach.recordCount > 0; },
                    [this] {
                        sim::FaultSettings faults;
                        faults.badDataCheck.on = true;
                        f->simulator.SetFaults(faults);
                    });
        QTest::mouseClick(Need<QPushButton>(*panel, "ButtonTP2Start"), Qt::LeftButton);
        QVERIFY(!f->program->Gate().LoopRunning());
        const int recorded = f->state->teach.recordCount;
        QVERIFY(recorded > 0);
        QCOMPARE(Need<QLabel>(*panel, "DispTP2Counter")->text(), QString::number(recorded));
        QVERIFY(Need<QLabel>(f->Window(), "StatusCommand")
                    ->text()
                    .startsWith(QStringLiteral("REC TEACH: ended by a communication failure, ")));
        QVERIFY(f->Main().buttonGo->isEnabled());
    }

    void thdRgbHidesTheRowSelectorAndTeachesTheThresholds() {
        f->RunGo(3, [this] { f->Stop(); });
        auto* evaluation = Need<QComboBox>(f->Window(), "EditEvalmode");
        ProgramFixture::Choose(evaluation, evaluation->findData(protocol::kEvalThdRgb));
        QVERIFY(No()->isHidden());
        QVERIFY(!Need<QPushButton>(f->Window(), "ButtonTeachRecVal")->isEnabled());
        No()->setValue(8);
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonTeachDataTo"), Qt::LeftButton);
        const auto& w = f->state->live.frame.w;
        QCOMPARE(Row(0)[0], int(w[0]));
        QCOMPARE(Row(1)[0], int(w[1]));
        QCOMPARE(Row(2)[0], int(w[2]));
        ProgramFixture::Choose(evaluation, evaluation->findData(protocol::kEvalBestHit));
        QVERIFY(!No()->isHidden());
    }
};

QTEST_MAIN(TestTeachTable)
#include "TestTeachTable.moc"
