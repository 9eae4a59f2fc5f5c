// Figures for the GO loop: its rate with every display and chart of one data page updating
// beside bare exchanges, the allocations per measurement, what the charts cost to paint, the
// CPU time of a wait for a silent sensor, and the rate over a paced pseudo-terminal as a share
// of the line. Prints figures; asserts nothing.
#include "ConnectedProgram.h"
#include "app/Program.h"
#include "core/AppState.h"
#include "core/EventDispatcher.h"
#include "link/SensorLink.h"
#include "live/GoLoop.h"
#include "live/LiveModule.h"
#include "protocol/Orders.h"
#include "sim/SimThread.h"
#include "support/RecordingCommView.h"
#include "support/ScriptedOperator.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <qcustomplot.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <new>
#include <vector>

// Every allocation of the process, counted.
namespace {
std::atomic<long> allocations{0};
} // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

using namespace comm;
using namespace core;

namespace {

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// A bare link to the simulator, no window.
struct TcpLink {
    explicit TcpLink(quint16 port) { link.ConnectToServer("127.0.0.1", port); }
    RecordingCommView view;
    SensorLink link{view};
};

// One measurement exchange as the GO loop makes it; the reply's data length, -1 on a failure.
int Measure(SensorLink& link) {
    const protocol::Reply reply =
        link.ExchangeFrames(protocol::MakeRequest(protocol::kOrderMeasure));
    return reply.Ok() ? int(reply.data.size()) : -1;
}

struct Figures {
    double rate = 0;       // measurements per second
    double cpuPerTurn = 0; // seconds of this thread's CPU per measurement
    double allocationsPerTurn = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Bare exchanges for `seconds`, no window at all.
Figures BareRate(quint16 port, double seconds) {
    TcpLink tcp(port);
    auto& link = tcp.link;
    QElapsedTimer clock;
    const double cpuStart = ThreadCpuSeconds();
    clock.start();
    long turns = 0;
    const long allocationsAtStart = allocations.load();
    while (clock.nsecsElapsed() < qint64(seconds * 1e9)) {
        if (Measure(link) < 0) return {};
        ++turns;
    }
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    return {double(turns) / elapsed, (ThreadCpuSeconds() - cpuStart) / double(turns),
            double(allocations.load() - allocationsAtStart) / double(turns)};
}

struct GoFigures : Figures {
    double paintMsPerFrame = 0;          // replotting the page's charts once
    double showAllocationsPerTurn = 0;   // taking and showing one measurement
    double paintAllocationsPerFrame = 0; // replotting the page's charts once
};

// The real GO button for `seconds`, with one data page in front.
GoFigures GoRate(ConnectedProgram& connected, double seconds) {
    auto& program = connected.program;
    QElapsedTimer clock;
    long turnsBefore = 0;
    QTimer::singleShot(int(seconds * 1000), [&] { program.Live().CBF_ButtonStop(); });
    // Allocations are counted once the loop runs, over its last part.
    long allocationsAtMark = 0;
    std::uint64_t turnsAtMark = 0;
    QTimer::singleShot(int(seconds * 500), [&] {
        allocationsAtMark = allocations.load();
        turnsAtMark = connected.state->live.measurementCount;
    });
    turnsBefore = long(connected.state->live.measurementCount);
    const double cpuStart = ThreadCpuSeconds();
    clock.start();
    program.Live().CBF_ButtonGo();
    const long allocationsAtEnd = allocations.load();
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = ThreadCpuSeconds() - cpuStart;
    const long turns = long(connected.state->live.measurementCount) - turnsBefore;
    GoFigures figures;
    figures.rate = double(turns) / elapsed;
    figures.cpuPerTurn = cpu / double(std::max(turns, 1L));
    const auto lateTurns = double(connected.state->live.measurementCount - turnsAtMark);
    figures.allocationsPerTurn =
        double(allocationsAtEnd - allocationsAtMark) / std::max(lateTurns, 1.0);
    // What the program itself allocates to take and show a measurement, away from the event
    // loop's own traffic.
    constexpr int kShown = 20000;
    const long beforeShow = allocations.load();
    for (int i = 0; i < kShown; ++i) {
        connected.state->live.frame.w[0] = std::uint16_t(i & 0xFFF);
        program.Live().Loop().ShowMeasurement();
    }
    figures.showAllocationsPerTurn = double(allocations.load() - beforeShow) / kShown;
    // What one frame of painting costs: every visible chart replotted at once.
    const auto plots = program.Window().findChildren<QCustomPlot*>();
    QElapsedTimer paint;
    const long beforePaint = allocations.load();
    paint.start();
    constexpr int kFrames = 20;
    for (int i = 0; i < kFrames; ++i) {
        for (QCustomPlot* plot : plots) {
            if (plot->isVisible()) plot->replot(QCustomPlot::rpImmediateRefresh);
        }
    }
    figures.paintMsPerFrame = double(paint.nsecsElapsed()) / 1e6 / kFrames;
    figures.paintAllocationsPerFrame = double(allocations.load() - beforePaint) / kFrames;
    return figures;
}

void SilentWaitCpu(quint16 port, sim::SimThread& simulator) {
    TcpLink tcp(port);
    auto& link = tcp.link;
    sim::FaultSettings faults;
    faults.silence = sim::Fault{true, 0, 8};
    simulator.SetFaults(faults);
    const double cpuStart = ThreadCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    Measure(link);
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = ThreadCpuSeconds() - cpuStart;
    simulator.ClearFaults();
    std::printf("silent sensor wait: %.3f s wall, %.4f s CPU = %.2f %% of one core\n", wall, cpu,
                100.0 * cpu / wall);
}

void PacedPty(double seconds) {
    QTemporaryDir dir;
    sim::SimThread simulator;
    const QString path = dir.filePath(QStringLiteral("tty"));
    if (!simulator.StartPty(path)) {
        std::printf("pty: cannot start: %s\n", qPrintable(simulator.LastError()));
        return;
    }
    sim::FaultSettings faults;
    faults.baudRate = sim::Fault{true, 115200, sim::kAllOrders};
    simulator.SetFaults(faults);
    RecordingCommView view;
    SensorLink link(view);
    link.OpenSerialPort(1, path.toStdString(), 4);
    QElapsedTimer clock;
    const double cpuStart = ThreadCpuSeconds();
    clock.start();
    long turns = 0;
    int dataLength = 0;
    while (clock.nsecsElapsed() < qint64(seconds * 1e9)) {
        dataLength = Measure(link);
        if (dataLength < 0) {
            std::printf("pty: exchange failed: %s\n", view.log.c_str());
            return;
        }
        ++turns;
    }
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    const double cpuPerTurn = (ThreadCpuSeconds() - cpuStart) / double(std::max(turns, 1L));
    const int replyBytes = 8 + dataLength;
    const int requestBytes = 8;
    const double rate = double(turns) / elapsed;
    const double lineBytesPerSecond = 115200.0 / 10.0;
    std::printf("pty at 115200 baud: %.1f measurements/s; reply %d bytes, request %d bytes; "
                "%.0f us CPU per turn\n",
                rate, replyBytes, requestBytes, cpuPerTurn * 1e6);
    std::printf("  paced direction (replies): %.1f %% of the line\n",
                100.0 * rate * replyBytes / lineBytesPerSecond);
    std::printf("  both directions counted as one half-duplex line: %.1f %%\n",
                100.0 * rate * (replyBytes + requestBytes) / lineBytesPerSecond);
}

} // namespace

// The GO loop over the pseudo-terminal, the simulator pacing its replies at 115200 baud.
void GoOverPacedPty(double seconds) {
    QTemporaryDir dir;
    sim::SimThread simulator;
    const QString path = dir.filePath(QStringLiteral("tty"));
    if (!simulator.StartPty(path)) {
        std::printf("GO over pty: cannot start: %s\n", qPrintable(simulator.LastError()));
        return;
    }
    sim::FaultSettings faults;
    faults.baudRate = sim::Fault{true, 115200, sim::kAllOrders};
    simulator.SetFaults(faults);
    ConnectedProgram connected(path, 0);
    connected.ShowDataPage(0);
    const GoFigures go = GoRate(connected, seconds);
    const double lineBytesPerSecond = 115200.0 / 10.0;
    const int replyBytes = 8 + 2 * protocol::MeasurementFrame::kWords;
    std::printf("GO loop over pty at 115200 baud (RGB page): %.1f measurements/s = %.1f %% of "
                "what the line carries for the %d-byte replies\n",
                go.rate, 100.0 * go.rate * replyBytes / lineBytesPerSecond, replyBytes);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    core::UseQtEventDispatcher(); // as the program does
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;

    sim::SimThread simulator;
    const quint16 port = simulator.StartTcp(0);
    if (port == 0) return 1;
    // Warm both paths once, then alternate short rounds so both see the same machine noise;
    // medians of the rounds, for each data page in front.
    BareRate(port, 0.3);
    ConnectedProgram connected(QString(), port);
    connected.program.Window().show();
    constexpr int kRounds = 6;
    const char* pageNames[4] = {"RGB", "INT", "2D", "3D"};
    for (int page = 0; page < 4; ++page) {
        connected.ShowDataPage(page);
        std::vector<double> bareRates, goRates, bareCpu, goCpu, bareAllocs, allocs, paint,
            showAllocs, paintAllocs;
        for (int round = 0; round < kRounds; ++round) {
            const auto bare = BareRate(port, seconds / kRounds);
            const auto go = GoRate(connected, seconds / kRounds);
            bareRates.push_back(bare.rate);
            bareCpu.push_back(bare.cpuPerTurn);
            bareAllocs.push_back(bare.allocationsPerTurn);
            goRates.push_back(go.rate);
            goCpu.push_back(go.cpuPerTurn);
            allocs.push_back(go.allocationsPerTurn);
            paint.push_back(go.paintMsPerFrame);
            showAllocs.push_back(go.showAllocationsPerTurn);
            paintAllocs.push_back(go.paintAllocationsPerFrame);
        }
        const double bare = Median(bareRates);
        const double go = Median(goRates);
        std::printf("%-3s page: bare %6.0f/s %5.1f us CPU; GO %6.0f/s %5.1f us CPU; "
                    "GO/bare %5.1f %%\n",
                    pageNames[page], bare, Median(bareCpu) * 1e6, go, Median(goCpu) * 1e6,
                    100.0 * go / bare);
        std::printf(
            "    allocations: %.2f per GO turn, %.2f per bare turn (the simulator thread's); "
            "%.3f per measurement shown\n",
            Median(allocs), Median(bareAllocs), Median(showAllocs));
        std::printf("    painting: %.2f ms and %.0f allocations per frame = %.0f ms/s at 25 "
                    "frames/s\n",
                    Median(paint), Median(paintAllocs), Median(paint) * 25);
    }
    SilentWaitCpu(port, simulator);
    PacedPty(seconds);
    GoOverPacedPty(seconds);
    return 0;
}
