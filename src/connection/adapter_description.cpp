#include "connection/adapter_description.h"

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <system_error>
#include <vector>

namespace tarnis::connection {
namespace fs = std::filesystem;
namespace {

std::string Attribute(const fs::path& folder, const char* name) {
  std::ifstream in(folder / name);
  std::string value;
  std::getline(in, value);
  while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
  return value;
}

// The USB device a tty hangs from: the nearest folder above it that carries a vendor id.
fs::path UsbDevice(fs::path folder, const fs::path& sys_root) {
  for (int level = 0; level < 6 && !folder.empty() && folder != sys_root && folder != folder.root_path(); ++level) {
    std::error_code ec;
    if (fs::exists(folder / "idVendor", ec)) return folder;
    folder = folder.parent_path();
  }
  return {};
}

// The driver of the device or of the nearest folder above it; the serial core's own "port" and
// "ctrl" layers say nothing about the hardware.
std::string DriverName(fs::path folder) {
  for (int level = 0; level < 4 && !folder.empty(); ++level, folder = folder.parent_path()) {
    std::error_code ec;
    const std::string name = fs::read_symlink(folder / "driver", ec).filename().string();
    if (!ec && name != "port" && name != "ctrl") return name;
  }
  return {};
}

// A plain UART as the serial core knows it: its chip and I/O port, or that there is none.
std::string UartDescription(const fs::path& tty_folder) {
  static const char* const kChips[] = {"", "8250", "16450", "16550", "16550A", "Cirrus", "ST16650", "ST16650V2",
                                       "16750", "Startech", "16C950", "16654", "16850", "RSA"};
  const std::string type = Attribute(tty_folder, "type");
  if (type.empty()) return {};
  if (type == "0") return "UART absent";
  const int number = std::atoi(type.c_str());
  std::string text = "UART ";
  text += number > 0 && number < static_cast<int>(std::size(kChips)) ? kChips[number] : "type " + type;
  if (const std::string port = Attribute(tty_folder, "port"); !port.empty() && port != "0x0") text += " at " + port;
  return text;
}

}  // namespace

std::string AdapterDescription(const std::string& sys_root, const std::string& tty_name) {
  std::error_code ec;
  const fs::path device = fs::canonical(fs::path(sys_root) / "class/tty" / tty_name / "device", ec);
  if (ec) return {};
  const std::string driver = DriverName(device);

  std::vector<std::string> parts;
  if (const fs::path usb = UsbDevice(device, fs::canonical(sys_root, ec)); !usb.empty()) {
    std::string name = Attribute(usb, "manufacturer");
    const std::string product = Attribute(usb, "product");
    if (!product.empty()) name += (name.empty() ? "" : " ") + product;
    if (!name.empty()) parts.push_back(name);
    if (const std::string serial = Attribute(usb, "serial"); !serial.empty()) parts.push_back(serial);
    parts.push_back(Attribute(usb, "idVendor") + ":" + Attribute(usb, "idProduct"));
  } else if (std::string uart = UartDescription(fs::path(sys_root) / "class/tty" / tty_name); !uart.empty()) {
    parts.push_back(std::move(uart));
  }
  if (!driver.empty()) parts.push_back(driver);
  std::string description;
  for (const std::string& part : parts) description += (description.empty() ? "" : ", ") + part;
  return description;
}

bool UartAbsent(const std::string& sys_root, const std::string& tty_name) {
  return Attribute(fs::path(sys_root) / "class/tty" / tty_name, "type") == "0";
}

std::map<std::string, std::string> StableNames(const std::string& dev_root) {
  std::map<std::string, std::string> names;
  std::error_code ec;
  for (fs::directory_iterator entry(fs::path(dev_root) / "serial/by-id", ec), end; !ec && entry != end;
       entry.increment(ec)) {
    std::error_code resolve;
    const fs::path device = fs::canonical(entry->path(), resolve);
    if (!resolve) names.emplace(device.string(), entry->path().string());
  }
  return names;
}

}  // namespace tarnis::connection
