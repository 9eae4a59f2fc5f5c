#pragma once
// A single-shot timer with nanosecond resolution (a Linux timerfd watched by the event loop).
// Pacing replies at a baud rate needs waits far shorter than the millisecond steps of QTimer,
// or every reply ends up to a millisecond late and the line looks slower than it is.
#include <QObject>

#include <functional>

class QSocketNotifier;

namespace sim {

class NanoTimer : public QObject {
public:
    explicit NanoTimer(std::function<void()> onTimeout, QObject* parent = nullptr);
    ~NanoTimer() override;
    NanoTimer(const NanoTimer&) = delete;
    NanoTimer& operator=(const NanoTimer&) = delete;

    // Fires once after `nanoseconds` (at least 1 ns); replaces an earlier start.
    void StartIn(qint64 nanoseconds);
    void Stop();

private:
    void OnReadable();

    std::function<void()> onTimeout;
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
};

} // namespace sim
