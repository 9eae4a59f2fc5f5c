#pragma once
// The recorded-value teach panel: measurements recorded as clouds in three planes, one cursor
// per plane that the other two follow to the same record, and TEACH of the record under it.
// A point goes into the buffer at once; the clouds, cursors and displays follow on the live
// displays' refresh clock, so a fast sensor never waits for labels to be laid out.
#include "live/DisplayWidgets.h"
#include "teach/RecordedValueTeach.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace core {
class OperatorDialogs;
class Registrar;
} // namespace core
namespace live {}

namespace protocol {
struct MeasurementFrame;
}

namespace teach {

class PointCloudGraph;

class RecordedValuePanel : public QWidget, public live::Refreshable {
    Q_OBJECT
public:
    RecordedValuePanel(core::TeachState& teachState, core::OperatorDialogs& dialogs,
                       live::RefreshClock& clock, QWidget* parent = nullptr);
    ~RecordedValuePanel() override;

    // One measurement into the buffer; into the three clouds, with the cursors and displays on
    // it, at the clock's next tick (at once when it fills the buffer). Returns whether the
    // recording may go on: false once the buffer is full (a full buffer records nothing).
    bool PlotTeachPoint(const protocol::MeasurementFrame& frame);
    // What was recorded since the last tick, shown now: a recording has ended.
    void ShowRecorded();
    // Graph `graph`'s cursor chooses the record; all three cursors and the displays follow.
    void SyncTeachCursors(int graph);
    // The values of the X, Y and INT displays.
    core::TeachPoint ShownPoint() const;
    bool Full() const;
    void UpdateTeachPanelLabels(std::uint16_t calculationMode, std::uint16_t evaluationMode);
    PointCloudGraph& Graph(int graph) { return *graphs[std::size_t(graph)]; }
    // START is dimmed with the other controls that start sensor traffic.
    void RegisterCommands(core::Registrar& registrar);

    void CBF_ButtonTP2Reset();
    void ResetRecording();
    // STOP is live only while the panel's own recording runs.
    void ShowRecording(bool running);

signals:
    void StartRequested();
    void StopRequested();
    void TeachRequested();
    void CloseRequested();

private:
    void Refresh() override { ShowRecorded(); }
    void ShowPoint(const core::TeachPoint& point);
    void ShowCount();

    core::TeachState& teachState;
    core::OperatorDialogs& dialogs;
    live::RefreshClock& clock;
    std::array<PointCloudGraph*, kTeachGraphs> graphs{};
    std::array<QLabel*, 3> valueLabels{};
    std::array<QLabel*, 3> valueDisplays{};
    QLabel* dispTP2Counter;
    QPushButton* buttonTP2Start;
    QPushButton* buttonTP2Stop;
    QPushButton* buttonTP2Reset;
    QPushButton* buttonTP2Teach;
    QPushButton* buttonClose;
};

} // namespace teach
