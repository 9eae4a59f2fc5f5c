#include "live/LiveModule.h"

#include "controls/CommandButton.h"
#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/ParameterTransfers.h"
#include "core/Shell.h"
#include "live/BigNumberPanel.h"
#include "live/DataPanel.h"
#include "live/GoLoop.h"
#include "live/GraphPanel.h"
#include "live/LiveDrawing.h"
#include "live/LiveHelp.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace live {

LiveModule::LiveModule(core::AppState& state, core::Shell& shell, core::Registrar& registrar,
                       comm::SensorOperations& operations)
    : state(state), shell(shell), refreshClock(this),
      bigColourPanel(
          std::make_unique<BigNumberPanel>(QStringLiteral("COLBIGP"), tr("C-No:"), refreshClock)),
      bigGroupPanel(
          std::make_unique<BigNumberPanel>(QStringLiteral("GRPBIGP"), tr("GROUP"), refreshClock)) {
    // Their titles change with the sensor's identification; their names say what they are.
    bigColourPanel->setAccessibleName(tr("big colour number"));
    bigGroupPanel->setAccessibleName(tr("big group number"));
    dataPanel = new DataPanel(shell, refreshClock, *bigColourPanel, *bigGroupPanel);
    drawing = std::make_unique<LiveDrawing>(state, *dataPanel, refreshClock);
    goLoop = std::make_unique<GoLoop>(state, shell.Gate(), operations, *drawing);
    registrar.AddChildPanel(core::ChildPanel::Data, dataPanel);
    graphPanel = new GraphPanel(shell, refreshClock);
    registrar.AddChildPanel(core::ChildPanel::Graph, graphPanel);
    drawing->AlsoLabel([this](bool siM) { graphPanel->UpdateLiveLabels(siM); });
    dataPanel->EnableShowGraph(true);
    connect(dataPanel, &DataPanel::ShowGraphRequested, this,
            [this] { this->shell.ShowChildPanel(core::ChildPanel::Graph); });

    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    buttonGo = core::MakeCommandButton(bar, QStringLiteral("ButtonGo"), tr("GO"), Qt::Key_F11);
    buttonStop =
        core::MakeCommandButton(bar, QStringLiteral("ButtonStop"), tr("STOP"), Qt::Key_F12);
    row->addWidget(buttonGo);
    row->addWidget(buttonStop);
    registrar.AddToCommandBar(bar, true);
    registrar.AddCommandControl(buttonGo, core::CommandKind::Command);
    registrar.AddHelp(LiveHelp());
    registrar.AddHelp(GraphPanelHelp());

    connect(buttonGo, &QPushButton::clicked, this, &LiveModule::CBF_ButtonGo);
    connect(buttonStop, &QPushButton::clicked, this, &LiveModule::CBF_ButtonStop);
}

LiveModule::~LiveModule() = default;

void LiveModule::AttachTransfers(core::ParameterTransfers& parameterTransfers) {
    transfers = &parameterTransfers;
    goLoop->AttachTransfers(parameterTransfers);
}

void LiveModule::ShowSensorId(const QString& id) {
    bigColourPanel->setWindowTitle(tr("C-No:") + QStringLiteral("  ") + id);
    bigGroupPanel->setWindowTitle(tr("GROUP") + QStringLiteral("  ") + id);
}

void LiveModule::CBF_ButtonGo() {
    // The gate is taken before anything else: the dimming below lets queued clicks run, and a
    // SEND or GET among them must find the loop's gate taken and wait for the loop.
    core::RunCommand(shell, "GO", [this] {
        shell.SetButtonsDimmed(1, 1);
        // The displays follow the modes as the controls show them now.
        if (transfers) transfers->GetParametersFromPanel();
        shell.ShowChildPanel(core::ChildPanel::Data);
        drawing->DrawTaughtColours();
        const std::uint64_t before = this->state.live.measurementCount;
        const std::uint32_t failuresBefore = this->state.flags.failuresReported;
        const core::StopCause ended = goLoop->RunGoLoop();
        shell.SetButtonsDimmed(0, 0);
        const std::uint64_t measured = this->state.live.measurementCount - before;
        // What ended this loop tells, not how an earlier command left the link: a Loop stop is
        // a failure only when one was reported during the loop (the COM page and a sensor's
        // notice end it too), and STOP or a close is never one.
        const bool failed = ended == core::StopCause::LinkLost ||
                            (ended == core::StopCause::Loop &&
                             this->state.flags.failuresReported != failuresBefore);
        shell.ReportCommand("GO",
                            failed ? "ended by a communication failure"
                                   : "stopped after " + std::to_string(measured) + " measurements");
    });
}

void LiveModule::RunMeasuringLoop(const char* name) {
    core::RunCommand(shell, name, [this] {
        shell.SetButtonsDimmed(0, 1);
        drawing->DrawTaughtColours();
        goLoop->RunGoLoop();
        shell.SetButtonsDimmed(0, 0);
    });
}

void LiveModule::CBF_ButtonStop() {
    shell.Gate().Stop(core::StopCause::Operator);
}

} // namespace live
