#pragma once
// The GO loop: measures turn after turn until the running flag is cleared; pending SEND and GET
// are served between two measurements, SEND first.
namespace core {
struct AppState;
class ParameterTransfers;
} // namespace core
namespace comm {
class SensorLink;
}

namespace live {

class LiveDrawing;

class GoLoop {
public:
    GoLoop(core::AppState& state, comm::SensorLink& link, LiveDrawing& drawing);
    // The parameter commands the loop serves; set once, when the parameter pages exist.
    void AttachTransfers(core::ParameterTransfers& transfers) { this->transfers = &transfers; }

    void RunGoLoop();
    // Copies the measurement words into the current frame and refreshes every live display and
    // chart.
    void ShowMeasurement();

private:
    core::AppState& state;
    comm::SensorLink& link;
    LiveDrawing& drawing;
    core::ParameterTransfers* transfers = nullptr;
};

} // namespace live
