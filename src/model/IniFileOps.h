#pragma once
// The file primitives the INI store uses. Writing and reading go through this interface so that a
// test can make any single step fail and check what is left on disk.
#include <cstddef>
#include <cstdio>
#include <string>

namespace settings {

class IniFileOps {
public:
    using Handle = std::FILE*;

    virtual ~IniFileOps() = default;

    // Opens an existing regular file for reading; nullptr when that is not possible, with
    // `refusal` saying why when the path names something else (a fifo, a device, a directory).
    virtual Handle OpenForReading(const std::string& path, std::string& refusal) = 0;
    // Reads up to `size` bytes: the count read, 0 at the end, -1 on an error.
    virtual long Read(Handle file, char* buffer, std::size_t size) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // An existing target must be openable for writing (without being changed); a missing one
    // passes here and is judged by creating the temporary file beside it.
    virtual bool TargetWritable(const std::string& path) = 0;
    // Creates a new file for writing; fails (nullptr) when the name is taken or cannot be made.
    virtual Handle CreateNew(const std::string& path) = 0;
    virtual bool Write(Handle file, const char* data, std::size_t size) = 0;
    // Flushes and closes; the handle is gone afterwards even when this reports a failure.
    virtual bool Close(Handle file) = 0;
    // Gives `from` the name `to`, replacing `to` in one step.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    virtual bool Remove(const std::string& path) = 0;
};

// The real file system, through the standard library.
IniFileOps& StandardIniFileOps();

} // namespace settings
