#pragma once
// The shapes a measurement takes for a script: the record file's tab-separated rows (what the
// window's recorder writes), comma-separated values, or one JSON object a line. Standard library
// only, so the same record reads the same wherever it goes (the console, a broker).
#include "protocol/MeasurementFrame.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

enum class Format { Tsv, Csv, Json };

// "tsv", "csv" or "json"; nothing for any other text.
std::optional<Format> ParseFormat(std::string_view text);

// One measurement: the sensor's name (empty for the one sensor of `measure`), when its reply came
// (milliseconds since 1970, UTC) and its words.
struct MeasurementRecord {
    std::string sensor;
    std::int64_t unixMs = 0;
    protocol::MeasurementFrame frame;
};

// "2024-02-03T12:00:05.123Z".
std::string IsoTimeUtc(std::int64_t unixMs);

// The one JSON object of a measurement, without a line end: "sensor" (when named), "time", then
// the values under the record file's column names ("RED" ... "TEMP").
std::string MeasurementJson(const MeasurementRecord& record);
// A sensor came online (`detail`: its identification) or went offline (`detail`: the reason).
std::string StatusJson(const std::string& sensor, std::int64_t unixMs, bool online,
                       const std::string& detail);

// The column header line for `format` (none for JSON). `named`: a sensor column leads. The tab
// line is the record file's column line; csv names "sensor" and "time" in lower case, as JSON does.
std::string HeaderLine(Format format, bool named);
// One record as a line with its line end: tsv the record file's row (local date and time,
// CR LF), led by the sensor's name when `named`; csv and JSON with the UTC time, LF.
std::string RecordLine(Format format, const MeasurementRecord& record, bool named);

} // namespace cli
