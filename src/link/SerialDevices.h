#pragma once
// How a serial port number names a device on this platform:
//   1..32    /dev/ttyS0..31     (built-in ports, COM1 = port 1)
//   33..64   /dev/ttyUSB0..31   (USB adapters)
//   65..96   /dev/ttyACM0..31   (USB modems and boards)
//   101..356 /dev/pts/0..255    (pseudo-terminals, e.g. the simulator's --pty)
// Any other number names no device.
#include "link/LinkTexts.h"

#include <string>

namespace comm {

// Why a serial device did not open, as far as the system tells: a refused permission and a
// device another program holds both come as a permission error; the device's mode then tells
// which. `hint` is what would give the user a device it may not use.
linktext::OpenCause SerialOpenCause(bool notFound, bool permissionError, const std::string& device,
                                    std::string& hint);

std::string SerialDeviceName(int portNumber);
// The port number of a device path (after links are resolved), or 0 when it has none.
int SerialPortNumberOfDevice(const std::string& devicePath);
// What the COM PORT list shows of a port: "COMn" when it has a number, the device, and the USB
// description and serial number where the system knows them.
std::string SerialPortLabel(int portNumber, const std::string& device,
                            const std::string& description, const std::string& serialNumber);
// What the operator typed into the COM PORT field: a device path (beginning with '/'), or
// "COMn" for port n. `portNumber` is 0 and `devicePath` empty for anything else.
struct TypedSerialPort {
    int portNumber = 0;
    std::string devicePath;
};
TypedSerialPort ParseTypedSerialPort(const std::string& text);
// "0".."4" code to baud; any other code means 115200.
int BaudRateOfCode(int code);
// Decimal value of the leading digits of a TCP port text; no digits gives 0.
int TcpPortNumberOfText(const std::string& text);

} // namespace comm
