#pragma once
// The simulator as a process of its own, so the program's CPU is counted apart from it. A target
// that includes it defines CHROMIX_SIM_PATH.
#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

namespace bench {

class SimProcess {
public:
    explicit SimProcess(const QStringList& arguments) {
        process.setProgram(QStringLiteral(CHROMIX_SIM_PATH));
        process.setArguments(arguments);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
        QElapsedTimer clock;
        clock.start();
        while (!greeting.contains('\n') && clock.elapsed() < 5000 &&
               process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(100);
            greeting += process.readAll();
        }
    }
    ~SimProcess() {
        process.terminate();
        if (!process.waitForFinished(3000)) process.kill();
    }
    bool Ready() const { return greeting.contains('\n'); }
    quint16 TcpPort() const {
        const int at = greeting.indexOf("TCP port ");
        return at < 0 ? 0 : quint16(greeting.mid(at + 9).trimmed().toUInt());
    }

private:
    QProcess process;
    QByteArray greeting;
};

} // namespace bench
