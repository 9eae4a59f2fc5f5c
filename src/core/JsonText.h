#pragma once
// A text as a JSON string, quotes included: what the command line prints and what it publishes
// to a broker read the same. Standard library only.
#include <cstdio>
#include <string>
#include <string_view>

namespace core {

inline std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c); // UTF-8 passes as it is
        }
    }
    return out + '"';
}

} // namespace core
