#include "cli/WatchedSensor.h"

#include "cli/ShellTexts.h"
#include "comm/LinkTexts.h"
#include "comm/SerialDevices.h"
#include "comm/ServerList.h"
#include "protocol/CheckByte.h"
#include "protocol/Exchange.h"
#include "protocol/Orders.h"

#include <QSerialPort>
#include <QTcpSocket>

#include <algorithm>
#include <cmath>

#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

namespace frame = protocol::frame;
namespace lt = comm::linktext;

namespace {

// Why a serial device did not open, told as the window's link tells it.
lt::OpenCause SerialCause(QSerialPort::SerialPortError error, const std::string& device,
                          std::string& group) {
    if (error == QSerialPort::DeviceNotFoundError) return lt::OpenCause::NoSuchDevice;
    if (error != QSerialPort::PermissionError) return lt::OpenCause::OtherSerial;
    if (::access(device.c_str(), R_OK | W_OK) == 0) return lt::OpenCause::DeviceBusy;
    struct stat status {};
    if (::stat(device.c_str(), &status) == 0)
        if (const struct group* owner = ::getgrgid(status.st_gid)) group = owner->gr_name;
    return lt::OpenCause::NoPermission;
}

lt::OpenCause TcpCause(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return lt::OpenCause::Refused;
    case QAbstractSocket::HostNotFoundError:
        return lt::OpenCause::NoSuchHost;
    case QAbstractSocket::SocketTimeoutError:
        return lt::OpenCause::NoAnswer;
    case QAbstractSocket::NetworkError:
        return lt::OpenCause::NetworkUnreachable;
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
    // Short intervals keep their period; longer ones may be served with others in one wake-up.
    if (interval < 0.05) nextStep.setTimerType(Qt::PreciseTimer);
    deadline.setSingleShot(true);
    connect(&nextStep, &QTimer::timeout, this, [this] {
        if (state == State::Idle) SendRequest(protocol::kOrderMeasure);
        if (state == State::Resting) Connect();
    });
    connect(&deadline, &QTimer::timeout, this, &WatchedSensor::OnDeadline);
    if (link.tcp) {
        tcp = new QTcpSocket(this);
        connect(tcp, &QTcpSocket::connected, this, [this] {
            if (state != State::Connecting) return;
            tcp->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            SendRequest(protocol::kOrderIdentify);
        });
        connect(tcp, &QTcpSocket::readyRead, this, &WatchedSensor::TakeBytes);
        connect(tcp, &QTcpSocket::errorOccurred, this, &WatchedSensor::OnSocketError);
        connect(tcp, &QTcpSocket::disconnected, this, [this] {
            if (state != State::Connecting) Fail(ShellReport(lt::kServerClosed, where, 0));
        });
    } else {
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
    if (tcp) tcp->abort();
    if (serial && serial->isOpen()) serial->close();
}

bool WatchedSensor::Waiting() const {
    return state == State::Connecting || state == State::Identifying || state == State::Measuring;
}

void WatchedSensor::ArmDeadline(qint64 ms) {
    deadlineNs = clock.nsecsElapsed() + ms * 1000000;
    // Left running between exchanges: it is started anew only when it would wake too late.
    if (!deadline.isActive() || deadline.remainingTime() > ms + 1) deadline.start(int(ms) + 1);
}

void WatchedSensor::Connect() {
    state = State::Connecting;
    received = 0;
    if (tcp) {
        tcp->abort();
        ArmDeadline(limits.connectMs);
        tcp->connectToHost(QString::fromStdString(link.host), quint16(link.port));
        return;
    }
    serial->setPortName(QString::fromStdString(link.device));
    serial->setBaudRate(comm::BaudRateOfCode(link.baudCode));
    serial->setDataBits(QSerialPort::Data8);
    serial->setParity(QSerialPort::NoParity);
    serial->setStopBits(QSerialPort::OneStop);
    serial->setFlowControl(QSerialPort::NoFlowControl);
    if (!serial->open(QIODevice::ReadWrite)) {
        std::string group;
        const auto cause = SerialCause(serial->error(), link.device, group);
        Fail(ShellWords(lt::OpenCauseText(cause, where, group), where));
        return;
    }
    serial->clear(QSerialPort::AllDirections);
    SendRequest(protocol::kOrderIdentify);
}

void WatchedSensor::SendRequest(std::uint8_t order) {
    std::array<std::uint8_t, frame::kHeaderSize> request{};
    const auto length =
        protocol::BuildRequestFrame(protocol::MakeRequest(order), request.data(), request.size());
    // Whatever is left of an earlier reply is not this one's.
    QIODevice* device = tcp ? static_cast<QIODevice*>(tcp) : serial;
    if (device->bytesAvailable() > 0) device->skip(device->bytesAvailable());
    received = 0;
    asked = order;
    state = order == protocol::kOrderIdentify ? State::Identifying : State::Measuring;
    lastRequestNs = clock.nsecsElapsed();
    ArmDeadline(qint64(std::ceil(limits.replySeconds * 1000)));
    // Written by the descriptor while nothing else is queued: the device's own write would arm a
    // write notifier and cost the loop another pass per request.
    const auto* bytes = reinterpret_cast<const char*>(request.data());
    qint64 sent = 0;
    if (device->bytesToWrite() == 0) {
        const ssize_t n =
            tcp ? ::send(int(tcp->socketDescriptor()), bytes, length, MSG_NOSIGNAL | MSG_DONTWAIT)
                : ::write(int(serial->handle()), bytes, length);
        sent = std::max<ssize_t>(n, 0);
    }
    if (sent < qint64(length)) device->write(bytes + sent, qint64(length) - sent);
}

void WatchedSensor::TakeBytes() {
    QIODevice* device = tcp ? static_cast<QIODevice*>(tcp) : serial;
    if (!Waiting() || state == State::Connecting) {
        device->skip(device->bytesAvailable()); // nothing asked: nobody's reply
        return;
    }
    const qint64 n = device->read(reinterpret_cast<char*>(buffer.data()) + received,
                                  qint64(buffer.size()) - received);
    if (n <= 0) return;
    received += int(n);
    if (received < int(frame::kHeaderSize)) return;
    frame::HeaderFields head;
    if (!frame::DecodeHead(buffer.data(), head) || head.length > frame::kMaxDataBytes) {
        Fail(ShellReport(lt::kBadHeader, where, 0));
        return;
    }
    if (received >= int(frame::kHeaderSize + head.length)) TakeFrame();
}

void WatchedSensor::TakeFrame() {
    frame::HeaderFields head;
    frame::DecodeHead(buffer.data(), head);
    if (protocol::ComputeCheckByte(buffer.data(), frame::kHeaderSize, head.length) !=
        head.dataCheck) {
        Fail(ShellReport(lt::kBadData, where, 0));
        return;
    }
    if (head.code == protocol::kErrorReplyCode) {
        Fail(ShellReport(lt::ErrorReplyText(head.word), where, 0));
        return;
    }
    if (head.code != asked) {
        Fail(ShellReport(lt::OtherOrderText(head.code, asked), where, 0));
        return;
    }
    const std::uint8_t* data = buffer.data() + frame::kHeaderSize;
    if (asked == protocol::kOrderIdentify) {
        Identified(comm::FirmwareIdFromReply(data, head.length));
        return;
    }
    const std::size_t count = frame::DecodeWords(data, head.length, words.data(), words.size());
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
    listener.StatusChanged(*this, true, firmwareId);
    if (state == State::Idle) SendRequest(protocol::kOrderMeasure);
}

void WatchedSensor::ScheduleMeasurement() {
    const qint64 due = lastRequestNs + qint64(interval * 1e9);
    const qint64 now = clock.nsecsElapsed();
    // The interval is a period: an exchange that took longer is followed at once.
    if (interval <= 0 || due <= now) {
        SendRequest(protocol::kOrderMeasure);
        return;
    }
    nextStep.start(int((due - now + 999999) / 1000000));
}

void WatchedSensor::Fail(const std::string& shellText) {
    if (state == State::Stopped || state == State::Resting) return;
    // Resting first: closing the link below reports again, and that report is passed over.
    state = State::Resting;
    deadline.stop();
    if (tcp) tcp->abort();
    if (serial && serial->isOpen()) serial->close();
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
        return;
    }
    if (state == State::Connecting)
        Fail(ShellWords(lt::OpenCauseText(lt::OpenCause::NoAnswer, where), where));
    else
        Fail(ShellReport(lt::kTimeout, where, limits.replySeconds));
}

void WatchedSensor::OnSocketError() {
    if (state == State::Connecting) {
        Fail(ShellWords(lt::OpenCauseText(TcpCause(tcp->error()), where), where));
        return;
    }
    if (tcp->error() == QAbstractSocket::RemoteHostClosedError) {
        Fail(ShellReport(lt::kServerClosed, where, 0));
        return;
    }
    Fail("connection to " + where + " failed: " + tcp->errorString().toLower().toStdString());
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
