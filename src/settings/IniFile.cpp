#include "settings/IniFileOps.h"
#include "settings/IniStore.h"
#include "settings/IniSyntax.h"

#include <filesystem>
#include <new>
#include <system_error>
#include <vector>

namespace settings {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr int kTemporaryNameTries = 100;

class StandardOps final : public IniFileOps {
public:
    Handle OpenForReading(const std::string& path) override {
        // Only regular files: a directory fails to read, and a device or pipe might never end.
        std::error_code error;
        if (!fs::is_regular_file(path, error)) return nullptr;
        return std::fopen(path.c_str(), "rb");
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
IniFileOps::Handle CreateTemporary(const std::string& target, IniFileOps& ops, std::string& name) {
    for (int n = 1; n <= kTemporaryNameTries; ++n) {
        name = target + ".~tmp" + std::to_string(n);
        if (IniFileOps::Handle file = ops.CreateNew(name)) return file;
        if (!ops.Exists(name)) return nullptr;
    }
    return nullptr;
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

int IniStore::ReadFromFile(const std::string& path) {
    return ReadFromFile(path, StandardIniFileOps());
}

int IniStore::ReadFromFile(const std::string& path, IniFileOps& ops) {
    IniFileOps::Handle file = ops.OpenForReading(path);
    if (!file) return kIniCannotOpen;
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

int IniStore::WriteToFile(const std::string& path) const {
    return WriteToFile(path, StandardIniFileOps());
}

int IniStore::WriteToFile(const std::string& path, IniFileOps& ops) const {
    std::string text;
    try {
        text = WriteToText();
    } catch (const std::bad_alloc&) {
        return kIniOutOfMemory;
    }
    if (path.empty() || !ops.TargetWritable(path)) return kIniCannotWrite;
    std::string temporary;
    IniFileOps::Handle file = CreateTemporary(path, ops, temporary);
    if (!file) return kIniCannotWrite;
    const bool written = WriteAll(ops, file, text);
    const bool closed = ops.Close(file);
    if (written && closed && ops.Replace(temporary, path)) return kIniOk;
    ops.Remove(temporary);
    return kIniCannotWrite;
}

} // namespace settings
