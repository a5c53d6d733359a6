// Every program names the build's one version, and the About window's resource carries it too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/program_identity.h"
#include "platform/program_version.h"
#include "run_program.h"

namespace tarnis {
namespace {

TEST(ProgramVersion, EveryProgramPrintsTheBuildVersionWithoutADisplay) {
  EXPECT_STREQ(kProgramVersion, TARNIS_VERSION);
  // No display at all: the desktop program must answer before it would need one.
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  ::unsetenv("QT_QPA_PLATFORM");
  const std::pair<std::string, std::string> programs[] = {
      {"tarnis", TARNIS_PROGRAM}, {"tarnisctl", TARNISCTL}, {"tarnis-emulator", TARNIS_EMULATOR}};
  for (const auto& [name, path] : programs) {
    const auto run = test::RunProgram(path + " --version");
    EXPECT_EQ(run.exit_code, 0) << name << ": " << run.err;
    EXPECT_EQ(run.out, name + " " + TARNIS_VERSION + "\n") << name;
  }
  const auto help = test::RunProgram(std::string(TARNIS_PROGRAM) + " --help");
  EXPECT_EQ(help.exit_code, 0) << help.err;
  EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
}

TEST(ProgramVersion, TheAboutWindowResourceOfTheProgramIsTheSameVersion) {
  const ProgramIdentity identity = ReadProgramIdentity(TARNIS_PROGRAM);
  ASSERT_TRUE(identity.file_version.has_value());
  // The resource pads the version to four parts.
  const std::string version = TARNIS_VERSION;
  std::string padded = version;
  for (auto dots = std::count(version.begin(), version.end(), '.'); dots < 3; ++dots) padded += ".0";
  EXPECT_EQ(*identity.file_version, padded);
  EXPECT_EQ(identity.product_name, "Tarnis");
}

}  // namespace
}  // namespace tarnis
