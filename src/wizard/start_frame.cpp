#include "wizard/start_frame.h"

#include <QPushButton>

#include "wizard/wizard_style.h"

namespace tarnis::wizard {

TStartFrame::TStartFrame(QWidget* parent) : WizardPageFrame("TStartFrame", "Далее >>>", parent) {
  TitleLabel("Вас приветствует \"Помощник\" создания форм.", Qt::black, this)->move(16, 16);
  PlaceLines({"Следуя инструкциям \"Помощника\" Вы сможете в пошаговом ",
              "режиме ввести программируемые данные (либо считать уже",
              "имеющиеся в \"ОРМИЗ КМ-07\") и создать нужные Вам печатные",
              "формы документов строгой отчетности."},
             Qt::black, 16, 52, kTextWidth, this);
  PlaceLines({"Для корректной работы с данными необходимо выгрузить", "имеющиеся настройки ."}, Qt::black, 16, 176,
             kTextWidth, this);
  BitBtn1 = new QPushButton("Выгрузить из КМ", this);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setGeometry(16, 222, 130, 25);
  // Usable once the host has shown the page; there is no page before this one.
  Button1->setEnabled(false);
  Button2->setEnabled(false);
}

}  // namespace tarnis::wizard
