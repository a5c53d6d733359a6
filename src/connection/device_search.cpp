#include "connection/device_search.h"

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "link/commands.h"
#include "link/device_errors.h"
#include "link/frame.h"
#include "link/network_transport.h"
#include "platform/serial_port.h"

namespace tarnis::connection {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPollInterval = std::chrono::milliseconds(20);

// The port stays open for all speeds of one port: each open raises DTR again.
class ProbeTransport final : public link::Transport {
 public:
  ProbeTransport(SerialPort& port, int margin_ms) : port_(port), margin_ms_(margin_ms) {}
  bool CheckPort(const link::LinkSettings&) override { return port_.IsOpen(); }
  link::TransportResult Exchange(const link::LinkSettings& settings, std::span<const std::uint8_t> request,
                                 std::span<std::uint8_t> answer) override {
    const auto deadline = Clock::now() + TryBudget(settings.baud_rate, margin_ms_);
    const auto left = [&] {
      return static_cast<int>(std::max<std::int64_t>(
          1, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
    };
    if (!port_.Configure(settings.baud_rate)) return link::TransportResult::NotOpened(errno);
    if (!port_.Write(request, left())) return link::TransportResult::Received(0, port_.line_lost());
    const std::size_t received = port_.Read(answer, ReadTimeouts{margin_ms_, left()});
    return link::TransportResult::Received(received, port_.line_lost());
  }

 private:
  SerialPort& port_;
  int margin_ms_;
};

// A network port: a connection per try, as for any exchange, each bounded like a serial try
// plus the connect.
class NetworkProbeTransport final : public link::Transport {
 public:
  NetworkProbeTransport(NetworkPortAddress address, int margin_ms) : address_(std::move(address)), margin_ms_(margin_ms) {}
  bool CheckPort(const link::LinkSettings&) override { return true; }
  link::TransportResult Exchange(const link::LinkSettings& settings, std::span<const std::uint8_t> request,
                                 std::span<std::uint8_t> answer) override {
    link::LinkSettings bounded = settings;
    bounded.inter_byte_timeout_ms = margin_ms_;
    bounded.total_timeout_ms = static_cast<int>(TryBudget(settings.baud_rate, margin_ms_).count()) + kNetworkProbeTimeoutMs;
    const link::TransportResult result = network_.ExchangeWith(address_, bounded, request, answer);
    opened_ = result.opened;
    return result;
  }
  // Whether the last try got a connection.
  bool opened() const { return opened_; }

 private:
  bool opened_ = true;
  link::NetworkTransport network_;
  NetworkPortAddress address_;
  int margin_ms_;
};

struct PortProbe {
  std::string name;
  std::string device;
  std::optional<FoundDevice> found;
};

// The tries of every probe, completed on the probes' threads and handed to the log on the
// calling thread.
class ProbeRecords {
 public:
  // Pairs this link's requests and answers on its own thread.
  void Attach(link::Link& link, link::ExchangeLog& pairing) {
    pairing.SetListener([this](const link::ExchangeRecord& record) {
      std::lock_guard lock(mutex_);
      records_.push_back(record);
    });
    pairing.Attach(link);
  }
  void HandTo(link::ExchangeLog* log) {
    std::vector<link::ExchangeRecord> taken;
    {
      std::lock_guard lock(mutex_);
      taken.swap(records_);
    }
    if (log)
      for (const link::ExchangeRecord& record : taken) log->Add(record);
  }

 private:
  std::mutex mutex_;
  std::vector<link::ExchangeRecord> records_;
};

// Tries the speeds of one port in turn. Tries left out because the device was found, or the
// port could not be opened or went away, count as done; those left out for a stop do not.
// A well-formed answer proves a device, a device error included; the found device notes whether
// the factory number was taken.
bool Found(PortProbe& probe, const link::StatusReply& reply, int baud) {
  if (!reply.ok() && reply.result != link::LinkResult::DeviceError) return false;
  probe.found = FoundDevice{probe.name, baud, std::nullopt};
  if (reply.ok()) probe.found->factory_number = reply.fields.factory_number;
  probe.found->factory_number_matched = reply.error_code != link::kErrorFactoryNumberMismatch &&
                                        reply.error_code != link::kErrorFactoryNumberNotSet;
  return true;
}

// Tries the search speeds over one transport in turn, while worth_more() says a further speed may
// answer; a found device is reported at reported_baud(baud).
template <class WorthMore, class ReportedBaud>
void TrySpeeds(PortProbe& probe, link::Transport& transport, const SearchRequest& request,
               const std::atomic<bool>& stop, std::atomic<int>& done, ProbeRecords& records, WorthMore worth_more,
               ReportedBaud reported_baud) {
  int left = static_cast<int>(kSearchSpeeds.size());
  link::Link link(transport);
  link::ExchangeLog pairing(1);
  if (request.log) records.Attach(link, pairing);
  link.settings().port_name = probe.name;
  link.settings().factory_number = request.factory_number;
  for (const int baud : kSearchSpeeds) {
    if (stop) return;
    if (left < static_cast<int>(kSearchSpeeds.size()) && !worth_more()) break;
    link.settings().baud_rate = baud;
    const link::StatusReply reply = link::RequestStatus(link);
    --left;
    ++done;
    if (Found(probe, reply, reported_baud(baud))) break;
  }
  done += left;
}

void Probe(PortProbe& probe, const SearchRequest& request, const std::atomic<bool>& stop, std::atomic<int>& done,
           ProbeRecords& records) {
  if (stop) return;
  if (const auto address = ParseNetworkPortUrl(probe.device)) {
    NetworkProbeTransport transport(*address, request.margin_ms);
    // Raw TCP has the far end's one speed; a refused connection will not change with the speed.
    const bool telnet = address->protocol == NetworkPortAddress::Protocol::Rfc2217;
    TrySpeeds(probe, transport, request, stop, done, records, [&] { return telnet && transport.opened(); },
              [&](int baud) { return telnet ? baud : 0; });
    return;
  }
  SerialPort port;
  if (!port.Open(probe.device)) {
    done += static_cast<int>(kSearchSpeeds.size());
    return;
  }
  ProbeTransport transport(port, request.margin_ms);
  TrySpeeds(probe, transport, request, stop, done, records, [&] { return !port.line_lost(); },
            [](int baud) { return baud; });
}

}  // namespace

std::chrono::milliseconds TryBudget(int baud, int margin_ms) {
  constexpr int kBitsPerByte = 10;
  const auto bits = static_cast<std::int64_t>(link::RequestSize(link::Command::Status) +
                                              link::AnswerSize(link::Command::Status)) * kBitsPerByte;
  const std::int64_t wire_ms = baud > 0 ? (bits * 1000 + baud - 1) / baud : 0;
  return std::chrono::milliseconds(wire_ms + margin_ms);
}

std::vector<FoundDevice> FindDevices(const SearchRequest& request, const SearchCallbacks& callbacks) {
  // One probe per tty; a name from the ports directory is the one the user chose for it.
  std::vector<PortProbe> probes;
  std::map<std::string, std::size_t> by_device;
  for (const PortReport& port : request.ports) {
    if (!Usable(port.state) || port.device.empty()) continue;
    const auto [known, inserted] = by_device.emplace(port.device, probes.size());
    if (inserted) probes.push_back(PortProbe{port.name, port.device, std::nullopt});
    else if (port.through_ports_directory && !probes[known->second].found)
      probes[known->second].name = port.name;
  }
  const int total = static_cast<int>(probes.size() * kSearchSpeeds.size());
  std::atomic<bool> stop{false};
  std::atomic<int> done{0};
  std::atomic<std::size_t> running{probes.size()};
  std::mutex mutex;
  std::condition_variable finished;
  ProbeRecords records;
  std::vector<std::thread> threads;
  threads.reserve(probes.size());
  for (PortProbe& probe : probes) {
    threads.emplace_back([&, probe_ptr = &probe] {
      Probe(*probe_ptr, request, stop, done, records);
      std::lock_guard lock(mutex);
      --running;
      finished.notify_all();
    });
  }
  {
    std::unique_lock lock(mutex);
    while (running > 0) {
      finished.wait_for(lock, kPollInterval);
      lock.unlock();
      records.HandTo(request.log);
      if (callbacks.progress) callbacks.progress(done, total);
      if (callbacks.stop_requested && callbacks.stop_requested()) stop = true;
      lock.lock();
    }
  }
  for (std::thread& thread : threads) thread.join();
  records.HandTo(request.log);
  if (callbacks.progress) callbacks.progress(done, total);

  std::vector<FoundDevice> found;
  for (const PortProbe& probe : probes)
    if (probe.found) found.push_back(*probe.found);
  return found;
}

}  // namespace tarnis::connection
