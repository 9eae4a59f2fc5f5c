#pragma once
// The yardsticks of the benchmarks that run the simulator as a process of its own: the process,
// the rounds they count, and the bare client of ours that makes the same exchanges over a raw
// socket and nothing else. A target that includes it defines CHROMIX_SIM_PATH.
#include "ProcStatus.h"
#include "SimProcess.h"
#include "protocol/FrameCodec.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace bench {

inline constexpr double kLineBytesPerSecond = 115200.0 / 10.0;

inline double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Voluntary context switches of this process's main thread, as the kernel counts them: each is a
// wake-up after a wait.
inline long VoluntarySwitches() {
    return ProcStatusField("voluntary_ctxt_switches:");
}

struct Round {
    long turns = 0;
    double seconds = 0;
    double cpu = 0;
    long wakeUps = 0;
    int replyBytes = 0;
    double Rate() const { return seconds > 0 ? double(turns) / seconds : 0; }
    double CpuPerTurnUs() const { return turns > 0 ? cpu / double(turns) * 1e6 : 0; }
    double LineShare() const { return Rate() * replyBytes / kLineBytesPerSecond; }
};

// Runs `turn` until `seconds` have passed; false from it ends the round as failed.
template <typename Turn> Round Measure(double seconds, Turn&& turn) {
    Round round;
    QElapsedTimer clock;
    const double cpuStart = ProcessCpuSeconds();
    clock.start();
    while (clock.nsecsElapsed() < qint64(seconds * 1e9)) {
        if (!turn()) return {};
        ++round.turns;
    }
    round.seconds = double(clock.nsecsElapsed()) / 1e9;
    round.cpu = ProcessCpuSeconds() - cpuStart;
    return round;
}

inline std::vector<std::uint8_t> MeasurementRequest() {
    std::vector<std::uint8_t> request(protocol::frame::kHeaderSize);
    protocol::frame::EncodeFrame(request.data(), request.size(), 8, 0, nullptr, 0, 0);
    return request;
}

// Reads one reply into `reply` with plain blocking reads; its length, or 0 on failure.
template <typename ReadSome> int ReadReply(std::uint8_t* reply, ReadSome&& readSome) {
    int have = 0;
    int needed = int(protocol::frame::kHeaderSize);
    while (have < needed) {
        const ssize_t n =
            readSome(reply + have, std::size_t(int(protocol::frame::kBufferSize) - have));
        if (n <= 0) return 0;
        have += int(n);
        protocol::frame::HeaderFields head;
        if (needed == int(protocol::frame::kHeaderSize) && have >= needed) {
            if (!protocol::frame::DecodeHead(reply, head)) return 0;
            needed += head.length;
        }
    }
    return needed;
}

// The bare exchange loop: a raw socket, a write and reads, nothing else. `timeLimit`: each read
// waits in poll() for at most the reply's time limit first, as any client that gives up on a
// silent sensor must; without it the reads block for as long as it takes.
inline Round RawTcpRound(quint16 port, double seconds, bool timeLimit) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return {};
    }
    const auto request = MeasurementRequest();
    std::uint8_t reply[protocol::frame::kBufferSize];
    Round round = Measure(seconds, [&] {
        if (::send(fd, request.data(), request.size(), 0) != ssize_t(request.size())) return false;
        return ReadReply(reply, [&](std::uint8_t* to, std::size_t n) -> ssize_t {
                   pollfd watched{fd, POLLIN, 0};
                   if (timeLimit && ::poll(&watched, 1, 3000) != 1) return -1;
                   return ::recv(fd, to, n, 0);
               }) > 0;
    });
    ::close(fd);
    return round;
}

} // namespace bench
