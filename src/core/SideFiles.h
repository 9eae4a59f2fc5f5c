#pragma once
// Helpers of the dialogs through which side files are saved and loaded.
#include <string>

namespace core {

class OperatorDialogs;

// The directory a file dialog starts in: the remembered path itself when it names a directory,
// otherwise the directory that holds it.
std::string DialogStartDirectory(const std::string& rememberedPath);
// Tells the operator that a file the operator chose to save could not be written, and why when
// it was refused (a `refusal` of core/SafeFile, which names the path itself).
void ReportUnwrittenFile(OperatorDialogs& dialogs, const std::string& path,
                         const std::string& refusal = {});

} // namespace core
