#pragma once
// The communication subsystem as the window composes it: the communication page and the
// connection procedures behind its buttons.
#include <QObject>

#include <functional>
#include <memory>

namespace core {
struct AppState;
class ParameterTransfers;
class Registrar;
class Shell;
} // namespace core

namespace comm {

class CommPage;
class Connection;
class MonitorWindow;
class ProtocolMonitor;
class SensorLink;
class SensorOperations;

class CommModule : public QObject {
    Q_OBJECT
public:
    CommModule(core::AppState& state, core::Shell& shell, core::Registrar& registrar,
               SensorLink& link, SensorOperations& operations, core::ParameterTransfers& transfers);
    ~CommModule() override;

    CommPage& Page() { return *page; }
    Connection& Connect() { return *connection; }
    ProtocolMonitor& Monitor() { return *monitor; }

    // TRY TO CONNECT and CHANGE BAUDRATE as commands: one at a time, controls dimmed meanwhile.
    void RunTryToConnect();
    void RunChangeBaudrate();
    // Opens or closes the protocol monitor; the link feeds it only while it is open.
    void ShowMonitor(bool open);
    // Asked before the operator's TRY TO CONNECT or CHANGE BAUDRATE, which read the sensor's
    // parameters into the panel; false keeps the panel and does nothing.
    void SetParameterReadCheck(std::function<bool()> check) {
        mayReadParameters = std::move(check);
    }

private:
    core::AppState& state;
    core::Shell& shell;
    SensorLink& link;
    CommPage* page;
    std::unique_ptr<ProtocolMonitor> monitor;
    MonitorWindow* monitorWindow = nullptr; // made when first opened, owned by the page
    std::unique_ptr<Connection> connection;
    std::function<bool()> mayReadParameters;
};

} // namespace comm
