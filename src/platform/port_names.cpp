#include "platform/port_names.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tarnis {
namespace fs = std::filesystem;

std::optional<int> PortNumber(std::string_view com_name) {
  if (com_name.size() < 4 || com_name.substr(0, 3) != "COM") return std::nullopt;
  const auto digits = com_name.substr(3);
  if (digits.front() == '0') return std::nullopt;
  int number = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (number < kFirstPortNumber || number > kLastPortNumber) return std::nullopt;
  return number;
}

std::string PortsDirectory() {
  if (const char* dir = std::getenv("TARNIS_PORTS_DIR"); dir && *dir) return dir;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.config/tarnis/ports";
}

std::optional<std::string> ResolvePortName(std::string_view com_name) {
  return ResolvePortNameIn(com_name, PortsDirectory(), "/dev");
}

std::optional<std::string> ResolvePortNameIn(std::string_view com_name, const std::string& ports_directory,
                                             const std::string& device_folder) {
  const auto number = PortNumber(com_name);
  if (!number) return std::nullopt;
  const fs::path entry = fs::path(ports_directory) / std::string(com_name);
  std::error_code ec;
  if (fs::is_symlink(entry, ec) || fs::exists(entry, ec)) return entry.string();
  const int n = *number;
  if (n <= 32) return device_folder + "/ttyS" + std::to_string(n - 1);
  if (n <= 64) return device_folder + "/ttyUSB" + std::to_string(n - 33);
  if (n <= 96) return device_folder + "/ttyACM" + std::to_string(n - 65);
  return std::nullopt;
}

PortDescription DescribePort(std::string_view com_name) {
  PortDescription description;
  const auto path = ResolvePortName(com_name);
  if (!path) return description;
  std::error_code ec;
  description.path = *path;
  if (fs::is_symlink(*path, ec)) {
    const auto target = fs::read_symlink(*path, ec);
    if (!ec) description.path = target.string();
  }
  description.exists = fs::exists(*path, ec);
  return description;
}

bool RegisterPort(std::string_view com_name, const std::string& target, std::string* error) {
  std::error_code ec;
  const fs::path dir = PortsDirectory();
  fs::create_directories(dir, ec);
  const fs::path entry = dir / std::string(com_name);
  const fs::path temporary = dir / (std::string(com_name) + ".new");
  fs::remove(temporary, ec);
  fs::create_symlink(target, temporary, ec);
  if (!ec) fs::rename(temporary, entry, ec);
  if (ec && error) *error = entry.string() + ": " + ec.message();
  return !ec;
}

bool UnregisterPort(std::string_view com_name, const std::string& target) {
  std::error_code ec;
  const fs::path entry = fs::path(PortsDirectory()) / std::string(com_name);
  // Only our own registration is removed: another emulator may have taken the name since.
  if (fs::read_symlink(entry, ec) != fs::path(target) || ec) return false;
  return fs::remove(entry, ec);
}

}  // namespace tarnis
