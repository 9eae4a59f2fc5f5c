#include "link/LinkTexts.h"

#include <array>

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

std::string SerialErrorText(int code) {
    switch (code) {
    case -1:
        return "Unknown system error";
    case -2:
        return "Invalid port number";
    case -3:
        return "Port is not open";
    case -4:
        return "Unknown I/0 error";
    case -6:
        return "No serial port found";
    case -7:
        return "Cannot open port";
    case -14:
        return "Invalid Baudrate";
    case -99:
        return "Timeout";
    default:
        return "RS-232 error!";
    }
}

std::string TcpErrorText(int code) {
    static constexpr std::array<const char*, 20> kTexts = {"UnableToRegisterService",
                                                           "UnableToEstablishConnection",
                                                           "ExistingServer",
                                                           "FailedToConnect",
                                                           "ServerNotRegistered",
                                                           "TooManyConversations",
                                                           "ReadFailed",
                                                           "WriteFailed",
                                                           "InvalidParameter",
                                                           "OutOfMemory",
                                                           "TimeOutError",
                                                           "NoConnectionEstablished",
                                                           "GeneralIOErr",
                                                           "ConnectionClosed",
                                                           "UnableToLoadWinsockDLL",
                                                           "IncorrectWinsockDLLVersion",
                                                           "NetworkSubsystemNotReady",
                                                           "ConnectionsStillOpen",
                                                           "DisconnectPending",
                                                           "InfoNotAvailable"};
    if (code <= -1 && code >= -20) return kTexts[static_cast<std::size_t>(-code - 1)];
    return "Connection to server failed";
}

std::string OpenCauseText(OpenCause cause, const std::string& where, const std::string& group) {
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
        return "NO PERMISSION FOR " + where + " (add the user to group " +
               (group.empty() ? std::string("dialout") : group) + ")";
    case OpenCause::DeviceBusy:
        return "SERIAL DEVICE " + where + " IS IN USE BY ANOTHER PROGRAM";
    case OpenCause::OtherSerial:
        return "CANNOT OPEN SERIAL DEVICE " + where;
    }
    return {};
}

} // namespace linktext

} // namespace comm
