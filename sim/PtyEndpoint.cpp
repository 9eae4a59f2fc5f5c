#include "sim/PtyEndpoint.h"

#include "sim/ClientSession.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

// While nobody holds the slave open, the master reports a hang-up on every poll; looking
// again at this pace keeps the simulator idle instead of spinning on it.
constexpr int kClientPollMs = 50;

// Only a link of our own, to a pty slave that an earlier run left behind, may go; anything else
// at the path belongs to someone. Empty when the path is free now, otherwise why it is not.
QString RemoveStaleLink(const QString& link) {
    const QByteArray path = link.toLocal8Bit();
    struct stat status {};
    char target[4096] = {};
    if (::lstat(path.constData(), &status) != 0)
        return errno == ENOENT ? QString()
                               : QStringLiteral("cannot replace %1: %2").arg(link, strerror(errno));
    if (!S_ISLNK(status.st_mode) || ::readlink(path.constData(), target, sizeof(target) - 1) <= 0 ||
        std::strncmp(target, "/dev/pts/", 9) != 0)
        return QStringLiteral("%1 exists and is not a link to a pseudo-terminal: left untouched")
            .arg(link);
    if (::unlink(path.constData()) != 0 && errno != ENOENT)
        return QStringLiteral("cannot replace %1: %2").arg(link, strerror(errno));
    return {};
}

} // namespace

PtyEndpoint::PtyEndpoint(SessionFactory factory, QObject* parent)
    : QObject(parent), factory(std::move(factory)) {
    pollTimer.setInterval(kClientPollMs);
    connect(&pollTimer, &QTimer::timeout, this, &PtyEndpoint::CheckForClient);
}

PtyEndpoint::~PtyEndpoint() {
    Close();
}

bool PtyEndpoint::Open(const QString& link, QString& error) {
    Close();
    master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        error = QStringLiteral("cannot open a pseudo-terminal: %1").arg(strerror(errno));
        Close();
        return false;
    }
    fcntl(master, F_SETFD, FD_CLOEXEC);
    slavePath = QString::fromLocal8Bit(ptsname(master));
    MakeRaw();
    const QByteArray linkBytes = link.toLocal8Bit();
    error = RemoveStaleLink(link);
    if (!error.isEmpty()) {
        Close();
        return false;
    }
    if (::symlink(slavePath.toLocal8Bit().constData(), linkBytes.constData()) != 0) {
        error = QStringLiteral("cannot link %1: %2").arg(link, strerror(errno));
        Close();
        return false;
    }
    linkPath = link;
    readNotifier = std::make_unique<QSocketNotifier>(master, QSocketNotifier::Read);
    connect(readNotifier.get(), &QSocketNotifier::activated, this, &PtyEndpoint::ReadMaster);
    writeNotifier = std::make_unique<QSocketNotifier>(master, QSocketNotifier::Write);
    writeNotifier->setEnabled(false);
    connect(writeNotifier.get(), &QSocketNotifier::activated, this, &PtyEndpoint::FlushOutput);
    // A slave that was never opened does not hang up: serve it as if a client were there.
    StartSession();
    return true;
}

void PtyEndpoint::Close() {
    pollTimer.stop();
    readNotifier.reset();
    writeNotifier.reset();
    delete session;
    session = nullptr;
    clientPresent = false;
    if (!linkPath.isEmpty()) {
        // Remove the link only while it still points at our slave.
        char target[4096] = {};
        const QByteArray linkBytes = linkPath.toLocal8Bit();
        const ssize_t n = ::readlink(linkBytes.constData(), target, sizeof(target) - 1);
        if (n > 0 && QString::fromLocal8Bit(target, n) == slavePath)
            ::unlink(linkBytes.constData());
        linkPath.clear();
    }
    if (master >= 0) ::close(master);
    master = -1;
    output.clear();
}

void PtyEndpoint::MakeRaw() {
    // On the master the line settings are those of the slave: no echo, no line editing,
    // no character translation, so the frame bytes pass unchanged in both directions.
    termios settings{};
    if (tcgetattr(master, &settings) != 0) return;
    cfmakeraw(&settings);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    tcsetattr(master, TCSANOW, &settings);
}

void PtyEndpoint::StartSession() {
    delete session;
    deaf = false;
    output.clear();
    clientPresent = true;
    session = factory([this](const QByteArray& bytes) { Write(bytes); }, [this]() { deaf = true; });
    session->setParent(this);
}

void PtyEndpoint::ReadMaster() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof(buffer));
        if (n > 0) {
            if (!deaf && session) session->Receive(QByteArray(buffer, static_cast<qsizetype>(n)));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        ClientGone(); // EIO (or end of file): the last holder of the slave closed it
        return;
    }
}

void PtyEndpoint::ClientGone() {
    clientPresent = false;
    if (session) {
        session->StopSendingUnasked(); // at once, not when the deferred deletion comes
        session->deleteLater();
        session = nullptr;
    }
    output.clear();
    readNotifier->setEnabled(false);
    writeNotifier->setEnabled(false);
    pollTimer.start();
}

void PtyEndpoint::CheckForClient() {
    pollfd entry{master, POLLIN, 0};
    if (::poll(&entry, 1, 0) < 0 || (entry.revents & POLLHUP)) return;
    pollTimer.stop();
    MakeRaw();
    StartSession();
    readNotifier->setEnabled(true);
    ReadMaster();
}

void PtyEndpoint::Write(const QByteArray& bytes) {
    if (!clientPresent) return;
    output.append(bytes);
    FlushOutput();
}

void PtyEndpoint::FlushOutput() {
    while (!output.isEmpty()) {
        const ssize_t n = ::write(master, output.constData(), static_cast<size_t>(output.size()));
        if (n > 0) {
            output.remove(0, static_cast<qsizetype>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    if (writeNotifier) writeNotifier->setEnabled(!output.isEmpty() && clientPresent);
}

} // namespace sim
