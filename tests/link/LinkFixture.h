#pragma once
// A sensor link to a simulator on its own thread, with a recording view instead of windows and a
// command gate of its own.
#include "core/CommandGate.h"
#include "link/SensorLink.h"
#include "protocol/Exchange.h"
#include "sim/SimThread.h"
#include "support/RecordingCommView.h"
#include "support/WhenReady.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <memory>
#include <span>

#include <sys/ioctl.h>

using namespace comm;
using protocol::Outcome;
using protocol::Reply;

struct LinkFixture {
    RecordingCommView view;
    core::CommandGate gate;
    std::unique_ptr<SensorLink> link = MakeLink();
    sim::SimThread simulator;
    QTemporaryDir dir;

    std::unique_ptr<SensorLink> MakeLink() {
        auto made = std::make_unique<SensorLink>(view);
        made->WatchGate(&gate);
        return made;
    }

    bool ConnectTcp() {
        const quint16 port = simulator.StartTcp(0);
        return port != 0 && link->ConnectToServer("127.0.0.1", port) >= 0;
    }

    QString PtyPath() const { return dir.filePath(QStringLiteral("sensor-tty")); }

    bool OpenPty() {
        if (!simulator.StartPty(PtyPath())) return false;
        return link->OpenSerialPort(1, PtyPath().toStdString(), 4) >= 0;
    }

    Reply Exchange(int order, int argument = 0, std::span<const std::uint16_t> payload = {}) {
        return link->ExchangeFrames(
            protocol::MakeRequest(std::uint8_t(order), std::uint16_t(argument), payload));
    }

    // The measurement request as the GO loop sends it, with the elapsed time in seconds.
    Reply TimedMeasurement(double& seconds) {
        QElapsedTimer clock;
        clock.start();
        const Reply reply = Exchange(8);
        seconds = double(clock.nsecsElapsed()) / 1e9;
        return reply;
    }

    // Measurements one after the other, a 5-ms timer running beside them, until the timer has
    // fired `ticks` times: true then, false when an exchange failed or a minute passed. The event
    // loop must get its turn in between; how often is a figure for the benchmarks.
    bool TimerFiresDuringExchanges(int ticks) {
        int fired = 0;
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [&] { ++fired; });
        timer.start();
        QElapsedTimer clock;
        clock.start();
        while (fired < ticks && clock.elapsed() < 60000) {
            if (!Exchange(8).Ok()) return false;
        }
        return fired >= ticks;
    }

    void SetFault(sim::Fault sim::FaultSettings::*which, int value = 0, int order = -1) {
        sim::FaultSettings faults;
        faults.*which = sim::Fault{true, value, order};
        simulator.SetFaults(faults);
    }

    // A wait that must end only by the event under test: as long as the event limit, so a busy
    // machine cannot end it first.
    void LongReplyLimit() {
        link->SetTimeLimits(support::kEventLimitMs / 1000.0, support::kEventLimitMs);
    }
    // For a time-out the test needs, not its moment: over soon.
    void ShortReplyLimit() { link->SetTimeLimits(0.3, SensorLink::kTcpConnectTimeoutMs); }
    // For a time-out after part of a reply: the part has to be in before the limit, so it is
    // given a wide margin over the moment it leaves the simulator, still well short of 3.0 s.
    void PartReplyLimit() { link->SetTimeLimits(1.0, SensorLink::kTcpConnectTimeoutMs); }

    // How many requests with this order the simulator has received.
    int Asked(int order) const {
        int count = 0;
        for (const auto& request : simulator.RequestLog())
            count += request.order == order ? 1 : 0;
        return count;
    }

    // Bytes that have reached the link's end of the line and wait there, in the kernel or the
    // device's own buffer; the event loop is not run, so the link does not take them.
    qint64 BytesWaitingAtLink() const {
        const bool tcp = link->InUse().tcp;
        QIODevice* device = tcp ? static_cast<QIODevice*>(link->findChild<QTcpSocket*>())
                                : static_cast<QIODevice*>(link->findChild<QSerialPort*>());
        const auto fd = tcp ? int(static_cast<QTcpSocket*>(device)->socketDescriptor())
                            : int(static_cast<QSerialPort*>(device)->handle());
        int inKernel = 0;
        if (fd < 0 || ::ioctl(fd, FIONREAD, &inKernel) != 0) inKernel = 0;
        return device->bytesAvailable() + inKernel;
    }
    // Waits, without the event loop, until `count` bytes wait at the link: a late reply is then
    // there before the next request goes out.
    bool WaitForBytesAtLink(qint64 count) const {
        const QDeadlineTimer deadline(support::kEventLimitMs);
        while (BytesWaitingAtLink() < count) {
            if (deadline.hasExpired()) return false;
            QThread::msleep(1);
        }
        return true;
    }
};
