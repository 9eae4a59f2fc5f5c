// The teach table's operations as plain decisions: default tolerances, the cells TEACH DATA TO
// writes, filling and numbering a block, the value prompt's answer.
#include "protocol/ParameterCodes.h"
#include "teach/TeachOperations.h"

#include <QtTest>

using namespace teach;

namespace {

TeachInputs Inputs(std::uint16_t evaluation, std::uint16_t calculation, std::uint16_t power,
                   int row) {
    TeachInputs in;
    using F = protocol::MeasurementFrame;
    in.frame.w[F::kX] = 3100;
    in.frame.w[F::kY] = 2900;
    in.frame.w[F::kInt] = 1500;
    in.frame.w[F::kRed] = 1111;
    in.frame.w[F::kGreen] = 2222;
    in.frame.w[F::kBlue] = 3333;
    in.evaluationMode = evaluation;
    in.calculationMode = calculation;
    in.powerMode = power;
    in.selectedRow = row;
    return in;
}

// The five cells of `row` after the writes, starting from zero.
std::array<int, 5> RowAfter(const TeachResult& result, int row) {
    std::array<int, 5> cells{};
    for (const CellWrite& write : result.writes) {
        if (write.row == row) cells[std::size_t(write.column)] = write.value;
    }
    return cells;
}

} // namespace

class TestTeachOperations : public QObject {
    Q_OBJECT

private slots:
    void defaultTolerancesFollowTheModes_data() {
        QTest::addColumn<int>("evaluation");
        QTest::addColumn<int>("calculation");
        QTest::addColumn<int>("power");
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("second");
        QTest::newRow("FIRST HIT 2D") << 0 << 0 << 0 << 100 << 100;
        QTest::newRow("FIRST HIT 2D DYN") << 0 << 0 << 1 << 100 << 50;
        QTest::newRow("COL5 siM") << 3 << 1 << 0 << 100 << 50;
        QTest::newRow("COL5 3D") << 3 << 2 << 0 << 100 << 1;
        QTest::newRow("BEST HIT 2D") << 1 << 0 << 0 << 200 << 200;
        QTest::newRow("BEST HIT 2D DYN") << 1 << 0 << 1 << 200 << 100;
        QTest::newRow("BEST HIT siM DYN") << 1 << 1 << 1 << 200 << 50;
        QTest::newRow("BEST HIT siM 3D") << 1 << 3 << 0 << 200 << 1;
        QTest::newRow("MIN DIST 2D") << 2 << 0 << 0 << 40 << 200;
        QTest::newRow("MIN DIST 2D DYN") << 2 << 0 << 1 << 40 << 100;
        QTest::newRow("MIN DIST siM") << 2 << 1 << 0 << 40 << 50;
        QTest::newRow("MIN DIST 3D") << 2 << 2 << 1 << 40 << 1;
    }
    void defaultTolerancesFollowTheModes() {
        QFETCH(int, evaluation);
        QFETCH(int, calculation);
        QFETCH(int, power);
        QFETCH(int, colour);
        QFETCH(int, second);
        const Tolerances t = DefaultTolerances(std::uint16_t(evaluation),
                                               std::uint16_t(calculation), std::uint16_t(power));
        QCOMPARE(int(t.colour), colour);
        QCOMPARE(int(t.second), second);
    }

    void teachingWritesTheRowWithOrWithoutTolerances() {
        TeachInputs in =
            Inputs(protocol::kEvalBestHit, protocol::kCalcXyInt2D, protocol::kPowerModeDyn, 4);
        const auto with = RowAfter(TeachRowFromValues(in), 4);
        QCOMPARE(with, (std::array<int, 5>{3100, 2900, 200, 1500, 100}));
        in.writeTolerances = false;
        const TeachResult without = TeachRowFromValues(in);
        QCOMPARE(without.writes.size(), std::size_t(3)); // only columns 1, 2 and 4
        QCOMPARE(RowAfter(without, 4), (std::array<int, 5>{3100, 2900, 0, 1500, 0}));
        QCOMPARE(without.nextSelectedRow, 4);
    }

    void threeDPutsTheIntensityInColumnThreeAndOneInColumnFive() {
        const TeachInputs in = Inputs(protocol::kEvalMinDist, protocol::kCalcXyInt3D, 0, 7);
        QCOMPARE(RowAfter(TeachRowFromValues(in), 7),
                 (std::array<int, 5>{3100, 2900, 1500, 40, 1}));
    }

    void thdRgbTeachesTheThresholdsOfRowsOneToThreeWhateverTheRow() {
        TeachInputs in = Inputs(protocol::kEvalThdRgb, protocol::kCalcXyInt2D, 0, 12);
        in.autoIncrement = true;
        const TeachResult result = TeachRowFromValues(in);
        QCOMPARE(result.writes.size(), std::size_t(3));
        QCOMPARE(RowAfter(result, 0)[0], 1111);
        QCOMPARE(RowAfter(result, 1)[0], 2222);
        QCOMPARE(RowAfter(result, 2)[0], 3333);
        QCOMPARE(result.nextSelectedRow, 12); // not advanced
        QCOMPARE(result.colourRow, 12);
    }

    void autoIncrementStopsAtTheLastRow() {
        TeachInputs in = Inputs(protocol::kEvalBestHit, protocol::kCalcXyInt2D, 0, 29);
        in.autoIncrement = true;
        QCOMPARE(TeachRowFromValues(in).nextSelectedRow, 30);
        in.selectedRow = 30;
        const TeachResult last = TeachRowFromValues(in);
        QCOMPARE(last.nextSelectedRow, 30);
        QCOMPARE(last.writes.front().row, 30);
    }

    void aBlockIsFilledAndNumberedOverItsEditableCellsOnly() {
        const std::vector<BlockCell> column = {{true, 100}, {true, 7}, {true, 9}};
        const auto numbered = IncrementBlock(column, 25);
        QVERIFY(numbered);
        QCOMPARE((*numbered)[2].value, std::uint16_t(150));
        const std::vector<BlockCell> gap = {{true, 100}, {false, 55}, {true, 0}};
        const auto skipped = IncrementBlock(gap, 25);
        QCOMPARE((*skipped)[1].value, std::uint16_t(55));
        QCOMPARE((*skipped)[2].value, std::uint16_t(125)); // no gap in the numbering
        QVERIFY(!IncrementBlock({{false, 1}, {true, 2}}, 5));
        const auto filled = SetBlockTo(gap, 1);
        QCOMPARE(filled[0].value, std::uint16_t(1));
        QCOMPARE(filled[1].value, std::uint16_t(55));
        const auto wrapped = IncrementBlock({{true, 65535}, {true, 0}}, 2);
        QCOMPARE((*wrapped)[1].value, std::uint16_t(1));
        const auto down = IncrementBlock(column, *ParseCellStep("-25"));
        QCOMPARE((*down)[1].value, std::uint16_t(75));
        QCOMPARE((*down)[2].value, std::uint16_t(50));
        QCOMPARE(*ParseCellStep("-99999"), -65535); // a step is held, not refused
        QCOMPARE(*ParseCellValue("-25"), std::uint16_t(0));
    }

    void thePromptsAnswerIsOneIntegerOfAtMostNineCharacters_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("value");       // -1: nothing
        QTest::addColumn<QString>("refusal"); // what the status bar says when nothing is taken
        QTest::newRow("number") << "25" << 25 << "";
        QTest::newRow("leading blanks, trailing text") << "  7x" << 7 << "";
        QTest::newRow("not a number") << "abc" << -1 << "refused: the answer is not a whole number";
        QTest::newRow("empty") << "" << -1 << "refused: the answer is empty";
        QTest::newRow("ten characters")
            << "1234567890" << -1 << "refused: the answer has more than 9 characters";
        QTest::newRow("beyond 16 bits") << "70000" << 65535 << "";
        QTest::newRow("negative") << "-5" << 0 << "";
    }
    void thePromptsAnswerIsOneIntegerOfAtMostNineCharacters() {
        QFETCH(QString, answer);
        QFETCH(int, value);
        QFETCH(QString, refusal);
        const auto parsed = ParseCellValue(answer.toStdString());
        QCOMPARE(parsed ? int(*parsed) : -1, value);
        QCOMPARE(QString::fromStdString(CellValueRefusal(answer.toStdString())), refusal);
    }
};

QTEST_APPLESS_MAIN(TestTeachOperations)
#include "TestTeachOperations.moc"
