#include "core/SideFiles.h"

#include "core/OperatorDialogs.h"
#include "core/Text.h"

#include <QDir>
#include <QFileInfo>

namespace core {

std::string DialogStartDirectory(const std::string& rememberedPath) {
    if (rememberedPath.empty()) return {};
    const QFileInfo info(TextOfPath(rememberedPath));
    if (info.isDir()) return rememberedPath;
    return PathOfText(QDir::toNativeSeparators(info.absolutePath()));
}

void ReportUnwrittenFile(OperatorDialogs& dialogs, const std::string& path,
                         const std::string& refusal) {
    dialogs.Message("ERROR",
                    "The file could not be written!\n" + (refusal.empty() ? path : refusal));
}

} // namespace core
