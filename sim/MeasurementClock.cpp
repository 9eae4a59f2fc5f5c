#include "sim/MeasurementClock.h"

#include "sim/SensorModel.h"

#include <algorithm>
#include <vector>

namespace sim {

namespace {

// After a long stall (a suspended machine, a debugger) only the last 10 s are measured, rather
// than hours of cycles in one go.
constexpr qint64 kMostCyclesAtOnce = 10000;

} // namespace

MeasurementClock::MeasurementClock(SensorModel& model, QObject* parent)
    : QObject(parent), model(model) {
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(kTickMs);
    connect(&timer, &QTimer::timeout, this, &MeasurementClock::CatchUp);
}

int MeasurementClock::Listen(Listener listener) {
    CatchUp();
    if (listeners.empty()) {
        clock.start();
        cyclesDone = 0;
        timer.start();
    }
    const int id = nextId++;
    listeners.emplace(id, std::move(listener));
    ++listenerCount;
    return id;
}

void MeasurementClock::Unlisten(int id) {
    if (listeners.erase(id) > 0) --listenerCount;
    if (listeners.empty()) timer.stop();
}

void MeasurementClock::CatchUp() {
    if (listeners.empty()) return;
    const qint64 due = clock.nsecsElapsed() / kCycleNs;
    cyclesDone = std::max(cyclesDone, due - kMostCyclesAtOnce);
    std::vector<int> ids;
    while (cyclesDone < due && !listeners.empty()) {
        ++cyclesDone;
        const ScopeSample sample = model.NextScopeSample();
        ids.clear();
        for (const auto& entry : listeners)
            ids.push_back(entry.first);
        for (const int id : ids) {
            const auto found = listeners.find(id);
            if (found == listeners.end()) continue; // left while an earlier one was told
            // A copy: the listener may unlisten, and so destroy the original, while it runs.
            const Listener listener = found->second;
            listener(sample);
        }
    }
}

} // namespace sim
