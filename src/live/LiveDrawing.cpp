#include "live/LiveDrawing.h"

#include "core/AppState.h"
#include "live/ChartPages.h"
#include "live/DataPanel.h"
#include "live/LiveGraphs.h"
#include "live/LiveValues.h"
#include "protocol/ParameterCodes.h"

namespace live {

LiveDrawing::LiveDrawing(core::AppState& state, DataPanel& data, RefreshClock& clock)
    : state(state), data(data), clock(clock) {}

LiveDrawing::~LiveDrawing() {
    clock.Forget(this);
}

void LiveDrawing::TakeMeasurement() {
    UpdateHistories();
    pending = true;
    clock.MarkDirty(this);
}

void LiveDrawing::ShowPendingNow() {
    if (!pending) return;
    pending = false;
    ShowLatest();
}

void LiveDrawing::ShowLatest() {
    stripBand.reset();
    state.live.liveColour = LiveColour(state.live.frame);
    const bool outputs = state.params.image.parameters[protocol::kEvaluationMode] > 2;
    data.ShowFrame(state.live.frame, state.live.liveColour, outputs);
    if (otherDisplays) otherDisplays(state.live.frame);
    RedrawLiveGraphs();
}

std::uint16_t LiveDrawing::CalculationMode() const {
    return state.params.image.parameters[protocol::kCalculationMode];
}

TaughtIntensity LiveDrawing::SelectedTaughtIntensity() const {
    const int row = state.teach.selectedRow % protocol::kTeachRows;
    if (!teachCells)
        return TaughtIntensityOf(state.params.image.table[std::size_t(row)], CalculationMode());
    const int first = int(TaughtIntensityCell(CalculationMode()));
    return {teachCells(row, first), teachCells(row, first + 1)};
}

void LiveDrawing::UpdateLiveDisplays() {
    pending = false;
    stripBand.reset();
    state.live.liveColour = LiveColour(state.live.frame);
    const bool outputs = state.params.image.parameters[protocol::kEvaluationMode] > 2;
    data.ShowFrame(state.live.frame, state.live.liveColour, outputs);
    if (otherDisplays) otherDisplays(state.live.frame);
    UpdateHistories();
}

void LiveDrawing::UpdateHistories() {
    const auto& w = state.live.frame.w;
    if (!stripBand) stripBand = IntensityBand(SelectedTaughtIntensity(), kStripBandLimit);
    using F = protocol::MeasurementFrame;
    rgbHistory.Append(w[F::kRed], w[F::kGreen], w[F::kBlue]);
    bandHistory.Append(w[F::kInt], stripBand->upper, stripBand->lower);
}

void LiveDrawing::RedrawLiveGraphs() {
    data.Charts().ShowHistories(rgbHistory, bandHistory);
    if (protocol::IsCalculation3D(CalculationMode()))
        Update3DView();
    else
        Update2DView();
}

void LiveDrawing::Update2DView() {
    const auto& w = state.live.frame.w;
    using F = protocol::MeasurementFrame;
    const Window xy = SquareWindow(CentreAxis(w[F::kX], taught.x), CentreAxis(w[F::kY], taught.y));
    data.Charts().Show2D(xy, w[F::kX], w[F::kY], IntensityCursor(w[F::kInt], CalculationMode()));
}

void LiveDrawing::Update3DView() {
    const auto& w = state.live.frame.w;
    using F = protocol::MeasurementFrame;
    const Centred x = CentreAxis(w[F::kX], taught.x);
    const Centred y = CentreAxis(w[F::kY], taught.y);
    const Centred i = CentreAxis(w[F::kInt], taught.intensity);
    data.Charts().Show3D(SquareWindow(x, y), SquareWindow(x, i), SquareWindow(y, i), w[F::kX],
                         w[F::kY], w[F::kInt]);
}

void LiveDrawing::DrawTaughtColours() {
    DrawIntensityBand();
    const TaughtDrawing drawing = DrawTaughtColoursModel(
        state.params.image.table, CalculationMode(), state.settings.rowColours);
    taught = drawing.extents;
    data.Charts().ShowTaught(drawing);
}

void LiveDrawing::DrawIntensityBand() {
    stripBand.reset();
    data.Charts().ShowBand(IntensityBand(SelectedTaughtIntensity(), kRectangleBandLimit));
}

void LiveDrawing::UpdateLiveLabels(std::uint16_t calculationMode) {
    data.ShowCoordinateLabels(protocol::IsCalculationSiM(calculationMode));
    data.Charts().ShowCalculationMode(calculationMode);
    if (otherLabels) otherLabels(protocol::IsCalculationSiM(calculationMode));
}

} // namespace live
