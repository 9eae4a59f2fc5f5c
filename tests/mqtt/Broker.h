#pragma once
// A mosquitto broker of the test's own on a free loopback port, stopped and started again on
// the same port when a test needs the broker to go away for a while.
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>

#include <csignal>

namespace mqtttest {

constexpr int kWaitMs = 30000;

class Broker {
public:
    // `persistent`: the broker saves its sessions when stopped and loads them when started, so
    // a subscriber's subscription and what waits for it outlive a restart.
    explicit Broker(bool persistent = false) : persistent_(persistent) {}
    ~Broker() { Stop(); }

    int Port() const { return port_; }
    qint64 ProcessId() const { return process_.processId(); }

    // The first start picks a free port (another one if it was taken meanwhile); later starts
    // use the same one.
    bool Start() {
        const QString program =
            QStandardPaths::findExecutable("mosquitto", {"/usr/sbin", "/usr/bin", "/sbin"});
        if (program.isEmpty() || !dir_.isValid()) return false;
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (port_ == 0 || attempt > 0) {
                if (fixed_) return false;
                port_ = FreePort();
            }
            WriteConfig();
            process_.setProcessChannelMode(QProcess::MergedChannels);
            process_.start(program, {"-c", dir_.filePath("mosquitto.conf")});
            QByteArray out;
            while (!out.contains("listen socket on port") && process_.waitForReadyRead(kWaitMs))
                out += process_.readAll();
            if (out.contains("listen socket on port")) {
                fixed_ = true;
                return true;
            }
            process_.kill();
            process_.waitForFinished(kWaitMs);
        }
        return false;
    }

    void Stop() {
        if (process_.state() == QProcess::NotRunning) return;
        ::kill(pid_t(process_.processId()), SIGTERM);
        if (!process_.waitForFinished(kWaitMs)) process_.kill();
        process_.waitForFinished(kWaitMs);
    }

private:
    static int FreePort() {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        return server.serverPort();
    }

    void WriteConfig() {
        QFile file(dir_.filePath("mosquitto.conf"));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        QByteArray text = "listener " + QByteArray::number(port_) +
                          " 127.0.0.1\nallow_anonymous true\nlog_dest stderr\n";
        // A broker started as root runs as the user mosquitto, which must write its state here.
        QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7777));
        if (persistent_)
            text += "persistence true\npersistence_location " + dir_.path().toUtf8() +
                    "/\nqueue_qos0_messages true\nautosave_interval 0\n";
        else
            text += "persistence false\n";
        file.write(text);
    }

    bool persistent_;
    bool fixed_ = false;
    int port_ = 0;
    QTemporaryDir dir_;
    QProcess process_;
};

} // namespace mqtttest
