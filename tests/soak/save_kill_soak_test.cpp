// A child process saves in a loop, alternating two contents, and is killed with SIGKILL at a
// random moment: the target is always one of the two files, whole.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "config/config_file.h"
#include "goods/goods_file.h"
#include "goods/goods_file_actions.h"
#include "platform/whole_file.h"
#include "soak_support.h"
#include "ui/silent_user_interface.h"

namespace tarnis::test {
namespace {

namespace fs = std::filesystem;

// Kills `rounds` children that each run save(0), save(1), save(0), ... on path, and checks the
// file after every kill against the two images.
void KillSavesAndCheck(const std::string& path, const std::function<void(int)>& save,
                       const std::array<std::vector<std::uint8_t>, 2>& images, int rounds, std::mt19937_64& random) {
  save(0);
  int whole = 0;
  for (int round = 0; round < rounds; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 1;; ++i) save(i % 2);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500 + random() % 20000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    const auto bytes = ReadFileUpTo(path, images[0].size() + images[1].size());
    ASSERT_TRUE(bytes);
    const bool one_of_them = *bytes == images[0] || *bytes == images[1];
    EXPECT_TRUE(one_of_them) << "round " << round << ": " << bytes->size() << " bytes";
    whole += one_of_them ? 1 : 0;
  }
  // What a kill leaves behind is the unfinished temporary file, never the target.
  std::size_t leftovers = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path()))
    leftovers += entry.path().filename().string().find(".tmp-") != std::string::npos ? 1 : 0;
  EXPECT_LE(leftovers, static_cast<std::size_t>(rounds));
  std::printf("soak save %s: %d kills, %d whole files, %d wrong values\n", fs::path(path).extension().c_str(), rounds,
              whole, rounds - whole);
}

class SaveKillSoak : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() / ("tarnis-save-kill-" + std::to_string(::getpid()));
    fs::remove_all(directory_);
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }
  fs::path directory_;
  std::mt19937_64 random_{SoakSeed()};
};

TEST_F(SaveKillSoak, ConfigurationFileIsAlwaysTheOldOrTheNewOne) {
  std::array<config::DeviceConfiguration, 2> configurations;
  config::BlankFormTable table;
  config::ResetBlankForms(table);
  std::array<std::vector<std::uint8_t>, 2> images;
  for (int i = 0; i < 2; ++i) {
    config::FillDefaults(configurations[i]);
    configurations[i].document_name.Set(RandomText(random_));
    const auto image = config::EncodeConfigurationFile(table, configurations[i]);
    images[i].assign(image.begin(), image.end());
  }
  ASSERT_NE(images[0], images[1]);
  const std::string path = (directory_ / "device.cfg").string();
  ui::SilentUserInterface ui;
  KillSavesAndCheck(path, [&](int i) { config::SaveConfigurationFile(path, table, configurations[i], ui); }, images,
                    20, random_);
}

TEST_F(SaveKillSoak, GoodsFileIsAlwaysTheOldOrTheNewOne) {
  std::array<goods::GoodsTable, 2> tables;
  std::array<std::vector<std::uint8_t>, 2> images;
  for (int i = 0; i < 2; ++i) {
    for (int code = 0; code < goods::kGoodsRecordCount; code += 7)
      tables[i].SetRow(code, {std::to_string(code), RandomText(random_).substr(1), goods::NarrowFontWord(),
                              std::to_string(random_() % 100000), "1", "2.50"});
    images[i] = goods::EncodeGoodsFile(tables[i]).bytes;
  }
  ASSERT_NE(images[0], images[1]);
  const std::string path = (directory_ / "goods.base").string();
  KillSavesAndCheck(path, [&](int i) { goods::SaveGoodsFile(path, tables[i]); }, images, 20, random_);
}

}  // namespace
}  // namespace tarnis::test
