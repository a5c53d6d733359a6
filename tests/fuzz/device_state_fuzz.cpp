// The emulator's state file: a refused text leaves the state as it was; a taken one, saved and
// loaded again, saves to the same text.
#include <string>
#include <string_view>

#include "emulator/device_state_file.h"
#include "fuzz_check.h"

using namespace tarnis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  static const emulator::Km07Device fresh_device;
  emulator::DeviceState state = fresh_device.state();
  const emulator::DeviceState& before = fresh_device.state();
  std::string error;
  if (!emulator::LoadDeviceState(text, state, &error)) {
    FUZZ_CHECK(!error.empty());
    FUZZ_CHECK(state == before);
    return 0;
  }
  const std::string saved = emulator::SaveDeviceState(state);
  emulator::DeviceState reloaded = fresh_device.state();
  FUZZ_CHECK(emulator::LoadDeviceState(saved, reloaded, &error));
  FUZZ_CHECK(reloaded == state);
  FUZZ_CHECK(emulator::SaveDeviceState(reloaded) == saved);
  return 0;
}
