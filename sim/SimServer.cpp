#include "sim/SimServer.h"

#include "sim/ClientSession.h"
#include "sim/PtyEndpoint.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <chrono>

namespace sim {

SimServer::SimServer(SensorModel::Options options, QObject* parent)
    : QObject(parent), model(std::move(options)) {
    if (!model.EepromError().empty()) lastError = QString::fromStdString(model.EepromError());
}

SimServer::~SimServer() {
    Shutdown();
    // The clients refer to the model and the faults, so they go before those members do.
    delete tcp;
    delete pty;
}

bool SimServer::ListenTcp(quint16 port) {
    if (!tcp) {
        tcp = new QTcpServer(this);
        connect(tcp, &QTcpServer::newConnection, this, &SimServer::AcceptTcpClients);
    }
    if (tcp->isListening()) tcp->close();
    if (tcp->listen(QHostAddress::LocalHost, port)) return true;
    lastError = tcp->errorString();
    return false;
}

quint16 SimServer::TcpPort() const {
    return tcp && tcp->isListening() ? tcp->serverPort() : 0;
}

bool SimServer::OpenPty(const QString& linkPath) {
    if (!pty) {
        pty = new PtyEndpoint([this](auto write, auto close) { return MakeSession(write, close); },
                              this);
    }
    return pty->Open(linkPath, lastError);
}

QString SimServer::PtySlavePath() const {
    return pty ? pty->SlavePath() : QString();
}

bool SimServer::PtyClientPresent() const {
    return pty && pty->ClientPresent();
}

void SimServer::Shutdown() {
    if (pty) pty->Close();
    if (!tcp) return;
    tcp->close();
    for (QTcpSocket* socket : tcp->findChildren<QTcpSocket*>()) {
        socket->abort();
        delete socket;
    }
}

void SimServer::AcceptTcpClients() {
    while (tcp->hasPendingConnections()) {
        QTcpSocket* socket = tcp->nextPendingConnection();
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        ClientSession* session =
            MakeSession([socket](const QByteArray& bytes) { socket->write(bytes); },
                        [socket]() {
                            // Queued, so the socket is not torn down under the session that asked.
                            QMetaObject::invokeMethod(socket, &QTcpSocket::disconnectFromHost,
                                                      Qt::QueuedConnection);
                        });
        session->setParent(socket);
        connect(socket, &QTcpSocket::readyRead, session,
                [socket, session]() { session->Receive(socket->readAll()); });
        // The session lives until the socket's deferred deletion; nothing unasked may go out then.
        connect(socket, &QTcpSocket::disconnected, session, &ClientSession::StopSendingUnasked);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

ClientSession* SimServer::MakeSession(std::function<void(const QByteArray&)> write,
                                      std::function<void()> close) {
    return new ClientSession(
        model, faults, trigger, cycles, [this](const Request& request) { LogRequest(request); },
        std::move(write), std::move(close));
}

void SimServer::SetInput0(bool high) {
    cycles.CatchUp();
    model.SetInput0(high);
}

void SimServer::ToggleInput0() {
    cycles.CatchUp();
    model.SetInput0(!model.Input0());
}

void SimServer::PulseChannel3(int digits, int count) {
    cycles.CatchUp();
    model.PulseChannel3(digits, count);
}

void SimServer::SetRawSpread(int spread) {
    cycles.CatchUp();
    model.SetRawSpread(spread);
}

bool SimServer::ScanArmed() {
    cycles.CatchUp();
    const auto sessions = findChildren<ClientSession*>();
    return std::any_of(sessions.begin(), sessions.end(),
                       [](const ClientSession* session) { return session->ScanArmed(); });
}

int SimServer::ReleaseHeldReply() {
    int bytes = 0;
    for (ClientSession* session : findChildren<ClientSession*>())
        bytes += session->ReleaseHeldReply();
    return bytes;
}

void SimServer::LogRequest(const Request& request) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::lock_guard lock(logMutex);
    log.push_back(request);
    log.back().arrivalNs = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    if (log.size() > kLogCapacity) log.pop_front();
}

std::vector<Request> SimServer::RequestLog() const {
    std::lock_guard lock(logMutex);
    return {log.begin(), log.end()};
}

void SimServer::ClearRequestLog() {
    std::lock_guard lock(logMutex);
    log.clear();
}

} // namespace sim
