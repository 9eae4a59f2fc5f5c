#pragma once
// Serves the simulated sensor over TCP/IP on 127.0.0.1 and over a pseudo-terminal, and keeps a
// log of the requests it received.
#include "sim/Faults.h"
#include "sim/MeasurementClock.h"
#include "sim/SensorModel.h"
#include "sim/TriggerSource.h"

#include <QObject>
#include <QString>

#include <deque>
#include <mutex>
#include <vector>

class QTcpServer;

namespace sim {

class ClientSession;
class PtyEndpoint;

class SimServer : public QObject {
    Q_OBJECT
public:
    // The log keeps the newest requests only, so a long run does not grow without end.
    static constexpr std::size_t kLogCapacity = 100000;

    explicit SimServer(SensorModel::Options options = {}, QObject* parent = nullptr);
    ~SimServer() override;

    // Port 0 takes any free port; TcpPort() tells the one bound (0 when not listening).
    bool ListenTcp(quint16 port);
    quint16 TcpPort() const;
    bool OpenPty(const QString& linkPath);
    QString PtySlavePath() const;
    bool PtyClientPresent() const;
    // Closes every client and the listeners and removes the pty link.
    void Shutdown();
    QString LastError() const { return lastError; }

    Faults& FaultSwitches() { return faults; }
    SensorModel& Model() { return model; }
    // The trigger input shared by all connections (period 200 ms unless set).
    TriggerSource& Trigger() { return trigger; }
    // Safe from any thread: whether some connection has trigger-driven sending on.
    bool TriggerSending() const { return trigger.Listeners() > 0; }

    // The model's inputs, changed at the present measurement cycle of a running scan.
    void SetInput0(bool high);
    void ToggleInput0();
    void PulseChannel3(int digits, int cycles);
    void SetRawSpread(int spread);
    // Safe from any thread: whether some connection has a scan waiting for its samples.
    bool ScanPending() const { return cycles.Listeners() > 0; }
    // Whether some connection's scan has its pre-trigger samples and waits for the trigger, as
    // of the present measurement cycle: an input changed now is seen by it.
    bool ScanArmed();
    // Where scans put the trigger sample in their rings (0..127); negative: the ring starts at
    // position 0, as usual.
    void SetScopeTriggerIndex(int index) { model.SetScopeTriggerIndex(index); }

    // Each connection's oldest held reply goes out; the bytes they carry together.
    int ReleaseHeldReply();

    // Safe from any thread.
    std::vector<Request> RequestLog() const;
    void ClearRequestLog();

private:
    void AcceptTcpClients();
    ClientSession* MakeSession(std::function<void(const QByteArray&)> write,
                               std::function<void()> close);
    void LogRequest(const Request& request);

    SensorModel model;
    Faults faults;
    TriggerSource trigger{this}; // a child, so it moves to the server's thread with it
    MeasurementClock cycles{model, this};
    QTcpServer* tcp = nullptr;
    PtyEndpoint* pty = nullptr;
    QString lastError;

    mutable std::mutex logMutex;
    std::deque<Request> log;
};

} // namespace sim
