#pragma once
// Clients of the simulator over its real links, shared by the simulator tests.
#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace simtest {

inline constexpr int kLinkWaitMs = 3000;

// A serial client as the program's would be: the slave opened raw through the link.
class PtyClient {
public:
    explicit PtyClient(const QString& path) {
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        if (fd < 0) return;
        termios settings{};
        tcgetattr(fd, &settings);
        cfmakeraw(&settings);
        tcsetattr(fd, TCSANOW, &settings);
    }
    ~PtyClient() { Close(); }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;
    bool IsOpen() const { return fd >= 0; }
    void Close() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    void Send(const std::vector<std::uint8_t>& bytes) {
        [[maybe_unused]] const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    }
    QByteArray Read(int count, int timeoutMs = kLinkWaitMs) {
        QByteArray bytes;
        QDeadlineTimer deadline(timeoutMs);
        while (bytes.size() < count && !deadline.hasExpired()) {
            pollfd entry{fd, POLLIN, 0};
            if (::poll(&entry, 1, static_cast<int>(deadline.remainingTime())) <= 0) break;
            char buffer[1024];
            const ssize_t n =
                ::read(fd, buffer, std::min<qsizetype>(sizeof(buffer), count - bytes.size()));
            if (n <= 0) break;
            bytes.append(buffer, n);
        }
        return bytes;
    }

private:
    int fd = -1;
};

} // namespace simtest
