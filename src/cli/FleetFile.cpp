#include "cli/FleetFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <sstream>

namespace cli {

namespace {

constexpr std::size_t kLongestName = 64;

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

} // namespace

bool ValidSensorName(const std::string& name) {
    if (name.empty() || name.size() > kLongestName) return false;
    return std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '_' || c == '-' || c == '.';
    });
}

std::optional<double> ParseInterval(const std::string& text) {
    double seconds = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, seconds);
    if (text.empty() || error != std::errc() || at != end || !std::isfinite(seconds) || seconds < 0)
        return std::nullopt;
    return seconds;
}

std::optional<LinkChoice> ParseSensorAddress(const std::string& text, std::string& why) {
    LinkChoice link;
    if (StartsWith(text, "tcp:")) {
        const auto address = ParseTcpAddress(text.substr(4));
        if (!address) {
            why = "'" + text + "' needs tcp:HOST[:PORT] with a port of 1 to 65535";
            return std::nullopt;
        }
        link.host = address->host;
        link.port = address->port;
        return link;
    }
    if (!StartsWith(text, "serial:")) {
        why = "'" + text + "' is neither tcp:HOST[:PORT] nor serial:DEVICE[@BAUD]";
        return std::nullopt;
    }
    link.tcp = false;
    link.device = text.substr(7);
    const std::size_t at = link.device.rfind('@');
    if (at != std::string::npos) {
        const std::string rate = link.device.substr(at + 1);
        link.device.resize(at);
        int value = 0;
        const auto [end, error] = std::from_chars(rate.data(), rate.data() + rate.size(), value);
        const auto code = error == std::errc() && end == rate.data() + rate.size()
                              ? BaudCodeOfRate(value)
                              : std::nullopt;
        if (!code) {
            why = "'" + text + "': the baud rate is 9600, 19200, 38400, 57600 or 115200";
            return std::nullopt;
        }
        link.baudCode = *code;
    }
    if (link.device.empty()) {
        why = "'" + text + "' names no device";
        return std::nullopt;
    }
    return link;
}

std::optional<WatchTarget> ParseSensorOption(const std::string& text, std::string& why) {
    const std::size_t equals = text.find('=');
    WatchTarget target;
    target.name = text.substr(0, equals);
    if (equals == std::string::npos || !ValidSensorName(target.name)) {
        why = "--sensor needs NAME=ADDRESS[,interval=SECONDS], the name of letters, digits, "
              "'_', '-' or '.'";
        return std::nullopt;
    }
    std::string address = text.substr(equals + 1);
    const std::size_t comma = address.find(",interval=");
    if (comma != std::string::npos) {
        target.interval = ParseInterval(address.substr(comma + 10));
        address.resize(comma);
        if (!target.interval) {
            why = "--sensor " + target.name + ": the interval is a number of seconds, 0 or more";
            return std::nullopt;
        }
    }
    const auto link = ParseSensorAddress(address, why);
    if (!link) return std::nullopt;
    target.link = *link;
    return target;
}

std::vector<WatchTarget> ParseFleet(const std::string& text, std::string& why) {
    std::vector<WatchTarget> fleet;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;)
            words.push_back(word);
        if (words.empty()) continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (words.size() > 3 || words.size() < 2) {
            why = where + "NAME ADDRESS [INTERVAL] expected";
            return {};
        }
        WatchTarget target;
        target.name = words[0];
        if (!ValidSensorName(target.name)) {
            why = where + "the name '" + target.name +
                  "' is not 1 to 64 letters, digits, '_', '-' or '.'";
            return {};
        }
        const auto link = ParseSensorAddress(words[1], why);
        if (!link) {
            why = where + why;
            return {};
        }
        target.link = *link;
        if (words.size() == 3) {
            target.interval = ParseInterval(words[2]);
            if (!target.interval) {
                why = where + "the interval is a number of seconds, 0 or more";
                return {};
            }
        }
        fleet.push_back(target);
    }
    return fleet;
}

} // namespace cli
