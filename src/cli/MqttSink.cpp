#include "cli/MqttSink.h"

#include "cli/CliFiles.h"
#include "cli/CliOptions.h"
#include "core/SafeFile.h"

#include <QCommandLineParser>
#include <QElapsedTimer>

#include <cstdio>

namespace cli {

namespace {

MqttChoice Wrong(const std::string& text, int status = kExitUsage) {
    MqttChoice choice;
    choice.error = text;
    choice.status = status;
    return choice;
}

} // namespace

QList<QCommandLineOption> MqttOptions() {
    return {
        {"mqtt",
         "Also publish to this MQTT broker (port 1883, 8883 with --mqtt-tls, unless given).",
         "host[:port]"},
        {"mqtt-user", "User name at the broker.", "name"},
        {"mqtt-password-file", "The broker password: the first line of this file.", "file"},
        {"mqtt-tls", "Connect with TLS, checking the broker against this CA file.", "cafile"},
        {"topic-prefix", "The first level of every topic (chromix3).", "prefix"},
        {"mqtt-qos", "0 or 1 (1): at most once, or at least once.", "qos"},
        {"mqtt-queue", "Measurements kept while the broker is away (10000); older ones give way.",
         "count"},
        {"mqtt-client-id", "The client id (chromix3-<host>-<process id>).", "id"},
    };
}

MqttChoice MqttChoiceOf(const QCommandLineParser& parser) {
    const bool wanted = parser.isSet("mqtt");
    for (const char* name : {"mqtt-user", "mqtt-password-file", "mqtt-tls", "topic-prefix",
                             "mqtt-qos", "mqtt-queue", "mqtt-client-id"})
        if (!wanted && parser.isSet(name)) return Wrong(std::string("--") + name + " needs --mqtt");
    if (!wanted) return {};

    mqtt::Options options;
    const std::string where = parser.value("mqtt").toStdString();
    const auto address = ParseTcpAddress(where);
    if (!address) return Wrong("--mqtt needs host[:port]");
    options.host = address->host;
    options.caFile = parser.value("mqtt-tls").toStdString();
    // The TLS library reads the CA file itself, blocking and without a limit: it gets only a
    // file that passed ours.
    if (std::string text, why; !options.caFile.empty() &&
                               !core::ReadRegularFile(options.caFile, kLargestInputFile, text, why))
        return Wrong("the CA file: " + why, kExitFileFailed);
    options.port = where.find(':') != std::string::npos ? address->port
                   : options.caFile.empty()             ? kMqttPort
                                                        : kMqttTlsPort;
    options.user = parser.value("mqtt-user").toStdString();
    if (parser.isSet("mqtt-password-file")) {
        if (options.user.empty()) return Wrong("--mqtt-password-file needs --mqtt-user");
        const std::string path = parser.value("mqtt-password-file").toStdString();
        std::string text, why;
        if (!core::ReadRegularFile(path, kLargestInputFile, text, why))
            return Wrong("the password file: " + why, kExitFileFailed);
        options.password = text.substr(0, text.find('\n'));
        if (!options.password.empty() && options.password.back() == '\r')
            options.password.pop_back();
    }
    if (parser.isSet("topic-prefix")) {
        options.prefix = parser.value("topic-prefix").toStdString();
        if (options.prefix.empty() || options.prefix.find_first_of("+#") != std::string::npos)
            return Wrong("--topic-prefix must not be empty nor hold + or #");
    }
    if (parser.isSet("mqtt-qos")) {
        const QString qos = parser.value("mqtt-qos");
        if (qos != "0" && qos != "1") return Wrong("--mqtt-qos is 0 or 1");
        options.qos = qos.toInt();
    }
    if (parser.isSet("mqtt-queue")) {
        bool ok = false;
        const qlonglong count = parser.value("mqtt-queue").toLongLong(&ok);
        if (!ok || count < 1) return Wrong("--mqtt-queue needs a count of 1 or more");
        options.queueSize = std::size_t(count);
    }
    options.clientId = parser.value("mqtt-client-id").toStdString();
    options.log = [](const std::string& text) {
        std::fprintf(stderr, "chromix3-cli: %s\n", text.c_str());
    };
    MqttChoice choice;
    choice.options = std::move(options);
    return choice;
}

void MqttSink::Flush(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    publisher.Flush(timeoutMs);
    publisher.Close(int(std::max<qint64>(0, timeoutMs - clock.elapsed())));
}

} // namespace cli
