#pragma once
// What the program knows of each configuration text (its width attribute included) and password:
// whether the device holds it as the program shows it, the user changed it since, or its write
// failed or was stopped. Held as the record the device is taken to hold (after a read or write of
// a text, or a loaded file), the record last saved or loaded, and the texts not written.
#include <bitset>
#include <vector>

#include "config/device_configuration.h"

namespace tarnis::config {

enum class FieldState { OnDevice, Edited, NotWritten };

// Every text address of the parameter map, in the whole transfer's order (335 of them).
constexpr int kParameterCount = 335;
const std::vector<ParameterAddress>& AllParameterAddresses();

class ConfigurationStates {
 public:
  // Nothing edited: the device is taken to hold `current`.
  explicit ConfigurationStates(const DeviceConfiguration& current);

  FieldState State(const DeviceConfiguration& current, ParameterAddress address) const;
  // The addresses not on the device, in transfer order.
  std::vector<ParameterAddress> Changed(const DeviceConfiguration& current) const;

  // After a read or a write of the text at address went through.
  void MarkOnDevice(const DeviceConfiguration& current, ParameterAddress address);
  // After its write failed, was refused or was stopped before it.
  void MarkNotWritten(ParameterAddress address);

  // A file was loaded: nothing edited, nothing unsaved.
  void Loaded(const DeviceConfiguration& current);
  // The record was saved to a file.
  void Saved(const DeviceConfiguration& current) { saved_ = current; }
  // The device is stated to hold `device` (a file the user names as the device's contents).
  void TakeAsOnDevice(const DeviceConfiguration& device);

  // Some text is neither on the device nor in the file last saved or loaded.
  bool HasUnsavedEdits(const DeviceConfiguration& current) const;

 private:
  DeviceConfiguration device_;
  DeviceConfiguration saved_;
  std::bitset<kParameterCount> not_written_;
};

}  // namespace tarnis::config
