#pragma once
// A printable line as the string editor edits it: the text without its width attribute and
// whether it prints wide. Texts are Windows-1251.
#include <string>

#include "config/device_configuration.h"

namespace tarnis::wizard {

struct LineValue {
  std::string text;
  bool wide = false;
  friend bool operator==(const LineValue&, const LineValue&) = default;
};

inline LineValue EditableLine(const config::ConfigText& line) { return {std::string(line.Body()), line.IsWide()}; }

// Stores the attribute and the text cut to 12 characters (wide) or 24 (narrow).
inline void StoreLine(config::ConfigText& line, const LineValue& value) {
  line.SetBody(value.wide ? config::ConfigText::kWide : config::ConfigText::kNarrow, value.text);
}

// Which cell editor a double-click on a column opens.
enum class CellEditor { None, Line, Number };

}  // namespace tarnis::wizard
