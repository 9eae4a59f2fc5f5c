#pragma once
// The one record of the program's state. One instance lives for the whole run and is passed by
// reference; tests make their own. Grouped by subsystem; widgets are not in here.
#include "protocol/MeasurementFrame.h"
#include "protocol/ParameterImage.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace core {

// One 24-bit colour (0xRRGGBB) per teach row.
using RowColours = std::array<std::uint32_t, 31>;

enum CommProtocol : std::uint16_t { kRs232 = 0, kTcpIp = 1 };
enum MemoryTarget : std::uint16_t { kRam = 1, kEeprom = 2, kFile = 3 };

// Whether a loop runs, and whether it is to end, is the command gate's (core/CommandGate.h).
struct FlagState {
    std::uint16_t pendingSend = 0;
    std::uint16_t pendingGet = 0;
    std::uint16_t linkGood = 0; // as the last exchange left the link
    // Failures reported since the start: a loop tells its own failure from an earlier command's.
    std::uint32_t failuresReported = 0;
    std::int32_t teachTolerance = 0;
};

// The link as the operator chose it on the communication page, and what the sensor told of
// itself. The link's buffers and frame fields are the link's own (comm/SensorLink.h).
struct LinkState {
    std::uint16_t protocol = kRs232;
    std::uint16_t serialPortNumber = 1;
    std::string serialDevicePath; // when not empty, opened instead of the numbered port
    std::uint16_t baudRateCode = 4;
    std::string serverName;
    std::string tcpPortText = "10001";
    std::int32_t tcpPortNumber = 10001;
    std::string firmwareId;              // at most 71 characters
    std::vector<std::string> serverList; // most recently used first, at most 10
};

struct ParamState {
    protocol::ParameterImage image;
    std::uint16_t memoryTarget = kRam;
    std::uint16_t paraSet = 0;
    std::string sensorId; // operator's text from the connection page
};

struct LiveState {
    protocol::MeasurementFrame frame;
    std::uint32_t liveColour = 0;       // 0xRRGGBB
    std::uint64_t measurementCount = 0; // measurements shown since start-up
};

// One recorded point of the recorded-value teach panel: X, Y and INT (or s, i and M).
using TeachPoint = std::array<double, 3>;
inline constexpr int kTeachPointCapacity = 60000;

struct TeachState {
    std::uint16_t selectedRow = 0; // the No. field: teach row 0..30
    // Allocated once with the state: recording never allocates. Records at and above the
    // counter are left over from earlier recordings.
    std::vector<TeachPoint> recordedPoints = std::vector<TeachPoint>(kTeachPointCapacity);
    std::uint16_t recordCount = 0;
};

// White calibration and offsets as the pages last took them.
struct CalibrationState {
    std::array<std::uint16_t, 3> factors{1024, 1024, 1024}; // red, green, blue; 1024 = 1.0
    std::uint16_t setValue = 0;
    std::uint16_t maxDelta = 0;
    std::array<std::uint16_t, 3> offsets{};
};

// The last scope capture, in time order: three channels and the digital states.
struct ScopeState {
    std::array<std::array<std::uint16_t, 128>, 4> buffer{};
    std::uint16_t triggerIndex = 0;
    std::uint16_t scanFlag = 0;   // 1 while a scan waits for its blocks
    double cycleMilliseconds = 0; // the last cycle-time measurement; 0 until one succeeds
};

struct SettingsState {
    // The settings file's folder, where the side files go by default: the program's own, or
    // the user's settings folder when the program's folder cannot be written.
    std::string programDir;
    std::string panelSettingsPath;
    std::string parameterFilePath;
    std::string tableAttributesPath;
    std::string hardwareInfoPath;
    std::string recordFilePath;
    RowColours rowColours{}; // 0xRRGGBB per teach row
};

struct AppState {
    FlagState flags;
    LinkState link;
    ParamState params;
    LiveState live;
    TeachState teach;
    ScopeState scope;
    CalibrationState calibration;
    SettingsState settings;
};

} // namespace core
