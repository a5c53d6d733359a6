#include "connection/adapter_description.h"

#include <filesystem>
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

}  // namespace

std::string AdapterDescription(const std::string& sys_root, const std::string& tty_name) {
  std::error_code ec;
  const fs::path device = fs::canonical(fs::path(sys_root) / "class/tty" / tty_name / "device", ec);
  if (ec) return {};
  std::string driver;
  if (const auto link = fs::read_symlink(device / "driver", ec); !ec) driver = link.filename().string();

  std::vector<std::string> parts;
  if (const fs::path usb = UsbDevice(device, fs::canonical(sys_root, ec)); !usb.empty()) {
    std::string name = Attribute(usb, "manufacturer");
    const std::string product = Attribute(usb, "product");
    if (!product.empty()) name += (name.empty() ? "" : " ") + product;
    if (!name.empty()) parts.push_back(name);
    if (const std::string serial = Attribute(usb, "serial"); !serial.empty()) parts.push_back(serial);
    parts.push_back(Attribute(usb, "idVendor") + ":" + Attribute(usb, "idProduct"));
  }
  if (!driver.empty()) parts.push_back(driver);
  std::string description;
  for (const std::string& part : parts) description += (description.empty() ? "" : ", ") + part;
  return description;
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
