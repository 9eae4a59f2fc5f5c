#pragma once
// Publishes measurements and sensor states to an MQTT broker through libmosquitto, driven by
// Qt's event loop on the calling thread: the client's socket is watched for reading and (while
// the client has bytes to send) writing, a timer keeps the connection alive, and a connection
// that fails or breaks is tried again after a growing pause. Nothing here blocks on the network.
//
// Topics (see Topics.h): measurements on <prefix>/<sensor>/measurement, the sensor's state
// retained on <prefix>/<sensor>/status, drop reports on <prefix>/<sensor>/dropped, and this
// process retained on <prefix>/_client/<client id>/status, which its last will sets offline.
#include "mqtt/OutQueue.h"

#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

class QEventLoop;
class QSocketNotifier;
struct mosquitto;

namespace mqtt {

struct Options {
    std::string host = "localhost";
    int port = 1883;
    std::string user;     // empty: none
    std::string password; // sent only with a user
    std::string caFile;   // set: TLS, the broker's certificate checked against this CA
    std::string prefix = "chromix3";
    std::string clientId; // empty: chromix3-<host name>-<process id>
    int qos = 1;          // 0 or 1
    std::size_t queueSize = 10000;
    int keepAliveS = 30;
    // Messages handed to the client and not yet confirmed (QoS 1) or written (QoS 0).
    int window = 64;
    int retryFirstMs = 500;
    int retryMaxMs = 10000;
    // Told when the connection comes or goes, and why it failed; may be empty.
    std::function<void(const std::string&)> log;
};

struct Counters {
    std::size_t queued = 0;   // measurements waiting for the broker
    std::size_t inFlight = 0; // handed to the client, not yet confirmed
    std::uint64_t dropped = 0;
    std::uint64_t sent = 0; // measurements the broker confirmed (QoS 1) or that were written
};

class Publisher {
public:
    // A client that cannot be set up as asked (a TLS set-up that fails, say) never connects:
    // SetupError says why, and the caller ends there.
    explicit Publisher(Options options);
    // Without Close the broker sees the connection drop, as after a crash, and publishes the
    // will.
    ~Publisher();
    Publisher(const Publisher&) = delete;
    Publisher& operator=(const Publisher&) = delete;

    void Measurement(const std::string& sensor, const std::string& json);
    // `detail`: the identification while online, the reason while offline.
    void Status(const std::string& sensor, bool online, const std::string& detail);
    // Waits, serving events, until everything waiting is out and confirmed; false when
    // `timeoutMs` ran out first.
    bool Flush(int timeoutMs);
    // The end of the run: every sensor and this process marked offline ("stopped"), pushed
    // out within `timeoutMs`, then a clean disconnect (so the will stays unused).
    void Close(int timeoutMs);

    // Empty when the client was set up as asked.
    const std::string& SetupError() const { return setupError_; }
    bool Connected() const { return connected_; }
    Counters Count() const;
    const std::string& ClientId() const { return options_.clientId; }

private:
    static void OnConnect(mosquitto*, void* self, int rc);
    static void OnDisconnect(mosquitto*, void* self, int rc);
    static void OnPublish(mosquitto*, void* self, int mid);

    // Sets the client up from the options; the reason when a step failed.
    std::string SetUp();

    void Know(const std::string& sensor);
    void Connect();
    void ScheduleRetry();
    void Readable();
    void Writable();
    void Misc();
    void AttemptFailed(int rc);
    // After every call into the client: clean up a lost connection, hand on what waits,
    // watch for writing while bytes wait, and end a Flush that is done.
    void AfterClientCall();
    void ConnectionLost();
    void Pump();
    bool PublishClientStatus();
    bool Idle() const;
    void Log(const std::string& text) const;
    std::string Topic(const OutMessage& message) const;

    Options options_;
    std::string setupError_;
    mosquitto* client_ = nullptr;
    std::unique_ptr<QSocketNotifier> reader_;
    std::unique_ptr<QSocketNotifier> writer_;
    QTimer misc_;
    QTimer retry_;
    QElapsedTimer attempt_;
    int retryMs_;
    OutQueue queue_;
    std::map<int, OutMessage> inFlight_;          // by message id
    std::map<std::string, std::string> statuses_; // sensor -> its newest status payload
    std::set<std::string> sensors_;               // every one named so far
    bool connected_ = false;
    bool lost_ = false;
    bool closing_ = false;
    bool clientStatusDue_ = false;
    bool failingLogged_ = false;
    std::uint64_t sent_ = 0;
    QEventLoop* waiting_ = nullptr;
};

} // namespace mqtt
