#include "teach/TeachModule.h"

#include "controls/CommandButton.h"
#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/OperatorDialogs.h"
#include "core/Shell.h"
#include "live/ChartPages.h"
#include "live/DataPanel.h"
#include "live/GoLoop.h"
#include "live/LiveDrawing.h"
#include "live/LiveModule.h"
#include "params/ParameterPanels.h"
#include "params/ParamsModule.h"
#include "params/TeachTablePage.h"
#include "protocol/ParameterCodes.h"
#include "settings/TableAttributesPage.h"
#include "teach/MeanValuePanel.h"
#include "teach/RecordedValuePanel.h"
#include "teach/TeachHelp.h"
#include "teach/TeachOperations.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

namespace teach {

namespace {

constexpr const char* kResetQuestion = "Do you really want to reset the table?";

} // namespace

TeachModule::TeachModule(core::AppState& state, core::Shell& shell, core::OperatorDialogs& dialogs,
                         core::Registrar& registrar, params::ParamsModule& params,
                         live::LiveModule& live, settings::TableAttributesPage& rowAttributes)
    : state(state), shell(shell), dialogs(dialogs), params(params), live(live),
      rowAttributes(rowAttributes) {
    setObjectName(QStringLiteral("TeachTools"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);

    auto* noCaption = new QLabel(tr("No."), this);
    editNo = new QSpinBox(this);
    editNo->setObjectName(QStringLiteral("EditNo"));
    editNo->setRange(0, kLastRow);
    editNo->setKeyboardTracking(false);
    noCaption->setBuddy(editNo);
    radioInc = new QCheckBox(tr("AUTO INC"), this);
    radioInc->setObjectName(QStringLiteral("RadioInc"));
    buttonTeachDataTo = core::MakeRoleButton(this, "ButtonTeachDataTo", tr("TEACH DATA TO"));
    buttonResetTable = core::MakeRoleButton(this, "ButtonResetTable", tr("RESET TABLE"));
    buttonTeachMeanVal = core::MakeRoleButton(this, "ButtonTeachMeanVal", tr("MEAN TEACH"));
    buttonTeachRecVal = core::MakeRoleButton(this, "ButtonTeachRecVal", tr("REC TEACH"));

    // Two narrow columns: the page shares its width with the data panel.
    auto* noRow = new QHBoxLayout;
    noRow->addWidget(noCaption);
    noRow->addWidget(editNo);
    noRow->addStretch(1);
    grid->addLayout(noRow, 0, 0);
    grid->addWidget(radioInc, 0, 1);
    grid->addWidget(buttonTeachDataTo, 1, 0);
    grid->addWidget(buttonResetTable, 1, 1);
    grid->addWidget(buttonTeachMeanVal, 2, 0);
    grid->addWidget(buttonTeachRecVal, 2, 1);
    params.TeachTable().AddTool(this);

    BuildContextMenu();
    registrar.AddHelp(TeachHelp());
    meanPanel = new MeanValuePanel(dialogs);
    meanPanel->SetFrameSource(&state.live.frame);
    meanPanel->AddLiveValues(live.Data().MakeLiveRgbRow(meanPanel));
    registrar.AddChildPanel(core::ChildPanel::Teach1, meanPanel);
    connect(buttonTeachMeanVal, &QPushButton::clicked, this, &TeachModule::CBF_ButtonTeachMeanVal);
    connect(meanPanel, &MeanValuePanel::TeachRequested, this, &TeachModule::TeachMeanValues);
    connect(meanPanel, &MeanValuePanel::CloseRequested, this, &TeachModule::CloseTeachPanel);
    recordedPanel = new RecordedValuePanel(state.teach, dialogs, live.Clock());
    registrar.AddChildPanel(core::ChildPanel::Teach2, recordedPanel);
    recordedPanel->RegisterCommands(registrar);
    connect(buttonTeachRecVal, &QPushButton::clicked, this, &TeachModule::CBF_ButtonTeachRecVal);
    connect(recordedPanel, &RecordedValuePanel::StartRequested, this,
            &TeachModule::CBF_ButtonTP2Start);
    connect(recordedPanel, &RecordedValuePanel::StopRequested, this,
            [this] { this->shell.Gate().Stop(core::StopCause::Operator); });
    connect(recordedPanel, &RecordedValuePanel::TeachRequested, this,
            &TeachModule::TeachRecordedValue);
    connect(recordedPanel, &RecordedValuePanel::CloseRequested, this,
            &TeachModule::CloseTeachPanel);

    // The bands of the live charts show the selected row as the table shows it, also between a
    // reset and the image's next refresh.
    QPointer<params::TeachTablePage> table(&params.TeachTable());
    live.Drawing().ReadTeachCellsFrom([table](int row, int column) {
        return table ? table->Cell(row, column) : std::uint16_t(0);
    });
    connect(editNo, &QSpinBox::valueChanged, this, &TeachModule::CBF_EditNo);
    connect(buttonTeachDataTo, &QPushButton::clicked, this, &TeachModule::CBF_ButtonTeachDataTo);
    connect(buttonResetTable, &QPushButton::clicked, this, &TeachModule::CBF_ButtonResetTable);
    connect(&params.TeachTable(), &params::TeachTablePage::ContextMenuRequested, this,
            [this](const QPoint& at) { menu->popup(at); });
    connect(&params.Panels(), &params::ParameterPanels::RulesApplied, this,
            [this](std::uint16_t evaluationMode, std::uint16_t calculationMode) {
                UpdateTeachPageControls(evaluationMode);
                meanPanel->UpdateTeachPanelLabels(calculationMode, evaluationMode);
                recordedPanel->UpdateTeachPanelLabels(calculationMode, evaluationMode);
            });
}

void TeachModule::BuildContextMenu() {
    menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("TeachTableMenu"));
    menu->addAction(tr("Help"), this, &TeachModule::ShowTeachTableHelp);
    menu->addSeparator();
    menu->addAction(tr("Set selection to"), this, &TeachModule::SetSelectionTo);
    menu->addAction(tr("Increment selection with"), this, &TeachModule::IncrementSelectionWith);
    menu->addAction(tr("Reset selection"), this, &TeachModule::ResetSelection);
    menu->addSeparator();
    toleranceOff =
        menu->addAction(tr("Teach tolerance off"), this, &TeachModule::TeachToleranceOff);
    toleranceOn = menu->addAction(tr("Teach tolerance on"), this, &TeachModule::TeachToleranceOn);
    // Of the two, only the one that would change the flag is offered.
    toleranceOn->setEnabled(state.flags.teachTolerance == 1);
    toleranceOff->setEnabled(state.flags.teachTolerance != 1);
}

void TeachModule::SelectRow(int row) {
    const QSignalBlocker blocker(editNo);
    editNo->setValue(row);
    state.teach.selectedRow = std::uint16_t(editNo->value());
}

void TeachModule::TablesChanged() {
    params.Panels().RedrawTaughtColours();
}

void TeachModule::CBF_EditNo() {
    state.teach.selectedRow = std::uint16_t(editNo->value());
    live.Drawing().DrawIntensityBand();
}

void TeachModule::CBF_ButtonTeachDataTo() {
    // The modes as the controls show them now.
    params.Panels().GetParametersFromPanel();
    TeachRow(state.live.frame);
}

void TeachModule::TeachRow(const protocol::MeasurementFrame& frame) {
    const auto& words = state.params.image.parameters;
    TeachInputs inputs;
    inputs.frame = frame;
    inputs.selectedRow = editNo->value();
    inputs.autoIncrement = radioInc->isChecked();
    inputs.writeTolerances = state.flags.teachTolerance != 1;
    inputs.evaluationMode = words[protocol::kEvaluationMode];
    inputs.calculationMode = words[protocol::kCalculationMode];
    inputs.powerMode = words[protocol::kPowerMode];
    const TeachResult result = TeachRowFromValues(inputs);
    auto& table = params.TeachTable();
    for (const CellWrite& write : result.writes)
        table.SetCell(write.row, write.column, write.value);
    // A taught row takes the live colour (of the last data panel update) when the row colours
    // are set automatically.
    if (rowAttributes.Mode() == settings::ColourMode::Automatic)
        rowAttributes.AssignRowColour(result.colourRow, state.live.liveColour);
    SelectRow(result.nextSelectedRow);
    TablesChanged();
}

void TeachModule::CBF_ButtonResetTable() {
    if (!dialogs.Confirm("ATTENTION!", kResetQuestion)) return;
    ResetTeachTable();
}

void TeachModule::ResetTeachTable() {
    SelectRow(0);
    auto& table = params.TeachTable();
    for (int r = 0; r < protocol::kTeachRows; ++r) {
        for (int c = 0; c < params::TeachTablePage::kValueColumns; ++c)
            table.SetCell(r, c, 1);
    }
    live.Data().Charts().ClearTaught();
}

void TeachModule::ShowTeachTableHelp() {
    dialogs.Message(kTeachTableHelpTitle, TeachTableHelpText());
}

template <typename Change> void TeachModule::ChangeSelection(const Change& change) {
    auto& table = params.TeachTable();
    const auto block = table.SelectedBlock();
    if (!block) return;
    std::vector<BlockCell> cells;
    for (int r = block->top; r < block->top + block->rows; ++r) {
        for (int c = block->left; c < block->left + block->columns; ++c)
            cells.push_back({table.CellEditable(r, c), table.Cell(r, c)});
    }
    const std::optional<std::vector<BlockCell>> changed = change(cells);
    if (!changed) return;
    std::size_t i = 0;
    for (int r = block->top; r < block->top + block->rows; ++r) {
        for (int c = block->left; c < block->left + block->columns; ++c, ++i) {
            if ((*changed)[i].editable) table.SetCell(r, c, (*changed)[i].value);
        }
    }
    TablesChanged();
}

std::optional<std::string> TeachModule::AskCellValue(const char* command) {
    const auto answer = dialogs.Prompt("VALUE!", "Insert a cell value!", "");
    if (!answer) return std::nullopt;
    // An answer typed and then ignored would leave the operator guessing.
    if (!ParseCellValue(*answer)) {
        shell.ReportCommand(command, CellValueRefusal(*answer));
        return std::nullopt;
    }
    return answer;
}

void TeachModule::SetSelectionTo() {
    if (!params.TeachTable().SelectedBlock()) return;
    const auto answer = AskCellValue("Set selection to");
    if (!answer) return;
    const std::uint16_t value = *ParseCellValue(*answer);
    ChangeSelection([&](const std::vector<BlockCell>& cells) {
        return std::optional(SetBlockTo(cells, value));
    });
}

void TeachModule::IncrementSelectionWith() {
    auto& table = params.TeachTable();
    const auto block = table.SelectedBlock();
    // Numbering starts from an editable first cell, before anything is asked.
    if (!block || !table.CellEditable(block->top, block->left)) return;
    const auto answer = AskCellValue("Increment selection with");
    if (!answer) return;
    const std::int32_t step = *ParseCellStep(*answer);
    ChangeSelection(
        [&](const std::vector<BlockCell>& cells) { return IncrementBlock(cells, step); });
}

void TeachModule::ResetSelection() {
    ChangeSelection(
        [](const std::vector<BlockCell>& cells) { return std::optional(SetBlockTo(cells, 1)); });
}

void TeachModule::TeachToleranceOff() {
    state.flags.teachTolerance = 1;
    toleranceOff->setEnabled(false);
    toleranceOn->setEnabled(true);
}

void TeachModule::TeachToleranceOn() {
    state.flags.teachTolerance = 0;
    toleranceOn->setEnabled(false);
    toleranceOff->setEnabled(true);
}

void TeachModule::UpdateTeachPageControls(std::uint16_t evaluationMode) {
    const bool thd = evaluationMode >= protocol::kEvalThdRgb;
    editNo->setVisible(!thd);
    radioInc->setVisible(!thd);
    buttonTeachMeanVal->setEnabled(!thd);
    buttonTeachRecVal->setEnabled(!thd);
}

void TeachModule::UpdateTeachPanels() {
    params.Panels().GetParametersFromPanel();
    const auto& words = state.params.image.parameters;
    UpdateTeachPageControls(words[protocol::kEvaluationMode]);
    meanPanel->UpdateTeachPanelLabels(words[protocol::kCalculationMode],
                                      words[protocol::kEvaluationMode]);
    recordedPanel->UpdateTeachPanelLabels(words[protocol::kCalculationMode],
                                          words[protocol::kEvaluationMode]);
}

void TeachModule::CBF_ButtonTeachMeanVal() {
    shell.ShowChildPanel(core::ChildPanel::Teach1);
    UpdateTeachPanels();
    // Captures take the frames of a loop that already runs.
    if (shell.Gate().LoopRunning()) return;
    live.RunMeasuringLoop("GO");
}

void TeachModule::CloseTeachPanel() {
    shell.Gate().Stop(core::StopCause::Loop);
    shell.ShowChildPanel(core::ChildPanel::Data);
}

void TeachModule::TeachMeanValues() {
    params.Panels().GetParametersFromPanel();
    const auto& words = state.params.image.parameters;
    MeanTeachInputs inputs = meanPanel->TeachInputs();
    inputs.selectedRow = editNo->value();
    inputs.row = state.params.image.table[std::size_t(inputs.selectedRow)];
    inputs.autoIncrement = radioInc->isChecked();
    inputs.evaluationMode = words[protocol::kEvaluationMode];
    inputs.calculationMode = words[protocol::kCalculationMode];
    const TeachResult result = teach::TeachMeanValues(inputs);
    auto& table = params.TeachTable();
    for (const CellWrite& write : result.writes)
        table.SetCell(write.row, write.column, write.value);
    SelectRow(result.nextSelectedRow);
    TablesChanged();
}

void TeachModule::CBF_ButtonTeachRecVal() {
    shell.ShowChildPanel(core::ChildPanel::Teach2);
    UpdateTeachPanels();
}

void TeachModule::CBF_ButtonTP2Start() {
    constexpr const char* kName = "REC TEACH";
    core::RunCommand(shell, kName, [this] {
        // A full buffer records nothing until it is reset.
        if (recordedPanel->Full()) {
            shell.ReportCommand(kName, "nothing recorded: the buffer is full (RESET empties it)");
            return;
        }
        shell.SetButtonsDimmed(0, 1);
        params.Panels().GetParametersFromPanel();
        live.Drawing().DrawTaughtColours();
        const std::uint16_t before = state.teach.recordCount;
        recordedPanel->ShowRecording(true);
        live.Loop().MeasureEach([this] { return recordedPanel->PlotTeachPoint(state.live.frame); });
        recordedPanel->ShowRecording(false);
        recordedPanel->ShowRecorded();
        shell.SetButtonsDimmed(0, 0);
        const std::string outcome = recordedPanel->Full()  ? "stopped: the buffer is full"
                                    : state.flags.linkGood ? "stopped"
                                                           : "ended by a communication failure";
        shell.ReportCommand(kName,
                            outcome + ", " + std::to_string(state.teach.recordCount) + " points (" +
                                std::to_string(int(state.teach.recordCount) - before) + " new)");
    });
}

void TeachModule::TeachRecordedValue() {
    params.Panels().GetParametersFromPanel();
    // The record under the cursors stands in for the measurement; the live frame stays as the
    // sensor sent it.
    protocol::MeasurementFrame frame = state.live.frame;
    const core::TeachPoint point = recordedPanel->ShownPoint();
    frame.w[protocol::MeasurementFrame::kX] = std::uint16_t(point[0]);
    frame.w[protocol::MeasurementFrame::kY] = std::uint16_t(point[1]);
    frame.w[protocol::MeasurementFrame::kInt] = std::uint16_t(point[2]);
    TeachRow(frame);
}

} // namespace teach
