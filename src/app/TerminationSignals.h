#pragma once
// SIGTERM (a session that ends, a service manager), SIGINT (Ctrl-C in the terminal that started
// the window) and SIGHUP (that terminal closed) end the program as closing the window does: what
// runs ends, the settings are written. Nothing is asked, as nobody is there to answer. The
// handler only writes a byte to a pipe; the window's thread does the rest.
#include <QObject>

#include <functional>

class QSocketNotifier;

namespace app {

class TerminationSignals : public QObject {
public:
    // `end` runs on the window's thread, once per signal that arrives.
    explicit TerminationSignals(std::function<void()> end, QObject* parent = nullptr);
    ~TerminationSignals() override;
    // False when the pipe or a handler could not be set up: the signals then end the process as
    // they did before.
    bool Armed() const { return armed; }

private:
    std::function<void()> end;
    QSocketNotifier* notifier = nullptr;
    bool armed = false;
};

} // namespace app
