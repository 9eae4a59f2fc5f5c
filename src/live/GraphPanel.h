#pragma once
// The graph panel: one recorded signal at a time as a line over the samples, the seven values
// of the latest sample, and CLOSE back to the data panel. All seven graphs are drawn with
// every sample; the signal list only decides which one is shown.
#include "live/DisplayWidgets.h"
#include "live/SignalTrace.h"
#include "protocol/MeasurementFrame.h"

#include <QWidget>

#include <array>
#include <cstdint>

class QComboBox;
class QCustomPlot;
class QLabel;
class QPushButton;

namespace core {
class Shell;
}

namespace live {

class GraphPanel : public QWidget {
    Q_OBJECT
public:
    GraphPanel(core::Shell& shell, RefreshClock& clock, QWidget* parent = nullptr);

    // s i M instead of X Y INT, in the signal list and on the displays' labels.
    void UpdateLiveLabels(bool siM);
    // Hides every signal graph and shows the one chosen in the signal list.
    void SelectSignalGraph();
    // Starts the drawing over; the frame's values are where the first segments begin.
    void ClearSignalGraphs(const protocol::MeasurementFrame& frame);
    // One recorded sample: the displays show it and each graph gains its segment.
    void AppendSignalSample(const protocol::MeasurementFrame& frame);

    const SignalTrace& Trace() const { return trace; }

    void CBF_EditSignal();
    void CBF_ButtonGpClose();

private:
    QWidget* BuildDisplays(RefreshClock& clock);
    void Draw(TraceSignal signal);

    core::Shell& shell;
    SignalTrace trace;
    // Where the next point goes on the x axis. It equals the trace's 16-bit x until that wraps
    // after 65536 samples; from there the drawing keeps counting, so the line stays one chain
    // from left to right instead of folding back over itself.
    double nextKey = 0;
    // The lowest and highest value drawn per signal, so the value axis follows the line
    // without walking through all its points.
    std::array<std::uint16_t, kTraceSignals> lowest{};
    std::array<std::uint16_t, kTraceSignals> highest{};
    QComboBox* editSignal;
    std::array<QCustomPlot*, kTraceSignals> graphs{};
    std::array<NumericDisplay*, kTraceSignals> displays{};
    // The captions of the X, Y and INT displays.
    std::array<QLabel*, 3> coordinateLabels{};
    QPushButton* buttonGpClose;
};

} // namespace live
