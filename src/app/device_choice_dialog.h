#pragma once
// The pick among several devices the search found: one line per device, OK takes the chosen one.
#include <QDialog>
#include <vector>

#include "connection/device_search.h"

class QListWidget;

namespace tarnis::app {

class DeviceChoiceDialog : public QDialog {
  Q_OBJECT

 public:
  DeviceChoiceDialog(const std::vector<connection::FoundDevice>& devices, QWidget* parent);

  int ChosenIndex() const;
  // "COM3, 19200 бод, зав. номер 4242", or "..., зав. номер не сообщен".
  static QString DeviceLine(const connection::FoundDevice& device);

  QListWidget* DeviceList = nullptr;
};

}  // namespace tarnis::app
