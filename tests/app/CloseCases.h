#pragma once
// The window closed during each command that loops or waits: the cases, the program run in a
// child process that closes its window inside the command, and what came of it (how long the
// process lived after the close, what the simulator saw, what was written). Shared by the test
// and by the benchmark of the time to the end.
#include "app/Program.h"
#include "app/ProgramControls.h"
#include "core/AppState.h"
#include "core/CommandGate.h"
#include "core/Shell.h"
#include "link/SensorLink.h"
#include "protocol/Orders.h"
#include "sim/SimThread.h"
#include "support/ScriptedOperator.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <unistd.h>

namespace closecases {

inline constexpr const char* kChildSwitch = "--run-program-and-close";
// A reply the command would wait for, were it not given up: longer than any bound below.
inline constexpr int kLongDelayMs = 20000;

inline std::int64_t MonotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline void Click(QWidget& window, const char* role) {
    QTest::mouseClick(Need<QPushButton>(window, role), Qt::LeftButton);
}

inline void Delay(sim::SimThread& simulator, int order, int ms = kLongDelayMs) {
    sim::FaultSettings faults;
    faults.delayMs = sim::Fault{true, ms, order};
    simulator.SetFaults(faults);
}

struct Operation {
    const char* name;
    // Before the start-up (true) or once the program is connected.
    bool duringStartUp = false;
    // The order whose arrival at the simulator shows that the command waits: the window is
    // closed then.
    int waitOrder = 0;
    std::function<void(sim::SimThread&)> prepare = {};
    // In the child: what the operator does to start the command.
    std::function<void(app::Program&)> start = {};
    // Orders that may still go out after the close: clean-up orders, the rest of a write.
    std::vector<int> afterClose = {};
    // Of those, the ones that must: the rest of a write on the line is never cut off.
    std::vector<int> mustFollow = {};
    // How long what must still go out may take.
    int writeMs = 0;
};

inline const std::vector<Operation>& Operations() {
    using namespace protocol;
    static const std::vector<Operation> operations = {
        {"start-up connect, identification unanswered", true, kOrderIdentify,
         [](sim::SimThread& s) {
             sim::FaultSettings faults;
             faults.silence = sim::Fault{true, 0, kOrderIdentify};
             s.SetFaults(faults);
         },
         nullptr},
        {"GO, a measurement on its way", false, kOrderMeasure,
         [](sim::SimThread& s) { Delay(s, kOrderMeasure); },
         [](app::Program& p) { Click(p.Window(), "ButtonGo"); }},
        {"GET, a block on its way", false, kOrderReadBlock,
         [](sim::SimThread& s) { Delay(s, kOrderReadBlock); },
         [](app::Program& p) { Click(p.Window(), "ButtonGet"); }},
        {"SEND to EEPROM, the first block on the line",
         false,
         kOrderWriteBlock,
         [](sim::SimThread& s) { Delay(s, kOrderWriteBlock, 1500); },
         [](app::Program& p) {
             Need<QRadioButton>(p.Window(), "SelectMem", 1)->click();
             Click(p.Window(), "ButtonSend");
         },
         {kOrderWriteBlock, kOrderStoreEeprom},
         {kOrderWriteBlock, kOrderStoreEeprom},
         2 * 1500},
        {"recorder, waiting for the next interval", false, kOrderMeasure, nullptr,
         [](app::Program& p) {
             p.ShowPage(core::MainPage::Recorder);
             QWidget& page = *Need(p.Window(), "RecorderPage");
             Need<QDoubleSpinBox>(page, "EditInterval")->setValue(30.0);
             Click(page, "ButtonStartRecord");
         }},
        {"recorder, waiting for a trigger",
         false,
         kOrderTriggerSending,
         [](sim::SimThread& s) { s.SetTriggerPeriodMs(0); },
         [](app::Program& p) {
             p.ShowPage(core::MainPage::Recorder);
             QWidget& page = *Need(p.Window(), "RecorderPage");
             auto* mode = Need<QComboBox>(page, "EditSelectDataRec");
             mode->setCurrentIndex(3);
             emit mode->activated(3);
             Click(page, "ButtonStartTrigRec");
         },
         {kOrderTriggerSending},
         {kOrderTriggerSending}},
        {"scan, waiting for its trigger",
         false,
         kOrderScan,
         [](sim::SimThread& s) { s.SetInput0(false); },
         [](app::Program& p) {
             p.ShowPage(core::MainPage::ScopeSettings);
             auto* mode = Need<QComboBox>(p.Window(), "EditTriggerMode");
             mode->setCurrentIndex(4); // EXTERNAL IN0, held low
             emit mode->activated(4);
             Click(p.Window(), "ButtonScan");
         },
         {kOrderScan},
         {kOrderScan}},
        {"white calibration, averaging", false, kOrderMeasure,
         [](sim::SimThread& s) { Delay(s, kOrderMeasure); },
         [](app::Program& p) {
             p.ShowPage(core::MainPage::Calibration);
             Click(p.Window(), "ButtonCalcCF");
         }},
        {"self calibration", false, kOrderSelfCalibration,
         [](sim::SimThread& s) { Delay(s, kOrderSelfCalibration); },
         [](app::Program& p) {
             p.ShowPage(core::MainPage::Calibration);
             Click(p.Window(), "ButtonStartSelfCalibration");
         }},
        {"mean-value captures", false, kOrderMeasure,
         [](sim::SimThread& s) { Delay(s, kOrderMeasure); },
         [](app::Program& p) {
             p.ShowPage(core::MainPage::TeachTable);
             Click(p.Window(), "ButtonTeachMeanVal");
         }},
        {"recorded-value recording", false, kOrderMeasure,
         [](sim::SimThread& s) { Delay(s, kOrderMeasure); },
         [](app::Program& p) {
             p.ShowPage(core::MainPage::TeachTable);
             Click(p.Window(), "ButtonTeachRecVal");
             Click(p.Window(), "ButtonTP2Start");
         }},
    };
    return operations;
}

inline const Operation& OperationNamed(const QString& name) {
    for (const Operation& operation : Operations())
        if (name == QLatin1String(operation.name)) return operation;
    qFatal("no operation %s", qPrintable(name));
    return Operations().front();
}

// The program as main() runs it. Once connected it says READY; then each line on its standard
// input is a step of the operator: "go" starts the command, "close" closes the window (during the
// start-up there is only "close").
inline int RunProgramAndClose(int argc, char** argv) {
    QApplication application(argc, argv);
    const Operation& operation = OperationNamed(QString::fromLocal8Bit(argv[2]));
    core::AppState state;
    ScriptedOperator dialogs;
    dialogs.confirmAnswers.assign(8, true);
    app::Program program(state, dialogs);
    program.SetProgramDirectory(QString::fromLocal8Bit(argv[3]));
    // Limits far beyond the test's bound: a wait the close did not give up runs to the
    // simulator's delay or for ever, however busy the machine is.
    program.Link().SetTimeLimits(kLongDelayMs / 1000.0 * 3, kLongDelayMs * 3);
    if (!operation.duringStartUp) {
        // Ready once the start-up has connected and its command has ended.
        auto* ready = new QTimer(&program);
        ready->setInterval(20);
        QObject::connect(ready, &QTimer::timeout, [&state, &program, ready] {
            if (!state.flags.linkGood || program.Gate().Busy()) return;
            ready->stop();
            std::printf("READY\n");
            std::fflush(stdout);
        });
        ready->start();
    }
    // Steps arrive one at a time: the next is written only once the previous one shows. The
    // command runs inside the step that started it, so the close comes in from there.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[64] = {};
        const ssize_t n = ::read(STDIN_FILENO, line, sizeof line - 1);
        if (n <= 0) {
            input.setEnabled(false);
            return;
        }
        if (std::strncmp(line, "close", 5) == 0) {
            std::printf("CLOSED %lld\n", static_cast<long long>(MonotonicNs()));
            std::fflush(stdout);
            program.Window().close();
        } else if (std::strncmp(line, "go", 2) == 0 && operation.start) {
            operation.start(program);
        }
    });
    return app::RunProgram(program);
}

// What came of one case.
struct CloseResult {
    QString failure;         // empty when the child ran, closed and ended
    double afterCloseMs = 0; // from the close to the end of the process
    std::vector<int> ordersAfterClose = {};
    QByteArray settingsFile = {}; // as the program left it
    quint16 port = 0;
};

inline void WriteSettings(const QString& path, quint16 port) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    // The marker goes when the program writes the file anew at the close.
    file.write("[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n"
               "SCOPE VERSION: = \"CHROMIX3-Varev V4.2\"\r\nPANEL ID: = \"before\"\r\n\r\n"
               "[MARKER]\r\nWRITTEN BY = \"the test\"\r\n\r\n"
               "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 1\r\nCOMPORT = 1\r\nBAUDRATE = 4\r\n"
               "IP ADRESS = \"127.0.0.1\"\r\nPORT NUMBER = \"" +
               QByteArray::number(port) + "\"\r\n");
}

// Runs the program (this executable with kChildSwitch) against a simulator of this process,
// closes its window inside the command and waits for the end.
inline CloseResult RunCase(const Operation& op) {
    CloseResult result;
    sim::SimThread simulator;
    result.port = simulator.StartTcp(0);
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("PanelSettings.cfg"));
    WriteSettings(settings, result.port);
    if (op.duringStartUp && op.prepare) op.prepare(simulator);

    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setReadChannel(QProcess::StandardOutput);
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(kChildSwitch), QString::fromLatin1(op.name), dir.path()});
    if (!child.waitForStarted()) return {QStringLiteral("the program did not start")};
    auto giveUp = [&child](const char* why) {
        child.kill();
        child.waitForFinished();
        return CloseResult{QString::fromLatin1(why)};
    };
    if (!op.duringStartUp) {
        if (!child.waitForReadyRead(20000) || child.readLine().trimmed() != "READY")
            return giveUp("the program did not connect");
        if (op.prepare) op.prepare(simulator);
        simulator.ClearRequestLog();
        child.write("go\n");
        child.waitForBytesWritten(1000);
    }
    // The window closes once the command is in its wait: its request has reached the sensor.
    QElapsedTimer waiting;
    waiting.start();
    auto arrived = [&] {
        for (const auto& request : simulator.RequestLog())
            if (request.order == op.waitOrder) return true;
        return false;
    };
    while (!arrived()) {
        if (waiting.elapsed() > 20000) return giveUp("the command never reached the sensor");
        QTest::qWait(10);
    }
    child.write("close\n");
    child.waitForBytesWritten(1000);
    const bool ended = child.waitForFinished(60000);
    const std::int64_t endNs = MonotonicNs();
    if (!ended) {
        child.kill();
        child.waitForFinished();
        return {QStringLiteral("the program went on without its window")};
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return {QStringLiteral("the program ended with status %1").arg(child.exitCode())};
    std::int64_t closedNs = 0;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
        if (line.startsWith("CLOSED ")) closedNs = line.mid(7).toLongLong();
    if (closedNs == 0) return {QStringLiteral("the window was never closed")};
    result.afterCloseMs = double(endNs - closedNs) / 1e6;
    for (const auto& request : simulator.RequestLog())
        if (request.arrivalNs > closedNs) result.ordersAfterClose.push_back(request.order);
    QFile file(settings);
    if (file.open(QIODevice::ReadOnly)) result.settingsFile = file.readAll();
    return result;
}

} // namespace closecases
