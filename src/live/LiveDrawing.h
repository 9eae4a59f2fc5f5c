#pragma once
// The routines that put a measurement and the taught colours on the data panel: called for the
// measurements of the loops, and by the parameter side whenever the teach data change.
#include "live/DisplayWidgets.h"
#include "live/LiveGraphs.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace core {
struct AppState;
}

namespace protocol {}

namespace protocol {
struct MeasurementFrame;
}

namespace live {

class DataPanel;
using protocol::MeasurementFrame;

class LiveDrawing : public Refreshable {
public:
    LiveDrawing(core::AppState& state, DataPanel& data, RefreshClock& clock);
    ~LiveDrawing() override;

    // A new measurement in the state's frame: the histories take it at once, and the displays,
    // views and cursors show the newest frame at the refresh clock's next tick, as no eye reads
    // more than 25 a second and the loop should not wait for a hundred widgets every turn.
    void TakeMeasurement();
    // What the last measurement has not shown yet, now (at the end of a loop).
    void ShowPendingNow();
    void Refresh() override { ShowPendingNow(); }

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
    // Where both bands read the selected row: a cell (row, column 0..4) of the teach table as
    // the operator sees it, which a reset changes before the image follows. Without a reader
    // they read the image.
    using TeachCellReader = std::function<std::uint16_t(int row, int column)>;
    void ReadTeachCellsFrom(TeachCellReader reader) { teachCells = std::move(reader); }
    // Labels and colours that follow CALCULATION MODE, on the data panel and beyond.
    void UpdateLiveLabels(std::uint16_t calculationMode);
    // Others who show the labels of the calculation mode (the graph panel).
    void AlsoLabel(std::function<void(bool siM)> labeller) { otherLabels = std::move(labeller); }
    // Another page that shows every measurement (the raw values on the calibration page).
    void AlsoShow(std::function<void(const protocol::MeasurementFrame&)> shower) {
        otherDisplays = std::move(shower);
    }

    // What the charts hold: the last 100 samples of red, green, blue and of INT with its band,
    // and the extents of the taught colours the colour planes keep in sight.
    const TripleHistory& RgbHistory() const { return rgbHistory; }
    const TripleHistory& BandHistory() const { return bandHistory; }
    const TaughtExtents& Taught() const { return taught; }

private:
    std::uint16_t CalculationMode() const;
    TaughtIntensity SelectedTaughtIntensity() const;
    // The displays and the views, from the state's frame.
    void ShowLatest();

    core::AppState& state;
    DataPanel& data;
    RefreshClock& clock;
    bool pending = false; // a measurement not shown yet
    std::function<void(bool)> otherLabels;
    std::function<void(const protocol::MeasurementFrame&)> otherDisplays;
    TeachCellReader teachCells;
    TripleHistory rgbHistory;  // red, green, blue
    TripleHistory bandHistory; // INT, upper and lower band limit
    // The strip chart's band of the selected row, read from the table again once a tick: not
    // for every measurement of a fast sensor.
    std::optional<Band> stripBand;
    TaughtExtents taught;
};

} // namespace live
