#pragma once
// The one rule for every file the operator names or the settings remember: only a regular file
// is read, appended to or replaced, and a save replaces the file a link leads to, never the link,
// a device, a fifo, a socket or a directory. Standard library and POSIX only.
#include <cstddef>
#include <string>
#include <sys/types.h>

namespace core {

// Where a save to `path` goes: links followed to their end, so a dangling link names the file
// to create. The replacement keeps the mode and owner of an existing target.
struct SaveTarget {
    std::string path;
    bool exists = false;
    mode_t permissions = 0;
    uid_t owner = 0;
    gid_t group = 0;
    std::string refusal; // why nothing may be written there, naming the path; empty when it may
};
SaveTarget ResolveSaveTarget(const std::string& path);

// Opens `path` with the open(2) `flags` only when it is a regular file (with O_CREAT a missing
// one is created, mode 0644 before the umask). Neither the open nor a later read waits on a
// fifo, a device or a kernel file that never ends: the descriptor stays non-blocking. On -1,
// `refusal` names the path and why when it is no regular file, and is empty when the open
// itself failed (errno says why).
int OpenRegularFile(const std::string& path, int flags, std::string& refusal);

// Reads the regular file at `path` whole into `text` when it holds at most `limit` bytes. A
// kernel file's size says nothing, so the bytes are counted as they come; one that would make
// the reader wait is refused too. On false `refusal` names the path and why, always.
bool ReadRegularFile(const std::string& path, std::size_t limit, std::string& text,
                     std::string& refusal);

// A size in the words a refusal uses: "1 MiB", "64 KiB", "100 bytes".
std::string SizeText(std::size_t bytes);

} // namespace core
