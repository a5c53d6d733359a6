#pragma once
// Turns letters into capitals as they are typed or pasted, and refuses characters that Windows-1251
// cannot hold, so every text that leaves the field fits the configuration record.
#include <QValidator>

namespace tarnis::wizard {

class CapitalsValidator : public QValidator {
  Q_OBJECT
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};

}  // namespace tarnis::wizard
