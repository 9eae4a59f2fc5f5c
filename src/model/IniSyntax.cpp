#include "model/IniSyntax.h"
#include "model/IniNames.h"

#include <algorithm>
#include <cstdio>

namespace settings {

namespace ini {

namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n' || c == '\0';
}

void ParseHeader(std::string_view text, std::vector<IniSection>& sections) {
    const std::size_t close = text.rfind(']');
    if (close == std::string_view::npos) return;
    if (!TrimBlanks(text.substr(close + 1)).empty()) return;
    sections.push_back(IniSection{std::string(TrimBlanks(text.substr(1, close - 1))), {}});
}

void ParseItem(std::string_view text, std::vector<IniSection>& sections) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || sections.empty()) return;
    const std::string_view tag = TrimBlanks(text.substr(0, equals));
    std::string_view value = TrimBlanks(text.substr(equals + 1));
    if (tag.empty() || value.empty()) return;
    const bool quoted = value.size() > 1 && value.front() == '"' && value.back() == '"';
    if (quoted) value = value.substr(1, value.size() - 2);
    sections.back().items.push_back(IniItem{std::string(tag), std::string(value), quoted});
}

// Joins each run of "<base> Line<n>" items that starts with line 1 into one item <base>. A run
// ends at an item of another name or at the next line 1, which begins a value of its own.
void JoinContinuedItems(IniSection& section) {
    std::vector<IniItem> joined;
    joined.reserve(section.items.size());
    std::string_view runBase;
    bool inRun = false;
    for (auto& item : section.items) {
        std::string_view base;
        bool first = false;
        const bool continued = SplitContinuationTag(item.tag, base, first);
        if (continued && inRun && !first && NamesMatch(base, runBase)) {
            joined.back().value += item.value;
            continue;
        }
        inRun = continued && first;
        if (inRun) {
            item.tag.resize(base.size());
            runBase = joined.emplace_back(std::move(item)).tag;
            continue;
        }
        joined.push_back(std::move(item));
    }
    section.items = std::move(joined);
}

// Unquoted text reads back as itself only when the reader's trimming and quote stripping leave
// it alone; anything else is written in quotes.
bool SurvivesUnquoted(std::string_view text) {
    if (text.empty() || IsBlank(text.front()) || IsBlank(text.back())) return false;
    return !(text.size() > 1 && text.front() == '"' && text.back() == '"');
}

std::string_view CutName(std::string_view name, std::size_t limit) {
    return TrimBlanks(name.substr(0, std::min(name.size(), limit)));
}

void AppendLine(std::string& out, std::string_view tag, std::string_view value, bool quoted) {
    out += tag;
    out += " = ";
    if (quoted) out += '"';
    out += value;
    if (quoted) out += '"';
    out += "\r\n";
}

void AppendItem(const IniItem& item, std::string& out) {
    std::string_view tag = CutName(item.tag, IniStore::kMaxTagLength);
    std::string_view base;
    bool first = false;
    // A tag that itself looks like a continuation line would be joined on reading; writing it
    // in the continued form keeps it a tag of its own.
    const bool multiLine =
        item.value.size() > IniStore::kMaxValuePerLine || SplitContinuationTag(tag, base, first);
    if (!multiLine) {
        AppendLine(out, tag, item.value, item.quoted || !SurvivesUnquoted(item.value));
        return;
    }
    tag = CutName(item.tag, IniStore::kMaxContinuedTagLength);
    const std::string_view value = item.value;
    std::vector<std::string_view> chunks;
    bool quoted = item.quoted;
    // Lines stay within kMaxLineLength: tag, " = ", two quotes, counter, chunk.
    const std::size_t room = IniStore::kMaxLineLength - tag.size() - 3 - 2 - 10;
    const std::size_t step = std::min(IniStore::kMaxValuePerLine, room);
    for (std::size_t at = 0; at < value.size() || chunks.empty(); at += step) {
        chunks.push_back(value.substr(std::min(at, value.size()), step));
        quoted = quoted || !SurvivesUnquoted(chunks.back());
    }
    char counter[32];
    std::string lineTag;
    for (std::size_t n = 0; n < chunks.size(); ++n) {
        std::snprintf(counter, sizeof counter, " Line%04zu", n + 1);
        lineTag.assign(tag);
        lineTag += counter;
        AppendLine(out, lineTag, chunks[n], quoted);
    }
}

} // namespace

bool SplitContinuationTag(std::string_view tag, std::string_view& base, bool& first) {
    const std::size_t lastNonDigit = tag.find_last_not_of("0123456789");
    if (lastNonDigit == std::string_view::npos || lastNonDigit + 1 == tag.size()) return false;
    const std::string_view digits = tag.substr(lastNonDigit + 1);
    const std::string_view head = tag.substr(0, lastNonDigit + 1);
    static constexpr std::string_view kMarker = " Line";
    if (head.size() <= kMarker.size() || !NamesMatch(head.substr(head.size() - 5), kMarker)) {
        return false;
    }
    base = TrimBlanks(head.substr(0, head.size() - kMarker.size()));
    if (base.empty()) return false;
    const std::size_t firstNonZero = digits.find_first_not_of('0');
    first = firstNonZero == digits.size() - 1 && digits.back() == '1';
    return true;
}

void LineParser::Feed(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto end = std::find_if(bytes.begin(), bytes.end(), IsLineEnd);
        const std::size_t length = std::size_t(end - bytes.begin());
        // Only the first kMaxLineLength bytes of a line count; the rest is skipped unread.
        if (line.size() < IniStore::kMaxLineLength) {
            line.append(bytes.substr(0, std::min(length, IniStore::kMaxLineLength - line.size())));
        }
        if (end == bytes.end()) return;
        EndLine();
        bytes.remove_prefix(length + 1);
    }
}

void LineParser::EndLine() {
    std::string_view text = line;
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '[') {
        ParseHeader(text, sections);
    } else if (!text.empty() && text.front() != ';') {
        ParseItem(text, sections);
    }
    line.clear();
}

std::vector<IniSection> LineParser::Finish() {
    EndLine();
    for (auto& section : sections)
        JoinContinuedItems(section);
    return std::move(sections);
}

void AppendIniText(const std::vector<IniSection>& sections, std::string& out) {
    for (const auto& section : sections) {
        out += '[';
        out += CutName(section.name, IniStore::kMaxLineLength - 2);
        out += "]\r\n";
        for (const auto& item : section.items)
            AppendItem(item, out);
        out += "\r\n";
    }
}

} // namespace ini

} // namespace settings
