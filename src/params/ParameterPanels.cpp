// The parameter pages in the main panel: the controls into the image and back, and the parameter
// rules carried out on the widgets.
#include "params/ParameterPanels.h"
#include "settings/TableAttributesPage.h"

#include "app/AppState.h"
#include "app/MainPanel.h"
#include "app/OperatorDialogs.h"
#include "app/Program.h"
#include "live/BigNumberPanel.h"
#include "live/DataPanel.h"
#include "params/GroupHoldPage.h"
#include "params/ParameterCodes.h"
#include "params/ParameterPage.h"
#include "params/ParameterRules.h"
#include "params/TeachLayout.h"
#include "params/TeachTablePage.h"
#include "params/WordTable.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

namespace {

constexpr int kValue = GroupHoldPage::kValueColumn;

const char* const kWordNames[kParameterCount] = {
    "POWER",     "POWER MODE",   "AVERAGE",          "EVALUATION MODE",
    "HOLD FAIL", "INTLIM",       "MAX VEC NO",       "DIGITAL OUTMODE",
    "TRIGGER",   "EXTERN TEACH", "CALCULATION MODE", "DYNWIN LO",
    "DYNWIN HI", "COLOR GROUP",  "LED MODE",         "GAIN",
    "INTEGRAL"};

bool PagesBuilt(const Program& program) {
    return program.parameterPage && program.groupHoldPage && program.teachTablePage;
}

std::uint16_t ControlWord(Program& program, int word) {
    if (word == kColorGroup) return program.groupHoldPage->ColorGroup();
    if (word == kHoldFail) return CellWord(program.groupHoldPage->editGridHold, 0, kValue);
    return program.parameterPage->Word(word);
}

// False when the control had to show something other than `value`.
bool ShowControlWord(Program& program, int word, std::uint16_t value) {
    if (word == kColorGroup) return program.groupHoldPage->SetColorGroup(value);
    if (word == kHoldFail) {
        SetCellWord(program.groupHoldPage->editGridHold, 0, kValue, value);
        return true;
    }
    return program.parameterPage->SetWord(word, value);
}

void ShowTeachCells(Program& program) {
    auto* grid = program.teachTablePage->gridCtt;
    const auto& table = program.state.params.image.table;
    for (int r = 0; r < kTeachRows; ++r) {
        for (int c = 0; c < TeachTablePage::kValueColumns; ++c)
            SetCellWord(grid, r, c, table[std::size_t(r)].w[std::size_t(c)]);
    }
}

ParameterControls ReadControls(Program& program) {
    ParameterControls controls;
    for (int word = 0; word < kParameterCount; ++word)
        controls.values[std::size_t(word)] = ControlWord(program, word);
    controls.triggerListLength = std::size_t(program.parameterPage->editTrigger->count());
    for (int r = 0; r < kTeachRows; ++r)
        controls.groupCells[std::size_t(r)] =
            CellWord(program.groupHoldPage->editGridGroups, r, kValue);
    controls.paraSet = program.state.params.paraSet;
    controls.dataActivePage = program.Data().tabDataP1->currentIndex();
    return controls;
}

void ShowChangedValues(Program& program, const ParameterControls& before,
                       const ParameterControls& after) {
    for (int word = 0; word < kParameterCount; ++word) {
        const std::size_t w = std::size_t(word);
        if (after.values[w] != before.values[w]) ShowControlWord(program, word, after.values[w]);
    }
}

void SetParaSetSelection(Program& program, std::uint16_t paraSet) {
    program.state.params.paraSet = paraSet;
    program.Main().selectParaSet[paraSet == 1 ? 1 : 0]->setChecked(true);
}

void ApplyLocks(Program& program, const ControlLocks& locks) {
    auto& page = *program.parameterPage;
    auto& groups = *program.groupHoldPage;
    page.slidePower->setEnabled(!locks.power);
    page.powerValue->setEnabled(!locks.power);
    page.editPmode->setEnabled(!locks.powerMode);
    page.editDynWinLo->setEnabled(!locks.dynWinLo);
    page.editDynWinHi->setEnabled(!locks.dynWinHi);
    page.editMaxVecNo->setEnabled(!locks.maxVecNo);
    page.editIntlim->setEnabled(!locks.intlim);
    page.editDigOutmode->setEnabled(!locks.digitalOutmode);
    page.editCalcmode->setEnabled(!locks.calculationMode);
    page.editTrigger->setEnabled(!locks.trigger);
    page.editExteach->setEnabled(!locks.externTeach);
    groups.editColorGroups->setEnabled(!locks.colorGroup);
    groups.editGridGroups->setEnabled(!locks.groupTable);
    groups.buttonResetGroupTable->setEnabled(!locks.groupTableReset);
    for (auto* radio : program.Main().selectParaSet)
        radio->setEnabled(!locks.paraSetButtons);
}

void ShowDisplays(Program& program, const DataPanelDisplays& shown) {
    auto& data = program.Data();
    for (QWidget* w :
         {static_cast<QWidget*>(data.dispDeltaC), static_cast<QWidget*>(data.labelDeltaC),
          static_cast<QWidget*>(data.dispCol), static_cast<QWidget*>(data.labelCol)})
        w->setVisible(shown.deltaCAndColourNumber);
    for (std::size_t i = 0; i < data.ledOut.size(); ++i) {
        data.ledOut[i]->setVisible(shown.outputIndicators[i]);
        data.labelOut[i]->setVisible(shown.outputIndicators[i]);
    }
    data.dispGroup->setVisible(shown.groupDisplay);
    data.labelGroup->setVisible(shown.groupDisplay);
    data.ledTrig->setVisible(shown.triggerIndicator);
    data.labelTrig->setVisible(shown.triggerIndicator);
    for (QWidget* w : {static_cast<QWidget*>(data.dispX), static_cast<QWidget*>(data.dispY),
                       static_cast<QWidget*>(data.dispInt), static_cast<QWidget*>(data.labelX),
                       static_cast<QWidget*>(data.labelY), static_cast<QWidget*>(data.labelInt)})
        w->setVisible(shown.colourCoordinates);
}

// The active page is chosen among the pages that stay, before the others go.
void ShowDataPages(Program& program, const DataPages& pages) {
    auto* tabs = program.Data().tabDataP1;
    for (int i = 0; i < int(pages.visible.size()); ++i) {
        if (pages.visible[std::size_t(i)]) tabs->setTabVisible(i, true);
    }
    tabs->setCurrentIndex(pages.activePage);
    for (int i = 0; i < int(pages.visible.size()); ++i) {
        if (!pages.visible[std::size_t(i)]) tabs->setTabVisible(i, false);
    }
}

void ShowLiveLabels(Program& program, std::uint16_t calculationMode) {
    const bool si = calculationMode == kCalcSiM2D || calculationMode == kCalcSiM3D;
    auto& data = program.Data();
    data.labelX->setText(si ? QStringLiteral("s") : QStringLiteral("X"));
    data.labelY->setText(si ? QStringLiteral("i") : QStringLiteral("Y"));
    data.labelInt->setText(si ? QStringLiteral("M") : QStringLiteral("INT"));
    // Label and value backgrounds tell the two colour spaces apart at a glance.
    const auto labelStyle = [](const char* colour) {
        return QStringLiteral("background:%1; padding:0 3px;").arg(QLatin1String(colour));
    };
    data.labelX->setStyleSheet(labelStyle(si ? "#00FF00" : "#E0E0E0"));
    data.labelY->setStyleSheet(labelStyle(si ? "#80FFFF" : "#E0E0E0"));
    data.dispX->SetValueBackground(QColor(0xFF, 0x00, 0x00));
    data.dispY->SetValueBackground(si ? QColor(0xFF, 0xFF, 0x00) : QColor(0x00, 0xFF, 0x00));
}

void ShowTeachHeadings(Program& program, const RuleDecision& d) {
    QStringList headings;
    for (std::size_t c = 0; c < d.teachHeadings.size(); ++c)
        headings << (d.teachHeadingVisible[c] ? QString::fromStdString(d.teachHeadings[c])
                                              : QString());
    program.teachTablePage->SetHeadings(headings);
}

// Active rows get dark green labels, the others red, in the teach, group and row tables; the hold
// table is one row lower.
template <typename Labels, typename HoldLabels>
void PaintRowLabels(Program& program, const Labels& rowLabels, const HoldLabels& holdRowLabels) {
    QTableWidget* rowTable =
        program.tableAttributesPage ? program.tableAttributesPage->tableRowAttributes : nullptr;
    for (int r = 0; r < kTeachRows; ++r) {
        const auto colour = rowLabels[std::size_t(r)];
        SetRowLabelColour(program.teachTablePage->gridCtt, r, colour);
        SetRowLabelColour(program.groupHoldPage->editGridGroups, r, colour);
        if (rowTable)
            SetRowLabelColour(rowTable, r, colour);
    }
    for (int r = 0; r < kHoldRows; ++r)
        SetRowLabelColour(program.groupHoldPage->editGridHold, r,
                          holdRowLabels[std::size_t(r)]);
}

// The outcome of the colour-limit check, shared by the whole rule chain and the check alone.
template <typename Outcome> void ApplyColourOutcome(Program& program, const Outcome& outcome) {
    auto* groups = program.groupHoldPage->editGridGroups;
    for (int row : outcome.resetGroupCells)
        SetCellWord(groups, row, kValue, 0);
    if (outcome.groupCellBackgrounds) {
        for (int r = 0; r < kTeachRows; ++r)
            SetCellBackground(groups, r, kValue, (*outcome.groupCellBackgrounds)[std::size_t(r)]);
    }
    PaintRowLabels(program, outcome.rowLabels, outcome.holdRowLabels);
    if (outcome.activateMainPage)
        program.Main().tabMain1->setCurrentIndex(*outcome.activateMainPage);
    for (const auto& notice : outcome.notices)
        program.dialogs.Message(notice.title, notice.text);
}

} // namespace

void BuildParameterPages(Program& program) {
    auto& main = program.Main();
    program.parameterPage = new ParameterPage(program);
    program.groupHoldPage = new GroupHoldPage(program);
    program.teachTablePage = new TeachTablePage(program);
    main.SetPage(MainPanel::kParameterPage, program.parameterPage);
    main.SetPage(MainPanel::kGroupHoldPage, program.groupHoldPage);
    main.SetPage(MainPanel::kTeachTablePage, program.teachTablePage);
    // TRIGGER starts at CONT, so there is no second parameter set to choose yet.
    for (auto* radio : main.selectParaSet)
        radio->setEnabled(false);
}

void MarkActiveRows(Program& program) {
    if (!PagesBuilt(program)) return;
    // The whole rule chain first runs at the first load; until then the start values decide.
    const ColorLimitCheck check = CheckColorLimits(ReadControls(program));
    PaintRowLabels(program, check.rowLabels, check.holdRowLabels);
}

void GetParametersFromPanel(Program& program) {
    if (!PagesBuilt(program)) return;
    auto& image = program.state.params.image;
    for (int word = 0; word < kParameterCount; ++word)
        image.parameters[std::size_t(word)] = ControlWord(program, word);
    const auto* groups = program.groupHoldPage->editGridGroups;
    const auto* holds = program.groupHoldPage->editGridHold;
    const auto* teach = program.teachTablePage->gridCtt;
    for (int r = 0; r < kTeachRows; ++r) {
        auto& row = image.table[std::size_t(r)].w;
        for (int c = 0; c < TeachTablePage::kValueColumns; ++c)
            row[std::size_t(c)] = CellWord(teach, r, c);
        row[5] = CellWord(groups, r, kValue);
        row[6] = CellWord(holds, r + 1, kValue);
        // Word 7 stays as the sensor last sent it.
    }
}

void PutParametersToPanel(Program& program) {
    if (!PagesBuilt(program)) return;
    const auto& image = program.state.params.image;
    auto& page = *program.parameterPage;
    // EXTERN TEACH first, so that the TRIGGER list holds the value TRIGGER may need.
    page.SetWord(kExternTeach, image.parameters[kExternTeach]);
    page.SetTriggerItems(page.Word(kExternTeach));

    QString notes;
    for (int word = 0; word < kParameterCount; ++word) {
        const std::uint16_t value = image.parameters[std::size_t(word)];
        const bool held = ShowControlWord(program, word, value);
        // A TRIGGER of 2..6 left out while EXTERN TEACH is on is the rules' doing, not a fault.
        if (held || (word == kTrigger && value <= kTriggerPara)) continue;
        notes += QStringLiteral("ATTENTION! %1 = %2 IS OUT OF RANGE AND IS SHOWN AS %3.\n")
                     .arg(QLatin1String(kWordNames[word]))
                     .arg(value)
                     .arg(ControlWord(program, word));
    }

    auto* groups = program.groupHoldPage->editGridGroups;
    auto* holds = program.groupHoldPage->editGridHold;
    auto* teach = program.teachTablePage->gridCtt;
    for (int r = 0; r < kTeachRows; ++r) {
        const auto& row = image.table[std::size_t(r)].w;
        SetCellWord(groups, r, kValue, row[5]);
        SetCellWord(holds, r + 1, kValue, row[6]);
        for (int c = 0; c < TeachTablePage::kValueColumns; ++c)
            SetCellWord(teach, r, c, row[std::size_t(c)]);
    }
    if (!notes.isEmpty()) program.AppendLog(notes.toStdString() + "\n");
}

void ApplyParameterRules(Program& program) {
    if (!PagesBuilt(program)) return;
    const ParameterControls before = ReadControls(program);
    const RuleDecision d = ApplyParameterRules(before);

    if (d.triggerListChanged) program.parameterPage->SetTriggerList(d.triggerItems);
    ShowChangedValues(program, before, d.controls);
    ApplyLocks(program, d.locks);
    if (d.paraSetChanged || d.locks.paraSetButtons)
        SetParaSetSelection(program, d.controls.paraSet);

    ShowDisplays(program, d.displays);
    if (d.hideBigGroupPanel) program.BigGroup().hide();
    if (d.hideBigColourPanel) program.BigColourNumber().hide();
    ShowLiveLabels(program, d.controls.values[kCalculationMode]);
    ShowTeachHeadings(program, d);
    ShowDataPages(program, d.dataPages);
    ApplyColourOutcome(program, d);
}

void CheckColorLimits(Program& program) {
    if (!PagesBuilt(program)) return;
    const ParameterControls before = ReadControls(program);
    const ColorLimitCheck check = CheckColorLimits(before);
    ShowChangedValues(program, before, check.controls);
    ApplyColourOutcome(program, check);
}

void ConvertTeachTable(Program& program) {
    if (!PagesBuilt(program)) return;
    auto& image = program.state.params.image;
    const std::uint16_t oldMode = image.parameters[kCalculationMode];
    GetParametersFromPanel(program);
    image.table = ConvertTeachTable(oldMode, image.parameters[kCalculationMode], image.table);
    ShowTeachCells(program);
}

void PaintTableRowColours(Program& program) {
    if (!PagesBuilt(program)) return;
    const auto& colours = program.state.settings.rowColours;
    for (int r = 0; r < kTeachRows; ++r) {
        const std::uint32_t rgb = colours[std::size_t(r)];
        SetCellBackground(program.teachTablePage->gridCtt, r, TeachTablePage::kColourColumn, rgb);
        SetCellBackground(program.groupHoldPage->editGridGroups, r, GroupHoldPage::kColourColumn,
                          rgb);
        SetCellBackground(program.groupHoldPage->editGridHold, r + 1, GroupHoldPage::kColourColumn,
                          rgb);
    }
}
