#include "link/SensorLink.h"

#include "core/CommandGate.h"
#include "link/CommView.h"
#include "link/LinkTexts.h"
#include "link/ProtocolMonitor.h"
#include "link/ReplyEngine.h"
#include "link/SerialDevices.h"
#include "link/SerialLatency.h"
#include "protocol/CheckByte.h"
#include "protocol/Orders.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTcpSocket>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace comm {

namespace frame = protocol::frame;
using protocol::Outcome;
using protocol::Reply;
using protocol::Request;

namespace {

int SerialOpenCode(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return -2;
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
        return -7;
    case QSerialPort::UnsupportedOperationError:
        return -14;
    case QSerialPort::TimeoutError:
        return -99;
    case QSerialPort::ResourceError:
        return -4;
    default:
        return -1;
    }
}

int TcpConnectCode(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return -4; // FailedToConnect
    case QAbstractSocket::HostNotFoundError:
        return -2; // UnableToEstablishConnection
    case QAbstractSocket::SocketTimeoutError:
        return -11; // TimeOutError
    case QAbstractSocket::RemoteHostClosedError:
        return -14; // ConnectionClosed
    case QAbstractSocket::NetworkError:
        return -17; // NetworkSubsystemNotReady
    case QAbstractSocket::SocketResourceError:
        return -10; // OutOfMemory
    case QAbstractSocket::UnsupportedSocketOperationError:
        return -9;
    default:
        return -13; // GeneralIOErr
    }
}

linktext::OpenCause TcpCause(int result, QAbstractSocket::SocketError error) {
    if (result == -9) return linktext::OpenCause::NoAddress;
    if (result == -11) return linktext::OpenCause::NoAnswer;
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return linktext::OpenCause::Refused;
    case QAbstractSocket::HostNotFoundError:
        return linktext::OpenCause::NoSuchHost;
    case QAbstractSocket::SocketTimeoutError:
        return linktext::OpenCause::NoAnswer;
    case QAbstractSocket::NetworkError:
        return linktext::OpenCause::NetworkUnreachable;
    default:
        return linktext::OpenCause::OtherTcp;
    }
}

// What came of an exchange that brought no frame.
Reply Unanswered(Outcome outcome) {
    Reply reply;
    reply.outcome = outcome;
    return reply;
}

// Writes by the descriptor itself: one system call, where the socket's or the port's own
// machinery arms and disarms a write notifier around it. The bytes written; 0 when none could
// be (the caller then leaves it to the device, which reports any fault in its usual way).
qint64 WriteByDescriptor(int fd, const char* bytes, int length, bool socket) {
    if (fd < 0) return 0;
    const ssize_t n = socket ? ::send(fd, bytes, std::size_t(length), MSG_NOSIGNAL | MSG_DONTWAIT)
                             : ::write(fd, bytes, std::size_t(length));
    return n > 0 ? qint64(n) : 0;
}

} // namespace

SensorLink::SensorLink(CommView& view, QObject* parent)
    : QObject(parent), view(view), serial(new QSerialPort(this)), tcp(new QTcpSocket(this)),
      deviceResolver(SerialDeviceName) {
    connect(tcp, &QTcpSocket::readyRead, this, &SensorLink::OnTcpReadyRead);
    connect(tcp, &QTcpSocket::disconnected, this, &SensorLink::OnTcpDisconnected);
    connect(serial, &QSerialPort::readyRead, this, &SensorLink::DropUnaskedSerialBytes);
    connect(serial, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { OnSerialError(int(e)); });
}

SensorLink::~SensorLink() = default;

void SensorLink::SetSerialDeviceResolver(std::function<std::string(int)> resolver) {
    deviceResolver = std::move(resolver);
}

bool SensorLink::Stopping() const {
    return gate && gate->StopRequested();
}

bool SensorLink::GivingUp() const {
    // STOP and the end of a loop let the exchange in progress finish, as the operator expects
    // the frame on its way to be shown; a lost link or a closed window do not wait for it.
    return gate && gate->Cause() >= core::StopCause::LinkLost;
}

bool SensorLink::Withheld(const Request& request) const {
    if (!gate || !gate->Closed()) return false;
    if (protocol::IsCleanUp(request.order, request.argument)) return false;
    // The rest of a write already on the line still goes out.
    return !(writeDepth > 0 && writeOnLine);
}

bool SensorLink::SerialPortOpen() const {
    return serial->isOpen();
}

bool SensorLink::TcpConnected() const {
    return tcpConnected;
}

void SensorLink::DropUnaskedSerialBytes() {
    // While an exchange or a loop waits for frames, every byte is theirs.
    if (exchangeRunning || pushedWaitActive) return;
    const qint64 surplus = serial->bytesAvailable() - kSerialReadBufferLimit;
    if (surplus > 0) serial->skip(surplus);
}

qint64 SensorLink::SerialBufferedBytes() const {
    return serial->isOpen() ? serial->bytesAvailable() : 0;
}

bool SensorLink::LinkOpen() const {
    if (inUse == Transport::Tcp) return tcp->state() == QAbstractSocket::ConnectedState;
    if (inUse == Transport::Serial) return serial->isOpen();
    return false;
}

void SensorLink::CloseSerialPort() {
    if (serial->isOpen()) serial->close();
}

int SensorLink::OpenSerialPort(int portNumber, const std::string& devicePath, int baudRateCode) {
    inUse = Transport::Serial;
    CloseSerialPort();
    serialLost = false;
    serialErrorEvents = 0;
    serialWakeCount = 0; // a port opens with VMIN 0
    serialSettingsRead = false;

    const std::string device = devicePath.empty() ? deviceResolver(portNumber) : devicePath;
    // A device given by path has no port number to tell.
    endpoint =
        Endpoint{true, false, {}, 0, devicePath.empty() ? portNumber : 0, device, baudRateCode};
    int result = -2;
    if (!device.empty()) {
        serial->setPortName(QString::fromStdString(device));
        serial->setBaudRate(BaudRateOfCode(baudRateCode));
        serial->setDataBits(QSerialPort::Data8);
        serial->setParity(QSerialPort::NoParity);
        serial->setStopBits(QSerialPort::OneStop);
        serial->setFlowControl(QSerialPort::NoFlowControl);
        result = serial->open(QIODevice::ReadWrite) ? 0 : SerialOpenCode(serial->error());
    }
    if (result < 0) {
        std::string hint;
        const auto cause =
            SerialOpenCause(serial->error() == QSerialPort::DeviceNotFoundError,
                            serial->error() == QSerialPort::PermissionError, device, hint);
        openFailure = linktext::OpenCauseText(
            cause, device.empty() ? "COM" + std::to_string(portNumber) : device, hint);
        ReportCommError(openFailure);
        return result;
    }
    openFailure.clear();
    const LowLatency lowLatency = RequestLowLatency(int(serial->handle()));
    std::string timerPath;
    const int timerMs = LatencyTimerMs(device, &timerPath);
    lowLatencyReport = LowLatencyText(lowLatency, device, timerMs, timerPath);
    serial->clear(QSerialPort::AllDirections);
    serial->clearError();
    staleInput = false;
    // The line may still bring what the sensor owed before: it stays out of step if it was.
    engine.LinkOpened(false);
    return result;
}

int SensorLink::ConnectToServer(const std::string& server, int port) {
    if (tcpConnected) DisconnectFromServer();
    inUse = Transport::Tcp;
    endpoint = Endpoint{true, true, server, port, 0, {}, 0};
    view.SetWaitCursor(true);

    int result = 0;
    QAbstractSocket::SocketError socketError = QAbstractSocket::UnknownSocketError;
    if (port <= 0 || port > 65535 || server.empty()) {
        result = -9; // InvalidParameter: nothing to connect to
    } else {
        tcp->abort();
        tcp->connectToHost(QString::fromStdString(server), static_cast<quint16>(port));
        QElapsedTimer clock;
        clock.start();
        while (tcp->state() != QAbstractSocket::ConnectedState &&
               tcp->state() != QAbstractSocket::UnconnectedState &&
               clock.elapsed() < connectTimeoutMs && !GivingUp())
            eventWait.ProcessEventsFor(int(connectTimeoutMs - clock.elapsed()));
        if (tcp->state() != QAbstractSocket::ConnectedState && GivingUp()) {
            // Given up on purpose: nothing has been sent, so nothing is left half done.
            tcp->abort();
            view.SetWaitCursor(false);
            return -11;
        }
        if (tcp->state() == QAbstractSocket::ConnectedState) {
            tcp->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        } else {
            result = tcp->state() == QAbstractSocket::UnconnectedState
                         ? TcpConnectCode(tcp->error())
                         : -11;
            socketError = tcp->error();
            tcp->abort();
        }
    }
    view.SetWaitCursor(false);
    if (result < 0) {
        const std::string where =
            server.empty() ? std::string("no server") : server + ":" + std::to_string(port);
        openFailure = linktext::OpenCauseText(TcpCause(result, socketError), where);
        ReportCommError(openFailure);
        return result;
    }
    openFailure.clear();
    tcpConnected = true;
    // A new connection carries nothing of the requests the last one left unanswered.
    engine.LinkOpened(true);
    staleInput = false;
    return result;
}

void SensorLink::DisconnectFromServer() {
    // Our own disconnect is not the server closing: clear the flag first so the handler stays
    // quiet.
    tcpConnected = false;
    tcp->abort();
}

void SensorLink::ShutDown() {
    if (tcpConnected) DisconnectFromServer();
    CloseSerialPort();
}

void SensorLink::DropStaleInput() {
    if (inUse != Transport::Tcp) {
        serial->clear(QSerialPort::AllDirections);
        serial->readAll();
        return;
    }
    if (!staleInput) return;
    staleInput = false;
    // What the socket or the kernel still holds of an earlier reply, up to this moment.
    tcp->skip(tcp->bytesAvailable());
    const int fd = int(tcp->socketDescriptor());
    if (fd < 0) return;
    std::array<char, 4096> sink{};
    while (::recv(fd, sink.data(), sink.size(), MSG_DONTWAIT) > 0) {
    }
}

void SensorLink::WriteFrame(std::span<const std::uint8_t> frameBytes) {
    const auto* bytes = reinterpret_cast<const char*>(frameBytes.data());
    const int length = int(std::min(frameBytes.size(), frame::kBufferSize));
    if (inUse == Transport::Tcp && tcp->state() != QAbstractSocket::ConnectedState) return;
    if (inUse != Transport::Tcp && !serial->isOpen()) return;
    if (frameTap) frameTap->Record(FrameDirection::Request, frameBytes.data(), std::size_t(length));
    QIODevice* device = inUse == Transport::Tcp ? static_cast<QIODevice*>(tcp) : serial;
    // Only with nothing of the device's own still queued, or the order of bytes would change.
    const bool queued =
        inUse == Transport::Tcp ? tcp->bytesToWrite() > 0 : serial->bytesToWrite() > 0;
    const int fd = inUse == Transport::Tcp ? int(tcp->socketDescriptor()) : int(serial->handle());
    const qint64 sent = queued ? 0 : WriteByDescriptor(fd, bytes, length, inUse == Transport::Tcp);
    if (sent >= length) return;
    device->write(bytes + sent, length - sent);
    if (inUse == Transport::Tcp) {
        tcp->flush();
        return;
    }
    // The first flush writes; the second completes the write the port started, which would
    // otherwise keep its write notifier armed and wake the next wait for nothing.
    serial->flush();
    serial->flush();
}

void SensorLink::PullSerialBytes() {
    if (inUse == Transport::Tcp || !serial->isOpen()) return;
    const qint64 available = serial->bytesAvailable();
    if (available <= 0) return;
    const std::span<std::uint8_t> room = engine.Room();
    const qint64 n = serial->read(reinterpret_cast<char*>(room.data()),
                                  std::min<qint64>(available, qint64(room.size())));
    if (n > 0) engine.Stored(std::size_t(n));
}

SensorLink::AloneWait SensorLink::WaitOnSocketAlone(int maxMs) {
    // The socket's own buffer is empty whenever the event loop has run (readyRead takes it all),
    // so reading the descriptor here keeps the bytes in order.
    if (tcp->bytesAvailable() > 0) {
        OnTcpReadyRead();
        return AloneWait::Data;
    }
    const std::span<std::uint8_t> room = engine.Room();
    const int fd = int(tcp->socketDescriptor());
    if (room.empty() || fd < 0) return AloneWait::ToReport;
    pollfd watched{fd, POLLIN, 0};
    const timespec timeout{maxMs / 1000, long(maxMs % 1000) * 1000000L};
    const int ready = ::ppoll(&watched, 1, &timeout, nullptr);
    if (ready == 0) return AloneWait::TimeUp;
    if (ready < 0) return errno == EINTR ? AloneWait::Data : AloneWait::ToReport;
    if ((watched.revents & POLLIN) == 0) return AloneWait::ToReport;
    const ssize_t n = ::recv(fd, room.data(), room.size(), MSG_DONTWAIT);
    if (n > 0) {
        engine.Stored(std::size_t(n));
        return AloneWait::Data;
    }
    // Closed by the sensor, or failed: the socket finds out and reports it in the event loop.
    const bool nothingYet = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
    return nothingYet ? AloneWait::Data : AloneWait::ToReport;
}

SensorLink::AloneWait SensorLink::WaitOnPortAlone(int maxMs) {
    // The port reads what came into its buffer and tells of it with readyRead, as in the event
    // loop; running out of time is no failure here.
    if (serial->waitForReadyRead(maxMs)) return AloneWait::Data;
    if (serial->error() != QSerialPort::TimeoutError) return AloneWait::ToReport;
    serial->clearError();
    return AloneWait::TimeUp;
}

void SensorLink::SetSerialWakeCount(int count) {
    // With VTIME 0, a terminal's VMIN makes poll report it readable only once that many bytes
    // are in: a reply paced at the line rate then wakes the wait once, when it is complete,
    // instead of once per byte. Reads stay non-blocking and return what there is.
    count = std::clamp(count, 0, 255);
    if (count == serialWakeCount || !serial->isOpen()) return;
    const int fd = int(serial->handle());
    // The settings are read once an exchange (the port may change them in between); plain
    // ioctls, as the library's tcsetattr reads them twice more around every write.
    if (!serialSettingsRead && (fd < 0 || ::ioctl(fd, TCGETS, &serialSettings) != 0)) return;
    serialSettingsRead = true;
    serialSettings.c_cc[VMIN] = cc_t(count);
    serialSettings.c_cc[VTIME] = 0;
    if (::ioctl(fd, TCSETS, &serialSettings) == 0) serialWakeCount = count;
}

void SensorLink::FinishExchange() {
    exchangeRunning = false;
    // Between exchanges every byte counts: frames pushed unasked, and the bound on them.
    SetSerialWakeCount(0);
    serialSettingsRead = false;
}

void SensorLink::TapReply(Outcome outcome) {
    std::string_view failure = engine.Failure();
    if (outcome == Outcome::Cancelled) failure = "CANCELLED";
    const auto frameBytes = engine.ResultFrame();
    frameTap->Record(FrameDirection::Reply, frameBytes.data(), frameBytes.size(), failure);
}

SensorLink::WaitEnd SensorLink::WaitForFrame(bool abandonable) {
    PullSerialBytes();
    // Over TCP/IP the data usually came with the header: no clock to start for them.
    if (engine.Missing() == 0) return WaitEnd::Arrived;
    QElapsedTimer clock;
    clock.start();
    const qint64 limitNs = qint64(replyLimitSeconds * 1e9);
    const bool tcpLink = inUse == Transport::Tcp;
    AloneWait alone = AloneWait::Data;
    WaitEnd end = WaitEnd::TimedOut;
    for (;;) {
        PullSerialBytes();
        const std::size_t missing = engine.Missing();
        if (missing == 0) return WaitEnd::Arrived;
        if (abandonable && GivingUp()) {
            end = WaitEnd::Cancelled;
            break;
        }
        if (!LinkOpen()) {
            end = WaitEnd::Closed;
            break;
        }
        const qint64 elapsed = clock.nsecsElapsed();
        if (elapsed > limitNs) break;
        const int limitMs = int((limitNs - elapsed) / 1000000) + 1;
        ++waitWakeUps;
        if (!tcpLink) SetSerialWakeCount(int(missing));
        // A reply usually comes within a fraction of a millisecond, or a few on a serial line.
        // Waiting on the link alone spares a whole event-loop pass per reply. The event loop
        // still runs every few milliseconds, and for the whole of a longer wait. On a serial
        // line it waits, if it can, until the reply has begun: the request may still need this
        // processor on its way out (a pseudo-terminal hands it on by a kernel worker). It
        // cannot always: a line that delivers whole replies at once never has a wait after
        // the request.
        const bool underway = engine.FrameBytes() > 0;
        const bool passDue = eventWait.MsUntilEventPass() == 0;
        const bool passFits =
            tcpLink || underway || alone == AloneWait::TimeUp || eventWait.EventPassOverdue();
        if (alone != AloneWait::ToReport && !(passDue && passFits)) {
            const int aloneMs = std::min(limitMs, EventWait::kEventPassIntervalMs);
            alone = tcpLink ? WaitOnSocketAlone(aloneMs) : WaitOnPortAlone(aloneMs);
            continue;
        }
        eventWait.ProcessEventsFor(limitMs);
    }
    PullSerialBytes();
    if (engine.Missing() == 0) return WaitEnd::Arrived;
    // What is still missing may come in ones and twos now.
    if (!tcpLink) SetSerialWakeCount(0);
    if (end != WaitEnd::TimedOut || tcpLink) return end;
    // The port's own read after a time-out waits its time too, as a silent sensor on a serial
    // line has always been told: about the limit plus the port's time-out.
    // A shorter reply limit (the command line's --timeout) shortens it too.
    const qint64 portMs = std::min<qint64>(kSerialReadTimeoutMs, limitNs / 1000000);
    QElapsedTimer portClock;
    portClock.start();
    while (serial->isOpen() && engine.Missing() > 0 && portClock.elapsed() < portMs) {
        if (abandonable && GivingUp()) return WaitEnd::Cancelled;
        eventWait.ProcessEventsFor(int(portMs - portClock.elapsed()) + 1);
        PullSerialBytes();
    }
    if (!serial->isOpen()) return WaitEnd::Closed;
    return WaitEnd::TimedOut;
}

Outcome SensorLink::EndWait(WaitEnd end) {
    switch (end) {
    case WaitEnd::Arrived:
        return Outcome::Reply;
    case WaitEnd::Cancelled:
        staleInput = true;
        engine.Abandon(Outcome::Cancelled);
        return Outcome::Cancelled;
    case WaitEnd::Closed:
        engine.Abandon(Outcome::Closed);
        // A closed connection has been reported by its own handler; a vanished serial device
        // is told here, as the exchange was waiting when it went.
        if (inUse == Transport::Serial && serialLost) ReportCommError(linktext::kSerialLost);
        return Outcome::Closed;
    case WaitEnd::TimedOut:
        break;
    }
    staleInput = true;
    engine.TimeUp();
    return engine.Result();
}

Outcome SensorLink::ReceiveReply(bool abandonable, bool passingPushed) {
    // Pushed frames are passed over for no longer than a reply may take.
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const WaitEnd end = WaitForFrame(abandonable);
        if (end != WaitEnd::Arrived) return EndWait(end);
        switch (engine.Advance()) {
        case ReplyEngine::Next::Receive:
            continue;
        case ReplyEngine::Next::WriteRequest:
            // In step again: now the request itself goes out, with a reply limit of its own.
            WriteFrame(engine.RequestFrame());
            if (writeDepth > 0) writeOnLine = true;
            clock.restart();
            continue;
        case ReplyEngine::Next::Skipped:
            if (frameTap) {
                const auto skipped = engine.SkippedFrame();
                frameTap->Record(FrameDirection::Reply, skipped.data(), skipped.size(),
                                 engine.SkipReason());
            }
            if (passingPushed && clock.elapsed() > replyLimitSeconds * 1000) {
                // Nothing but pushed frames: the reply never came.
                staleInput = true;
                engine.TimeUp();
                return Outcome::TimedOut;
            }
            continue;
        case ReplyEngine::Next::Done:
            return engine.Result();
        }
    }
}

Reply SensorLink::ReplyOf(Outcome outcome) {
    Reply reply;
    reply.outcome = outcome;
    if (!reply.Arrived()) return reply;
    const auto data = engine.Data();
    const std::size_t words =
        frame::DecodeWords(data.data(), data.size(), replyWords.data(), replyWords.size());
    reply.code = engine.Header().code;
    reply.status = engine.Header().word;
    reply.data = data;
    reply.words = std::span<const std::uint16_t>(replyWords.data(), words);
    return reply;
}

Reply SensorLink::Exchange(const Request& request, const PushedFrames* pushed) {
    // Never an exchange inside the wait of another: the reply on the line belongs to the first.
    if (exchangeRunning) {
        view.SetStatusLine(linktext::kExchangeBusy);
        return Unanswered(Outcome::Busy);
    }
    if (Withheld(request)) return Unanswered(Outcome::Cancelled);
    if (!LinkOpen()) {
        ReportCommError(std::string(linktext::kTimeout) + linktext::kLinkNotOpen);
        return Unanswered(Outcome::Closed);
    }
    exchangeRunning = true;
    // The reply to a read may be given up when the command is stopped; a write is waited for.
    const bool abandonable = writeDepth == 0 && !protocol::ChangesSensor(request.order);
    // The bytes already received stay when frames are pushed: they are whole frames, and
    // clearing them could cut one in half and lose the frame boundaries.
    if (pushed == nullptr) DropStaleInput();
    const auto first = engine.Start(request, pushed);
    WriteFrame(first);
    if (writeDepth > 0 && engine.RequestSent()) writeOnLine = true;
    Outcome outcome = ReceiveReply(abandonable, pushed != nullptr);
    if (!engine.Failure().empty()) ReportCommError(engine.Failure());
    if (frameTap) TapReply(outcome);
    FinishExchange();
    if (outcome == Outcome::Reply) view.LinkAnswered();
    return ReplyOf(outcome);
}

Reply SensorLink::ExchangeFrames(const Request& request) {
    return Exchange(request, nullptr);
}

Reply SensorLink::ExchangeFramesPassingPushed(const Request& request, PushedFrames pushed) {
    return Exchange(request, &pushed);
}

Reply SensorLink::ReceivePushedFrame() {
    if (exchangeRunning) {
        view.SetStatusLine(linktext::kExchangeBusy);
        return Unanswered(Outcome::Busy);
    }
    engine.Listen();
    // No time limit: trigger events come when they come. The wait sleeps until data, a click
    // or the next second.
    constexpr int kLongestSleepMs = 1000;
    bool portFailed = false;
    pushedWaitActive = true;
    PullSerialBytes();
    while (!Stopping() && engine.FrameBytes() < frame::kHeaderSize) {
        if (!LinkOpen()) {
            portFailed = true;
            break;
        }
        eventWait.ProcessEventsFor(kLongestSleepMs);
        PullSerialBytes();
    }
    pushedWaitActive = false;
    if (engine.FrameBytes() < frame::kHeaderSize) {
        if (!portFailed) {
            engine.Abandon(Outcome::Cancelled);
            return Unanswered(Outcome::Cancelled);
        }
        engine.Abandon(Outcome::Closed);
        // A closed connection or a vanished device has been reported by its own handler.
        if (LinkOpen() && !serialLost) ReportCommError(linktext::kPortErrorWhileWaiting);
        return Unanswered(Outcome::Closed);
    }
    exchangeRunning = true;
    // The frame has begun: its data are taken whatever happens, so the next frame is found
    // where it begins.
    const Outcome outcome = ReceiveReply(false, false);
    if (!engine.Failure().empty()) ReportCommError(engine.Failure());
    if (frameTap) TapReply(outcome);
    FinishExchange();
    if (outcome == Outcome::Reply) view.LinkAnswered();
    return ReplyOf(outcome);
}

void SensorLink::ReportCommError(const std::string& message) {
    lastFailure = linktext::FailureCause(message);
    view.SetStatusLine(linktext::kStatusTimeout);
    view.AppendLog(message + "\n\n");
    view.SetLinkButtonsDimmed(true);
    view.ShowCommunicationPage();
    view.LinkReported();
    view.LinkFailed();
}

void SensorLink::ReportSensorNotice(const std::string& message) {
    // The link is fine: the notice goes to the log and ends a measuring loop, nothing more.
    view.AppendLog(message + "\n\n");
    view.SensorNotice();
}

void SensorLink::OnTcpReadyRead() {
    for (;;) {
        const std::span<std::uint8_t> room = engine.Room();
        if (room.empty()) {
            tcp->readAll(); // never store beyond the receive buffer
            return;
        }
        const qint64 n = tcp->read(reinterpret_cast<char*>(room.data()), qint64(room.size()));
        if (n <= 0) return;
        engine.Stored(std::size_t(n));
    }
}

void SensorLink::OnTcpDisconnected() {
    if (!tcpConnected) return;
    tcpConnected = false;
    ReportCommError(linktext::kServerClosed);
    view.LinkLost();
}

void SensorLink::OnSerialError(int error) {
    // A time-out is the end of a wait on the port alone, not a fault of the line.
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
    ++serialErrorEvents;
    // A failed read, a lost resource or revoked access all mean the device has gone away (an
    // adapter pulled, the far end of a pseudo-terminal closed).
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::PermissionError)
        return;
    if (!serial->isOpen() || serialLost) return;
    // The device is gone. Qt would report it again on every read attempt, so close the port
    // now and tell the operator once.
    serialLost = true;
    serial->close();
    view.LinkLost();
    if (exchangeRunning) return; // the exchange reports it, as it was waiting
    ReportCommError(linktext::kSerialLost);
}

} // namespace comm
