#pragma once
// The program names ports COM1..COM100, as its users know them; on Linux each name resolves
// first through a ports directory of symlinks, then through fixed tty ranges.
#include <optional>
#include <string>
#include <string_view>

namespace tarnis {

constexpr int kFirstPortNumber = 1;
constexpr int kLastPortNumber = 100;

// The number n of "COMn" for n in 1..100; nothing for any other text.
std::optional<int> PortNumber(std::string_view com_name);

// A serial port on another machine: "tcp://HOST:PORT" (raw bytes, as ser2net's raw mode and most
// Ethernet-to-serial converters serve them) or "rfc2217://HOST:PORT" (telnet with the COM port
// option, which carries the line settings to the far end). HOST is a name, an IPv4 address or an
// IPv6 address in brackets.
struct NetworkPortAddress {
  enum class Protocol { RawTcp, Rfc2217 };
  Protocol protocol = Protocol::RawTcp;
  std::string host;  // without the brackets of an IPv6 address
  int port = 0;      // 1..65535
  // "HOST:PORT" as the user wrote it, for messages.
  std::string Endpoint() const;
};
std::optional<NetworkPortAddress> ParseNetworkPortUrl(std::string_view url);
bool IsNetworkPortUrl(std::string_view text);

// A name the command line and the ports directory accept: a COM name or a network port URL.
bool IsPortNameOrUrl(std::string_view text);

// $TARNIS_PORTS_DIR, or ~/.config/tarnis/ports.
std::string PortsDirectory();

// The device path a COM name stands for: the ports directory's entry of that name when there is
// one (for an entry whose symlink target is a network port URL, that URL), else COM1-32 → /dev/ttyS0-31, COM33-64 → /dev/ttyUSB0-31, COM65-96 → /dev/ttyACM0-31.
// Nothing for COM97..COM100 without a directory entry, or for a name that is not a COM name.
// A network port URL given as the name stands for itself.
std::optional<std::string> ResolvePortName(std::string_view com_name);
// The same over a given ports directory and device folder (tests point them at fabricated trees).
std::optional<std::string> ResolvePortNameIn(std::string_view com_name, const std::string& ports_directory,
                                             const std::string& device_folder);

struct PortDescription {
  std::string path;  // empty when the name resolves to nothing
  bool exists = false;
};
// What a COM name resolves to on this machine, for showing beside the port list.
PortDescription DescribePort(std::string_view com_name);

// Makes the ports directory's entry com_name a symlink to target, replacing an old one.
bool RegisterPort(std::string_view com_name, const std::string& target, std::string* error = nullptr);
bool UnregisterPort(std::string_view com_name, const std::string& target);

}  // namespace tarnis
