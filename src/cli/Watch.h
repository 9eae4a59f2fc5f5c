#pragma once
// `chromix3-cli watch`: many sensors measured at once, all on the one event loop, each by its own
// WatchedSensor; what they bring is handed to every sink. SIGINT and SIGTERM end the run: they
// are taken from a signalfd the loop watches, so no handler runs inside whatever was interrupted.
#include "cli/FleetFile.h"
#include "cli/WatchedSensor.h"

#include <QObject>

#include <memory>
#include <vector>

class QSocketNotifier;

namespace cli {

class RecordSink;
class WatchSink;

class Watch : public QObject, private WatchedSensor::Listener {
    Q_OBJECT
public:
    // How long the sinks may take to push out what they hold when the run ends.
    static constexpr int kFlushTimeoutMs = 2000;

    Watch(const std::vector<WatchTarget>& fleet, double intervalSeconds,
          WatchedSensor::Limits limits);
    ~Watch() override;

    // Every record and state change goes to each sink added (the console, a broker), in the
    // order they were added. The sinks must outlive the run.
    void AddSink(WatchSink& sink);

    // Blocks SIGINT and SIGTERM for the whole process and watches them by a signalfd. Call it
    // before any thread is started (a host name lookup starts one), so that none of them takes
    // the signal in its place. False when the system refused.
    bool CatchStopSignals();

    // Measures until a stop signal (or Quit); the sinks are flushed before it returns.
    void Run();
    void Quit();

    const std::vector<std::unique_ptr<WatchedSensor>>& Sensors() const { return sensors; }

private:
    void Measured(const WatchedSensor& sensor, const protocol::MeasurementFrame& frame) override;
    void StatusChanged(const WatchedSensor& sensor, bool online,
                       const std::string& detail) override;

    std::vector<std::unique_ptr<WatchedSensor>> sensors;
    std::vector<RecordSink*> recordSinks;
    std::vector<WatchSink*> jsonSinks;
    std::vector<WatchSink*> sinks;
    int signalFd = -1;
    QSocketNotifier* signalNotifier = nullptr;
    bool quitting = false;
};

} // namespace cli
