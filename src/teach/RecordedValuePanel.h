#pragma once
// The recorded-value teach panel: measurements recorded as clouds in three planes, one cursor
// per plane that the other two follow to the same record, and TEACH of the record under it.
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

class RecordedValuePanel : public QWidget {
    Q_OBJECT
public:
    RecordedValuePanel(core::TeachState& teachState, core::OperatorDialogs& dialogs,
                       QWidget* parent = nullptr);

    // One measurement into the buffer and the three clouds, the cursors onto it. Returns whether
    // the recording may go on: false once the buffer is full (a full buffer records nothing).
    bool PlotTeachPoint(const protocol::MeasurementFrame& frame);
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

signals:
    void StartRequested();
    void TeachRequested();
    void CloseRequested();

private:
    void ShowPoint(const core::TeachPoint& point);
    void ShowCount();

    core::TeachState& teachState;
    core::OperatorDialogs& dialogs;
    std::array<PointCloudGraph*, kTeachGraphs> graphs{};
    std::array<QLabel*, 3> valueLabels{};
    std::array<QLabel*, 3> valueDisplays{};
    QLabel* dispTP2Counter;
    QPushButton* buttonTP2Start;
    QPushButton* buttonTP2Reset;
    QPushButton* buttonTP2Teach;
    QPushButton* buttonClose;
};

} // namespace teach
