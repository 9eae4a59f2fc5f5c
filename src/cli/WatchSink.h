#pragma once
// Where `chromix3-cli watch` sends what it learns about each sensor: the console, an MQTT broker,
// or both. The watch loop calls these on its own (the main) thread.
#include <string>

namespace cli {

class WatchSink {
public:
    virtual ~WatchSink() = default;
    // One measurement of the named sensor as one JSON object, without a line end (the same
    // object `--format json` prints on a line).
    virtual void Measurement(const std::string& sensor, const std::string& json) = 0;
    // The sensor answered after a start or a failure (`detail`: its identification), or it
    // failed or went away (`detail`: the reason, in the words the error messages use).
    virtual void Status(const std::string& sensor, bool online, const std::string& detail) = 0;
    // Before the process ends: push out what is held, waiting at most `timeoutMs`.
    virtual void Flush(int timeoutMs) = 0;
};

} // namespace cli
