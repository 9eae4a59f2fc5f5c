#include "sim/TriggerSource.h"

#include <algorithm>

namespace sim {

TriggerSource::TriggerSource(QObject* parent) : QObject(parent) {
    // Coarse timers may drift by 5 %, which a client measuring the frame rate would notice.
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &TriggerSource::Fire);
}

void TriggerSource::SetPeriodMs(int ms) {
    periodMs = std::max(ms, 0);
    timer.stop();
    UpdateTimer();
}

void TriggerSource::Fire() {
    emit Edge();
}

void TriggerSource::AddListener() {
    ++listeners;
    UpdateTimer();
}

void TriggerSource::RemoveListener() {
    if (listeners.load() > 0) --listeners;
    UpdateTimer();
}

void TriggerSource::UpdateTimer() {
    const bool wanted = periodMs > 0 && listeners.load() > 0;
    if (!wanted) {
        timer.stop();
        return;
    }
    if (!timer.isActive()) timer.start(periodMs);
}

} // namespace sim
