#include "settings/SettingsFolder.h"

#include <sys/stat.h>
#include <unistd.h>

namespace settings {

namespace {

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string Join(const std::string& folder, char separator, const std::string& name) {
    if (folder.empty() || folder.back() == separator) return folder + name;
    return folder + separator + name;
}

} // namespace

std::string UserSettingsFolder(const char* configHome, const char* home) {
    // A relative XDG_CONFIG_HOME is to be ignored.
    if (configHome && configHome[0] == '/') return Join(configHome, '/', "chromix3");
    if (home && home[0] != '\0') return Join(home, '/', ".config/chromix3");
    return {};
}

bool FolderTakesFiles(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return ::access(folder.c_str(), W_OK) == 0;
}

SettingsPlace PlaceSettings(const std::string& programDir, bool programDirTakesFiles,
                            const std::string& userFolder, char separator) {
    const std::string beside = Join(programDir, separator, kPanelSettingsFileName);
    if (programDirTakesFiles || userFolder.empty()) return {programDir, beside, {}, true};
    SettingsPlace place{userFolder, Join(userFolder, separator, kPanelSettingsFileName), {}, false};
    if (!FileExists(place.path) && FileExists(beside)) place.seedFrom = beside;
    return place;
}

} // namespace settings
