#include "app/exchange_log_window.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/whole_file.h"

namespace tarnis::app {
namespace {

const ui::FileDialog kLogFileDialog{{}, "Текстовый файл (*.txt)|*.txt", "txt"};

}  // namespace

ExchangeLogWindow::ExchangeLogWindow(link::ExchangeLog& log, ui::UserInterface& ui, QWidget* parent)
    : QWidget(parent, Qt::Window), log_(log), ui_(ui) {
  setObjectName("ExchangeLogWindow");
  setWindowTitle("Журнал обмена");
  resize(900, 420);

  LogText = new QPlainTextEdit(this);
  LogText->setObjectName("LogText");
  LogText->setReadOnly(true);
  LogText->setLineWrapMode(QPlainTextEdit::NoWrap);
  LogText->setMaximumBlockCount(static_cast<int>(link::ExchangeLog::kCapacity));
  LogText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  const auto button = [this](const char* name, const char* text, void (ExchangeLogWindow::*handler)()) {
    auto* push = new QPushButton(text, this);
    push->setObjectName(name);
    connect(push, &QPushButton::clicked, this, handler);
    return push;
  };
  ClearButton = button("ClearButton", "Очистить", &ExchangeLogWindow::Clear);
  CopyButton = button("CopyButton", "Копировать", &ExchangeLogWindow::Copy);
  SaveButton = button("SaveButton", "Сохранить...", &ExchangeLogWindow::Save);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ClearButton);
  buttons->addWidget(CopyButton);
  buttons->addWidget(SaveButton);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(LogText, 1);
  layout->addLayout(buttons);
}

void ExchangeLogWindow::Append(const link::ExchangeRecord& record) {
  if (!isVisible()) return;
  LogText->appendPlainText(QString::fromStdString(link::FormatExchange(record)));
}

QString ExchangeLogWindow::Text() const { return LogText->toPlainText(); }

void ExchangeLogWindow::showEvent(QShowEvent* event) {
  Reload();
  QWidget::showEvent(event);
}

void ExchangeLogWindow::Reload() {
  std::string text;
  for (const link::ExchangeRecord& record : log_.records()) {
    if (!text.empty()) text += '\n';
    text += link::FormatExchange(record);
  }
  LogText->setPlainText(QString::fromStdString(text));
  LogText->moveCursor(QTextCursor::End);
  // The newest line at the bottom, read from its start, once the scroll bars are laid out.
  QTimer::singleShot(0, this, [this] {
    LogText->verticalScrollBar()->setValue(LogText->verticalScrollBar()->maximum());
    LogText->horizontalScrollBar()->setValue(0);
  });
}

void ExchangeLogWindow::Clear() {
  log_.Clear();
  LogText->clear();
}

void ExchangeLogWindow::Copy() {
  // The lines the user selected, or the whole log.
  const QString selected = LogText->textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n');
  QApplication::clipboard()->setText(selected.isEmpty() ? Text() : selected);
}

void ExchangeLogWindow::Save() {
  const auto path = ui_.ChooseSaveFile(kLogFileDialog);
  if (!path) return;
  QByteArray text = Text().toUtf8();
  if (!text.isEmpty()) text += '\n';
  if (!ReplaceFile(*path, std::span(reinterpret_cast<const std::uint8_t*>(text.constData()),
                                    static_cast<std::size_t>(text.size())))) {
    ui::ShowError(ui_, "Не удалось создать файл...");
    return;
  }
  ui::ShowNotice(ui_, "Сохранено...");
}

}  // namespace tarnis::app
