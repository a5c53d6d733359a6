#include "emulated_device.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <stdexcept>

namespace tarnis::test {
namespace {

// One private ports directory for every fixture alive in the process, so that two emulated
// devices on two COM names can be reached at once; the last fixture removes it and puts the
// environment back.
struct SharedPortsDirectory {
  std::mutex mutex;
  int users = 0;
  std::string path;
  std::optional<std::string> previous;
};

SharedPortsDirectory& Shared() {
  static SharedPortsDirectory shared;
  return shared;
}

std::string AcquirePortsDirectory() {
  auto& shared = Shared();
  std::lock_guard lock(shared.mutex);
  if (shared.users++ == 0) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarnis-ports-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
      shared.users = 0;
      throw std::runtime_error("cannot create a ports directory in " + pattern);
    }
    shared.path = pattern;
    const char* previous = std::getenv("TARNIS_PORTS_DIR");
    shared.previous = previous ? std::optional<std::string>(previous) : std::nullopt;
    ::setenv("TARNIS_PORTS_DIR", shared.path.c_str(), 1);
  }
  return shared.path;
}

void ReleasePortsDirectory() {
  auto& shared = Shared();
  std::lock_guard lock(shared.mutex);
  if (--shared.users > 0) return;
  std::error_code ec;
  std::filesystem::remove_all(shared.path, ec);
  if (shared.previous) ::setenv("TARNIS_PORTS_DIR", shared.previous->c_str(), 1);
  else ::unsetenv("TARNIS_PORTS_DIR");
}

}  // namespace

EmulatedDevice::EmulatedDevice(const std::string& port_name, std::uint32_t factory_number)
    : ports_directory_(AcquirePortsDirectory()) {
  server_.WithDevice([&](emulator::Km07Device& device) { device.state().factory_number = factory_number; });
  std::string error;
  if (!server_.Start(port_name, &error)) {
    ReleasePortsDirectory();
    throw std::runtime_error("emulator did not start: " + error);
  }
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
  ReleasePortsDirectory();
}

}  // namespace tarnis::test
