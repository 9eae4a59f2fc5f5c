#pragma once
// Every settings and side file begins with a GENERAL INFO section that names its kind and the
// program version that wrote it; readers compare both before they take the file over.
#include "model/IniStore.h"

#include <string>
#include <string_view>

namespace settings {

namespace file_identity {

inline constexpr const char* kGeneralInfoSection = "GENERAL INFO";
inline constexpr const char* kFileTypeKey = "FILE TYPE:";
inline constexpr const char* kScopeVersionKey = "SCOPE VERSION:";
inline constexpr const char* kScopeVersion = "CHROMIX3-Varev V4.2";
// Asked before a file of another version is taken over.
inline constexpr const char* kScopeVersionQuestion =
    "Selected file and scope version do not match! \nDo you want to proceed anyway?";

} // namespace file_identity

// Puts FILE TYPE: and SCOPE VERSION: into GENERAL INFO.
void PutFileIdentity(IniStore& store, std::string_view fileType);

// A file read into a store, with its identification, so the caller can ask before it takes the
// contents over. An unreadable file gives an empty store and empty identification texts.
struct IdentifiedIniFile {
    IniStore store;
    int readResult = kIniOk;
    std::string refusal;      // why a path that is no regular file was not read, for the operator
    std::string fileType;     // empty when absent
    std::string scopeVersion; // empty when absent

    bool VersionMatches() const { return scopeVersion == file_identity::kScopeVersion; }
};

// The identification texts are compared whole (case counts), so they are read without a limit.
IdentifiedIniFile ReadIdentifiedIniFile(const std::string& path);

} // namespace settings
