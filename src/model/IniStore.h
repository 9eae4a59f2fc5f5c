#pragma once
// In-memory INI document: ordered sections of ordered items, built by puts, queried by gets,
// read from and written to INI text files. Text is handled as 8-bit bytes, no conversion.
// Section names and tags match case-insensitively and without regard to surrounding blanks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

class IniFileOps;

// Gets answer kIniFound or kIniNotFound; puts, reads and writes answer kIniOk; failures are
// negative. Callers of gets treat everything but kIniFound as absent.
enum IniResult : int {
    kIniFound = 1,
    kIniOk = 0,
    kIniNotFound = 0,
    kIniOutOfMemory = -1,
    kIniBadName = -2,        // a name that would not survive the file syntax (line break, "=")
    kIniCannotOpen = -3,     // the file to read cannot be opened
    kIniReadFailed = -4,     // reading stopped with an error; the store is unchanged
    kIniCannotWrite = -5,    // the target is unwritable or a step of writing failed
    kIniInvalidInteger = -6, // the item exists but is not a signed 32-bit decimal integer
    kIniRefused = -7,        // the path is no regular file (or leads to none); left untouched
};

struct IniItem {
    std::string tag;
    std::string value; // as stored: escapes of put strings are still in it
    bool quoted = false;
};

struct IniSection {
    std::string name;
    std::vector<IniItem> items;
};

class IniStore {
public:
    // Written lines are cut to this many characters (line end not counted); read lines too.
    static constexpr std::size_t kMaxLineLength = 1024;
    // Longer values are written over several " LineNNNN" lines of this many characters each.
    static constexpr std::size_t kMaxValuePerLine = 80;
    static constexpr std::size_t kMaxTagLength = 255;
    static constexpr std::size_t kMaxContinuedTagLength = 246;

    // Puts the text escaped and quoted. Replaces an item of the same tag in place, otherwise
    // appends; a missing section is appended as the last one.
    int PutString(std::string_view section, std::string_view tag, std::string_view text);
    // Puts the integer as plain decimal text, unquoted; same placement as PutString.
    int PutInt(std::string_view section, std::string_view tag, std::int32_t value);

    // kIniFound: `out` holds the unescaped value cut to bufferSize - 1 characters (a C buffer of
    // that size would hold it with its terminator). kIniNotFound: `out` is empty.
    int GetStringIntoBuffer(std::string_view section, std::string_view tag, std::string& out,
                            std::size_t bufferSize) const;
    // Same without a length limit.
    int GetString(std::string_view section, std::string_view tag, std::string& out) const;
    // kIniFound: `out` holds the value. kIniNotFound: no such item, or only blanks in it.
    // kIniInvalidInteger: present but not [blanks][+|-]digits[blanks] in the 32-bit range;
    // `out` is left unchanged in both of the latter cases.
    int GetInt(std::string_view section, std::string_view tag, std::int32_t& out) const;

    // Parses the file and appends its sections. On any failure the store is unchanged; on
    // kIniRefused `refusal` (when given) says why, naming the path.
    int ReadFromFile(const std::string& path, std::string* refusal = nullptr);
    int ReadFromFile(const std::string& path, IniFileOps& ops, std::string* refusal = nullptr);
    // Writes the store to a temporary file beside the file `path` leads to (links followed),
    // then renames it over that file with its mode and owner, so the target is either the old
    // file or the complete new one. Anything but a regular file there is kIniRefused.
    int WriteToFile(const std::string& path, std::string* refusal = nullptr) const;
    int WriteToFile(const std::string& path, IniFileOps& ops, std::string* refusal = nullptr) const;

    // The same syntax to and from memory.
    int ReadFromText(std::string_view text);
    std::string WriteToText() const;

    const std::vector<IniSection>& Sections() const { return sections; }

private:
    std::vector<IniSection> sections;
};

// Escaping of put strings and its inverse, applied to stored values.
std::string EscapeIniValue(std::string_view text);
std::string UnescapeIniValue(std::string_view value, std::size_t maxLength);

} // namespace settings
