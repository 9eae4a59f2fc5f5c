#pragma once
// The routines that put a measurement and the taught colours on the data panel: called once per
// measurement by the loops, and by the parameter side whenever the teach data change.
#include <cstdint>
#include <functional>

namespace core {
struct AppState;
}

namespace live {

class DataPanel;
struct MeasurementFrame;

class LiveDrawing {
public:
    LiveDrawing(core::AppState& state, DataPanel& data);

    // Every live display, the live colour, the output indicators, then the histories.
    void UpdateLiveDisplays();
    void UpdateHistories();
    // Both strip charts, then the view of the calculation mode in use.
    void RedrawLiveGraphs();
    void Update2DView();
    void Update3DView();
    // Every teach row as its tolerance ellipse, and the extents the views keep in sight. The
    // image must have been taken from the tables first.
    void DrawTaughtColours();
    // The intensity band of the selected teach row in the 2D intensity graph.
    void DrawIntensityBand();
    // Labels and colours that follow CALCULATION MODE, on the data panel and beyond.
    void UpdateLiveLabels(std::uint16_t calculationMode);
    // Others who show the labels of the calculation mode (the graph panel).
    void AlsoLabel(std::function<void(bool siM)> labeller) { otherLabels = std::move(labeller); }
    // Another page that shows every measurement (the raw values on the calibration page).
    void AlsoShow(std::function<void(const MeasurementFrame&)> shower) {
        otherDisplays = std::move(shower);
    }

private:
    std::uint16_t CalculationMode() const;

    core::AppState& state;
    DataPanel& data;
    std::function<void(bool)> otherLabels;
    std::function<void(const MeasurementFrame&)> otherDisplays;
};

} // namespace live
