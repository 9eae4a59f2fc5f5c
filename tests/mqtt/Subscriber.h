#pragma once
// A plain libmosquitto subscriber on its own thread that keeps every message it receives, for
// tests to compare with what was published.
#include <QStringList>

#include <mosquitto.h>

#include <mutex>
#include <string>
#include <vector>

namespace mqtttest {

struct Received {
    std::string topic;
    std::string payload;
    bool retained = false;
};

class Subscriber {
public:
    // `session`: a client id whose subscription the broker keeps while it is away.
    Subscriber(int port, const std::string& filter, const std::string& session = {})
        : filter_(filter) {
        mosquitto_lib_init();
        client_ = mosquitto_new(session.empty() ? nullptr : session.c_str(), session.empty(), this);
        mosquitto_connect_callback_set(client_, [](mosquitto* m, void* self, int rc) {
            if (rc == 0)
                mosquitto_subscribe(m, nullptr, static_cast<Subscriber*>(self)->filter_.c_str(), 1);
        });
        mosquitto_subscribe_callback_set(client_, [](mosquitto*, void* self, int, int, const int*) {
            auto* subscriber = static_cast<Subscriber*>(self);
            std::lock_guard lock(subscriber->mutex_);
            ++subscriber->subscribed_;
        });
        mosquitto_message_callback_set(client_, [](mosquitto*, void* self,
                                                   const mosquitto_message* message) {
            auto* subscriber = static_cast<Subscriber*>(self);
            std::lock_guard lock(subscriber->mutex_);
            subscriber->received_.push_back({message->topic,
                                             std::string(static_cast<const char*>(message->payload),
                                                         std::size_t(message->payloadlen)),
                                             message->retain});
        });
        mosquitto_reconnect_delay_set(client_, 1, 1, false);
        mosquitto_connect(client_, "127.0.0.1", port, 30);
        mosquitto_loop_start(client_);
    }
    ~Subscriber() {
        mosquitto_disconnect(client_);
        mosquitto_loop_stop(client_, false);
        mosquitto_destroy(client_);
    }

    bool Subscribed() const {
        std::lock_guard lock(mutex_);
        return subscribed_ > 0;
    }
    QStringList Payloads(const std::string& topic) const {
        std::lock_guard lock(mutex_);
        QStringList payloads;
        for (const auto& message : received_)
            if (message.topic == topic) payloads << QString::fromStdString(message.payload);
        return payloads;
    }
    // The payloads' bytes as they came, for a test of their encoding.
    QList<QByteArray> RawPayloads(const std::string& topic) const {
        std::lock_guard lock(mutex_);
        QList<QByteArray> payloads;
        for (const auto& message : received_)
            if (message.topic == topic) payloads << QByteArray::fromStdString(message.payload);
        return payloads;
    }
    QString Last(const std::string& topic) const {
        const auto payloads = Payloads(topic);
        return payloads.empty() ? QString() : payloads.back();
    }

private:
    std::string filter_;
    mosquitto* client_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Received> received_;
    int subscribed_ = 0;
};

} // namespace mqtttest
