#include "link/LinkTexts.h"

#include <cstdio>
#include <utility>

namespace comm {

namespace linktext {

std::string OtherOrderText(int replyCode, int askedOrder) {
    return std::string(kBadHeader) + "\nIT ANSWERS ORDER " + std::to_string(replyCode) +
           ", NOT ORDER " + std::to_string(askedOrder) + ".";
}

std::string OtherLengthText(int order, std::size_t dataBytes, std::size_t expectedBytes) {
    return std::string(kBadHeader) + "\nITS " + std::to_string(dataBytes) +
           " DATA BYTES ARE NOT THE " + std::to_string(expectedBytes) + " ORDER " +
           std::to_string(order) + " ASKS FOR.";
}

std::string UnknownErrorReplyText(int status) {
    return "ERROR REPLY WITH UNKNOWN STATUS " + std::to_string(status) +
           "!\nVERIFY PC AND SENSOR SOFTWARE!";
}

std::string ErrorReplyText(int status) {
    if (status == 1) return kInvalidOrder;
    if (status == 2) return kControlUnitError;
    return UnknownErrorReplyText(status);
}

std::string FailureCause(const std::string& message) {
    const auto line = [&](std::size_t from) {
        const std::size_t end = message.find('\n', from);
        std::string text = message.substr(from, end == std::string::npos ? end : end - from);
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        return std::pair{text, end};
    };
    const auto [first, end] = line(0);
    if ((first == "TIMEOUT!" || first == "ATTENTION!") && end != std::string::npos)
        return first + " " + line(end + 1).first;
    return first;
}

std::string PermissionHint(unsigned mode, const std::string& group, const std::string& owner) {
    if (!group.empty() && (mode & 060) == 060) return "add the user to group " + group;
    char octal[8];
    std::snprintf(octal, sizeof octal, "%04o", mode & 07777);
    if (!owner.empty()) return "only " + owner + " may use it: mode " + octal;
    return {};
}

std::string OpenCauseText(OpenCause cause, const std::string& where, const std::string& hint) {
    switch (cause) {
    case OpenCause::None:
        return {};
    case OpenCause::Refused:
        return "CONNECTION REFUSED BY " + where + " (no server listens on that port)";
    case OpenCause::NoSuchHost:
        return "NO SUCH HOST " + where;
    case OpenCause::NoAnswer:
        return "NO ANSWER FROM " + where + " (no sensor at that address, or a firewall)";
    case OpenCause::NetworkUnreachable:
        return "NETWORK UNREACHABLE FOR " + where;
    case OpenCause::NoAddress:
        return "NO SERVER OR PORT TO CONNECT TO: " + where;
    case OpenCause::OtherTcp:
        return "CONNECTION TO " + where + " FAILED";
    case OpenCause::NoSuchDevice:
        return "NO SUCH SERIAL DEVICE " + where;
    case OpenCause::NoPermission:
        return "NO PERMISSION FOR " + where + (hint.empty() ? "" : " (" + hint + ")");
    case OpenCause::DeviceBusy:
        return "SERIAL DEVICE " + where + " IS IN USE BY ANOTHER PROGRAM";
    case OpenCause::OtherSerial:
        return "CANNOT OPEN SERIAL DEVICE " + where;
    }
    return {};
}

} // namespace linktext

} // namespace comm
