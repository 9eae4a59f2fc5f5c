#include "live/GoLoop.h"

#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/ParameterTransfers.h"
#include "link/SensorOperations.h"
#include "live/LiveDrawing.h"

namespace live {

using protocol::Outcome;

GoLoop::GoLoop(core::AppState& state, core::CommandGate& gate, comm::SensorOperations& operations,
               LiveDrawing& drawing)
    : state(state), gate(gate), operations(operations), drawing(drawing) {}

core::StopCause GoLoop::RunGoLoop() {
    const core::CommandGate::MeasuringLoop loop(gate);
    while (!gate.StopRequested()) {
        if (state.flags.pendingSend && transfers) transfers->SendParameters();
        if (gate.StopRequested()) break;
        if (state.flags.pendingGet && transfers) transfers->GetParameters();
        if (gate.StopRequested()) break;
        // A failure has been reported, and the report ends the loop.
        if (operations.Measure(state.live.frame) == Outcome::Reply) ShowMeasurement();
    }
    const core::StopCause ended = gate.Cause();
    drawing.ShowPendingNow();
    return ended;
}

void GoLoop::MeasureEach(const std::function<bool()>& take) {
    core::CommandGate::MeasuringLoop loop(gate);
    while (!gate.StopRequested()) {
        if (operations.Measure(state.live.frame) != Outcome::Reply) continue;
        if (!take()) break;
    }
}

void GoLoop::ShowMeasurement() {
    ++state.live.measurementCount;
    drawing.TakeMeasurement();
}

void GoLoop::ShowPendingNow() {
    drawing.ShowPendingNow();
}

} // namespace live
