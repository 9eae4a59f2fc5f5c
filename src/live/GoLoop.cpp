#include "live/GoLoop.h"

#include "app/AppState.h"
#include "app/Program.h"
#include "link/SensorLink.h"
#include "live/BigNumberPanel.h"
#include "live/DataPanel.h"
#include "live/LiveValues.h"

void RunGoLoop(Program& program) {
    auto& state = program.state;
    auto& link = program.Link();
    state.flags.running = 1;
    while (state.flags.running == 1) {
        if (state.flags.pendingSend) program.SendParameters();
        if (state.flags.running == 0) break;
        if (state.flags.pendingGet) program.GetParameters();
        if (state.flags.running == 0) break;
        state.frames.currentOrder = 8;
        link.BuildRequestFrame(8, 0, 0, 0);
        if (link.ExchangeFrames(8) == 1) {
            link.DecodeMeasurementWords();
            ShowMeasurement(program);
        }
    }
}

void ShowMeasurement(Program& program) {
    auto& state = program.state;
    TakeMeasurementFrame(state.live.frame, state.frames.measurementWords.data(),
                         MeasurementFrame::kWords);
    state.live.rawDelta = RawDelta(state.live.frame);
    UpdateLiveDisplays(program);
}

void UpdateLiveDisplays(Program& program) {
    auto& state = program.state;
    auto& data = program.Data();
    const auto& w = state.live.frame.w;
    using F = MeasurementFrame;

    for (auto& row : data.pageRgb) {
        for (int c = 0; c < 3; ++c)
            row[std::size_t(c)]->SetValue(w[std::size_t(F::kRed + c)]);
    }
    data.dispRed->SetValue(w[F::kRed]);
    data.dispGreen->SetValue(w[F::kGreen]);
    data.dispBlue->SetValue(w[F::kBlue]);
    data.dispX->SetValue(w[F::kX]);
    data.dispY->SetValue(w[F::kY]);
    data.dispInt->SetValue(w[F::kInt]);
    data.dispDeltaC->SetValue(state.live.frame.DeltaC());
    data.dispCol->SetValue(w[F::kColourNumber]);
    data.dispGroup->SetValue(w[F::kGroup]);
    data.ledTrig->SetOn(w[F::kTrigger] == 1);

    for (int i = 0; i < 6; ++i)
        data.dispMinMax[std::size_t(i)]->SetValue(w[std::size_t(F::kMinMaxFirst + i)]);
    program.BigColourNumber().SetValue(w[F::kColourNumber]);
    program.BigGroup().SetValue(w[F::kGroup]);

    state.live.liveColour = LiveColour(state.live.frame);
    data.swatch->SetColour(state.live.liveColour);

    if (state.params.image.parameters[kEvaluationMode] > 2) {
        const auto outputs = OutputIndicators(w[F::kColourNumber]);
        for (int i = 0; i < 5; ++i)
            data.ledOut[std::size_t(i)]->SetOn(outputs[std::size_t(i)]);
    }
}
