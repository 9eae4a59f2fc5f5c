#include "cli/CliFiles.h"

#include "params/ParameterFile.h"

namespace cli {

std::string ReadWholeParameterFile(const std::string& path, protocol::ParameterImage& image) {
    using namespace params::parameter_file;
    const params::ParameterFileContents contents = params::ReadParameterFileFrom(path);
    if (contents.readResult < 0)
        return contents.refusal.empty() ? "Cannot read " + path : contents.refusal;
    if (!contents.TypeMatches()) return kNotAParameterFileQuestion;
    if (!contents.VersionMatches()) return kScopeVersionQuestion;
    protocol::ParameterImage read = image;
    const std::string missing = params::GetParameterSection(contents.store, read) +
                                params::GetTeachVectorSections(contents.store, read);
    if (!missing.empty()) return missing;
    image = read;
    return {};
}

} // namespace cli
