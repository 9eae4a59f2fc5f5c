#pragma once
// Runs a SimServer on a thread of its own, so a test can talk to it from its main thread
// over real sockets and ptys. Not to be called from the simulator's own thread.
#include "sim/Faults.h"
#include "sim/SensorModel.h"

#include <QString>
#include <QThread>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace sim {

class SimServer;

class SimThread {
public:
    explicit SimThread(SensorModel::Options options = {});
    ~SimThread();
    SimThread(const SimThread&) = delete;
    SimThread& operator=(const SimThread&) = delete;

    // Listens on 127.0.0.1; port 0 takes any free port. Returns the port bound, 0 on failure.
    quint16 StartTcp(quint16 port = 0);
    // Opens a pty and links `linkPath` to its slave. False on failure (see LastError).
    bool StartPty(const QString& linkPath);
    QString PtySlavePath() const;
    // Whether the simulator holds a client on the pty: false once it has seen the last one hang
    // up, until the slave is opened again.
    bool PtyClientPresent() const;
    QString LastError() const;

    void SetFaults(const FaultSettings& settings);
    FaultSettings CurrentFaults() const;
    void ClearFaults();

    // Replies the hold fault keeps back go out only when the test says so: each call lets the
    // oldest held reply of every connection go (its delay, if any, begins then), so a late reply
    // comes exactly when the test wants it. The bytes released, 0 when nothing was held.
    int ReleaseHeldReply();

    std::vector<Request> RequestLog() const;
    void ClearRequestLog();

    // Copies of the model's parameter memory, taken on the simulator's thread.
    ParameterSets RamImage() const;
    ParameterSets EepromImage() const;
    void SetRamImage(int set, const ParameterImage& image);

    // The simulated trigger input. Period 0 means no periodic triggers (input only); default 200.
    void SetTriggerPeriodMs(int ms);
    // One simulated input edge: each connection with trigger sending on pushes one frame.
    void FireTrigger();
    // Whether any connection currently has trigger sending on.
    bool TriggerSending() const;
    // The reply code of the frames triggers push (8 unless set; 0 makes them error replies).
    void SetTriggerFrameCode(int code);

    // Holds the input IN0 at `high` from now on, instead of the light barrier's pattern (high
    // for 150 of every 200 measurement cycles). A low-to-high change is what EXTERNAL IN0 scans
    // wait for.
    void SetInput0(bool high);
    // Gives the object in front of the sensor `digits` more blue for the next `cycles`
    // measurement cycles (1 ms each while a scan runs), starting now. Blue, and so INT (by a
    // third) and M, rise to it within some 30 cycles and fall back as gradually afterwards.
    void PulseChannel3(int digits, int cycles);
    // Holds the object at raw means 1500 + spread / 2, 1500 and 1500 − spread / 2 (red, green,
    // blue; spread up to 3000) with the usual noise, so the raw values' max − min averages
    // `spread`; a negative spread lets the object drift as at start.
    void SetRawSpread(int spread);
    // What the sensor's calibration memory holds now: the factors of order 101 argument 0
    // (1024 = 1.0 at start) and the dark offsets of order 101 argument 1 or order 100 (0 at
    // start), red, green, blue.
    std::array<std::uint16_t, 3> CalibrationFactors() const;
    std::array<std::uint16_t, 3> Offsets() const;

    // Whether any connection has a scan waiting for its samples.
    bool ScanPending() const;
    // Whether any connection's scan has stored its pre-trigger samples and waits for the
    // trigger: an edge given now is not missed.
    bool ScanArmed() const;
    // Scans lay out their rings with the trigger sample at position `index` (0..127) instead of
    // starting at 0; the blocks report it, so the trace's rotation differs from the pre-trigger
    // count. Negative: back to the start at 0.
    void SetScopeTriggerIndex(int index);

    // Closes all clients, removes the pty link and ends the thread. Also run by the destructor.
    void Stop();

    // Runs `onEdge` on the simulator's thread at each edge of the trigger input from now on,
    // before the frames that connections turning trigger sending on later push for it.
    void WatchTriggerEdges(std::function<void()> onEdge);

private:
    template <typename Function> void RunOnServer(Function&& function) const;

    QThread thread;
    SimServer* server = nullptr;
};

} // namespace sim
