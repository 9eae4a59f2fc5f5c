#pragma once
// The simulator's serial line: the master side of a pseudo-terminal, with the slave reachable
// through a symbolic link. Clients come and go by opening and closing the slave.
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

namespace sim {

class ClientSession;

class PtyEndpoint : public QObject {
    Q_OBJECT
public:
    using WriteFunction = std::function<void(const QByteArray&)>;
    using CloseFunction = std::function<void()>;
    using SessionFactory = std::function<ClientSession*(WriteFunction, CloseFunction)>;

    PtyEndpoint(SessionFactory factory, QObject* parent = nullptr);
    ~PtyEndpoint() override;

    // Opens the master, puts the line in raw mode and links `linkPath` to the slave
    // (an existing file or link there is replaced).
    bool Open(const QString& linkPath, QString& error);
    void Close();
    QString SlavePath() const { return slavePath; }
    QString LinkPath() const { return linkPath; }
    bool ClientPresent() const { return clientPresent; }

private:
    void ReadMaster();
    void FlushOutput();
    void Write(const QByteArray& bytes);
    void ClientGone();
    void CheckForClient();
    void StartSession();
    void MakeRaw();

    SessionFactory factory;
    int master = -1;
    QString slavePath;
    QString linkPath;
    bool clientPresent = false;
    bool deaf = false; // the session closed the line: ignore input until the client goes
    QByteArray output;
    std::unique_ptr<QSocketNotifier> readNotifier;
    std::unique_ptr<QSocketNotifier> writeNotifier;
    QTimer pollTimer;
    ClientSession* session = nullptr;
};

} // namespace sim
