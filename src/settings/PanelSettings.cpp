#include "settings/PanelSettings.h"

#include <algorithm>
#include <utility>

namespace settings {

namespace {

using namespace panel_settings;

bool IsPanelSettings(const IniStore& store) {
    std::string fileType;
    store.GetString(kGeneralInfoSection, kFileTypeKey, fileType);
    return fileType == kFileType; // letter case counts
}

// The value when the key holds a valid integer, otherwise `fallback`.
std::int32_t IntOr(const IniStore& store, const char* section, const char* key,
                   std::int32_t fallback) {
    std::int32_t value = fallback;
    return store.GetInt(section, key, value) == kIniFound ? value : fallback;
}

void ReadLowBits(const IniStore& store, const char* key, std::uint16_t& field) {
    std::int32_t value = 0;
    if (store.GetInt(kCommSection, key, value) == kIniFound) field = std::uint16_t(value);
}

// Absent leaves the path at its default: the dialogs then start in the program directory.
void ReadPath(const IniStore& store, const char* key, std::string& path) {
    std::string value;
    if (store.GetString(kDirectoriesSection, key, value) == kIniFound) path = std::move(value);
}

WindowGeometry ReadWindow(const IniStore& store) {
    WindowGeometry window;
    std::int32_t zoom = 0;
    if (store.GetInt(kPositionSection, kZoomKey, zoom) != kIniFound) return window;
    window.zoomState = zoom;
    if (zoom == kZoomMaximised) return window;
    window.left = IntOr(store, kPositionSection, kLeftKey, window.left);
    window.top = IntOr(store, kPositionSection, kTopKey, window.top);
    window.width = IntOr(store, kPositionSection, kWidthKey, window.width);
    window.height = IntOr(store, kPositionSection, kHeightKey, window.height);
    return window;
}

// Entries are taken in key order; a missing number is skipped, leaving no hole in the list.
std::vector<std::string> ReadServerList(const IniStore& store) {
    std::vector<std::string> list;
    std::int32_t count = 0;
    if (store.GetInt(kServersSection, kServerCountKey, count) != kIniFound) return list;
    const std::int32_t limit = std::min<std::int32_t>(count, std::int32_t(kServerListLength));
    for (std::int32_t k = 1; k <= limit; ++k) {
        std::string entry;
        const std::string key = kServerKeyPrefix + std::to_string(k);
        if (store.GetStringIntoBuffer(kServersSection, key, entry, kServerEntryLength + 1) ==
            kIniFound)
            list.push_back(std::move(entry));
    }
    return list;
}

void ResetLayoutPart(const std::string& programDir, char separator, PanelSettings& settings) {
    const PanelSettings defaults = DefaultPanelSettings(programDir, separator);
    settings.sensorId = defaults.sensorId;
    settings.window = defaults.window;
    settings.paths = defaults.paths;
    settings.serverList = defaults.serverList;
    settings.rows = defaults.rows;
}

IniStore ReadStore(const std::string& path, std::string* refusal = nullptr) {
    IniStore store;
    // An unreadable file leaves the store empty: every key absent.
    store.ReadFromFile(path, refusal);
    return store;
}

} // namespace

WindowPlacement PlacementOf(const WindowGeometry& window) {
    if (!window.zoomState) return WindowPlacement::KeepBuiltGeometry;
    if (*window.zoomState == kZoomMaximised) return WindowPlacement::Maximise;
    return WindowPlacement::SetGeometry;
}

std::string JoinPath(const std::string& directory, char separator, const std::string& name) {
    if (!directory.empty() && directory.back() == separator) return directory + name;
    return directory + separator + name;
}

SideFilePaths DefaultSideFilePaths(const std::string& programDir, char separator) {
    return {JoinPath(programDir, separator, kParameterFileName),
            JoinPath(programDir, separator, kRecordFileName),
            JoinPath(programDir, separator, kHardwareInfoFileName),
            JoinPath(programDir, separator, kTableAttributesFileName)};
}

PanelSettings DefaultPanelSettings(const std::string& programDir, char separator) {
    PanelSettings settings;
    settings.paths = DefaultSideFilePaths(programDir, separator);
    settings.rows = DefaultRowAttributes();
    return settings;
}

void ReadLayoutPart(const IniStore& store, const std::string& programDir, char separator,
                    PanelSettings& settings) {
    ResetLayoutPart(programDir, separator, settings);
    if (!IsPanelSettings(store)) return;
    store.GetStringIntoBuffer(kGeneralInfoSection, kPanelIdKey, settings.sensorId,
                              kSensorIdLength + 1);
    settings.window = ReadWindow(store);
    ReadPath(store, kParameterFileKey, settings.paths.parameterFile);
    ReadPath(store, kRecordFileKey, settings.paths.recordFile);
    ReadPath(store, kHardwareInfoFileKey, settings.paths.hardwareInfoFile);
    ReadPath(store, kTableAttributesFileKey, settings.paths.tableAttributesFile);
    settings.serverList = ReadServerList(store);
    ReadRowAttributes(store, settings.rows); // silently: missing rows keep their default colour
}

void ReadLayoutPart(const std::string& path, const std::string& programDir, char separator,
                    PanelSettings& settings, std::string* refusal) {
    ReadLayoutPart(ReadStore(path, refusal), programDir, separator, settings);
}

void ReadCommunicationPart(const IniStore& store, PanelSettings& settings) {
    settings.comm = CommSettings{};
    if (!IsPanelSettings(store)) return;
    CommSettings& comm = settings.comm;
    ReadLowBits(store, kProtocolKey, comm.protocol);
    ReadLowBits(store, kSerialPortKey, comm.serialPort);
    ReadLowBits(store, kBaudRateKey, comm.baudRateCode);
    store.GetStringIntoBuffer(kCommSection, kServerKey, comm.serverName, kServerNameLength + 1);
    if (store.GetStringIntoBuffer(kCommSection, kTcpPortKey, comm.tcpPortText,
                                  kTcpPortTextLength + 1) != kIniFound)
        comm.tcpPortText = CommSettings{}.tcpPortText;
}

void ReadCommunicationPart(const std::string& path, PanelSettings& settings) {
    ReadCommunicationPart(ReadStore(path), settings);
}

IniStore PanelSettingsStore(const PanelSettings& settings) {
    IniStore store;
    PutFileIdentity(store, kFileType);
    store.PutString(kGeneralInfoSection, kPanelIdKey, settings.sensorId);

    const WindowGeometry& window = settings.window;
    store.PutInt(kPositionSection, kZoomKey, window.zoomState.value_or(kZoomNormal));
    store.PutInt(kPositionSection, kLeftKey, window.left);
    store.PutInt(kPositionSection, kTopKey, window.top);
    store.PutInt(kPositionSection, kWidthKey, window.width);
    store.PutInt(kPositionSection, kHeightKey, window.height);

    store.PutString(kDirectoriesSection, kParameterFileKey, settings.paths.parameterFile);
    store.PutString(kDirectoriesSection, kRecordFileKey, settings.paths.recordFile);
    store.PutString(kDirectoriesSection, kHardwareInfoFileKey, settings.paths.hardwareInfoFile);
    store.PutString(kDirectoriesSection, kTableAttributesFileKey,
                    settings.paths.tableAttributesFile);

    const std::size_t count = std::min(settings.serverList.size(), kServerListLength);
    store.PutInt(kServersSection, kServerCountKey, std::int32_t(count));
    for (std::size_t k = 0; k < count; ++k)
        store.PutString(kServersSection, kServerKeyPrefix + std::to_string(k + 1),
                        settings.serverList[k]);

    const CommSettings& comm = settings.comm;
    store.PutInt(kCommSection, kProtocolKey, comm.protocol);
    store.PutInt(kCommSection, kSerialPortKey, comm.serialPort);
    store.PutInt(kCommSection, kBaudRateKey, comm.baudRateCode);
    store.PutString(kCommSection, kServerKey, comm.serverName);
    store.PutString(kCommSection, kTcpPortKey, comm.tcpPortText);

    PutRowAttributes(store, settings.rows);
    return store;
}

std::string PanelSettingsText(const PanelSettings& settings) {
    return PanelSettingsStore(settings).WriteToText();
}

int WritePanelSettingsFile(const std::string& path, const PanelSettings& settings,
                           std::string* refusal) {
    return PanelSettingsStore(settings).WriteToFile(path, refusal);
}

} // namespace settings
