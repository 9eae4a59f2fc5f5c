#pragma once
// The operator's file dialog. Qt's own dialog learns the type of every file it lists by reading
// its first bytes, on the window's thread; a kernel file such as /proc/kmsg never answers that
// read, and the whole window would wait for it. Here a file's type comes from its name alone.
#include <QFileIconProvider>
#include <QString>

class QWidget;

namespace core {

class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;
};

// The path chosen, or empty when the operator cancelled. A save does not ask about an existing
// file when `confirmOverwrite` is false (the caller asks in its own words).
QString ChooseFile(QWidget* parent, const QString& title, const QString& start,
                   const QString& filter, bool forWriting, bool confirmOverwrite = true);

} // namespace core
