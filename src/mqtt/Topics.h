#pragma once
// Topic names and the JSON payloads of the broker's side: what a consumer subscribes to and
// reads. Standard library only.
#include <cstdint>
#include <string>
#include <vector>

namespace mqtt {

// A name as one topic level: '/' would split it into two levels and '+' or '#' would make it
// a wildcard no one can publish to, so each becomes '_'; an empty name becomes "_".
std::string TopicLevel(const std::string& name);

// <prefix>/<sensor>/<leaf>: "measurement", "status" or "dropped".
std::string SensorTopic(const std::string& prefix, const std::string& sensor,
                        const std::string& leaf);
// <prefix>/_client/<client id>/status: the publishing process itself, carried by its will.
std::string ClientTopic(const std::string& prefix, const std::string& clientId);

// {"state":"online","identification":…,"client":…} or {"state":"offline","reason":…,…}
std::string SensorStatusPayload(bool online, const std::string& detail,
                                const std::string& clientId);
// {"state":"online","sensors":[…]} or {"state":"offline","reason":…} (the will has no list).
std::string ClientStatusPayload(bool online, const std::string& reason,
                                const std::vector<std::string>& sensors);
// {"dropped":N,"total":T}: N lost since the last report, T since the start.
std::string DroppedPayload(std::uint64_t dropped, std::uint64_t total);

} // namespace mqtt
