#pragma once
// The GO loop: measures turn after turn until the command gate asks it to stop; pending SEND and
// GET are served between two measurements, SEND first.
#include <functional>

namespace core {
struct AppState;
class CommandGate;
enum class StopCause;
class ParameterTransfers;
} // namespace core
namespace comm {
class SensorOperations;
}

namespace live {

class LiveDrawing;

class GoLoop {
public:
    GoLoop(core::AppState& state, core::CommandGate& gate, comm::SensorOperations& operations,
           LiveDrawing& drawing);
    // The parameter commands the loop serves; set once, when the parameter pages exist.
    void AttachTransfers(core::ParameterTransfers& transfers) { this->transfers = &transfers; }

    // Returns the cause that ended the loop, as it stood before the loop's end cleared a Loop.
    core::StopCause RunGoLoop();
    // A loop of its own for a panel that records measurements: each valid one is taken into the
    // current frame and handed to `take`, which returns false to end the loop. Pending SEND and
    // GET wait, and the data panel is left alone.
    void MeasureEach(const std::function<bool()>& take);
    // The current frame to the histories at once, and to every live display and chart at the
    // refresh clock's next tick.
    void ShowMeasurement();
    // What ShowMeasurement has not shown yet, now.
    void ShowPendingNow();

private:
    core::AppState& state;
    core::CommandGate& gate;
    comm::SensorOperations& operations;
    LiveDrawing& drawing;
    core::ParameterTransfers* transfers = nullptr;
};

} // namespace live
