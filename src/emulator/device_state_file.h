#pragma once
// The emulator's memory kept between runs: a small line-oriented text file, texts in hex.
#include <string>
#include <string_view>

#include "emulator/km07_device.h"

namespace tarnis::emulator {

std::string SaveDeviceState(const DeviceState& state);

// Applies a saved state onto state; a line that is malformed or out of range leaves state
// untouched and says which line in error.
bool LoadDeviceState(std::string_view text, DeviceState& state, std::string* error);

// Writes a temporary file beside path and renames it over path once complete.
bool WriteDeviceStateFile(const std::string& path, const DeviceState& state, std::string* error);
// False when the file cannot be read or is malformed; a missing file is not an error
// (exists tells the caller whether there was one).
bool ReadDeviceStateFile(const std::string& path, DeviceState& state, bool* exists, std::string* error);

}  // namespace tarnis::emulator
