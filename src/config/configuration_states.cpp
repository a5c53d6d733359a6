#include "config/configuration_states.h"

#include <algorithm>

namespace tarnis::config {
namespace {

// Position of an address in AllParameterAddresses(), or -1 outside the map.
int IndexOf(ParameterAddress address) {
  int base = 0;
  for (const SectionMap& map : kParameterMap) {
    if (map.table == address.table) {
      if (address.row < 1 || address.row > map.rows || address.field < 1 || address.field > map.fields) return -1;
      return base + (address.row - 1) * map.fields + (address.field - 1);
    }
    base += map.rows * map.fields;
  }
  return -1;
}

bool Differs(const DeviceConfiguration& a, const DeviceConfiguration& b, ParameterAddress address) {
  return TextAt(a, address) != TextAt(b, address);
}

}  // namespace

const std::vector<ParameterAddress>& AllParameterAddresses() {
  static const std::vector<ParameterAddress> addresses = [] {
    std::vector<ParameterAddress> all;
    for (const SectionMap& map : kParameterMap)
      for (int row = 1; row <= map.rows; ++row)
        for (int field = 1; field <= map.fields; ++field)
          all.push_back({map.table, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(field)});
    return all;
  }();
  return addresses;
}

ConfigurationStates::ConfigurationStates(const DeviceConfiguration& current) : device_(current), saved_(current) {}

FieldState ConfigurationStates::State(const DeviceConfiguration& current, ParameterAddress address) const {
  const int index = IndexOf(address);
  if (index < 0) return FieldState::OnDevice;
  if (not_written_.test(static_cast<std::size_t>(index))) return FieldState::NotWritten;
  return Differs(current, device_, address) ? FieldState::Edited : FieldState::OnDevice;
}

std::vector<ParameterAddress> ConfigurationStates::Changed(const DeviceConfiguration& current) const {
  std::vector<ParameterAddress> changed;
  for (const ParameterAddress& address : AllParameterAddresses())
    if (State(current, address) != FieldState::OnDevice) changed.push_back(address);
  return changed;
}

void ConfigurationStates::MarkOnDevice(const DeviceConfiguration& current, ParameterAddress address) {
  const int index = IndexOf(address);
  if (index < 0) return;
  not_written_.reset(static_cast<std::size_t>(index));
  SetFieldText(ParameterAt(device_, address)->text, TextAt(current, address));
}

void ConfigurationStates::MarkNotWritten(ParameterAddress address) {
  if (const int index = IndexOf(address); index >= 0) not_written_.set(static_cast<std::size_t>(index));
}

void ConfigurationStates::Loaded(const DeviceConfiguration& current) {
  TakeAsOnDevice(current);
  saved_ = current;
}

void ConfigurationStates::TakeAsOnDevice(const DeviceConfiguration& device) {
  device_ = device;
  not_written_.reset();
}

bool ConfigurationStates::HasUnsavedEdits(const DeviceConfiguration& current) const {
  const auto& all = AllParameterAddresses();
  return std::any_of(all.begin(), all.end(), [&](const ParameterAddress& address) {
    return State(current, address) != FieldState::OnDevice && Differs(current, saved_, address);
  });
}

}  // namespace tarnis::config
