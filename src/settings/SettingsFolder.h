#pragma once
// Where PanelSettings.cfg and the side files live: beside the program while its folder takes
// files (a build, a copy carried on a stick), else in the user's settings folder, since an
// installed program's folder is read-only and every save there would fail. A folder of the
// system's (/usr/bin and the like) sends them to the user folder even when it can be written
// (by root): a file there would outlive the package and become every user's start.
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

// The folder, with its links followed, is the system's: under /usr, /bin, /sbin, /lib..., the
// snap or store trees, or named by the file list of one of this program's packages in
// `packageLists` (dpkg's info folder), wherever that package put it.
bool IsSystemFolder(const std::string& folder,
                    const std::string& packageLists = "/var/lib/dpkg/info");

// With the program's folder read-only, a settings file beside the program that the user folder
// does not have yet is copied there first (`seedFrom`), so it is what is read; never from a
// system folder, where such a file is a left-over, not a default anyone chose.
SettingsPlace PlaceSettings(const std::string& programDir, bool programDirTakesFiles,
                            bool systemFolder, const std::string& userFolder, char separator);

} // namespace settings
