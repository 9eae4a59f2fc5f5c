#pragma once
// Connecting to the sensor: opening the chosen link, identifying the sensor, reading its
// parameters, and changing its baud rate.
#include <QObject>

namespace core {
struct AppState;
class ParameterTransfers;
class Shell;
} // namespace core

namespace comm {

class CommPage;
class SensorOperations;

class Connection : public QObject {
    Q_OBJECT
public:
    Connection(core::AppState& state, core::Shell& shell, SensorOperations& operations,
               CommPage& page, core::ParameterTransfers& transfers);

    // Opens the chosen link and identifies the sensor.
    void TryToConnect();
    // Reads the firmware identification, then the sensor's parameters.
    void IdentifySensor();
    // Sends the new baud rate, reopens the port at that rate and connects again.
    void ChangeBaudrate();

signals:
    // The link in use, for the data panel.
    void LinkInUse(bool serial, int portNumber, const QString& server);

private:
    core::AppState& state;
    core::Shell& shell;
    SensorOperations& operations;
    CommPage& page;
    core::ParameterTransfers& transfers;
};

} // namespace comm
