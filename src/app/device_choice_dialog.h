#pragma once
// The pick among several devices the search found: one line per device, OK takes the chosen one.
#include <QDialog>
#include <cstdint>
#include <optional>
#include <vector>

#include "connection/device_search.h"

class QListWidget;

namespace tarnis::app {

class DeviceChoiceDialog : public QDialog {
  Q_OBJECT

 public:
  // The row whose factory number is typed_number comes chosen; else the first.
  DeviceChoiceDialog(const std::vector<connection::FoundDevice>& devices, QWidget* parent,
                     std::optional<std::uint32_t> typed_number = std::nullopt);

  int ChosenIndex() const;
  // "COM3, 19200 бод, зав. номер 4242", "..., зав. номер не совпал" for a device that refused the
  // number sent, or "..., зав. номер не сообщен".
  static QString DeviceLine(const connection::FoundDevice& device);

  QListWidget* DeviceList = nullptr;
};

}  // namespace tarnis::app
