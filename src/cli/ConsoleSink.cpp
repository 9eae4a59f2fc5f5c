#include "cli/ConsoleSink.h"

#include "core/ShownText.h"
#include "model/RecordFile.h"

#include <QDateTime>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cli {

ConsoleSink::ConsoleSink(Format format, int fd, bool header) : format(format), fd(fd) {
    flushTimer.setSingleShot(true);
    QObject::connect(&flushTimer, &QTimer::timeout, [this] { WriteOut(); });
    if (header) pending = HeaderLine(format, true);
    WriteOut();
}

ConsoleSink::~ConsoleSink() {
    WriteOut();
}

void ConsoleSink::Record(const MeasurementRecord& record) {
    pending += RecordLine(format, record, true);
    ++pendingLines;
    if (pending.size() >= kFlushBytes)
        WriteOut();
    else if (!flushTimer.isActive())
        flushTimer.start(kFlushDelayMs);
}

void ConsoleSink::Status(const std::string& sensor, bool online, const std::string& detail) {
    // The identification is the sensor's text: a control character in it is shown, not obeyed.
    std::fprintf(stderr, "chromix3-cli: %s %s: %s\n", core::Printable(sensor).c_str(),
                 online ? "online" : "offline", core::Printable(detail).c_str());
    if (format != Format::Json) return;
    pending += StatusJson(sensor, QDateTime::currentMSecsSinceEpoch(), online, detail) + "\n";
    ++pendingLines;
    if (!flushTimer.isActive()) flushTimer.start(kFlushDelayMs);
}

void ConsoleSink::Flush(int) {
    WriteOut();
}

void ConsoleSink::WriteOut() {
    flushTimer.stop();
    if (pending.empty()) return;
    // Whole lines or none: a full disk leaves no line cut in half.
    if (recorder::WriteWhole(fd, pending) == recorder::WriteResult::Written) {
        lines += pendingLines;
        // A service runs unseen: the operator hears when the loss ends as when it began.
        if (failing)
            std::fprintf(stderr,
                         "chromix3-cli: the records are written again; %ld lines were lost\n",
                         lostInFailure);
        failing = false;
    } else {
        const int error = errno;
        linesNotWritten += pendingLines;
        if (!failing) {
            std::fprintf(stderr,
                         "chromix3-cli: the records cannot be written (%s): lines are lost until "
                         "there is room again\n",
                         std::strerror(error));
            failing = true;
            lostInFailure = 0;
        }
        lostInFailure += pendingLines;
    }
    pending.clear();
    pendingLines = 0;
}

} // namespace cli
