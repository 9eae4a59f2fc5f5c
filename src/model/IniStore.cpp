#include "model/IniStore.h"
#include "model/IniNames.h"

#include <algorithm>
#include <limits>
#include <new>

namespace settings {

namespace {

// Names that would change meaning once written: a line break or zero byte would split the line,
// "=" would move the tag/value boundary, "[" and ";" at the start make a header or a comment.
bool SectionNameIsWritable(std::string_view name) {
    return name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool TagIsWritable(std::string_view tag) {
    if (tag.empty() || tag.front() == '[' || tag.front() == ';') return false;
    return tag.find_first_of(std::string_view("\r\n\0=", 4)) == std::string_view::npos;
}

template <typename Sections> auto* FindSection(Sections& sections, std::string_view name) {
    decltype(&sections.front()) found = nullptr;
    for (auto& section : sections) {
        if (!ini::NamesMatch(section.name, name)) continue;
        found = &section;
        break;
    }
    return found;
}

const IniItem* FindItem(const std::vector<IniSection>& sections, std::string_view section,
                        std::string_view tag) {
    const IniSection* found = FindSection(sections, section);
    if (!found) return nullptr;
    for (const auto& item : found->items) {
        if (ini::NamesMatch(item.tag, tag)) return &item;
    }
    return nullptr;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string EscapeIniValue(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (code < 32 || code == 127) {
            out += "\\x";
            out += kHex[code >> 4];
            out += kHex[code & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string UnescapeIniValue(std::string_view value, std::size_t maxLength) {
    std::string out;
    out.reserve(std::min(value.size(), maxLength));
    for (std::size_t i = 0; i < value.size() && out.size() < maxLength; ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        if (next == 'n') {
            out += '\n';
        } else if (next == 'r') {
            out += '\r';
        } else if (next == 't') {
            out += '\t';
        } else if (next == 'x' && i + 2 < value.size() && HexDigit(value[i + 1]) >= 0 &&
                   HexDigit(value[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(value[i + 1]) * 16 + HexDigit(value[i + 2]));
            i += 2;
        } else {
            out += next;
        }
    }
    return out;
}

namespace {

int Put(std::vector<IniSection>& sections, std::string_view section, std::string_view tag,
        std::string value, bool quoted) {
    const std::string_view sectionName = ini::TrimBlanks(section);
    const std::string_view tagName = ini::TrimBlanks(tag);
    if (!SectionNameIsWritable(sectionName) || !TagIsWritable(tagName)) return kIniBadName;
    try {
        IniSection* target = FindSection(sections, sectionName);
        if (!target) {
            sections.push_back(IniSection{std::string(sectionName), {}});
            target = &sections.back();
        }
        for (auto& item : target->items) {
            if (!ini::NamesMatch(item.tag, tagName)) continue;
            item = IniItem{std::string(tagName), std::move(value), quoted};
            return kIniOk;
        }
        target->items.push_back(IniItem{std::string(tagName), std::move(value), quoted});
        return kIniOk;
    } catch (const std::bad_alloc&) {
        return kIniOutOfMemory;
    }
}

} // namespace

int IniStore::PutString(std::string_view section, std::string_view tag, std::string_view text) {
    try {
        return Put(sections, section, tag, EscapeIniValue(text), true);
    } catch (const std::bad_alloc&) {
        return kIniOutOfMemory;
    }
}

int IniStore::PutInt(std::string_view section, std::string_view tag, std::int32_t value) {
    return Put(sections, section, tag, std::to_string(value), false);
}

int IniStore::GetStringIntoBuffer(std::string_view section, std::string_view tag, std::string& out,
                                  std::size_t bufferSize) const {
    out.clear();
    const IniItem* item = FindItem(sections, ini::TrimBlanks(section), ini::TrimBlanks(tag));
    if (!item) return kIniNotFound;
    try {
        out = UnescapeIniValue(item->value, bufferSize == 0 ? 0 : bufferSize - 1);
        return kIniFound;
    } catch (const std::bad_alloc&) {
        return kIniOutOfMemory;
    }
}

int IniStore::GetString(std::string_view section, std::string_view tag, std::string& out) const {
    return GetStringIntoBuffer(section, tag, out, std::numeric_limits<std::size_t>::max());
}

int IniStore::GetInt(std::string_view section, std::string_view tag, std::int32_t& out) const {
    const IniItem* item = FindItem(sections, ini::TrimBlanks(section), ini::TrimBlanks(tag));
    if (!item) return kIniNotFound;
    const std::string_view text = ini::TrimBlanks(item->value);
    if (text.empty()) return kIniNotFound;
    std::string_view digits = text;
    const bool negative = digits.front() == '-';
    if (negative || digits.front() == '+') digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return kIniInvalidInteger;
    }
    // Magnitude in 64 bits so that -2147483648 is accepted; saturate on absurd digit counts.
    std::uint64_t magnitude = 0;
    for (const char c : digits) {
        magnitude = magnitude * 10 + std::uint64_t(c - '0');
        if (magnitude > 2147483648ull) return kIniInvalidInteger;
    }
    if (!negative && magnitude > 2147483647ull) return kIniInvalidInteger;
    out = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                   : static_cast<std::int32_t>(magnitude);
    return kIniFound;
}

} // namespace settings
