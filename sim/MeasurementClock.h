#pragma once
// The sensor's measurement cycle in real time, for scans. While some scan is pending the model
// measures once every kCycleNs and each sample goes to every pending scan. A coarse timer
// catches up on the cycles that have come due, so waiting for a trigger costs a wake-up every
// few milliseconds, not one per cycle, while the samples keep the pace of the modelled cycle.
#include "sim/ScopeCapture.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>
#include <map>

namespace sim {

class SensorModel;

class MeasurementClock : public QObject {
public:
    using Listener = std::function<void(const ScopeSample&)>;
    static constexpr int kTickMs = 5;

    explicit MeasurementClock(SensorModel& model, QObject* parent = nullptr);

    // Measures what is due so far, then counts `listener` in: it sees the cycles from now on.
    int Listen(Listener listener);
    // Safe from within a listener.
    void Unlisten(int id);
    // Measures every cycle due by now. Whoever changes the model's inputs calls this first, so
    // the change takes effect from the present cycle, not from the last tick.
    void CatchUp();
    // Safe from any thread.
    int Listeners() const { return listenerCount.load(); }

private:
    SensorModel& model;
    QTimer timer{this};
    QElapsedTimer clock;
    qint64 cyclesDone = 0;
    int nextId = 1;
    std::map<int, Listener> listeners;
    std::atomic<int> listenerCount{0};
};

} // namespace sim
