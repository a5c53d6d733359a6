#include "ui/qt_text.h"

#include <QByteArray>

#include "platform/cp1251_codec.h"

namespace tarnis::ui {

QString FromCp1251(std::string_view cp1251) { return FromUtf8(Cp1251ToUtf8(cp1251)); }

std::optional<std::string> ToCp1251(const QString& text) { return Utf8ToCp1251(ToUtf8(text)); }

std::string ToCp1251Lossy(const QString& text) { return Utf8ToCp1251Lossy(ToUtf8(text)); }

QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToUtf8(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace tarnis::ui
