#pragma once
// What waits to go to the broker. Measurements wait in a queue of fixed size: when it is full
// the oldest one gives way, so a consumer gets the newest values after an outage, and each one
// that gave way is counted against its sensor until the count is reported. A sensor's status
// is a state, not an event: only the newest waits, outside the queue, and none is ever lost.
// Standard library only.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>

namespace mqtt {

struct OutMessage {
    enum class Kind { Measurement, Status, Dropped };
    Kind kind = Kind::Measurement;
    std::string sensor;
    std::string payload;
    std::uint64_t count = 0; // of a drop report: how many it tells
};

class OutQueue {
public:
    explicit OutQueue(std::size_t capacity) : capacity_(capacity) {}

    void PushMeasurement(const std::string& sensor, std::string json);
    void SetStatus(const std::string& sensor, std::string payload);
    // A message taken out and not handed on goes back to the front, as it was.
    void PutBack(OutMessage message);
    // Counts a measurement lost after it left the queue (one the connection took down with it).
    void CountLost(const std::string& sensor);

    // Statuses first, then the drop reports, then the measurements in their order.
    std::optional<OutMessage> Next();

    bool Empty() const { return statuses_.empty() && unreported_.empty() && queue_.empty(); }
    std::size_t Queued() const { return queue_.size(); }
    std::uint64_t Dropped() const { return dropped_; }
    std::uint64_t DroppedOf(const std::string& sensor) const;

private:
    std::size_t capacity_;
    std::deque<OutMessage> queue_;
    std::map<std::string, std::string> statuses_;
    std::map<std::string, std::uint64_t> unreported_;
    std::map<std::string, std::uint64_t> droppedOf_;
    std::uint64_t dropped_ = 0;
};

} // namespace mqtt
