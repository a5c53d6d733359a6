#include "app/about_window.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "platform/program_identity.h"
#include "ui/qt_text.h"

namespace tarnis::app {
namespace {

constexpr int kClientWidth = 322;
constexpr int kClientHeight = 137;

QLabel* MakeLabel(const QString& text, const char* name, QWidget* parent, QRect geometry) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(geometry);
  return label;
}

void Apply(const std::optional<std::string>& value, QLabel* label) {
  if (value) label->setText(ui::FromUtf8(*value));
}

}  // namespace

TForm4::TForm4(QWidget* parent, std::string executable_path)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      executable_path_(std::move(executable_path)) {
  setObjectName("Form4");
  setWindowTitle("О программе...");
  setFixedSize(kClientWidth, kClientHeight);

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setGeometry(8, 8, kClientWidth - 16, 89);

  // The picture keeps its proportions inside its 97 × 73 box, centred.
  Image1 = MakeLabel(QString(), "Image1", Panel1, QRect(8, 8, 97, 73));
  Image1->setAlignment(Qt::AlignCenter);
  Image1->setPixmap(QIcon(":/tarnis.png").pixmap(73, 73));

  const int captions = 116;
  const int values = 188;
  const int value_width = Panel1->width() - values - 8;
  Label1 = MakeLabel("Имя:", "Label1", Panel1, QRect(captions, 14, 68, 20));
  Label2 = MakeLabel("Label2", "Label2", Panel1, QRect(values, 14, value_width, 20));
  Label3 = MakeLabel("Версия:", "Label3", Panel1, QRect(captions, 36, 68, 20));
  Label4 = MakeLabel("Label4", "Label4", Panel1, QRect(values, 36, value_width, 20));
  Label5 = MakeLabel("Компания:", "Label5", Panel1, QRect(captions, 58, 68, 20));
  Label7 = MakeLabel("Label7", "Label7", Panel1, QRect(values, 58, value_width, 20));

  Button1 = new QPushButton("OK", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry((kClientWidth - 75) / 2, 105, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
}

void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm4::FormShow() {
  const ProgramIdentity identity = ReadProgramIdentity(executable_path_);
  Apply(identity.product_name, Label2);
  Apply(identity.file_version, Label4);
  Apply(identity.company_name, Label7);
}

void TForm4::Button1Click() { accept(); }

}  // namespace tarnis::app
