#include "live/GoLoop.h"

#include "comm/SensorLink.h"
#include "core/AppState.h"
#include "core/ParameterTransfers.h"
#include "live/LiveDrawing.h"
#include "live/LiveValues.h"

namespace live {

GoLoop::GoLoop(core::AppState& state, comm::SensorLink& link, LiveDrawing& drawing)
    : state(state), link(link), drawing(drawing) {}

void GoLoop::RunGoLoop() {
    state.flags.running = 1;
    while (state.flags.running == 1) {
        if (state.flags.pendingSend && transfers) transfers->SendParameters();
        if (state.flags.running == 0) break;
        if (state.flags.pendingGet && transfers) transfers->GetParameters();
        if (state.flags.running == 0) break;
        state.frames.currentOrder = 8;
        link.BuildRequestFrame(8, 0, 0, 0);
        if (link.ExchangeFrames(8) == 1) {
            link.DecodeMeasurementWords();
            ShowMeasurement();
        }
    }
}

void GoLoop::MeasureEach(const std::function<bool()>& take) {
    state.flags.running = 1;
    while (state.flags.running == 1) {
        state.frames.currentOrder = 8;
        link.BuildRequestFrame(8, 0, 0, 0);
        if (link.ExchangeFrames(8) != 1) continue;
        link.DecodeMeasurementWords();
        protocol::TakeMeasurementFrame(state.live.frame, state.frames.measurementWords.data(),
                                       protocol::MeasurementFrame::kWords);
        if (!take()) state.flags.running = 0;
    }
}

void GoLoop::ShowMeasurement() {
    protocol::TakeMeasurementFrame(state.live.frame, state.frames.measurementWords.data(),
                                   protocol::MeasurementFrame::kWords);
    state.live.rawDelta = RawDelta(state.live.frame);
    ++state.live.measurementCount;
    drawing.UpdateLiveDisplays();
    drawing.RedrawLiveGraphs();
}

} // namespace live
