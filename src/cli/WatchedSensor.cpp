#include "cli/WatchedSensor.h"

#include "cli/ShellTexts.h"
#include "core/ShownText.h"
#include "link/LinkTexts.h"
#include "link/SerialDevices.h"
#include "link/ServerList.h"
#include "protocol/Exchange.h"
#include "protocol/Orders.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QSerialPort>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

namespace frame = protocol::frame;
namespace lt = comm::linktext;

namespace {

// Why a connect failed, from the error the system gave.
lt::OpenCause TcpCause(int error) {
    switch (error) {
    case ECONNREFUSED:
        return lt::OpenCause::Refused;
    case ENETUNREACH:
        return lt::OpenCause::NetworkUnreachable;
    case EHOSTUNREACH:
    case ETIMEDOUT:
        return lt::OpenCause::NoAnswer;
    default:
        return lt::OpenCause::OtherTcp;
    }
}

} // namespace

WatchedSensor::WatchedSensor(const WatchTarget& target, double intervalSeconds, Limits limits,
                             Listener& listener, QObject* parent)
    : QObject(parent), listener(listener), name(target.name), link(target.link),
      where(WhereOf(target.link)), interval(target.interval.value_or(intervalSeconds)),
      limits(limits) {
    nextStep.setSingleShot(true);
    // A coarse timer may wake 5 % early, which would shorten the period.
    nextStep.setTimerType(Qt::PreciseTimer);
    deadline.setSingleShot(true);
    connect(&nextStep, &QTimer::timeout, this, [this] {
        if (state == State::Idle) SendRequest(protocol::kOrderMeasure);
        if (state == State::Resting) Connect();
    });
    connect(&deadline, &QTimer::timeout, this, &WatchedSensor::OnDeadline);
    if (!link.tcp) {
        serial = new QSerialPort(this);
        connect(serial, &QSerialPort::readyRead, this, &WatchedSensor::TakeBytes);
        connect(serial, &QSerialPort::errorOccurred, this,
                [this](QSerialPort::SerialPortError e) { OnSerialError(int(e)); });
    }
}

WatchedSensor::~WatchedSensor() {
    Stop();
}

void WatchedSensor::Start() {
    clock.start();
    Connect();
}

void WatchedSensor::Stop() {
    state = State::Stopped;
    nextStep.stop();
    deadline.stop();
    CloseLink();
}

void WatchedSensor::CloseLink() {
    if (lookupId >= 0) QHostInfo::abortHostLookup(lookupId);
    lookupId = -1;
    // Disabled at once, deleted later: this may run inside one of their own signals.
    for (QSocketNotifier** notifier : {&readable, &writable}) {
        if (!*notifier) continue;
        (*notifier)->setEnabled(false);
        (*notifier)->deleteLater();
        *notifier = nullptr;
    }
    if (socket >= 0) ::close(socket);
    socket = -1;
    if (serial && serial->isOpen()) serial->close();
}

bool WatchedSensor::Waiting() const {
    return state == State::Connecting || state == State::Identifying || state == State::Measuring;
}

void WatchedSensor::ArmDeadline(qint64 ms) {
    const qint64 now = clock.nsecsElapsed();
    deadlineNs = now + ms * 1000000;
    // Left running between exchanges: it is started anew only when it would wake too late.
    if (deadline.isActive() && deadlineWakeNs <= deadlineNs + 1000000) return;
    deadline.start(int(ms) + 1);
    deadlineWakeNs = now + (ms + 1) * 1000000;
}

void WatchedSensor::Connect() {
    CloseLink();
    state = State::Connecting;
    if (link.tcp) {
        ArmDeadline(limits.connectMs);
        QString host = QString::fromStdString(link.host);
        if (host.startsWith('[') && host.endsWith(']')) host = host.mid(1, host.size() - 2);
        QHostAddress address;
        if (address.setAddress(host)) {
            ConnectTo(address);
            return;
        }
        lookupId = QHostInfo::lookupHost(host, this, [this](const QHostInfo& info) {
            lookupId = -1;
            if (state != State::Connecting) return;
            if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
                Fail(ShellWords(lt::OpenCauseText(lt::OpenCause::NoSuchHost, where), where));
                return;
            }
            ConnectTo(info.addresses().first());
        });
        return;
    }
    serial->setPortName(QString::fromStdString(link.device));
    serial->setBaudRate(comm::BaudRateOfCode(link.baudCode));
    serial->setDataBits(QSerialPort::Data8);
    serial->setParity(QSerialPort::NoParity);
    serial->setStopBits(QSerialPort::OneStop);
    serial->setFlowControl(QSerialPort::NoFlowControl);
    if (!serial->open(QIODevice::ReadWrite)) {
        std::string hint;
        const auto cause = comm::SerialOpenCause(
            serial->error() == QSerialPort::DeviceNotFoundError,
            serial->error() == QSerialPort::PermissionError, link.device, hint);
        Fail(ShellWords(lt::OpenCauseText(cause, where, hint), where));
        return;
    }
    serial->clear(QSerialPort::AllDirections);
    // The line may still bring what the sensor owed before the failure: the engine, out of step
    // since, takes the identification only once every earlier frame has gone by.
    engine.LinkOpened(false);
    SendRequest(protocol::kOrderIdentify);
}

void WatchedSensor::ConnectTo(const QHostAddress& address) {
    sockaddr_storage storage{};
    socklen_t size = 0;
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(quint16(link.port));
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, &bytes, sizeof bytes);
        size = sizeof *in6;
    } else {
        auto* in4 = reinterpret_cast<sockaddr_in*>(&storage);
        in4->sin_family = AF_INET;
        in4->sin_port = htons(quint16(link.port));
        in4->sin_addr.s_addr = htonl(address.toIPv4Address());
        size = sizeof *in4;
    }
    socket = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (socket >= 0) ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (socket >= 0 && ::connect(socket, reinterpret_cast<sockaddr*>(&storage), size) == 0) {
        Connected();
        return;
    }
    if (socket < 0 || errno != EINPROGRESS) {
        Fail(ShellWords(lt::OpenCauseText(TcpCause(errno), where), where));
        return;
    }
    writable = new QSocketNotifier(socket, QSocketNotifier::Write, this);
    connect(writable, &QSocketNotifier::activated, this, [this] {
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length);
        writable->setEnabled(false);
        writable->deleteLater();
        writable = nullptr;
        if (error != 0) {
            Fail(ShellWords(lt::OpenCauseText(TcpCause(error), where), where));
            return;
        }
        Connected();
    });
}

void WatchedSensor::Connected() {
    // A new connection carries nothing of the requests an earlier one left unanswered.
    engine.LinkOpened(true);
    readable = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    connect(readable, &QSocketNotifier::activated, this, &WatchedSensor::TakeTcpBytes);
    SendRequest(protocol::kOrderIdentify);
}

void WatchedSensor::TakeTcpBytes() {
    const bool asking = Waiting() && state != State::Connecting;
    std::array<std::uint8_t, 512> unasked;
    // Bytes nobody asked for are read and dropped, so that the next reply starts clean.
    const std::span<std::uint8_t> room = asking ? engine.Room() : std::span<std::uint8_t>(unasked);
    const ssize_t n = ::recv(socket, room.data(), room.size(), MSG_DONTWAIT);
    if (n == 0) {
        Fail(ShellReport(lt::kServerClosed, where, 0));
        return;
    }
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return;
        Fail("connection to " + where + " failed: " + std::strerror(errno));
        return;
    }
    if (!asking) return;
    engine.Stored(std::size_t(n));
    CheckReply();
}

void WatchedSensor::SendRequest(std::uint8_t order) {
    // Whatever is left of an earlier reply is not this one's (TCP drops it as it comes).
    if (serial && serial->bytesAvailable() > 0) serial->skip(serial->bytesAvailable());
    asked = order;
    state = order == protocol::kOrderIdentify ? State::Identifying : State::Measuring;
    ArmDeadline(qint64(std::ceil(limits.replySeconds * 1000)));
    Write(engine.Start(protocol::MakeRequest(order)));
}

void WatchedSensor::Write(std::span<const std::uint8_t> frameBytes) {
    const auto* bytes = reinterpret_cast<const char*>(frameBytes.data());
    const auto length = qint64(frameBytes.size());
    if (socket >= 0) {
        // A frame into an empty connection: anything short of all of it is a fault.
        if (::send(socket, bytes, std::size_t(length), MSG_NOSIGNAL | MSG_DONTWAIT) != length)
            Fail("cannot send to " + where + ": " + std::strerror(errno));
        return;
    }
    // Written by the descriptor while nothing else is queued: the port's own write would arm a
    // write notifier and cost the loop another pass per request.
    qint64 sent = 0;
    if (serial->bytesToWrite() == 0)
        sent = std::max<ssize_t>(::write(int(serial->handle()), bytes, std::size_t(length)), 0);
    if (sent < length) serial->write(bytes + sent, length - sent);
}

void WatchedSensor::TakeBytes() {
    if (!Waiting() || state == State::Connecting) {
        serial->skip(serial->bytesAvailable()); // nothing asked: nobody's reply
        return;
    }
    const std::span<std::uint8_t> room = engine.Room();
    const qint64 n = serial->read(reinterpret_cast<char*>(room.data()), qint64(room.size()));
    if (n <= 0) return;
    engine.Stored(std::size_t(n));
    CheckReply();
}

void WatchedSensor::CheckReply() {
    for (;;) {
        switch (engine.Advance()) {
        case comm::ReplyEngine::Next::Receive:
            return;
        case comm::ReplyEngine::Next::Skipped:
            continue;
        case comm::ReplyEngine::Next::WriteRequest:
            // The line proved in step: the request itself goes out, with a limit of its own.
            ArmDeadline(qint64(std::ceil(limits.replySeconds * 1000)));
            Write(engine.RequestFrame());
            if (!Waiting()) return;
            continue;
        case comm::ReplyEngine::Next::Done:
            TakeResult();
            return;
        }
    }
}

void WatchedSensor::TakeResult() {
    if (engine.Result() != protocol::Outcome::Reply) {
        Fail(ShellReport(engine.Failure(), where, 0));
        return;
    }
    const auto data = engine.Data();
    if (asked == protocol::kOrderIdentify) {
        Identified(comm::FirmwareIdFromReply(data.data(), data.size()));
        return;
    }
    const std::size_t count =
        frame::DecodeWords(data.data(), data.size(), words.data(), words.size());
    protocol::TakeMeasurementFrame(frame, words.data(), count);
    ++measurements;
    state = State::Idle;
    listener.Measured(*this, frame);
    if (state == State::Idle) ScheduleMeasurement();
}

void WatchedSensor::Identified(const std::string& firmwareId) {
    restMs = kFirstRestMs;
    reportedOffline = false;
    lastReason.clear();
    state = State::Idle;
    // The sensor's bytes are 8-bit characters (as the window shows them): every sink gets UTF-8.
    listener.StatusChanged(*this, true, core::Utf8OfLatin1(firmwareId));
    plannedNs = clock.nsecsElapsed();
    if (state == State::Idle) SendRequest(protocol::kOrderMeasure);
}

void WatchedSensor::ScheduleMeasurement() {
    // The interval is a period counted from the planned starts, so a timer's lateness does not
    // add up; an exchange that took longer than the interval is followed at once.
    const qint64 due = plannedNs + qint64(interval * 1e9);
    const qint64 now = clock.nsecsElapsed();
    if (interval <= 0 || due <= now) {
        plannedNs = now;
        SendRequest(protocol::kOrderMeasure);
        return;
    }
    plannedNs = due;
    nextStep.start(int((due - now) / 1000000));
}

void WatchedSensor::Fail(const std::string& shellText) {
    if (state == State::Stopped || state == State::Resting) return;
    // Resting first: closing the link below reports again, and that report is passed over.
    state = State::Resting;
    deadline.stop();
    CloseLink();
    nextStep.start(restMs);
    restMs = std::min(restMs * 2, kLongestRestMs);
    if (reportedOffline && shellText == lastReason) return;
    reportedOffline = true;
    lastReason = shellText;
    listener.StatusChanged(*this, false, shellText);
}

void WatchedSensor::OnDeadline() {
    if (!Waiting()) return;
    const qint64 left = deadlineNs - clock.nsecsElapsed();
    if (left > 0) {
        deadline.start(int(left / 1000000) + 1);
        deadlineWakeNs = deadlineNs + 1000000;
        return;
    }
    if (state == State::Connecting) {
        Fail(ShellWords(lt::OpenCauseText(lt::OpenCause::NoAnswer, where), where));
        return;
    }
    engine.TimeUp();
    Fail(ShellReport(lt::kTimeout, where, limits.replySeconds));
}

void WatchedSensor::OnSerialError(int error) {
    // A time-out is no fault of the line; the rest that matter mean the device has gone.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::PermissionError)
        return;
    if (state == State::Connecting) return; // the open reports it
    Fail(ShellReport(lt::kSerialLost, where, 0));
}

} // namespace cli
