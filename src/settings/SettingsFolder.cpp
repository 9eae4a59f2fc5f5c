#include "settings/SettingsFolder.h"

#include "core/SafeFile.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

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

bool IsSystemFolder(const std::string& folder, const std::string& packageLists) {
    std::string path = folder;
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved)) path = resolved;
    static const char* const kSystemTrees[] = {"/usr",       "/bin",      "/sbin",   "/lib",
                                               "/lib32",     "/lib64",    "/libx32", "/snap",
                                               "/nix/store", "/gnu/store"};
    for (const std::string tree : kSystemTrees) {
        if (path.compare(0, tree.size(), tree) == 0 &&
            (path.size() == tree.size() || path[tree.size()] == '/'))
            return true;
    }
    // A package may put the program elsewhere (/opt/...); its file list names the folder.
    DIR* lists = ::opendir(packageLists.c_str());
    if (!lists) return false;
    bool listed = false;
    while (const dirent* entry = ::readdir(lists)) {
        const std::string name = entry->d_name;
        if (name.rfind("chromix3", 0) != 0 || name.size() < 5 ||
            name.compare(name.size() - 5, 5, ".list") != 0)
            continue;
        std::string text;
        std::string refusal;
        // A few dozen lines; one that is not ours in size is not read.
        if (!core::ReadRegularFile(packageLists + "/" + name, 1024 * 1024, text, refusal)) continue;
        if (("\n" + text + "\n").find("\n" + path + "\n") != std::string::npos) listed = true;
    }
    ::closedir(lists);
    return listed;
}

SettingsPlace PlaceSettings(const std::string& programDir, bool programDirTakesFiles,
                            bool systemFolder, const std::string& userFolder, char separator) {
    const std::string beside = Join(programDir, separator, kPanelSettingsFileName);
    if (userFolder.empty() || (programDirTakesFiles && !systemFolder))
        return {programDir, beside, {}, true};
    SettingsPlace place{userFolder, Join(userFolder, separator, kPanelSettingsFileName), {}, false};
    if (!systemFolder && !FileExists(place.path) && FileExists(beside)) place.seedFrom = beside;
    return place;
}

} // namespace settings
