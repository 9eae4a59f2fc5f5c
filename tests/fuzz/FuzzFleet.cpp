// Arbitrary text as a fleet file and as --sensor options. Stops on a sanitizer report, on a
// sensor taken with a name the rules refuse or an address with a control character, on a
// refusal that is not one printable line, or when a fleet taken once is not taken again the
// same from its own lines.
#include "cli/FleetFile.h"
#include "link/SerialDevices.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// One line of printable ASCII: what a refusal may put on a terminal or in a log.
void RequireOneShownLine(const std::string& text) {
    for (const unsigned char c : text)
        Require(c >= 0x20 && c < 0x7f);
}

void RequireTarget(const cli::WatchTarget& target) {
    Require(cli::ValidSensorName(target.name));
    Require(target.name.size() >= 1 && target.name.size() <= 64);
    for (const unsigned char c : target.link.host + target.link.device)
        Require(c >= 0x20 && c != 0x7f);
    if (target.interval) Require(*target.interval >= 0);
}

std::string AddressOf(const cli::WatchTarget& target) {
    if (!target.link.tcp)
        return "serial:" + target.link.device + "@" +
               std::to_string(comm::BaudRateOfCode(target.link.baudCode));
    return "tcp:" + target.link.host + ":" + std::to_string(target.link.port);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string why;
    const auto fleet = cli::ParseFleet(text, why);
    if (fleet.empty()) {
        RequireOneShownLine(why);
    } else {
        std::string again;
        for (const auto& target : fleet) {
            RequireTarget(target);
            again += target.name + " " + AddressOf(target) + "\n";
        }
        std::string whyAgain;
        const auto second = cli::ParseFleet(again, whyAgain);
        Require(second.size() == fleet.size());
        for (std::size_t i = 0; i < fleet.size(); ++i) {
            Require(second[i].name == fleet[i].name);
            Require(AddressOf(second[i]) == AddressOf(fleet[i]));
        }
    }
    why.clear();
    if (const auto option = cli::ParseSensorOption(text, why))
        RequireTarget(*option);
    else
        RequireOneShownLine(why);
    return 0;
}
