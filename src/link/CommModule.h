#pragma once
// The communication subsystem as the window composes it: the communication page and the
// connection procedures behind its buttons.
#include <QObject>

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
class SensorLink;

class CommModule : public QObject {
    Q_OBJECT
public:
    CommModule(core::AppState& state, core::Shell& shell, core::Registrar& registrar,
               SensorLink& link, core::ParameterTransfers& transfers);
    ~CommModule() override;

    CommPage& Page() { return *page; }
    Connection& Connect() { return *connection; }

    // TRY TO CONNECT and CHANGE BAUDRATE as commands: one at a time, controls dimmed meanwhile.
    void RunTryToConnect();
    void RunChangeBaudrate();

private:
    core::AppState& state;
    core::Shell& shell;
    CommPage* page;
    std::unique_ptr<Connection> connection;
};

} // namespace comm
