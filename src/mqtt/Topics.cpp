#include "mqtt/Topics.h"
#include "core/JsonText.h"

#include <cstdio>

namespace mqtt {

using core::JsonString;

std::string TopicLevel(const std::string& name) {
    if (name.empty()) return "_";
    std::string level = name;
    for (char& c : level)
        if (c == '/' || c == '+' || c == '#' || c == '\0') c = '_';
    return level;
}

std::string SensorTopic(const std::string& prefix, const std::string& sensor,
                        const std::string& leaf) {
    return prefix + "/" + TopicLevel(sensor) + "/" + leaf;
}

std::string ClientTopic(const std::string& prefix, const std::string& clientId) {
    return prefix + "/_client/" + TopicLevel(clientId) + "/status";
}

std::string SensorStatusPayload(bool online, const std::string& detail,
                                const std::string& clientId) {
    return std::string("{\"state\":") +
           (online ? "\"online\",\"identification\":" : "\"offline\",\"reason\":") +
           JsonString(detail) + ",\"client\":" + JsonString(clientId) + "}";
}

std::string ClientStatusPayload(bool online, const std::string& reason,
                                const std::vector<std::string>& sensors) {
    std::string out = online ? "{\"state\":\"online\""
                             : "{\"state\":\"offline\",\"reason\":" + JsonString(reason);
    if (online || !sensors.empty()) {
        out += ",\"sensors\":[";
        for (std::size_t i = 0; i < sensors.size(); ++i)
            out += (i ? "," : "") + JsonString(sensors[i]);
        out += "]";
    }
    return out + "}";
}

std::string DroppedPayload(std::uint64_t dropped, std::uint64_t total) {
    return "{\"dropped\":" + std::to_string(dropped) + ",\"total\":" + std::to_string(total) + "}";
}

} // namespace mqtt
