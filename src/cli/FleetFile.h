#pragma once
// The sensors `watch` measures: named on the command line or listed in a fleet file. Standard
// library only.
//
// Address:  tcp:HOST[:PORT]  (port 10001 unless given)  or  serial:DEVICE[@BAUD]  (115200).
// Option:   --sensor NAME=ADDRESS[,interval=SECONDS]
// File:     one sensor a line, NAME ADDRESS [INTERVAL], separated by blanks; '#' begins a
//           comment, blank lines are passed over.
// A name is 1 to 64 letters, digits, '_', '-' or '.', unique in the fleet; an interval is in
// seconds, 0 meaning as fast as the sensor answers. A line or option with a control character
// (a tab aside) is refused, naming the character escaped and its column.
#include "cli/CliOptions.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct WatchTarget {
    std::string name;
    LinkChoice link;
    std::optional<double> interval; // nothing: the watch's --interval
};

bool ValidSensorName(const std::string& name);
// `text` fit for a message: control characters and bytes beyond ASCII escaped (\x1b), and a
// long one cut, with its length.
std::string ShownText(const std::string& text);
// Nothing, with `why` set, for an address of neither form.
std::optional<LinkChoice> ParseSensorAddress(const std::string& text, std::string& why);
std::optional<WatchTarget> ParseSensorOption(const std::string& text, std::string& why);
// Every sensor of the file's text, or none with `why` naming the first wrong line.
std::vector<WatchTarget> ParseFleet(const std::string& text, std::string& why);
// The text of an interval in seconds: a number, not below 0.
std::optional<double> ParseInterval(const std::string& text);

} // namespace cli
