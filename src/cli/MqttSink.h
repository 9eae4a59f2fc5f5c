#pragma once
// `watch --mqtt`: the command line's MQTT options, and the sink that hands the watch's records
// and sensor states to the broker.
#include "cli/WatchSink.h"
#include "mqtt/Publisher.h"

#include <optional>
#include <string>

#include <QCommandLineOption>
#include <QList>

class QCommandLineParser;

namespace cli {

inline constexpr int kMqttPort = 1883;
inline constexpr int kMqttTlsPort = 8883;

QList<QCommandLineOption> MqttOptions();

struct MqttChoice {
    std::optional<mqtt::Options> options; // none without --mqtt
    std::string error;                    // set: the command line or a file was wrong
    int status = 0;                       // the exit status for the error
};
// Reads the options of MqttOptions; the password file is read here.
MqttChoice MqttChoiceOf(const QCommandLineParser& parser);

class MqttSink : public WatchSink {
public:
    explicit MqttSink(mqtt::Options options) : publisher(std::move(options)) {}

    void Measurement(const std::string& sensor, const std::string& json) override {
        publisher.Measurement(sensor, json);
    }
    void Status(const std::string& sensor, bool online, const std::string& detail) override {
        publisher.Status(sensor, online, detail);
    }
    // The process ends after this: what waits goes out, then every sensor and the process
    // are marked stopped and the connection is closed cleanly.
    void Flush(int timeoutMs) override;

    mqtt::Publisher& Publisher() { return publisher; }

private:
    mqtt::Publisher publisher;
};

} // namespace cli
