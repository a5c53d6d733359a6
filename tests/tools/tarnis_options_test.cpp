// The desktop program's own command-line options, as a user starts it.
#include <gtest/gtest.h>

#include <string>

#include "run_program.h"

namespace tarnis {
namespace {

std::string Tarnis(const std::string& arguments) {
  return std::string("QT_QPA_PLATFORM=offscreen ") + TARNIS_PROGRAM + " " + arguments;
}

TEST(TarnisOptions, LogFileThatCannotBeOpenedAndUnknownOptionsStopTheStart) {
  const auto log = test::RunProgram(Tarnis("--log /nonexistent-dir/x.log"));
  EXPECT_EQ(log.exit_code, 2);
  EXPECT_NE(log.err.find("tarnis: --log: /nonexistent-dir/x.log: No such file or directory"), std::string::npos)
      << log.err;
  EXPECT_EQ(test::RunProgram(Tarnis("--frobnicate")).exit_code, 2);
  const auto help = test::RunProgram(Tarnis("--help"));
  EXPECT_EQ(help.exit_code, 0);
  for (const char* option : {"--log <file>", "--port <name>", "--baud <baud>", "--factory <number>",
                             "--timeouts <gap,total>"})
    EXPECT_NE(help.out.find(option), std::string::npos) << option << "\n" << help.out;
}

TEST(TarnisOptions, AConnectionThatCannotBeAppliedStopsTheStartWithTheReason) {
  const std::pair<const char*, const char*> cases[] = {
      {"--port COM0", "tarnis: --port: \"COM0\" — не имя порта от COM1 до COM100.\n"},
      {"--port COM3 --baud 9601", "tarnis: --baud: \"9601\" — не скорость из 2400, 4800, 9600, 19200, 38400, 57600, 115200.\n"},
      {"--baud 19200x", "tarnis: --baud: \"19200x\" — не скорость из 2400, 4800, 9600, 19200, 38400, 57600, 115200.\n"},
      {"--factory 12a", "tarnis: --factory: Заводской номер должен быть целым числом от -2147483648 до 2147483647 "
                        "(не более 15 символов).\n"},
      {"--port COM3 --timeouts 250", "tarnis: --timeouts: \"250\" — не два тайм-аута в мс через запятую: между "
                                     "байтами от 0 до 600000 (0 — без предела) и общий от 1 до 600000, например "
                                     "250,2500.\n"},
      {"--timeouts 250,0", "tarnis: --timeouts: \"250,0\" — не два тайм-аута в мс через запятую: между байтами от 0 "
                           "до 600000 (0 — без предела) и общий от 1 до 600000, например 250,2500.\n"}};
  for (const auto& [arguments, error] : cases) {
    const auto run = test::RunProgram(Tarnis(arguments));
    EXPECT_EQ(run.exit_code, 2) << arguments;
    EXPECT_NE(run.err.find(error), std::string::npos) << arguments << ": " << run.err;
  }
}

}  // namespace
}  // namespace tarnis
