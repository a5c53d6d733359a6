#include "app/connection_settings_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPolygonF>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "app/device_choice_dialog.h"
#include "app/main_window.h"
#include "connection/device_search_operation.h"
#include "link/link.h"
#include "link/link_settings.h"
#include "platform/port_names.h"
#include "ui/digit_key_filter.h"
#include "ui/qt_text.h"
#include "ui/user_interface.h"

namespace tarnis::app {
namespace {

constexpr const char* kSpeeds[] = {"2400", "4800", "9600", "19200", "38400", "57600", "115200"};
constexpr int kDefaultSpeedIndex = 6;

const char* const kBadInterByteTimeout =
    "Тайм-аут между приемом байт: введите целое число миллисекунд от 0 до 600000.";
const char* const kBadTotalTimeout = "Общий тайм-аут: введите целое число миллисекунд от 1 до 600000.";

QLineEdit* DigitEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  ui::InstallDigitKeyFilter(edit);
  return edit;
}

// An empty field takes its default, visibly, before it is read.
std::string TextOrDefault(QLineEdit* edit, const char* fallback) {
  if (edit->text().isEmpty()) edit->setText(fallback);
  return ui::ToUtf8(edit->text());
}

// A mark of its own shape and colour for each state, so that it reads without telling colours
// apart: a filled green circle free, an amber diamond busy, a red cross no access, a hollow grey
// circle missing. A network port's states take the mark of their nearest serial kin: reachable as
// free, silent as busy, refused as no access, unreachable as missing.
QIcon StateMark(connection::PortState state) {
  static std::map<connection::PortState, QIcon> icons;
  if (const auto known = icons.find(state); known != icons.end()) return known->second;
  QPixmap picture(12, 12);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  switch (state) {
    case connection::PortState::Free:
    case connection::PortState::Reachable: {
      const QColor green(0x2e, 0x9e, 0x44);
      painter.setPen(green.darker(130));
      painter.setBrush(green);
      painter.drawEllipse(1, 1, 10, 10);
      break;
    }
    case connection::PortState::Busy:
    case connection::PortState::TimedOut: {
      const QColor amber(0xe0, 0x9a, 0x10);
      painter.setPen(amber.darker(130));
      painter.setBrush(amber);
      painter.drawPolygon(QPolygonF({QPointF(6, 0.5), QPointF(11.5, 6), QPointF(6, 11.5), QPointF(0.5, 6)}));
      break;
    }
    case connection::PortState::NoAccess:
    case connection::PortState::Refused:
      painter.setPen(QPen(QColor(0xcc, 0x33, 0x33), 2.5, Qt::SolidLine, Qt::RoundCap));
      painter.drawLine(QPointF(2, 2), QPointF(10, 10));
      painter.drawLine(QPointF(10, 2), QPointF(2, 10));
      break;
    case connection::PortState::Missing:
    case connection::PortState::Unreachable:
      painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 1.5));
      painter.setBrush(Qt::NoBrush);
      painter.drawEllipse(QRectF(1.5, 1.5, 9, 9));
      break;
  }
  painter.end();
  return icons[state] = QIcon(picture);
}

}  // namespace

TForm3::TForm3(TForm1& main_window)
    : QDialog(&main_window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      main_window_(main_window) {
  setObjectName("Form3");
  setWindowTitle("Настройки подключения....");

  auto* basic = new QGroupBox("Основные", this);
  basic->setObjectName("GroupBox1");
  auto* basic_grid = new QGridLayout(basic);
  basic_grid->addWidget(new QLabel("Выберите COM порт подключения и скорость работы аппарата", basic), 0, 0, 1, 3);
  ComboBox1 = new QComboBox(basic);
  ComboBox1->setObjectName("ComboBox1");
  // A hundred names would otherwise drop down as a list the height of the screen.
  ComboBox1->setMaxVisibleItems(16);
  ComboBox1->setStyleSheet("QComboBox { combobox-popup: 0; }");
  PortDevice = new QLabel(basic);
  PortDevice->setObjectName("PortDevice");
  PortDevice->setMinimumWidth(220);
  ComboBox2 = new QComboBox(basic);
  ComboBox2->setObjectName("ComboBox2");
  Edit3 = DigitEdit("Edit3", basic);
  Edit3->setMaxLength(static_cast<int>(link::kFactoryNumberMaxLength));
  basic_grid->addWidget(new QLabel("Порт:", basic), 1, 0);
  basic_grid->addWidget(ComboBox1, 1, 1);
  basic_grid->addWidget(PortDevice, 1, 2);
  basic_grid->addWidget(new QLabel("Скорость:", basic), 2, 0);
  basic_grid->addWidget(ComboBox2, 2, 1);
  basic_grid->addWidget(new QLabel("Зав. номер машины:", basic), 3, 0);
  basic_grid->addWidget(Edit3, 3, 1);
  basic_grid->setColumnStretch(2, 1);
  // The reason takes the free cells right of the speed and the factory number, so the existing
  // controls keep their places.
  PortReason = new QLabel(basic);
  PortReason->setObjectName("PortReason");
  PortReason->setWordWrap(true);
  PortReason->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  PortReason->setMaximumWidth(PortDevice->minimumWidth());
  PortReason->setStyleSheet("color: #a02020;");
  basic_grid->addWidget(PortReason, 2, 2, 2, 1);

  auto* extra = new QGroupBox("Дополнительные", this);
  extra->setObjectName("GroupBox2");
  auto* extra_grid = new QGridLayout(extra);
  extra_grid->addWidget(new QLabel("Установите значение тайм-аутов в мс. Если вы затрудняетесь с ", extra), 0, 0, 1, 3);
  extra_grid->addWidget(new QLabel("выбором, оставьте значения по умолчанию.", extra), 1, 0, 1, 3);
  Edit1 = DigitEdit("Edit1", extra);
  Edit2 = DigitEdit("Edit2", extra);
  extra_grid->addWidget(new QLabel("Тайм-аут между приемом байт:", extra), 2, 0);
  extra_grid->addWidget(Edit1, 2, 1);
  extra_grid->addWidget(new QLabel("Общий тайм-аут:", extra), 3, 0);
  extra_grid->addWidget(Edit2, 3, 1);
  RetriesSpinBox = new QSpinBox(extra);
  RetriesSpinBox->setObjectName("RetriesSpinBox");
  RetriesSpinBox->setRange(0, link::kMaxRetries);
  RetriesSpinBox->setToolTip("Сколько раз повторить запрос без ответа или с искажённым ответом");
  extra_grid->addWidget(new QLabel("Повторов при сбое", extra), 4, 0);
  extra_grid->addWidget(RetriesSpinBox, 4, 1);
  extra_grid->setColumnStretch(2, 1);

  Button1 = new QPushButton("Применить", this);
  Button1->setObjectName("Button1");
  Button1->setDefault(true);
  Button2 = new QPushButton("Отмена", this);
  Button2->setObjectName("Button2");
  connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
  FindDevice = new QPushButton("Найти аппарат", this);
  FindDevice->setObjectName("FindDevice");
  FindDevice->setToolTip("Опросить все свободные порты на всех скоростях");
  connect(FindDevice, &QPushButton::clicked, this, &TForm3::FindDeviceClick);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(FindDevice);
  buttons->addStretch(1);
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(basic);
  layout->addWidget(extra);
  layout->addLayout(buttons);

  connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm3::DescribeChosenPort);
  FormShow();
  setFixedSize(sizeHint());
}

void TForm3::FormShow() {
  for (int n = kFirstPortNumber; n <= kLastPortNumber; ++n) ComboBox1->addItem(QString("COM%1").arg(n));
  ComboBox1->setCurrentIndex(0);
  for (const char* speed : kSpeeds) ComboBox2->addItem(speed);
  ComboBox2->setCurrentIndex(kDefaultSpeedIndex);
  Edit3->setText("1");
  Edit1->setText("250");
  Edit2->setText("2500");
  // Kept from one opening to the next: 0 unless the user chose otherwise in this run.
  RetriesSpinBox->setValue(main_window_.link().settings().retries);
  MarkPorts();
  DescribeChosenPort();
}

void TForm3::MarkPorts() {
  survey_ = connection::SurveyPorts();
  for (const connection::PortReport& port : survey_) {
    const int index = ComboBox1->findText(ui::FromUtf8(port.name));
    if (index < 0) continue;
    ComboBox1->setItemIcon(index, StateMark(port.state));
    ComboBox1->setItemData(index, ui::FromUtf8(port.name + ": " + connection::StateWord(port.state)), Qt::ToolTipRole);
  }
}

void TForm3::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  move(main_window_.geometry().center() - rect().center());
}

void TForm3::DescribeChosenPort() {
  const std::string name = ui::ToUtf8(ComboBox1->currentText());
  const PortDescription device = DescribePort(name);
  const auto surveyed = std::find_if(survey_.begin(), survey_.end(),
                                     [&](const connection::PortReport& port) { return port.name == name; });
  QString text;
  if (device.path.empty())
    text = "Устройство: не задано";
  else if (device.exists)
    text = "Устройство: " + ui::FromUtf8(device.path);
  else
    text = "Устройство: " + ui::FromUtf8(device.path) + " (не найдено)";
  QString reason;
  if (surveyed != survey_.end()) {
    if (!surveyed->description.empty()) text += ", " + ui::FromUtf8(surveyed->description);
    // A missing device is already said above; the reason line adds what to do about the others, and
    // why a tty that is there counts as missing.
    if (surveyed->state != connection::PortState::Missing || surveyed->no_uart) reason = ui::FromUtf8(connection::FailureReason(*surveyed));
  }
  PortReason->setText(reason);
  PortReason->setToolTip(reason);
  PortDevice->setToolTip(text);
  PortDevice->setText(PortDevice->fontMetrics().elidedText(text, Qt::ElideMiddle, PortDevice->minimumWidth()));
}

void TForm3::Button1Click() {
  const std::string inter_byte_text = TextOrDefault(Edit1, "250");
  const std::string total_text = TextOrDefault(Edit2, "2500");
  const std::string factory_text = TextOrDefault(Edit3, "0");

  const auto inter_byte = link::ParseInterByteTimeoutMs(inter_byte_text);
  const auto total = link::ParseTimeoutMs(total_text);
  const auto factory_number = link::ParseFactoryNumber(factory_text);
  const auto refuse = [this](QLineEdit* field, const char* message) {
    ui::ShowError(main_window_.user_interface(), message);
    field->setFocus();
    field->selectAll();
  };
  if (!inter_byte) return refuse(Edit1, kBadInterByteTimeout);
  if (!total) return refuse(Edit2, kBadTotalTimeout);
  if (!factory_number) return refuse(Edit3, link::kBadFactoryNumberMessage);

  link::LinkSettings settings;
  settings.settings_applied = true;
  settings.port_name = ui::ToUtf8(ComboBox1->currentText());
  settings.baud_rate = ComboBox2->currentText().toInt();
  settings.inter_byte_timeout_ms = *inter_byte;
  settings.total_timeout_ms = *total;
  settings.factory_number = factory_text;
  settings.retries = RetriesSpinBox->value();
  main_window_.ApplyConnectionSettings(settings);
  accept();
}

void TForm3::Button2Click() { reject(); }

void TForm3::FindDeviceClick() {
  MarkPorts();
  connection::SearchRequest request;
  request.ports = survey_;
  request.log = &main_window_.exchange_log();
  const std::string factory_text = ui::ToUtf8(Edit3->text());
  std::optional<std::uint32_t> typed_number;  // as the answers carry it: the same 32 bits
  if (const auto number = link::ParseFactoryNumber(factory_text)) {
    request.factory_number = factory_text;
    typed_number = static_cast<std::uint32_t>(*number);
  }
  const auto found = connection::SearchWithProgress(main_window_.user_interface(), request);
  if (found.empty()) return;
  std::size_t chosen = 0;
  if (found.size() > 1) {
    DeviceChoiceDialog choice(found, this, typed_number);
    if (choice.exec() != QDialog::Accepted) return;
    chosen = static_cast<std::size_t>(choice.ChosenIndex());
  }
  const connection::FoundDevice& device = found[chosen];
  ComboBox1->setCurrentIndex(ComboBox1->findText(ui::FromUtf8(device.port)));
  if (device.baud > 0) ComboBox2->setCurrentIndex(ComboBox2->findText(QString::number(device.baud)));
  // The field holds the number as the requests carry it: the same 32 bits, read as signed.
  if (device.factory_number) Edit3->setText(QString::number(static_cast<std::int32_t>(*device.factory_number)));
  DescribeChosenPort();
  if (!device.factory_number_matched) {
    ui::ShowNotice(main_window_.user_interface(), "На " + device.port + " (" + std::to_string(device.baud) +
                                                      ") отвечает аппарат с другим заводским номером: введите номер "
                                                      "с таблички");
    Edit3->setFocus();
    Edit3->selectAll();
  }
}

void TForm3::reject() {
  main_window_.link().settings().settings_applied = false;
  QDialog::reject();
}

}  // namespace tarnis::app
