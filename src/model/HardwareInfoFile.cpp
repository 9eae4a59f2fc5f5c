#include "model/HardwareInfoFile.h"

#include "model/FileIdentity.h"
#include "model/IniStore.h"
#include "model/ParameterFile.h"

namespace calibration {

int WriteHardwareInfoFile(const std::string& path, const HardwareInfo& info,
                          const protocol::ParameterImage& image, std::string* refusal) {
    settings::IniStore store;
    store.PutString("GENERAL INFO", "FILE TYPE:", "Hardware Initial File");
    store.PutString("GENERAL INFO", "SCOPE VERSION:", settings::file_identity::kScopeVersion);
    store.PutString("GENERAL INFO", "FIRMWARE VERSION:", info.firmwareId);
    store.PutString("HARDWARE INFO", "DATA", HardwareDataText(info.words.data()));
    const char* channels[3] = {"RED", "GREEN", "BLUE"};
    for (std::size_t c = 0; c < 3; ++c)
        store.PutInt("CALIBRATION FACTOR", channels[c], info.factors[c]);
    for (std::size_t c = 0; c < 3; ++c)
        store.PutInt("OFFSET", channels[c], info.offsets[c]);
    params::PutParameterSection(store, image);
    params::PutTeachVectorSections(store, image);
    return store.WriteToFile(path, refusal);
}

} // namespace calibration
