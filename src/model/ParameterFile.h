#pragma once
// The parameter file: a GENERAL INFO identification, the PARAMETER section with the 17 parameter
// words and one TEACH VECTOR section per table row, in INI syntax. The section writers are also
// used by the hardware info file.
#include "model/FileIdentity.h"
#include "model/IniStore.h"
#include "protocol/ParameterImage.h"

#include <string>

namespace params {

// The parameter file is written and read through the settings subsystem's INI store.
using settings::IdentifiedIniFile;
using settings::IniStore;
namespace file_identity = settings::file_identity;

// In a namespace of their own: the other settings files share some of these texts.
namespace parameter_file {

using file_identity::kFileTypeKey;
using file_identity::kGeneralInfoSection;
using file_identity::kScopeVersion;
using file_identity::kScopeVersionKey;
inline constexpr const char* kParameterFileType = "Parameter File";
inline constexpr const char* kParameterSection = "PARAMETER";

// Operator texts of loading a parameter file.
inline constexpr const char* kNotAParameterFileQuestion =
    "Selected file is not a parameter file! \nDo you want to proceed anyway?";
using file_identity::kScopeVersionQuestion;
inline constexpr const char* kNoParameterReadText = "No parameter where read!";
inline constexpr const char* kMissingListTitle = "Attention!";

} // namespace parameter_file

// Puts the 17 PARAMETER keys, in word order.
void PutParameterSection(IniStore& store, const protocol::ParameterImage& image);
// Puts "TEACH VECTOR 0" to "TEACH VECTOR 30", each with CELL 0..CELL 4, GROUP and HOLD. The
// reserved word of the rows is not stored.
void PutTeachVectorSections(IniStore& store, const protocol::ParameterImage& image);

// Read the same keys into `image`, storing the low 16 bits of each value. A key that is absent or
// not an integer takes its default and is listed; the result is the text for the operator, empty
// when nothing was missing. The rows' reserved words are left as they were.
std::string GetParameterSection(const IniStore& store, protocol::ParameterImage& image);
std::string GetTeachVectorSections(const IniStore& store, protocol::ParameterImage& image);

// Writes GENERAL INFO, PARAMETER and the TEACH VECTOR sections to `path`, replacing the file.
// Returns the INI store's result (negative when the file could not be written; `refusal`, when
// given, says why a path that is no regular file was left untouched).
int WriteParameterFileTo(const std::string& path, const protocol::ParameterImage& image,
                         std::string* refusal = nullptr);

// A parameter file read into a store, with its identification, so that the caller can ask
// before it takes the sections over. An unreadable file gives an empty store.
struct ParameterFileContents : IdentifiedIniFile {
    bool TypeMatches() const { return fileType == parameter_file::kParameterFileType; }
};

ParameterFileContents ReadParameterFileFrom(const std::string& path);

} // namespace params
