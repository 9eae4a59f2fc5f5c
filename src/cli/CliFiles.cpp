#include "cli/CliFiles.h"

#include "calibration/CalibrationMath.h"
#include "params/ParameterFile.h"
#include "settings/IniStore.h"

namespace cli {

std::string ReadWholeParameterFile(const std::string& path, params::ParameterImage& image) {
    using namespace params::parameter_file;
    const params::ParameterFileContents contents = params::ReadParameterFileFrom(path);
    if (contents.readResult < 0) return "Cannot read " + path;
    if (!contents.TypeMatches()) return kNotAParameterFileQuestion;
    if (!contents.VersionMatches()) return kScopeVersionQuestion;
    params::ParameterImage read = image;
    const std::string missing = params::GetParameterSection(contents.store, read) +
                                params::GetTeachVectorSections(contents.store, read);
    if (!missing.empty()) return missing;
    image = read;
    return {};
}

int WriteHardwareInfoFile(const std::string& path, const HardwareInfo& info,
                          const params::ParameterImage& image) {
    settings::IniStore store;
    store.PutString("GENERAL INFO", "FILE TYPE:", "Hardware Initial File");
    store.PutString("GENERAL INFO", "SCOPE VERSION:", settings::file_identity::kScopeVersion);
    store.PutString("GENERAL INFO", "FIRMWARE VERSION:", info.firmwareId);
    store.PutString("HARDWARE INFO", "DATA", calibration::HardwareDataText(info.words.data()));
    const char* channels[3] = {"RED", "GREEN", "BLUE"};
    for (std::size_t c = 0; c < 3; ++c)
        store.PutInt("CALIBRATION FACTOR", channels[c], info.factors[c]);
    for (std::size_t c = 0; c < 3; ++c)
        store.PutInt("OFFSET", channels[c], info.offsets[c]);
    params::PutParameterSection(store, image);
    params::PutTeachVectorSections(store, image);
    return store.WriteToFile(path);
}

} // namespace cli
