// How long a screen reader's question waits for its answer in the program ("is STOP enabled?",
// asked through the accessibility interfaces in process), with GO stopped and with GO running
// over TCP loopback, and how many value changes a listener hears a second while GO runs.
// Prints figures; asserts nothing.
#include "ConnectedProgram.h"
#include "controls/AccessibleValue.h"
#include "sim/SimThread.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

long valueChanges = 0;

void CountEvents(QAccessibleEvent* event) {
    if (event->type() == QAccessible::ValueChanged) ++valueChanges;
}

// Asks `count` times, each question posted to the event loop as a screen reader's request
// arrives, and keeps how long each waited for its answer (µs).
class Asker {
public:
    Asker(QWidget& stop, int count, std::function<void()> done)
        : stop(stop), remaining(count), done(std::move(done)) {
        clock.start();
    }
    void AskNext() {
        const qint64 posted = clock.nsecsElapsed();
        QTimer::singleShot(0, [this, posted] {
            QAccessibleInterface* button = QAccessible::queryAccessibleInterface(&stop);
            enabled += button && !button->state().disabled ? 1 : 0;
            waits.push_back(double(clock.nsecsElapsed() - posted) / 1e3);
            if (--remaining > 0)
                QTimer::singleShot(2, [this] { AskNext(); });
            else
                done();
        });
    }
    double Median() {
        std::sort(waits.begin(), waits.end());
        return waits.empty() ? 0 : waits[waits.size() / 2];
    }
    double Percentile90() { return waits.empty() ? 0 : waits[waits.size() * 9 / 10]; }
    int enabled = 0;

private:
    QWidget& stop;
    int remaining;
    std::function<void()> done;
    QElapsedTimer clock;
    std::vector<double> waits;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    const int questions = argc > 1 ? std::atoi(argv[1]) : 500;
    // A listener in a screen reader's place, so the program announces as it would to one.
    core::ListenInsteadOfScreenReader(CountEvents);

    sim::SimThread simulator;
    const quint16 port = simulator.StartTcp(0);
    ConnectedProgram connected(QString(), port);
    QWidget& window = connected.program.Window();
    auto* go = window.findChild<QPushButton*>(QStringLiteral("ButtonGo"));
    auto* stop = window.findChild<QPushButton*>(QStringLiteral("ButtonStop"));

    QEventLoop idle;
    Asker stopped(*stop, questions, [&] { idle.quit(); });
    stopped.AskNext();
    idle.exec();

    Asker running(*stop, questions, [&] { stop->click(); });
    QElapsedTimer goClock;
    long changesBefore = 0;
    // Asked once the loop runs; the click on GO returns when STOP has ended it.
    QTimer::singleShot(500, [&] {
        changesBefore = valueChanges;
        goClock.start();
        running.AskNext();
    });
    go->click();
    const double goSeconds = double(goClock.nsecsElapsed()) / 1e9;

    const double idleMedian = stopped.Median();
    const double goMedian = running.Median();
    std::printf("\"is STOP enabled?\" through the accessibility interfaces, %d questions each:\n",
                questions);
    std::printf("  GO stopped: median wait %.1f us, 90 %% within %.1f us (enabled %d times)\n",
                idleMedian, stopped.Percentile90(), stopped.enabled);
    std::printf("  GO running: median wait %.1f us, 90 %% within %.1f us (enabled %d times)\n",
                goMedian, running.Percentile90(), running.enabled);
    std::printf("  running / stopped: %.2f\n", idleMedian > 0 ? goMedian / idleMedian : 0.0);
    std::printf("  value changes heard while GO ran: %.0f/s\n",
                goSeconds > 0 ? double(valueChanges - changesBefore) / goSeconds : 0.0);
    return 0;
}
