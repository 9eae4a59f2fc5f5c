#include "core/SafeFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace core {

namespace {

// As many links as the kernel itself follows before it gives up.
constexpr int kMostLinks = 40;

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISFIFO(mode)) return "a fifo";
    if (S_ISSOCK(mode)) return "a socket";
    return "a special file";
}

std::string NotRegular(const std::string& path, const std::string& leadsTo, mode_t mode) {
    const std::string kind = std::string(KindOf(mode)) + ", not a regular file: left untouched.";
    if (leadsTo.empty() || leadsTo == path) return path + " is " + kind;
    return path + " leads to " + leadsTo + ", " + kind;
}

// The link's own text, taken relative to the folder that holds the link.
std::string FollowLink(const std::string& link) {
    char text[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), text, sizeof text);
    if (n <= 0 || n == ssize_t(sizeof text)) return {};
    const std::string target(text, std::size_t(n));
    const std::size_t slash = link.rfind('/');
    if (target.front() == '/' || slash == std::string::npos) return target;
    return link.substr(0, slash + 1) + target;
}

} // namespace

SaveTarget ResolveSaveTarget(const std::string& path) {
    SaveTarget target;
    target.path = path;
    for (int links = 0;; ++links) {
        struct stat status {};
        if (::lstat(target.path.c_str(), &status) != 0) return target; // to be created
        if (!S_ISLNK(status.st_mode)) {
            target.exists = true;
            target.permissions = status.st_mode & 07777;
            target.owner = status.st_uid;
            target.group = status.st_gid;
            if (!S_ISREG(status.st_mode))
                target.refusal = NotRegular(path, target.path, status.st_mode);
            return target;
        }
        const std::string next = FollowLink(target.path);
        if (next.empty() || links == kMostLinks) {
            target.refusal = path + " is a chain of links without an end: left untouched.";
            return target;
        }
        target.path = next;
    }
}

int OpenRegularFile(const std::string& path, int flags, std::string& refusal) {
    refusal.clear();
    // Looked at before the open, which on a device or a fifo could have effects or wait.
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        refusal = NotRegular(path, {}, status.st_mode);
        errno = EINVAL;
        return -1;
    }
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    // It may have been swapped for something else since.
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        refusal = NotRegular(path, {}, status.st_mode);
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

std::string SizeText(std::size_t bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

bool ReadRegularFile(const std::string& path, std::size_t limit, std::string& text,
                     std::string& refusal) {
    text.clear();
    const int fd = OpenRegularFile(path, O_RDONLY, refusal);
    if (fd < 0) {
        if (refusal.empty()) refusal = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::string tooLarge = path + " is larger than " + SizeText(limit) + ": not read.";
    struct stat status {};
    if (::fstat(fd, &status) == 0 && status.st_size > 0 && std::size_t(status.st_size) > limit) {
        ::close(fd);
        refusal = tooLarge;
        return false;
    }
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            refusal = errno == EAGAIN || errno == EWOULDBLOCK
                          ? path + " has nothing to read without waiting: not read."
                          : "cannot read " + path + ": " + std::strerror(errno);
            break;
        }
        if (text.size() + std::size_t(n) > limit) {
            refusal = tooLarge;
            break;
        }
        text.append(chunk, std::size_t(n));
    }
    ::close(fd);
    if (refusal.empty()) return true;
    text.clear();
    return false;
}

} // namespace core
