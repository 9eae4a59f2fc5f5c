#pragma once
// The INI text syntax: a line parser fed in chunks (so files are read in bounded memory per line)
// and the writer. Used by IniStore; not part of its public interface.
#include "model/IniStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace settings {

namespace ini {

class LineParser {
public:
    void Feed(std::string_view bytes);
    // Ends the last line, joins continued items and hands over what was parsed.
    std::vector<IniSection> Finish();

private:
    void EndLine();

    std::string line;
    std::vector<IniSection> sections;
};

// Appends the store's text, CR LF line ends, long values over continuation lines.
void AppendIniText(const std::vector<IniSection>& sections, std::string& out);

// True for tags of the form "<base> Line<digits>"; sets `base` (trimmed) and whether the number
// is 1, the first line of a continued value.
bool SplitContinuationTag(std::string_view tag, std::string_view& base, bool& first);

} // namespace ini

} // namespace settings
