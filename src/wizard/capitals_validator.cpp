#include "wizard/capitals_validator.h"

#include "ui/qt_text.h"

namespace tarnis::wizard {

QValidator::State CapitalsValidator::validate(QString& input, int& position) const {
  Q_UNUSED(position);
  if (!ui::ToCp1251(input)) return Invalid;
  // Windows-1251 letters keep their length in capitals (no ß), so the cursor stays in place.
  input = input.toUpper();
  return Acceptable;
}

}  // namespace tarnis::wizard
