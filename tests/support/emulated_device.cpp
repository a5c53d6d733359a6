#include "emulated_device.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tarnis::test {

EmulatedDevice::EmulatedDevice(const std::string& port_name, std::uint32_t factory_number) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarnis-ports-XXXXXX";
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a ports directory in " + pattern);
  ports_directory_ = pattern;
  if (const char* previous = std::getenv("TARNIS_PORTS_DIR")) {
    had_ports_directory_ = true;
    previous_ports_directory_ = previous;
  }
  ::setenv("TARNIS_PORTS_DIR", ports_directory_.c_str(), 1);

  server_.WithDevice([&](emulator::Km07Device& device) { device.state().factory_number = factory_number; });
  std::string error;
  if (!server_.Start(port_name, &error)) throw std::runtime_error("emulator did not start: " + error);

  auto& settings = link_.settings();
  settings.port_name = port_name;
  settings.baud_rate = 115200;
  settings.inter_byte_timeout_ms = kInterByteTimeoutMs;
  settings.total_timeout_ms = kTotalTimeoutMs;
  settings.factory_number = std::to_string(static_cast<std::int32_t>(factory_number));
  settings.settings_applied = true;
}

EmulatedDevice::~EmulatedDevice() {
  server_.Stop();
  std::error_code ec;
  std::filesystem::remove_all(ports_directory_, ec);
  if (had_ports_directory_) ::setenv("TARNIS_PORTS_DIR", previous_ports_directory_.c_str(), 1);
  else ::unsetenv("TARNIS_PORTS_DIR");
}

}  // namespace tarnis::test
