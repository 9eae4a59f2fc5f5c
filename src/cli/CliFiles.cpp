#include "cli/CliFiles.h"
#include "core/JsonText.h"
#include "core/SafeFile.h"

#include "model/ParameterFile.h"
#include "model/RecordFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

using core::JsonString;

namespace {

// A folder of its own in the temporary directory, removed with what is in it.
class TemporaryFolder {
public:
    TemporaryFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/chromix3-cli.XXXXXX";
        if (::mkdtemp(pattern.data())) folder = pattern;
    }
    ~TemporaryFolder() {
        if (folder.empty()) return;
        ::unlink(File().c_str());
        ::rmdir(folder.c_str());
    }
    bool Made() const { return !folder.empty(); }
    std::string File() const { return folder + "/file"; }

private:
    std::string folder;
};

// Copies what `from` holds to `to`; false when it fails or `from` holds more than `limit` bytes.
bool CopyFile(int from, int to, std::size_t limit = SIZE_MAX) {
    char chunk[65536];
    for (std::size_t copied = 0;;) {
        const ssize_t n = ::read(from, chunk, sizeof chunk);
        if (n == 0) return true;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        copied += std::size_t(n);
        if (copied > limit) return false;
        if (recorder::WriteWhole(to, std::string(chunk, std::size_t(n))) !=
            recorder::WriteResult::Written)
            return false;
    }
}

bool IsInteger(const std::string& text) {
    const std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    return text.size() > start && text.find_first_not_of("0123456789", start) == std::string::npos;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

std::string ReadWholeParameterFile(const std::string& path, protocol::ParameterImage& image,
                                   bool force) {
    using namespace params::parameter_file;
    // Read whole and within its limit first: a parameter file is small, and a device or a
    // kernel file named by mistake must not hold the command or fill its memory.
    std::string text, refusal;
    if (!core::ReadRegularFile(path, kLargestInputFile, text, refusal)) return refusal;
    params::ParameterFileContents contents;
    contents.readResult = contents.store.ReadFromText(text);
    if (contents.readResult < 0) return "cannot read " + path;
    contents.store.GetString(settings::file_identity::kGeneralInfoSection,
                             settings::file_identity::kFileTypeKey, contents.fileType);
    contents.store.GetString(settings::file_identity::kGeneralInfoSection,
                             settings::file_identity::kScopeVersionKey, contents.scopeVersion);
    const std::string anyway = "; --force sends it all the same";
    if (!contents.TypeMatches() && !force)
        return "not a parameter file (FILE TYPE: \"" + contents.fileType + "\")" + anyway;
    if (!contents.VersionMatches() && !force)
        return "written by another version (SCOPE VERSION: \"" + contents.scopeVersion +
               "\", not \"" + kScopeVersion + "\")" + anyway;
    protocol::ParameterImage read = image;
    const std::string missing = params::GetParameterSection(contents.store, read) +
                                params::GetTeachVectorSections(contents.store, read);
    if (!missing.empty()) return missing;
    image = read;
    return {};
}

std::string ParameterTable(Format format, const protocol::ParameterImage& image) {
    params::IniStore store;
    params::PutParameterSection(store, image);
    params::PutTeachVectorSections(store, image);
    std::string text;
    if (format == Format::Tsv) text = "SECTION\tKEY\tVALUE\r\n";
    if (format == Format::Csv) text = "section,key,value\n";
    if (format == Format::Json) text = "{";
    bool firstSection = true;
    for (const settings::IniSection& section : store.Sections()) {
        if (format == Format::Json) {
            text += (firstSection ? "" : ",") + JsonString(section.name) + ":{";
            firstSection = false;
        }
        bool firstItem = true;
        for (const settings::IniItem& item : section.items) {
            switch (format) {
            case Format::Tsv:
                text += section.name + "\t" + item.tag + "\t" + item.value + "\r\n";
                break;
            case Format::Csv:
                text += CsvField(section.name) + "," + CsvField(item.tag) + "," +
                        CsvField(item.value) + "\n";
                break;
            case Format::Json:
                text += (firstItem ? "" : ",") + JsonString(item.tag) + ":" +
                        (IsInteger(item.value) ? item.value : JsonString(item.value));
                firstItem = false;
                break;
            }
        }
        if (format == Format::Json) text += "}";
    }
    if (format == Format::Json) text += "}\n";
    return text;
}

int WriteToStandardOutput(const std::function<int(const std::string& path)>& write) {
    TemporaryFolder folder;
    if (!folder.Made()) return -1;
    const int result = write(folder.File());
    if (result < 0) return result;
    const int fd = ::open(folder.File().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    const bool copied = CopyFile(fd, STDOUT_FILENO);
    ::close(fd);
    return copied ? result : -1;
}

std::string ReadFromStandardInput(const std::function<std::string(const std::string& path)>& read) {
    TemporaryFolder folder;
    const int fd =
        folder.Made() ? ::open(folder.File().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)
                      : -1;
    if (fd < 0) return "cannot keep standard input in a temporary file";
    const bool copied = CopyFile(STDIN_FILENO, fd, kLargestInputFile);
    ::close(fd);
    if (!copied)
        return "cannot read standard input, or it holds more than " +
               core::SizeText(kLargestInputFile);
    return read(folder.File());
}

} // namespace cli
