#pragma once
// A text as a JSON string, quotes included: what the command line prints and what it publishes
// to a broker read the same. The text is UTF-8 (the sensor's bytes decoded first, see
// ShownText.h); a byte that is no UTF-8 all the same is taken as its Latin-1 character, so the
// result is always valid UTF-8 that a strict parser takes. Control characters, C1 included, are
// escaped, so a JSON line shown on a terminal is never obeyed. Standard library only.
#include "core/ShownText.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace core {

inline std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        std::uint32_t code = 0;
        std::size_t length = Utf8SequenceAt(text, at, code);
        if (length == 0) code = std::uint8_t(text[at]), length = 1;
        const bool stray = length == 1 && code >= 0x80;
        if (code == '"' || code == '\\') {
            out += '\\';
            out += char(code);
        } else if (code == '\n') {
            out += "\\n";
        } else if (code == '\r') {
            out += "\\r";
        } else if (code == '\t') {
            out += "\\t";
        } else if (IsControl(code)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(code));
            out += escaped;
        } else if (stray) {
            out += Utf8OfLatin1(text.substr(at, 1));
        } else {
            out.append(text.substr(at, length));
        }
        at += length;
    }
    return out + '"';
}

} // namespace core
