#include "sim/NanoTimer.h"

#include <QSocketNotifier>

#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>

namespace sim {

NanoTimer::NanoTimer(std::function<void()> onTimeout, QObject* parent)
    : QObject(parent), onTimeout(std::move(onTimeout)) {
    fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0) return;
    notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &NanoTimer::OnReadable);
}

NanoTimer::~NanoTimer() {
    delete notifier;
    if (fd >= 0) ::close(fd);
}

void NanoTimer::StartIn(qint64 nanoseconds) {
    if (fd < 0) return;
    if (nanoseconds < 1) nanoseconds = 1; // zero would disarm the timer
    itimerspec timing{};
    timing.it_value.tv_sec = static_cast<time_t>(nanoseconds / 1000000000);
    timing.it_value.tv_nsec = static_cast<long>(nanoseconds % 1000000000);
    timerfd_settime(fd, 0, &timing, nullptr);
}

void NanoTimer::Stop() {
    if (fd < 0) return;
    itimerspec timing{};
    timerfd_settime(fd, 0, &timing, nullptr);
}

void NanoTimer::OnReadable() {
    std::uint64_t expirations = 0;
    if (::read(fd, &expirations, sizeof expirations) != sizeof expirations) return;
    onTimeout();
}

} // namespace sim
