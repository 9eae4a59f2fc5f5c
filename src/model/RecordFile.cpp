#include "model/RecordFile.h"

#include "core/SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace recorder {

namespace {

constexpr const char* kTitle = "RECORD RESULTS OF: ";
constexpr const char* kProgramName = "CHROMIX3-Varev V4.2";
constexpr const char* kPanelId = "PANEL ID: ";
constexpr const char* kColumns[] = {"DATE",  "TIME",    "RED",   "GREEN", "BLUE",    "X s", "Y i",
                                    "INT M", "delta C", "COLOR", "GROUP", "TRIGGER", "TEMP"};

WriteResult WriteOnce(const std::string& path, const std::string& bytes, bool emptied,
                      std::string* refusal) {
    std::string why;
    const int fd = core::OpenRegularFile(path, O_WRONLY | O_CREAT | O_APPEND, why);
    if (refusal) *refusal = why;
    if (fd < 0) return WriteResult::NotWritten;
    // Emptied only once it is known to be a regular file.
    const bool whole =
        (!emptied || ::ftruncate(fd, 0) == 0) && WriteWhole(fd, bytes) == WriteResult::Written;
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

WriteResult WriteWhole(int fd, const std::string& bytes) {
    struct stat before {};
    if (::fstat(fd, &before) != 0) return WriteResult::NotWritten;
    const bool appending = (::fcntl(fd, F_GETFL) & O_APPEND) != 0;
    const off_t offset = appending ? -1 : ::lseek(fd, 0, SEEK_CUR);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += std::size_t(n);
        } else if (n == 0 || errno != EINTR) {
            break; // a full disk, a file size limit, an I/O error
        }
    }
    if (done == bytes.size()) return WriteResult::Written;
    if (S_ISREG(before.st_mode) && done > 0) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, before.st_size);
        if (offset >= 0) ::lseek(fd, offset, SEEK_SET);
    }
    return WriteResult::NotWritten;
}

WriteResult AppendToRecordFile(const std::string& path, const std::string& bytes,
                               std::string* refusal) {
    return WriteOnce(path, bytes, false, refusal);
}

WriteResult ReplaceRecordFile(const std::string& path, const std::string& bytes,
                              std::string* refusal) {
    return WriteOnce(path, bytes, true, refusal);
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
