#include "constructor/preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/cp1251_codec.h"

namespace tarnis::constructor {
namespace {

std::string Spaces(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

void SetLine(config::ConfigText& line, std::string_view utf8) { line.Set(Utf8ToCp1251Lossy(utf8)); }

std::vector<std::string> PreviewUtf8(const config::DeviceConfiguration& configuration, const BlankFormEntry& entry) {
  std::vector<std::string> lines;
  for (const std::string& line : PreviewLines(configuration, entry)) lines.push_back(Cp1251ToUtf8(line));
  return lines;
}

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override { config::FillDefaults(configuration); }

  // The whole preview of the default texts, with the lines that stand between the service sum
  // and "ИТОГО" given by the test.
  static std::vector<std::string> DefaultPreview(const std::vector<std::string>& middle) {
    std::vector<std::string> lines = {
        "СТРОКА КЛИШЕ 0", "СТРОКА КЛИШЕ 1", "СТРОКА КЛИШЕ 2", "СТРОКА КЛИШЕ 3", "СТРОКА КЛИШЕ 4",
        "ИНН" + Spaces(9) + "000000000000", "ЗАВОД. НОМЕР" + Spaces(4) + "00000000",
        "ДОК. НОМЕР" + Spaces(10) + "0000", std::string(24, '-'), "СТРОКА ДСО",
        "Серия АБ-0000" + Spaces(4) + "0000000", "00/00/00" + Spaces(11) + "00:00",
        "  ПЕРВАЯ СТРОКА УСЛУГИ  ", "  ВТОРАЯ СТРОКА УСЛУГИ  ", "  ТРЕТЬЯ СТРОКА УСЛУГИ  ",
        Spaces(17) + "*000.00"};
    lines.insert(lines.end(), middle.begin(), middle.end());
    const std::vector<std::string> tail = {
        "ИТОГО" + Spaces(12) + "*000.00", "НАЛИЧНЫМИ", std::string(24, '-'), "ПРИНЯЛ ОПЕРАТОР №0:" + Spaces(5),
        "ДОЛЖНОСТЬ ОПЕРАТОРА" + Spaces(5), "Ф.И.О. ОПЕРАТОРА" + Spaces(8), "", "ПОДПИСЬ " + std::string(16, '.'),
        "СТРОКА КЛИШЕ 5", "СТРОКА КЛИШЕ 6", "СТРОКА КЛИШЕ 7"};
    lines.insert(lines.end(), tail.begin(), tail.end());
    return lines;
  }

  config::DeviceConfiguration configuration;
};

const std::vector<std::string> kRequisite2 = {"ДОП. РЕК 2 - СТРОКА 1", "ДОП. РЕК 2 - СТРОКА 2", "ДОП. РЕК 2 - СТРОКА 3"};
const std::string kDiscount = "СКИДКА 00%" + std::string(8, ' ') + "*00.00";
const std::string kTax = "НАЛОГ 00%" + std::string(8, ' ') + "*00.00";
const std::string kCode = "КОД ";

TEST_F(PreviewTest, EachVariantWithAndWithoutRequisiteAndExtraLine) {
  struct Case {
    std::uint8_t variant;
    bool shows_requisite;
    bool shows_extra_line;
  };
  // Variant 0, 2 and 4 and values outside 1..6 print neither; 5 prints only the requisite.
  const Case cases[] = {{0, false, false}, {1, true, true},   {2, false, false}, {3, true, true},
                        {4, false, false}, {5, true, false},  {6, true, true},   {7, false, false},
                        {255, false, false}};
  const std::pair<std::uint8_t, std::string> extra_lines[] = {{1, kDiscount}, {2, kTax}, {3, kCode}};
  for (const Case& c : cases) {
    for (std::uint8_t requisite : {0, 2}) {
      for (std::uint8_t type_sk : {0, 1, 2, 3}) {
        SCOPED_TRACE("variant " + std::to_string(c.variant) + " requisite " + std::to_string(requisite) +
                     " typeSk " + std::to_string(type_sk));
        std::vector<std::string> middle;
        if (c.shows_requisite && requisite != 0) middle = kRequisite2;
        if (c.shows_extra_line && type_sk != 0) middle.push_back(extra_lines[type_sk - 1].second);
        EXPECT_EQ(PreviewUtf8(configuration, {1, c.variant, requisite, type_sk}), DefaultPreview(middle));
      }
    }
  }
}

TEST_F(PreviewTest, OutOfRangeRequisiteAndExtraLineAddNothing) {
  EXPECT_EQ(PreviewUtf8(configuration, {1, 3, 9, 4}), DefaultPreview({}));
  EXPECT_EQ(PreviewUtf8(configuration, {1, 6, 255, 255}), DefaultPreview({}));
}

TEST_F(PreviewTest, CodeLineStaysWithVariantOne) {
  // Chosen with variant 3, kept when variant 1 (which offers no code button) is chosen after.
  EXPECT_EQ(PreviewUtf8(configuration, {1, 1, 0, 3}), DefaultPreview({kCode}));
}

TEST_F(PreviewTest, EmptyNameAndClicheLinesGiveNoLines) {
  for (config::ConfigText& line : configuration.cliches[0].lines) line.Clear();
  configuration.document_name.Set("0");  // the attribute alone is an empty text as well
  SetLine(configuration.cliches[1].lines[0], "0ВТОРОЕ КЛИШЕ");  // the second cliché is never shown
  const std::vector<std::string> lines = PreviewUtf8(configuration, {1, 3, 1, 0});
  std::vector<std::string> expected = DefaultPreview({"ДОП. РЕК 1 - СТРОКА 1", "ДОП. РЕК 1 - СТРОКА 2", "ДОП. РЕК 1 - СТРОКА 3"});
  std::erase_if(expected, [](const std::string& line) { return line.starts_with("СТРОКА"); });
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string()), 1);
  EXPECT_EQ(lines[lines.size() - 1], "ПОДПИСЬ " + std::string(16, '.'));
}

TEST_F(PreviewTest, EmptyRequisiteLinesAreSkipped) {
  configuration.requisites[1].lines[1].Clear();
  EXPECT_EQ(PreviewUtf8(configuration, {1, 5, 2, 0}),
            DefaultPreview({"ДОП. РЕК 2 - СТРОКА 1", "ДОП. РЕК 2 - СТРОКА 3"}));
}

TEST(RenderStoredLineTest, WideLinesAreLetterSpacedAndCutToTwelve) {
  config::ConfigText line{};
  SetLine(line, "1АБВГДЕЖЗИЙКЛМНО");  // 15 characters
  EXPECT_EQ(Cp1251ToUtf8(RenderStoredLine(line)), "А Б В Г Д Е Ж З И Й К Л ");
  SetLine(line, "1ДСО");
  EXPECT_EQ(Cp1251ToUtf8(RenderStoredLine(line)), "Д С О ");
  SetLine(line, "7ДСО");  // any attribute but '0' prints wide
  EXPECT_EQ(Cp1251ToUtf8(RenderStoredLine(line)), "Д С О ");
}

TEST(RenderStoredLineTest, NarrowLinesAreCutToTwentyFour) {
  config::ConfigText line{};
  // A field filled to its last byte, as a file may hold it: 25 characters and no terminating zero.
  std::memset(line.bytes, 'X', sizeof line.bytes);
  line.bytes[0] = '0';
  EXPECT_EQ(RenderStoredLine(line), std::string(24, 'X'));
  SetLine(line, "0  ОТСТУП  ");
  EXPECT_EQ(Cp1251ToUtf8(RenderStoredLine(line)), "  ОТСТУП  ");
}

TEST(RenderStoredLineTest, UnterminatedWideFieldStaysInBounds) {
  config::ConfigText line{};
  std::memset(line.bytes, 'W', sizeof line.bytes);
  EXPECT_EQ(RenderStoredLine(line), "W W W W W W W W W W W W ");
}

}  // namespace
}  // namespace tarnis::constructor
