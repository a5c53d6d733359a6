// tarnisctl ports and find as scripts use them: the JSON shapes, the exit codes, and the survey
// of a user without access to the tty.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "emulator_process.h"
#include "run_program.h"

namespace tarnis {
namespace {

namespace fs = std::filesystem;
const std::string kCtl = TARNISCTL;

QJsonObject Port(const QJsonArray& ports, const char* name) {
  for (const auto& port : ports)
    if (port.toObject().value("name").toString() == QLatin1String(name)) return port.toObject();
  ADD_FAILURE() << name << " not listed";
  return {};
}

TEST(ConnectionCtl, PortsJsonShowsEveryNameWithItsStateAndHolder) {
  fs::create_directories(PortsDirectory());
  test::EmulatorProcess emulator("COM61");
  ASSERT_TRUE(emulator.running());
  const int fd = ::open(emulator.slave_path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);  // this test's own process holds the port

  auto run = test::RunProgram(kCtl + " ports --json");
  const auto status = test::RunProgram(kCtl + " status --port COM61");
  // A holder whose name would drive the terminal is shown with placeholders, in JSON as it is.
  char own_name[16] = {};
  ::prctl(PR_GET_NAME, own_name);
  ::prctl(PR_SET_NAME, "x\x1B]0;owned\x07");
  const auto unsafe = test::RunProgram(kCtl + " ports");
  const auto unsafe_json = test::RunProgram(kCtl + " ports --json");
  ::prctl(PR_SET_NAME, own_name);
  EXPECT_EQ(unsafe.out.find('\x1B'), std::string::npos);
  EXPECT_NE(unsafe.out.find("занят программой x\xEF\xBF\xBD]0;owned\xEF\xBF\xBD (PID"), std::string::npos) << unsafe.out;
  EXPECT_NE(unsafe_json.out.find("\"holder_command\": \"x\\u001b]0;owned\\u0007\""), std::string::npos) << unsafe_json.out;
  ::close(fd);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const QJsonArray ports = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array();
  ASSERT_EQ(ports.size(), 100);
  const QJsonObject held = Port(ports, "COM61");
  EXPECT_EQ(status.exit_code, 1);
  EXPECT_EQ(status.err, "Нет ответа или не удалось открыть порт.\nПорт " + emulator.slave_path() + " занят программой " +
                            held.value("holder_command").toString().toStdString() + " (PID " +
                            std::to_string(::getpid()) + ").\n");
  EXPECT_EQ(held.keys(), (QStringList{"by_id", "description", "device", "group", "holder_command", "holder_pid",
                                      "name", "openers", "state"}));
  EXPECT_EQ(held.value("state").toString(), "busy");
  EXPECT_EQ(held.value("device").toString().toStdString(), emulator.slave_path());
  EXPECT_EQ(held.value("holder_pid").toInt(), ::getpid());
  EXPECT_FALSE(held.value("holder_command").toString().isEmpty());
  EXPECT_TRUE(held.value("description").isNull());
  EXPECT_TRUE(held.value("by_id").isNull());
  bool emulator_listed = false;
  for (const auto& opener : held.value("openers").toArray()) {
    EXPECT_EQ(opener.toObject().keys(), (QStringList{"command", "pid"}));
    if (opener.toObject().value("pid").toInt() == emulator.pid())
      emulator_listed = opener.toObject().value("command").toString() == "tarnis-emulator";
  }
  EXPECT_TRUE(emulator_listed);
  const QJsonObject nothing = Port(ports, "COM97");
  EXPECT_EQ(nothing.value("state").toString(), "missing");
  EXPECT_TRUE(nothing.value("device").isNull() && nothing.value("group").isNull() &&
              nothing.value("holder_pid").isNull());

  run = test::RunProgram(kCtl + " ports");  // names with nothing behind them are left out
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_NE(run.out.find("COM61\t" + emulator.slave_path() + "\tfree\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("COM97"), std::string::npos);
}

TEST(ConnectionCtl, FindReportsDevicesAsJsonAndExitsOneWhenNoneAnswers) {
  fs::create_directories(PortsDirectory());
  {
    test::EmulatorProcess device("COM62", {"--line-speed", "19200", "--factory", "3141"});
    ASSERT_TRUE(device.running());
    auto run = test::RunProgram(kCtl + " find --json --ports COM62,COM63 --factory 3141");
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array(),
              (QJsonArray{QJsonObject{
                  {"port", "COM62"}, {"baud", 19200}, {"factory_number", 3141}, {"factory_number_matched", true}}}));
    run = test::RunProgram(kCtl + " find --ports COM62");  // factory number 1 differs: error 55
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, "COM62\t19200\t-\n");
    // Every try reaches the log, the refusal included.
    const std::string log = (fs::temp_directory_path() / ("find-" + std::to_string(::getpid()) + ".log")).string();
    run = test::RunProgram(kCtl + " --log " + log + " find --json --ports COM62");
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array(),
              (QJsonArray{QJsonObject{{"port", "COM62"},
                                      {"baud", 19200},
                                      {"factory_number", QJsonValue()},
                                      {"factory_number_matched", false}}}));
    std::ifstream in(log);
    const std::string logged((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(log);
    EXPECT_NE(logged.find("  COM62 115200  запрос состояния  "), std::string::npos) << logged;
    EXPECT_NE(logged.find("  COM62 19200  запрос состояния  ошибка КМ 55:"), std::string::npos) << logged;
  }
  auto run = test::RunProgram(kCtl + " find --json --ports COM62");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array(), QJsonArray());
  for (const char* bad : {" find --ports COM0", " find --factory x", " ports extra"})
    EXPECT_EQ(test::RunProgram(kCtl + bad).exit_code, 2) << bad;
}

TEST(ConnectionCtl, UserOutsideTheTtyGroupSeesNoAccessAndTheGroup) {
  if (::access("/usr/bin/setpriv", X_OK) != 0 && ::access("/bin/setpriv", X_OK) != 0)
    GTEST_SKIP() << "setpriv (util-linux) is not installed: cannot run the survey as another user";
  if (::geteuid() != 0) GTEST_SKIP() << "only root can drop to the unprivileged user for this check";
  // A ports directory the unprivileged user can read.
  const fs::path ports = fs::path("/tmp") / ("tarnis-noaccess-" + std::to_string(::getpid()));
  fs::remove_all(ports);
  fs::create_directories(ports);
  fs::permissions(ports, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
  ::setenv("TARNIS_PORTS_DIR", ports.c_str(), 1);
  {
    test::EmulatorProcess device("COM64");
    ASSERT_TRUE(device.running());
    const group* dialout = ::getgrnam("dialout");
    const gid_t gid = dialout ? dialout->gr_gid : 20;
    ASSERT_EQ(::chown(device.slave_path().c_str(), 0, gid), 0);
    ASSERT_EQ(::chmod(device.slave_path().c_str(), 0660), 0);
    const auto run = test::RunProgram("setpriv --reuid 65534 --regid 65534 --clear-groups " + kCtl + " ports --json");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const QJsonObject port = Port(QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array(), "COM64");
    EXPECT_EQ(port.value("state").toString(), "no-access");
    EXPECT_EQ(port.value("group").toString().toStdString(), dialout ? dialout->gr_name : "20");
    const auto text = test::RunProgram("setpriv --reuid 65534 --regid 65534 --clear-groups " + kCtl + " ports");
    EXPECT_NE(text.out.find("sudo usermod -aG"), std::string::npos) << text.out;
  }
  fs::remove_all(ports);
}

}  // namespace
}  // namespace tarnis
