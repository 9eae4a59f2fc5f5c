#pragma once
// Helpers of the dialogs through which side files are saved and loaded.
#include <string>

namespace core {

class OperatorDialogs;

// The directory a file dialog starts in: the remembered path itself when it names a directory,
// otherwise the directory that holds it.
std::string DialogStartDirectory(const std::string& rememberedPath);
// Tells the operator that a file the operator chose to save could not be written.
void ReportUnwrittenFile(OperatorDialogs& dialogs, const std::string& path);

} // namespace core
