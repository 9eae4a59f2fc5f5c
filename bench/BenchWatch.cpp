// chromix3-cli watch, its loop in this process and the simulators in processes of their own:
// eight sensors as fast as they answer beside eight bare clients doing the same at once, and 64
// sensors every 0.1 s with the CPU this process took for them.
//   bench_watch [seconds per round, 3] [rounds, 3]
#include "BareClient.h"
#include "FleetRounds.h"
#include "cli/ConsoleSink.h"
#include "cli/Watch.h"
#include "core/EventDispatcher.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <thread>
#include <unistd.h>

using bench::BareRates;
using bench::Fleet;
using bench::QuietSink;

namespace {

struct WatchRound {
    std::vector<double> rates; // per sensor, measurements a second
    double cpuShare = 0;       // of one core
};

// Runs a watch of `fleet` for `warmUp` seconds, then counts for `seconds`.
WatchRound RunWatch(const std::vector<cli::WatchTarget>& fleet, double interval, double warmUp,
                    double seconds) {
    QuietSink sink;
    cli::Watch watch(fleet, interval, {});
    watch.AddSink(sink);
    std::vector<long> before(fleet.size());
    double cpuBefore = 0;
    QElapsedTimer clock;
    WatchRound round;
    QTimer::singleShot(int(warmUp * 1000), [&] {
        for (std::size_t i = 0; i < fleet.size(); ++i)
            before[i] = watch.Sensors()[i]->Measurements();
        cpuBefore = bench::ProcessCpuSeconds();
        clock.start();
    });
    QTimer::singleShot(int((warmUp + seconds) * 1000), [&] {
        const double elapsed = double(clock.nsecsElapsed()) / 1e9;
        round.cpuShare = (bench::ProcessCpuSeconds() - cpuBefore) / elapsed;
        for (std::size_t i = 0; i < fleet.size(); ++i)
            round.rates.push_back(double(watch.Sensors()[i]->Measurements() - before[i]) / elapsed);
        watch.Quit();
    });
    watch.Run();
    return round;
}

double Lowest(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}
double Mean(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values)
        sum += v;
    return values.empty() ? 0 : sum / double(values.size());
}

} // namespace

int main(int argc, char* argv[]) {
    core::UseQtEventDispatcher();
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    constexpr int kSims = 8;
    std::vector<std::unique_ptr<bench::SimProcess>> sims;
    std::vector<quint16> ports;
    for (int i = 0; i < kSims; ++i) {
        sims.push_back(std::make_unique<bench::SimProcess>(QStringList{"--tcp", "0"}));
        if (!sims.back()->Ready()) {
            std::fprintf(stderr, "bench_watch: the simulator did not start\n");
            return 1;
        }
        ports.push_back(sims.back()->TcpPort());
    }

    std::printf("watch, eight simulators as fast as they answer (%d cores), measurements/s per "
                "sensor\n",
                int(std::thread::hardware_concurrency()));
    std::printf("  one sensor alone: bare client %.0f, watch %.0f\n",
                BareRates({ports[0]}, seconds)[0],
                RunWatch(Fleet({ports[0]}, 1), 0, 0.5, seconds).rates[0]);
    std::vector<double> shares;
    for (int round = 0; round < rounds; ++round) {
        const std::vector<double> bare = BareRates(ports, seconds);
        const WatchRound watch = RunWatch(Fleet(ports, 1), 0, 0.5, seconds);
        const double share = Mean(watch.rates) / Mean(bare);
        shares.push_back(share);
        std::printf("  round %d: eight bare clients at once %.0f (lowest %.0f); watch %.0f "
                    "(lowest %.0f), %.1f %% of the bare rate, CPU %.0f %% of a core\n",
                    round + 1, Mean(bare), Lowest(bare), Mean(watch.rates), Lowest(watch.rates),
                    share * 100, watch.cpuShare * 100);
    }
    std::printf("  median: %.1f %% of the bare clients' rate\n", Median(shares) * 100);

    std::printf("watch, 64 sensors every 0.1 s (eight simulators, eight connections each), "
                "10 s\n");
    for (int round = 0; round < rounds; ++round) {
        const WatchRound watch = RunWatch(Fleet(ports, 8), 0.1, 2.0, 10.0);
        std::printf("  round %d: %.1f %% of a core, %.0f measurements/s in all (lowest sensor "
                    "%.2f/s)\n",
                    round + 1, watch.cpuShare * 100, Mean(watch.rates) * 64, Lowest(watch.rates));
    }
    return 0;
}
