#include "cli/MqttSink.h"

#include "cli/CliFiles.h"
#include "cli/CliOptions.h"
#include "core/SafeFile.h"
#include "core/ShownText.h"
#include "mqtt/Topics.h"

#include <QCommandLineParser>
#include <QElapsedTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

namespace {

MqttChoice Wrong(const std::string& text, int status = kExitUsage) {
    MqttChoice choice;
    choice.error = text;
    choice.status = status;
    return choice;
}

// A string MQTT carries (a client id, a user name, a password, a topic) has a 16-bit length.
constexpr std::size_t kMqttStringMax = 65535;
// A password file is a line, not a document: a big one is a mistake, not a password.
constexpr off_t kPasswordFileMax = 64 * 1024;

std::string TooLong(const std::string& what) {
    return what + " is longer than MQTT carries (" + std::to_string(kMqttStringMax) + " bytes)";
}

// Why a topic prefix cannot start every topic; empty when it can.
std::string PrefixFault(const std::string& prefix) {
    if (prefix.size() > kMqttStringMax) return TooLong("--topic-prefix");
    if (prefix.find_first_of("+#") != std::string::npos)
        return "--topic-prefix must not hold + or # (they are wildcards)";
    if (prefix.empty() || prefix.front() == '/' || prefix.back() == '/' ||
        prefix.find("//") != std::string::npos)
        return "--topic-prefix must not be empty nor have an empty level";
    return {};
}

// The password: the first line of `path`. Empty when taken, else why not; `warning`: said and
// taken all the same.
std::string ReadPasswordFile(const std::string& path, std::string& password, std::string& warning,
                             int& status) {
    // Only a regular file, as for every file the operator names: a fifo cannot hold the start.
    // A file refused or unreadable is a file failure; one that holds no password, a wrong usage.
    status = kExitFileFailed;
    std::string why;
    const int fd = core::OpenRegularFile(path, O_RDONLY, why);
    if (fd < 0 && !why.empty()) return "the password file " + why;
    if (fd < 0) return "cannot read the password file " + path + ": " + std::strerror(errno);
    status = kExitUsage;
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        why = "cannot read the password file " + path + ": " + std::strerror(errno);
    else if (info.st_size == 0)
        why = "the password file " + path + " is empty";
    else if (info.st_size > kPasswordFileMax)
        why = "the password file " + path + " is larger than 64 kB";
    std::string text;
    if (why.empty()) {
        text.resize(std::size_t(kPasswordFileMax) + 1);
        std::size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) why = "cannot read the password file " + path + ": " + std::strerror(errno);
            if (n <= 0) break;
            got += std::size_t(n);
        }
        text.resize(got);
        // It may have grown since the look.
        if (why.empty() && got > std::size_t(kPasswordFileMax))
            why = "the password file " + path + " is larger than 64 kB";
    }
    ::close(fd);
    if (!why.empty()) return why;
    password = text.substr(0, text.find('\n'));
    if (!password.empty() && password.back() == '\r') password.pop_back();
    if (password.empty()) return "the password file " + path + " has no password on its first line";
    if (password.size() > kMqttStringMax) return TooLong("the password");
    if (info.st_mode & (S_IRGRP | S_IROTH))
        warning =
            "the password file " + path + " can be read by its group or by others (chmod go-r it)";
    return {};
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
        return Wrong("TLS cannot be set up with the CA file " + options.caFile + " (" + why + ")");
    options.port = where.find(':') != std::string::npos ? address->port
                   : options.caFile.empty()             ? kMqttPort
                                                        : kMqttTlsPort;
    options.user = parser.value("mqtt-user").toStdString();
    if (options.user.size() > kMqttStringMax) return Wrong(TooLong("--mqtt-user"));
    if (parser.isSet("mqtt-password-file")) {
        if (options.user.empty()) return Wrong("--mqtt-password-file needs --mqtt-user");
        std::string warning;
        int status = kExitUsage;
        const std::string why = ReadPasswordFile(parser.value("mqtt-password-file").toStdString(),
                                                 options.password, warning, status);
        if (!why.empty()) return Wrong(why, status);
        if (!warning.empty()) std::fprintf(stderr, "chromix3-cli: warning: %s\n", warning.c_str());
    }
    if (parser.isSet("topic-prefix")) {
        options.prefix = parser.value("topic-prefix").toStdString();
        const std::string fault = PrefixFault(options.prefix);
        if (!fault.empty()) return Wrong(fault);
    }
    options.clientId = parser.value("mqtt-client-id").toStdString();
    if (options.clientId.size() > kMqttStringMax) return Wrong(TooLong("--mqtt-client-id"));
    if (mqtt::ClientTopic(options.prefix, options.clientId).size() > kMqttStringMax)
        return Wrong("--topic-prefix and --mqtt-client-id together make a topic longer than "
                     "MQTT carries (" +
                     std::to_string(kMqttStringMax) + " bytes)");
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
    options.log = [](const std::string& text) {
        std::fprintf(stderr, "chromix3-cli: %s\n", core::Printable(text).c_str());
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
