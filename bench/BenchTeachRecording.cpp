// Figures for the recorded-value teach panel. First its recording loop (START on the panel, the
// whole program against the simulator as a process of its own over TCP loopback) beside the bare
// client of ours: CPU and wake-ups per point and per exchange, and their ratio. Then the panel
// alone: what one more point costs (the point into the buffer, and its share of a refresh tick
// that puts the new dots into the three clouds, the cursors and displays onto the newest, and
// paints the panel) when the clouds hold about 2000 points and when they hold about 56000, and
// how far the process grows while 60000 points are recorded. Argument: seconds per round
// (default 1). Prints figures; asserts nothing.
#include "BareClient.h"
#include "BusyProcesses.h"
#include "ConnectedProgram.h"
#include "ResidentMemory.h"
#include "core/AppState.h"
#include "core/EventDispatcher.h"
#include "live/DisplayWidgets.h"
#include "live/LiveModule.h"
#include "protocol/MeasurementFrame.h"
#include "support/ScriptedOperator.h"
#include "teach/RecordedValuePanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace bench;

namespace {

// A colour passing the sensor with noise and a slow drift, repeatable from run to run.
class Cloud {
public:
    protocol::MeasurementFrame Next() {
        const double drift = 40 * std::sin(double(count++) / 3000);
        protocol::MeasurementFrame frame;
        frame.w[protocol::MeasurementFrame::kX] = Word(3100 + drift + 25 * Noise());
        frame.w[protocol::MeasurementFrame::kY] = Word(2900 - drift + 25 * Noise());
        frame.w[protocol::MeasurementFrame::kInt] = Word(1500 + 60 * Noise());
        return frame;
    }

private:
    static std::uint16_t Word(double v) { return std::uint16_t(std::lround(v)); }
    // Sum of four uniform values: roughly normal, in -2..2.
    double Noise() {
        double sum = 0;
        for (int i = 0; i < 4; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            sum += double(seed >> 11) / double(1ULL << 53) - 0.5;
        }
        return sum;
    }
    std::uint64_t seed = 12345;
    int count = 0;
};

// One recording with START, from an emptied panel, counted from 0.2 s after the click (past
// the first painting of the dimmed controls) until STOP `seconds` later or a full buffer.
Round RecordingRound(ConnectedProgram& connected, teach::RecordedValuePanel& panel,
                     double seconds) {
    constexpr int kSettleMs = 200;
    auto& points = connected.state->teach.recordCount;
    panel.ResetRecording();
    std::uint16_t pointsAtMark = 0;
    long switchesAtMark = 0;
    double cpuAtMark = 0;
    QElapsedTimer clock;
    QTimer::singleShot(kSettleMs, [&] {
        clock.start();
        cpuAtMark = ProcessCpuSeconds();
        switchesAtMark = VoluntarySwitches();
        pointsAtMark = points;
    });
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [&] { connected.program.Live().CBF_ButtonStop(); });
    stop.start(kSettleMs + int(seconds * 1000));
    panel.findChild<QPushButton*>(QStringLiteral("ButtonTP2Start"))->click();
    stop.stop();
    Round round;
    if (!clock.isValid()) return round;
    round.seconds = double(clock.nsecsElapsed()) / 1e9;
    round.cpu = ProcessCpuSeconds() - cpuAtMark;
    round.turns = long(points) - long(pointsAtMark);
    round.wakeUps = VoluntarySwitches() - switchesAtMark;
    return round;
}

Round BareRound(quint16 port, double seconds) {
    const long switches = VoluntarySwitches();
    Round round = RawTcpRound(port, seconds, true);
    round.wakeUps = VoluntarySwitches() - switches;
    return round;
}

void LoopFigures(double seconds) {
    SimProcess simulator({QStringLiteral("--tcp"), QStringLiteral("0")});
    const quint16 port = simulator.TcpPort();
    if (port == 0) {
        std::printf("recording loop: the simulator did not start\n");
        return;
    }
    ConnectedProgram connected(QString(), port);
    auto& window = connected.program.Window();
    window.show();
    window.findChild<QPushButton*>(QStringLiteral("ButtonTeachRecVal"))->click();
    auto* panel = window.findChild<teach::RecordedValuePanel*>(QStringLiteral("TEACHP2"));
    RawTcpRound(port, 0.3, true);
    auto measure = [&](const char* condition) {
        std::vector<double> bareCpu, bareRate, bareWakes, recCpu, recRate, recWakes, cpuRatio,
            rateRatio;
        constexpr int kRounds = 6;
        for (int i = 0; i < kRounds; ++i) {
            // Alternated, so that both see the same noise of the machine.
            const Round bare = BareRound(port, seconds);
            const Round recording = RecordingRound(connected, *panel, seconds);
            if (bare.turns <= 0 || recording.turns <= 0) continue;
            bareCpu.push_back(bare.CpuPerTurnUs());
            bareRate.push_back(bare.Rate());
            bareWakes.push_back(double(bare.wakeUps) / double(bare.turns));
            recCpu.push_back(recording.CpuPerTurnUs());
            recRate.push_back(recording.Rate());
            recWakes.push_back(double(recording.wakeUps) / double(recording.turns));
            cpuRatio.push_back(recording.CpuPerTurnUs() / bare.CpuPerTurnUs());
            rateRatio.push_back(recording.Rate() / bare.Rate());
        }
        if (cpuRatio.empty()) {
            std::printf("recording loop %s: no round was measured\n", condition);
            return;
        }
        std::printf("recorded-value teach %s, START over TCP loopback beside the bare client "
                    "(poll with the time limit), medians of %zu rounds of %.1f s:\n",
                    condition, cpuRatio.size(), seconds);
        std::printf("  bare client:       %7.0f exchanges/s, %6.2f us CPU and %.2f wake-ups "
                    "each\n",
                    Median(bareRate), Median(bareCpu), Median(bareWakes));
        std::printf("  recording (START): %7.0f points/s,    %6.2f us CPU and %.2f wake-ups "
                    "each\n",
                    Median(recRate), Median(recCpu), Median(recWakes));
        std::printf("  recording / bare client: CPU per point %.2f x (rounds %.2f..%.2f), rate "
                    "%.1f %%\n",
                    Median(cpuRatio), *std::min_element(cpuRatio.begin(), cpuRatio.end()),
                    *std::max_element(cpuRatio.begin(), cpuRatio.end()), 100.0 * Median(rateRatio));
    };
    measure("as the machine is");
    const BusyProcesses busy(2);
    measure("beside two busy processes");
}

void PanelFigures() {
    auto state = std::make_unique<core::AppState>();
    ScriptedOperator dialogs;
    live::RefreshClock clock;
    teach::RecordedValuePanel panel(state->teach, dialogs, clock);
    panel.resize(1000, 700);
    panel.show();
    QApplication::processEvents();

    const long before = ResidentKilobytes();
    Cloud cloud;
    auto cpuNow = [] {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
    };
    // The refresh clock ticks 25 times a second: at 50 000 points a second each tick brings
    // 2000 new points into the clouds, the cursors and displays onto the newest, and the panel
    // is painted.
    constexpr int kPerTick = 2000;
    constexpr int kEarly = 2000;
    constexpr int kLate = 56000; // before the last point, which shows at once
    double early = 0;
    double late = 0;
    double blockStart = 0;
    for (int k = 0; k < core::kTeachPointCapacity; ++k) {
        if (k == kEarly || k == kLate) blockStart = cpuNow();
        panel.PlotTeachPoint(cloud.Next());
        if ((k + 1) % kPerTick != 0) continue;
        panel.ShowRecorded();
        panel.repaint();
        if (k + 1 == kEarly + kPerTick) early = (cpuNow() - blockStart) / kPerTick * 1e6;
        if (k + 1 == kLate + kPerTick) late = (cpuNow() - blockStart) / kPerTick * 1e6;
    }
    const long after = ResidentKilobytes();
    const double bufferKb = double(core::kTeachPointCapacity * sizeof(core::TeachPoint)) / 1024;

    std::printf("recorded-value teach panel alone (1000 x 700), brought up to date and painted "
                "every %d points (a tick at 50 000 points/s):\n",
                kPerTick);
    std::printf("  clouds of %5d..%5d points: %6.2f us CPU per point\n", kEarly, kEarly + kPerTick,
                early);
    std::printf("  clouds of %5d..%5d points: %6.2f us CPU per point (ratio %.2f)\n", kLate,
                kLate + kPerTick, late, late / early);
    std::printf("  resident memory: %ld kB before, %ld kB after 60000 points: grew %ld kB "
                "(the fixed buffer is %.0f kB, allocated with the state)\n",
                before, after, after - before, bufferKb);
    std::printf("  recorded: %d\n", int(state->teach.recordCount));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    core::UseQtEventDispatcher(); // as the program does
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
    LoopFigures(seconds);
    PanelFigures();
    return 0;
}
