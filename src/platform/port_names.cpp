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

std::string NetworkPortAddress::Endpoint() const {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::optional<NetworkPortAddress> ParseNetworkPortUrl(std::string_view url) {
  NetworkPortAddress address;
  constexpr std::string_view kRaw = "tcp://", kTelnet = "rfc2217://";
  if (url.starts_with(kRaw)) {
    url.remove_prefix(kRaw.size());
  } else if (url.starts_with(kTelnet)) {
    address.protocol = NetworkPortAddress::Protocol::Rfc2217;
    url.remove_prefix(kTelnet.size());
  } else {
    return std::nullopt;
  }
  const auto colon = url.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  std::string_view host = url.substr(0, colon);
  const std::string_view digits = url.substr(colon + 1);
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return std::nullopt;
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string_view::npos) {
    return std::nullopt;  // an IPv6 address needs its brackets
  }
  for (const char c : host)
    if (c <= ' ' || c == '/' || c == '@' || c == '[' || c == ']' || static_cast<unsigned char>(c) >= 0x7F)
      return std::nullopt;
  if (digits.empty() || digits.size() > 5 || digits.front() == '0') return std::nullopt;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), address.port);
  if (ec != std::errc() || end != digits.data() + digits.size() || address.port < 1 || address.port > 65535)
    return std::nullopt;
  address.host = std::string(host);
  return address;
}

bool IsNetworkPortUrl(std::string_view text) { return ParseNetworkPortUrl(text).has_value(); }

bool IsPortNameOrUrl(std::string_view text) { return PortNumber(text) || IsNetworkPortUrl(text); }

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
  if (IsNetworkPortUrl(com_name)) return std::string(com_name);
  const auto number = PortNumber(com_name);
  if (!number) return std::nullopt;
  const fs::path entry = fs::path(ports_directory) / std::string(com_name);
  std::error_code ec;
  if (fs::is_symlink(entry, ec)) {
    // An entry may point at a network port URL instead of a tty.
    if (const auto target = fs::read_symlink(entry, ec); !ec && IsNetworkPortUrl(target.string())) return target.string();
    return entry.string();
  }
  if (fs::exists(entry, ec)) return entry.string();
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
  if (IsNetworkPortUrl(*path)) {
    description.exists = true;  // whether the far end answers is the survey's business
    return description;
  }
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
