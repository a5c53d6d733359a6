#pragma once
// The configuration file (*.cfg): the blank form table (32 bytes) followed by the configuration
// record (8843 bytes), exactly as they lie in memory; no header, 8875 bytes in all.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "config/device_configuration.h"
#include "config/blank_form_table.h"
#include "ui/user_interface.h"

namespace tarnis::config {

constexpr std::size_t kConfigurationFileSize = sizeof(BlankFormTable) + kConfigurationSize;
static_assert(kConfigurationFileSize == 8875);

// The file dialogs' filter and default extension; saving replaces a file without asking.
inline const ui::FileDialog kConfigurationFileDialog{{}, "Конфигурация (*.cfg)|*.cfg", "cfg", false};

using ConfigurationFileImage = std::array<std::uint8_t, kConfigurationFileSize>;

ConfigurationFileImage EncodeConfigurationFile(const BlankFormTable& table,
                                               const DeviceConfiguration& configuration);

// Replaces table and configuration with the first kConfigurationFileSize bytes; false, changing
// nothing, when there are fewer. Bytes beyond the image are ignored.
bool DecodeConfigurationFile(std::span<const std::uint8_t> bytes, BlankFormTable& table,
                             DeviceConfiguration& configuration);

// Writes the file through a temporary file, then shows "Сохранено..." or, on failure,
// "Не удалось создать файл..."; any earlier file of that name survives a failure.
bool SaveConfigurationFile(const std::string& path, const BlankFormTable& table,
                           const DeviceConfiguration& configuration, ui::UserInterface& ui);

// Reads and checks the whole file before anything in memory changes, then shows "Считано...".
// A file that cannot be opened gets "Не удалось открыть файл...", one that fails while being read
// or is shorter than the image "Файл конфигурации некорректен..."; in every such case table and
// configuration stay as they were. Bytes beyond the image are ignored.
bool OpenConfigurationFile(const std::string& path, BlankFormTable& table,
                           DeviceConfiguration& configuration, ui::UserInterface& ui);

}  // namespace tarnis::config
