#include "cli/RecordFormat.h"
#include "core/JsonText.h"

#include "model/RecordFile.h"

#include <cstdio>
#include <ctime>

namespace cli {

using core::JsonString;

namespace {

using Word = protocol::MeasurementFrame::Word;

// Words 2..12 of the record file's columns (after DATE and TIME), in the frame's order.
constexpr const char* kValueNames[] = {"RED",     "GREEN", "BLUE",  "X s",     "Y i", "INT M",
                                       "delta C", "COLOR", "GROUP", "TRIGGER", "TEMP"};
constexpr int kValueCount = int(std::size(kValueNames));

std::string ValueText(const protocol::MeasurementFrame& frame, int word) {
    if (word == Word::kDeltaC) return std::to_string(frame.DeltaC());
    return std::to_string(frame.w[std::size_t(word)]);
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

recorder::ClockTime LocalClock(std::int64_t unixMs) {
    const std::time_t seconds = std::time_t(unixMs / 1000);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

} // namespace

std::optional<Format> ParseFormat(std::string_view text) {
    if (text == "tsv") return Format::Tsv;
    if (text == "csv") return Format::Csv;
    if (text == "json") return Format::Json;
    return std::nullopt;
}

std::string IsoTimeUtc(std::int64_t unixMs) {
    const std::int64_t ms = ((unixMs % 1000) + 1000) % 1000;
    const std::time_t seconds = std::time_t((unixMs - ms) / 1000);
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, int(ms));
    return text;
}

std::string MeasurementJson(const MeasurementRecord& record) {
    std::string json = "{";
    if (!record.sensor.empty()) json += "\"sensor\":" + JsonString(record.sensor) + ",";
    json += "\"time\":\"" + IsoTimeUtc(record.unixMs) + "\"";
    for (int word = 0; word < kValueCount; ++word)
        json += ",\"" + std::string(kValueNames[word]) + "\":" + ValueText(record.frame, word);
    return json + "}";
}

std::string StatusJson(const std::string& sensor, std::int64_t unixMs, bool online,
                       const std::string& detail) {
    return "{\"sensor\":" + JsonString(sensor) + ",\"time\":\"" + IsoTimeUtc(unixMs) +
           "\",\"status\":\"" + (online ? "online" : "offline") +
           "\",\"detail\":" + JsonString(detail) + "}";
}

std::string HeaderLine(Format format, bool named) {
    std::string line;
    switch (format) {
    case Format::Json:
        return {};
    case Format::Tsv:
        line = named ? "SENSOR\tDATE\tTIME" : "DATE\tTIME";
        for (const char* name : kValueNames)
            line += std::string("\t") + name;
        return line + "\r\n";
    case Format::Csv:
        line = named ? "sensor,time" : "time";
        for (const char* name : kValueNames)
            line += std::string(",") + name;
        return line + "\n";
    }
    return {};
}

std::string RecordLine(Format format, const MeasurementRecord& record, bool named) {
    switch (format) {
    case Format::Json: {
        MeasurementRecord shown = record;
        if (!named) shown.sensor.clear();
        return MeasurementJson(shown) + "\n";
    }
    case Format::Tsv: {
        const std::string row = recorder::RecordRow(record.frame, LocalClock(record.unixMs));
        return named ? record.sensor + "\t" + row : row;
    }
    case Format::Csv: {
        std::string line = named ? CsvField(record.sensor) + "," : std::string();
        line += IsoTimeUtc(record.unixMs);
        for (int word = 0; word < kValueCount; ++word)
            line += "," + ValueText(record.frame, word);
        return line + "\n";
    }
    }
    return {};
}

} // namespace cli
