#pragma once
// The files the command line reads and writes, in the program's own formats. A parameter file is
// taken only whole: a sensor must never get defaults in place of values the file lacks.
#include "cli/RecordFormat.h"
#include "protocol/ParameterImage.h"

#include <cstddef>
#include <functional>
#include <string>

namespace cli {

// The most the command line reads of a file it is given (a fleet file, a parameter file to
// send, standard input, the broker's password and CA files): far beyond any real one, and a
// bound on what a device or a kernel file named by mistake can cost.
inline constexpr std::size_t kLargestInputFile = 1024 * 1024;

// Reads the parameter file at `path` over `image` (the rows' reserved words are kept). Returns an
// empty text when the file is a complete parameter file of this version; otherwise the reason it
// is refused, and `image` is left as it was. Where the window would ask (a file of another type
// or version), `force` takes it all the same; a value the file lacks is never taken.
std::string ReadWholeParameterFile(const std::string& path, protocol::ParameterImage& image,
                                   bool force = false);

// The parameter values of `image` as a table: tsv and csv rows of section, key and value under a
// header line; JSON one object a line, each section an object of its keys.
std::string ParameterTable(Format format, const protocol::ParameterImage& image);

// "-" as a file name: standard output (or input).
inline bool IsStandardStream(const std::string& path) {
    return path == "-";
}

// Lets `write` make its file in a temporary folder, then copies it to standard output. Returns
// what `write` returned (negative: not written), or -1 when the copy failed.
int WriteToStandardOutput(const std::function<int(const std::string& path)>& write);
// Copies standard input, at most kLargestInputFile bytes, into a file in a temporary folder and
// calls `read` with its path.
std::string ReadFromStandardInput(const std::function<std::string(const std::string& path)>& read);

} // namespace cli
