#pragma once
// Text that came from outside (the sensor above all) on its way to a terminal, a log or a JSON
// text: the sensor's bytes are 8-bit characters (Latin-1, as the window shows them), and a
// control character in them is shown escaped, never obeyed. Standard library only.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace core {

// Each byte as the character of that code, in UTF-8.
inline std::string Utf8OfLatin1(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const unsigned char c : bytes) {
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xc0 | (c >> 6));
            out += char(0x80 | (c & 0x3f));
        }
    }
    return out;
}

// The length of the well-formed UTF-8 sequence at `at` (1 to 4) with its code point, or 0 when
// the bytes there are none (overlong forms, surrogates and stray continuation bytes included).
inline std::size_t Utf8SequenceAt(std::string_view text, std::size_t at, std::uint32_t& code) {
    const auto byte = [&](std::size_t i) { return std::uint32_t(std::uint8_t(text[i])); };
    const std::uint32_t lead = byte(at);
    if (lead < 0x80) return code = lead, 1;
    std::size_t length = 0;
    std::uint32_t least = 0;
    if ((lead & 0xe0) == 0xc0) {
        length = 2, code = lead & 0x1f, least = 0x80;
    } else if ((lead & 0xf0) == 0xe0) {
        length = 3, code = lead & 0x0f, least = 0x800;
    } else if ((lead & 0xf8) == 0xf0) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0) != 0x80) return 0;
        code = (code << 6) | (byte(at + i) & 0x3f);
    }
    if (code < least || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return 0;
    return length;
}

// A control character: C0, DEL and C1 (0x80..0x9f, which some terminals obey as well).
inline bool IsControl(std::uint32_t code) {
    return code < 0x20 || (code >= 0x7f && code <= 0x9f);
}

// A UTF-8 text as one line a terminal or a log shows and never obeys: newline, return and tab
// as \n, \r, \t, any other control character and any byte that is no UTF-8 as \xHH. A
// backslash stays as it is, so a message that already shows its offender escaped reads the same.
inline std::string Printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::uint32_t code = 0;
        const std::size_t length = Utf8SequenceAt(text, at, code);
        if (length == 0 || IsControl(code)) {
            const unsigned value = length == 0 ? unsigned(std::uint8_t(text[at])) : unsigned(code);
            if (value == '\n') {
                out += "\\n";
            } else if (value == '\r') {
                out += "\\r";
            } else if (value == '\t') {
                out += "\\t";
            } else {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\x%02x", value);
                out += escaped;
            }
            at += length == 0 ? 1 : length;
            continue;
        }
        out.append(text.substr(at, length));
        at += length;
    }
    return out;
}

// Printable line by line: a text of many lines keeps its line breaks, and nothing inside a line
// can start another.
inline std::string PrintableLines(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        out += Printable(text.substr(at, end - at));
        if (end < text.size()) out += '\n';
        at = end + 1;
    }
    return out;
}

} // namespace core
