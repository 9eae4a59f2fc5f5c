#pragma once
// The live measurement subsystem as the window composes it: the data panel, the graph panel,
// the two big-number panels, GO and STOP, and the GO loop.
#include "live/DisplayWidgets.h"

#include <QObject>

#include <memory>

class QPushButton;

namespace core {
struct AppState;
class ParameterTransfers;
class Registrar;
class Shell;
} // namespace core
namespace comm {
class SensorOperations;
}

namespace live {

class BigNumberPanel;
class DataPanel;
class GoLoop;
class GraphPanel;
class LiveDrawing;

class LiveModule : public QObject {
    Q_OBJECT
public:
    LiveModule(core::AppState& state, core::Shell& shell, core::Registrar& registrar,
               comm::SensorOperations& operations);
    ~LiveModule() override;

    DataPanel& Data() { return *dataPanel; }
    // The signal graphs, drawn by the recorder.
    GraphPanel& Graphs() { return *graphPanel; }
    GoLoop& Loop() { return *goLoop; }
    LiveDrawing& Drawing() { return *drawing; }
    // The clock that paints live displays at most 25 times a second, for pages beyond the data
    // panel.
    RefreshClock& Clock() { return refreshClock; }
    void AttachTransfers(core::ParameterTransfers& transfers);
    // The operator's sensor identification in the titles of the big panels.
    void ShowSensorId(const QString& id);

    // The GO loop for another panel that needs live measurements (the mean-value teach panel):
    // through the gate, the controls dimmed, the taught colours drawn, the data panel left alone.
    void RunMeasuringLoop(const char* name);

    void CBF_ButtonGo();
    void CBF_ButtonStop();

private:
    core::AppState& state;
    core::Shell& shell;
    RefreshClock refreshClock;
    std::unique_ptr<BigNumberPanel> bigColourPanel;
    std::unique_ptr<BigNumberPanel> bigGroupPanel;
    DataPanel* dataPanel;
    GraphPanel* graphPanel;
    std::unique_ptr<LiveDrawing> drawing;
    std::unique_ptr<GoLoop> goLoop;
    core::ParameterTransfers* transfers = nullptr;
    QPushButton* buttonGo;
    QPushButton* buttonStop;
};

} // namespace live
