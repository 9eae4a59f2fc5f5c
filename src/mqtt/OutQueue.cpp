#include "mqtt/OutQueue.h"

#include "mqtt/Topics.h"

namespace mqtt {

void OutQueue::PushMeasurement(const std::string& sensor, std::string json) {
    if (capacity_ == 0) {
        CountLost(sensor);
        return;
    }
    while (queue_.size() >= capacity_) {
        CountLost(queue_.front().sensor);
        queue_.pop_front();
    }
    queue_.push_back({OutMessage::Kind::Measurement, sensor, std::move(json)});
}

void OutQueue::SetStatus(const std::string& sensor, std::string payload) {
    statuses_[sensor] = std::move(payload);
}

void OutQueue::PutBack(OutMessage message) {
    switch (message.kind) {
    case OutMessage::Kind::Measurement:
        queue_.push_front(std::move(message));
        break;
    case OutMessage::Kind::Status:
        // A newer status that came meanwhile wins.
        statuses_.try_emplace(message.sensor, std::move(message.payload));
        break;
    case OutMessage::Kind::Dropped:
        // The report is made afresh from the count, with whatever was lost meanwhile.
        unreported_[message.sensor] += message.count;
        break;
    }
}

void OutQueue::CountLost(const std::string& sensor) {
    ++dropped_;
    ++droppedOf_[sensor];
    ++unreported_[sensor];
}

std::optional<OutMessage> OutQueue::Next() {
    if (!statuses_.empty()) {
        auto node = statuses_.extract(statuses_.begin());
        return OutMessage{OutMessage::Kind::Status, node.key(), std::move(node.mapped())};
    }
    if (!unreported_.empty()) {
        auto node = unreported_.extract(unreported_.begin());
        return OutMessage{OutMessage::Kind::Dropped, node.key(),
                          DroppedPayload(node.mapped(), DroppedOf(node.key())), node.mapped()};
    }
    if (queue_.empty()) return std::nullopt;
    OutMessage message = std::move(queue_.front());
    queue_.pop_front();
    return message;
}

std::uint64_t OutQueue::DroppedOf(const std::string& sensor) const {
    const auto it = droppedOf_.find(sensor);
    return it == droppedOf_.end() ? 0 : it->second;
}

} // namespace mqtt
