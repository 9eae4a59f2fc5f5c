#include "comm/SensorLink.h"

#include "comm/CommView.h"
#include "comm/LinkTexts.h"
#include "comm/ProtocolMonitor.h"
#include "comm/SerialDevices.h"
#include "core/AppState.h"
#include "protocol/CheckByte.h"
#include "protocol/FrameCodec.h"

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
#include <termios.h>

namespace comm {

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

} // namespace

SensorLink::SensorLink(core::AppState& state, CommView& view, QObject* parent)
    : QObject(parent), state(state), view(view), serial(new QSerialPort(this)),
      tcp(new QTcpSocket(this)), deviceResolver(SerialDeviceName) {
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

bool SensorLink::SerialPortOpen() const {
    return serial->isOpen();
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
    if (state.link.protocol == core::kTcpIp) return tcp->state() == QAbstractSocket::ConnectedState;
    return serial->isOpen();
}

void SensorLink::CloseSerialPort() {
    if (serial->isOpen()) serial->close();
}

void SensorLink::OpenSerialPort() {
    auto& link = state.link;
    state.flags.running = 0;
    CloseSerialPort();
    serialLost = false;
    serialErrorEvents = 0;
    serialWakeCount = 0; // a port opens with VMIN 0
    serialSettingsRead = false;

    const std::string device = link.serialDevicePath.empty() ? deviceResolver(link.serialPortNumber)
                                                             : link.serialDevicePath;
    if (device.empty()) {
        link.openResult = -2;
    } else {
        serial->setPortName(QString::fromStdString(device));
        serial->setBaudRate(BaudRateOfCode(link.baudRateCode));
        serial->setDataBits(QSerialPort::Data8);
        serial->setParity(QSerialPort::NoParity);
        serial->setStopBits(QSerialPort::OneStop);
        serial->setFlowControl(QSerialPort::NoFlowControl);
        link.openResult = serial->open(QIODevice::ReadWrite) ? 0 : SerialOpenCode(serial->error());
    }
    if (link.openResult < 0) {
        link.messageBuffer = linktext::SerialErrorText(link.openResult);
        ReportCommError();
        return;
    }
    serial->clear(QSerialPort::AllDirections);
    serial->clearError();
}

void SensorLink::ConnectToServer() {
    auto& link = state.link;
    if (link.tcpConnected) DisconnectFromServer();
    view.SetWaitCursor(true);

    int result = 0;
    if (link.tcpPortNumber <= 0 || link.tcpPortNumber > 65535 || link.serverName.empty()) {
        result = -9; // InvalidParameter: nothing to connect to
    } else {
        tcp->abort();
        tcp->connectToHost(QString::fromStdString(link.serverName),
                           static_cast<quint16>(link.tcpPortNumber));
        QElapsedTimer clock;
        clock.start();
        while (tcp->state() != QAbstractSocket::ConnectedState &&
               tcp->state() != QAbstractSocket::UnconnectedState &&
               clock.elapsed() < kTcpConnectTimeoutMs && !connectCancelled)
            eventWait.ProcessEventsFor(int(kTcpConnectTimeoutMs - clock.elapsed()));
        if (connectCancelled) {
            tcp->abort();
            view.SetWaitCursor(false);
            link.openResult = -11;
            link.tcpConnected = 0;
            link.tcpHandle = 0;
            return;
        }
        if (tcp->state() == QAbstractSocket::ConnectedState) {
            tcp->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        } else {
            result = tcp->state() == QAbstractSocket::UnconnectedState
                         ? TcpConnectCode(tcp->error())
                         : -11;
            tcp->abort();
        }
    }
    view.SetWaitCursor(false);
    link.openResult = result;
    if (result < 0) {
        link.messageBuffer = linktext::TcpErrorText(result);
        ReportCommError();
        link.tcpConnected = 0;
        link.tcpHandle = 0;
        return;
    }
    link.tcpConnected = 1;
    link.tcpHandle = static_cast<std::uint32_t>(tcp->socketDescriptor());
}

void SensorLink::DisconnectFromServer() {
    // Our own disconnect is not the server closing: clear the flag first so the handler stays
    // quiet.
    state.link.tcpConnected = 0;
    state.link.tcpHandle = 0;
    tcp->abort();
}

void SensorLink::ShutDown() {
    if (state.link.tcpConnected) DisconnectFromServer();
    CloseSerialPort();
}

void SensorLink::BuildRequestFrame(int orderNumber, int wordCount, int argumentWord,
                                   int payloadLength) {
    protocol::frame::EncodeFrame(
        state.link.transmitBuffer.data(), state.link.transmitBuffer.size(),
        static_cast<std::uint8_t>(orderNumber), static_cast<std::uint16_t>(argumentWord),
        state.frames.wordBuffer.data(),
        std::min<std::size_t>(std::size_t(std::max(wordCount, 0)), state.frames.wordBuffer.size()),
        static_cast<std::uint16_t>(std::max(payloadLength, 0)));
}

namespace {

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

void SensorLink::WriteRequest(int frameLength, bool keepInput) {
    const auto* bytes = reinterpret_cast<const char*>(state.link.transmitBuffer.data());
    const int length = std::clamp(frameLength, 0, int(protocol::frame::kBufferSize));
    const std::uint8_t* bytesOut = state.link.transmitBuffer.data();
    if (state.link.protocol == core::kTcpIp) {
        if (keepInput)
            KeepBytesAfterFrame();
        else
            state.link.receivedCount = 0;
        if (tcp->state() != QAbstractSocket::ConnectedState) return;
        if (frameTap) frameTap->Record(FrameDirection::Request, bytesOut, std::size_t(length));
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
    if (frameTap) frameTap->Record(FrameDirection::Request, bytesOut, std::size_t(length));
    if (!keepInput) {
        serial->clear(QSerialPort::AllDirections);
        serial->readAll();
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
    if (state.link.protocol != core::kTcpIp)
        state.link.receivedCount = serial->isOpen() ? int(serial->bytesAvailable()) : 0;
    return state.link.receivedCount;
}

SensorLink::AloneWait SensorLink::WaitOnSocketAlone(int maxMs) {
    // The socket's own buffer is empty whenever the event loop has run (readyRead takes it all),
    // so reading the descriptor here keeps the bytes in order.
    if (tcp->bytesAvailable() > 0) {
        OnTcpReadyRead();
        return AloneWait::Data;
    }
    auto& link = state.link;
    const qint64 room = qint64(protocol::frame::kBufferSize) - link.receivedCount;
    const int fd = int(tcp->socketDescriptor());
    if (room <= 0 || fd < 0) return AloneWait::ToReport;
    pollfd watched{fd, POLLIN, 0};
    const timespec timeout{maxMs / 1000, long(maxMs % 1000) * 1000000L};
    const int ready = ::ppoll(&watched, 1, &timeout, nullptr);
    if (ready == 0) return AloneWait::TimeUp;
    if (ready < 0) return errno == EINTR ? AloneWait::Data : AloneWait::ToReport;
    if ((watched.revents & POLLIN) == 0) return AloneWait::ToReport;
    const ssize_t n =
        ::recv(fd, link.receiveBuffer.data() + link.receivedCount, std::size_t(room), MSG_DONTWAIT);
    if (n > 0) {
        link.receivedCount += int(n);
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

void SensorLink::TapReply(int result) {
    const auto& link = state.link;
    std::size_t length =
        protocol::frame::kHeaderSize +
        std::min<std::size_t>(state.frames.dataLength, protocol::frame::kMaxDataBytes);
    // A failed reply: whatever of it arrived, with the report the operator got.
    if (result != 1)
        length = std::size_t(
            std::clamp(link.protocol == core::kTcpIp ? link.receivedCount : serialBytesRead, 0,
                       int(protocol::frame::kBufferSize)));
    frameTap->Record(FrameDirection::Reply, link.receiveBuffer.data(), length,
                     result == 1 ? std::string_view() : std::string_view(link.messageBuffer));
}

bool SensorLink::WaitForReplyBytes(int needed, bool replyUnderway) {
    QElapsedTimer clock;
    clock.start();
    const qint64 limitNs = qint64(kReplyLimitSeconds * 1e9);
    const bool tcpLink = state.link.protocol == core::kTcpIp;
    AloneWait alone = AloneWait::Data;
    bool timedOut = false;
    for (;;) {
        const int count = ReplyBytesAvailable();
        if (count >= needed) break;
        const qint64 elapsed = clock.nsecsElapsed();
        if (elapsed > limitNs) {
            timedOut = true;
            break;
        }
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
        if (alone != AloneWait::ToReport && !(passDue && passFits) && LinkOpen()) {
            const int aloneMs = std::min(limitMs, EventWait::kEventPassIntervalMs);
            alone = tcpLink ? WaitOnSocketAlone(aloneMs) : WaitOnPortAlone(aloneMs);
            continue;
        }
        eventWait.ProcessEventsFor(limitMs);
    }
    if (ReplyBytesAvailable() >= needed) timedOut = false;
    // What is still missing may come in ones and twos now.
    if (timedOut && !tcpLink) SetSerialWakeCount(0);
    return !timedOut;
}

void SensorLink::ReadSerial(int count, int offset) {
    if (!serial->isOpen()) return;
    const int room = int(protocol::frame::kBufferSize) - offset;
    count = std::clamp(count, 0, room);
    QElapsedTimer clock;
    clock.start();
    while (serial->isOpen() && serial->bytesAvailable() < count &&
           clock.elapsed() < kSerialReadTimeoutMs)
        eventWait.ProcessEventsFor(int(kSerialReadTimeoutMs - clock.elapsed()) + 1);
    if (!serial->isOpen()) return;
    const qint64 read =
        serial->read(reinterpret_cast<char*>(state.link.receiveBuffer.data()) + offset, count);
    serialBytesRead = offset + int(std::max<qint64>(read, 0));
}

void SensorLink::UpdateSerialErrorWord() {
    if (serialLost) state.link.linkErrorWord = 1;
}

int SensorLink::ExchangeFrames(int frameLength) {
    // Never an exchange inside the wait of another: the reply on the line belongs to the first.
    if (exchangeRunning) {
        view.SetStatusLine(linktext::kExchangeBusy);
        return -1;
    }
    state.link.receiveBuffer.fill(0);
    state.link.linkErrorWord = 0;
    exchangeRunning = true;
    WriteRequest(frameLength);
    int result = ReceiveHeaderFrame();
    if (result == 1 && state.frames.dataLength > 0) result = ReceiveDataFrame();
    frameInBuffer = result == 1 ? int(protocol::frame::kHeaderSize) + state.frames.dataLength : 0;
    if (frameTap) TapReply(result);
    FinishExchange();
    return result;
}

int SensorLink::ExchangeFramesPassingPushed(int frameLength, PushedFrames pushedFrames) {
    if (exchangeRunning) {
        view.SetStatusLine(linktext::kExchangeBusy);
        return -1;
    }
    state.link.linkErrorWord = 0;
    exchangeRunning = true;
    // The bytes already received stay: they are whole frames the sensor pushed, and clearing
    // them could cut one in half and lose the frame boundaries.
    WriteRequest(frameLength, true);
    // The frames on their way are passed over, for no longer than a reply may take.
    QElapsedTimer clock;
    clock.start();
    int result = -1;
    for (;;) {
        result = ReceiveHeaderFrame();
        if (result == 1 && state.frames.dataLength > 0) result = ReceiveDataFrame();
        frameInBuffer =
            result == 1 ? int(protocol::frame::kHeaderSize) + state.frames.dataLength : 0;
        if (frameTap) TapReply(result);
        const bool pushed = state.frames.replyCode == pushedFrames.code &&
                            state.frames.dataLength == pushedFrames.dataLength;
        if (result != 1 || !pushed) break;
        KeepBytesAfterFrame();
        if (clock.elapsed() > kReplyLimitSeconds * 1000) {
            // Nothing but pushed frames: the reply never came.
            state.link.messageBuffer = linktext::kTimeout;
            ReportCommError();
            result = -1;
            break;
        }
    }
    FinishExchange();
    return result;
}

int SensorLink::ReceivePushedFrame(const std::uint16_t& waitFlag) {
    if (exchangeRunning) {
        view.SetStatusLine(linktext::kExchangeBusy);
        return -1;
    }
    auto& link = state.link;
    link.linkErrorWord = 0;
    const bool tcpLink = link.protocol == core::kTcpIp;
    if (tcpLink) KeepBytesAfterFrame();
    // No time limit: trigger events come when they come. The wait sleeps until data, a click
    // or the next second.
    constexpr int kLongestSleepMs = 1000;
    pushedWaitActive = true;
    while (waitFlag == 1 && ReplyBytesAvailable() < int(protocol::frame::kHeaderSize)) {
        if (!LinkOpen()) link.linkErrorWord = 1;
        if (link.linkErrorWord != 0) break;
        eventWait.ProcessEventsFor(kLongestSleepMs);
    }
    pushedWaitActive = false;
    if (waitFlag != 1) return 0;
    if (link.linkErrorWord != 0) {
        // A closed connection or a vanished device has been reported by its own handler.
        if (LinkOpen() && !serialLost) {
            link.messageBuffer = linktext::kPortErrorWhileWaiting;
            ReportCommError();
        }
        return -1;
    }
    exchangeRunning = true;
    int result = 0;
    if (ReplyBytesAvailable() >= int(protocol::frame::kHeaderSize)) {
        if (!tcpLink) ReadSerial(int(protocol::frame::kHeaderSize), 0);
        result = CheckHeaderFrame();
        if (result == 1 && state.frames.dataLength > 0) result = ReceiveDataFrame();
        frameInBuffer =
            result == 1 ? int(protocol::frame::kHeaderSize) + state.frames.dataLength : 0;
        if (frameTap) TapReply(result);
    }
    FinishExchange();
    return result;
}

void SensorLink::KeepBytesAfterFrame() {
    auto& link = state.link;
    if (link.protocol != core::kTcpIp) return;
    // Nothing taken from the buffer since the last call: all of it is still to come.
    if (frameInBuffer <= 0) return;
    const int rest = link.receivedCount - frameInBuffer;
    if (rest > 0) {
        std::memmove(link.receiveBuffer.data(), link.receiveBuffer.data() + frameInBuffer,
                     std::size_t(rest));
        link.receivedCount = rest;
    } else {
        link.receivedCount = 0;
    }
    frameInBuffer = 0;
}

int SensorLink::ReceiveHeaderFrame() {
    const bool arrived = WaitForReplyBytes(int(protocol::frame::kHeaderSize), false);
    if (state.link.protocol != core::kTcpIp) {
        UpdateSerialErrorWord();
        ReadSerial(int(protocol::frame::kHeaderSize), 0);
    }
    if (!arrived || state.link.linkErrorWord > 0) {
        state.link.messageBuffer = linktext::kTimeout;
        ReportCommError();
        return -1;
    }
    if (CheckHeaderFrame() == -1) return -1;
    if (state.frames.replyCode != 0) return 1;
    // An error reply still completes the exchange; the report ends any measurement loop. Every
    // error reply reaches the operator, whatever its status.
    if (state.frames.statusWord == 1)
        state.link.messageBuffer = linktext::kInvalidOrder;
    else if (state.frames.statusWord == 2)
        state.link.messageBuffer = linktext::kControlUnitError;
    else
        state.link.messageBuffer = linktext::UnknownErrorReplyText(state.frames.statusWord);
    ReportCommError();
    return 1;
}

int SensorLink::CheckHeaderFrame() {
    protocol::frame::HeaderFields head;
    // A length beyond the receive buffer cannot be a reply of ours; taking it would overrun.
    if (!protocol::frame::DecodeHead(state.link.receiveBuffer.data(), head) ||
        head.length > protocol::frame::kMaxDataBytes) {
        state.link.messageBuffer = linktext::kBadHeader;
        ReportCommError();
        return -1;
    }
    state.frames.replyCode = head.code;
    state.frames.statusWord = head.word;
    state.frames.dataLength = head.length;
    state.frames.dataCheckByte = head.dataCheck;
    return 1;
}

int SensorLink::ReceiveDataFrame() {
    const int length = std::min<int>(state.frames.dataLength, int(protocol::frame::kMaxDataBytes));
    bool arrived = false;
    if (state.link.protocol == core::kTcpIp) {
        arrived = WaitForReplyBytes(length + int(protocol::frame::kHeaderSize), true);
    } else {
        arrived = WaitForReplyBytes(length, true);
        UpdateSerialErrorWord();
        ReadSerial(length, int(protocol::frame::kHeaderSize));
    }
    if (!arrived || state.link.linkErrorWord > 0) {
        state.link.messageBuffer = linktext::kTimeout;
        ReportCommError();
        return -1;
    }
    const auto check = protocol::ComputeCheckByte(
        state.link.receiveBuffer.data(), protocol::frame::kHeaderSize, std::size_t(length));
    if (check == state.frames.dataCheckByte) return 1;
    state.link.messageBuffer = linktext::kBadData;
    ReportCommError();
    return -1;
}

void SensorLink::DecodeReplyWords() {
    protocol::frame::DecodeWords(
        state.link.receiveBuffer.data() + protocol::frame::kHeaderSize,
        std::min<std::size_t>(state.frames.dataLength, protocol::frame::kMaxDataBytes),
        state.frames.wordBuffer.data(), state.frames.wordBuffer.size());
}

void SensorLink::DecodeMeasurementWords() {
    protocol::frame::DecodeWords(
        state.link.receiveBuffer.data() + protocol::frame::kHeaderSize,
        std::min<std::size_t>(state.frames.dataLength, protocol::frame::kMaxDataBytes),
        state.frames.measurementWords.data(), state.frames.measurementWords.size());
}

void SensorLink::ReportCommError() {
    ReportSensorNotice();
    view.LinkFailed();
}

void SensorLink::ReportSensorNotice() {
    state.flags.running = 0;
    state.flags.linkGood = 0;
    view.SetStatusLine(linktext::kStatusTimeout);
    view.AppendLog(state.link.messageBuffer + "\n\n");
    view.SetLinkButtonsDimmed(true);
    view.ShowCommunicationPage();
}

void SensorLink::OnTcpReadyRead() {
    auto& link = state.link;
    for (;;) {
        const qint64 room = qint64(protocol::frame::kBufferSize) - link.receivedCount;
        if (room <= 0) {
            tcp->readAll(); // never store beyond the receive buffer
            return;
        }
        const qint64 n = tcp->read(
            reinterpret_cast<char*>(link.receiveBuffer.data()) + link.receivedCount, room);
        if (n <= 0) return;
        link.receivedCount += int(n);
    }
}

void SensorLink::OnTcpDisconnected() {
    if (!state.link.tcpConnected) return;
    state.link.messageBuffer = linktext::kServerClosed;
    ReportCommError();
    state.link.tcpHandle = 0;
    state.link.tcpConnected = 0;
}

void SensorLink::OnSerialError(int error) {
    // A time-out is the end of a wait on the port alone, not a fault of the line.
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
    ++serialErrorEvents;
    state.link.linkErrorWord = 1;
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
    if (exchangeRunning) return; // the exchange reports it as missing data
    state.link.messageBuffer = linktext::kSerialLost;
    ReportCommError();
}

} // namespace comm
