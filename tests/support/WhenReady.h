#pragma once
// Acting in the middle of a command that runs inside a click: the test cannot wait for the
// moment itself, so a timer looks for it while the command's own wait serves events.
#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace support {

// Generous on purpose: on a busy machine the moment comes late, but it comes.
inline constexpr int kEventLimitMs = 60000;

// Runs `action` once `ready` holds. Should the moment not come within kEventLimitMs, runs
// `giveUp` instead (which ends the command, so the test fails rather than hangs). Deleting the
// returned watch ends it early.
inline QPointer<QTimer> WhenReady(QObject* owner, std::function<bool()> ready,
                                  std::function<void()> action, std::function<void()> giveUp) {
    auto* poll = new QTimer(owner);
    const QDeadlineTimer deadline(kEventLimitMs);
    QObject::connect(poll, &QTimer::timeout, owner, [=] {
        const bool now = ready();
        if (!now && !deadline.hasExpired()) return;
        poll->stop();
        poll->deleteLater();
        if (now)
            action();
        else
            giveUp();
    });
    poll->start(5);
    return poll;
}

} // namespace support
