#pragma once
// The panel settings file, PanelSettings.cfg in the program directory: what the operator set up
// between two runs (window placement, side-file paths, sensor identification, recent servers,
// communication settings, row attributes). Read in two parts at start-up, written whole at close
// and at ACCEPT. The panels copy the values to and from their controls.
#include "link/LinkSettings.h"
#include "model/FileIdentity.h"
#include "settings/TableAttributes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace settings {

namespace panel_settings {

inline constexpr const char* kFileName = "PanelSettings.cfg";
inline constexpr const char* kFileType = "Panel Settings";

using file_identity::kFileTypeKey;
using file_identity::kGeneralInfoSection;
using file_identity::kScopeVersion;
using file_identity::kScopeVersionKey;
inline constexpr const char* kPanelIdKey = "PANEL ID:";

inline constexpr const char* kPositionSection = "PANEL POSITION";
inline constexpr const char* kZoomKey = "MAINPANEL FULLSCREEN";
inline constexpr const char* kLeftKey = "MAINPANEL LEFT";
inline constexpr const char* kTopKey = "MAINPANEL TOP";
inline constexpr const char* kWidthKey = "MAINPANEL WIDTH";
inline constexpr const char* kHeightKey = "MAINPANEL HEIGHT";

inline constexpr const char* kDirectoriesSection = "DIRECTORIES";
inline constexpr const char* kParameterFileKey = "PARAMETER FILE";
inline constexpr const char* kRecordFileKey = "RECORDER FILE";
inline constexpr const char* kHardwareInfoFileKey = "HARDWARE INI FILE";
inline constexpr const char* kTableAttributesFileKey = "TABLE ATTRIBUTES FILE";

inline constexpr const char* kServersSection = "IP ADDRESSES";
inline constexpr const char* kServerCountKey = "LIST ITEMS";
inline constexpr const char* kServerKeyPrefix = "IP ADDR ";

inline constexpr const char* kCommSection = "COMMUNICATION SETTINGS";
inline constexpr const char* kProtocolKey = "COMPROTOCOL";
inline constexpr const char* kSerialPortKey = "COMPORT";
inline constexpr const char* kBaudRateKey = "BAUDRATE";
inline constexpr const char* kServerKey = "IP ADRESS";
inline constexpr const char* kTcpPortKey = "PORT NUMBER";

// Default names of the side files in the program directory.
inline constexpr const char* kParameterFileName = "Parameter.ini";
inline constexpr const char* kRecordFileName = "RecordFile.dat";
inline constexpr const char* kHardwareInfoFileName = "HardwareInitialFile.ini";
inline constexpr const char* kTableAttributesFileName = "TableAttributes.ini";

// Field lengths in characters.
inline constexpr std::size_t kSensorIdLength = 99;
inline constexpr std::size_t kServerNameLength = 255;
inline constexpr std::size_t kTcpPortTextLength = 31;
inline constexpr std::size_t kServerEntryLength = 1023;
inline constexpr std::size_t kServerListLength = 10;

// Zoom states of the main panel as stored.
inline constexpr std::int32_t kZoomNormal = 0;
inline constexpr std::int32_t kZoomMinimised = 1;
inline constexpr std::int32_t kZoomMaximised = 2;

} // namespace panel_settings

// The main panel's zoom state and normal geometry in pixels.
struct WindowGeometry {
    // Absent when the file did not say: the panel then keeps the geometry it was built with.
    std::optional<std::int32_t> zoomState;
    std::int32_t left = 10;
    std::int32_t top = 40;
    std::int32_t width = 790;
    std::int32_t height = 548;
};

// What the panel does with a geometry read at start-up. Only a maximised state is restored; a
// minimised or unknown one places the panel normally.
enum class WindowPlacement { KeepBuiltGeometry, Maximise, SetGeometry };
WindowPlacement PlacementOf(const WindowGeometry& window);

// Last-used side-file paths. Of all but the record file only the directory is used, as the start
// directory of its file dialog.
struct SideFilePaths {
    std::string parameterFile;
    std::string recordFile;
    std::string hardwareInfoFile;
    std::string tableAttributesFile;
};

using CommSettings = comm::LinkSettings;

struct PanelSettings {
    // Layout part.
    std::string sensorId;
    WindowGeometry window;
    SideFilePaths paths;
    std::vector<std::string> serverList; // most recently used first
    RowAttributes rows;
    // Communication part.
    CommSettings comm;
};

// `directory` + `separator` + `name`, without doubling a separator that ends the directory.
std::string JoinPath(const std::string& directory, char separator, const std::string& name);
// The four side files under their default names in the program directory.
SideFilePaths DefaultSideFilePaths(const std::string& programDir, char separator);
// Everything at its default: geometry unknown, default paths, empty identification and server
// list, the default row colours with empty row texts, RS-232 port 1 at 115200, "10001".
PanelSettings DefaultPanelSettings(const std::string& programDir, char separator);

// Start-up reads. Each sets only its own part of `settings`: first to the defaults, then to what
// the file holds, key by key. A missing or unreadable file, or one whose FILE TYPE is not exactly
// "Panel Settings", leaves the defaults without a word; a path that is no regular file is not
// read at all, and `refusal` (when given) says why.
void ReadLayoutPart(const std::string& path, const std::string& programDir, char separator,
                    PanelSettings& settings, std::string* refusal = nullptr);
void ReadCommunicationPart(const std::string& path, PanelSettings& settings);
// The same from a store already read.
void ReadLayoutPart(const IniStore& store, const std::string& programDir, char separator,
                    PanelSettings& settings);
void ReadCommunicationPart(const IniStore& store, PanelSettings& settings);

// The whole file: as a store, as text, and written to `path` through a temporary file, replacing
// it. The write result is the INI store's (negative when nothing was written); the program goes on
// either way.
IniStore PanelSettingsStore(const PanelSettings& settings);
std::string PanelSettingsText(const PanelSettings& settings);
int WritePanelSettingsFile(const std::string& path, const PanelSettings& settings,
                           std::string* refusal = nullptr);

} // namespace settings
