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
  EXPECT_NE(help.out.find("--log <file>"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace tarnis
