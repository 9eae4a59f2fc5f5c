#include "recorder/RecordFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace recorder {

namespace {

constexpr const char* kTitle = "RECORD RESULTS OF: ";
constexpr const char* kProgramName = "CHROMIX3-Varev V4.2";
constexpr const char* kPanelId = "PANEL ID: ";
constexpr const char* kColumns[] = {"DATE",  "TIME",    "RED",   "GREEN", "BLUE",    "X s", "Y i",
                                    "INT M", "delta C", "COLOR", "GROUP", "TRIGGER", "TEMP"};

WriteResult WriteOnce(const std::string& path, const std::string& bytes, int flags) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0644);
    if (fd < 0) return WriteResult::NotWritten;
    ssize_t written = 0;
    do {
        written = ::write(fd, bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    const bool whole = written == ssize_t(bytes.size());
    // A failed close can be the only sign of a full disk on some file systems.
    const bool closed = ::close(fd) == 0;
    return whole && closed ? WriteResult::Written : WriteResult::NotWritten;
}

} // namespace

std::string RecordFileHeader(const std::string& identification) {
    std::string header = "\n";
    header += kTitle;
    header += kProgramName;
    header += "\r\n";
    if (!identification.empty()) {
        header += kPanelId;
        header += identification;
        header += "\r\n";
    }
    header += "\r\n";
    for (std::size_t i = 0; i < std::size(kColumns); ++i) {
        if (i > 0) header += '\t';
        header += kColumns[i];
    }
    header += "\r\n";
    return header;
}

std::string RecordRow(const protocol::MeasurementFrame& frame, const ClockTime& now) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d-%02d-%04d\t%02d:%02d:%02d", now.month, now.day,
                  now.year, now.hour, now.minute, now.second);
    std::string row = stamp;
    for (int i = 0; i <= protocol::MeasurementFrame::kTemperature; ++i) {
        row += '\t';
        row += i == protocol::MeasurementFrame::kDeltaC ? std::to_string(frame.DeltaC())
                                                        : std::to_string(frame.w[std::size_t(i)]);
    }
    row += "\r\n";
    return row;
}

WriteResult AppendToRecordFile(const std::string& path, const std::string& bytes) {
    return WriteOnce(path, bytes, O_APPEND);
}

WriteResult ReplaceRecordFile(const std::string& path, const std::string& bytes) {
    return WriteOnce(path, bytes, O_TRUNC);
}

RecordTime ComputeRecordTime(double interval, std::uint16_t frameCount) {
    RecordTime time;
    time.interval = interval < kShortestInterval ? kShortestInterval : interval;
    double total = time.interval * frameCount;
    time.days = std::uint16_t(total / 86400);
    total -= time.days * 86400.0;
    time.hours = std::uint16_t(total / 3600);
    total -= time.hours * 3600.0;
    time.minutes = std::uint16_t(total / 60);
    total -= time.minutes * 60.0;
    time.seconds = total;
    return time;
}

} // namespace recorder
