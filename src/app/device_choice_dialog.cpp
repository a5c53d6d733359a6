#include "app/device_choice_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/qt_text.h"

namespace tarnis::app {

DeviceChoiceDialog::DeviceChoiceDialog(const std::vector<connection::FoundDevice>& devices, QWidget* parent,
                                       std::optional<std::uint32_t> typed_number)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("DeviceChoice");
  setWindowTitle("Найдено несколько аппаратов");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Выберите аппарат, с которым работать:", this));
  DeviceList = new QListWidget(this);
  DeviceList->setObjectName("DeviceList");
  int widest = 0;
  for (const auto& device : devices) {
    DeviceList->addItem(DeviceLine(device));
    widest = std::max(widest, DeviceList->fontMetrics().horizontalAdvance(DeviceLine(device)));
  }
  DeviceList->setMinimumWidth(widest + 2 * DeviceList->frameWidth() + 24);
  const auto typed = std::find_if(devices.begin(), devices.end(), [typed_number](const connection::FoundDevice& d) {
    return typed_number && d.factory_number == typed_number;
  });
  DeviceList->setCurrentRow(typed == devices.end() ? 0 : static_cast<int>(typed - devices.begin()));
  layout->addWidget(DeviceList);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("Выбрать");
  buttons->button(QDialogButtonBox::Cancel)->setText("Отмена");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(DeviceList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  layout->addWidget(buttons);
}

int DeviceChoiceDialog::ChosenIndex() const { return std::max(0, DeviceList->currentRow()); }

QString DeviceChoiceDialog::DeviceLine(const connection::FoundDevice& device) {
  QString line = ui::FromUtf8(device.port) + QString(", %1 бод, зав. номер ").arg(device.baud);
  if (device.factory_number) return line + QString::number(*device.factory_number);
  return line + (device.factory_number_matched ? QString("не сообщен") : QString("не совпал"));
}

}  // namespace tarnis::app
