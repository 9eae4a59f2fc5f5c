#include "commpage/LinkHelp.h"

namespace comm {

namespace {

using core::kHelpTitle;
using core::NamedHelp;

// Texts are shown byte for byte, so trailing blanks and spelling are part of them.
constexpr NamedHelp kLinkHelpTable[] = {
    {"CBF_ButtonTryToConnect",
     {kHelpTitle, "Opens the selected connection (RS232 or TCP/IP) and reads the firmware "
                  "identification of the sensor. \n"
                  "Then the parameters are transferred from the sensor to the PC-User-Interface."}},
    {"CBF_ButtonAccept",
     {kHelpTitle, "Accepts the communication settings and saves them in the panel settings file. \n"
                  "The parameter TAB-window will be activated."}},
    {"CBF_ButtonChangeBaudrate",
     {kHelpTitle,
      "Sends the selected baudrate to the sensor and connects again with the new baudrate. \n"
      "Confirm the new baudrate with EEPROM and SEND."}},
    {"CBF_ButtonGenHwInfoFile",
     {kHelpTitle, "Generates a file with the identification, hardware information, calibration "
                  "data and parameters of the sensor. \n"
                  "Please send this file to your supplier."}},
    {"CBF_EditCommunicationProtocol",
     {kHelpTitle, "Select the communication protocol: RS232 or TCP/IP. \n"
                  "Press TRY TO CONNECT to open the new connection."}},
    {"CBF_EditSelectComPort",
     {kHelpTitle, "Select the serial port (COM) to which the sensor is connected. \n"
                  "Press TRY TO CONNECT to open the port."}},
    {"CBF_EditSelectBaudrate",
     {kHelpTitle, "Select the baudrate (9600 ... 115200). \n"
                  "Press CHANGE BAUDRATE to send the new baudrate to the sensor."}},
    {"CBF_StringIpAdress",
     {kHelpTitle, "Enter the name or the IP address of the sensor (TCP/IP server). \n"
                  "The last 10 entries can be selected from the list."}},
    {"CBF_StringPortNumber",
     {kHelpTitle, "Enter the TCP port number of the sensor (default 10001)."}},
    {"CBF_EditID",
     {kHelpTitle, "Enter an identification text for the sensor (max. 99 characters). \n"
                  "It is displayed on the RECORDER page and written into the record file."}},
    {"CBF_ButtonMonitor",
     {kHelpTitle, "Opens or closes the protocol monitor: every frame to and from the sensor with "
                  "its time, its bytes and their meaning. \n"
                  "Failed frames are marked with ! and shown in red."}},
    {"CBF_ButtonMonitorPause",
     {kHelpTitle, "Holds the monitor view. The frames are still kept and appear when the view "
                  "continues."}},
    {"CBF_ButtonMonitorClear", {kHelpTitle, "Removes all frames from the monitor."}},
    {"CBF_ButtonMonitorSave",
     {kHelpTitle, "Saves all frames of the monitor (up to the last 10000) in a text file."}},
    {"CBF_ButtonMonitorClose",
     {kHelpTitle, "Closes the protocol monitor. Frames are no longer recorded while it is "
                  "closed."}},
};

} // namespace

std::span<const NamedHelp> LinkHelp() {
    return kLinkHelpTable;
}

} // namespace comm
