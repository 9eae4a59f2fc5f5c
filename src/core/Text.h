#pragma once
// Texts are bytes. Files, the settings and the sensor keep 8-bit text (one byte per character,
// the Latin-1 range), so what the operator sees and types maps to and from bytes one to one and
// any byte survives a load and a save unchanged. Paths are handed to the file system as the
// system encodes them.
#include <QString>

#include <cstddef>
#include <string>

namespace core {

// Each byte as the character of that code.
QString TextOfBytes(const std::string& bytes);
// Each character as one byte, at most `maxBytes` of them; a character beyond the 8-bit range
// becomes '?'.
std::string BytesOfText(const QString& text, std::size_t maxBytes = std::string::npos);

QString TextOfPath(const std::string& path);
std::string PathOfText(const QString& path);

} // namespace core
