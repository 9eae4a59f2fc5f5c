// Figures for the wait on the sensor's reply, against the simulator running as a process of its
// own: the program's CPU per GO turn and its rate over TCP loopback, beside a bare client of
// ours on a raw socket; wake-ups per turn and share of the line on a pseudo-terminal paced at
// 115200 baud, on a quiet machine and with both cores kept busy; and how long an event posted
// from outside (as a click is) waits to be served while the loop runs. Pin the program and the
// simulator it starts with taskset. Argument: seconds per round. Prints figures; asserts nothing.
#include "BareClient.h"
#include "BusyProcesses.h"
#include "ConnectedProgram.h"
#include "ResidentMemory.h"
#include "commpage/CommModule.h"
#include "core/EventDispatcher.h"
#include "link/ProtocolMonitor.h"
#include "live/LiveModule.h"
#include "protocol/FrameCodec.h"
#include "protocol/Orders.h"
#include "support/RecordingCommView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace bench;
using namespace comm;
using namespace core;

namespace {

// The same over a pseudo-terminal: reads that return at every byte, so the reply is taken the
// moment its last byte is in.
Round RawPtyRound(const QString& path, double seconds) {
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (fd < 0) return {};
    termios settings{};
    ::tcgetattr(fd, &settings);
    ::cfmakeraw(&settings);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &settings);
    const auto request = MeasurementRequest();
    std::uint8_t reply[protocol::frame::kBufferSize];
    int replyBytes = 0;
    Round round = Measure(seconds, [&] {
        if (::write(fd, request.data(), request.size()) != ssize_t(request.size())) return false;
        replyBytes =
            ReadReply(reply, [&](std::uint8_t* to, std::size_t n) { return ::read(fd, to, n); });
        return replyBytes > 0;
    });
    round.replyBytes = replyBytes;
    ::close(fd);
    return round;
}

// One measurement exchange as the GO loop makes it; the reply's data length, -1 on a failure.
int MeasureOnce(SensorLink& link) {
    const protocol::Reply reply =
        link.ExchangeFrames(protocol::MakeRequest(protocol::kOrderMeasure));
    return reply.Ok() ? int(reply.data.size()) : -1;
}

// The program's link without a window: its exchanges, one after the other.
struct BareLink {
    BareLink(quint16 port, const QString& path) {
        if (path.isEmpty())
            link.ConnectToServer("127.0.0.1", port);
        else
            link.OpenSerialPort(1, path.toStdString(), 4);
    }
    Round Run(double seconds) {
        const long wakeUpsBefore = link.WaitWakeUps();
        int dataLength = 0;
        Round round = Measure(seconds, [&] {
            dataLength = MeasureOnce(link);
            return dataLength >= 0;
        });
        round.wakeUps = link.WaitWakeUps() - wakeUpsBefore;
        round.replyBytes = int(protocol::frame::kHeaderSize) + dataLength;
        return round;
    }
    RecordingCommView view;
    SensorLink link{view};
};

// The GO button of the whole program, its RGB data page in front. Counted from 0.2 s after the
// click, past the first painting of the dimmed controls and the page.
Round GoRound(ConnectedProgram& connected, double seconds) {
    auto& program = connected.program;
    constexpr int kSettleMs = 200;
    std::uint64_t turnsAtMark = 0;
    long wakeUpsAtMark = 0;
    double cpuAtMark = 0;
    QElapsedTimer clock;
    QTimer::singleShot(kSettleMs, [&] {
        clock.start();
        cpuAtMark = ProcessCpuSeconds();
        turnsAtMark = connected.state->live.measurementCount;
        wakeUpsAtMark = program.Link().WaitWakeUps();
    });
    QTimer::singleShot(kSettleMs + int(seconds * 1000), [&] { program.Live().CBF_ButtonStop(); });
    program.Live().CBF_ButtonGo();
    Round round;
    if (!clock.isValid()) return round;
    round.seconds = double(clock.nsecsElapsed()) / 1e9;
    round.cpu = ProcessCpuSeconds() - cpuAtMark;
    round.turns = long(connected.state->live.measurementCount - turnsAtMark);
    round.wakeUps = program.Link().WaitWakeUps() - wakeUpsAtMark;
    round.replyBytes = int(protocol::frame::kHeaderSize) + 2 * protocol::MeasurementFrame::kWords;
    return round;
}

// Posts events from another thread, one at a time at random moments, as the window system
// delivers clicks, and notes how long each waits to be handled.
class ClickProbe : public QObject {
public:
    static QEvent::Type ProbeType() {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }
    void Start() {
        poster = std::thread([this] {
            std::mt19937 random(7);
            std::uniform_int_distribution<int> pauseUs(1000, 9000);
            while (!stop) {
                handled = false;
                posted = Clock::now();
                QCoreApplication::postEvent(this, new QEvent(ProbeType()));
                while (!handled && !stop)
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                std::this_thread::sleep_for(std::chrono::microseconds(pauseUs(random)));
            }
        });
    }
    void Stop() {
        stop = true;
        poster.join();
        QCoreApplication::removePostedEvents(this);
    }
    bool event(QEvent* e) override {
        if (e->type() != ProbeType()) return QObject::event(e);
        latenciesMs.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - posted.load()).count());
        handled = true;
        return true;
    }
    void Print(const char* what) {
        std::sort(latenciesMs.begin(), latenciesMs.end());
        if (latenciesMs.empty()) {
            std::printf("  %s: no event was served\n", what);
            return;
        }
        std::printf("  %s: %zu events; served within %.2f ms median, %.2f ms at the 99th "
                    "percentile, %.2f ms at most\n",
                    what, latenciesMs.size(), latenciesMs[latenciesMs.size() / 2],
                    latenciesMs[latenciesMs.size() * 99 / 100], latenciesMs.back());
    }

private:
    using Clock = std::chrono::steady_clock;
    std::thread poster;
    std::atomic<bool> stop{false};
    std::atomic<bool> handled{false};
    std::atomic<Clock::time_point> posted{};
    std::vector<double> latenciesMs;
};

void ClicksDuringGo(ConnectedProgram& connected, double seconds, const char* what) {
    ClickProbe probe;
    probe.Start();
    GoRound(connected, seconds);
    probe.Stop();
    probe.Print(what);
}

void TcpRounds(quint16 port, BareLink& bare, ConnectedProgram& connected, double seconds,
               const char* condition) {
    std::vector<double> blockingCpu, blockingRate, rawCpu, rawRate, rawWakes, linkCpu, linkRate,
        goCpu, goRate, goWakes, cpuRatio, rateRatio;
    constexpr int kRounds = 6;
    for (int i = 0; i < kRounds; ++i) {
        // Alternated, so that all of them see the same noise of the machine.
        const Round blocking = RawTcpRound(port, seconds, false);
        long switches = VoluntarySwitches();
        const Round raw = RawTcpRound(port, seconds, true);
        rawWakes.push_back(double(VoluntarySwitches() - switches) / std::max(raw.turns, 1L));
        const Round link = bare.Run(seconds);
        switches = VoluntarySwitches();
        const Round go = GoRound(connected, seconds);
        goWakes.push_back(double(VoluntarySwitches() - switches) / std::max(go.turns, 1L));
        blockingCpu.push_back(blocking.CpuPerTurnUs());
        blockingRate.push_back(blocking.Rate());
        rawCpu.push_back(raw.CpuPerTurnUs());
        rawRate.push_back(raw.Rate());
        linkCpu.push_back(link.CpuPerTurnUs());
        linkRate.push_back(link.Rate());
        goCpu.push_back(go.CpuPerTurnUs());
        goRate.push_back(go.Rate());
        cpuRatio.push_back(go.CpuPerTurnUs() / std::max(raw.CpuPerTurnUs(), 1e-9));
        rateRatio.push_back(go.Rate() / std::max(raw.Rate(), 1e-9));
    }
    std::printf("TCP loopback %s, medians of %d rounds of %.1f s (CPU of this process per turn, "
                "wake-ups of its main thread per turn):\n",
                condition, kRounds, seconds);
    std::printf("  bare client, blocking reads, no time limit: %7.0f/s %6.2f us\n",
                Median(blockingRate), Median(blockingCpu));
    std::printf("  bare client, poll with the time limit:      %7.0f/s %6.2f us %5.2f wake-ups\n",
                Median(rawRate), Median(rawCpu), Median(rawWakes));
    std::printf("  program's link, no window:                  %7.0f/s %6.2f us\n",
                Median(linkRate), Median(linkCpu));
    std::printf("  GO button, RGB page:                        %7.0f/s %6.2f us %5.2f wake-ups\n",
                Median(goRate), Median(goCpu), Median(goWakes));
    std::printf("  GO / bare client with the time limit: CPU per turn %.3f x (rounds %.3f..%.3f), "
                "rate %.1f %%\n",
                Median(cpuRatio), *std::min_element(cpuRatio.begin(), cpuRatio.end()),
                *std::max_element(cpuRatio.begin(), cpuRatio.end()), 100.0 * Median(rateRatio));
}

void TcpFigures(double seconds) {
    SimProcess simulator({QStringLiteral("--tcp"), QStringLiteral("0")});
    const quint16 port = simulator.TcpPort();
    if (port == 0) {
        std::printf("TCP: the simulator did not start\n");
        return;
    }
    BareLink bare(port, QString());
    ConnectedProgram connected(QString(), port);
    connected.program.Window().show();
    connected.ShowDataPage(0);
    RawTcpRound(port, 0.3, true);
    TcpRounds(port, bare, connected, seconds, "as the machine is");
    {
        const BusyProcesses busy(2);
        TcpRounds(port, bare, connected, seconds, "beside two busy processes");
    }
    ClicksDuringGo(connected, 3 * seconds, "events posted during the GO loop over TCP");
}

void PtyRounds(const QString& path, double seconds, const char* condition) {
    // One reader on the terminal at a time: the others keep it closed while a round runs.
    ConnectedProgram connected(path, 0);
    auto& programLink = connected.program.Link();
    programLink.CloseSerialPort();
    connected.program.Window().show();
    connected.ShowDataPage(0);
    constexpr int kRounds = 8;
    std::vector<double> rawShare, linkShare, goShare, linkWakes, goWakes, linkCpu, goCpu;
    for (int i = 0; i < kRounds; ++i) {
        const Round raw = RawPtyRound(path, seconds);
        const Round link = BareLink(0, path).Run(seconds);
        programLink.OpenSerialPort(1, path.toStdString(), 4);
        const Round go = GoRound(connected, seconds);
        programLink.CloseSerialPort();
        rawShare.push_back(100 * raw.LineShare());
        linkShare.push_back(100 * link.LineShare());
        goShare.push_back(100 * go.LineShare());
        linkWakes.push_back(double(link.wakeUps) / std::max(link.turns, 1L));
        goWakes.push_back(double(go.wakeUps) / std::max(go.turns, 1L));
        linkCpu.push_back(link.CpuPerTurnUs());
        goCpu.push_back(go.CpuPerTurnUs());
    }
    auto lowest = [](const std::vector<double>& v) {
        return *std::min_element(v.begin(), v.end());
    };
    auto highest = [](const std::vector<double>& v) {
        return *std::max_element(v.begin(), v.end());
    };
    std::printf("pty at 115200 baud, %s, %d rounds of %.1f s: share of the line (replies), "
                "lowest / median round\n",
                condition, kRounds, seconds);
    std::printf("  bare client, blocking reads: %5.1f %% / %5.1f %%\n", lowest(rawShare),
                Median(rawShare));
    std::printf("  program's link:              %5.1f %% / %5.1f %%, wake-ups per turn at most "
                "%.2f, %.0f us CPU per turn\n",
                lowest(linkShare), Median(linkShare), highest(linkWakes), Median(linkCpu));
    std::printf("  GO button, RGB page:         %5.1f %% / %5.1f %%, wake-ups per turn at most "
                "%.2f, %.0f us CPU per turn\n",
                lowest(goShare), Median(goShare), highest(goWakes), Median(goCpu));
    if (std::string(condition) != "quiet") return;
    programLink.OpenSerialPort(1, path.toStdString(), 4);
    ClicksDuringGo(connected, 3 * seconds, "events posted during the GO loop over the pty");
}

void PtyFigures(double seconds) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tty"));
    SimProcess simulator(
        {QStringLiteral("--pty"), path, QStringLiteral("--baud"), QStringLiteral("115200")});
    if (!simulator.Ready()) {
        std::printf("pty: the simulator did not start\n");
        return;
    }
    // Held open between the rounds, or the simulator takes the last close for a client gone and
    // looks for the next one only every 50 ms. It never reads.
    const int holder = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    PtyRounds(path, seconds, "quiet");
    const auto busy = StartBusyProcesses(2);
    PtyRounds(path, seconds, "two busy processes");
    StopProcesses(busy);
    ::close(holder);
}

// The GO loop over TCP with the protocol monitor closed and open, alternated round by round.
void MonitorFigures(double seconds) {
    SimProcess simulator({QStringLiteral("--tcp"), QStringLiteral("0")});
    if (simulator.TcpPort() == 0) {
        std::printf("monitor: the simulator did not start\n");
        return;
    }
    ConnectedProgram connected(QString(), simulator.TcpPort());
    connected.program.Window().show();
    connected.ShowDataPage(0);
    auto& comm = connected.program.Comm();
    GoRound(connected, 0.3);
    std::vector<double> closedRate, openRate;
    constexpr int kRounds = 4;
    for (int i = 0; i < kRounds; ++i) {
        comm.ShowMonitor(false);
        closedRate.push_back(GoRound(connected, seconds).Rate());
        comm.ShowMonitor(true);
        openRate.push_back(GoRound(connected, seconds).Rate());
    }
    comm.ShowMonitor(false);
    const double closed = Median(closedRate);
    const double open = Median(openRate);
    std::printf("GO loop over TCP, median of %d rounds: monitor closed %.0f turns/s, open %.0f "
                "turns/s, %.1f %% kept\n",
                kRounds, closed, open, closed > 0 ? 100 * open / closed : 0.0);
}

// What the program holds after `seconds` of GO over TCP with its window shown, and what the
// protocol monitor adds once it is open and its ring full.
void MemoryFigures(double seconds) {
    SimProcess simulator({QStringLiteral("--tcp"), QStringLiteral("0")});
    if (simulator.TcpPort() == 0) {
        std::printf("memory: the simulator did not start\n");
        return;
    }
    ConnectedProgram connected(QString(), simulator.TcpPort());
    connected.program.Window().show();
    QCoreApplication::processEvents();
    const long started = ResidentKilobytes();
    const Round go = GoRound(connected, seconds);
    const long afterGo = ResidentKilobytes();
    std::printf("resident memory, GO over TCP with the window shown (%s):\n",
                qPrintable(QGuiApplication::platformName()));
    std::printf("  after the start-up %ld kB, after %.0f s of GO (%ld turns) %ld kB\n", started,
                go.seconds, go.turns, afterGo);
    // Open for 20 s of GO: the ring is full many times over, and a view that adds a hundred
    // lines a refresh has had time for ten thousand of them.
    auto& comm = connected.program.Comm();
    comm.ShowMonitor(true);
    GoRound(connected, 20);
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const long monitorOpen = ResidentKilobytes();
    std::printf("  protocol monitor open, %zu frames held (%llu recorded): %ld kB, %+ld kB\n",
                comm.Monitor().Size(), static_cast<unsigned long long>(comm.Monitor().Recorded()),
                monitorOpen, monitorOpen - afterGo);
    comm.ShowMonitor(false);
}

// How soon STOP ends the GO loop with the machine busy: a timer of the main thread clicks the
// STOP button at a random moment of each round, as the tests do; noted are how late the timer
// fired and how long from the click until GO's handler returned, with another thread posting
// events all the while as the window system delivers clicks.
void StopRounds(ConnectedProgram& connected, const char* what) {
    auto* go = connected.program.Window().findChild<QPushButton*>(QStringLiteral("ButtonGo"));
    auto* stop = connected.program.Window().findChild<QPushButton*>(QStringLiteral("ButtonStop"));
    using Clock = std::chrono::steady_clock;
    std::mt19937 random(11);
    std::uniform_int_distribution<int> afterMs(100, 900);
    std::vector<double> lateMs, endMs;
    ClickProbe probe;
    probe.Start();
    constexpr int kRounds = 20;
    for (int i = 0; i < kRounds; ++i) {
        const int due = afterMs(random);
        const Clock::time_point started = Clock::now();
        Clock::time_point clicked{};
        QTimer::singleShot(due, [&] {
            clicked = Clock::now();
            lateMs.push_back(std::chrono::duration<double, std::milli>(clicked - started).count() -
                             due);
            stop->click();
        });
        go->click();                                  // returns once the loop has ended
        if (clicked == Clock::time_point{}) continue; // the loop ended before the click
        endMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - clicked).count());
    }
    probe.Stop();
    std::sort(lateMs.begin(), lateMs.end());
    std::sort(endMs.begin(), endMs.end());
    if (endMs.empty()) {
        std::printf("  %s: GO never ran until its STOP\n", what);
        return;
    }
    std::printf("  %s, %d rounds: STOP's timer late by %.2f ms median, %.2f ms at most; the loop "
                "ended %.2f ms median, %.2f ms at most after the click\n",
                what, kRounds, lateMs[lateMs.size() / 2], lateMs.back(), endMs[endMs.size() / 2],
                endMs.back());
    probe.Print("    events posted meanwhile");
}

void StopFigures() {
    std::printf("STOP during GO, the program's own buttons:\n");
    SimProcess tcpSimulator({QStringLiteral("--tcp"), QStringLiteral("0")});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tty"));
    SimProcess ptySimulator(
        {QStringLiteral("--pty"), path, QStringLiteral("--baud"), QStringLiteral("115200")});
    if (tcpSimulator.TcpPort() == 0 || !ptySimulator.Ready()) {
        std::printf("  the simulators did not start\n");
        return;
    }
    ConnectedProgram overTcp(QString(), tcpSimulator.TcpPort());
    overTcp.program.Window().show();
    overTcp.ShowDataPage(0);
    ConnectedProgram overPty(path, 0);
    overPty.program.Window().show();
    overPty.ShowDataPage(0);
    StopRounds(overTcp, "TCP, as the machine is");
    StopRounds(overPty, "pty, as the machine is");
    const BusyProcesses busy(4);
    StopRounds(overTcp, "TCP, four busy processes");
    StopRounds(overPty, "pty, four busy processes");
}

} // namespace

int main(int argc, char** argv) {
    // Offscreen unless told otherwise: the memory figures are the program's under a real X
    // server (QT_QPA_PLATFORM=xcb).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    core::UseQtEventDispatcher(); // as the program does
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    sched_getaffinity(0, sizeof cpus, &cpus);
    std::printf("wait figures on %d core(s)\n", CPU_COUNT(&cpus));
    // One part alone: "tcp", "pty", "monitor", "memory" or "stop" for its figures, "raw-tcp",
    // "link-tcp", "go-tcp", "link-pty" or "go-pty" for a profiler.
    const QString part = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (part == QLatin1String("tcp")) {
        TcpFigures(seconds);
        return 0;
    }
    if (part == QLatin1String("monitor")) {
        MonitorFigures(seconds);
        return 0;
    }
    if (part == QLatin1String("stop")) {
        StopFigures();
        return 0;
    }
    if (part == QLatin1String("memory")) {
        MemoryFigures(seconds);
        return 0;
    }
    if (part == QLatin1String("raw-tcp")) {
        SimProcess simulator({QStringLiteral("--tcp"), QStringLiteral("0")});
        const Round round = RawTcpRound(simulator.TcpPort(), seconds, true);
        std::printf("%ld turns, %.2f us CPU each\n", round.turns, round.CpuPerTurnUs());
        return 0;
    }
    if (part == QLatin1String("go-tcp")) {
        SimProcess simulator({QStringLiteral("--tcp"), QStringLiteral("0")});
        ConnectedProgram connected(QString(), simulator.TcpPort());
        connected.program.Window().show();
        connected.ShowDataPage(0);
        const Round round = GoRound(connected, seconds);
        std::printf("%ld turns, %.2f us CPU each\n", round.turns, round.CpuPerTurnUs());
        return 0;
    }
    if (part == QLatin1String("link-tcp")) {
        SimProcess simulator({QStringLiteral("--tcp"), QStringLiteral("0")});
        const Round round = BareLink(simulator.TcpPort(), QString()).Run(seconds);
        std::printf("%ld turns, %.2f us CPU each\n", round.turns, round.CpuPerTurnUs());
        return 0;
    }
    if (part == QLatin1String("go-pty")) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tty"));
        SimProcess simulator(
            {QStringLiteral("--pty"), path, QStringLiteral("--baud"), QStringLiteral("115200")});
        ConnectedProgram connected(path, 0);
        connected.program.Window().show();
        connected.ShowDataPage(0);
        const Round round = GoRound(connected, seconds);
        std::printf("%ld turns, %.1f %% of the line, %.0f us CPU each\n", round.turns,
                    100 * round.LineShare(), round.CpuPerTurnUs());
        return 0;
    }
    if (part == QLatin1String("link-pty")) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tty"));
        SimProcess simulator(
            {QStringLiteral("--pty"), path, QStringLiteral("--baud"), QStringLiteral("115200")});
        BareLink link(0, path);
        const Round round = link.Run(seconds);
        std::printf("%ld turns, %.2f wake-ups each: %s\n", round.turns,
                    double(round.wakeUps) / std::max(round.turns, 1L), link.view.log.c_str());
        return 0;
    }
    if (part.isEmpty()) TcpFigures(seconds);
    if (part.isEmpty() || part == QLatin1String("pty")) PtyFigures(seconds);
    return 0;
}
