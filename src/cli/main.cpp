// chromix3-cli: the sensor's commands from a shell, over the program's own link and model code.
#include "cli/CliFiles.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleSink.h"
#include "cli/FleetFile.h"
#include "cli/MqttSink.h"
#include "cli/RecordFormat.h"
#include "cli/SensorSession.h"
#include "cli/Watch.h"
#include "core/AppState.h"
#include "core/EventDispatcher.h"
#include "core/SafeFile.h"
#include "core/ShownText.h"
#include "model/HardwareInfoFile.h"
#include "model/ParameterDefaults.h"
#include "model/ParameterFile.h"
#include "model/RecordFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <set>
#include <thread>
#include <unistd.h>

namespace cli {

namespace {

// What reaches the terminal shows its control characters, never obeys them.
void PrintError(const std::string& text) {
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == ' '))
        line.pop_back();
    std::fprintf(stderr, "%s\n", core::PrintableLines(line).c_str());
}

void PrintUsageError(const QString& text) {
    std::fprintf(stderr, "chromix3-cli: %s\n", core::Printable(text.toStdString()).c_str());
}

// What went wrong, with the sensor's address, and the status that goes with it.
int LinkFailure(const SensorSession& session) {
    const std::string cause = session.FailureText();
    PrintError("chromix3-cli: " + (cause.empty() ? "the sensor did not answer" : cause));
    return kExitLinkFailed;
}

const QCommandLineOption kTimeoutOption{
    "timeout", "Seconds a reply may take (3) and a TCP connect may take (5); one value for both.",
    "seconds"};

void AddLinkOptions(QCommandLineParser& parser) {
    parser.addOption(
        {"tcp", "The sensor's TCP/IP server, port 10001 unless given.", "host[:port]"});
    parser.addOption({"serial", "The serial device the sensor is on.", "device"});
    parser.addOption({"baud", "Baud rate of the serial device (9600 to 115200; 115200).", "rate"});
    parser.addOption(kTimeoutOption);
}

// Link options may stand before the command or after it; after it they count.
QString LinkValue(const QCommandLineParser& top, const QCommandLineParser& command,
                  const QString& name) {
    return command.isSet(name) ? command.value(name) : top.value(name);
}

std::optional<LinkChoice> ChosenLink(const QCommandLineParser& top,
                                     const QCommandLineParser& command) {
    const QString tcp = LinkValue(top, command, "tcp");
    const QString serial = LinkValue(top, command, "serial");
    const QString baud = LinkValue(top, command, "baud");
    if (tcp.isEmpty() == serial.isEmpty()) {
        PrintUsageError("name the sensor with either --tcp or --serial");
        return std::nullopt;
    }
    LinkChoice choice;
    if (!tcp.isEmpty()) {
        const auto address = ParseTcpAddress(tcp.toStdString());
        if (!address || !baud.isEmpty()) {
            PrintUsageError(address ? "--baud is for --serial" : "--tcp needs host[:port]");
            return std::nullopt;
        }
        choice.host = address->host;
        choice.port = address->port;
        return choice;
    }
    choice.tcp = false;
    choice.device = serial.toStdString();
    if (!baud.isEmpty()) {
        bool ok = false;
        const auto code = BaudCodeOfRate(baud.toInt(&ok));
        if (!ok || !code) {
            PrintUsageError("--baud needs 9600, 19200, 38400, 57600 or 115200");
            return std::nullopt;
        }
        choice.baudCode = *code;
    }
    return choice;
}

// --timeout, before or after the command: 0 keeps the link's own limits; nothing when wrong.
std::optional<double> TimeoutOption(const QCommandLineParser& top,
                                    const QCommandLineParser& command) {
    const QString text = LinkValue(top, command, "timeout");
    if (text.isEmpty()) return 0.0;
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (ok && seconds > 0 && seconds <= 3600) return seconds;
    PrintUsageError("--timeout needs a number of seconds above 0");
    return std::nullopt;
}

// The options of the commands, beside the link options every command has.
const QCommandLineOption kFileOption{"file", "The file to read or write; - is standard output.",
                                     "file"};
const QCommandLineOption kSendFileOption{"file", "The file to send; - is standard input.", "file"};
const QCommandLineOption kForceOption{
    "force", "Send a file of another type or version all the same (the window would ask)."};
const QCommandLineOption kRecordFormatOption{
    "format",
    "tsv (the record file, the default), csv or json (one object a line); csv and json with "
    "UTC times in ISO 8601.",
    "format"};
const QCommandLineOption kParameterFormatOption{
    "format",
    "The parameter file unless given; tsv, csv or json: the values as a table of section, key "
    "and value (json: one object).",
    "format"};
const QCommandLineOption kOutputOption{
    "file", "Write to this file rather than standard output (-).", "file"};
const QCommandLineOption kIntervalOption{
    "interval",
    "Seconds from the start of one measurement to the start of the next (0: as fast as the "
    "sensor answers).",
    "seconds"};
const QCommandLineOption kWatchIntervalOption{
    "interval",
    "Seconds from the start of one measurement to the next, for each sensor without its own "
    "(1; 0: as fast as it answers).",
    "seconds", "1"};
const QCommandLineOption kSensorOption{
    "sensor",
    "A sensor to watch: NAME=tcp:HOST[:PORT] or NAME=serial:DEVICE[@BAUD], "
    "optionally followed by ,interval=SECONDS. May be given many times.",
    "name=address"};
const QCommandLineOption kFleetOption{
    "fleet", "A file of sensors to watch, one a line: NAME ADDRESS [INTERVAL]; # comments.",
    "file"};
const QCommandLineOption kEepromOption{"eeprom", "The sensor's EEPROM rather than its RAM."};
const QCommandLineOption kSetOption{"set", "Parameter set 0 or 1 (0).", "set", "0"};
const QCommandLineOption kCountOption{"count", "Take this many measurements (1).", "n"};
const QCommandLineOption kSecondsOption{"seconds", "Measure for this many seconds.", "s"};

struct Transfer {
    std::string path;
    std::uint16_t paraSet = 0;
    std::uint16_t memoryTarget = core::kRam;
    std::optional<Format> table; // get: the values as a table rather than the parameter file
};

std::optional<Transfer> TransferOptions(const QCommandLineParser& parser) {
    Transfer transfer;
    transfer.path = parser.value(kFileOption).toStdString();
    if (transfer.path.empty()) {
        PrintUsageError("--file names the file");
        return std::nullopt;
    }
    const QString set = parser.value(kSetOption);
    if (set != "0" && set != "1") {
        PrintUsageError("--set needs 0 or 1");
        return std::nullopt;
    }
    transfer.paraSet = std::uint16_t(set.toInt());
    transfer.memoryTarget = parser.isSet(kEepromOption) ? core::kEeprom : core::kRam;
    if (parser.optionNames().contains("format")) {
        transfer.table = ParseFormat(parser.value("format").toStdString());
        if (!transfer.table) {
            PrintUsageError("--format needs tsv, csv or json");
            return std::nullopt;
        }
    }
    return transfer;
}

// Writes a file by `write`, or to standard output for "-"; the status to end with. `refusal`:
// what `write` said of a path it would not write.
int WriteOutputFile(const std::string& path, const std::function<int(const std::string&)>& write,
                    const std::string& refusal) {
    const bool standard = IsStandardStream(path);
    if ((standard ? WriteToStandardOutput(write) : write(path)) >= 0) return kExitOk;
    if (!refusal.empty())
        PrintError("chromix3-cli: " + refusal);
    else
        PrintError("chromix3-cli: cannot write " + (standard ? "to standard output" : path));
    return kExitFileFailed;
}

int TransferStatus(const comm::TransferResult& result, const SensorSession& session) {
    if (!result.Done()) return LinkFailure(session);
    if (result.replaced) {
        PrintError(session.Log());
        return kExitValuesReplaced;
    }
    return kExitOk;
}

// The sensor's bytes are 8-bit characters, and its text is data, never terminal control.
int Identify(SensorSession& session) {
    std::printf("%s\n", core::Printable(core::Utf8OfLatin1(session.FirmwareId())).c_str());
    return kExitOk;
}

int Get(const Transfer& transfer, SensorSession& session) {
    protocol::ParameterImage image = params::DefaultParameterImage();
    const auto result =
        session.Operations().GetParameters(transfer.paraSet, transfer.memoryTarget, image);
    if (!result.Done()) return LinkFailure(session);
    std::string refusal;
    const int written = WriteOutputFile(
        transfer.path,
        [&](const std::string& path) {
            if (!transfer.table) return params::WriteParameterFileTo(path, image, &refusal);
            return recorder::ReplaceRecordFile(path, ParameterTable(*transfer.table, image),
                                               &refusal) == recorder::WriteResult::Written
                       ? 0
                       : -1;
        },
        refusal);
    if (written != kExitOk) return written;
    return TransferStatus(result, session);
}

int Send(const Transfer& transfer, const protocol::ParameterImage& fromFile,
         SensorSession& session) {
    // The rows' reserved words go back as the sensor holds them; the file does not carry them.
    protocol::ParameterImage current = params::DefaultParameterImage();
    if (!session.Operations().GetParameters(transfer.paraSet, core::kRam, current).Done())
        return LinkFailure(session);
    protocol::ParameterImage image = fromFile;
    for (int row = 0; row < protocol::kTeachRows; ++row)
        image.table[row].w[protocol::kTeachVectorWords - 1] =
            current.table[row].w[protocol::kTeachVectorWords - 1];
    return TransferStatus(
        session.Operations().SendParameters(image, transfer.paraSet, transfer.memoryTarget),
        session);
}

// Where the records go: the record file's own bytes on stdout unless another format or file is
// asked for. A row the disk has no room for is left out whole and counted; the next one may still
// fit.
struct RecordOutput {
    Format format = Format::Tsv;
    int fd = STDOUT_FILENO;
    bool headerWritten = true;
    long rows = 0;
    long rowsNotWritten = 0;

    void Header() {
        const std::string header =
            format == Format::Tsv ? recorder::RecordFileHeader("") : HeaderLine(format, false);
        headerWritten =
            header.empty() || recorder::WriteWhole(fd, header) == recorder::WriteResult::Written;
    }
    void Row(const protocol::MeasurementFrame& frame) {
        ++rows;
        MeasurementRecord record;
        record.unixMs = QDateTime::currentMSecsSinceEpoch();
        record.frame = frame;
        if (recorder::WriteWhole(fd, RecordLine(format, record, false)) !=
            recorder::WriteResult::Written)
            ++rowsNotWritten;
    }
    // Says what is missing from the output; false when nothing is.
    bool ReportMissing() const {
        if (headerWritten && rowsNotWritten == 0) return false;
        PrintError("chromix3-cli: " + std::to_string(rowsNotWritten) + " of " +
                   std::to_string(rows) + " rows were not written" +
                   (headerWritten ? "" : ", nor the header") + " (the output is full or failed)");
        return true;
    }
};

struct MeasureRun {
    long count = 1; // 0: for `seconds`
    double seconds = 0;
    double interval = 0; // from start to start; 0: at once
    Format format = Format::Tsv;
    std::string path; // empty or "-": standard output
};

int Measure(const MeasureRun& run, SensorSession& session) {
    RecordOutput output;
    output.format = run.format;
    if (!run.path.empty() && !IsStandardStream(run.path)) {
        std::string refusal;
        output.fd =
            core::OpenRegularFile(run.path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, refusal);
        if (output.fd < 0) {
            PrintError("chromix3-cli: " + (refusal.empty() ? "cannot write " + run.path : refusal));
            return kExitFileFailed;
        }
    }
    const bool showProgress = ::isatty(STDERR_FILENO) == 1;
    bool progressShown = false;
    qint64 progressAt = 1000;
    QElapsedTimer clock;
    clock.start();
    output.Header();
    protocol::MeasurementFrame frame;
    int status = kExitOk;
    for (long taken = 0;;) {
        const qint64 startNs = clock.nsecsElapsed();
        if (session.Operations().Measure(frame) != protocol::Outcome::Reply) {
            status = kExitLinkFailed;
            break;
        }
        output.Row(frame);
        ++taken;
        // The interval is a period: the next measurement starts one interval after this one did.
        const qint64 nextNs = startNs + qint64(run.interval * 1e9);
        const qint64 elapsed = clock.elapsed();
        if (run.count > 0 ? taken >= run.count
                          : std::max(elapsed, nextNs / 1000000) >= run.seconds * 1000)
            break;
        if (showProgress && elapsed >= progressAt) {
            std::fprintf(stderr, "\r%ld measurements, %.1f s", taken, elapsed / 1000.0);
            progressShown = true;
            progressAt = elapsed + 250;
        }
        const qint64 restNs = nextNs - clock.nsecsElapsed();
        if (restNs > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(restNs));
    }
    if (progressShown) std::fputc('\n', stderr);
    if (output.fd != STDOUT_FILENO) ::close(output.fd);
    if (status == kExitLinkFailed) {
        output.ReportMissing();
        return LinkFailure(session);
    }
    return output.ReportMissing() ? kExitFileFailed : kExitOk;
}

int HardwareInfo(const std::string& path, std::uint16_t paraSet, SensorSession& session) {
    protocol::ParameterImage image = params::DefaultParameterImage();
    calibration::HardwareInfo info;
    info.firmwareId = session.FirmwareId();
    comm::SensorOperations& operations = session.Operations();
    comm::CalibrationWords calibration;
    if (!operations.GetParameters(paraSet, core::kRam, image).Done() ||
        operations.ReadCalibration(calibration) != protocol::Outcome::Reply ||
        operations.ReadHardwareBlock(info.words) != protocol::Outcome::Reply)
        return LinkFailure(session);
    info.factors = calibration.factors;
    info.offsets = calibration.offsets;
    std::string refusal;
    return WriteOutputFile(
        path,
        [&](const std::string& to) {
            return calibration::WriteHardwareInfoFile(to, info, image, &refusal);
        },
        refusal);
}

// The sensors of `watch`: those named by --sensor, then those of the fleet file. Nothing, with
// the status to end with, when one is wrong.
std::optional<std::vector<WatchTarget>> WatchFleet(const QCommandLineParser& parser, int& status) {
    std::vector<WatchTarget> fleet;
    std::string why;
    for (const QString& option : parser.values(kSensorOption)) {
        const auto target = ParseSensorOption(option.toStdString(), why);
        if (!target) return PrintUsageError(QString::fromStdString(why)), std::nullopt;
        fleet.push_back(*target);
    }
    if (parser.isSet(kFleetOption)) {
        const QString path = parser.value(kFleetOption);
        std::string text;
        if (!core::ReadRegularFile(path.toStdString(), kLargestInputFile, text, why)) {
            PrintError("chromix3-cli: the fleet file: " + why);
            return status = kExitFileFailed, std::nullopt;
        }
        const auto listed = ParseFleet(text, why);
        if (listed.empty()) {
            PrintUsageError(path + ": " +
                            QString::fromStdString(why.empty() ? "no sensor listed" : why));
            return std::nullopt;
        }
        fleet.insert(fleet.end(), listed.begin(), listed.end());
    }
    if (fleet.empty())
        return PrintUsageError("watch needs --sensor NAME=ADDRESS or --fleet FILE"), std::nullopt;
    std::set<std::string> names;
    for (const WatchTarget& target : fleet) {
        if (!names.insert(target.name).second)
            return PrintUsageError(QString::fromStdString("two sensors named " + target.name)),
                   std::nullopt;
    }
    return fleet;
}

int RunWatch(const QCommandLineParser& top, const QCommandLineParser& parser) {
    for (const char* name : {"tcp", "serial", "baud"}) {
        if (top.isSet(name)) {
            PrintUsageError("watch names its sensors with --sensor or --fleet, not --" +
                            QString(name));
            return kExitUsage;
        }
    }
    int status = kExitUsage;
    const auto fleet = WatchFleet(parser, status);
    if (!fleet) return status;
    const auto interval = ParseInterval(parser.value(kWatchIntervalOption).toStdString());
    const auto format = parser.isSet(kRecordFormatOption)
                            ? ParseFormat(parser.value(kRecordFormatOption).toStdString())
                            : std::optional<Format>(Format::Tsv);
    const auto timeout = TimeoutOption(top, parser);
    if (!interval || !format || !timeout) {
        if (!interval) PrintUsageError("--interval needs a number of seconds, 0 or more");
        if (!format) PrintUsageError("--format needs tsv, csv or json");
        return kExitUsage;
    }
    const MqttChoice mqtt = MqttChoiceOf(parser);
    if (!mqtt.error.empty()) {
        PrintUsageError(QString::fromStdString(mqtt.error));
        return mqtt.status;
    }
    WatchedSensor::Limits limits;
    if (*timeout > 0) {
        limits.replySeconds = *timeout;
        limits.connectMs = int(std::lround(*timeout * 1000));
    }
    // Records are added to a file, so a restarted service keeps what it wrote before; the
    // header goes only into an empty one.
    int fd = STDOUT_FILENO;
    bool header = true;
    const std::string path = parser.value(kOutputOption).toStdString();
    if (!path.empty() && !IsStandardStream(path)) {
        std::string refusal;
        fd = core::OpenRegularFile(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, refusal);
        if (fd < 0) {
            PrintError("chromix3-cli: " + (refusal.empty() ? "cannot write " + path : refusal));
            return kExitFileFailed;
        }
        header = ::lseek(fd, 0, SEEK_END) == 0;
    }
    Watch watch(*fleet, *interval, limits);
    if (!watch.CatchStopSignals()) {
        PrintError("chromix3-cli: cannot watch for SIGINT and SIGTERM");
        return kExitUsage;
    }
    // The broker's client first: one that cannot be set up as asked ends the run before a
    // record is written or anything is sent.
    std::optional<MqttSink> broker;
    if (mqtt.options && !broker.emplace(*mqtt.options).Publisher().SetupError().empty()) {
        PrintError("chromix3-cli: " + broker->Publisher().SetupError());
        if (fd != STDOUT_FILENO) ::close(fd);
        return kExitUsage;
    }
    ConsoleSink console(*format, fd, header);
    watch.AddSink(console);
    if (broker) watch.AddSink(*broker);
    watch.Run();
    console.Flush(Watch::kFlushTimeoutMs);
    if (fd != STDOUT_FILENO) ::close(fd);
    if (console.LinesNotWritten() == 0) return kExitOk;
    PrintError("chromix3-cli: " + std::to_string(console.LinesNotWritten()) + " of " +
               std::to_string(console.Lines() + console.LinesNotWritten()) +
               " lines were not written (the output is full or failed)");
    return kExitFileFailed;
}

struct Command {
    const char* name;
    const char* description;
    QList<QCommandLineOption> options;
    // Checks the command's own options and returns what runs on an open session, or nothing
    // with the status to end with.
    std::function<std::function<int(SensorSession&)>(const QCommandLineParser&, int&)> prepare;
    // A command that opens its own links runs alone, given both parsers (top, command).
    std::function<int(const QCommandLineParser&, const QCommandLineParser&)> alone;
};

std::vector<Command> Commands() {
    return {
        {"identify",
         "Print the sensor's firmware identification.",
         {},
         [](const QCommandLineParser&, int&) -> std::function<int(SensorSession&)> {
             return Identify;
         },
         nullptr},
        {"get",
         "Read a parameter set from the sensor into a parameter file.",
         {kFileOption, kEepromOption, kSetOption, kParameterFormatOption},
         [](const QCommandLineParser& parser, int& status) -> std::function<int(SensorSession&)> {
             const auto transfer = TransferOptions(parser);
             if (!transfer) return status = kExitUsage, nullptr;
             return [t = *transfer](SensorSession& s) { return Get(t, s); };
         },
         nullptr},
        {"send",
         "Write a parameter file to a parameter set of the sensor. The whole file is "
         "read and checked first: a file that is not complete sends nothing, nor one of "
         "another type or version unless --force is given.",
         {kSendFileOption, kEepromOption, kSetOption, kForceOption},
         [](const QCommandLineParser& parser, int& status) -> std::function<int(SensorSession&)> {
             const auto transfer = TransferOptions(parser);
             if (!transfer) return status = kExitUsage, nullptr;
             protocol::ParameterImage image = params::DefaultParameterImage();
             const bool force = parser.isSet(kForceOption);
             const auto read = [&](const std::string& path) {
                 return ReadWholeParameterFile(path, image, force);
             };
             const std::string refused = IsStandardStream(transfer->path)
                                             ? ReadFromStandardInput(read)
                                             : read(transfer->path);
             if (!refused.empty()) {
                 PrintError(transfer->path + ": nothing sent.\n" + refused);
                 return status = kExitFileFailed, nullptr;
             }
             return [t = *transfer, image](SensorSession& s) { return Send(t, image, s); };
         },
         nullptr},
        {"measure",
         "Print measurements: the record file's tab-separated rows, header first, or csv or "
         "json lines.",
         {kCountOption, kSecondsOption, kIntervalOption, kRecordFormatOption, kOutputOption},
         [](const QCommandLineParser& parser, int& status) -> std::function<int(SensorSession&)> {
             bool ok = true;
             MeasureRun run;
             if (parser.isSet(kCountOption)) run.count = parser.value(kCountOption).toLong(&ok);
             if (ok && parser.isSet(kSecondsOption)) {
                 run.seconds = parser.value(kSecondsOption).toDouble(&ok);
                 ok = ok && !parser.isSet(kCountOption);
                 run.count = 0;
             }
             if (!ok || run.count < 0 || (run.count == 0 && !(run.seconds > 0))) {
                 PrintUsageError("measure takes either --count N or --seconds S, above 0");
                 return status = kExitUsage, nullptr;
             }
             if (parser.isSet(kIntervalOption)) {
                 const auto interval = ParseInterval(parser.value(kIntervalOption).toStdString());
                 if (!interval) {
                     PrintUsageError("--interval needs a number of seconds, 0 or more");
                     return status = kExitUsage, nullptr;
                 }
                 run.interval = *interval;
             }
             if (parser.isSet(kRecordFormatOption)) {
                 const auto format = ParseFormat(parser.value(kRecordFormatOption).toStdString());
                 if (!format) {
                     PrintUsageError("--format needs tsv, csv or json");
                     return status = kExitUsage, nullptr;
                 }
                 run.format = *format;
             }
             run.path = parser.value(kOutputOption).toStdString();
             return [run](SensorSession& s) { return Measure(run, s); };
         },
         nullptr},
        {"hwinfo",
         "Read the hardware information and write the hardware info file.",
         {kFileOption, kSetOption},
         [](const QCommandLineParser& parser, int& status) -> std::function<int(SensorSession&)> {
             const QString set = parser.value(kSetOption);
             const std::string path = parser.value(kFileOption).toStdString();
             if (path.empty() || (set != "0" && set != "1")) {
                 PrintUsageError("hwinfo needs --file, and --set 0 or 1");
                 return status = kExitUsage, nullptr;
             }
             return [path, paraSet = std::uint16_t(set.toInt())](SensorSession& s) {
                 return HardwareInfo(path, paraSet, s);
             };
         },
         nullptr},
        {"watch",
         "Measure many sensors at once until SIGINT or SIGTERM, each record named after its "
         "sensor; a sensor that fails is tried again, from 1 s doubling to 30 s apart.",
         QList<QCommandLineOption>{kSensorOption, kFleetOption, kWatchIntervalOption,
                                   kRecordFormatOption, kOutputOption} +
             MqttOptions(),
         nullptr, RunWatch},
    };
}

QString CommandList(const std::vector<Command>& commands) {
    QString text = "\nCommands:\n";
    for (const Command& command : commands)
        text += QStringLiteral("  %1  %2\n").arg(command.name, -9).arg(command.description);
    text +=
        "\n'chromix3-cli COMMAND --help' shows a command's options.\nExit status: 0 done (watch: "
        "ended by SIGINT or SIGTERM), 1 "
        "link or sensor failure, 2 wrong usage, 3 file refused or not written, 4 the sensor "
        "replaced implausible values.";
    return text;
}

// Qt's usage line names the program by its path and knows no commands.
void PrintHelp(const QCommandLineParser& parser, const QString& command) {
    QString text = parser.helpText();
    text.replace(0, text.indexOf('\n'), "Usage: chromix3-cli " + command + " [options]");
    std::printf("%s", qPrintable(text));
}

int Run(const QStringList& arguments) {
    const std::vector<Command> commands = Commands();
    QCommandLineParser top;
    top.setApplicationDescription("The CHROMIX3 colour sensor from a shell." +
                                  CommandList(commands));
    top.addHelpOption();
    top.addOption({"version", "Print the program's version."});
    AddLinkOptions(top);
    top.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!top.parse(arguments)) {
        PrintUsageError(top.errorText());
        return kExitUsage;
    }
    if (top.isSet("help")) {
        PrintHelp(top, "COMMAND");
        return kExitOk;
    }
    if (top.isSet("version")) {
        std::printf("chromix3-cli %s\n", CHROMIX_VERSION);
        return kExitOk;
    }
    const QStringList rest = top.positionalArguments();
    if (rest.isEmpty()) {
        PrintUsageError("no command given; see --help");
        return kExitUsage;
    }
    const auto command = std::find_if(commands.begin(), commands.end(), [&](const Command& c) {
        return rest.first() == QLatin1String(c.name);
    });
    if (command == commands.end()) {
        PrintUsageError(QStringLiteral("unknown command '%1'; see --help").arg(rest.first()));
        return kExitUsage;
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(command->description);
    parser.addHelpOption();
    // watch names its sensors its own way; --timeout is for every link.
    if (command->alone)
        parser.addOption(kTimeoutOption);
    else
        AddLinkOptions(parser);
    parser.addOptions(command->options);
    if (!parser.parse(QStringList{arguments.first()} + rest.mid(1))) {
        PrintUsageError(parser.errorText());
        return kExitUsage;
    }
    if (parser.isSet("help")) {
        PrintHelp(parser, command->name);
        return kExitOk;
    }
    if (!parser.positionalArguments().isEmpty()) {
        PrintUsageError("unexpected " + parser.positionalArguments().join(' '));
        return kExitUsage;
    }
    if (command->alone) return command->alone(top, parser);
    const auto link = ChosenLink(top, parser);
    const auto timeout = TimeoutOption(top, parser);
    if (!link || !timeout) return kExitUsage;
    // Everything the command needs from files is read before the sensor is reached.
    int status = kExitOk;
    const auto work = command->prepare(parser, status);
    if (!work) return status;
    SensorSession session;
    if (!session.Open(*link, *timeout)) return LinkFailure(session);
    return work(session);
}

} // namespace

} // namespace cli

int main(int argc, char* argv[]) {
    // Over a file size limit a write is to fail with EFBIG, which the writers repair to whole
    // rows and report, rather than end the process in the middle of a row.
    std::signal(SIGXFSZ, SIG_IGN);
    core::UseQtEventDispatcher();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("chromix3-cli"));
    return cli::Run(QCoreApplication::arguments());
}
