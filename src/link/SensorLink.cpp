#include "link/SensorLink.h"

#include "core/CommandGate.h"
#include "link/CommView.h"
#include "link/LinkTexts.h"
#include "link/ProtocolMonitor.h"
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

#include <grp.h>
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

// Why a serial device did not open, as far as the system tells: a refused permission and a
// device another program holds both come as a permission error.
linktext::OpenCause SerialCause(QSerialPort::SerialPortError error, const std::string& device,
                                std::string& group) {
    if (device.empty() || error == QSerialPort::DeviceNotFoundError)
        return linktext::OpenCause::NoSuchDevice;
    if (error != QSerialPort::PermissionError) return linktext::OpenCause::OtherSerial;
    if (::access(device.c_str(), R_OK | W_OK) == 0) return linktext::OpenCause::DeviceBusy;
    struct stat status {};
    if (::stat(device.c_str(), &status) == 0)
        if (const struct group* owner = ::getgrgid(status.st_gid)) group = owner->gr_name;
    return linktext::OpenCause::NoPermission;
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
        std::string group;
        const auto cause = SerialCause(
            device.empty() ? QSerialPort::DeviceNotFoundError : serial->error(), device, group);
        openFailure = linktext::OpenCauseText(
            cause, device.empty() ? "COM" + std::to_string(portNumber) : device, group);
        ReportCommError(linktext::SerialErrorText(result) + "\n" + openFailure);
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
        ReportCommError(linktext::TcpErrorText(result) + "\n" + openFailure);
        return result;
    }
    openFailure.clear();
    tcpConnected = true;
    receivedCount = 0;
    frameInBuffer = 0;
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
    receivedCount = 0;
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

void SensorLink::WriteRequest(int frameLength, bool keepInput) {
    const auto* bytes = reinterpret_cast<const char*>(transmitBuffer.data());
    const int length = std::clamp(frameLength, 0, int(frame::kBufferSize));
    if (inUse == Transport::Tcp) {
        if (keepInput)
            KeepBytesAfterFrame();
        else
            DropStaleInput();
        if (tcp->state() != QAbstractSocket::ConnectedState) return;
        if (frameTap)
            frameTap->Record(FrameDirection::Request, transmitBuffer.data(), std::size_t(length));
        // Only with nothing of the socket's own still queued, or the order of bytes would change.
        const qint64 sent =
            tcp->bytesToWrite() == 0
                ? WriteByDescriptor(int(tcp->socketDescriptor()), bytes, length, true)
                : 0;
        if (sent < length) {
            tcp->write(bytes + sent, length - sent);
            tcp->flush();
        }
        return;
    }
    if (!serial->isOpen()) return;
    serialBytesRead = 0;
    if (frameTap)
        frameTap->Record(FrameDirection::Request, transmitBuffer.data(), std::size_t(length));
    if (!keepInput) {
        serial->clear(QSerialPort::AllDirections);
        serial->readAll();
        staleInput = false;
    }
    const qint64 sent = serial->bytesToWrite() == 0
                            ? WriteByDescriptor(int(serial->handle()), bytes, length, false)
                            : 0;
    if (sent < length) {
        serial->write(bytes + sent, length - sent);
        // The first flush writes; the second completes the write the port started, which
        // would otherwise keep its write notifier armed and wake the next wait for nothing.
        serial->flush();
        serial->flush();
    }
}

int SensorLink::ReplyBytesAvailable() {
    if (inUse != Transport::Tcp)
        receivedCount = serial->isOpen() ? int(serial->bytesAvailable()) : 0;
    return receivedCount;
}

SensorLink::AloneWait SensorLink::WaitOnSocketAlone(int maxMs) {
    // The socket's own buffer is empty whenever the event loop has run (readyRead takes it all),
    // so reading the descriptor here keeps the bytes in order.
    if (tcp->bytesAvailable() > 0) {
        OnTcpReadyRead();
        return AloneWait::Data;
    }
    const qint64 room = qint64(frame::kBufferSize) - receivedCount;
    const int fd = int(tcp->socketDescriptor());
    if (room <= 0 || fd < 0) return AloneWait::ToReport;
    pollfd watched{fd, POLLIN, 0};
    const timespec timeout{maxMs / 1000, long(maxMs % 1000) * 1000000L};
    const int ready = ::ppoll(&watched, 1, &timeout, nullptr);
    if (ready == 0) return AloneWait::TimeUp;
    if (ready < 0) return errno == EINTR ? AloneWait::Data : AloneWait::ToReport;
    if ((watched.revents & POLLIN) == 0) return AloneWait::ToReport;
    const ssize_t n =
        ::recv(fd, receiveBuffer.data() + receivedCount, std::size_t(room), MSG_DONTWAIT);
    if (n > 0) {
        receivedCount += int(n);
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
    std::size_t length =
        frame::kHeaderSize + std::min<std::size_t>(header.length, frame::kMaxDataBytes);
    const bool intact = outcome == Outcome::Reply || outcome == Outcome::ErrorReply;
    // A failed reply: whatever of it arrived, with the report the operator got.
    if (!intact)
        length = std::size_t(std::clamp(inUse == Transport::Tcp ? receivedCount : serialBytesRead,
                                        0, int(frame::kBufferSize)));
    std::string_view failure;
    if (outcome == Outcome::Cancelled)
        failure = "CANCELLED";
    else if (!intact)
        failure = lastMessage;
    frameTap->Record(FrameDirection::Reply, receiveBuffer.data(), length, failure);
}

SensorLink::WaitEnd SensorLink::WaitForReplyBytes(int needed, bool replyUnderway,
                                                  bool abandonable) {
    // Over TCP/IP the data usually came with the header: no clock to start for them.
    if (ReplyBytesAvailable() >= needed) return WaitEnd::Arrived;
    QElapsedTimer clock;
    clock.start();
    const qint64 limitNs = qint64(replyLimitSeconds * 1e9);
    const bool tcpLink = inUse == Transport::Tcp;
    AloneWait alone = AloneWait::Data;
    WaitEnd end = WaitEnd::TimedOut;
    for (;;) {
        const int count = ReplyBytesAvailable();
        if (count >= needed) return WaitEnd::Arrived;
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
        if (!tcpLink) SetSerialWakeCount(needed - count);
        // A reply usually comes within a fraction of a millisecond, or a few on a serial line.
        // Waiting on the link alone spares a whole event-loop pass per reply. The event loop
        // still runs every few milliseconds, and for the whole of a longer wait. On a serial
        // line it waits, if it can, until the reply has begun: the request may still need this
        // processor on its way out (a pseudo-terminal hands it on by a kernel worker). It
        // cannot always: a line that delivers whole replies at once never has a wait after
        // the request.
        const bool passDue = eventWait.MsUntilEventPass() == 0;
        const bool passFits = tcpLink || replyUnderway || count > 0 || alone == AloneWait::TimeUp ||
                              eventWait.EventPassOverdue();
        if (alone != AloneWait::ToReport && !(passDue && passFits)) {
            const int aloneMs = std::min(limitMs, EventWait::kEventPassIntervalMs);
            alone = tcpLink ? WaitOnSocketAlone(aloneMs) : WaitOnPortAlone(aloneMs);
            continue;
        }
        eventWait.ProcessEventsFor(limitMs);
    }
    if (ReplyBytesAvailable() >= needed) return WaitEnd::Arrived;
    // What is still missing may come in ones and twos now.
    if (!tcpLink) SetSerialWakeCount(0);
    return end;
}

bool SensorLink::ReadSerial(int count, int offset, bool abandonable) {
    if (!serial->isOpen()) return true;
    const int room = int(frame::kBufferSize) - offset;
    count = std::clamp(count, 0, room);
    QElapsedTimer clock;
    clock.start();
    while (serial->isOpen() && serial->bytesAvailable() < count &&
           clock.elapsed() < kSerialReadTimeoutMs) {
        if (abandonable && GivingUp()) return false;
        eventWait.ProcessEventsFor(int(kSerialReadTimeoutMs - clock.elapsed()) + 1);
    }
    if (!serial->isOpen()) return true;
    const qint64 read = serial->read(reinterpret_cast<char*>(receiveBuffer.data()) + offset, count);
    serialBytesRead = offset + int(std::max<qint64>(read, 0));
    return true;
}

Outcome SensorLink::ReportWaitEnd(WaitEnd end, int bytesExpected) {
    switch (end) {
    case WaitEnd::Arrived:
        return Outcome::Reply;
    case WaitEnd::Cancelled:
        staleInput = true;
        return Outcome::Cancelled;
    case WaitEnd::Closed:
        // A closed connection has been reported by its own handler; a vanished serial device
        // is told here, as the exchange was waiting when it went.
        if (inUse == Transport::Serial && serialLost) ReportCommError(linktext::kSerialLost);
        return Outcome::Closed;
    case WaitEnd::TimedOut:
        break;
    }
    staleInput = true;
    const int got = inUse == Transport::Tcp ? receivedCount : serialBytesRead;
    ReportCommError(linktext::kTimeout);
    return got > 0 && got < bytesExpected ? Outcome::ShortFrame : Outcome::TimedOut;
}

Outcome SensorLink::ReceiveHeaderFrame(bool abandonable) {
    const WaitEnd end = WaitForReplyBytes(int(frame::kHeaderSize), false, abandonable);
    if (inUse != Transport::Tcp && end != WaitEnd::Cancelled && end != WaitEnd::Closed) {
        // Also after a time-out, as the port's own read does, which waits its own time.
        if (!ReadSerial(int(frame::kHeaderSize), 0, abandonable))
            return ReportWaitEnd(WaitEnd::Cancelled, 0);
        if (serialLost) return ReportWaitEnd(WaitEnd::Closed, 0);
    }
    if (end != WaitEnd::Arrived) return ReportWaitEnd(end, int(frame::kHeaderSize));
    return CheckHeaderFrame();
}

Outcome SensorLink::CheckHeaderFrame() {
    frame::HeaderFields head;
    // A length beyond the receive buffer cannot be a reply of ours; taking it would overrun.
    if (!frame::DecodeHead(receiveBuffer.data(), head) || head.length > frame::kMaxDataBytes) {
        staleInput = true;
        ReportCommError(linktext::kBadHeader);
        return Outcome::BadHeader;
    }
    header = head;
    return Outcome::Reply;
}

Outcome SensorLink::ReceiveDataFrame(bool abandonable) {
    const int length = std::min<int>(header.length, int(frame::kMaxDataBytes));
    const bool tcpLink = inUse == Transport::Tcp;
    const WaitEnd end =
        WaitForReplyBytes(length + (tcpLink ? int(frame::kHeaderSize) : 0), true, abandonable);
    if (!tcpLink && end != WaitEnd::Cancelled && end != WaitEnd::Closed) {
        if (!ReadSerial(length, int(frame::kHeaderSize), abandonable))
            return ReportWaitEnd(WaitEnd::Cancelled, 0);
        if (serialLost) return ReportWaitEnd(WaitEnd::Closed, 0);
    }
    if (end != WaitEnd::Arrived) return ReportWaitEnd(end, int(frame::kHeaderSize) + length);
    const auto check =
        protocol::ComputeCheckByte(receiveBuffer.data(), frame::kHeaderSize, std::size_t(length));
    if (check == header.dataCheck) return Outcome::Reply;
    staleInput = true;
    ReportCommError(linktext::kBadData);
    return Outcome::BadData;
}

Outcome SensorLink::ReceiveFrame(bool abandonable) {
    Outcome outcome = ReceiveHeaderFrame(abandonable);
    if (outcome != Outcome::Reply) return outcome;
    // An error reply still brings the data it announces; so does a reply to another order, so
    // that the next frame is found where it begins.
    if (header.length > 0) outcome = ReceiveDataFrame(abandonable);
    return outcome;
}

Reply SensorLink::ReplyOf(Outcome outcome) {
    Reply reply;
    reply.outcome = outcome;
    if (!reply.Arrived()) return reply;
    const std::size_t length = std::min<std::size_t>(header.length, frame::kMaxDataBytes);
    const std::size_t words = frame::DecodeWords(receiveBuffer.data() + frame::kHeaderSize, length,
                                                 replyWords.data(), replyWords.size());
    reply.code = header.code;
    reply.status = header.word;
    reply.data = std::span<const std::uint8_t>(receiveBuffer.data() + frame::kHeaderSize, length);
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
    const std::size_t length =
        protocol::BuildRequestFrame(request, transmitBuffer.data(), transmitBuffer.size());
    if (pushed == nullptr) receiveBuffer.fill(0);
    lastMessage.clear();
    exchangeRunning = true;
    if (writeDepth > 0) writeOnLine = true;
    // The reply to a read may be given up when the command is stopped; a write is waited for.
    const bool abandonable = writeDepth == 0 && !protocol::ChangesSensor(request.order);
    // The bytes already received stay when frames are pushed: they are whole frames, and
    // clearing them could cut one in half and lose the frame boundaries.
    WriteRequest(int(length), pushed != nullptr);
    // Pushed frames are passed over for no longer than a reply may take.
    QElapsedTimer clock;
    if (pushed) clock.start();
    Outcome outcome = Outcome::TimedOut;
    for (;;) {
        outcome = ReceiveFrame(abandonable);
        frameInBuffer = outcome == Outcome::Reply ? int(frame::kHeaderSize) + header.length : 0;
        // A block pushed by a scan has the scan's own code; its length tells it apart.
        const bool passOver =
            pushed && outcome == Outcome::Reply &&
            (pushed->code == PushedFrames::kAnyCode || header.code == pushed->code) &&
            header.length == pushed->dataLength;
        if (!passOver) break;
        if (frameTap) TapReply(outcome);
        KeepBytesAfterFrame();
        if (clock.elapsed() > replyLimitSeconds * 1000) {
            // Nothing but pushed frames: the reply never came.
            ReportCommError(linktext::kTimeout);
            outcome = Outcome::TimedOut;
            break;
        }
    }
    if (outcome == Outcome::Reply && header.code == protocol::kErrorReplyCode) {
        // An error reply completes the exchange; the report ends any measurement loop. Every
        // error reply reaches the operator, whatever its status.
        ReportCommError(linktext::ErrorReplyText(header.word));
        outcome = Outcome::ErrorReply;
    } else if (outcome == Outcome::Reply && header.code != request.order) {
        staleInput = true;
        ReportCommError(linktext::OtherOrderText(header.code, request.order));
        outcome = Outcome::OtherOrder;
    }
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
    const bool tcpLink = inUse == Transport::Tcp;
    if (tcpLink) KeepBytesAfterFrame();
    // No time limit: trigger events come when they come. The wait sleeps until data, a click
    // or the next second.
    constexpr int kLongestSleepMs = 1000;
    bool portFailed = false;
    pushedWaitActive = true;
    while (!Stopping() && ReplyBytesAvailable() < int(frame::kHeaderSize)) {
        if (!LinkOpen()) {
            portFailed = true;
            break;
        }
        eventWait.ProcessEventsFor(kLongestSleepMs);
    }
    pushedWaitActive = false;
    if (ReplyBytesAvailable() < int(frame::kHeaderSize)) {
        if (!portFailed) return Unanswered(Outcome::Cancelled);
        // A closed connection or a vanished device has been reported by its own handler.
        if (LinkOpen() && !serialLost) ReportCommError(linktext::kPortErrorWhileWaiting);
        return Unanswered(Outcome::Closed);
    }
    exchangeRunning = true;
    lastMessage.clear();
    Outcome outcome = Outcome::Reply;
    if (!tcpLink) ReadSerial(int(frame::kHeaderSize), 0, false);
    outcome = CheckHeaderFrame();
    // The frame has begun: its data are taken whatever happens, so the next frame is found
    // where it begins.
    if (outcome == Outcome::Reply && header.length > 0) outcome = ReceiveDataFrame(false);
    frameInBuffer = outcome == Outcome::Reply ? int(frame::kHeaderSize) + header.length : 0;
    if (frameTap) TapReply(outcome);
    FinishExchange();
    return ReplyOf(outcome);
}

void SensorLink::KeepBytesAfterFrame() {
    if (inUse != Transport::Tcp) return;
    // Nothing taken from the buffer since the last call: all of it is still to come.
    if (frameInBuffer <= 0) return;
    const int rest = receivedCount - frameInBuffer;
    if (rest > 0) {
        std::memmove(receiveBuffer.data(), receiveBuffer.data() + frameInBuffer, std::size_t(rest));
        receivedCount = rest;
    } else {
        receivedCount = 0;
    }
    frameInBuffer = 0;
}

void SensorLink::ReportCommError(const std::string& message) {
    lastMessage = message;
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
        const qint64 room = qint64(frame::kBufferSize) - receivedCount;
        if (room <= 0) {
            tcp->readAll(); // never store beyond the receive buffer
            return;
        }
        const qint64 n =
            tcp->read(reinterpret_cast<char*>(receiveBuffer.data()) + receivedCount, room);
        if (n <= 0) return;
        receivedCount += int(n);
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
