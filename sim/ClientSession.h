#pragma once
// One client on one link: cuts its requests out of the stream, lets the model answer, and sends
// each reply out shaped by the faults (delay, pieces, pacing, closing). While the client has
// trigger-driven sending on, each trigger edge queues a measurement frame behind the replies; a
// scan it asked for queues its four blocks behind them when the recording is complete.
#include "sim/Faults.h"
#include "sim/MeasurementClock.h"
#include "sim/NanoTimer.h"
#include "sim/RequestParser.h"
#include "sim/ScopeCapture.h"
#include "sim/SensorModel.h"
#include "sim/TriggerSource.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>

#include <deque>
#include <functional>
#include <memory>

namespace sim {

class ClientSession : public QObject {
    Q_OBJECT
public:
    using WriteFunction = std::function<void(const QByteArray&)>;
    using CloseFunction = std::function<void()>;
    using LogFunction = std::function<void(const Request&)>;

    ClientSession(SensorModel& model, const Faults& faults, TriggerSource& trigger,
                  MeasurementClock& cycles, LogFunction log, WriteFunction write,
                  CloseFunction close, QObject* parent = nullptr);
    ~ClientSession() override;

    void Receive(const QByteArray& bytes);
    bool IsClosed() const { return closed; }
    bool TriggerSending() const { return triggerSending; }
    bool ScanPending() const { return capture != nullptr; }
    // A scan has its pre-trigger samples and waits for the trigger.
    bool ScanArmed() const { return capture && capture->Armed(); }
    // The client went away: nothing more is sent unasked, neither on triggers nor from a scan.
    void StopSendingUnasked();
    // Lets the oldest reply held by the hold fault go out (its delay, if any, begins then); the
    // replies queued behind it follow unless held themselves. The bytes it carries, 0 when no
    // reply is held.
    int ReleaseHeldReply();

private:
    struct Queued {
        ReplyPlan plan;
        int order = 0;
        bool pushed = false; // sent on a trigger edge, not asked for
    };

    void Pump();
    void StartReply();
    void FinishReply();
    bool WriteDue(qint64 now);
    void SetTriggerSending(bool on);
    void OnTriggerEdge();
    void StartScan(const ScopeSettings& settings);
    void StopScan();
    void OnMeasured(const ScopeSample& sample);

    SensorModel& model;
    const Faults& faults;
    TriggerSource& trigger;
    MeasurementClock& cycles;
    LogFunction log;
    WriteFunction write;
    CloseFunction close;
    RequestParser parser;

    std::deque<Queued> queue;
    bool busy = false;
    bool closed = false;
    Queued current;
    std::size_t piece = 0;
    std::size_t offset = 0;
    qint64 dueNs = 0;        // when the current piece may start (or continue)
    qint64 pieceStartNs = 0; // when pacing of the current piece began
    int countedReplies = 0;
    bool triggerSending = false;
    bool pushWaiting = false; // a pushed frame is queued and has not started yet
    QMetaObject::Connection edgeConnection;
    std::unique_ptr<ScopeCapture> capture;
    int cycleListener = 0; // 0: not listening to the measurement cycle
    QElapsedTimer clock;
    NanoTimer timer{[this] { Pump(); }};
};

} // namespace sim
