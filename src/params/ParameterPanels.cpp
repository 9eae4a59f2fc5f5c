#include "params/ParameterPanels.h"

#include "core/OperatorDialogs.h"
#include "core/Shell.h"
#include "live/DataPanel.h"
#include "live/LiveDrawing.h"
#include "params/GroupHoldPage.h"
#include "params/ParameterPage.h"
#include "params/TeachLayout.h"
#include "params/TeachTablePage.h"
#include "params/TransferControls.h"
#include "protocol/ParameterCodes.h"

#include <QString>
#include <QStringList>

namespace params {

namespace {

const char* const kWordNames[protocol::kParameterCount] = {
    "POWER",     "POWER MODE",   "AVERAGE",          "EVALUATION MODE",
    "HOLD FAIL", "INTLIM",       "MAX VEC NO",       "DIGITAL OUTMODE",
    "TRIGGER",   "EXTERN TEACH", "CALCULATION MODE", "DYNWIN LO",
    "DYNWIN HI", "COLOR GROUP",  "LED MODE",         "GAIN",
    "INTEGRAL"};

} // namespace

ParameterPanels::ParameterPanels(core::AppState& state, core::Shell& shell,
                                 core::OperatorDialogs& dialogs, const Pages& pages,
                                 live::DataPanel& data, live::LiveDrawing& drawing)
    : state(state), shell(shell), dialogs(dialogs), pages(pages), data(data), drawing(drawing) {}

std::uint16_t ParameterPanels::ControlWord(int word) const {
    if (word == protocol::kColorGroup) return pages.groupHold.ColorGroup();
    if (word == protocol::kHoldFail) return pages.groupHold.HoldFail();
    return pages.parameters.Word(word);
}

// False when the value lies outside what its control usually offers (it is still shown).
bool ParameterPanels::ShowControlWord(int word, std::uint16_t value) {
    if (word == protocol::kColorGroup) return pages.groupHold.SetColorGroup(value);
    if (word == protocol::kHoldFail) {
        pages.groupHold.SetHoldFail(value);
        return true;
    }
    return pages.parameters.SetWord(word, value);
}

void ParameterPanels::ShowTeachCells() {
    const auto& table = state.params.image.table;
    for (int r = 0; r < protocol::kTeachRows; ++r) {
        for (int c = 0; c < TeachTablePage::kValueColumns; ++c)
            pages.teachTable.SetCell(r, c, table[std::size_t(r)].w[std::size_t(c)]);
    }
}

ParameterControls ParameterPanels::ReadControls() const {
    ParameterControls controls;
    for (int word = 0; word < protocol::kParameterCount; ++word)
        controls.values[std::size_t(word)] = ControlWord(word);
    controls.triggerListLength = std::size_t(pages.parameters.TriggerItemCount());
    for (int r = 0; r < protocol::kTeachRows; ++r)
        controls.groupCells[std::size_t(r)] = pages.groupHold.GroupCell(r);
    controls.paraSet = state.params.paraSet;
    controls.dataActivePage = data.ActivePage();
    return controls;
}

void ParameterPanels::ShowChangedValues(const ParameterControls& before,
                                        const ParameterControls& after) {
    for (int word = 0; word < protocol::kParameterCount; ++word) {
        const std::size_t w = std::size_t(word);
        if (after.values[w] != before.values[w]) ShowControlWord(word, after.values[w]);
    }
}

// Active rows get dark green labels, the others red, in the teach, group and row tables; the hold
// table is one row lower.
void ParameterPanels::PaintRowLabels(const core::RowColours& rows,
                                     const std::array<std::uint32_t, kHoldRows>& holdRows) {
    pages.teachTable.SetRowLabels(rows);
    pages.groupHold.SetRowLabels(rows, holdRows);
    emit ActiveRowsMarked(rows);
}

// The outcome of the colour-limit check, shared by the whole rule chain and the check alone.
template <typename Outcome> void ParameterPanels::ApplyColourOutcome(const Outcome& outcome) {
    for (int row : outcome.resetGroupCells)
        pages.groupHold.SetGroupCell(row, 0);
    if (outcome.groupCellBackgrounds) {
        for (int r = 0; r < protocol::kTeachRows; ++r)
            pages.groupHold.SetGroupCellBackground(r,
                                                   (*outcome.groupCellBackgrounds)[std::size_t(r)]);
    }
    PaintRowLabels(outcome.rowLabels, outcome.holdRowLabels);
    if (outcome.activateMainPage) shell.ShowPage(core::MainPage(*outcome.activateMainPage));
    for (const auto& notice : outcome.notices)
        dialogs.Message(notice.title, notice.text);
}

void ParameterPanels::MarkActiveRows() {
    // The whole rule chain first runs at the first load; until then the start values decide.
    const ColorLimitCheck check = params::CheckColorLimits(ReadControls());
    PaintRowLabels(check.rowLabels, check.holdRowLabels);
}

void ParameterPanels::GetParametersFromPanel() {
    state.params.image = PanelImage();
}

protocol::ParameterImage ParameterPanels::PanelImage() const {
    protocol::ParameterImage image = state.params.image;
    for (int word = 0; word < protocol::kParameterCount; ++word)
        image.parameters[std::size_t(word)] = ControlWord(word);
    for (int r = 0; r < protocol::kTeachRows; ++r) {
        auto& row = image.table[std::size_t(r)].w;
        for (int c = 0; c < TeachTablePage::kValueColumns; ++c)
            row[std::size_t(c)] = pages.teachTable.Cell(r, c);
        row[5] = pages.groupHold.GroupCell(r);
        row[6] = pages.groupHold.HoldCell(r);
        // Word 7 stays as the sensor last sent it.
    }
    return image;
}

void ParameterPanels::PutParametersToPanel() {
    const auto& image = state.params.image;
    auto& page = pages.parameters;
    // EXTERN TEACH first, so that the TRIGGER list holds the value TRIGGER may need.
    page.SetWord(protocol::kExternTeach, image.parameters[protocol::kExternTeach]);
    page.SetTriggerItems(page.Word(protocol::kExternTeach));

    QString notes;
    for (int word = 0; word < protocol::kParameterCount; ++word) {
        std::uint16_t value = image.parameters[std::size_t(word)];
        // While EXTERN TEACH is on, a TRIGGER of 2 or more is CONT: the rules' doing, which
        // they announce by the shorter list.
        if (word == protocol::kTrigger &&
            image.parameters[protocol::kExternTeach] != protocol::kExternTeachOff &&
            value >= protocol::kTriggerExt1)
            value = protocol::kTriggerCont;
        if (ShowControlWord(word, value)) continue;
        notes += QStringLiteral("ATTENTION! %1 = %2 IS OUT OF RANGE AND IS KEPT AS RECEIVED.\n")
                     .arg(QLatin1String(kWordNames[word]))
                     .arg(value);
    }

    for (int r = 0; r < protocol::kTeachRows; ++r) {
        const auto& row = image.table[std::size_t(r)].w;
        pages.groupHold.SetGroupCell(r, row[5]);
        pages.groupHold.SetHoldCell(r, row[6]);
        for (int c = 0; c < TeachTablePage::kValueColumns; ++c)
            pages.teachTable.SetCell(r, c, row[std::size_t(c)]);
    }
    if (!notes.isEmpty()) shell.AppendLog(notes.toStdString() + "\n");
}

void ParameterPanels::ApplyParameterRules() {
    const ParameterControls before = ReadControls();
    const RuleDecision d = params::ApplyParameterRules(before);

    if (d.triggerListChanged) pages.parameters.SetTriggerList(d.triggerItems);
    ShowChangedValues(before, d.controls);
    pages.parameters.ApplyLocks(d.locks);
    pages.groupHold.ApplyLocks(d.locks);
    pages.transfer.SetParaSetButtonsEnabled(!d.locks.paraSetButtons);
    if (d.paraSetChanged || d.locks.paraSetButtons)
        pages.transfer.SelectParaSet(d.controls.paraSet);

    data.ShowDisplays(d.displays);
    data.HideBigPanels(d.hideBigGroupPanel, d.hideBigColourPanel);
    drawing.UpdateLiveLabels(d.controls.values[protocol::kCalculationMode]);

    QStringList headings;
    for (std::size_t c = 0; c < d.teachHeadings.size(); ++c)
        headings << (d.teachHeadingVisible[c] ? QString::fromStdString(d.teachHeadings[c])
                                              : QString());
    pages.teachTable.SetHeadings(headings);
    data.ShowPages(d.dataPages);
    ApplyColourOutcome(d);
    emit RulesApplied(d.controls.values[protocol::kEvaluationMode],
                      d.controls.values[protocol::kCalculationMode]);
}

void ParameterPanels::CheckColorLimits() {
    const ParameterControls before = ReadControls();
    const ColorLimitCheck check = params::CheckColorLimits(before);
    ShowChangedValues(before, check.controls);
    ApplyColourOutcome(check);
}

void ParameterPanels::ConvertTeachTable() {
    auto& image = state.params.image;
    const std::uint16_t oldMode = image.parameters[protocol::kCalculationMode];
    GetParametersFromPanel();
    image.table = params::ConvertTeachTable(oldMode, image.parameters[protocol::kCalculationMode],
                                            image.table);
    ShowTeachCells();
}

void ParameterPanels::PaintRowColours(const core::RowColours& colours) {
    pages.teachTable.SetRowColours(colours);
    pages.groupHold.SetRowColours(colours);
    RedrawTaughtColours();
}

void ParameterPanels::RedrawTaughtColours() {
    GetParametersFromPanel();
    drawing.DrawTaughtColours();
    drawing.RedrawLiveGraphs(); // the band of the selected row may have changed
}

void ParameterPanels::DrawTaughtColours() {
    drawing.DrawTaughtColours();
}

std::uint16_t ParameterPanels::ParaSetInUse() {
    if (pages.parameters.Word(protocol::kTrigger) == protocol::kTriggerPara)
        return state.params.paraSet == 1 ? 1 : 0;
    if (state.params.paraSet != 0) pages.transfer.SelectParaSet(0);
    return 0;
}

} // namespace params
