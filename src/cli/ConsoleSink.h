#pragma once
// The console's sink of `watch`: each record as a line in the chosen format, to standard output
// or a file, and each change of a sensor's state as a line on standard error (in the JSON stream
// too, as an object with "status"). When writing begins to fail (a full disk, a file size limit)
// standard error says so once, and again when it works again. Lines are gathered and written whole,
// at the latest kFlushDelayMs after the first of them, so a fast fleet costs few writes.
#include "cli/RecordFormat.h"
#include "cli/WatchSink.h"

#include <QTimer>

#include <string>

namespace cli {

// A sink that takes the measurement itself rather than its JSON: the console writes tsv and csv.
class RecordSink : public WatchSink {
public:
    virtual void Record(const MeasurementRecord& record) = 0;
    // The JSON a watch hands other sinks, for a sink that takes records instead.
    void Measurement(const std::string&, const std::string&) override {}
};

class ConsoleSink : public RecordSink {
public:
    static constexpr int kFlushDelayMs = 100;
    static constexpr std::size_t kFlushBytes = 64 * 1024;

    // `fd`: where the records go, left open. The header line of `format` goes out first when
    // `header` is set (an empty file, or standard output).
    ConsoleSink(Format format, int fd, bool header);
    ~ConsoleSink() override;

    void Record(const MeasurementRecord& record) override;
    void Status(const std::string& sensor, bool online, const std::string& detail) override;
    void Flush(int timeoutMs) override;

    // Lines a full or failed output did not take.
    long LinesNotWritten() const { return linesNotWritten; }
    long Lines() const { return lines; }

private:
    void WriteOut();

    Format format;
    int fd;
    std::string pending;
    long pendingLines = 0;
    long lines = 0;
    long linesNotWritten = 0;
    bool failing = false;   // the last write failed, and stderr has said so
    long lostInFailure = 0; // lines lost since writing began to fail
    QTimer flushTimer;
};

} // namespace cli
