#include "platform/version_info.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "platform/program_identity.h"
#include "platform/version_resource.h"

namespace tarnis {
namespace {

namespace vr = version_resource;
namespace vi = version_info;

constexpr vr::VersionStrings kStrings{"Tarnis", "1.2.3.4", "Компания"};
constexpr auto kBlock = vr::BuildVersionBlock<vr::VersionBlockSize(kStrings)>(kStrings);

std::optional<std::string> QueryText(std::span<const std::uint8_t> block, std::string_view path) {
  const auto value = vi::QueryVersionValue(block, path);
  if (!value) return std::nullopt;
  return vi::ValueText(*value);
}

TEST(VersionInfo, BlockAnswersQueriesByPath) {
  EXPECT_EQ(vi::TranslationKey(0x0419, 0x04E3), "041904E3");
  EXPECT_EQ(vi::TranslationKey(0x0409, 0xFDE9), "0409FDE9");

  const auto translation = vi::QueryVersionValue(kBlock, "\\VarFileInfo\\Translation");
  ASSERT_TRUE(translation);
  EXPECT_EQ(std::vector<std::uint8_t>(translation->begin(), translation->end()),
            (std::vector<std::uint8_t>{0x19, 0x04, 0xE9, 0xFD}));

  EXPECT_EQ(QueryText(kBlock, "\\StringFileInfo\\0419FDE9\\ProductName"), "Tarnis");
  EXPECT_EQ(QueryText(kBlock, "\\StringFileInfo\\0419FDE9\\FileVersion"), "1.2.3.4");
  EXPECT_EQ(QueryText(kBlock, "\\StringFileInfo\\0419FDE9\\CompanyName"), "Компания");
  EXPECT_EQ(QueryText(kBlock, "\\stringfileinfo\\0419fde9\\companyname"), "Компания");
  EXPECT_TRUE(vi::QueryVersionValue(kBlock, "\\"));

  EXPECT_FALSE(vi::QueryVersionValue(kBlock, "\\StringFileInfo\\041904E3\\ProductName"));
  EXPECT_FALSE(vi::QueryVersionValue(kBlock, "\\StringFileInfo\\0419FDE9\\Comments"));
  EXPECT_FALSE(vi::QueryVersionValue(kBlock, "\\StringFileInfo\\0419FDE9\\ProductNam"));
}

TEST(VersionInfo, DamagedBlocksAreReadWithinTheirBounds) {
  // Every cut of the block either answers from what is there or answers nothing.
  for (std::size_t length = 0; length < kBlock.size(); ++length) {
    const std::vector<std::uint8_t> cut(kBlock.begin(), kBlock.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_FALSE(vi::QueryVersionValue(cut, "\\StringFileInfo\\0419FDE9\\CompanyName")) << length;
  }
  // Node lengths that lie: too small, zero, beyond the block.
  for (std::uint8_t bad : {0x00, 0x01, 0x05, 0xFF}) {
    std::vector<std::uint8_t> damaged(kBlock.begin(), kBlock.end());
    const std::size_t string_file_info = vr::kNodeHeaderSize + sizeof("VS_VERSION_INFO");
    damaged[string_file_info] = bad;
    damaged[string_file_info + 1] = bad;
    EXPECT_FALSE(vi::QueryVersionValue(damaged, "\\StringFileInfo\\0419FDE9\\ProductName")) << int(bad);
  }
}

TEST(VersionInfo, RunningExecutableCarriesItsEmbeddedResource) {
  const std::uint32_t size = vi::VersionInfoSize(vi::kRunningExecutable);
  ASSERT_GT(size, 0u);
  std::vector<std::uint8_t> block(size);
  ASSERT_TRUE(vi::FetchVersionInfo(vi::kRunningExecutable, block));
  std::vector<std::uint8_t> too_small(size - 1);
  EXPECT_FALSE(vi::FetchVersionInfo(vi::kRunningExecutable, too_small));

  const ProgramIdentity identity = ReadProgramIdentity(vi::kRunningExecutable);
  EXPECT_EQ(identity.product_name, "Тарнис \"тест\"");
  EXPECT_EQ(identity.file_version, "9.8.7.6");
  EXPECT_EQ(identity.company_name, "Компания\\отдел");
}

TEST(VersionInfo, FileWithoutVersionInformationGivesThreeEmptyTexts) {
  const std::string text_file = testing::TempDir() + "/not_a_program.txt";
  std::ofstream(text_file) << "plain text";
  for (const std::string& path : {std::string(TARNIS_FIXTURE_PLAIN), text_file, std::string("/nonexistent/tarnis")}) {
    EXPECT_EQ(vi::VersionInfoSize(path), 0u) << path;
    const ProgramIdentity identity = ReadProgramIdentity(path);
    EXPECT_EQ(identity.product_name, "") << path;
    EXPECT_EQ(identity.file_version, "") << path;
    EXPECT_EQ(identity.company_name, "") << path;
  }
}

TEST(VersionInfo, MissingTranslationTableLeavesEveryValueAlone) {
  EXPECT_GT(vi::VersionInfoSize(TARNIS_FIXTURE_NO_TRANSLATION), 0u);
  const ProgramIdentity identity = ReadProgramIdentity(TARNIS_FIXTURE_NO_TRANSLATION);
  EXPECT_FALSE(identity.product_name);
  EXPECT_FALSE(identity.file_version);
  EXPECT_FALSE(identity.company_name);
}

}  // namespace
}  // namespace tarnis
