#pragma once
// The one rule for every file the operator names or the settings remember: only a regular file
// is read, appended to or replaced, and a save replaces the file a link leads to, never the link,
// a device, a fifo, a socket or a directory. Standard library and POSIX only.
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

} // namespace core
