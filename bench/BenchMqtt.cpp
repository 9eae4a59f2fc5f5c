// chromix3-cli watch publishing to a mosquitto broker of its own, the loop in this process, the
// simulators and the broker in processes of their own: eight sensors as fast as they answer,
// published at QoS 0, beside eight bare clients and beside watch without the broker; then 64
// sensors every 0.1 s at QoS 1, with and without the broker. CPU is this process's main thread
// (the watch and the publisher); the subscriber that counts what arrives has a thread of its own.
//   bench_mqtt [seconds per round, 3] [rounds, 3]
#include "../tests/mqtt/Broker.h"
#include "BareClient.h"
#include "FleetRounds.h"
#include "cli/ConsoleSink.h"
#include "cli/MqttSink.h"
#include "cli/Watch.h"
#include "core/EventDispatcher.h"

#include <QCoreApplication>
#include <QTimer>

#include <mosquitto.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

using bench::BareRates;
using bench::Fleet;
using bench::QuietSink;

namespace {

double MainThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// User and system CPU seconds of another process, from /proc.
double CpuSecondsOf(qint64 pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i == 14 || i == 15) ticks += std::stod(field);
    return ticks / double(::sysconf(_SC_CLK_TCK));
}

qint64 brokerPid = 0;

// Counts the measurements that reach a subscriber of <prefix>/+/measurement.
class CountingSubscriber {
public:
    explicit CountingSubscriber(int port) {
        mosquitto_lib_init();
        client = mosquitto_new(nullptr, true, this);
        mosquitto_connect_callback_set(client, [](mosquitto* m, void*, int) {
            mosquitto_subscribe(m, nullptr, "chromix3/+/measurement", 0);
        });
        mosquitto_message_callback_set(client,
                                       [](mosquitto*, void* self, const mosquitto_message*) {
                                           ++static_cast<CountingSubscriber*>(self)->count;
                                       });
        mosquitto_connect(client, "127.0.0.1", port, 30);
        mosquitto_loop_start(client);
    }
    ~CountingSubscriber() {
        mosquitto_disconnect(client);
        mosquitto_loop_stop(client, false);
        mosquitto_destroy(client);
    }
    std::atomic<long> count{0};

private:
    mosquitto* client = nullptr;
};

struct WatchRound {
    std::vector<double> rates; // per sensor, measurements a second
    double cpu = 0;            // main-thread seconds
    double brokerCpu = 0;      // the broker's seconds
    double subscriberCpu = 0;  // the counting subscriber's thread (the rest of this process)
    double seconds = 0;
    long published = 0; // confirmed (QoS 1) or written (QoS 0) by the publisher
    long arrived = 0;   // at the counting subscriber
};

// A watch of `fleet`, publishing with `mqtt` when given: `warmUp` seconds, then counted for
// `seconds`.
WatchRound RunWatch(const std::vector<cli::WatchTarget>& fleet, double interval,
                    std::optional<mqtt::Options> mqtt, CountingSubscriber* subscriber,
                    double warmUp, double seconds) {
    QuietSink sink;
    cli::Watch watch(fleet, interval, {});
    watch.AddSink(sink);
    std::optional<cli::MqttSink> broker;
    if (mqtt) watch.AddSink(broker.emplace(*mqtt));
    std::vector<long> before(fleet.size());
    double cpuBefore = 0, brokerBefore = 0, processBefore = 0;
    long publishedBefore = 0, arrivedBefore = 0;
    QElapsedTimer clock;
    WatchRound round;
    auto published = [&] { return broker ? long(broker->Publisher().Count().sent) : 0L; };
    auto arrived = [&] { return subscriber ? subscriber->count.load() : 0L; };
    QTimer::singleShot(int(warmUp * 1000), [&] {
        for (std::size_t i = 0; i < fleet.size(); ++i)
            before[i] = watch.Sensors()[i]->Measurements();
        publishedBefore = published();
        arrivedBefore = arrived();
        cpuBefore = MainThreadCpuSeconds();
        brokerBefore = CpuSecondsOf(brokerPid);
        processBefore = bench::ProcessCpuSeconds();
        clock.start();
    });
    QTimer::singleShot(int((warmUp + seconds) * 1000), [&] {
        round.seconds = double(clock.nsecsElapsed()) / 1e9;
        round.cpu = MainThreadCpuSeconds() - cpuBefore;
        round.brokerCpu = CpuSecondsOf(brokerPid) - brokerBefore;
        round.subscriberCpu = bench::ProcessCpuSeconds() - processBefore - round.cpu;
        round.published = published() - publishedBefore;
        for (std::size_t i = 0; i < fleet.size(); ++i)
            round.rates.push_back(double(watch.Sensors()[i]->Measurements() - before[i]) /
                                  round.seconds);
        round.arrived = arrived() - arrivedBefore;
        watch.Quit();
    });
    watch.Run();
    return round;
}

double Sum(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values)
        sum += v;
    return sum;
}

} // namespace

int main(int argc, char* argv[]) {
    core::UseQtEventDispatcher();
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    mqtttest::Broker broker;
    if (!broker.Start()) {
        std::fprintf(stderr, "bench_mqtt: mosquitto did not start\n");
        return 1;
    }
    brokerPid = broker.ProcessId();
    std::vector<std::unique_ptr<bench::SimProcess>> sims;
    std::vector<quint16> ports;
    for (int i = 0; i < 8; ++i) {
        sims.push_back(std::make_unique<bench::SimProcess>(QStringList{"--tcp", "0"}));
        if (!sims.back()->Ready()) {
            std::fprintf(stderr, "bench_mqtt: the simulator did not start\n");
            return 1;
        }
        ports.push_back(sims.back()->TcpPort());
    }
    CountingSubscriber subscriber(broker.Port());
    mqtt::Options options;
    options.host = "127.0.0.1";
    options.port = broker.Port();

    std::printf("watch --mqtt, eight simulators as fast as they answer, QoS 0 (%d cores)\n",
                int(std::thread::hardware_concurrency()));
    options.qos = 0;
    std::vector<double> shares;
    for (int round = 0; round < rounds; ++round) {
        const std::vector<double> bare = BareRates(ports, seconds);
        const WatchRound plain = RunWatch(Fleet(ports, 1), 0, std::nullopt, nullptr, 0.5, seconds);
        const WatchRound mq = RunWatch(Fleet(ports, 1), 0, options, &subscriber, 0.5, seconds);
        double lowest = 1e9;
        for (std::size_t i = 0; i < bare.size(); ++i)
            lowest = std::min(lowest, mq.rates[i] / bare[i]);
        const double share = Sum(mq.rates) / Sum(bare);
        shares.push_back(share);
        const double measured = double(std::max(1L, mq.published));
        std::printf("  round %d: bare clients %.0f/s per sensor; watch alone %.0f/s, %.1f us CPU "
                    "a measurement; watch --mqtt %.0f/s per sensor = %.1f %% of the bare rate "
                    "(lowest sensor %.1f %%), %.0f messages/s published, %.0f/s arrived, "
                    "%.1f us CPU a published message, %.0f %% of a core (broker %.0f %%, "
                    "subscriber %.0f %%)\n",
                    round + 1, Sum(bare) / 8, Sum(plain.rates) / 8,
                    plain.cpu / (Sum(plain.rates) * plain.seconds) * 1e6, Sum(mq.rates) / 8,
                    share * 100, lowest * 100, double(mq.published) / mq.seconds,
                    double(mq.arrived) / mq.seconds, mq.cpu / measured * 1e6,
                    mq.cpu / mq.seconds * 100, mq.brokerCpu / mq.seconds * 100,
                    mq.subscriberCpu / mq.seconds * 100);
    }
    std::printf("  median: %.1f %% of the bare clients' rate\n", Median(shares) * 100);

    std::printf("watch, 64 sensors every 0.1 s (eight simulators, eight connections each), "
                "10 s, CPU of the main thread\n");
    options.qos = 1;
    for (int round = 0; round < rounds; ++round) {
        const WatchRound plain = RunWatch(Fleet(ports, 8), 0.1, std::nullopt, nullptr, 2.0, 10.0);
        const WatchRound mq = RunWatch(Fleet(ports, 8), 0.1, options, &subscriber, 2.0, 10.0);
        std::printf("  round %d: alone %.2f %% of a core; --mqtt (QoS 1) %.2f %% of a core, "
                    "%.0f messages/s published\n",
                    round + 1, plain.cpu / plain.seconds * 100, mq.cpu / mq.seconds * 100,
                    double(mq.published) / mq.seconds);
    }
    return 0;
}
