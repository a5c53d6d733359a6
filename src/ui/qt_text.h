#pragma once
// Where texts cross into and out of widgets. Models keep Windows-1251 bytes and code keeps UTF-8
// literals; widgets hold QString. Every widget converts through these functions only.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace tarnis::ui {

// Windows-1251 bytes of a model or file → widget text.
QString FromCp1251(std::string_view cp1251);
// Widget text → Windows-1251 bytes; nothing when a character has no Windows-1251 form.
std::optional<std::string> ToCp1251(const QString& text);
// As ToCp1251, with every character Windows-1251 lacks turned into '?'.
std::string ToCp1251Lossy(const QString& text);

// UTF-8 texts of the program (messages, captions, paths) ⇄ widget text.
QString FromUtf8(std::string_view utf8);
std::string ToUtf8(const QString& text);

}  // namespace tarnis::ui
