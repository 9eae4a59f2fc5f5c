#include "cli/FleetFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

namespace cli {

namespace {

// A name is a topic level at the broker and a column in every record: short, and plain.
constexpr std::size_t kLongestName = 64;
// Beyond this a refused text is shown by its start and its length, not echoed whole.
constexpr std::size_t kLongestShown = 80;

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7f;
}

bool IsNameCharacter(unsigned char c) {
    // ASCII only, whatever the locale: a byte above 127 is no letter of a topic level.
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

std::string Escaped(unsigned char c) {
    static const char kHex[] = "0123456789abcdef";
    return std::string("\\x") + kHex[c >> 4] + kHex[c & 15];
}

// The first control character in `text` (a tab is a blank), as "\x1b at column 7"; empty when
// there is none.
std::string ControlCharacter(const std::string& text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (IsControl(c) && c != '\t')
            return "a control character (" + Escaped(c) + ") at column " + std::to_string(at + 1);
    }
    return {};
}

} // namespace

std::string ShownText(const std::string& text) {
    std::string shown;
    for (std::size_t at = 0; at < text.size() && at < kLongestShown; ++at) {
        const auto c = static_cast<unsigned char>(text[at]);
        shown += IsControl(c) || c > 0x7e ? Escaped(c) : std::string(1, char(c));
    }
    if (text.size() > kLongestShown)
        shown += "... (" + std::to_string(text.size()) + " characters)";
    return shown;
}

namespace {

// Why `name` is no sensor's name, with its length when too long; empty when it is one.
std::string NameRefusal(const std::string& name) {
    if (name.size() > kLongestName)
        return "the name is " + std::to_string(name.size()) + " characters long, more than " +
               std::to_string(kLongestName);
    if (ValidSensorName(name)) return {};
    return "the name '" + ShownText(name) + "' is not 1 to " + std::to_string(kLongestName) +
           " letters, digits, '_', '-' or '.'";
}

} // namespace

bool ValidSensorName(const std::string& name) {
    if (name.empty() || name.size() > kLongestName) return false;
    return std::all_of(name.begin(), name.end(), IsNameCharacter);
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
            why = "'" + ShownText(text) + "' needs tcp:HOST[:PORT] with a port of 1 to 65535";
            return std::nullopt;
        }
        link.host = address->host;
        link.port = address->port;
        return link;
    }
    if (!StartsWith(text, "serial:")) {
        why = "'" + ShownText(text) + "' is neither tcp:HOST[:PORT] nor serial:DEVICE[@BAUD]";
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
            why = "'" + ShownText(text) + "': the baud rate is 9600, 19200, 38400, 57600 or 115200";
            return std::nullopt;
        }
        link.baudCode = *code;
    }
    if (link.device.empty()) {
        why = "'" + ShownText(text) + "' names no device";
        return std::nullopt;
    }
    // A tab or a blank passes a line's checks (they separate its fields) but no device holds one.
    if (std::any_of(link.device.begin(), link.device.end(),
                    [](unsigned char c) { return c <= ' ' || c == 0x7f; })) {
        why = "'" + ShownText(text) + "': a device path holds no blank or control character";
        return std::nullopt;
    }
    return link;
}

std::optional<WatchTarget> ParseSensorOption(const std::string& text, std::string& why) {
    if (const std::string control = ControlCharacter(text); !control.empty()) {
        why = "--sensor: " + control;
        return std::nullopt;
    }
    const std::size_t equals = text.find('=');
    WatchTarget target;
    target.name = text.substr(0, equals);
    if (equals != std::string::npos && target.name.size() > kLongestName) {
        why = "--sensor: " + NameRefusal(target.name);
        return std::nullopt;
    }
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
        const std::string where = "line " + std::to_string(number) + ": ";
        // A file written on Windows ends its lines with CR LF.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A NUL or an escape sequence would cut or garble every message that names the line.
        if (const std::string control = ControlCharacter(line); !control.empty()) {
            why = where + control;
            return {};
        }
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;)
            words.push_back(word);
        if (words.empty()) continue;
        if (words.size() > 3 || words.size() < 2) {
            why = where + "NAME ADDRESS [INTERVAL] expected";
            return {};
        }
        WatchTarget target;
        target.name = words[0];
        if (const std::string wrong = NameRefusal(target.name); !wrong.empty()) {
            why = where + wrong;
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
