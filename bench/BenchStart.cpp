// Figures for the start-up, seen from outside as the operator sees it: from the exec of a
// program to its first window mapped on the X server (and the CPU the process used until then),
// and, with that window closed by the window manager's message at once, to the end of the
// process (the close is served after the window's first expose, so this includes its first
// painting). chromix3 and a bare Qt window with one button are started in turn, under whatever
// X server DISPLAY names (run it under Xvfb), with the CPU and the voluntary context switches of
// each run as the kernel counted them for the reaped process; as the machine is, then beside
// two busy processes. chromix3 runs from a copy in a directory of its own whose
// PanelSettings.cfg points at a simulator on TCP loopback, so it starts, connects and reads the
// sensor as at the line. Argument: rounds (default 10). Prints figures; asserts nothing.
#include "BusyProcesses.h"
#include "ProcStatus.h"
#include "SimProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    bool ok = false;
    double mappedMs = 0;
    double cpuToMappedMs = 0;
    double endedMs = 0;
    double cpuMs = 0;
    long voluntarySwitches = 0;
};

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// CPU time of all threads of a running process so far, as the scheduler counts it.
double CpuSoFarMs(pid_t pid) {
    double ns = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly)) ns += stat.readAll().split(' ').value(0).toDouble();
    }
    return ns / 1e6;
}

int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0; // a window that went away between its event and our question
}

class XWatch {
public:
    XWatch() : display(XOpenDisplay(nullptr)) {
        if (!display) return;
        XSetErrorHandler(IgnoreXErrors);
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        pidAtom = XInternAtom(display, "_NET_WM_PID", False);
        protocolsAtom = XInternAtom(display, "WM_PROTOCOLS", False);
        deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSync(display, True);
    }
    ~XWatch() {
        if (display) XCloseDisplay(display);
    }
    bool Ready() const { return display != nullptr; }

    // Waits for a top-level window of process `pid` to be mapped; 0 when the process ended or
    // nothing came within the limit.
    Window WaitForMappedWindow(pid_t pid, int limitMs) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
        while (Clock::now() < deadline) {
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type != MapNotify || event.xmap.override_redirect) continue;
                if (WindowPid(event.xmap.window) == pid) return event.xmap.window;
            }
            siginfo_t ended{};
            if (::waitid(P_PID, id_t(pid), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                ended.si_pid == pid)
                return 0;
            pollfd watched{ConnectionNumber(display), POLLIN, 0};
            ::poll(&watched, 1, 20);
        }
        return 0;
    }

    // What a window manager sends when the operator clicks the close box.
    void SendClose(Window window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = protocolsAtom;
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(deleteAtom);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
    }

    // Drops what came while nothing watched.
    void Drain() {
        XSync(display, False);
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
    }

private:
    pid_t WindowPid(Window window) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        pid_t pid = -1;
        if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                               &items, &after, &data) == Success &&
            data != nullptr && items == 1 && format == 32)
            pid = pid_t(*reinterpret_cast<unsigned long*>(data));
        if (data) XFree(data);
        return pid;
    }

    Display* display;
    Atom pidAtom = None;
    Atom protocolsAtom = None;
    Atom deleteAtom = None;
};

// Starts `path` in `directory`, waits for its window, closes it and reaps the process.
Run StartAndClose(XWatch& x, const QString& path, const QString& directory) {
    x.Drain();
    Run run;
    const QByteArray program = QFile::encodeName(path);
    const QByteArray where = QFile::encodeName(directory);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        if (::chdir(where.constData()) != 0) _exit(126);
        char* const arguments[] = {const_cast<char*>(program.constData()), nullptr};
        ::execv(program.constData(), arguments);
        _exit(127);
    }
    if (pid < 0) return run;
    const Window window = x.WaitForMappedWindow(pid, 30000);
    const auto mapped = Clock::now();
    run.cpuToMappedMs = CpuSoFarMs(pid);
    if (window != 0)
        x.SendClose(window);
    else
        ::kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    // A program that does not end on the close within the limit is a failed run.
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (::wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (Clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            return run;
        }
        ::usleep(200);
    }
    const auto ended = Clock::now();
    auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    run.ok = window != 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.mappedMs = Ms(mapped - start);
    run.endedMs = Ms(ended - start);
    run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    run.voluntarySwitches = usage.ru_nvcsw;
    return run;
}

// The settings an operator's installation has after its first connect over TCP/IP.
QByteArray SettingsFor(quint16 port) {
    const char* lines[] = {"[GENERAL INFO]",
                           "FILE TYPE: = \"Panel Settings\"",
                           "SCOPE VERSION: = \"CHROMIX3-Varev V4.2\"",
                           "PANEL ID: = \"\"",
                           "",
                           "[IP ADDRESSES]",
                           "LIST ITEMS = 1",
                           "IP ADDR 1 = \"127.0.0.1\"",
                           "",
                           "[COMMUNICATION SETTINGS]",
                           "COMPROTOCOL = 1",
                           "COMPORT = 1",
                           "BAUDRATE = 4",
                           "IP ADRESS = \"127.0.0.1\""};
    QByteArray text;
    for (const char* line : lines)
        text += QByteArray(line) + "\r\n";
    text += "PORT NUMBER = \"" + QByteArray::number(port) + "\"\r\n\r\n";
    return text;
}

// The program as installed: its executable and the brand logos beside it, in a directory of
// its own (a hard link where the file system allows one).
bool InstallProgram(const QString& directory) {
    const QFileInfo built(QStringLiteral(CHROMIX_PROGRAM_PATH));
    const QString target = QDir(directory).filePath(built.fileName());
    if (::link(QFile::encodeName(built.filePath()).constData(),
               QFile::encodeName(target).constData()) != 0 &&
        !QFile::copy(built.filePath(), target))
        return false;
    const QDir builtDir = built.dir();
    for (const QString& logo : builtDir.entryList({QStringLiteral("*.xpm")}, QDir::Files))
        QFile::copy(builtDir.filePath(logo), QDir(directory).filePath(logo));
    return true;
}

void PrintRow(const char* name, const std::vector<Run>& runs) {
    std::vector<double> mapped, cpuToMapped, ended, cpu, switches;
    for (const Run& run : runs) {
        mapped.push_back(run.mappedMs);
        cpuToMapped.push_back(run.cpuToMappedMs);
        ended.push_back(run.endedMs);
        cpu.push_back(run.cpuMs);
        switches.push_back(double(run.voluntarySwitches));
    }
    std::printf("  %-16s %8.1f ms %8.1f ms %8.1f ms %8.1f ms %8.0f\n", name, Median(mapped),
                Median(cpuToMapped), Median(ended), Median(cpu), Median(switches));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    XWatch x;
    if (!x.Ready()) {
        std::fprintf(stderr, "bench_start: no X server (run it under Xvfb)\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    bench::SimProcess sim({QStringLiteral("--tcp"), QStringLiteral("0")});
    if (sim.TcpPort() == 0) {
        std::fprintf(stderr, "bench_start: the simulator did not start\n");
        return 1;
    }
    QTemporaryDir installation;
    if (!installation.isValid() || !InstallProgram(installation.path())) {
        std::fprintf(stderr, "bench_start: could not install the program in a directory\n");
        return 1;
    }
    const QString program =
        QDir(installation.path())
            .filePath(QFileInfo(QStringLiteral(CHROMIX_PROGRAM_PATH)).fileName());
    const QString settings =
        QDir(installation.path()).filePath(QStringLiteral("PanelSettings.cfg"));
    const QString bare = QStringLiteral(CHROMIX_BARE_WINDOW_PATH);
    auto startProgram = [&] {
        // Every round from the same settings: the program writes its own at the close.
        QFile file(settings);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(SettingsFor(sim.TcpPort()));
        file.close();
        return StartAndClose(x, program, installation.path());
    };
    auto startBare = [&] { return StartAndClose(x, bare, installation.path()); };

    // One of each first, not counted: the files come into the page cache.
    startBare();
    startProgram();
    auto measure = [&](const char* condition) {
        std::vector<Run> bareRuns, programRuns;
        std::vector<double> mappedRatio, cpuToMappedRatio, endedRatio, cpuRatio;
        int failed = 0;
        for (int round = 0; round < rounds; ++round) {
            const Run b = startBare();
            const Run p = startProgram();
            if (!b.ok || !p.ok) {
                ++failed;
                continue;
            }
            bareRuns.push_back(b);
            programRuns.push_back(p);
            mappedRatio.push_back(p.mappedMs / b.mappedMs);
            cpuToMappedRatio.push_back(p.cpuToMappedMs / b.cpuToMappedMs);
            endedRatio.push_back(p.endedMs / b.endedMs);
            cpuRatio.push_back(p.cpuMs / b.cpuMs);
        }
        std::printf("start-up %s: from exec to the first window mapped (and the CPU of the "
                    "process until then), and with the window closed then to the end of the "
                    "process (%d pairs in turn, medians; %d failed):\n",
                    condition, int(programRuns.size()), failed);
        std::printf("  %-16s %11s %11s %11s %11s %8s\n", "", "mapped", "its CPU", "ended", "CPU",
                    "vol. cs");
        PrintRow("bare Qt window", bareRuns);
        PrintRow("chromix3", programRuns);
        auto range = [](const std::vector<double>& v) {
            if (v.empty()) return std::pair<double, double>{0, 0};
            return std::pair<double, double>{*std::min_element(v.begin(), v.end()),
                                             *std::max_element(v.begin(), v.end())};
        };
        std::printf("  chromix3 / bare, pair by pair: mapped %.2f (%.2f - %.2f), CPU to mapped "
                    "%.2f (%.2f - %.2f), ended %.2f, CPU %.2f\n",
                    Median(mappedRatio), range(mappedRatio).first, range(mappedRatio).second,
                    Median(cpuToMappedRatio), range(cpuToMappedRatio).first,
                    range(cpuToMappedRatio).second, Median(endedRatio), Median(cpuRatio));
    };
    measure("as the machine is");
    {
        const bench::BusyProcesses busy(2);
        measure("beside two busy processes");
    }
    return 0;
}
