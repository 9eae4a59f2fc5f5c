#pragma once
// What went wrong with a sensor, told to a shell: the cause in lower case with the sensor's
// address, without the window's advice to press a button. The link reports in the window's
// texts (comm's linktext); these turn one into the other. Standard library only.
#include <string>

namespace cli {

// `report`: what the link reported (a linktext text); `where`: "host:port" or the device.
std::string ShellReport(const std::string& report, const std::string& where,
                        double replyLimitSeconds);
// An operator text that already names the address (the cause of a failed open) in lower case,
// the address left as written: a device path may hold capitals.
std::string ShellWords(const std::string& text, const std::string& where);

} // namespace cli
