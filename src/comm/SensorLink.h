#pragma once
// The one road to the sensor: the serial port or the TCP client, the request/reply exchange with
// its time limits, and the report of every link failure.
#include <QObject>

#include <cstdint>
#include <functional>
#include <string>

#include <termios.h>

#include "comm/EventWait.h"

class QSerialPort;
class QTcpSocket;

namespace core {
struct AppState;
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

    SensorLink(core::AppState& state, CommView& view, QObject* parent = nullptr);
    ~SensorLink() override;

    // Transport
    void OpenSerialPort();
    void CloseSerialPort();
    void ConnectToServer();
    void DisconnectFromServer();
    // Gives up a TCP connect that is still waiting, and every later one, quietly: the window
    // is closing. Nothing has been sent yet, so nothing is left half done.
    void CancelConnect() { connectCancelled = true; }
    void ShutDown();
    bool SerialPortOpen() const;
    // Bytes received on the serial port and not yet taken.
    qint64 SerialBufferedBytes() const;
    // The transport in use is open (the TCP connection stands, or the serial port is open).
    bool LinkOpen() const;
    // Maps a port number to a device path; tests and unusual set-ups may replace it.
    void SetSerialDeviceResolver(std::function<std::string(int)> resolver);

    // Exchange
    void BuildRequestFrame(int orderNumber, int wordCount, int argumentWord, int payloadLength);
    int ExchangeFrames(int frameLength);
    // Frames the sensor sends unasked: their code and data length.
    struct PushedFrames {
        int code = 0;
        int dataLength = 0;
    };
    // An exchange while the sensor may still send frames unasked (trigger sending, scope
    // blocks): frames that look like `pushed` and come before the reply are passed over.
    int ExchangeFramesPassingPushed(int frameLength, PushedFrames pushed);
    // Waits, with no time limit, for a frame the sensor sends unasked, until its header has come
    // or `waitFlag` is cleared; then checks it and receives its data. 1: a valid frame in the
    // receive buffer; 0: the flag ended the wait; -1: a failure, reported. Until the header
    // comes, an exchange may run inside the wait (the scope's break).
    int ReceivePushedFrame(const std::uint16_t& waitFlag);
    int CheckHeaderFrame();
    int ReceiveDataFrame();
    void DecodeReplyWords();
    void DecodeMeasurementWords();

    void ReportCommError();
    // What the sensor reports that is not a failure of the link (its count of replaced
    // parameters) goes the same way, but leaves the live values live.
    void ReportSensorNotice();

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
    int ReceiveHeaderFrame();
    // TCP: the bytes after the frame now in the receive buffer move to its front; they belong to
    // the next frame.
    void KeepBytesAfterFrame();
    // `keepInput`: bytes already received stay to be read (frames the sensor pushed).
    void WriteRequest(int frameLength, bool keepInput = false);
    int ReplyBytesAvailable();
    // Waits until `needed` bytes are counted or the 3.0 s limit passes; true when they came.
    // `replyUnderway`: the sensor has begun to answer (its header is in).
    bool WaitForReplyBytes(int needed, bool replyUnderway);
    // How a wait outside the event loop ended. ToReport: the link has something to report
    // (closed, failed), which it does in the event loop.
    enum class AloneWait { Data, TimeUp, ToReport };
    // TCP: blocks until the socket has data or `maxMs` passes, and takes the data into the
    // receive buffer.
    AloneWait WaitOnSocketAlone(int maxMs);
    // Serial: blocks until the port has data or `maxMs` passes.
    AloneWait WaitOnPortAlone(int maxMs);
    // Lets a wait on the serial port wake only once `count` bytes are in (0 or 1: every byte).
    void SetSerialWakeCount(int count);
    void FinishExchange();
    // Hands the reply now in the receive buffer, or what came of it, to the monitor.
    void TapReply(int result);
    void ReadSerial(int count, int offset);
    void UpdateSerialErrorWord();
    void OnTcpReadyRead();
    void DropUnaskedSerialBytes();
    void OnTcpDisconnected();
    void OnSerialError(int error);

    core::AppState& state;
    CommView& view;
    QSerialPort* serial;
    QTcpSocket* tcp;
    EventWait eventWait;
    std::function<std::string(int)> deviceResolver;
    bool serialLost = false;
    bool exchangeRunning = false;
    bool pushedWaitActive = false; // a loop waits for frames the sensor pushes
    int frameInBuffer = 0;         // bytes of the frame at the front of the TCP receive buffer
    bool connectCancelled = false;
    int serialErrorEvents = 0;
    int serialWakeCount = 0; // what the port's terminal settings hold now
    termios serialSettings{};
    bool serialSettingsRead = false;
    long waitWakeUps = 0;
    ProtocolMonitor* frameTap = nullptr;
    int serialBytesRead = 0; // of the frame now in the receive buffer
};

} // namespace comm
