// Figures for the recorder against the simulator over TCP loopback: how faithfully a continuous
// recording keeps its interval (the mean period, the shortest and the longest over a number of
// frames), and the main thread's CPU while a recording waits for the next period. With an
// argument 0 it also waits for triggers that never come and gives the CPU of that wait.
// Prints figures; asserts nothing.
#include "ConnectedProgram.h"
#include "recorder/RecorderModule.h"
#include "sim/SimThread.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double WallSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

template <typename T> T* Find(QWidget& root, const char* role) {
    return root.findChild<T*>(QString::fromLatin1(role));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::atoi(argv[1]) : 400;
    constexpr double kInterval = 0.25;

    sim::SimThread simulator;
    const quint16 port = simulator.StartTcp(0);
    ConnectedProgram connected(QString(), port);
    auto& program = connected.program;
    QWidget& window = program.Window();
    program.ShowPage(core::MainPage::Recorder);
    connected.dialogs.fileAnswers = {
        {core::OperatorDialogs::FileChoice::New,
         connected.programDir.filePath(QStringLiteral("bench.dat")).toStdString()}};
    Find<QPushButton>(window, "ButtonSelRecFile")->click();
    auto* mode = Find<QComboBox>(window, "EditSelectDataRec");
    mode->setCurrentIndex(1);
    emit mode->activated(1);
    Find<QDoubleSpinBox>(window, "EditInterval")->setValue(kInterval);

    std::vector<double> starts;
    starts.reserve(std::size_t(frames) + 1);
    QObject::connect(&program.Recorder(), &recorder::RecorderModule::CycleStarted,
                     [&](double seconds) {
                         starts.push_back(seconds);
                         if (int(starts.size()) > frames) program.Recorder().CBF_ButtonStopRecord();
                     });
    connected.dialogs.confirmAnswers = {true};
    const double cpuBefore = ThreadCpuSeconds();
    const double wallBefore = WallSeconds();
    Find<QPushButton>(window, "ButtonStartRecord")->click();
    const double cpu = ThreadCpuSeconds() - cpuBefore;
    const double wall = WallSeconds() - wallBefore;

    std::vector<double> periods;
    for (std::size_t i = 1; i < starts.size(); ++i)
        periods.push_back(starts[i] - starts[i - 1]);
    if (periods.empty()) {
        std::printf("no periods recorded\n");
        return 1;
    }
    double sum = 0;
    for (double p : periods)
        sum += p;
    const double mean = sum / double(periods.size());
    const auto [shortest, longest] = std::minmax_element(periods.begin(), periods.end());
    const long shorter =
        std::count_if(periods.begin(), periods.end(), [&](double p) { return p < kInterval; });
    std::printf("recorder, continuous at %.2f s over TCP loopback, %zu periods:\n", kInterval,
                periods.size());
    std::printf(
        "  mean period %.4f s (%+.3f %% of the interval), shortest %.4f s, longest %.4f s\n", mean,
        (mean / kInterval - 1) * 100, *shortest, *longest);
    std::printf("  periods shorter than the interval: %ld\n", shorter);
    std::printf("  main-thread CPU over the recording: %.2f %% of one core (%.3f s in %.1f s)\n",
                cpu / wall * 100, cpu, wall);

    // A triggered recording that waits for triggers that do not come.
    constexpr int kWaitMs = 10000;
    simulator.SetTriggerPeriodMs(0);
    mode->setCurrentIndex(3);
    emit mode->activated(3);
    connected.dialogs.confirmAnswers = {true};
    QTimer::singleShot(kWaitMs, [&] { program.Recorder().CBF_ButtonStopRecord(); });
    const double waitCpuBefore = ThreadCpuSeconds();
    const double waitWallBefore = WallSeconds();
    Find<QPushButton>(window, "ButtonStartTrigRec")->click();
    const double waitCpu = ThreadCpuSeconds() - waitCpuBefore;
    const double waitWall = WallSeconds() - waitWallBefore;
    std::printf("recorder, triggered, no trigger for %.1f s: main-thread CPU %.3f %% of one core\n",
                waitWall, waitCpu / waitWall * 100);
    return 0;
}
