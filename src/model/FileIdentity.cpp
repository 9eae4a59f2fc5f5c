#include "model/FileIdentity.h"

namespace settings {

using namespace file_identity;

void PutFileIdentity(IniStore& store, std::string_view fileType) {
    store.PutString(kGeneralInfoSection, kFileTypeKey, fileType);
    store.PutString(kGeneralInfoSection, kScopeVersionKey, kScopeVersion);
}

IdentifiedIniFile ReadIdentifiedIniFile(const std::string& path) {
    IdentifiedIniFile file;
    file.readResult = file.store.ReadFromFile(path, &file.refusal);
    file.store.GetString(kGeneralInfoSection, kFileTypeKey, file.fileType);
    file.store.GetString(kGeneralInfoSection, kScopeVersionKey, file.scopeVersion);
    return file;
}

} // namespace settings
