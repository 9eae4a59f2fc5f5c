#pragma once
// A sensor link to a simulator on its own thread, with a recording view instead of windows.
#include "comm/SensorLink.h"
#include "core/AppState.h"
#include "sim/SimThread.h"
#include "support/RecordingCommView.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace comm;
using namespace core;

struct LinkFixture {
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    RecordingCommView view;
    std::unique_ptr<SensorLink> link = std::make_unique<SensorLink>(*state, view);
    sim::SimThread simulator;
    QTemporaryDir dir;

    bool ConnectTcp() {
        const quint16 port = simulator.StartTcp(0);
        if (port == 0) return false;
        state->link.protocol = kTcpIp;
        state->link.serverName = "127.0.0.1";
        state->link.tcpPortNumber = port;
        link->ConnectToServer();
        return state->link.tcpConnected == 1;
    }

    bool OpenPty() {
        const QString path = dir.filePath(QStringLiteral("sensor-tty"));
        if (!simulator.StartPty(path)) return false;
        state->link.protocol = kRs232;
        state->link.serialPortNumber = 1;
        link->SetSerialDeviceResolver([path](int) { return path.toStdString(); });
        link->OpenSerialPort();
        return state->link.openResult >= 0;
    }

    int Exchange(int order, int argument = 0) {
        state->frames.currentOrder = std::uint8_t(order);
        link->BuildRequestFrame(order, 0, argument, 0);
        return link->ExchangeFrames(8);
    }

    // The measurement request as the GO loop sends it, with the elapsed time in seconds.
    int TimedMeasurement(double& seconds) {
        QElapsedTimer clock;
        clock.start();
        const int result = Exchange(8);
        seconds = double(clock.nsecsElapsed()) / 1e9;
        return result;
    }

    // Measurements one after the other for `ms`, a 5-ms timer running beside them: how often the
    // timer fired (-1 when an exchange failed). The event loop must get its turn in between.
    int TimerTicksDuringExchanges(int ms) {
        int ticks = 0;
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            if (Exchange(8) != 1) return -1;
        }
        return ticks;
    }

    void SetFault(sim::Fault sim::FaultSettings::*which, int value = 0, int order = -1) {
        sim::FaultSettings faults;
        faults.*which = sim::Fault{true, value, order};
        simulator.SetFaults(faults);
    }
};
