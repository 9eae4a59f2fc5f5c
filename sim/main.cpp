// chromix3-sim: answers in place of the colour sensor over TCP/IP and a pseudo-terminal.
#include "sim/ParameterStore.h"
#include "sim/SimServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <cctype>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};
constexpr char kStopByte = 's';
constexpr char kTriggerByte = 't';
constexpr char kInput0Byte = 'i';

void OnStopSignal(int) {
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &kStopByte, 1);
}

void OnTriggerSignal(int) {
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &kTriggerByte, 1);
}

void OnInput0Signal(int) {
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &kInput0Byte, 1);
}

// Signals only drop a byte into a socket pair; the event loop reads it and ends the program or
// fires the trigger input or toggles IN0, so nothing unsafe runs inside a handler.
void InstallSignals(QCoreApplication& app, sim::SimServer& server) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app, &server]() {
        char bytes[64];
        const ssize_t n = ::read(signalPipe[0], bytes, sizeof(bytes));
        for (ssize_t i = 0; i < n; ++i) {
            if (bytes[i] == kTriggerByte) server.Trigger().Fire();
            if (bytes[i] == kInput0Byte) server.ToggleInput0();
            if (bytes[i] == kStopByte) app.quit();
        }
    });
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    action.sa_handler = OnTriggerSignal;
    sigaction(SIGUSR1, &action, nullptr);
    action.sa_handler = OnInput0Signal;
    sigaction(SIGUSR2, &action, nullptr);
}

struct FaultOption {
    const char* name;
    const char* valueName; // nullptr: a plain switch
    const char* help;
    sim::Fault sim::FaultSettings::*fault;
};

const FaultOption kFaultOptions[] = {
    {"silence", nullptr, "Send no reply at all.", &sim::FaultSettings::silence},
    {"delay", "ms", "Wait this many milliseconds before replying.", &sim::FaultSettings::delayMs},
    {"bad-head-check", nullptr, "Send a wrong header check byte.",
     &sim::FaultSettings::badHeadCheck},
    {"bad-data-check", nullptr, "Send a wrong data check byte.", &sim::FaultSettings::badDataCheck},
    {"error-reply", "status", "Answer with an error reply of status 1 or 2.",
     &sim::FaultSettings::errorReply},
    {"cut-after", "bytes", "Send only the first N bytes of each reply.",
     &sim::FaultSettings::cutAfterBytes},
    {"pieces", "count", "Send each reply in N pieces (see --piece-pause).",
     &sim::FaultSettings::pieces},
    {"odd-length", nullptr, "Add one data byte, giving an odd data length.",
     &sim::FaultSettings::oddLength},
    {"data-bytes", "bytes", "Send only the first N data bytes, in a well-formed frame.",
     &sim::FaultSettings::dataBytes},
    {"oversize-length", "bytes", "Announce this data length in the header (e.g. 3000).",
     &sim::FaultSettings::oversizeLength},
    {"close-after", "replies", "Close the connection after N replies.",
     &sim::FaultSettings::closeAfterReplies},
    {"baud", "rate", "Pace reply bytes at this baud rate (10 bits per byte).",
     &sim::FaultSettings::baudRate},
    {"plausibility-count", "count", "Report this count in replies to orders 1 and 4.",
     &sim::FaultSettings::plausibilityCount},
};

QString HelpEpilogue() {
    return QStringLiteral(
               "\nOrders answered: 1 write block, 2 read block, 3 store RAM in EEPROM, 4 load "
               "EEPROM into RAM,\n7 identification, 8 measurement, 30 trigger-driven sending "
               "(argument 1 on, 0 off),\n100 measure dark offsets (argument 1), 101 write "
               "factors (argument 0) or offsets\n(argument 1), 102 read factors and offsets, 103 "
               "self calibration (proposes factors, set value\n1000, maximum delta 200), 105 "
               "cycle time, 110 scan (argument 1) and break scan (argument 0),\n190 baud rate, "
               "194 hardware information (argument 19053).\n"
               "Order 101 counts in its status the words it replaced: a factor of 0 or above "
               "4096 by 1024,\nan offset above 1000 by 0. Calibrated = (raw - offset) x factor "
               "/ 1024, at most 4095.\nAny other order gets an error reply with "
               "status 1; a malformed block request (index\nabove 3, wrong length, bad payload "
               "check byte), an order 30 with another argument or a\npayload, a scan without "
               "five intact words or with a trigger mode above 4, a pre-trigger\ncount above "
               "128 or a record signal above 1, a calibration order with another argument or\n"
               "payload, an order 194 without its key, or a failed EEPROM write gets status 2.\n"
               "While a connection has trigger-driven sending on, each trigger sends it the reply "
               "to order 8\nunasked, with trigger word 1 (--trigger-code gives the same frame "
               "another reply code).\nTriggers come every --trigger-period ms and on SIGUSR1.\n"
               "The measurement cycle is 1 ms (order 105 gives A = 80, B = about 8000). A scan "
               "sends its four\nblocks when complete; the digital block holds OUT0..OUT4 in "
               "bits 0..4 and IN0 in bit 5.\nIts ring starts at position 0, so a single shot "
               "reports the pre-trigger count as its\ntrigger index, unless --trigger-index "
               "places the trigger sample elsewhere.\nIN0 follows a light barrier (high for 150 of "
               "every "
               "200 cycles) unless --in0 holds it;\nSIGUSR2 toggles it and holds it from then "
               "on.\n"
               "Without --tcp and --pty the simulator listens on TCP port 10001.\n"
               "SIGINT and SIGTERM end it and remove the pty link.\n\n") +
           QString::fromStdString(sim::DescribeRanges());
}

bool ReadFaults(const QCommandLineParser& parser, sim::FaultSettings& faults, QString& error) {
    int order = sim::kAllOrders;
    if (parser.isSet("only-order")) {
        bool ok = false;
        order = parser.value("only-order").toInt(&ok);
        if (!ok || order < 0 || order > 255) {
            error = QStringLiteral("--only-order needs an order number 0..255");
            return false;
        }
    }
    for (const FaultOption& option : kFaultOptions) {
        if (!parser.isSet(option.name)) continue;
        sim::Fault& fault = faults.*(option.fault);
        fault.on = true;
        fault.order = order;
        if (!option.valueName) continue;
        bool ok = false;
        fault.value = parser.value(option.name).toInt(&ok);
        if (!ok || fault.value < 0) {
            error = QStringLiteral("--%1 needs a whole number").arg(option.name);
            return false;
        }
    }
    if (parser.isSet("piece-pause")) faults.piecePauseMs = parser.value("piece-pause").toInt();
    return true;
}

// An option's value, when given, as a whole number from `lowest` to `highest`; false (and said
// so) when it is something else.
bool ReadWholeNumber(const QCommandLineParser& parser, const char* name, int lowest, int highest,
                     int& value) {
    if (!parser.isSet(name)) return true;
    bool ok = false;
    const int read = parser.value(name).toInt(&ok);
    if (!ok || read < lowest || read > highest) {
        std::fprintf(stderr, "chromix3-sim: --%s needs a whole number %d..%d\n", name, lowest,
                     highest);
        return false;
    }
    value = read;
    return true;
}

// \xHH as that byte and \\ as a backslash, so a test can give any byte on a command line;
// empty when an escape is malformed.
std::optional<std::string> UnescapedBytes(const QString& text) {
    const std::string in = text.toStdString();
    std::string out;
    for (std::size_t at = 0; at < in.size(); ++at) {
        if (in[at] != '\\') {
            out += in[at];
        } else if (at + 1 < in.size() && in[at + 1] == '\\') {
            out += '\\';
            ++at;
        } else if (at + 3 < in.size() && in[at + 1] == 'x' &&
                   std::isxdigit(static_cast<unsigned char>(in[at + 2])) &&
                   std::isxdigit(static_cast<unsigned char>(in[at + 3]))) {
            out += char(std::stoi(in.substr(at + 2, 2), nullptr, 16));
            at += 3;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("chromix3-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated CHROMIX3 colour sensor for CHROMIX3-Varev V4.2.") +
        HelpEpilogue());
    parser.addHelpOption();
    parser.addOption({"tcp",
                      "Listen on 127.0.0.1 at this port (0 = any free port; a port number only).",
                      "port"});
    parser.addOption({"pty", "Serve a pseudo-terminal, its slave linked at this path.", "path"});
    parser.addOption({"eeprom", "Keep the EEPROM parameter sets in this file.", "file"});
    parser.addOption({"seed", "Start value of the measurement noise.", "number", "1"});
    parser.addOption({"trigger-period",
                      "Trigger every this many ms while trigger-driven sending is on (default "
                      "200; 0 = only on SIGUSR1).",
                      "ms", QString::number(sim::TriggerSource::kDefaultPeriodMs)});
    parser.addOption({"in0",
                      "Input IN0: auto (a light barrier, high for 150 of every 200 cycles), low "
                      "or high (held; SIGUSR2 toggles it).",
                      "level", QStringLiteral("auto")});
    parser.addOption({"raw-spread",
                      "Hold the object at raw means 1500 + N/2, 1500, 1500 - N/2 (N up to 3000) "
                      "instead of letting it drift.",
                      "N"});
    parser.addOption({"trigger-code",
                      "Triggers push their frame with this reply code (0..255) instead of 8, the "
                      "measurement kept (0: an error reply).",
                      "code"});
    parser.addOption({"trigger-index",
                      "Scans lay out their rings with the trigger sample at this position "
                      "(0..127) instead of starting at 0.",
                      "N"});
    for (const FaultOption& option : kFaultOptions) {
        if (option.valueName)
            parser.addOption({option.name, option.help, option.valueName});
        else
            parser.addOption({option.name, option.help});
    }
    parser.addOption({"identification",
                      "Answer the identification with this text (\\xHH a byte, \\\\ a "
                      "backslash; at most 200 bytes).",
                      "text"});
    parser.addOption({"piece-pause", "Pause between reply pieces in ms (default 20).", "ms"});
    parser.addOption({"only-order", "Limit the faults given to this order number.", "order"});
    parser.process(app);

    sim::FaultSettings faults;
    QString error;
    if (!ReadFaults(parser, faults, error)) {
        std::fprintf(stderr, "chromix3-sim: %s\n", qPrintable(error));
        return 2;
    }
    bool periodOk = false;
    const int triggerPeriod = parser.value("trigger-period").toInt(&periodOk);
    if (!periodOk || triggerPeriod < 0) {
        std::fprintf(stderr, "chromix3-sim: --trigger-period needs a whole number of ms\n");
        return 2;
    }

    const QString in0 = parser.value("in0");
    if (in0 != QLatin1String("auto") && in0 != QLatin1String("low") &&
        in0 != QLatin1String("high")) {
        std::fprintf(stderr, "chromix3-sim: --in0 needs auto, low or high\n");
        return 2;
    }

    int rawSpread = -1;
    if (parser.isSet("raw-spread")) {
        bool ok = false;
        rawSpread = parser.value("raw-spread").toInt(&ok);
        if (!ok || rawSpread < 0 || rawSpread > 3000) {
            std::fprintf(stderr, "chromix3-sim: --raw-spread needs a whole number 0..3000\n");
            return 2;
        }
    }

    int triggerCode = 8;
    if (!ReadWholeNumber(parser, "trigger-code", 0, 255, triggerCode)) return 2;
    int triggerIndex = -1;
    if (!ReadWholeNumber(parser, "trigger-index", 0, 127, triggerIndex)) return 2;

    sim::SensorModel::Options options;
    if (parser.isSet("identification")) {
        const auto text = UnescapedBytes(parser.value("identification"));
        if (!text || text->size() > 200) {
            std::fprintf(stderr, "chromix3-sim: --identification needs at most 200 bytes, "
                                 "\\xHH and \\\\ the only escapes\n");
            return 2;
        }
        options.identification = *text;
    }
    options.eepromPath = parser.value("eeprom").toStdString();
    options.seed = parser.value("seed").toUInt();
    sim::SimServer server(options);
    if (!server.LastError().isEmpty())
        std::fprintf(stderr, "chromix3-sim: %s, starting from factory settings\n",
                     qPrintable(server.LastError()));
    server.FaultSwitches().Set(faults);
    server.Trigger().SetPeriodMs(triggerPeriod);
    if (in0 != QLatin1String("auto")) server.SetInput0(in0 == QLatin1String("high"));
    server.SetRawSpread(rawSpread);
    server.Trigger().SetFrameCode(triggerCode);
    server.SetScopeTriggerIndex(triggerIndex);

    const bool wantTcp = parser.isSet("tcp") || !parser.isSet("pty");
    quint16 port = 10001;
    if (parser.isSet("tcp")) {
        // A value that is no number would read as 0, any free port: a client told the port it
        // gave would never find the simulator.
        bool ok = false;
        const QString value = parser.value("tcp");
        port = value.toUShort(&ok);
        if (!ok || value.startsWith('+')) {
            std::fprintf(stderr,
                         "chromix3-sim: --tcp needs a port number 0..65535 (it listens on "
                         "127.0.0.1), not '%s'\n",
                         qPrintable(value));
            return 2;
        }
    }
    if (wantTcp) {
        if (!server.ListenTcp(port)) {
            // Name the address: the usual cause is another program already holding the port.
            std::fprintf(stderr, "chromix3-sim: cannot listen on 127.0.0.1:%u: %s\n",
                         unsigned(port), qPrintable(server.LastError()));
            return 1;
        }
        std::printf("chromix3-sim: TCP port %u\n", server.TcpPort());
    }
    if (parser.isSet("pty")) {
        if (!server.OpenPty(parser.value("pty"))) {
            std::fprintf(stderr, "chromix3-sim: %s\n", qPrintable(server.LastError()));
            return 1;
        }
        std::printf("chromix3-sim: pty %s linked at %s\n", qPrintable(server.PtySlavePath()),
                    qPrintable(parser.value("pty")));
    }
    std::fflush(stdout);

    InstallSignals(app, server);
    const int result = app.exec();
    server.Shutdown();
    return result;
}
