#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace app {

namespace {

// One program, one window: the pipe is the process's.
int signalPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up; the byte is not needed.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> endProgram, QObject* parent)
    : QObject(parent), end(std::move(endProgram)) {
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
    notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[64];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        if (end) end();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    armed = true;
    for (const int number : kSignals)
        armed = ::sigaction(number, &action, nullptr) == 0 && armed;
}

TerminationSignals::~TerminationSignals() {
    if (!notifier) return;
    for (const int number : kSignals)
        std::signal(number, SIG_DFL);
    delete notifier;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

} // namespace app
