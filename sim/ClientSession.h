#pragma once
// One client on one link: cuts its requests out of the stream, lets the model answer, and sends
// each reply out shaped by the faults (delay, pieces, pacing, closing).
#include "sim/Faults.h"
#include "sim/NanoTimer.h"
#include "sim/RequestParser.h"
#include "sim/SensorModel.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>

#include <deque>
#include <functional>

namespace sim {

class ClientSession : public QObject {
    Q_OBJECT
public:
    using WriteFunction = std::function<void(const QByteArray&)>;
    using CloseFunction = std::function<void()>;
    using LogFunction = std::function<void(const Request&)>;

    ClientSession(SensorModel& model, const Faults& faults, LogFunction log, WriteFunction write,
                  CloseFunction close, QObject* parent = nullptr);

    void Receive(const QByteArray& bytes);
    bool IsClosed() const { return closed; }

private:
    struct Queued {
        ReplyPlan plan;
        int order = 0;
    };

    void Pump();
    void StartReply();
    void FinishReply();
    bool WriteDue(qint64 now);

    SensorModel& model;
    const Faults& faults;
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
    QElapsedTimer clock;
    NanoTimer timer{[this] { Pump(); }};
};

} // namespace sim
