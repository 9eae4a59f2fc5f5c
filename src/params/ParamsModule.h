#pragma once
// The parameter subsystem as the window composes it: the parameter, group/hold and teach-table
// pages, SEND and GET with their selectors, and the parameter transfers other subsystems use.
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace core {
struct AppState;
class OperatorDialogs;
class ParameterTransfers;
class Registrar;
class Shell;
} // namespace core
namespace comm {
class SensorOperations;
}
namespace live {
class DataPanel;
class LiveDrawing;
} // namespace live

namespace params {

class GroupHoldPage;
class ParameterPage;
class ParameterPanels;
class ParameterTransfer;
class TeachTablePage;
class TransferControls;

class ParamsModule : public QObject {
    Q_OBJECT
public:
    ParamsModule(core::AppState& state, core::Shell& shell, core::OperatorDialogs& dialogs,
                 core::Registrar& registrar, comm::SensorOperations& operations,
                 live::DataPanel& data, live::LiveDrawing& drawing);
    ~ParamsModule() override;

    ParameterPanels& Panels() { return *panels; }
    TeachTablePage& TeachTable() { return *teachTablePage; }
    core::ParameterTransfers& Transfers();

    // The panel's changes not sent to the sensor: the first line of every question before they
    // would be lost.
    static constexpr const char* kUnsentText =
        "The panel holds changes that have not been sent to the sensor. \n";
    // True when the panel holds nothing unsent, or the operator agrees to lose it; `how` says
    // what replaces it.
    bool MayReplacePanel(const std::string& how);
    // Whether the panel holds unsent changes, shown on SEND as well.
    bool ShowUnsent();

    // SEND and GET as commands. While GO runs or another command holds the gate, they are
    // queued through their pending flags and served after it.
    void RunSend();
    void RunGet();
    // A parameter file named at the start (the desktop's "open with") into the panel, as GET
    // from FILE reads one; SEND then puts it in the sensor.
    void OpenParameterFile(const std::string& path);

private:
    // Runs one transfer through the gate, or sets its pending flag while another command runs.
    void RunTransfer(const char* name, std::uint16_t& pending,
                     const std::function<void()>& transferNow);
    void ServeQueued();

    core::AppState& state;
    core::Shell& shell;
    core::OperatorDialogs& dialogs;
    ParameterPage* parameterPage;
    GroupHoldPage* groupHoldPage;
    TeachTablePage* teachTablePage;
    TransferControls* transferControls;
    std::unique_ptr<ParameterPanels> panels;
    std::unique_ptr<ParameterTransfer> transfer;
};

} // namespace params
