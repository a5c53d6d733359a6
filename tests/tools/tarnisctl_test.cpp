// tarnisctl against the emulator on a pseudo-terminal (the fixture's ports directory is in the
// environment the program inherits).
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <ctime>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "emulated_device.h"
#include "platform/whole_file.h"
#include "run_program.h"

namespace tarnis {
namespace {

using test::RunProgram;

std::int64_t LocalSeconds(int year, int month, int day, int hours, int minutes) {
  std::tm broken{};
  broken.tm_year = year - 1900;
  broken.tm_mon = month - 1;
  broken.tm_mday = day;
  broken.tm_hour = hours;
  broken.tm_min = minutes;
  return static_cast<std::int64_t>(::timegm(&broken));
}

const std::string kCtl = TARNISCTL;

TEST(Tarnisctl, EveryLoaderRefusesWhatIsNotARegularFileAtOnce) {
  const std::string directory = "/tmp/tarnis-not-regular-" + std::to_string(::getpid());
  std::filesystem::remove_all(directory);
  std::filesystem::create_directories(directory);
  const std::string fifo = directory + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ::alarm(60);  // a loader that blocks on the FIFO ends the test here instead of hanging it
  const std::string out = directory + "/out";
  for (const std::string& path : {fifo, std::string("/dev/zero"), directory}) {
    for (const std::string& command :
         {kCtl + " preview " + path + " --form 1", kCtl + " config show " + path,
          kCtl + " goods export --file " + path + " --csv " + out + ".csv",
          kCtl + " goods import --csv " + path + " --file " + out + ".base",
          std::string(TARNIS_EMULATOR) + " --port COM9 --state " + path}) {
      const auto run = RunProgram(command);
      EXPECT_EQ(run.exit_code, 1) << command << "\n" << run.err;
      EXPECT_FALSE(run.err.empty()) << command;
      EXPECT_FALSE(std::filesystem::exists(out + ".csv") || std::filesystem::exists(out + ".base")) << command;
    }
  }
  ::alarm(0);
  std::filesystem::remove_all(directory);
}

TEST(Tarnisctl, StatusPrintsTheFieldsAsThePageShowsThem) {
  test::EmulatedDevice device("COM3", 4242);
  device.WithDevice([](emulator::Km07Device& km) {
    km.SetHostClock([] { return LocalSeconds(2025, 3, 7, 9, 5); });
    km.state().mode = 0x12;
    km.state().inn = 7707083893;
    km.state().document_number = 15;
  });
  auto run = RunProgram(kCtl + " status --port COM3 --factory 4242 --timeouts 50,500");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  // An inter-byte time-out of 0 sets no limit on the gap between bytes.
  const auto without_gap_limit = RunProgram(kCtl + " status --port COM3 --factory 4242 --timeouts 0,500");
  EXPECT_EQ(without_gap_limit.exit_code, 0) << without_gap_limit.err;
  EXPECT_EQ(without_gap_limit.out, run.out);
  EXPECT_EQ(run.out,
            "Время КМ : 09:05\n"
            "Дата КМ : 07/03/25\n"
            "Режим работы : 1 Off-line\n"
            "Подрежим : 2 Реж. А\n"
            "Флеш память : 0 Норма\n"
            "Батарейка : 0 Норма\n"
            "№ текущего документа : 15\n"
            "Состояние текущего документа : Завершен\n"
            "Заводской номер КМ : 4242\n"
            "ИНН : 7707083893\n");
  EXPECT_EQ(run.err, "");
}

TEST(Tarnisctl, FailuresGoToStandardErrorWithTheirExitCodes) {
  test::EmulatedDevice device("COM2", 1);
  auto run = RunProgram(kCtl + " status --port COM2 --factory 9 --trace");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("> 17 02 09 00 00 00 75 0B 19 BB 00\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("< 18 55 1F 37 "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" Не совпал заводской номер.\n"), std::string::npos);

  device.WithDevice([](emulator::Km07Device& km) { km.faults().silent = true; });
  run = RunProgram(kCtl + " status --port COM2 --timeouts 20,100");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "Нет ответа или не удалось открыть порт.\n");

  // Bad option values are refused before anything is sent.
  for (const char* options : {"--factory 99999999999", "--factory x1", "--port COM0", "--baud 1200", "--timeouts 250",
                              "--timeouts 250,0", "--timeouts -1,2500", "--unknown"}) {
    run = RunProgram(kCtl + " status --port COM2 " + options);
    EXPECT_EQ(run.exit_code, 2) << options;
    EXPECT_NE(run.err.find("tarnisctl status: "), std::string::npos) << options << run.err;
  }
  EXPECT_EQ(device.WithDevice([](emulator::Km07Device& km) { return km.total_requests_seen(); }), 2u);
}

TEST(Tarnisctl, HelpForTheProgramAndTheSubcommand) {
  auto run = RunProgram(kCtl + " --help");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_NE(run.out.find("  status        Напечатать состояние КМ"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\nПодкоманды:\n"), std::string::npos) << run.out;
  run = RunProgram(kCtl + " status --help");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out.rfind("Использование: tarnisctl status [параметры]\n", 0), 0u) << run.out;
  for (const char* text : {"--port", "--baud", "--factory", "--timeouts", "--trace", "\nПараметры:\n",
                           "Показывает эту справку.", "Заводской номер КМ (по умолчанию 1)."})
    EXPECT_NE(run.out.find(text), std::string::npos) << text;
  run = RunProgram(kCtl + " preview --help");
  EXPECT_NE(run.out.find("\nАргументы:\n"), std::string::npos) << run.out;
  for (const char* english : {"Usage", "Options:", "Arguments:", "Displays", "default", "file"})
    EXPECT_EQ(run.out.find(english), std::string::npos) << english;
  run = RunProgram(kCtl + " frobnicate");
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.err.rfind("tarnisctl: неизвестная подкоманда \"frobnicate\".\nИспользование: ", 0), 0u) << run.err;
  EXPECT_EQ(RunProgram(kCtl).exit_code, 2);

  // The parser's own faults in the same language.
  for (const auto& [arguments, error] : std::vector<std::pair<std::string, std::string>>{
           {"status --unknown", "tarnisctl status: неизвестный параметр \"unknown\".\n"},
           {"ports --all --x --y", "tarnisctl ports: неизвестные параметры: x, y.\n"},
           {"status --port", "tarnisctl status: нет значения после \"--port\".\n"},
           {"find --json=1", "tarnisctl find: лишнее значение после \"--json\".\n"}}) {
    run = RunProgram(kCtl + " " + arguments);
    EXPECT_EQ(run.exit_code, 2) << arguments;
    EXPECT_EQ(run.err, error) << arguments;
  }
}

TEST(Tarnisctl, ManyDevicesAtOnceEachWithItsOwnResultAndAFailingOneStopsNoOther) {
  using emulator::Km07Device;
  test::EmulatedDevice source("COM21", 4242), healthy("COM22", 4243), silent("COM23", 4244), faulty("COM24", 4245);
  source.WithDevice([](Km07Device& d) {  // every text but the clichés', which are written whole
    for (std::uint8_t table = 0; table < 4; ++table)
      for (std::size_t row = 1; row <= d.state().texts[table].size(); ++row)
        d.state().Text(table, static_cast<std::uint8_t>(row), 1) = "R" + std::to_string(row) + "T" + std::to_string(table);
  });
  silent.WithDevice([](Km07Device& d) { d.faults().silent = true; });
  faulty.WithDevice([](Km07Device& d) { d.InjectLineFaults(0.05, 7); });
  const auto memory = [](test::EmulatedDevice& device) {
    return device.WithDevice([](Km07Device& d) { return std::pair(d.state().texts, d.state().enabled); });
  };
  const auto untouched = memory(silent);
  const std::string folder = "/tmp/tarnis-many-" + std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  const std::string cfg = folder + "/source.cfg", options = " --timeouts 50,200 ";
  ASSERT_EQ(RunProgram(kCtl + " config read --port COM21 --factory 4242" + options + "--file " + cfg).exit_code, 0);

  const auto run = RunProgram(kCtl + " config write --ports COM22,COM23,COM24 --factory COM22=4243,COM23=4244,COM24=4245" +
                              options + "--json --file " + cfg);
  EXPECT_EQ(run.exit_code, 1);
  const QJsonArray devices = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array();
  ASSERT_EQ(devices.size(), 3) << run.out << run.err;
  const QJsonObject good = devices[0].toObject(), mute = devices[1].toObject(), shaky = devices[2].toObject();
  EXPECT_EQ(good["port"].toString(), "COM22");
  EXPECT_EQ(good["factory_number"].toString(), "4243");
  EXPECT_EQ(good["result"].toString(), "ok");
  EXPECT_EQ(good["failures"].toInt(), 0);
  EXPECT_GT(good["requests"].toInt(), 100);
  EXPECT_TRUE(memory(healthy) == memory(source));
  EXPECT_EQ(mute["result"].toString(), "failed");
  EXPECT_EQ(mute["requests"].toInt(), 1);  // no --keep-going: the first failure ends that device's run
  EXPECT_EQ(mute["failures"].toInt(), 1);
  EXPECT_TRUE(memory(silent) == untouched);
  // A fault either stopped the faulty device, which says so, or it finished with every byte right.
  EXPECT_EQ(shaky["result"].toString() == "ok", shaky["failures"].toInt() == 0);
  if (shaky["result"].toString() == "ok") {
    EXPECT_TRUE(memory(faulty) == memory(source));
  }
  EXPECT_NE(run.err.find("[COM23] Не удалось записать"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("[COM22] Готово: успешно; запросов "), std::string::npos) << run.err;

  // Reading many devices: one file each, named by port; the same bytes as the source's file.
  const auto one_file = RunProgram(kCtl + " config read --ports COM21,COM22 --file " + folder + "/x.cfg");
  EXPECT_EQ(one_file.exit_code, 2);
  EXPECT_NE(one_file.err.find("с --ports имя файла должно содержать {port}"), std::string::npos) << one_file.err;
  const auto read = RunProgram(kCtl + " config read --ports COM22,COM21 --factory COM21=4242,COM22=4243" + options +
                               "--file " + folder + "/x-{port}.cfg");
  EXPECT_EQ(read.exit_code, 0) << read.err;
  EXPECT_EQ(ReadFileUpTo(folder + "/x-COM21.cfg", 1 << 20), ReadFileUpTo(cfg, 1 << 20));
  EXPECT_EQ(ReadFileUpTo(folder + "/x-COM22.cfg", 1 << 20), ReadFileUpTo(cfg, 1 << 20));
  EXPECT_NE(read.out.find("Порт   Заводской номер  Результат  Запросов  Сбоев  Время, с\nCOM22  4243             успешно"),
            std::string::npos) << read.out;
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace tarnis
