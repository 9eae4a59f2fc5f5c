#pragma once
// The files the command line reads and writes, in the program's own formats. A parameter file is
// taken only whole: a sensor must never get defaults in place of values the file lacks.
#include "protocol/ParameterImage.h"

#include <string>

namespace cli {

// Reads the parameter file at `path` over `image` (the rows' reserved words are kept). Returns an
// empty text when the file is a complete parameter file of this version; otherwise the reason it
// is refused, and `image` is left as it was.
std::string ReadWholeParameterFile(const std::string& path, protocol::ParameterImage& image);

} // namespace cli
