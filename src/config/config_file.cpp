#include "config/config_file.h"

#include <algorithm>
#include <cstring>

#include "platform/whole_file.h"

namespace tarnis::config {

ConfigurationFileImage EncodeConfigurationFile(const BlankFormTable& table,
                                               const DeviceConfiguration& configuration) {
  ConfigurationFileImage image{};
  std::memcpy(image.data(), &table, sizeof table);
  const auto block = Bytes(configuration);
  std::copy(block.begin(), block.end(), image.begin() + sizeof table);
  return image;
}

bool DecodeConfigurationFile(std::span<const std::uint8_t> bytes, BlankFormTable& table,
                             DeviceConfiguration& configuration) {
  // Whatever follows the image is not part of it.
  if (bytes.size() < kConfigurationFileSize) return false;
  std::memcpy(&table, bytes.data(), sizeof table);
  const auto block = bytes.subspan(sizeof table, kConfigurationSize);
  std::copy(block.begin(), block.end(), Bytes(configuration).begin());
  return true;
}

bool SaveConfigurationFile(const std::string& path, const BlankFormTable& table,
                           const DeviceConfiguration& configuration, ui::UserInterface& ui) {
  const ConfigurationFileImage image = EncodeConfigurationFile(table, configuration);
  if (!ReplaceFile(path, image)) {
    ui::ShowError(ui, "Не удалось создать файл...");
    return false;
  }
  ui::ShowNotice(ui, "Сохранено...");
  return true;
}

bool OpenConfigurationFile(const std::string& path, BlankFormTable& table,
                           DeviceConfiguration& configuration, ui::UserInterface& ui) {
  const FileRead read = ReadFile(path, kConfigurationFileSize);
  if (read.status == FileRead::Status::CannotOpen) {
    ui::ShowError(ui, "Не удалось открыть файл...");
    return false;
  }
  if (read.status == FileRead::Status::CannotRead || !DecodeConfigurationFile(read.bytes, table, configuration)) {
    ui::ShowNotice(ui, "Файл конфигурации некорректен...");
    return false;
  }
  ui::ShowNotice(ui, "Считано...");
  return true;
}

}  // namespace tarnis::config
