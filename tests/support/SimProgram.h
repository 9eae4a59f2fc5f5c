#pragma once
// The simulator program (the path in CHROMIX_SIM) as a process of its own, for tests that run
// the command line against one or several sensors.
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

// Ends the simulator when the test is done with it.
struct SimProgram : QProcess {
    static constexpr int kWaitMs = 60000;
    ~SimProgram() override {
        terminate();
        waitForFinished(kWaitMs);
    }
};

// Starts `sim` on a TCP port of its own (0: any free one) with `switches`; its port, or 0.
inline int StartSimProgram(QProcess& sim, const QStringList& switches, int port = 0) {
    sim.start(qEnvironmentVariable("CHROMIX_SIM"),
              QStringList{"--tcp", QString::number(port)} + switches);
    QByteArray out;
    while (!out.contains('\n') && sim.waitForReadyRead(SimProgram::kWaitMs))
        out += sim.readAllStandardOutput();
    const auto match = QRegularExpression("TCP port (\\d+)").match(QString::fromLatin1(out));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}
