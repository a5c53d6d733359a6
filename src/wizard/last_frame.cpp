#include "wizard/last_frame.h"

#include <QLabel>
#include <QPushButton>

#include "wizard/wizard_style.h"

namespace tarnis::wizard {
TLastFrame::TLastFrame(bool single_page, QWidget* parent)
    : WizardPageFrame("TLastFrame", "Готово", parent), single_page_(single_page) {
  TitleLabel("Готово", Qt::black, this)->move(16, 16);
  std::vector<QLabel*> lines;
  PlaceLines({"Мы закончили ввод и программирование данных для формирования документов",
              "строгой отчетности. Теперь вы можете сформировать и запрограммировать", "желаемые формы."},
             Qt::black, 16, 52, kTextWidth - 8, this, &lines);
  Label1 = lines[0];
  Label2 = lines[1];
  Label3 = lines[2];
  Label1->setObjectName("Label1");
  Label2->setObjectName("Label2");
  Label3->setObjectName("Label3");
}

void TLastFrame::FillPage() {
  Button1->setVisible(true);
  for (QWidget* widget : {static_cast<QWidget*>(Button2), static_cast<QWidget*>(Label1),
                          static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3)})
    widget->setVisible(!single_page_);
}

}  // namespace tarnis::wizard
