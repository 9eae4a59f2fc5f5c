#include "mqtt/Publisher.h"

#include "mqtt/Topics.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QSysInfo>

#include <mosquitto.h>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace mqtt {

namespace {

constexpr int kMiscIntervalMs = 1000;
constexpr std::size_t kMqttStringMax = 65535;
const char* const kStopped = "stopped";

std::string DefaultClientId() {
    return "chromix3-" + QSysInfo::machineHostName().toStdString() + "-" +
           std::to_string(::getpid());
}

std::string ErrorText(int rc) {
    if (rc == MOSQ_ERR_ERRNO) return std::strerror(errno);
    return mosquitto_strerror(rc);
}

// Errors that mosquitto_publish gives before it takes the message: nothing of it went out.
bool RefusedBeforeTaken(int rc) {
    return rc == MOSQ_ERR_INVAL || rc == MOSQ_ERR_NOMEM || rc == MOSQ_ERR_PAYLOAD_SIZE ||
           rc == MOSQ_ERR_MALFORMED_UTF8 || rc == MOSQ_ERR_QOS_NOT_SUPPORTED ||
           rc == MOSQ_ERR_OVERSIZE_PACKET || rc == MOSQ_ERR_NOT_SUPPORTED;
}

} // namespace

Publisher::Publisher(Options options)
    : options_(std::move(options)), retryMs_(options_.retryFirstMs), queue_(options_.queueSize) {
    if (options_.clientId.empty()) options_.clientId = DefaultClientId();
    if (options_.qos != 0) options_.qos = 1;
    if (options_.window < 1) options_.window = 1;
    setupError_ = SetUp();
    misc_.setInterval(kMiscIntervalMs);
    QObject::connect(&misc_, &QTimer::timeout, [this] { Misc(); });
    retry_.setSingleShot(true);
    QObject::connect(&retry_, &QTimer::timeout, [this] { Connect(); });
    // Without the set-up asked for (TLS above all) nothing may reach the broker.
    if (setupError_.empty())
        Connect();
    else
        closing_ = true;
}

std::string Publisher::SetUp() {
    static const int initialised = mosquitto_lib_init();
    if (initialised != MOSQ_ERR_SUCCESS)
        return "MQTT: the client library cannot start: " + ErrorText(initialised);
    // MQTT gives each of these a 16-bit length; the client library would cut or crash.
    const std::pair<const char*, const std::string*> strings[] = {{"client id", &options_.clientId},
                                                                  {"user name", &options_.user},
                                                                  {"password", &options_.password}};
    for (const auto& [what, text] : strings)
        if (text->size() > kMqttStringMax)
            return std::string("MQTT: the ") + what + " is longer than MQTT carries (" +
                   std::to_string(kMqttStringMax) + " bytes)";
    errno = 0;
    client_ = mosquitto_new(options_.clientId.c_str(), true, this);
    if (!client_)
        return "MQTT: the client library refuses the client id" +
               (errno ? ": " + std::string(std::strerror(errno)) : std::string());
    int rc = mosquitto_int_option(client_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    if (rc == MOSQ_ERR_SUCCESS)
        rc = mosquitto_int_option(client_, MOSQ_OPT_SEND_MAXIMUM, options_.window);
    if (rc != MOSQ_ERR_SUCCESS) return "MQTT: the client's options: " + ErrorText(rc);
    mosquitto_connect_callback_set(client_, &Publisher::OnConnect);
    mosquitto_disconnect_callback_set(client_, &Publisher::OnDisconnect);
    mosquitto_publish_callback_set(client_, &Publisher::OnPublish);
    if (!options_.user.empty()) {
        rc = mosquitto_username_pw_set(client_, options_.user.c_str(),
                                       options_.password.empty() ? nullptr
                                                                 : options_.password.c_str());
        if (rc != MOSQ_ERR_SUCCESS) return "MQTT: the user name and password: " + ErrorText(rc);
    }
    if (!options_.caFile.empty()) {
        rc =
            mosquitto_tls_set(client_, options_.caFile.c_str(), nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            // The client tells only that an argument was wrong: the file says what was.
            std::string why = ErrorText(rc);
            if (::access(options_.caFile.c_str(), R_OK) != 0)
                why += " (" + std::string(std::strerror(errno)) + ")";
            return "MQTT: TLS cannot be set up with the CA file " + options_.caFile + ": " + why;
        }
    }
    // One will per connection: it marks this process offline, and each sensor's status names
    // the process that publishes it, so a consumer sees all of a dead process's sensors go.
    const std::string will = ClientStatusPayload(false, "connection lost", {});
    rc = mosquitto_will_set(client_, ClientTopic(options_.prefix, options_.clientId).c_str(),
                            int(will.size()), will.data(), options_.qos, true);
    if (rc != MOSQ_ERR_SUCCESS) return "MQTT: the last will: " + ErrorText(rc);
    return {};
}

Publisher::~Publisher() {
    reader_.reset();
    writer_.reset();
    mosquitto_destroy(client_);
}

void Publisher::Measurement(const std::string& sensor, const std::string& json) {
    Know(sensor);
    queue_.PushMeasurement(sensor, json);
    AfterClientCall();
}

void Publisher::Status(const std::string& sensor, bool online, const std::string& detail) {
    Know(sensor);
    std::string payload = SensorStatusPayload(online, detail, options_.clientId);
    statuses_[sensor] = payload;
    queue_.SetStatus(sensor, std::move(payload));
    AfterClientCall();
}

void Publisher::Know(const std::string& sensor) {
    // The process's status lists its sensors: a new one sends it again.
    if (sensors_.count(sensor)) return;
    sensors_.insert(sensor);
    clientStatusDue_ = true;
}

bool Publisher::Flush(int timeoutMs) {
    if (Idle()) return true;
    QEventLoop loop;
    waiting_ = &loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    waiting_ = nullptr;
    return Idle();
}

void Publisher::Close(int timeoutMs) {
    if (closing_) return;
    for (auto& [sensor, payload] : statuses_) {
        if (payload.find("\"state\":\"online\"") == std::string::npos) continue;
        payload = SensorStatusPayload(false, kStopped, options_.clientId);
        queue_.SetStatus(sensor, payload);
    }
    closing_ = true;
    clientStatusDue_ = true;
    retry_.stop();
    if (connected_) {
        AfterClientCall();
        Flush(timeoutMs);
        // A failure here means the connection is gone already: the end is the same.
        (void)mosquitto_disconnect(client_);
        AfterClientCall();
    }
    misc_.stop();
    reader_.reset();
    writer_.reset();
    connected_ = false;
}

Counters Publisher::Count() const {
    Counters counters;
    counters.queued = queue_.Queued();
    counters.inFlight = inFlight_.size();
    counters.dropped = queue_.Dropped();
    counters.sent = sent_;
    return counters;
}

void Publisher::OnConnect(mosquitto*, void* self, int rc) {
    auto* publisher = static_cast<Publisher*>(self);
    if (rc != 0) {
        publisher->Log("MQTT: " + publisher->options_.host + ":" +
                       std::to_string(publisher->options_.port) +
                       " refused the connection: " + mosquitto_connack_string(rc));
        return;
    }
    publisher->connected_ = true;
    publisher->failingLogged_ = false;
    publisher->retryMs_ = publisher->options_.retryFirstMs;
    publisher->clientStatusDue_ = true;
    // The broker may have restarted without them: every sensor's state goes out again.
    for (const auto& [sensor, payload] : publisher->statuses_)
        publisher->queue_.SetStatus(sensor, payload);
    publisher->Log("MQTT: connected to " + publisher->options_.host + ":" +
                   std::to_string(publisher->options_.port));
}

void Publisher::OnDisconnect(mosquitto*, void* self, int rc) {
    auto* publisher = static_cast<Publisher*>(self);
    // The client has closed its socket already: stop watching it before the number is reused.
    if (publisher->reader_) publisher->reader_->setEnabled(false);
    if (publisher->writer_) publisher->writer_->setEnabled(false);
    // Said once when it breaks or first fails, not at every try after.
    const std::string where =
        publisher->options_.host + ":" + std::to_string(publisher->options_.port);
    if (!publisher->closing_ && (publisher->connected_ || !publisher->failingLogged_))
        publisher->Log("MQTT: " +
                       std::string(publisher->connected_ ? "connection to " + where + " lost: "
                                                         : "cannot connect to " + where + ": ") +
                       ErrorText(rc) + " (trying again)");
    publisher->failingLogged_ = true;
    publisher->connected_ = false;
    publisher->lost_ = true;
}

void Publisher::OnPublish(mosquitto*, void* self, int mid) {
    auto* publisher = static_cast<Publisher*>(self);
    const auto it = publisher->inFlight_.find(mid);
    if (it == publisher->inFlight_.end()) return;
    if (it->second.kind == OutMessage::Kind::Measurement) ++publisher->sent_;
    publisher->inFlight_.erase(it);
}

void Publisher::Connect() {
    lost_ = false;
    attempt_.start();
    const int rc =
        mosquitto_connect_async(client_, options_.host.c_str(), options_.port, options_.keepAliveS);
    const int fd = mosquitto_socket(client_);
    if (rc != MOSQ_ERR_SUCCESS || fd < 0) {
        if (!failingLogged_)
            Log("MQTT: cannot connect to " + options_.host + ":" + std::to_string(options_.port) +
                ": " + ErrorText(rc) + " (trying again)");
        failingLogged_ = true;
        ScheduleRetry();
        return;
    }
    reader_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(reader_.get(), &QSocketNotifier::activated, [this] { Readable(); });
    writer_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    QObject::connect(writer_.get(), &QSocketNotifier::activated, [this] { Writable(); });
    misc_.start();
    AfterClientCall();
}

void Publisher::ScheduleRetry() {
    if (closing_) return;
    retry_.start(retryMs_);
    retryMs_ = std::min(retryMs_ * 2, options_.retryMaxMs);
}

void Publisher::Readable() {
    const int rc = mosquitto_loop_read(client_, 1);
    // During the TLS handshake the client reports a connection refused or reset as success
    // and would be called again at once, for ever: the socket itself tells.
    if (rc == MOSQ_ERR_SUCCESS && !connected_ && !lost_) {
        pollfd watched{mosquitto_socket(client_), POLLIN, 0};
        if (::poll(&watched, 1, 0) == 1 && (watched.revents & (POLLHUP | POLLERR)))
            AttemptFailed(MOSQ_ERR_CONN_LOST);
    }
    if (rc != MOSQ_ERR_SUCCESS && !lost_) AttemptFailed(rc);
    AfterClientCall();
}

void Publisher::Writable() {
    const int rc = mosquitto_loop_write(client_, 1);
    if (rc != MOSQ_ERR_SUCCESS && !lost_) AttemptFailed(rc);
    AfterClientCall();
}

void Publisher::Misc() {
    const int rc = mosquitto_loop_misc(client_);
    if (rc != MOSQ_ERR_SUCCESS && rc != MOSQ_ERR_NO_CONN && !lost_) AttemptFailed(rc);
    // A broker that takes the connection and never answers (or a host that never does) ends
    // the attempt as the keep-alive would end an idle connection.
    if (!connected_ && !lost_ && attempt_.hasExpired(qint64(options_.keepAliveS) * 1000))
        AttemptFailed(MOSQ_ERR_KEEPALIVE);
    AfterClientCall();
}

void Publisher::AttemptFailed(int rc) {
    // What the client does itself when it gives a connection up; its socket is closed by the
    // next attempt.
    OnDisconnect(client_, this, rc);
}

void Publisher::AfterClientCall() {
    if (lost_) ConnectionLost();
    Pump();
    if (writer_ && client_) writer_->setEnabled(mosquitto_want_write(client_));
    if (waiting_ && Idle()) waiting_->quit();
}

void Publisher::ConnectionLost() {
    lost_ = false;
    misc_.stop();
    // Called from inside the notifiers' own signals: they go once control is back in the loop.
    if (reader_) reader_.release()->deleteLater();
    if (writer_) writer_.release()->deleteLater();
    // At QoS 1 the client keeps what it was not confirmed and sends it again once connected;
    // at QoS 0 what it had not written yet is gone with the connection, so it waits again.
    if (options_.qos == 0) {
        for (auto it = inFlight_.rbegin(); it != inFlight_.rend(); ++it)
            queue_.PutBack(std::move(it->second));
        inFlight_.clear();
    }
    ScheduleRetry();
}

void Publisher::Pump() {
    if (!connected_) return;
    if (clientStatusDue_ && !PublishClientStatus()) return;
    while (int(inFlight_.size()) < options_.window) {
        auto message = queue_.Next();
        if (!message) return;
        const std::string topic = Topic(*message);
        int mid = 0;
        const bool retain = message->kind == OutMessage::Kind::Status;
        const int rc = mosquitto_publish(client_, &mid, topic.c_str(), int(message->payload.size()),
                                         message->payload.data(), options_.qos, retain);
        if (rc == MOSQ_ERR_SUCCESS || (options_.qos == 1 && !RefusedBeforeTaken(rc))) {
            // At QoS 0 the message may be written already and confirmed inside the call.
            if (rc == MOSQ_ERR_SUCCESS && options_.qos == 0 && !mosquitto_want_write(client_)) {
                if (message->kind == OutMessage::Kind::Measurement) ++sent_;
            } else {
                inFlight_.emplace(mid, std::move(*message));
            }
            if (rc != MOSQ_ERR_SUCCESS) return;
            continue;
        }
        if (RefusedBeforeTaken(rc)) {
            Log("MQTT: " + topic + " not published: " + ErrorText(rc));
            if (message->kind == OutMessage::Kind::Measurement) queue_.CountLost(message->sensor);
            continue;
        }
        // The connection broke under the call: the message waits for the next one.
        queue_.PutBack(std::move(*message));
        return;
    }
}

bool Publisher::PublishClientStatus() {
    std::vector<std::string> sensors;
    for (const std::string& sensor : sensors_)
        sensors.push_back(TopicLevel(sensor));
    const std::string payload = ClientStatusPayload(!closing_, kStopped, sensors);
    const int rc =
        mosquitto_publish(client_, nullptr, ClientTopic(options_.prefix, options_.clientId).c_str(),
                          int(payload.size()), payload.data(), options_.qos, true);
    if (rc != MOSQ_ERR_SUCCESS) return false;
    clientStatusDue_ = false;
    return true;
}

bool Publisher::Idle() const {
    return queue_.Empty() && inFlight_.empty() && !clientStatusDue_ &&
           (!client_ || !mosquitto_want_write(client_));
}

void Publisher::Log(const std::string& text) const {
    if (options_.log) options_.log(text);
}

std::string Publisher::Topic(const OutMessage& message) const {
    switch (message.kind) {
    case OutMessage::Kind::Status:
        return SensorTopic(options_.prefix, message.sensor, "status");
    case OutMessage::Kind::Dropped:
        return SensorTopic(options_.prefix, message.sensor, "dropped");
    case OutMessage::Kind::Measurement:
        break;
    }
    return SensorTopic(options_.prefix, message.sensor, "measurement");
}

} // namespace mqtt
