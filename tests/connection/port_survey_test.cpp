// The port survey over fabricated sysfs, /proc, /dev and lock trees, then over real
// pseudo-terminals with real processes on them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "connection/port_failure.h"
#include "connection/port_survey.h"
#include "link/commands.h"
#include "link/exchange_log.h"
#include "link/serial_transport.h"
#include "emulator_process.h"
#include "lock_holder.h"

namespace tarnis::connection {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

void Link(const fs::path& target, const fs::path& link) {
  fs::create_directories(link.parent_path());
  fs::create_symlink(target, link);
}

// A machine with an FTDI adapter (ttyUSB0), a CDC-ACM device (ttyACM0) and a plain UART (ttyS0).
class FabricatedMachine : public ::testing::Test {
 protected:
  FabricatedMachine() {
    top = fs::canonical(fs::temp_directory_path()) / ("tarnis-survey-" + std::to_string(::getpid()));
    fs::remove_all(top);
    roots = SystemRoots{(top / "sys").string(), (top / "proc").string(), (top / "dev").string(),
                        (top / "lock").string(), (top / "ports").string()};
    fs::create_directories(top / "ports");
    for (const char* tty : {"ttyUSB0", "ttyACM0", "ttyS0"}) Write(top / "dev" / tty, "");

    const fs::path usb = top / "sys/devices/pci0000:00/0000:00:14.0/usb1";
    const fs::path ftdi = usb / "1-1";
    Write(ftdi / "idVendor", "0403\n");
    Write(ftdi / "idProduct", "6001\n");
    Write(ftdi / "manufacturer", "FTDI\n");
    Write(ftdi / "product", "FT232R USB UART\n");
    Write(ftdi / "serial", "A50285BI\n");
    fs::create_directories(ftdi / "1-1:1.0/ttyUSB0");
    Link(top / "sys/bus/usb-serial/drivers/ftdi_sio", ftdi / "1-1:1.0/ttyUSB0/driver");
    Link(ftdi / "1-1:1.0/ttyUSB0", top / "sys/class/tty/ttyUSB0/device");

    const fs::path acm = usb / "1-2";
    Write(acm / "idVendor", "2341\n");
    Write(acm / "idProduct", "0043\n");
    Write(acm / "product", "Uno\n");  // no maker, no serial number
    fs::create_directories(acm / "1-2:1.0");
    Link(top / "sys/bus/usb/drivers/cdc_acm", acm / "1-2:1.0/driver");
    Link(acm / "1-2:1.0", top / "sys/class/tty/ttyACM0/device");

    // The serial core's port layer sits between the tty and the UART's own driver.
    fs::create_directories(top / "sys/devices/pnp0/00:05/00:05:0/00:05:0.0");
    Link(top / "sys/bus/pnp/drivers/serial", top / "sys/devices/pnp0/00:05/driver");
    Link(top / "sys/bus/serial-base/drivers/port", top / "sys/devices/pnp0/00:05/00:05:0/00:05:0.0/driver");
    Link(top / "sys/devices/pnp0/00:05/00:05:0/00:05:0.0", top / "sys/class/tty/ttyS0/device");
    Write(top / "sys/class/tty/ttyS0/type", "4\n");
    Write(top / "sys/class/tty/ttyS0/port", "0x3F8\n");

    Link("../../ttyUSB0", top / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    Write(top / "proc/locks", "");
  }
  ~FabricatedMachine() override { fs::remove_all(top); }

  void Process(int pid, const std::string& command) { Write(top / "proc" / std::to_string(pid) / "comm", command + "\n"); }

  // A /proc/locks line for the file as the kernel writes it: file system device in hex, inode.
  std::string LockLine(int number, const char* kind, int pid, const fs::path& file) {
    struct stat info {};
    ::stat(file.c_str(), &info);
    char line[160];
    std::snprintf(line, sizeof line, "%d: %s  ADVISORY  WRITE %d %02x:%02x:%llu 0 EOF\n", number, kind, pid,
                  major(info.st_dev), minor(info.st_dev), static_cast<unsigned long long>(info.st_ino));
    return line;
  }

  PortReport Find(const std::vector<PortReport>& survey, const std::string& name) {
    for (const auto& report : survey)
      if (report.name == name) return report;
    ADD_FAILURE() << name << " not surveyed";
    return {};
  }

  fs::path top;
  SystemRoots roots;
};

TEST_F(FabricatedMachine, AdaptersAreDescribedFromSysfsAndFoundByTheirNames) {
  Link(top / "dev/ttyUSB0", top / "ports/COM5");
  const auto survey = SurveyPorts(roots);
  ASSERT_EQ(survey.size(), 100u);

  const PortReport ftdi = Find(survey, "COM33");
  EXPECT_EQ(ftdi.device, (top / "dev/ttyUSB0").string());
  EXPECT_EQ(ftdi.state, PortState::Free);
  EXPECT_EQ(ftdi.description, "FTDI FT232R USB UART, A50285BI, 0403:6001, ftdi_sio");
  EXPECT_EQ(ftdi.by_id, (top / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0").string());
  EXPECT_FALSE(ftdi.through_ports_directory);
  EXPECT_EQ(ftdi.group, "root");
  EXPECT_TRUE(ftdi.in_group);

  const PortReport named = Find(survey, "COM5");  // the ports directory's name for the same adapter
  EXPECT_TRUE(named.through_ports_directory);
  EXPECT_EQ(named.device, ftdi.device);
  EXPECT_EQ(named.description, ftdi.description);
  EXPECT_EQ(named.by_id, ftdi.by_id);

  EXPECT_EQ(Find(survey, "COM65").description, "Uno, 2341:0043, cdc_acm");
  EXPECT_EQ(Find(survey, "COM65").by_id, "");
  EXPECT_EQ(Find(survey, "COM1").description, "UART 16550A at 0x3F8, serial");
  EXPECT_EQ(Find(survey, "COM1").state, PortState::Free);

  const PortReport absent = Find(survey, "COM34");
  EXPECT_EQ(absent.state, PortState::Missing);
  EXPECT_EQ(absent.device, (top / "dev/ttyUSB1").string());
  EXPECT_EQ(absent.group, "");
  EXPECT_NE(FailureReason(absent).find("ttyUSB1 не найдено"), std::string::npos);
  const PortReport unnamed = Find(survey, "COM97");
  EXPECT_EQ(unnamed.state, PortState::Missing);
  EXPECT_EQ(unnamed.device, "");
}

TEST_F(FabricatedMachine, LocksNameTheirHoldersAndOpenersAreListed) {
  Process(4242, "minicom");
  Process(555, "ModemManager");
  Process(31337, "picocom");
  // A flock on the UART, a live UUCP lock on the FTDI adapter, a stale one on the ACM device.
  Write(top / "proc/locks", "1: POSIX  ADVISORY  WRITE 99 fd:01:12345 0 EOF\n" +
                                LockLine(2, "FLOCK", 4242, top / "dev/ttyS0") +
                                "2: -> FLOCK  ADVISORY  WRITE 555 00:00:1 0 EOF\n");
  Write(top / "lock/LCK..ttyUSB0", "     31337\n");
  Write(top / "lock/LCK..ttyACM0", "     99999\n");
  Link(top / "dev/ttyACM0", top / "proc/555/fd/7");
  Link(top / "dev/ttyACM0", top / "proc/555/fd/9");  // one entry per process
  Link("/dev/null", top / "proc/555/fd/0");
  Link(top / "dev/ttyACM0", top / "proc/4242/fd/3");

  const auto survey = SurveyNames({"COM1", "COM33", "COM65", "COM12x"}, roots);
  ASSERT_EQ(survey.size(), 3u);
  EXPECT_EQ(survey[0].state, PortState::Busy);
  EXPECT_EQ(survey[0].holder, (ProcessInfo{4242, "minicom"}));
  EXPECT_NE(FailureReason(survey[0]).find("занят программой minicom (PID 4242)"), std::string::npos);
  EXPECT_EQ(survey[1].state, PortState::Busy);
  EXPECT_EQ(survey[1].holder, (ProcessInfo{31337, "picocom"}));
  EXPECT_EQ(survey[2].state, PortState::Free);  // its lock file names a process that has ended
  EXPECT_FALSE(survey[2].holder);
  EXPECT_EQ(survey[2].openers, (std::vector<ProcessInfo>{{555, "ModemManager"}, {4242, "minicom"}}));
  EXPECT_EQ(FailureReason(survey[2]), "");

  // An old program's binary lock file counts as well.
  const int pid = 31337;
  std::ofstream(top / "lock/LCK..ttyACM0", std::ios::binary).write(reinterpret_cast<const char*>(&pid), sizeof pid);
  EXPECT_EQ(SurveyPort("COM65", roots).holder, (ProcessInfo{31337, "picocom"}));

  // Anyone may put anything in the lock folder: a FIFO, a link to one, a link to a file elsewhere
  // naming a live process. None holds a port, none stops the survey; the flock still tells.
  Write(top / "elsewhere", "     31337\n");
  ASSERT_EQ(::mkfifo((top / "fifo").c_str(), 0666), 0);
  fs::remove(top / "lock/LCK..ttyUSB0");
  ASSERT_EQ(::mkfifo((top / "lock/LCK..ttyUSB0").c_str(), 0666), 0);
  Link(top / "fifo", top / "lock/LCK..ttyS0");
  fs::remove(top / "lock/LCK..ttyACM0");
  Link(top / "elsewhere", top / "lock/LCK..ttyACM0");
  auto surveyed = std::make_shared<std::promise<std::vector<PortReport>>>();
  auto future = surveyed->get_future();
  std::thread([surveyed, roots = roots] { surveyed->set_value(SurveyNames({"COM1", "COM33", "COM65"}, roots)); })
      .detach();
  if (future.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    for (const char* fifo : {"fifo", "lock/LCK..ttyUSB0"})  // a writer lets a blocked open go on
      ::close(::open((top / fifo).c_str(), O_WRONLY | O_NONBLOCK));
    FAIL() << "the survey waits on a FIFO in the lock folder";
  }
  const auto held = future.get();
  EXPECT_EQ(held[0].holder, (ProcessInfo{4242, "minicom"}));
  for (std::size_t i = 1; i < held.size(); ++i) {
    EXPECT_EQ(held[i].state, PortState::Free) << held[i].name;
    EXPECT_FALSE(held[i].holder) << held[i].name;
  }
}

// Real pseudo-terminals: the emulator program on them, another process holding a lock.
class RealPorts : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(PortsDirectory()); }
};

TEST_F(RealPorts, FreeBusyAndMissingAsTheSystemShowsThem) {
  test::EmulatorProcess emulator("COM21");
  ASSERT_TRUE(emulator.running());
  test::EmulatorProcess held("COM22");
  ASSERT_TRUE(held.running());
  fs::remove(fs::path(PortsDirectory()) / "COM23");
  fs::create_symlink("/dev/pts/999999", fs::path(PortsDirectory()) / "COM23");

  test::LockHolder locker(held.slave_path());
  ASSERT_TRUE(locker.locked());
  const auto survey = SurveyNames({"COM21", "COM22", "COM23"});
  ASSERT_EQ(survey.size(), 3u);
  EXPECT_EQ(survey[0].device, emulator.slave_path());
  EXPECT_EQ(survey[0].state, PortState::Free);
  EXPECT_TRUE(survey[0].through_ports_directory);
  EXPECT_NE(std::find(survey[0].openers.begin(), survey[0].openers.end(),
                      ProcessInfo{emulator.pid(), "tarnis-emulator"}),
            survey[0].openers.end());
  EXPECT_EQ(survey[0].description, "");  // a pseudo-terminal has nothing in sysfs
  EXPECT_EQ(survey[1].state, PortState::Busy);
  ASSERT_TRUE(survey[1].holder);
  EXPECT_EQ(survey[1].holder->pid, locker.pid());
  EXPECT_EQ(survey[2].state, PortState::Missing);
  EXPECT_EQ(survey[2].device, "/dev/pts/999999");

  // A device command on such a port says why it did not open, under the usual text and in the log.
  link::SerialTransport transport;
  link::Link link(transport);
  ExplainPortFailures(link);
  link::ExchangeLog log;
  log.Attach(link);
  const std::string busy = "Порт " + held.slave_path() + " занят программой " + survey[1].holder->command + " (PID " +
                           std::to_string(locker.pid()) + ").";
  const std::string missing = "Устройство /dev/pts/999999 не найдено: адаптер не подключен или порт назван иначе.";
  for (const auto& [port, reason] : {std::pair{"COM22", busy}, std::pair{"COM23", missing}}) {
    link.settings() = {port, 115200, 20, 100, "1", true};
    EXPECT_EQ(link::RequestStatus(link).message, "Нет ответа или не удалось открыть порт.\n" + reason);
    const std::string line = link::FormatExchange(log.records().back());
    EXPECT_NE(line.find("  запрос состояния  порт не открылся: " + reason + "  "), std::string::npos) << line;
  }
  // The survey sees nothing wrong: the system's error number decides.
  link::TransportResult refused = link::TransportResult::NotOpened(EBUSY);
  link.settings().port_name = "COM21";
  EXPECT_EQ(PortFailureReason(link.settings(), refused), "Порт " + emulator.slave_path() + " занят другой программой.");
  refused.open_errno = EIO;
  EXPECT_EQ(PortFailureReason(link.settings(), refused),
            "Порт " + emulator.slave_path() + " не открывается: за ним нет устройства или адаптер отключён.");
  EXPECT_EQ(PortFailureReason(link.settings(), link::TransportResult::Received(3, true)), kLineLostReason);
  EXPECT_EQ(PortFailureReason(link.settings(), link::TransportResult::NotOpened(ECONNREFUSED, "127.0.0.1:4000")),
            "127.0.0.1:4000");
}

}  // namespace
}  // namespace tarnis::connection
