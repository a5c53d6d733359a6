#include "wizard/wizard_page_frame.h"

#include <QPushButton>

namespace tarnis::wizard {
namespace {

QPushButton* Button(const QString& name, const QString& caption, QRect geometry, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(geometry);
  return button;
}

}  // namespace

WizardPageFrame::WizardPageFrame(const QString& object_name, const QString& next_caption, QWidget* parent)
    : QFrame(parent) {
  setObjectName(object_name);
  setFixedSize(kWidth, kHeight);
  Button3 = Button("Button3", "Выход", QRect(8, kNavigationTop, 90, 25), this);
  Button2 = Button("Button2", "<<< Назад", QRect(266, kNavigationTop, 90, 25), this);
  Button1 = Button("Button1", next_caption, QRect(363, kNavigationTop, 90, 25), this);
}

ContentPageFrame::ContentPageFrame(const QString& object_name, const QString& next_caption, bool single_page,
                                   QWidget* parent)
    : WizardPageFrame(object_name, next_caption, parent), single_page_(single_page) {
  BitBtn1 = Button("BitBtn1", "Выгрузить из КМ", QRect(110, kActionRowTop, 112, 25), this);
  BitBtn2 = Button("BitBtn2", "Загрузить в КМ", QRect(226, kActionRowTop, 112, 25), this);
}

void ContentPageFrame::ApplySinglePageRule() {
  if (single_page_) {
    Button1->setVisible(false);
    Button2->setVisible(false);
    return;
  }
  for (QPushButton* button : {BitBtn1, BitBtn2, Button1, Button2}) button->setVisible(true);
}

}  // namespace tarnis::wizard
