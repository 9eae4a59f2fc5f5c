#pragma once
// The one road to the sensor: the serial port or the TCP client, the request/reply exchange with
// its time limits as a typed interface (a request in, a reply or the failure out), and the
// report of every link failure. The buffers and the frame fields are its own.
#include "protocol/Exchange.h"
#include "protocol/FrameCodec.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include <termios.h>

#include "link/EventWait.h"
#include "link/ReplyEngine.h"

class QSerialPort;
class QTcpSocket;

namespace core {
class CommandGate;
}

namespace comm {

class CommView;
class ProtocolMonitor;

class SensorLink : public QObject {
    Q_OBJECT
public:
    static constexpr double kReplyLimitSeconds = 3.0;
    static constexpr int kSerialReadTimeoutMs = 2000;
    static constexpr int kTcpConnectTimeoutMs = 5000;
    static constexpr int kTcpWriteTimeoutMs = 2000;
    // What the serial side keeps of bytes nobody waits for: beyond it, a sensor sending on its
    // own (noise, frames while nothing waits) is dropped, as the TCP side drops what is beyond
    // its buffer. Room for several of the largest frames.
    static constexpr qint64 kSerialReadBufferLimit = 16384;

    explicit SensorLink(CommView& view, QObject* parent = nullptr);
    ~SensorLink() override;

    // The gate of the commands that use the link. Any stop ends the wait for frames pushed
    // unasked; a lost link or a close also end the wait for the reply to a read and a connect
    // still waiting; once it is closed, only orders that leave the sensor clean go out. Without a
    // gate nothing stops a wait but its limit.
    void WatchGate(const core::CommandGate* commandGate) { gate = commandGate; }

    // Transport. Each returns the open result: not negative on success; a failure has been
    // reported. The link in use is the one opened last.
    int OpenSerialPort(int portNumber, const std::string& devicePath, int baudRateCode);
    int ConnectToServer(const std::string& server, int port);
    void CloseSerialPort();
    void DisconnectFromServer();
    void ShutDown();
    bool SerialPortOpen() const;
    bool TcpConnected() const;
    // Where the link opened last points (or tried to): what the status describes, whatever the
    // communication page has been changed to since.
    struct Endpoint {
        bool opened = false; // an open was tried at all
        bool tcp = false;
        std::string server;
        int tcpPort = 0;
        int serialPort = 0; // 0: the device was given by its path
        std::string device; // the serial device path, resolved
        int baudRateCode = 0;
    };
    const Endpoint& InUse() const { return endpoint; }
    // Why the last open failed, in the operator's words with the address; empty after an open
    // that worked.
    const std::string& OpenFailure() const { return openFailure; }
    // The cause of the latest failure reported, in one line: a failed open, a time-out, a
    // closed connection, a broken frame.
    const std::string& LastFailure() const { return lastFailure; }
    // What the serial driver said to low latency, and the adapter's latency timer where the
    // system shows it, for the log; empty until a serial port opened.
    const std::string& LowLatencyReport() const { return lowLatencyReport; }
    // The limits of a reply and of a TCP connect; the constants above unless a caller (the
    // command line's --timeout) sets others.
    void SetTimeLimits(double replySeconds, int connectMs) {
        replyLimitSeconds = replySeconds;
        connectTimeoutMs = connectMs;
    }
    double ReplyLimitSeconds() const { return replyLimitSeconds; }
    // Bytes received on the serial port and not yet taken.
    qint64 SerialBufferedBytes() const;
    // The link in use is open (the TCP connection stands, or the serial port is open).
    bool LinkOpen() const;
    // Maps a port number to a device path; tests and unusual set-ups may replace it.
    void SetSerialDeviceResolver(std::function<std::string(int)> resolver);

    // One request and its reply, within the limits; never one inside the wait of another. A
    // reply counts only for the order asked; bytes left from an earlier reply are dropped before
    // the request goes out. Failures are reported before this returns; a cancelled wait is not a
    // failure and is not reported.
    protocol::Reply ExchangeFrames(const protocol::Request& request);
    // Frames the sensor sends unasked: their code and data length.
    using PushedFrames = comm::PushedFrames;
    // An exchange while the sensor may still send frames unasked (trigger sending, scope
    // blocks): frames that look like `pushed` and come before the reply are passed over.
    protocol::Reply ExchangeFramesPassingPushed(const protocol::Request& request,
                                                PushedFrames pushed);
    // Waits, with no time limit, for a frame the sensor sends unasked, until its header has come
    // (then checks it and receives its data), the command is stopped (Cancelled) or the link
    // fails. The reply code is the caller's to judge.
    protocol::Reply ReceivePushedFrame();

    // The exchanges made while one lives are one write to the sensor (a SEND, an EEPROM write):
    // once the first has gone out, neither a stop nor a close cuts the rest off.
    class WriteScope {
    public:
        explicit WriteScope(SensorLink& link) : link(link) {
            if (link.writeDepth++ == 0) link.writeOnLine = false;
        }
        ~WriteScope() { --link.writeDepth; }
        WriteScope(const WriteScope&) = delete;
        WriteScope& operator=(const WriteScope&) = delete;

    private:
        SensorLink& link;
    };

    // The one way a failure of the link reaches the operator: the communication log, "TIMEOUT!"
    // in the status line, the link buttons dimmed, the communication page in front.
    void ReportCommError(const std::string& message);
    // What the sensor reports that is not a failure of the link (its count of replaced
    // parameters): the communication log, and a measuring loop ends; the link stays good.
    void ReportSensorNotice(const std::string& message);

    // Number of events the serial port reported since it was opened (for tests of the
    // vanishing-device case, where the port must not keep reporting).
    int SerialErrorEvents() const { return serialErrorEvents; }
    // Times the reply waits blocked and woke again, since the link was made (for the figures
    // of the wait's cost).
    long WaitWakeUps() const { return waitWakeUps; }

    // The protocol monitor, while it is open: every frame in both directions is copied into it.
    // Closed (null), a frame costs the link one test.
    void SetFrameTap(ProtocolMonitor* monitor) { frameTap = monitor; }
    ProtocolMonitor* FrameTap() const { return frameTap; }

private:
    enum class Transport { None, Serial, Tcp };
    // How a wait for reply bytes ended.
    enum class WaitEnd { Arrived, TimedOut, Cancelled, Closed };

    // The command in progress has been asked to end: a wait for frames pushed unasked ends.
    bool Stopping() const;
    // The window closed or the link was lost: the wait for the reply to a read, and a connect,
    // are given up at once.
    bool GivingUp() const;
    // The window is closing and `request` is not one that leaves the sensor clean.
    bool Withheld(const protocol::Request& request) const;
    // Sends the request and receives the frame that answers it (passing over pushed frames).
    protocol::Reply Exchange(const protocol::Request& request, const PushedFrames* pushed);
    // Drives the reply engine until the exchange has ended; returns its outcome.
    protocol::Outcome ReceiveReply(bool abandonable, bool passingPushed);
    // Waits until the engine has a whole frame (or something new) to judge, or the reply limit
    // passes. `abandonable`: a lost link or a close end the wait.
    WaitEnd WaitForFrame(bool abandonable);
    // A wait that ended without a frame: the engine told, a vanished device reported.
    protocol::Outcome EndWait(WaitEnd end);
    // The reply now in the engine, its words decoded.
    protocol::Reply ReplyOf(protocol::Outcome outcome);
    void WriteFrame(std::span<const std::uint8_t> frameBytes);
    void DropStaleInput();
    // Serial: what the port holds goes into the engine.
    void PullSerialBytes();
    // How a wait outside the event loop ended. ToReport: the link has something to report
    // (closed, failed), which it does in the event loop.
    enum class AloneWait { Data, TimeUp, ToReport };
    // TCP: blocks until the socket has data or `maxMs` passes, and takes the data into the
    // engine.
    AloneWait WaitOnSocketAlone(int maxMs);
    // Serial: blocks until the port has data or `maxMs` passes.
    AloneWait WaitOnPortAlone(int maxMs);
    // Lets a wait on the serial port wake only once `count` bytes are in (0 or 1: every byte).
    void SetSerialWakeCount(int count);
    void FinishExchange();
    // Hands the reply now in the engine, or what came of it, to the monitor.
    void TapReply(protocol::Outcome outcome);
    void OnTcpReadyRead();
    void DropUnaskedSerialBytes();
    void OnTcpDisconnected();
    void OnSerialError(int error);

    CommView& view;
    const core::CommandGate* gate = nullptr;
    QSerialPort* serial;
    QTcpSocket* tcp;
    EventWait eventWait;
    std::function<std::string(int)> deviceResolver;
    Transport inUse = Transport::None;
    Endpoint endpoint;
    std::string openFailure;
    std::string lastFailure;
    std::string lowLatencyReport;
    double replyLimitSeconds = kReplyLimitSeconds;
    int connectTimeoutMs = kTcpConnectTimeoutMs;
    bool tcpConnected = false;
    bool serialLost = false;
    bool exchangeRunning = false;
    bool pushedWaitActive = false; // a loop waits for frames the sensor pushes
    bool staleInput = false;       // bytes of an earlier reply may still come in
    int writeDepth = 0;            // WriteScopes alive
    bool writeOnLine = false;      // the write of the outermost scope has begun
    int serialErrorEvents = 0;
    int serialWakeCount = 0; // what the port's terminal settings hold now
    termios serialSettings{};
    bool serialSettingsRead = false;
    long waitWakeUps = 0;
    // The rules of every reply; it holds the frames to write and the bytes received.
    ReplyEngine engine;
    std::array<std::uint16_t, protocol::frame::kWordCount> replyWords{};
    ProtocolMonitor* frameTap = nullptr;
};

} // namespace comm
