#pragma once
// Finding the device: a status request on every free port at each speed the device may be set
// to. Ports are probed in parallel, the speeds of one port in turn, each try bounded by the wire
// time of request and answer. The search opens ports, so it runs only when the user asks.
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "connection/port_survey.h"
#include "link/exchange_log.h"

namespace tarnis::connection {

// Most likely first: the device's default, then the common ones.
inline constexpr std::array<int, 7> kSearchSpeeds = {115200, 9600, 57600, 38400, 19200, 4800, 2400};

struct FoundDevice {
  std::string port;  // COM name
  int baud = 0;
  std::optional<std::uint32_t> factory_number;  // when the answer carried it
  // False when the device refused the request as addressed to another factory number (error 55,
  // or 50: it has none set): it is there, but the user has to type the number from its plate.
  bool factory_number_matched = true;
  bool operator==(const FoundDevice&) const = default;
};

struct SearchRequest {
  std::vector<PortReport> ports;     // a survey; only free ports are tried, each tty once
  std::string factory_number = "1";  // sent in the status request
  int margin_ms = 50;                // added to the wire time of each try
  // Gets every try, told on the calling thread while the search is under way; none when null.
  link::ExchangeLog* log = nullptr;
};

struct SearchCallbacks {
  // Both run on the calling thread while the search is under way. The last progress call comes
  // after the end: done equals total unless the search was stopped.
  std::function<void(int done, int total)> progress;
  std::function<bool()> stop_requested;
};

// Longest a try at baud may take, open to close.
std::chrono::milliseconds TryBudget(int baud, int margin_ms);

// The devices found, in the order of the ports. Any well-formed answer proves a device, a device
// error included. A stopped search returns what it found until then.
std::vector<FoundDevice> FindDevices(const SearchRequest& request, const SearchCallbacks& callbacks = {});

}  // namespace tarnis::connection
