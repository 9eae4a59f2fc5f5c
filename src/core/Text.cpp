#include "core/Text.h"

#include <QFile>

namespace core {

QString TextOfBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string BytesOfText(const QString& text, std::size_t maxBytes) {
    std::string bytes;
    const qsizetype count = qsizetype(std::min<std::size_t>(std::size_t(text.size()), maxBytes));
    bytes.reserve(std::size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t c = text[i].unicode();
        bytes.push_back(c <= 0xFF ? char(c) : '?');
    }
    return bytes;
}

QString TextOfPath(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
}

std::string PathOfText(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace core
