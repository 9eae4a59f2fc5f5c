#pragma once
// Operator texts of the link, exactly as the operator knows them.
#include <cstddef>
#include <string>

namespace comm {

namespace linktext {

inline constexpr const char* kTimeout =
    "TIMEOUT! \nNO DATA RECEIVED! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. "
    "\nTRY TO CONNECT AGAIN!";
// The port reported an error while the program waited for a frame the sensor sends unasked.
inline constexpr const char* kPortErrorWhileWaiting =
    "TIMEOUT! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. \nTRY TO CONNECT "
    "AGAIN!";
inline constexpr const char* kBadHeader = "ATTENTION! \nRECEIVED HEADER FRAME IS INCORRECT!";
inline constexpr const char* kBadData = "ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!";
inline constexpr const char* kInvalidOrder =
    "INVALIDE ORDER NUMBER!\nVERIFY PC AND SENSOR SOFTWARE!";
inline constexpr const char* kControlUnitError =
    "COMMUNICATION ERROR ON CONTROL UNIT!\nYOU MAY HAVE TO REDUCE THE BAUDRATE!";
inline constexpr const char* kServerClosed = "SERVER HAS CLOSED CONNECTION!";
// A serial device that disappears while open (adapter pulled, pseudo-terminal closed).
inline constexpr const char* kSerialLost = "SERIAL PORT HAS BEEN CLOSED BY THE SYSTEM!";
inline constexpr const char* kStatusTimeout = "TIMEOUT!";
// Status line when an exchange was asked for while another one still waits for its reply.
inline constexpr const char* kExchangeBusy = "BUSY! AN EXCHANGE IS STILL WAITING FOR ITS REPLY.";

// Added to the time-out text when there was no open link to send on.
inline constexpr const char* kLinkNotOpen = "\nTHE LINK IS NOT OPEN.";

// An intact reply to another order than the one sent (a reply that came too late for its own).
std::string OtherOrderText(int replyCode, int askedOrder);
// A reply of the order asked whose data length is not the request's: it answers another request.
std::string OtherLengthText(int order, std::size_t dataBytes, std::size_t expectedBytes);
// The protocol monitor's note on a frame dropped while the link proves it is in step again.
inline constexpr const char* kEarlierFrameDropped = "DROPPED: AN EARLIER REQUEST'S";

// An error reply whose status word is neither 1 nor 2.
std::string UnknownErrorReplyText(int status);
// What an error reply with this status tells the operator.
std::string ErrorReplyText(int status);

// The cause a status line can name in one line: a message's first line, with the second when
// the first is only a word of alarm ("TIMEOUT!", "ATTENTION!").
std::string FailureCause(const std::string& message);

// The cause of a failed open in the operator's words, with the address.
enum class OpenCause {
    None,
    Refused,
    NoSuchHost,
    NoAnswer,
    NetworkUnreachable,
    NoAddress,
    OtherTcp,
    NoSuchDevice,
    NoPermission,
    DeviceBusy,
    OtherSerial
};
// `where`: "host:port" or the device path; `hint`: what would give the user the device (see
// PermissionHint), added in brackets.
std::string OpenCauseText(OpenCause cause, const std::string& where, const std::string& hint = {});
// What gives a user a device it may not open, from the device's mode bits, group and owner:
// membership of the group only when the group may read and write it.
std::string PermissionHint(unsigned mode, const std::string& group, const std::string& owner);

} // namespace linktext

} // namespace comm
