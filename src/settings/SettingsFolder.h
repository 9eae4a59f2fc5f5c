#pragma once
// Where PanelSettings.cfg and the side files live: beside the program while its folder takes
// files (a build, a copy carried on a stick), else in the user's settings folder, since an
// installed program's folder is read-only and every save there would fail.
#include <string>

namespace settings {

inline constexpr const char* kPanelSettingsFileName = "PanelSettings.cfg";

struct SettingsPlace {
    std::string folder;   // the settings file's folder, where the side files go by default
    std::string path;     // the settings file, read at start-up and written
    std::string seedFrom; // a settings file beside the program to begin with, or empty
    bool besideProgram = true;
};

// $XDG_CONFIG_HOME/chromix3, or ~/.config/chromix3 (either of them null or empty: not set);
// empty when neither is known.
std::string UserSettingsFolder(const char* configHome, const char* home);

// The folder can be written: its mode allows it, which counts even for root, and the system
// agrees.
bool FolderTakesFiles(const std::string& folder);

// With the program's folder read-only, a settings file beside the program that the user folder
// does not have yet is copied there first (`seedFrom`), so it is what is read.
SettingsPlace PlaceSettings(const std::string& programDir, bool programDirTakesFiles,
                            const std::string& userFolder, char separator);

} // namespace settings
