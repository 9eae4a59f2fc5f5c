// Teaching the mean of captured measurements: captures, undo, mean and spread, and the row the
// mean teaches.
#include "controls/WordTable.h"
#include "protocol/ParameterCodes.h"
#include "support/ScriptedOperator.h"
#include "teach/MeanValuePanel.h"
#include "teach/MeanValueTeach.h"

#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

using namespace teach;

namespace {

protocol::MeasurementFrame Frame(int x, int y, int intensity, int red = 0) {
    protocol::MeasurementFrame frame;
    using F = protocol::MeasurementFrame;
    frame.w[F::kRed] = std::uint16_t(red);
    frame.w[F::kX] = std::uint16_t(x);
    frame.w[F::kY] = std::uint16_t(y);
    frame.w[F::kInt] = std::uint16_t(intensity);
    return frame;
}

// The three captures of the worked example: means 100, 200, 1000; distances 0, 5, 2; 0, 10, 10.
CaptureTable WorkedExample() {
    CaptureTable table;
    CaptureFrame(table, Frame(100, 200, 1000));
    CaptureFrame(table, Frame(104, 203, 1010));
    CaptureFrame(table, Frame(98, 199, 990));
    return table;
}

} // namespace

class TestMeanValueTeach : public QObject {
    Q_OBJECT

private slots:
    void theWorkedExampleTeachesItsMeanWithTheChosenTolerances() {
        const MeanAndSpread spread = ComputeMeanAndSpread(WorkedExample(), protocol::kCalcXyInt2D);
        QCOMPARE(int(spread.mean[3]), 100);
        QCOMPARE(int(spread.mean[4]), 200);
        QCOMPARE(int(spread.mean[5]), 1000);
        QCOMPARE(spread.maxDistance, 5);
        QCOMPARE(spread.maxIntensity, 10);
        MeanTeachInputs in;
        in.spread = spread;
        in.colourChoice = 2;
        in.colourValue = 20;
        in.intensityChoice = 1;
        in.evaluationMode = protocol::kEvalBestHit;
        in.selectedRow = 6;
        const TeachResult result = TeachMeanValues(in);
        std::array<int, 5> row{};
        for (const CellWrite& w : result.writes) {
            QCOMPARE(w.row, 6);
            row[std::size_t(w.column)] = w.value;
        }
        QCOMPARE(row, (std::array<int, 5>{100, 200, 25, 1000, 10}));
    }

    void threeDTeachesTheMeanIntensityAndLeavesColumnFive() {
        MeanTeachInputs in;
        in.spread = ComputeMeanAndSpread(WorkedExample(), protocol::kCalcXyInt3D);
        in.colourChoice = 1;
        in.calculationMode = protocol::kCalcXyInt3D;
        in.evaluationMode = protocol::kEvalBestHit;
        const TeachResult result = TeachMeanValues(in);
        QCOMPARE(result.writes.size(), std::size_t(4)); // column 5 untouched
        QCOMPARE(int(result.writes[2].value), 1000);    // INT in column 3
        // In 3D the intensity counts for the distance: sqrt(16 + 9 + 100) = 11.
        QCOMPARE(int(result.writes[3].value), 11);
    }

    void minDistTeachesFortyAndChoiceThreeKeepsTheRowsTolerances() {
        MeanTeachInputs in;
        in.spread = ComputeMeanAndSpread(WorkedExample(), 0);
        in.evaluationMode = protocol::kEvalMinDist;
        in.colourChoice = 1;
        QCOMPARE(int(TeachMeanValues(in).writes[2].value), 40);
        in.evaluationMode = protocol::kEvalFirstHit;
        in.colourChoice = 3;
        in.intensityChoice = 3;
        in.row.w = {1, 2, 33, 4, 55, 0, 0, 0};
        const TeachResult kept = TeachMeanValues(in);
        QCOMPARE(int(kept.writes[2].value), 33);
        QCOMPARE(int(kept.writes[4].value), 55);
    }

    void aFullTableOverwritesItsLastRowAndUndoRecomputesTheMean() {
        CaptureTable table;
        for (int i = 0; i < 101; ++i)
            CaptureFrame(table, Frame(i, 0, 0));
        QCOMPARE(table.count, 100);
        QCOMPARE(int(table.rows[99][3]), 100); // the last frame
        QCOMPARE(int(table.rows[98][3]), 98);

        CaptureTable three = WorkedExample();
        UndoCapture(three);
        QCOMPARE(three.count, 2);
        QCOMPARE(int(three.rows[2][3]), 0);
        QCOMPARE(int(ComputeMeanAndSpread(three, 0).mean[3]), 102);
        CaptureTable empty;
        UndoCapture(empty);
        QCOMPARE(empty.count, 0);
        QCOMPARE(ComputeMeanAndSpread(empty, 0).maxDistance, 0);
    }

    void aToleranceBeyondAWordIsHeldAt65535() {
        MeanTeachInputs in;
        in.colourChoice = in.intensityChoice = 2; // value field + distance
        in.colourValue = in.intensityValue = 65535;
        in.spread.maxDistance = in.spread.maxIntensity = 10;
        QCOMPARE(int(TeachMeanValues(in).writes[2].value), 65535); // not 9
        QCOMPARE(int(TeachMeanValues(in).writes[4].value), 65535);
        in.colourChoice = 1;
        in.spread.maxDistance = 70000;
        QCOMPARE(int(TeachMeanValues(in).writes[2].value), 65535);
    }

    void undoMakesTheRowFiveAboveTheLastFrameActive() {
        CaptureTable table;
        for (int i = 0; i < 10; ++i)
            CaptureFrame(table, Frame(i, 0, 0));
        QCOMPARE(UndoCapture(table), 3); // nine left: row 4 of the table
        CaptureTable empty;
        QCOMPARE(UndoCapture(empty), 0);
    }

    void theValueTableShowsTheWordTheMeanTakes() {
        ScriptedOperator dialogs;
        MeanValuePanel panel(dialogs);
        const protocol::MeasurementFrame frame = Frame(100, 200, 1000);
        panel.SetFrameSource(&frame);
        QTest::mouseClick(panel.findChild<QPushButton*>("ButtonTP1Capture"), Qt::LeftButton);
        auto* values = panel.findChild<QTableWidget*>("GridTP1Values");
        values->editItem(values->item(0, 3));
        auto* editor = values->findChild<QSpinBox*>();
        QVERIFY(editor && editor->minimum() == 0 && editor->maximum() == 65535);
        // A value that reaches the cell some other way is shown as the mean takes it.
        values->item(0, 3)->setData(Qt::EditRole, 99999);
        QCOMPARE(values->item(0, 3)->text(), QStringLiteral("65535"));
        QCOMPARE(int(core::CellWord(panel.findChild<QTableWidget*>("GridTP1Mean"), 0, 3)), 65535);
    }

    void autoIncrementStopsAtTheLastRow() {
        MeanTeachInputs in;
        in.autoIncrement = true;
        in.selectedRow = 30;
        QCOMPARE(TeachMeanValues(in).nextSelectedRow, 30);
        in.selectedRow = 12;
        QCOMPARE(TeachMeanValues(in).nextSelectedRow, 13);
    }
};

QTEST_MAIN(TestMeanValueTeach)
#include "TestMeanValueTeach.moc"
