// chromix3-cli: the sensor's commands from a shell, over the program's own link and model code.
#include "calibration/HardwareInfoFile.h"
#include "cli/CliFiles.h"
#include "cli/CliOptions.h"
#include "cli/SensorSession.h"
#include "core/AppState.h"
#include "core/EventDispatcher.h"
#include "params/ParameterDefaults.h"
#include "params/ParameterFile.h"
#include "recorder/RecordFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>
#include <optional>
#include <unistd.h>

namespace cli {

namespace {

void PrintError(const std::string& text) {
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == ' '))
        line.pop_back();
    std::fprintf(stderr, "%s\n", line.c_str());
}

void PrintUsageError(const QString& text) {
    std::fprintf(stderr, "chromix3-cli: %s\n", qPrintable(text));
}

// The link's own report of what went wrong, and the status that goes with it.
int LinkFailure(const SensorSession& session) {
    PrintError(session.Log().empty() ? "chromix3-cli: the sensor did not answer" : session.Log());
    return kExitLinkFailed;
}

void AddLinkOptions(QCommandLineParser& parser) {
    parser.addOption(
        {"tcp", "The sensor's TCP/IP server, port 10001 unless given.", "host[:port]"});
    parser.addOption({"serial", "The serial device the sensor is on.", "device"});
    parser.addOption({"baud", "Baud rate of the serial device (9600 to 115200; 115200).", "rate"});
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

// The options of the commands, beside the link options every command has.
const QCommandLineOption kFileOption{"file", "The file to read or write.", "file"};
const QCommandLineOption kEepromOption{"eeprom", "The sensor's EEPROM rather than its RAM."};
const QCommandLineOption kSetOption{"set", "Parameter set 0 or 1 (0).", "set", "0"};
const QCommandLineOption kCountOption{"count", "Take this many measurements (1).", "n"};
const QCommandLineOption kSecondsOption{"seconds", "Measure for this many seconds.", "s"};

struct Transfer {
    std::string path;
    std::uint16_t paraSet = 0;
    std::uint16_t memoryTarget = core::kRam;
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
    return transfer;
}

int TransferStatus(const comm::TransferResult& result, const SensorSession& session) {
    if (!result.Done()) return LinkFailure(session);
    if (result.replaced) {
        PrintError(session.Log());
        return kExitValuesReplaced;
    }
    return kExitOk;
}

int Identify(SensorSession& session) {
    std::printf("%s\n", session.FirmwareId().c_str());
    return kExitOk;
}

int Get(const Transfer& transfer, SensorSession& session) {
    protocol::ParameterImage image = params::DefaultParameterImage();
    const auto result =
        session.Operations().GetParameters(transfer.paraSet, transfer.memoryTarget, image);
    // A block the sensor sent short would leave values in the file that it never sent.
    if (!result.Done() || result.shortBlocks > 0) return LinkFailure(session);
    std::string refusal;
    if (params::WriteParameterFileTo(transfer.path, image, &refusal) < 0) {
        PrintError("chromix3-cli: " +
                   (refusal.empty() ? "cannot write " + transfer.path : refusal));
        return kExitFileFailed;
    }
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

recorder::ClockTime Now() {
    const QDateTime now = QDateTime::currentDateTime();
    return {now.date().year(), now.date().month(),  now.date().day(),
            now.time().hour(), now.time().minute(), now.time().second()};
}

// Stdout gets the record file's own bytes, so that it can be kept as a record file. A row the
// disk has no room for is left out whole and counted; the next one may still fit.
struct RecordOutput {
    bool headerWritten = true;
    long rows = 0;
    long rowsNotWritten = 0;

    void Header() {
        headerWritten = recorder::WriteWhole(STDOUT_FILENO, recorder::RecordFileHeader("")) ==
                        recorder::WriteResult::Written;
    }
    void Row(const protocol::MeasurementFrame& frame) {
        ++rows;
        if (recorder::WriteWhole(STDOUT_FILENO, recorder::RecordRow(frame, Now())) !=
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

int Measure(long count, double seconds, SensorSession& session) {
    const bool showProgress = ::isatty(STDERR_FILENO) == 1;
    bool progressShown = false;
    qint64 progressAt = 1000;
    QElapsedTimer clock;
    clock.start();
    RecordOutput output;
    output.Header();
    protocol::MeasurementFrame frame;
    for (long taken = 0;;) {
        if (session.Operations().Measure(frame) != protocol::Outcome::Reply) {
            if (progressShown) std::fputc('\n', stderr);
            output.ReportMissing();
            return LinkFailure(session);
        }
        output.Row(frame);
        ++taken;
        const qint64 elapsed = clock.elapsed();
        if (count > 0 ? taken >= count : elapsed >= seconds * 1000) break;
        if (showProgress && elapsed >= progressAt) {
            std::fprintf(stderr, "\r%ld measurements, %.1f s", taken, elapsed / 1000.0);
            progressShown = true;
            progressAt = elapsed + 250;
        }
    }
    if (progressShown) std::fputc('\n', stderr);
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
    if (calibration::WriteHardwareInfoFile(path, info, image, &refusal) < 0) {
        PrintError("chromix3-cli: " + (refusal.empty() ? "cannot write " + path : refusal));
        return kExitFileFailed;
    }
    return kExitOk;
}

struct Command {
    const char* name;
    const char* description;
    QList<QCommandLineOption> options;
    // Checks the command's own options and returns what runs on an open session, or nothing
    // with the status to end with.
    std::function<std::function<int(SensorSession&)>(const QCommandLineParser&, int&)> prepare;
};

std::vector<Command> Commands() {
    return {
        {"identify",
         "Print the sensor's firmware identification.",
         {},
         [](const QCommandLineParser&, int&) -> std::function<int(SensorSession&)> {
             return Identify;
         }},
        {"get",
         "Read a parameter set from the sensor into a parameter file.",
         {kFileOption, kEepromOption, kSetOption},
         [](const QCommandLineParser& parser, int& status) -> std::function<int(SensorSession&)> {
             const auto transfer = TransferOptions(parser);
             if (!transfer) return status = kExitUsage, nullptr;
             return [t = *transfer](SensorSession& s) { return Get(t, s); };
         }},
        {"send",
         "Write a parameter file to a parameter set of the sensor. The whole file is "
         "read and checked first: a file that is not complete sends nothing.",
         {kFileOption, kEepromOption, kSetOption},
         [](const QCommandLineParser& parser, int& status) -> std::function<int(SensorSession&)> {
             const auto transfer = TransferOptions(parser);
             if (!transfer) return status = kExitUsage, nullptr;
             protocol::ParameterImage image = params::DefaultParameterImage();
             const std::string refused = ReadWholeParameterFile(transfer->path, image);
             if (!refused.empty()) {
                 PrintError(transfer->path + ": nothing sent.\n" + refused);
                 return status = kExitFileFailed, nullptr;
             }
             return [t = *transfer, image](SensorSession& s) { return Send(t, image, s); };
         }},
        {"measure",
         "Print measurements as the record file's tab-separated rows, header "
         "first.",
         {kCountOption, kSecondsOption},
         [](const QCommandLineParser& parser, int& status) -> std::function<int(SensorSession&)> {
             bool ok = true;
             long count = 1;
             double seconds = 0;
             if (parser.isSet(kCountOption)) count = parser.value(kCountOption).toLong(&ok);
             if (ok && parser.isSet(kSecondsOption)) {
                 seconds = parser.value(kSecondsOption).toDouble(&ok);
                 ok = ok && !parser.isSet(kCountOption);
                 count = 0;
             }
             if (!ok || count < 0 || (count == 0 && !(seconds > 0))) {
                 PrintUsageError("measure takes either --count N or --seconds S, above 0");
                 return status = kExitUsage, nullptr;
             }
             return [count, seconds](SensorSession& s) { return Measure(count, seconds, s); };
         }},
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
         }},
    };
}

QString CommandList(const std::vector<Command>& commands) {
    QString text = "\nCommands:\n";
    for (const Command& command : commands)
        text += QStringLiteral("  %1  %2\n").arg(command.name, -9).arg(command.description);
    text += "\n'chromix3-cli COMMAND --help' shows a command's options.\nExit status: 0 done, 1 "
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
    const auto link = ChosenLink(top, parser);
    if (!link) return kExitUsage;
    // Everything the command needs from files is read before the sensor is reached.
    int status = kExitOk;
    const auto work = command->prepare(parser, status);
    if (!work) return status;
    SensorSession session;
    if (!session.Open(*link)) return LinkFailure(session);
    return work(session);
}

} // namespace

} // namespace cli

int main(int argc, char* argv[]) {
    core::UseQtEventDispatcher();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("chromix3-cli"));
    return cli::Run(QCoreApplication::arguments());
}
