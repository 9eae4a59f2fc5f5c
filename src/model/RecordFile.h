#pragma once
// The record file: a tab-separated text for a spreadsheet, one row per recorded measurement,
// written byte for byte (CR LF line ends, no translation), and the record time of a recording.
#include "protocol/MeasurementFrame.h"

#include <cstdint>
#include <string>

namespace recorder {

inline constexpr const char* kDefaultRecordFileName = "RecordFile.dat";

// The PC's clock when a row is written.
struct ClockTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The header written when a file is selected: LF, the title line, the PANEL ID line only with
// an identification, an empty line and the 13 column names.
std::string RecordFileHeader(const std::string& identification);
// One row: date MM-DD-YYYY, time HH:MM:SS, then words 0..10 of the frame, delta C signed.
std::string RecordRow(const protocol::MeasurementFrame& frame, const ClockTime& now);

// What writing to the file came to.
enum class WriteResult { Written, NotWritten };
// Writes `bytes` to the open file `fd` whole or not at all: when the disk takes only part of
// them, a regular file is cut back to its length from before, so the next row starts where
// this one would have, not inside it.
WriteResult WriteWhole(int fd, const std::string& bytes);
// Appends `bytes` to the file opened for appending (created when absent) and closes it again,
// so that a row shown as recorded is on disk and a crash never leaves half a row joined to the
// next. Only a regular file is written; for anything else `refusal` (when given) says why.
WriteResult AppendToRecordFile(const std::string& path, const std::string& bytes,
                               std::string* refusal = nullptr);
// The file emptied and started anew with `bytes` (a confirmed existing file).
WriteResult ReplaceRecordFile(const std::string& path, const std::string& bytes,
                              std::string* refusal = nullptr);

inline constexpr double kShortestInterval = 0.25;

struct RecordTime {
    double interval = kShortestInterval; // raised to the shortest interval when below it
    std::uint16_t days = 0;
    std::uint16_t hours = 0;
    std::uint16_t minutes = 0;
    double seconds = 0;
};
RecordTime ComputeRecordTime(double interval, std::uint16_t frameCount);

} // namespace recorder
