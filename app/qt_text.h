#pragma once
// Text between the core (bytes, UTF-8 in practice) and Qt.

#include <QString>
#include <string>
#include <string_view>

namespace snapcrate {

/// UTF-8 bytes as a QString; bytes that are not UTF-8 (old Latin-1 names) are read as Latin-1.
inline QString ToQString(std::string_view bytes) {
  const auto size = static_cast<qsizetype>(bytes.size());
  QString text = QString::fromUtf8(bytes.data(), size);
  if (text.contains(QChar::ReplacementCharacter) && std::string_view("\xEF\xBF\xBD") != bytes)
    text = QString::fromLatin1(bytes.data(), size);
  return text;
}

inline std::string ToBytes(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

}  // namespace snapcrate
