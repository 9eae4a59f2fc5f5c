#pragma once
// The scope as the window composes it: the settings page, the scope panel, the cycle-time
// measurement, the scan with its break, the cursor deltas and the printout.
#include <QObject>

namespace core {
struct AppState;
class OperatorDialogs;
class Registrar;
class Shell;
} // namespace core
namespace comm {
class SensorOperations;
}

namespace scope {

class ScopePanel;
class ScopeSettingsPage;

class ScopeModule : public QObject {
    Q_OBJECT
public:
    ScopeModule(core::AppState& state, core::Shell& shell, core::OperatorDialogs& dialogs,
                core::Registrar& registrar, comm::SensorOperations& operations);

    ScopeSettingsPage& Settings() { return *settingsPage; }
    ScopePanel& Panel() { return *panel; }

    void CBF_ButtonGetCycleTime();
    void CBF_ButtonScan();
    void CBF_ButtonBreakScan();
    void CBF_ButtonPrintScopeGraph();
    void CBF_ButtonZoom11();
    // delta X and delta Y from the cursors, the cycle time and the scan rate.
    void UpdateDeltas();

private:
    void MeasureCycleTime();
    void RunScan();
    // How the wait for one block ended: taken into the scope buffer; a bad block whose old
    // samples stay (serial line); the scan broken off by a stop; or failed.
    enum class BlockEnd { Taken, Kept, Broken, Failed };
    // Waits for block `k` and takes it into the scope buffer.
    BlockEnd ReceiveBlock(int k, int triggerMode, int preTrigger);
    void ResetAxes();

    core::AppState& state;
    core::Shell& shell;
    core::OperatorDialogs& dialogs;
    comm::SensorOperations& operations;
    ScopeSettingsPage* settingsPage;
    ScopePanel* panel;
};

} // namespace scope
