#include "teach/RecordedValuePanel.h"

#include "controls/CommandButton.h"
#include "controls/ValueDisplay.h"
#include "core/OperatorDialogs.h"
#include "core/Shell.h"
#include "protocol/MeasurementFrame.h"
#include "protocol/ParameterCodes.h"
#include "teach/PointCloudGraph.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace teach {

namespace {

constexpr const char* kResetQuestion = "Do you really want to reset the table?";
constexpr const char* kGraphRoles[kTeachGraphs] = {"GraphXYTP2", "GraphXIntTP2", "GraphYIntTP2"};
constexpr const char* kDisplayRoles[3] = {"DispXTP2", "DispYTP2", "DispIntTP2"};

void SetBackground(QLabel* label, const char* colour) {
    label->setStyleSheet(colour ? QStringLiteral("background:%1; color:#000000;").arg(colour)
                                : QString());
}

QString Word(double value) {
    return QString::number(std::llround(value));
}

} // namespace

RecordedValuePanel::RecordedValuePanel(core::TeachState& teachState, core::OperatorDialogs& dialogs,
                                       live::RefreshClock& clock, QWidget* parent)
    : QWidget(parent), teachState(teachState), dialogs(dialogs), clock(clock) {
    setObjectName(QStringLiteral("TEACHP2"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* top = new QHBoxLayout;
    auto* counterCaption = new QLabel(tr("RECORDED"), this);
    dispTP2Counter = core::MakeValueDisplay(this, "DispTP2Counter", 64);
    counterCaption->setBuddy(dispTP2Counter);
    top->addWidget(counterCaption);
    top->addWidget(dispTP2Counter);
    top->addStretch(1);
    buttonTP2Start = core::MakeRoleButton(this, "ButtonTP2Start", tr("START"));
    buttonTP2Stop = core::MakeRoleButton(this, "ButtonTP2Stop", tr("STOP"));
    buttonTP2Stop->setEnabled(false);
    buttonTP2Reset = core::MakeRoleButton(this, "ButtonTP2Reset", tr("RESET"));
    top->addWidget(buttonTP2Start);
    top->addWidget(buttonTP2Stop);
    top->addWidget(buttonTP2Reset);
    layout->addLayout(top);

    // Two planes above, the third below beside the values of the record under the cursors.
    auto* grid = new QGridLayout;
    grid->setSpacing(4);
    for (int g = 0; g < kTeachGraphs; ++g) {
        graphs[std::size_t(g)] = new PointCloudGraph(teachState.recordedPoints, g, this);
        graphs[std::size_t(g)]->setObjectName(QString::fromLatin1(kGraphRoles[g]));
        connect(graphs[std::size_t(g)], &PointCloudGraph::CursorCommitted, this,
                &RecordedValuePanel::SyncTeachCursors);
    }
    grid->addWidget(graphs[0], 0, 0);
    grid->addWidget(graphs[1], 0, 1);
    grid->addWidget(graphs[2], 1, 0);

    auto* values = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        valueLabels[std::size_t(i)] = new QLabel(this);
        valueLabels[std::size_t(i)]->setAlignment(Qt::AlignCenter);
        valueLabels[std::size_t(i)]->setMinimumWidth(40);
        valueDisplays[std::size_t(i)] = core::MakeValueDisplay(this, kDisplayRoles[i], 64);
        valueDisplays[std::size_t(i)]->setAutoFillBackground(true);
        valueLabels[std::size_t(i)]->setBuddy(valueDisplays[std::size_t(i)]);
        values->addWidget(valueLabels[std::size_t(i)], i, 0);
        values->addWidget(valueDisplays[std::size_t(i)], i, 1);
    }
    buttonTP2Teach = core::MakeRoleButton(this, "ButtonTP2Teach", tr("TEACH"));
    buttonClose = core::MakeRoleButton(this, "ButtonCloseTeachPanel", tr("CLOSE"));
    values->addWidget(buttonTP2Teach, 3, 0, 1, 2);
    values->setRowStretch(4, 1);
    values->addWidget(buttonClose, 5, 0, 1, 2);
    grid->addLayout(values, 1, 1, Qt::AlignCenter);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid, 1);

    UpdateTeachPanelLabels(0, protocol::kEvalBestHit);
    ShowCount();
    connect(buttonTP2Start, &QPushButton::clicked, this, &RecordedValuePanel::StartRequested);
    connect(buttonTP2Stop, &QPushButton::clicked, this, &RecordedValuePanel::StopRequested);
    connect(buttonTP2Reset, &QPushButton::clicked, this, &RecordedValuePanel::CBF_ButtonTP2Reset);
    connect(buttonTP2Teach, &QPushButton::clicked, this, &RecordedValuePanel::TeachRequested);
    connect(buttonClose, &QPushButton::clicked, this, &RecordedValuePanel::CloseRequested);
}

RecordedValuePanel::~RecordedValuePanel() {
    clock.Forget(this);
}

void RecordedValuePanel::RegisterCommands(core::Registrar& registrar) {
    registrar.AddCommandControl(buttonTP2Start, core::CommandKind::Command);
}

void RecordedValuePanel::ShowRecording(bool running) {
    buttonTP2Stop->setEnabled(running);
}

bool RecordedValuePanel::Full() const {
    return teachState.recordCount >= TeachPointCapacity(teachState.recordedPoints);
}

bool RecordedValuePanel::PlotTeachPoint(const protocol::MeasurementFrame& frame) {
    if (Full()) return false;
    const core::TeachPoint point{double(frame.w[protocol::MeasurementFrame::kX]),
                                 double(frame.w[protocol::MeasurementFrame::kY]),
                                 double(frame.w[protocol::MeasurementFrame::kInt])};
    const bool more = AppendTeachPoint(teachState.recordedPoints, teachState.recordCount, point);
    if (more)
        clock.MarkDirty(this);
    else
        ShowRecorded();
    return more;
}

void RecordedValuePanel::ShowRecorded() {
    const int count = teachState.recordCount;
    if (graphs[0]->Plotted() >= count) return;
    // Each graph paints the new dots into its picture and rests its cursor on the last of them.
    for (PointCloudGraph* graph : graphs)
        graph->PlotUpTo(count);
    ShowPoint(teachState.recordedPoints[std::size_t(count - 1)]);
    ShowCount();
}

void RecordedValuePanel::SyncTeachCursors(int graph) {
    const PointCloudGraph& moved = *graphs[std::size_t(graph)];
    // The record the cursor was put on (a step of the arrow keys may rest on a later one of
    // several at the same position); a bare position takes the earliest record there.
    int k = FindTeachRecord(teachState.recordedPoints, teachState.recordCount, graph,
                            moved.Cursor().value_or(PlanePoint{-1, -1}));
    if (moved.CursorRecord() && *moved.CursorRecord() < teachState.recordCount)
        k = *moved.CursorRecord();
    ShowPoint(teachState.recordedPoints[std::size_t(k)]);
    for (PointCloudGraph* each : graphs)
        each->SetCursorRecord(k);
}

void RecordedValuePanel::ShowPoint(const core::TeachPoint& point) {
    for (int i = 0; i < 3; ++i)
        valueDisplays[std::size_t(i)]->setText(Word(point[std::size_t(i)]));
}

void RecordedValuePanel::ShowCount() {
    dispTP2Counter->setText(QString::number(teachState.recordCount));
}

core::TeachPoint RecordedValuePanel::ShownPoint() const {
    core::TeachPoint point{};
    for (int i = 0; i < 3; ++i)
        point[std::size_t(i)] = valueDisplays[std::size_t(i)]->text().toDouble();
    return point;
}

void RecordedValuePanel::CBF_ButtonTP2Reset() {
    if (dialogs.Confirm("ATTENTION!", kResetQuestion)) ResetRecording();
}

void RecordedValuePanel::ResetRecording() {
    // The buffer keeps its old records: the next recording overwrites them from record 0.
    teachState.recordCount = 0;
    for (PointCloudGraph* graph : graphs)
        graph->Clear();
    ShowCount();
}

void RecordedValuePanel::UpdateTeachPanelLabels(std::uint16_t calculationMode,
                                                std::uint16_t evaluationMode) {
    if (evaluationMode >= protocol::kEvalThdRgb) return;
    const bool siM = protocol::IsCalculationSiM(calculationMode);
    const char* graphTitles[2][kTeachGraphs] = {{"X/Y", "X/INT", "Y/INT"}, {"s/i", "s/M", "i/M"}};
    const char* valueNames[2][3] = {{"X", "Y", "INT"}, {"s", "i", "M"}};
    for (int g = 0; g < kTeachGraphs; ++g) {
        const QString title = QString::fromLatin1(graphTitles[siM][g]);
        graphs[std::size_t(g)]->SetTitle(title);
        graphs[std::size_t(g)]->setAccessibleName(tr("recorded points %1").arg(title));
    }
    for (int i = 0; i < 3; ++i)
        valueLabels[std::size_t(i)]->setText(QString::fromLatin1(valueNames[siM][i]));
    SetBackground(valueLabels[0], siM ? "#00FF00" : "#E0E0E0");
    SetBackground(valueDisplays[0], "#FF0000");
    SetBackground(valueLabels[1], siM ? "#80FFFF" : "#E0E0E0");
    SetBackground(valueDisplays[1], siM ? "#FFFF00" : "#00FF00");
}

} // namespace teach
