// Figures for the GO loop: its rate with every display updating beside bare exchanges, the CPU
// time of a wait for a silent sensor, and the rate over a paced pseudo-terminal as a share of
// the line. Prints figures; asserts nothing.
#include "app/MainPanel.h"
#include "app/Program.h"
#include "core/AppState.h"
#include "link/CommPage.h"
#include "link/SensorLink.h"
#include "live/GoLoop.h"
#include "live/LiveModule.h"
#include "sim/SimThread.h"
#include "support/RecordingCommView.h"
#include "support/ScriptedOperator.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

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
    explicit TcpLink(quint16 port) {
        state->link.protocol = kTcpIp;
        state->link.serverName = "127.0.0.1";
        state->link.tcpPortNumber = port;
        link.ConnectToServer();
    }
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    RecordingCommView view;
    SensorLink link{*state, view};
};

int Measure(SensorLink& link, AppState& state) {
    state.frames.currentOrder = 8;
    link.BuildRequestFrame(8, 0, 0, 0);
    const int result = link.ExchangeFrames(8);
    if (result == 1) link.DecodeMeasurementWords();
    return result;
}

struct Figures {
    double rate = 0;       // measurements per second
    double cpuPerTurn = 0; // seconds of this thread's CPU per measurement
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Bare exchanges for `seconds`, no window at all.
Figures BareRate(quint16 port, double seconds) {
    TcpLink tcp(port);
    auto& state = tcp.state;
    auto& link = tcp.link;
    QElapsedTimer clock;
    const double cpuStart = ThreadCpuSeconds();
    clock.start();
    long turns = 0;
    while (clock.nsecsElapsed() < qint64(seconds * 1e9)) {
        if (Measure(link, *state) != 1) return {};
        ++turns;
    }
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    return {double(turns) / elapsed, (ThreadCpuSeconds() - cpuStart) / double(turns)};
}

// The real GO button with every display, for `seconds`.
Figures GoRate(sim::SimThread& simulator, quint16 port, double seconds) {
    auto state = std::make_unique<AppState>();
    ScriptedOperator dialogs;
    app::Program program(*state, dialogs);
    QTemporaryDir programDir;
    program.SetProgramDirectory(programDir.path());
    program.Link().SetSerialDeviceResolver([](int) { return std::string(); });
    program.InitApplication();
    auto* protocol =
        program.Window().findChild<QComboBox*>(QStringLiteral("EditCommunicationProtocol"));
    protocol->setCurrentIndex(1);
    emit protocol->activated(1);
    program.Window()
        .findChild<QComboBox*>(QStringLiteral("StringIpAdress"))
        ->setEditText(QStringLiteral("127.0.0.1"));
    program.Window()
        .findChild<QLineEdit*>(QStringLiteral("StringPortNumber"))
        ->setText(QString::number(port));
    program.Window().findChild<QPushButton*>(QStringLiteral("ButtonTryToConnect"))->click();
    program.ShowPage(core::MainPage::Parameters);
    simulator.ClearRequestLog();
    QElapsedTimer clock;
    QTimer::singleShot(int(seconds * 1000), [&] { program.Live().CBF_ButtonStop(); });
    const double cpuStart = ThreadCpuSeconds();
    clock.start();
    program.Live().CBF_ButtonGo();
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = ThreadCpuSeconds() - cpuStart;
    long turns = 0;
    for (const auto& request : simulator.RequestLog())
        turns += request.order == 8 ? 1 : 0;
    return {double(turns) / elapsed, cpu / double(std::max(turns, 1L))};
}

void SilentWaitCpu(quint16 port, sim::SimThread& simulator) {
    TcpLink tcp(port);
    auto& state = tcp.state;
    auto& link = tcp.link;
    sim::FaultSettings faults;
    faults.silence = sim::Fault{true, 0, 8};
    simulator.SetFaults(faults);
    const double cpuStart = ThreadCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    Measure(link, *state);
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
    auto state = std::make_unique<AppState>();
    RecordingCommView view;
    SensorLink link(*state, view);
    link.SetSerialDeviceResolver([path](int) { return path.toStdString(); });
    state->link.baudRateCode = 4;
    link.OpenSerialPort();
    QElapsedTimer clock;
    const double cpuStart = ThreadCpuSeconds();
    clock.start();
    long turns = 0;
    while (clock.nsecsElapsed() < qint64(seconds * 1e9)) {
        if (Measure(link, *state) != 1) {
            std::printf("pty: exchange failed: %s\n", view.log.c_str());
            return;
        }
        ++turns;
    }
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    const double cpuPerTurn = (ThreadCpuSeconds() - cpuStart) / double(std::max(turns, 1L));
    const int replyBytes = 8 + state->frames.dataLength;
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

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;

    sim::SimThread simulator;
    const quint16 port = simulator.StartTcp(0);
    if (port == 0) return 1;
    // Warm both paths once, then alternate short rounds so both see the same machine noise;
    // medians of the rounds.
    BareRate(port, 0.3);
    constexpr int kRounds = 8;
    std::vector<double> bareRates, goRates, bareCpu, goCpu;
    for (int round = 0; round < kRounds; ++round) {
        const auto bare = BareRate(port, seconds / kRounds);
        const auto go = GoRate(simulator, port, seconds / kRounds);
        bareRates.push_back(bare.rate);
        bareCpu.push_back(bare.cpuPerTurn);
        goRates.push_back(go.rate);
        goCpu.push_back(go.cpuPerTurn);
    }
    const double bare = Median(bareRates);
    const double go = Median(goRates);
    std::printf("bare exchanges over TCP loopback: %.0f measurements/s, %.1f us CPU per turn\n",
                bare, Median(bareCpu) * 1e6);
    std::printf("GO loop with all displays:        %.0f measurements/s, %.1f us CPU per turn\n", go,
                Median(goCpu) * 1e6);
    std::printf("GO loop / bare (rate): %.1f %%\n", 100.0 * go / bare);
    SilentWaitCpu(port, simulator);
    PacedPty(seconds);
    return 0;
}
