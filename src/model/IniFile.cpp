#include "core/SafeFile.h"
#include "model/IniFileOps.h"
#include "model/IniStore.h"
#include "model/IniSyntax.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace settings {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr int kTemporaryNameTries = 100;
constexpr const char* kTemporaryMark = ".~tmp";
// A temporary of ours older than this was left by a write that never finished.
constexpr auto kStaleAfter = std::chrono::minutes(10);

class StandardOps final : public IniFileOps {
public:
    Handle OpenForReading(const std::string& path, std::string& refusal) override {
        // Only regular files: a directory fails to read, and a device or pipe might never end.
        const int fd = core::OpenRegularFile(path, O_RDONLY, refusal);
        if (fd < 0) return nullptr;
        Handle file = ::fdopen(fd, "rb");
        if (!file) ::close(fd);
        return file;
    }
    long Read(Handle file, char* buffer, std::size_t size) override {
        const std::size_t count = std::fread(buffer, 1, size, file);
        if (count == 0 && std::ferror(file)) return -1;
        return long(count);
    }
    bool Exists(const std::string& path) override {
        std::error_code error;
        return fs::symlink_status(path, error).type() != fs::file_type::not_found;
    }
    bool TargetWritable(const std::string& path) override {
        if (!Exists(path)) return true;
        // Appending mode opens an existing file for writing without touching its content.
        std::FILE* file = std::fopen(path.c_str(), "ab");
        if (!file) return false;
        std::fclose(file);
        return true;
    }
    Handle CreateNew(const std::string& path) override { return std::fopen(path.c_str(), "wbx"); }
    bool Write(Handle file, const char* data, std::size_t size) override {
        return std::fwrite(data, 1, size, file) == size;
    }
    bool Close(Handle file) override {
        const bool flushed = std::fflush(file) == 0;
        return std::fclose(file) == 0 && flushed;
    }
    bool Replace(const std::string& from, const std::string& to) override {
        std::error_code error;
        fs::rename(from, to, error);
        return !error;
    }
    bool Remove(const std::string& path) override {
        std::error_code error;
        return fs::remove(path, error);
    }
};

// A fresh name beside the target, created exclusively so no other file is ever overwritten.
// The name carries the process and a random number, so leftovers of earlier writes can never
// use up the names.
IniFileOps::Handle CreateTemporary(const std::string& target, IniFileOps& ops, std::string& name) {
    static std::mt19937_64 random{
        std::random_device{}() ^
        std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count())};
    char suffix[40];
    for (int n = 1; n <= kTemporaryNameTries; ++n) {
        std::snprintf(suffix, sizeof suffix, "%ld-%016llx", long(::getpid()),
                      static_cast<unsigned long long>(random()));
        name = target + kTemporaryMark + suffix;
        if (IniFileOps::Handle file = ops.CreateNew(name)) return file;
        if (!ops.Exists(name)) return nullptr;
    }
    return nullptr;
}

// Temporaries of `target` that a write left behind (a crash, a full disk) and that nobody has
// touched for a while.
void RemoveStaleTemporaries(const std::string& target) {
    std::error_code error;
    const fs::path path(target);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string prefix = path.filename().string() + kTemporaryMark;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) != 0 || !it->is_regular_file(error)) continue;
        const auto written = it->last_write_time(error);
        if (!error && now - written > kStaleAfter) fs::remove(it->path(), error);
        error.clear();
    }
}

// The replacement takes over the old file's owner (when we may give it) and mode, before any
// content is in it; where the file system keeps neither, it gets what it can.
void KeepModeAndOwner(IniFileOps::Handle file, const core::SaveTarget& target) {
    if (!target.exists) return;
    const int fd = ::fileno(file);
    if (fd < 0) return;
    [[maybe_unused]] const int owned = ::fchown(fd, target.owner, target.group);
    ::fchmod(fd, target.permissions);
}

bool WriteAll(IniFileOps& ops, IniFileOps::Handle file, std::string_view text) {
    for (std::size_t at = 0; at < text.size(); at += kChunkSize) {
        const std::string_view chunk = text.substr(at, kChunkSize);
        if (!ops.Write(file, chunk.data(), chunk.size())) return false;
    }
    return true;
}

} // namespace

IniFileOps& StandardIniFileOps() {
    static StandardOps ops;
    return ops;
}

int IniStore::ReadFromText(std::string_view text) {
    try {
        ini::LineParser parser;
        parser.Feed(text);
        std::vector<IniSection> parsed = parser.Finish();
        sections.reserve(sections.size() + parsed.size());
        for (auto& section : parsed)
            sections.push_back(std::move(section));
        return kIniOk;
    } catch (const std::bad_alloc&) {
        return kIniOutOfMemory;
    }
}

std::string IniStore::WriteToText() const {
    std::string text;
    ini::AppendIniText(sections, text);
    return text;
}

int IniStore::ReadFromFile(const std::string& path, std::string* refusal) {
    return ReadFromFile(path, StandardIniFileOps(), refusal);
}

int IniStore::ReadFromFile(const std::string& path, IniFileOps& ops, std::string* refusal) {
    std::string why;
    IniFileOps::Handle file = ops.OpenForReading(path, why);
    if (refusal) *refusal = why;
    if (!file) return why.empty() ? kIniCannotOpen : kIniRefused;
    int result = kIniOk;
    try {
        ini::LineParser parser;
        std::vector<char> buffer(kChunkSize);
        for (;;) {
            const long count = ops.Read(file, buffer.data(), buffer.size());
            if (count < 0) {
                result = kIniReadFailed;
                break;
            }
            if (count == 0) break;
            parser.Feed(std::string_view(buffer.data(), std::size_t(count)));
        }
        if (result == kIniOk) {
            std::vector<IniSection> parsed = parser.Finish();
            sections.reserve(sections.size() + parsed.size());
            for (auto& section : parsed)
                sections.push_back(std::move(section));
        }
    } catch (const std::bad_alloc&) {
        result = kIniOutOfMemory;
    }
    ops.Close(file);
    return result;
}

int IniStore::WriteToFile(const std::string& path, std::string* refusal) const {
    if (!path.empty()) RemoveStaleTemporaries(core::ResolveSaveTarget(path).path);
    return WriteToFile(path, StandardIniFileOps(), refusal);
}

int IniStore::WriteToFile(const std::string& path, IniFileOps& ops, std::string* refusal) const {
    if (refusal) refusal->clear();
    std::string text;
    try {
        text = WriteToText();
    } catch (const std::bad_alloc&) {
        return kIniOutOfMemory;
    }
    if (path.empty()) return kIniCannotWrite;
    // A link stays a link: the file it leads to is the one replaced.
    const core::SaveTarget target = core::ResolveSaveTarget(path);
    if (!target.refusal.empty()) {
        if (refusal) *refusal = target.refusal;
        return kIniRefused;
    }
    if (!ops.TargetWritable(target.path)) return kIniCannotWrite;
    std::string temporary;
    IniFileOps::Handle file = CreateTemporary(target.path, ops, temporary);
    if (!file) return kIniCannotWrite;
    KeepModeAndOwner(file, target);
    const bool written = WriteAll(ops, file, text);
    const bool closed = ops.Close(file);
    if (written && closed && ops.Replace(temporary, target.path)) return kIniOk;
    ops.Remove(temporary);
    return kIniCannotWrite;
}

} // namespace settings
