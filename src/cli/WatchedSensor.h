#pragma once
// One sensor of `watch`, driven by the event loop without ever blocking it: connect, identify,
// then a measurement every interval; each step is a request written and a reply taken as its
// bytes come. A failure closes the link and tries again after a rest that doubles from 1 s to
// 30 s. Many of these share one thread, so none may wait in a loop of its own as the window's
// link does.
#include "cli/FleetFile.h"
#include "link/ReplyEngine.h"
#include "protocol/FrameCodec.h"
#include "protocol/MeasurementFrame.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <cstdint>
#include <span>
#include <string>

class QHostAddress;
class QSerialPort;
class QSocketNotifier;

namespace cli {

class WatchedSensor : public QObject {
    Q_OBJECT
public:
    static constexpr int kFirstRestMs = 1000;
    static constexpr int kLongestRestMs = 30000;

    // What the sensor tells the watch; called on the event loop's thread.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void Measured(const WatchedSensor& sensor,
                              const protocol::MeasurementFrame& frame) = 0;
        virtual void StatusChanged(const WatchedSensor& sensor, bool online,
                                   const std::string& detail) = 0;
    };

    struct Limits {
        double replySeconds = 3.0;
        int connectMs = 5000;
    };

    WatchedSensor(const WatchTarget& target, double intervalSeconds, Limits limits,
                  Listener& listener, QObject* parent = nullptr);
    ~WatchedSensor() override;

    void Start();
    // Closes the link; nothing more is reported.
    void Stop();

    const std::string& Name() const { return name; }
    const std::string& Where() const { return where; }
    long Measurements() const { return measurements; }

private:
    enum class State { Stopped, Resting, Connecting, Identifying, Idle, Measuring };

    void Connect();
    // TCP by the descriptor itself: one poll, one recv and one send a measurement, where a
    // socket object adds a size query and its own signals to each.
    void ConnectTo(const QHostAddress& address);
    void Connected();
    void CloseLink();
    void TakeTcpBytes();
    void Identified(const std::string& firmwareId);
    void SendRequest(std::uint8_t order);
    void ScheduleMeasurement();
    void TakeBytes();
    void Write(std::span<const std::uint8_t> frameBytes);
    // The engine judges what came; a whole reply is taken, a failure ends the link.
    void CheckReply();
    // The exchange ended: the reply to `asked`, or the failure.
    void TakeResult();
    void Fail(const std::string& shellText);
    void FailOpen(int cause);
    void OnDeadline();
    void OnSerialError(int error);
    void ArmDeadline(qint64 ms);
    bool Waiting() const;

    Listener& listener;
    std::string name;
    LinkChoice link;
    std::string where;
    double interval;
    Limits limits;
    State state = State::Stopped;
    int socket = -1;
    int lookupId = -1; // a host name being looked up
    QSocketNotifier* readable = nullptr;
    QSocketNotifier* writable = nullptr; // while a connect is under way
    QSerialPort* serial = nullptr;
    QTimer nextStep;     // the next measurement, or the next try after a rest
    QTimer deadline;     // wakes to look at deadlineNs; restarted only when it has passed
    QElapsedTimer clock; // since Start
    qint64 deadlineNs = 0;
    qint64 deadlineWakeNs = 0; // when the deadline timer, if running, wakes
    qint64 plannedNs = 0;      // when the measurement under way was due
    std::uint8_t asked = 0;
    int restMs = kFirstRestMs;
    bool reportedOffline = false;
    std::string lastReason;
    long measurements = 0;
    // The rules of every reply, shared with the window's link; it holds the bytes received.
    comm::ReplyEngine engine;
    std::array<std::uint16_t, protocol::frame::kWordCount> words{};
    protocol::MeasurementFrame frame;
};

} // namespace cli
