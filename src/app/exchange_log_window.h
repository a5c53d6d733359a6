#pragma once
// "Журнал обмена": the exchange log as it grows, one line per exchange. Not modal; the main window
// keeps one and raises it. It reads the log when shown and follows it only while visible, so a
// closed window costs the exchanges nothing.
#include <QWidget>

#include "link/exchange_log.h"
#include "ui/user_interface.h"

class QPlainTextEdit;
class QPushButton;

namespace tarnis::app {

class ExchangeLogWindow : public QWidget {
  Q_OBJECT

 public:
  ExchangeLogWindow(link::ExchangeLog& log, ui::UserInterface& ui, QWidget* parent = nullptr);

  // Adds one completed exchange when the window is visible.
  void Append(const link::ExchangeRecord& record);
  // The lines shown, as "Сохранить..." writes them and "Копировать" copies them when nothing is
  // selected.
  QString Text() const;

  QPlainTextEdit* LogText = nullptr;
  QPushButton* ClearButton = nullptr;
  QPushButton* CopyButton = nullptr;
  QPushButton* SaveButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Reload();
  void Clear();
  void Copy();
  void Save();

  link::ExchangeLog& log_;
  ui::UserInterface& ui_;
};

}  // namespace tarnis::app
