#include "cli/Watch.h"

#include "cli/ConsoleSink.h"
#include "cli/RecordFormat.h"
#include "cli/WatchSink.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QSocketNotifier>

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace cli {

Watch::Watch(const std::vector<WatchTarget>& fleet, double intervalSeconds,
             WatchedSensor::Limits limits) {
    for (const WatchTarget& target : fleet)
        sensors.push_back(std::make_unique<WatchedSensor>(
            target, intervalSeconds, limits, static_cast<WatchedSensor::Listener&>(*this)));
}

Watch::~Watch() {
    for (auto& sensor : sensors)
        sensor->Stop();
    if (signalFd >= 0) ::close(signalFd);
}

void Watch::AddSink(WatchSink& sink) {
    sinks.push_back(&sink);
    if (auto* records = dynamic_cast<RecordSink*>(&sink))
        recordSinks.push_back(records);
    else
        jsonSinks.push_back(&sink);
}

bool Watch::CatchStopSignals() {
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    if (::pthread_sigmask(SIG_BLOCK, &stops, nullptr) != 0) return false;
    signalFd = ::signalfd(-1, &stops, SFD_NONBLOCK | SFD_CLOEXEC);
    if (signalFd < 0) return false;
    signalNotifier = new QSocketNotifier(signalFd, QSocketNotifier::Read, this);
    connect(signalNotifier, &QSocketNotifier::activated, this, [this] {
        signalfd_siginfo info{};
        while (::read(signalFd, &info, sizeof info) == ssize_t(sizeof info)) {
        }
        Quit();
    });
    return true;
}

void Watch::Run() {
    quitting = false;
    for (auto& sensor : sensors)
        sensor->Start();
    if (!quitting) QCoreApplication::exec();
    for (auto& sensor : sensors)
        sensor->Stop();
    for (WatchSink* sink : sinks)
        sink->Flush(kFlushTimeoutMs);
}

void Watch::Quit() {
    quitting = true;
    QCoreApplication::exit(0);
}

void Watch::Measured(const WatchedSensor& sensor, const protocol::MeasurementFrame& frame) {
    MeasurementRecord record;
    record.sensor = sensor.Name();
    record.unixMs = QDateTime::currentMSecsSinceEpoch();
    record.frame = frame;
    for (RecordSink* sink : recordSinks)
        sink->Record(record);
    if (jsonSinks.empty()) return;
    const std::string json = MeasurementJson(record);
    for (WatchSink* sink : jsonSinks)
        sink->Measurement(record.sensor, json);
}

void Watch::StatusChanged(const WatchedSensor& sensor, bool online, const std::string& detail) {
    for (WatchSink* sink : sinks)
        sink->Status(sensor.Name(), online, detail);
}

} // namespace cli
