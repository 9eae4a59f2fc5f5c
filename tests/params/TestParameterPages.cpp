// The parameter rules, the table operations and the image exchange on the real offscreen
// widgets of the program.
#include "app/ProgramFixture.h"
#include "live/DataPanel.h"

#include "controls/WordTable.h"
#include "model/ParameterDefaults.h"
#include "params/GroupHoldPage.h"
#include "params/ParameterPage.h"
#include "params/ParameterPanels.h"
#include "params/ParameterRules.h"
#include "params/TeachTablePage.h"
#include "protocol/ParameterCodes.h"
#include "settings/TableAttributesPage.h"
#include <QLabel>

#include <QHeaderView>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QWheelEvent>
#include <QtTest>

using namespace comm;
using namespace live;

using namespace params;
using namespace core;

namespace {

void Choose(QComboBox* combo, int code) {
    const int index = combo->findData(code);
    QVERIFY2(index >= 0, qPrintable(combo->objectName()));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// As the operator's edit of a cell: the table announces the change.
void EditCell(QTableWidget* table, int row, int column, int value) {
    table->item(row, column)->setData(Qt::EditRole, value);
}

std::array<std::uint16_t, 5> TeachRow(QTableWidget* grid, int row) {
    std::array<std::uint16_t, 5> cells{};
    for (int c = 0; c < 5; ++c)
        cells[std::size_t(c)] = CellWord(grid, row, c);
    return cells;
}

QStringList Headings(QTableWidget* grid) {
    QStringList headings;
    for (int c = 0; c < 5; ++c)
        headings << grid->horizontalHeaderItem(c)->text();
    return headings;
}

} // namespace

class TestParameterPages : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;
    std::unique_ptr<ParameterPageControls> page;
    std::unique_ptr<GroupHoldControls> groups;
    std::unique_ptr<TeachTableControls> teach;

    DataControls Data() { return f->Data(); }
    bool Shown(QWidget* w) { return w->isVisibleTo(Data().panel); }
    int Messages() const { return f->dialogs.CountOf("message"); }

private slots:
    void init() {
        f = std::make_unique<ProgramFixture>();
        f->StartWithoutSensor();
        f->dialogs.popups.clear();
        page = std::make_unique<ParameterPageControls>(f->Window());
        groups = std::make_unique<GroupHoldControls>(f->Window());
        teach = std::make_unique<TeachTableControls>(f->Window());
    }
    void cleanup() { f.reset(); }

    // The wheel over a list or number field changes it only once it has the focus; before, the
    // page under it scrolls.
    void theWheelChangesOnlyTheFocusedField() {
        f->program->ShowPage(MainPage::Parameters);
        f->Window().resize(800, 560);
        auto* scroll = Need(f->Window(), "ParameterPage")->findChild<QScrollArea*>();
        QVERIFY(scroll);
        auto roll = [](QWidget* over, int delta) {
            const QPointF at(over->rect().center());
            QWheelEvent wheel(at, over->mapToGlobal(at), {}, {0, delta}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(over, &wheel);
        };
        auto valueOf = [](QWidget* field) {
            auto* list = qobject_cast<QComboBox*>(field);
            return list ? list->currentIndex() : qobject_cast<QSpinBox*>(field)->value();
        };
        for (const char* role : {"EditCalcmode", "EditAverage"}) {
            auto* field = Need(f->Window(), role);
            scroll->verticalScrollBar()->setValue(0);
            f->Main().buttonGo->setFocus();
            const int before = valueOf(field);
            roll(field, -120);
            roll(field, -120);
            QCOMPARE(valueOf(field), before);
            QVERIFY2(scroll->verticalScrollBar()->value() > 0, role);
            QVERIFY(!field->hasFocus());
            field->setFocus();
            roll(field, -120);
            if (valueOf(field) == before) roll(field, 120); // it was at its end
            QVERIFY2(valueOf(field) != before, role);
        }
    }

    void pagesStartWithTheFileDefaults() {
        f->Parameters().GetParametersFromPanel();
        const protocol::ParameterImage expected = DefaultParameterImage();
        QVERIFY(f->state->params.image.parameters == expected.parameters);
        for (int r = 0; r < protocol::kTeachRows; ++r)
            QVERIFY(f->state->params.image.table[std::size_t(r)].w ==
                    expected.table[std::size_t(r)].w);
        QCOMPARE(teach->gridCtt->rowCount(), 31);
        QCOMPARE(teach->gridCtt->columnCount(), 6);
        QCOMPARE(teach->gridCtt->verticalHeaderItem(30)->text(), QStringLiteral("30"));
        QCOMPARE(groups->editGridHold->rowCount(), 32);
        QVERIFY(!f->Main().selectParaSet[1]->isEnabled());
    }

    void everyControlIsNamedByItsRoleAndAnswersWithItsHelp() {
        for (const char* role : {"SlidePower",
                                 "EditPmode",
                                 "EditLedMode",
                                 "EditGain",
                                 "EditDynWinLoHi",
                                 "EditAverage",
                                 "EditIntegral",
                                 "EditMaxVecNo",
                                 "EditDigOutmode",
                                 "EditIntlim",
                                 "EditEvalmode",
                                 "EditCalcmode",
                                 "EditExteach",
                                 "EditTrigger",
                                 "EditHold",
                                 "EditColorGroups",
                                 "EditGridHold",
                                 "EditResetHold",
                                 "ButtonResetGroupTable",
                                 "ButtonResetHoldTable"}) {
            QVERIFY2(f->Window().findChild<QWidget*>(QString::fromLatin1(role)), role);
            QVERIFY2(f->program->Help().Find(std::string("CBF_") + role), role);
        }
        QVERIFY(f->Window().findChild<QWidget*>(QStringLiteral("EditGridGroups")));
        QVERIFY(f->Window().findChild<QWidget*>(QStringLiteral("GridCtt")));
        QTest::mouseClick(groups->editGridHold->viewport(), Qt::RightButton, {}, QPoint(10, 10));
        QVERIFY(f->dialogs.Saw("INFO!", f->program->Help().Find("CBF_EditGridHold")->text));
    }

    void ledModeOffWithDyn1TurnsExternTeachOffAndLocksThePowerControls() {
        Choose(page->editExteach, protocol::kExternTeachDyn1);
        QVERIFY(!page->slidePower->isEnabled());
        QVERIFY(page->editDynWinLo->isEnabled());
        Choose(page->editLedMode, protocol::kLedOff);
        QCOMPARE(page->Word(protocol::kExternTeach), std::uint16_t(protocol::kExternTeachOff));
        QCOMPARE(page->Word(protocol::kPower), std::uint16_t(0));
        QCOMPARE(page->powerValue->value(), 0);
        QCOMPARE(page->Word(protocol::kPowerMode), std::uint16_t(protocol::kPowerModeStat));
        for (QWidget* w :
             {static_cast<QWidget*>(page->slidePower), static_cast<QWidget*>(page->powerValue),
              static_cast<QWidget*>(page->editPmode), static_cast<QWidget*>(page->editDynWinLo),
              static_cast<QWidget*>(page->editDynWinHi)})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QCOMPARE(Messages(), 0);
    }

    void externTeachShrinksTheTriggerListAndOffRestoresItWithItsCodes() {
        Choose(page->editTrigger, protocol::kTriggerExt2);
        QVERIFY(!page->editExteach->isEnabled()); // an external trigger excludes external teach
        Choose(page->editTrigger, protocol::kTriggerCont);
        QVERIFY(page->editExteach->isEnabled());
        Choose(page->editTrigger, protocol::kTriggerSelf);
        Choose(page->editExteach, protocol::kExternTeachOn);
        QCOMPARE(page->editTrigger->count(), 2);
        QCOMPARE(page->Word(protocol::kTrigger), std::uint16_t(protocol::kTriggerSelf));
        QVERIFY(Shown(Data().ledTrig));

        Choose(page->editExteach, protocol::kExternTeachOff);
        const QStringList labels{"CONT", "SELF", "EXT1", "EXT2", "EXT3", "TRANS", "PARA"};
        QCOMPARE(page->editTrigger->count(), labels.size());
        for (int i = 0; i < labels.size(); ++i) {
            QCOMPARE(page->editTrigger->itemText(i), labels[i]);
            QCOMPARE(page->editTrigger->itemData(i).toInt(), i);
        }
        Choose(page->editTrigger, protocol::kTriggerCont);
        QVERIFY(!Shown(Data().ledTrig));
    }

    void imageWithExternTeachOnShowsTriggerContAndWithOffItsExternalTrigger() {
        auto& image = f->state->params.image;
        image.parameters[protocol::kExternTeach] = protocol::kExternTeachOn;
        image.parameters[protocol::kTrigger] = protocol::kTriggerExt3;
        f->Parameters().PutParametersToPanel();
        QCOMPARE(page->Word(protocol::kTrigger), std::uint16_t(protocol::kTriggerCont));
        QCOMPARE(page->editTrigger->count(), 2);
        // The short list must not hide PARA when the next set turns external teach off.
        image.parameters[protocol::kExternTeach] = protocol::kExternTeachOff;
        image.parameters[protocol::kTrigger] = protocol::kTriggerPara;
        f->Parameters().PutParametersToPanel();
        QCOMPARE(page->Word(protocol::kTrigger), std::uint16_t(protocol::kTriggerPara));
        QVERIFY(!f->Log().contains(QStringLiteral("OUT OF RANGE")));
    }

    void col5AndThdRgbForceAndLockTheirParameters() {
        Choose(groups->editColorGroups, 1);
        Choose(page->editEvalmode, protocol::kEvalCol5);
        QCOMPARE(page->Word(protocol::kMaxVecNo), std::uint16_t(5));
        QCOMPARE(page->Word(protocol::kDigitalOutmode), std::uint16_t(protocol::kOutBinary));
        QCOMPARE(std::uint16_t(groups->editColorGroups->currentData().toInt()), std::uint16_t(0));
        for (QWidget* w : {static_cast<QWidget*>(page->editMaxVecNo),
                           static_cast<QWidget*>(page->editDigOutmode),
                           static_cast<QWidget*>(groups->editColorGroups),
                           static_cast<QWidget*>(groups->editGridGroups),
                           static_cast<QWidget*>(groups->buttonResetGroupTable)})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(page->editCalcmode->isEnabled());
        QVERIFY(page->editTrigger->isEnabled());
        QVERIFY(page->editIntlim->isEnabled());
        for (auto* led : Data().ledOut)
            QVERIFY(Shown(led));
        QVERIFY(!Shown(Data().dispDeltaC));
        QVERIFY(!Shown(Data().dispCol));
        QVERIFY(!Shown(Data().dispGroup));

        Choose(page->editTrigger, protocol::kTriggerExt1);
        page->editIntlim->setValue(100);
        Choose(page->editEvalmode, protocol::kEvalThdRgb);
        QCOMPARE(page->Word(protocol::kMaxVecNo), std::uint16_t(3));
        QCOMPARE(page->Word(protocol::kIntlim), std::uint16_t(0));
        QCOMPARE(page->Word(protocol::kTrigger), std::uint16_t(protocol::kTriggerCont));
        QVERIFY(!page->editCalcmode->isEnabled());
        QVERIFY(!page->editTrigger->isEnabled());
        QVERIFY(!page->editIntlim->isEnabled());
        QVERIFY(Shown(Data().ledOut[2]));
        QVERIFY(!Shown(Data().ledOut[3]));
        QVERIFY(!Shown(Data().dispX));
        QCOMPARE(Headings(teach->gridCtt), (QStringList{"THD", "", "", "", ""}));

        Choose(page->editEvalmode, protocol::kEvalBestHit);
        QVERIFY(page->editMaxVecNo->isEnabled());
        QVERIFY(Shown(Data().dispDeltaC));
        QVERIFY(!Shown(Data().ledOut[0]));
        QCOMPARE(Messages(), 0);
    }

    void maxVecNoAboveItsLimitIsLoweredWithOneMessage() {
        f->Main().tabMain1->setCurrentIndex(int(core::MainPage::TeachTable));
        page->editMaxVecNo->setValue(6); // DIRECT LO, no groups: five colours
        QCOMPARE(page->Word(protocol::kMaxVecNo), std::uint16_t(5));
        QCOMPARE(Messages(), 1);
        QVERIFY(f->dialogs.Saw("INFO!", MaxColTooHighText()));
        QCOMPARE(f->CurrentPage(), int(int(core::MainPage::Parameters)));

        Choose(page->editDigOutmode, protocol::kOutBinary);
        page->editMaxVecNo->setValue(31);
        QCOMPARE(page->Word(protocol::kMaxVecNo), std::uint16_t(31));
        QCOMPARE(Messages(), 1);

        Choose(groups->editColorGroups, 1);
        Choose(page->editDigOutmode, 2);
        QCOMPARE(page->Word(protocol::kMaxVecNo),
                 std::uint16_t(31)); // not limited while groups are on
        QCOMPARE(Messages(), 1);
    }

    void groupCellsOverTheLimitArePaintedRedWithOneMessage() {
        Choose(groups->editColorGroups, 1);
        Choose(page->editDigOutmode, protocol::kOutBinary); // groups 0..30
        SetCellWord(groups->editGridGroups, 2, 0, 5);
        SetCellWord(groups->editGridGroups, 8, 0, 12);
        SetCellWord(groups->editGridGroups, 4, 0, 4);
        page->editMaxVecNo->setValue(9);
        f->dialogs.popups.clear();
        Choose(page->editDigOutmode, 0); // DIRECT LO: groups 0..4
        QCOMPARE(CellWord(groups->editGridGroups, 2, 0), std::uint16_t(0));
        QCOMPARE(CellWord(groups->editGridGroups, 8, 0), std::uint16_t(0));
        QCOMPARE(CellWord(groups->editGridGroups, 4, 0), std::uint16_t(4));
        QCOMPARE(CellBackground(groups->editGridGroups, 2, 0), kColourCellReset);
        QCOMPARE(CellBackground(groups->editGridGroups, 8, 0), kColourCellReset);
        QCOMPARE(CellBackground(groups->editGridGroups, 4, 0), kColourCellPlain);
        QCOMPARE(Messages(), 1);
        QVERIFY(f->dialogs.Saw("INFO!", GroupTooHighText()));
        QCOMPARE(f->CurrentPage(), int(int(core::MainPage::GroupHold)));
        QCOMPARE(page->Word(protocol::kMaxVecNo), std::uint16_t(9));

        // The operator's edit of a group cell runs the same check.
        f->Main().tabMain1->setCurrentIndex(int(core::MainPage::Parameters));
        EditCell(groups->editGridGroups, 0, 0, 7);
        QCOMPARE(CellWord(groups->editGridGroups, 0, 0), std::uint16_t(0));
        QCOMPARE(Messages(), 2);
        QCOMPARE(f->CurrentPage(), int(int(core::MainPage::GroupHold)));
        EditCell(groups->editGridGroups, 0, 0, 3);
        QCOMPARE(CellBackground(groups->editGridGroups, 0, 0), kColourCellPlain);
        QCOMPARE(Messages(), 2);
    }

    void activeRowsAreLabelledGreenAndTheOthersRed() {
        Choose(page->editDigOutmode, protocol::kOutBinary);
        page->editMaxVecNo->setValue(3);
        QCOMPARE(RowLabelColour(teach->gridCtt, 2), kColourActiveRow);
        QCOMPARE(RowLabelColour(teach->gridCtt, 3), kColourInactiveRow);
        QCOMPARE(RowLabelColour(groups->editGridGroups, 2), kColourActiveRow);
        QCOMPARE(RowLabelColour(groups->editGridGroups, 3), kColourInactiveRow);
        QCOMPARE(RowLabelColour(groups->editGridHold, 3), kColourActiveRow);
        QCOMPARE(RowLabelColour(groups->editGridHold, 4), kColourInactiveRow);
        auto* rows = f->RowTable();
        QCOMPARE(RowLabelColour(rows, 2), kColourActiveRow);
        QCOMPARE(RowLabelColour(rows, 3), kColourInactiveRow);
    }

    void liveLabelsFollowTheCalculationMode() {
        auto data = f->Data();
        Choose(page->editCalcmode, protocol::kCalcSiM2D);
        QCOMPARE(data.labelX->text(), QStringLiteral("s"));
        QCOMPARE(data.labelInt->text(), QStringLiteral("M"));
        QCOMPARE(data.dispY->ValueBackground(), QColor(0xFF, 0xFF, 0x00));
        QVERIFY(data.labelY->styleSheet().contains(QStringLiteral("#80FFFF")));
        Choose(page->editCalcmode, protocol::kCalcXyInt3D);
        QCOMPARE(data.labelY->text(), QStringLiteral("Y"));
        QCOMPARE(data.dispY->ValueBackground(), QColor(0x00, 0xFF, 0x00));
        QCOMPARE(data.dispX->ValueBackground(), QColor(0xFF, 0x00, 0x00));
    }

    void rowLabelsStartFromTheStartValues() {
        // MAX VEC NO starts at 1: only row 0 is active, in every table, before any load.
        ProgramFixture fresh;
        auto* rows = fresh.RowTable();
        QCOMPARE(RowLabelColour(rows, 0), kColourActiveRow);
        QCOMPARE(RowLabelColour(rows, 1), kColourInactiveRow);
        QCOMPARE(RowLabelColour(fresh.TeachTable().gridCtt, 1), kColourInactiveRow);
    }

    void calculationModeRoundTripThroughThreeDLosesTheIntensityTolerance() {
        const std::array<int, 5> row{100, 200, 10, 1000, 50};
        for (int c = 0; c < 5; ++c)
            EditCell(teach->gridCtt, 4, c, row[std::size_t(c)]);
        QCOMPARE(f->state->params.image.table[4].w[4], std::uint16_t(50)); // the edit reached it

        Choose(page->editCalcmode, protocol::kCalcSiM2D);
        QCOMPARE(TeachRow(teach->gridCtt, 4),
                 (std::array<std::uint16_t, 5>{100, 200, 10, 1000, 50}));
        QCOMPARE(Headings(teach->gridCtt), (QStringList{"s", "i", "siTO", "M", "MTO"}));
        QCOMPARE(Data().labelX->text(), QStringLiteral("s"));

        Choose(page->editCalcmode, protocol::kCalcXyInt3D);
        QCOMPARE(TeachRow(teach->gridCtt, 4),
                 (std::array<std::uint16_t, 5>{100, 200, 1000, 10, 1}));
        QCOMPARE(Headings(teach->gridCtt), (QStringList{"X", "Y", "INT", "TOL", ""}));
        QCOMPARE(f->state->params.image.table[4].w[2], std::uint16_t(1000));

        Choose(page->editCalcmode, protocol::kCalcXyInt2D);
        QCOMPARE(TeachRow(teach->gridCtt, 4),
                 (std::array<std::uint16_t, 5>{100, 200, 10, 1000, 10}));
        QCOMPARE(f->state->params.image.parameters[protocol::kCalculationMode],
                 std::uint16_t(protocol::kCalcXyInt2D));
    }

    void minDistHidesTheColourToleranceHeading() {
        Choose(page->editEvalmode, protocol::kEvalMinDist);
        QCOMPARE(Headings(teach->gridCtt), (QStringList{"X", "Y", "", "INT", "ITO"}));
        Choose(page->editCalcmode, protocol::kCalcSiM3D);
        QCOMPARE(Headings(teach->gridCtt), (QStringList{"s", "i", "M", "", ""}));
        Choose(page->editEvalmode, protocol::kEvalFirstHit);
        QCOMPARE(Headings(teach->gridCtt), (QStringList{"s", "i", "M", "TOL", ""}));
    }

    void dataPagesFollowTheEvaluationAndCalculationModes() {
        auto* tabs = Data().tabDataP1;
        Choose(page->editEvalmode, protocol::kEvalBestHit); // the start page 3D is hidden in 2D
        QCOMPARE(tabs->currentIndex(), int(DataPanel::k2DPage));
        QVERIFY(!tabs->isTabVisible(live::DataPanel::k3DPage));
        Choose(page->editCalcmode, protocol::kCalcXyInt3D);
        QCOMPARE(tabs->currentIndex(), int(live::DataPanel::k3DPage));
        QVERIFY(!tabs->isTabVisible(DataPanel::k2DPage));

        tabs->setCurrentIndex(DataPanel::kIntPage);
        Choose(page->editEvalmode, protocol::kEvalThdRgb);
        QCOMPARE(tabs->currentIndex(), int(DataPanel::kRgbPage));
        for (int p : {DataPanel::kIntPage, DataPanel::k2DPage, live::DataPanel::k3DPage})
            QVERIFY(!tabs->isTabVisible(p));

        Choose(page->editEvalmode, protocol::kEvalFirstHit);
        QVERIFY(tabs->isTabVisible(DataPanel::kIntPage));
        QVERIFY(tabs->isTabVisible(live::DataPanel::k3DPage));
        QVERIFY(!tabs->isTabVisible(DataPanel::k2DPage));
    }

    void colourGroupShowsTheGroupDisplayAndOffClosesTheBigGroupPanel() {
        Choose(groups->editColorGroups, 1);
        QVERIFY(Shown(Data().dispGroup));
        QTest::mouseDClick(Data().dispGroup, Qt::LeftButton);
        QVERIFY(f->BigGroup().isVisible());
        Choose(groups->editColorGroups, 0);
        QVERIFY(!Shown(Data().dispGroup));
        QVERIFY(!f->BigGroup().isVisible());
    }

    void groupResetAsksAndClearsCellsAndColours() {
        Choose(groups->editColorGroups, 1);
        SetCellWord(groups->editGridGroups, 3, 0, 9);
        SetCellBackground(groups->editGridGroups, 3, 0, kColourCellReset);
        QTest::mouseClick(groups->buttonResetGroupTable, Qt::LeftButton); // answered no
        QCOMPARE(CellWord(groups->editGridGroups, 3, 0), std::uint16_t(9));
        f->dialogs.confirmAnswers = {true};
        QTest::mouseClick(groups->buttonResetGroupTable, Qt::LeftButton);
        QVERIFY(f->dialogs.Saw("ATTENTION!", "Do you really want to reset the table?"));
        QCOMPARE(CellWord(groups->editGridGroups, 3, 0), std::uint16_t(0));
        QCOMPARE(CellBackground(groups->editGridGroups, 3, 0), kColourCellPlain);
    }

    void holdResetSetsHoldFailAndEveryRowToTheResetValue() {
        groups->editResetHold->setValue(20);
        f->dialogs.confirmAnswers = {true};
        QTest::mouseClick(groups->buttonResetHoldTable, Qt::LeftButton);
        for (int r = 0; r < GroupHoldPage::kHoldRows; ++r)
            QCOMPARE(CellWord(groups->editGridHold, r, 0), std::uint16_t(20));
        f->Parameters().GetParametersFromPanel();
        QCOMPARE(f->state->params.image.parameters[protocol::kHoldFail], std::uint16_t(20));
        QCOMPARE(f->state->params.image.table[30].w[6], std::uint16_t(20));
    }

    void imageRoundTripsThroughTheControlsAndKeepsTheReservedWords() {
        auto& image = f->state->params.image;
        image.parameters = {900, 1, 200, 2, 77, 4000, 12, 1, 5, 0, 1, 100, 4000, 1, 1, 7, 250};
        for (int r = 0; r < protocol::kTeachRows; ++r) {
            for (int k = 0; k < 7; ++k)
                image.table[std::size_t(r)].w[std::size_t(k)] = std::uint16_t(r * 10 + k + 1);
            image.table[std::size_t(r)].w[5] = std::uint16_t(r % 31);
            image.table[std::size_t(r)].w[7] = std::uint16_t(0xA500 + r);
        }
        const protocol::ParameterImage sent = image;
        f->Parameters().PutParametersToPanel();
        image = protocol::ParameterImage{};
        for (int r = 0; r < protocol::kTeachRows; ++r)
            image.table[std::size_t(r)].w[7] = std::uint16_t(0xA500 + r);
        f->Parameters().GetParametersFromPanel();
        QVERIFY(image.parameters == sent.parameters);
        for (int r = 0; r < protocol::kTeachRows; ++r)
            QVERIFY2(image.table[std::size_t(r)].w == sent.table[std::size_t(r)].w,
                     qPrintable(QString::number(r)));
        QVERIFY(!f->Log().contains(QStringLiteral("OUT OF RANGE")));
    }

    void codesWithoutAListItemAreKeptAsExtraItemsAndGoBackUnchanged() {
        auto& image = f->state->params.image;
        image.parameters[protocol::kCalculationMode] = 9;
        image.parameters[protocol::kGain] = 8;
        image.parameters[protocol::kColorGroup] = 2;
        f->Parameters().PutParametersToPanel();
        QCOMPARE(page->Word(protocol::kCalculationMode), std::uint16_t(9));
        QCOMPARE(page->Word(protocol::kGain), std::uint16_t(8));
        QCOMPARE(page->editGain->currentText(), QStringLiteral("8 (from sensor)"));
        QCOMPARE(groups->editColorGroups->currentText(), QStringLiteral("2 (from sensor)"));
        QVERIFY(f->Log().contains(QStringLiteral(
            "ATTENTION! CALCULATION MODE = 9 IS OUT OF RANGE AND IS KEPT AS RECEIVED.\n")));
        QVERIFY(f->Log().contains(QStringLiteral("GAIN = 8 IS OUT OF RANGE AND IS KEPT")));
        image = protocol::ParameterImage{};
        f->Parameters().GetParametersFromPanel();
        QCOMPARE(image.parameters[protocol::kCalculationMode], std::uint16_t(9));
        QCOMPARE(image.parameters[protocol::kGain], std::uint16_t(8));
        QCOMPARE(image.parameters[protocol::kColorGroup], std::uint16_t(2));

        // The extra item stays until the operator chooses a regular one.
        Choose(page->editGain, 2);
        QCOMPARE(page->editGain->count(), 8);
        QCOMPARE(page->Word(protocol::kGain), std::uint16_t(2));
        QCOMPARE(page->editGain->findText(QStringLiteral("8 (from sensor)")), -1);
    }

    void rowColoursArePaintedIntoAllThreeTables() {
        for (int r = 0; r < protocol::kTeachRows; ++r)
            f->state->settings.rowColours[std::size_t(r)] = std::uint32_t(0x010203 * (r + 1));
        f->Parameters().PaintRowColours(f->state->settings.rowColours);
        QCOMPARE(CellBackground(teach->gridCtt, 7, kTeachColourColumn),
                 std::uint32_t(0x010203 * 8));
        QCOMPARE(CellBackground(groups->editGridGroups, 7, 1), std::uint32_t(0x010203 * 8));
        QCOMPARE(CellBackground(groups->editGridHold, 8, 1), std::uint32_t(0x010203 * 8));
        QCOMPARE(CellBackground(groups->editGridHold, 0, 1), std::uint32_t(0xFFFFFF));
    }
};

QTEST_MAIN(TestParameterPages)
#include "TestParameterPages.moc"
