#include "constructor/group_help_dialog.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnis::constructor {

namespace {

const char* const kGroupHelpText =
    "ГРУППА 1:   максимальное кол-во ДСО - не менее 3240000\n"
    "  - вариант №2:\n"
    "      количество услуг - 1\n"
    "      разрядность суммы - 6\n"
    "      дополнительный реквизит - нет\n"
    "      скидка/налог - нет\n"
    "\n"
    "ГРУППА 2: максимальное кол-во ДСО - не менее 2350000\n"
    "  - вариант №1:\n"
    "      количество услуг - 1\n"
    "      разрядность суммы - 9\n"
    "      дополнительный реквизит - есть\n"
    "      скидка/налог - есть\n"
    "\n"
    "  - вариант №4:\n"
    "      количество услуг - 2\n"
    "      разрядность суммы - 6\n"
    "      дополнительный реквизит - нет\n"
    "      скидка/налог - нет\n"
    "\n"
    "ГРУППА 3: максимальное кол-во ДСО - не менее 1620000\n"
    "  - вариант №3:\n"
    "      количество услуг - 2\n"
    "      разрядность суммы - 9\n"
    "      дополнительный реквизит - есть\n"
    "      скидка/налог/код - есть\n"
    "\n"
    "  - вариант №5:\n"
    "      количество услуг - 3\n"
    "      разрядность суммы - 7\n"
    "      дополнительный реквизит - есть\n"
    "      скидка/налог - нет\n"
    "\n"
    "  - вариант №6:\n"
    "      количество услуг - 3\n"
    "      разрядность суммы - 7\n"
    "      дополнительный реквизит - есть\n"
    "      скидка/налог/код - есть\n"
    "\n";

}  // namespace

TForm11::TForm11(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TForm11"));
  setWindowTitle(QString::fromUtf8("Справка"));

  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameShape(QFrame::StyledPanel);
  auto* memo = new QPlainTextEdit(panel);
  memo->setObjectName(QStringLiteral("Memo1"));
  memo->setReadOnly(true);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setFocusPolicy(Qt::NoFocus);
  QPalette palette = memo->palette();
  palette.setColor(QPalette::Text, QColor(128, 0, 0));
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  memo->setPalette(palette);
  memo->setPlainText(QString::fromUtf8(kGroupHelpText));
  auto* panel_layout = new QVBoxLayout(panel);
  panel_layout->setContentsMargins(2, 2, 2, 2);
  panel_layout->addWidget(memo);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("Button1"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel, 1);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  setFixedSize(440, 360);
}

void TForm11::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  findChild<QPushButton*>(QStringLiteral("Button1"))->setFocus();
}

}  // namespace tarnis::constructor
