#pragma once
// The parameter subsystem as the window composes it: the parameter, group/hold and teach-table
// pages, SEND and GET with their selectors, and the parameter transfers other subsystems use.
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>

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

    // SEND and GET as commands. While GO runs or another command holds the gate, they are
    // queued through their pending flags and served after it.
    void RunSend();
    void RunGet();

private:
    // Runs one transfer through the gate, or sets its pending flag while another command runs.
    void RunTransfer(const char* name, std::uint16_t& pending,
                     const std::function<void()>& transferNow);
    void ServeQueued();

    core::AppState& state;
    core::Shell& shell;
    ParameterPage* parameterPage;
    GroupHoldPage* groupHoldPage;
    TeachTablePage* teachTablePage;
    TransferControls* transferControls;
    std::unique_ptr<ParameterPanels> panels;
    std::unique_ptr<ParameterTransfer> transfer;
};

} // namespace params
