#include "mqtt/Topics.h"

#include <cstdio>

namespace mqtt {

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

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
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
