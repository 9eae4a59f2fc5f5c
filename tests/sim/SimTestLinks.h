#pragma once
// Clients of the simulator over its real links, shared by the simulator tests.
#include "SimTestBytes.h"
#include "sim/SimThread.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace simtest {

// What arrives at all arrives within this, even on a machine busy with other work.
inline constexpr int kLinkWaitMs = 30000;

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

// One client over the link named by a data row ("tcp" or "pty"), read and written alike.
class LinkClient {
public:
    static QString PtyLink(const QTemporaryDir& dir) {
        return dir.filePath(QStringLiteral("ttySIM"));
    }

    // A TCP client connects to `port` when given, else starts the simulator's listener.
    LinkClient(sim::SimThread& simulator, const QString& transport, const QTemporaryDir& dir,
               quint16 port = 0) {
        if (transport == QLatin1String("pty")) {
            if (simulator.StartPty(PtyLink(dir))) pty = std::make_unique<PtyClient>(PtyLink(dir));
            return;
        }
        tcp = std::make_unique<QTcpSocket>();
        tcp->connectToHost(QStringLiteral("127.0.0.1"), port ? port : simulator.StartTcp());
        tcp->waitForConnected(kLinkWaitMs);
    }
    bool IsOpen() const {
        return pty ? pty->IsOpen() : tcp && tcp->state() == QAbstractSocket::ConnectedState;
    }
    void Send(const std::vector<std::uint8_t>& bytes) {
        if (pty) return pty->Send(bytes);
        tcp->write(ToQt(bytes));
        tcp->waitForBytesWritten(kLinkWaitMs);
    }
    QByteArray Read(int count, int timeoutMs = kLinkWaitMs) {
        if (pty) return pty->Read(count, timeoutMs);
        QByteArray bytes;
        QDeadlineTimer deadline(timeoutMs);
        while (bytes.size() < count && !deadline.hasExpired()) {
            if (tcp->bytesAvailable() == 0 && !tcp->waitForReadyRead(deadline.remainingTime()))
                break;
            bytes += tcp->read(count - bytes.size());
        }
        return bytes;
    }
    // One whole frame as its head announces it (what arrived, when it does not come whole).
    QByteArray ReadFrame(int timeoutMs = kLinkWaitMs) {
        QByteArray bytes = Read(8, timeoutMs);
        protocol::frame::HeaderFields head;
        if (bytes.size() == 8 &&
            protocol::frame::DecodeHead(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                        head))
            bytes += Read(head.length, timeoutMs);
        return bytes;
    }
    void Close() {
        if (pty) pty->Close();
        if (tcp) tcp->disconnectFromHost();
    }

private:
    std::unique_ptr<PtyClient> pty;
    std::unique_ptr<QTcpSocket> tcp;
};

inline void AddTransports() {
    QTest::addColumn<QString>("transport");
    QTest::newRow("tcp") << QStringLiteral("tcp");
    QTest::newRow("pty") << QStringLiteral("pty");
}

// The chromix3-sim program (CHROMIX_SIM names it): the exit code it gives `refused`, then the
// program started with `arguments` and a socket connected to the TCP port it announces.
struct SimProgram {
    QProcess process;
    QTcpSocket socket;
    int refusedExitCode = -1;

    bool Start(const QString& program, const QStringList& refused, const QStringList& arguments) {
        QProcess check;
        check.start(program, refused);
        if (!check.waitForFinished(kLinkWaitMs)) return false;
        refusedExitCode = check.exitCode();
        process.start(program, arguments);
        QByteArray out;
        while (!out.contains('\n') && process.waitForReadyRead(kLinkWaitMs))
            out += process.readAllStandardOutput();
        const QRegularExpressionMatch match =
            QRegularExpression("TCP port (\\d+)").match(QString::fromLocal8Bit(out));
        if (!match.hasMatch()) return false;
        socket.connectToHost(QStringLiteral("127.0.0.1"), match.captured(1).toUShort());
        return socket.waitForConnected(kLinkWaitMs);
    }
};

} // namespace simtest
