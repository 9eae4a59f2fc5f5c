#pragma once
// A sensor link to a simulator on its own thread, with a recording view instead of windows.
#include "core/AppState.h"
#include "link/SensorLink.h"
#include "sim/SimThread.h"
#include "support/RecordingCommView.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

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

    void SetFault(sim::Fault sim::FaultSettings::*which, int value = 0, int order = -1) {
        sim::FaultSettings faults;
        faults.*which = sim::Fault{true, value, order};
        simulator.SetFaults(faults);
    }
};
