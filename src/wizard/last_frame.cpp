#include "wizard/last_frame.h"

#include <QLabel>
#include <QPushButton>

#include "wizard/wizard_style.h"

namespace tarnis::wizard {
namespace {

QLabel* Line(const char* name, const QString& text, int top, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->move(16, top);
  label->adjustSize();
  return label;
}

}  // namespace

TLastFrame::TLastFrame(bool single_page, QWidget* parent)
    : WizardPageFrame("TLastFrame", "Готово", parent), single_page_(single_page) {
  TitleLabel("Готово", Qt::black, this)->move(16, 16);
  Label1 = Line("Label1", "Мы закончили ввод и программирование данных для формирования документов", 52, this);
  Label2 = Line("Label2", "строгой отчетности. Теперь вы можете сформировать и запрограммировать", 68, this);
  Label3 = Line("Label3", "желаемые формы.", 84, this);
}

void TLastFrame::FillPage() {
  Button1->setVisible(true);
  for (QWidget* widget : {static_cast<QWidget*>(Button2), static_cast<QWidget*>(Label1),
                          static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3)})
    widget->setVisible(!single_page_);
}

}  // namespace tarnis::wizard
