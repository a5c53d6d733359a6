#include "emulator/device_state_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/whole_file.h"

namespace tarnis::emulator {
namespace {

constexpr std::string_view kHeader = "tarnis-emulator-state 1";
constexpr std::size_t kMaxText = 25;

std::string Hex(std::string_view bytes) {
  if (bytes.empty()) return "-";
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return hex;
}

std::optional<std::string> FromHex(const std::string& hex) {
  if (hex == "-") return std::string();
  if (hex.size() % 2 != 0 || hex.size() > 2 * kMaxText) return std::nullopt;
  std::string bytes;
  const auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = digit(hex[i]), low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    const int value = high * 16 + low;
    if (value == 0) return std::nullopt;  // a text ends at its first zero
    bytes += static_cast<char>(value);
  }
  return bytes;
}

// Reads unsigned numbers no larger than their limits from the rest of a line, and nothing more.
class Fields {
 public:
  explicit Fields(std::istringstream& line) : line_(line) {}
  bool Number(std::uint64_t& value, std::uint64_t limit) {
    std::string word;
    if (!(line_ >> word) || word.empty() || word.size() > 20) return false;
    std::uint64_t result = 0;
    for (const char c : word) {
      if (c < '0' || c > '9' || result > limit / 10) return false;
      result *= 10;
      const auto digit = static_cast<std::uint64_t>(c - '0');
      if (digit > limit - result) return false;
      result += digit;
    }
    value = result;
    return true;
  }
  bool Word(std::string& word) { return static_cast<bool>(line_ >> word); }
  bool Finished() {
    std::string extra;
    return !(line_ >> extra);
  }

 private:
  std::istringstream& line_;
};

bool ApplyLine(const std::string& key, Fields& in, DeviceState& s) {
  std::uint64_t a = 0, b = 0, c = 0, d = 0, e = 0;
  std::string word;
  const auto small = [&](std::uint64_t& v, std::uint64_t limit) { return in.Number(v, limit); };
  if (key == "factory_number") { if (!small(a, 0xFFFFFFFF)) return false; s.factory_number = static_cast<std::uint32_t>(a); }
  else if (key == "mode") { if (!small(a, 255)) return false; s.mode = static_cast<std::uint8_t>(a); }
  else if (key == "flash") { if (!small(a, 255)) return false; s.flash = static_cast<std::uint8_t>(a); }
  else if (key == "group") { if (!small(a, 255)) return false; s.group = static_cast<std::uint8_t>(a); }
  else if (key == "battery") { if (!small(a, 255)) return false; s.battery = static_cast<std::uint8_t>(a); }
  else if (key == "document_number") { if (!small(a, 0xFFFF)) return false; s.document_number = static_cast<std::uint16_t>(a); }
  else if (key == "document_state") { if (!small(a, 255)) return false; s.document_state = static_cast<std::uint8_t>(a); }
  else if (key == "password") { if (!small(a, 0xFFFFFFFF)) return false; s.password = static_cast<std::uint32_t>(a); }
  else if (key == "inn_set") { if (!small(a, 1)) return false; s.inn_set = a == 1; }
  else if (key == "inn") { if (!small(a, (std::uint64_t{1} << 48) - 1)) return false; s.inn = a; }
  else if (key == "clock_offset") {
    // Signed: an optional minus, then the number of seconds.
    if (!in.Word(word)) return false;
    const bool negative = !word.empty() && word.front() == '-';
    std::istringstream digits(negative ? word.substr(1) : word);
    Fields number(digits);
    if (!number.Number(a, 1ULL << 40) || !number.Finished()) return false;
    s.clock_offset_seconds = negative ? -static_cast<std::int64_t>(a) : static_cast<std::int64_t>(a);
  } else if (key == "text") {
    if (!small(a, 4) || !small(b, kTableRows[a]) || b == 0 || !small(c, kTableFields[a]) || c == 0 || !in.Word(word)) return false;
    const auto text = FromHex(word);
    if (!text) return false;
    s.Text(static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(c)) = *text;
  } else if (key == "enabled") {
    if (!small(a, 4) || !small(b, kTableRows[a]) || b == 0 || !small(c, 255)) return false;
    s.enabled[a][b - 1] = static_cast<std::uint8_t>(c);
  } else if (key == "cliche_locked") {
    if (!small(a, 2) || a == 0 || !small(b, 1)) return false;
    s.cliche_locked[a - 1] = b == 1;
  } else if (key == "blank") {
    if (!small(a, kBlankCount) || a == 0 || !small(b, 1) || !small(c, 255) || !small(d, 255) || !small(e, 255)) return false;
    s.blanks[a - 1] = BlankSlot{b == 1, static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(e)};
  } else if (key == "goods") {
    if (!small(a, kGoodsRecords - 1) || !in.Word(word)) return false;
    const auto name = FromHex(word);
    std::uint64_t barcode = 0, section = 0, price = 0;
    if (!name || !small(barcode, (std::uint64_t{1} << 48) - 1) || !small(section, 255) || !small(price, kMaxPrice))
      return false;
    s.goods[a] = GoodsSlot{*name, barcode, static_cast<std::uint8_t>(section), price};
  } else {
    return false;
  }
  return in.Finished();
}

}  // namespace

std::string SaveDeviceState(const DeviceState& s) {
  std::ostringstream out;
  out << kHeader << '\n'
      << "factory_number " << s.factory_number << '\n'
      << "mode " << unsigned{s.mode} << '\n'
      << "flash " << unsigned{s.flash} << '\n'
      << "group " << unsigned{s.group} << '\n'
      << "battery " << unsigned{s.battery} << '\n'
      << "document_number " << s.document_number << '\n'
      << "document_state " << unsigned{s.document_state} << '\n'
      << "password " << s.password << '\n'
      << "inn_set " << (s.inn_set ? 1 : 0) << '\n'
      << "inn " << s.inn << '\n'
      << "clock_offset " << s.clock_offset_seconds << '\n';
  for (std::size_t table = 0; table < s.texts.size(); ++table)
    for (std::size_t row = 0; row < s.texts[table].size(); ++row) {
      out << "enabled " << table << ' ' << row + 1 << ' ' << unsigned{s.enabled[table][row]} << '\n';
      for (std::size_t field = 0; field < s.texts[table][row].size(); ++field)
        out << "text " << table << ' ' << row + 1 << ' ' << field + 1 << ' ' << Hex(s.texts[table][row][field].text)
            << '\n';
    }
  for (std::size_t c = 0; c < s.cliche_locked.size(); ++c)
    out << "cliche_locked " << c + 1 << ' ' << (s.cliche_locked[c] ? 1 : 0) << '\n';
  for (std::size_t n = 0; n < s.blanks.size(); ++n) {
    const BlankSlot& b = s.blanks[n];
    out << "blank " << n + 1 << ' ' << (b.held ? 1 : 0) << ' ' << unsigned{b.variant} << ' ' << unsigned{b.requisite}
        << ' ' << unsigned{b.type_sk} << '\n';
  }
  for (std::size_t r = 0; r < s.goods.size(); ++r) {
    const GoodsSlot& g = s.goods[r];
    if (g.name.empty() && g.barcode == 0 && g.section == 0 && g.price == 0) continue;
    out << "goods " << r << ' ' << Hex(g.name) << ' ' << g.barcode << ' ' << unsigned{g.section} << ' ' << g.price
        << '\n';
  }
  return out.str();
}

bool LoadDeviceState(std::string_view text, DeviceState& state, std::string* error) {
  std::istringstream in{std::string(text)};
  std::string line;
  if (!std::getline(in, line) || line != kHeader) {
    if (error) *error = "not an emulator state file";
    return false;
  }
  DeviceState loaded = state;
  // Records left out of the file are empty.
  for (GoodsSlot& goods : loaded.goods) goods = GoodsSlot{};
  int number = 1;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty()) continue;
    std::istringstream words(line);
    std::string key;
    words >> key;
    Fields fields(words);
    if (!ApplyLine(key, fields, loaded)) {
      if (error) *error = "line " + std::to_string(number) + " is not valid: " + line.substr(0, 80);
      return false;
    }
  }
  state = std::move(loaded);
  return true;
}

bool WriteDeviceStateFile(const std::string& path, const DeviceState& state, std::string* error) {
  const std::string text = SaveDeviceState(state);
  if (!ReplaceFile(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))) {
    if (error) *error = "cannot replace " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool ReadDeviceStateFile(const std::string& path, DeviceState& state, bool* exists, std::string* error) {
  std::error_code ec;
  *exists = std::filesystem::exists(path, ec);
  if (!*exists) return true;
  // Far more than a whole memory takes; a FIFO or a device is refused without reading.
  constexpr std::size_t kMaxStateFileSize = 4 * 1024 * 1024;
  const auto bytes = ReadFileUpTo(path, kMaxStateFileSize);
  if (!bytes || bytes->size() > kMaxStateFileSize) {
    if (error) *error = "cannot read " + path + (bytes ? ": too long" : ": not a readable regular file");
    return false;
  }
  if (!LoadDeviceState(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), state, error)) {
    if (error) *error = path + ": " + *error;
    return false;
  }
  return true;
}

}  // namespace tarnis::emulator
