#include "cli/ShellTexts.h"

#include "link/LinkTexts.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace cli {

namespace lt = comm::linktext;

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The lines of a window text as one line, blanks at their ends and an ending "!" or "." left out.
std::string OneLine(const std::string& text) {
    std::string joined;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == ' ' || line.back() == '!' || line.back() == '.'))
            line.pop_back();
        while (!line.empty() && line.front() == ' ')
            line.erase(line.begin());
        if (!line.empty()) joined += (joined.empty() ? "" : "; ") + line;
        start = end + 1;
    }
    return joined;
}

} // namespace

std::string ShellWords(const std::string& text, const std::string& where) {
    if (where.empty()) return Lower(text);
    std::string out;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(where, start)) != std::string::npos;
         start = at + where.size())
        out += Lower(text.substr(start, at - start)) + where;
    return out + Lower(text.substr(start));
}

std::string ShellReport(const std::string& report, const std::string& where,
                        double replyLimitSeconds) {
    std::string text = report;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (text.find(lt::kLinkNotOpen + 1) != std::string::npos) return "no open link to " + where;
    if (text == lt::kPortErrorWhileWaiting) return "port error on " + where;
    if (StartsWith(text, lt::kStatusTimeout)) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", replyLimitSeconds);
        return "no reply from " + where + " within " + seconds + " s";
    }
    const std::string otherOrder = std::string(lt::kBadHeader) + "\nIT ANSWERS ORDER ";
    if (StartsWith(text, otherOrder))
        return where + " answered order " + Lower(OneLine(text.substr(otherOrder.size())));
    if (text == lt::kBadHeader) return "wrong header frame from " + where;
    if (text == lt::kBadData) return "wrong data frame from " + where + " (data check byte)";
    if (text == lt::kServerClosed) return "connection closed by " + where;
    if (text == lt::kSerialLost) return where + " was closed by the system (device gone)";
    if (text == lt::kInvalidOrder)
        return "error reply from " + where + ": invalid order number (status 1)";
    if (text == lt::kControlUnitError)
        return "error reply from " + where +
               ": communication error on the control unit (status 2; a lower baud rate may help)";
    const std::string line = ShellWords(OneLine(text), where);
    return line.find(where) == std::string::npos ? line + " (" + where + ")" : line;
}

} // namespace cli
