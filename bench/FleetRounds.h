#pragma once
// The fleets of the watch benchmarks and their yardstick: bare clients measuring the same
// simulators at once.
#include "BareClient.h"
#include "cli/ConsoleSink.h"
#include "cli/FleetFile.h"
#include "cli/RecordFormat.h"

#include <cstdio>

#include <string>
#include <thread>
#include <vector>

namespace bench {

// The console's work without its output: each record made into its JSON line.
class QuietSink : public cli::RecordSink {
public:
    void Record(const cli::MeasurementRecord& record) override {
        bytes += cli::RecordLine(cli::Format::Json, record, true).size();
    }
    void Status(const std::string& sensor, bool online, const std::string& detail) override {
        if (!online) std::fprintf(stderr, "%s offline: %s\n", sensor.c_str(), detail.c_str());
    }
    void Flush(int) override {}
    std::size_t bytes = 0;
};

// Each port served by `perPort` sensors of the fleet.
inline std::vector<cli::WatchTarget> Fleet(const std::vector<quint16>& ports, int perPort) {
    std::vector<cli::WatchTarget> fleet;
    for (quint16 port : ports) {
        for (int i = 0; i < perPort; ++i) {
            cli::WatchTarget target;
            target.name = "s" + std::to_string(fleet.size());
            target.link.host = "127.0.0.1";
            target.link.port = port;
            fleet.push_back(target);
        }
    }
    return fleet;
}

// Bare clients on all `ports` at once, one thread each; their rates.
inline std::vector<double> BareRates(const std::vector<quint16>& ports, double seconds) {
    std::vector<Round> rounds(ports.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < ports.size(); ++i)
        threads.emplace_back([&, i] { rounds[i] = RawTcpRound(ports[i], seconds, true); });
    for (auto& thread : threads)
        thread.join();
    std::vector<double> rates;
    for (const auto& round : rounds)
        rates.push_back(round.Rate());
    return rates;
}

} // namespace bench
