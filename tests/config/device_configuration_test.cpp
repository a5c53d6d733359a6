#include "config/device_configuration.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "platform/cp1251_codec.h"

namespace tarnis::config {
namespace {

std::string Cp(const std::string& utf8) { return Utf8ToCp1251Lossy(utf8); }

class DefaultsTest : public ::testing::Test {
 protected:
  void SetUp() override { FillDefaults(configuration); }
  DeviceConfiguration configuration;
};

TEST_F(DefaultsTest, OperatorsReadTheirNumbersAndAreEnabled) {
  const OperatorRecord& last = configuration.operators[31];
  EXPECT_EQ(last.position.Text(), Cp("0ОПЕРАТОР 32"));
  EXPECT_EQ(last.full_name.Text(), Cp("0ФАМИЛИЯ 32"));
  EXPECT_EQ(last.enabled, 1);
  for (int n = 1; n <= kOperatorCount; ++n) {
    const auto password = configuration.operators[n - 1].password.Text();
    EXPECT_EQ(password, std::to_string(n));
    EXPECT_EQ(PasswordNumber(password), n) << "a default password must never read as 0";
  }
}

TEST_F(DefaultsTest, ServicesRequisitesAndClichesReadTheirDefaults) {
  EXPECT_EQ(configuration.document_name.Text(), Cp("0СТРОКА ДСО"));
  EXPECT_EQ(configuration.services[98].lines[1].Text(), Cp("0УСЛУГА 99 - СТРОКА 2"));
  EXPECT_EQ(configuration.services[0].lines[0].Text(), Cp("0УСЛУГА 1 - СТРОКА 1"));
  EXPECT_EQ(configuration.requisites[7].lines[2].Text(), Cp("0ДОП. РЕК 8 - СТРОКА 3"));
  for (const ClicheRecord& cliche : configuration.cliches) {
    EXPECT_EQ(cliche.lines[0].Text(), Cp("0СТРОКА КЛИШЕ 0"));
    EXPECT_EQ(cliche.lines[7].Text(), Cp("0СТРОКА КЛИШЕ 7"));
    EXPECT_EQ(cliche.enabled, 1);
  }
  EXPECT_EQ(configuration.services[98].enabled, 1);
  EXPECT_EQ(configuration.requisites[7].enabled, 1);
}

TEST_F(DefaultsTest, BlockLayoutIsByteExact) {
  const auto bytes = Bytes(configuration);
  ASSERT_EQ(bytes.size(), 8843u);
  auto text_at = [&](std::size_t offset) {
    return std::string(reinterpret_cast<const char*>(bytes.data() + offset));
  };
  EXPECT_EQ(text_at(0), Cp("0ОПЕРАТОР 1"));
  EXPECT_EQ(text_at(31 * 59 + 52), "32");
  EXPECT_EQ(bytes[31 * 59 + 58], 1);
  EXPECT_EQ(text_at(1888), Cp("0СТРОКА ДСО"));
  EXPECT_EQ(text_at(1914 + 98 * 53 + 26), Cp("0УСЛУГА 99 - СТРОКА 2"));
  EXPECT_EQ(text_at(7161 + 7 * 79 + 52), Cp("0ДОП. РЕК 8 - СТРОКА 3"));
  EXPECT_EQ(text_at(8425), Cp("0СТРОКА КЛИШЕ 0"));
  EXPECT_EQ(text_at(8425 + 209 + 7 * 26), Cp("0СТРОКА КЛИШЕ 7"));
  // Bytes behind a text are zero; the unused requisite slots 9..16 stay zero.
  for (std::size_t i = 1888 + 11; i < 1914; ++i) EXPECT_EQ(bytes[i], 0) << i;
  for (std::size_t i = 7161 + 8 * 79; i < 8425; ++i) ASSERT_EQ(bytes[i], 0) << i;
}

TEST(ConfigTextTest, StoresWithinTheFieldAndReadsUnterminatedFields) {
  DeviceConfiguration configuration;
  FillDefaults(configuration);
  OperatorRecord& record = configuration.operators[0];
  const std::string text25(25, 'A');
  record.full_name.Set(text25);
  EXPECT_EQ(record.full_name.Text(), text25);
  record.full_name.Set(text25 + "BC");
  EXPECT_EQ(record.full_name.Text(), text25);
  EXPECT_EQ(record.full_name.bytes[25], 0);

  record.password.Set("1234567");
  EXPECT_EQ(record.password.Text(), "12345");
  EXPECT_EQ(record.enabled, 1) << "a long password must not reach the enabled byte";

  std::memset(configuration.document_name.bytes, 'X', sizeof configuration.document_name.bytes);
  EXPECT_EQ(configuration.document_name.Text(), std::string(26, 'X'));
  EXPECT_EQ(configuration.services[0].lines[0].Text(), Cp("0УСЛУГА 1 - СТРОКА 1"));
}

TEST(ConfigTextTest, WidthAttributeCutsTheBody) {
  ConfigText text{};
  text.SetBody(ConfigText::kWide, "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(text.Text(), "1ABCDEFGHIJKL");
  EXPECT_TRUE(text.IsWide());
  EXPECT_EQ(text.Body(), "ABCDEFGHIJKL");

  text.SetBody(ConfigText::kNarrow, std::string(30, 'N'));
  EXPECT_EQ(text.Text(), "0" + std::string(24, 'N'));
  text.SetWidth(ConfigText::kWide);
  EXPECT_EQ(text.Text(), "1" + std::string(12, 'N'));
  EXPECT_EQ(text.bytes[13], 0);

  text.Clear();
  EXPECT_EQ(text.Width(), 0);
  EXPECT_EQ(text.Body(), "");
}

TEST(PasswordNumberTest, OnlyDecimalDigitsAreANumber) {
  EXPECT_EQ(PasswordNumber("12345"), 12345);
  EXPECT_EQ(PasswordNumber("0000"), 0);
  EXPECT_EQ(PasswordNumber(""), std::nullopt);
  EXPECT_EQ(PasswordNumber("12a"), std::nullopt);
  EXPECT_EQ(PasswordNumber(" 1"), std::nullopt);
  EXPECT_EQ(PasswordNumber("-1"), std::nullopt);
}

TEST(ParameterMapTest, AddressesReachTheirFieldsAndEnabledBytes) {
  DeviceConfiguration configuration;
  FillDefaults(configuration);

  auto password = ParameterAt(configuration, {0, 32, 3});
  ASSERT_TRUE(password);
  EXPECT_EQ(password->text.data(), configuration.operators[31].password.bytes);
  EXPECT_EQ(password->text.size(), 6u);
  EXPECT_EQ(password->enabled, nullptr) << "only the position's answer carries the operator's enabled byte";
  EXPECT_EQ(ParameterAt(configuration, {0, 5, 1})->enabled, &configuration.operators[4].enabled);
  EXPECT_EQ(ParameterAt(configuration, {1, 1, 1})->text.data(), configuration.document_name.bytes);
  EXPECT_EQ(ParameterAt(configuration, {1, 1, 1})->enabled, nullptr);
  EXPECT_EQ(ParameterAt(configuration, {2, 99, 2})->enabled, &configuration.services[98].enabled);
  EXPECT_EQ(ParameterAt(configuration, {3, 8, 3})->text.data(), configuration.requisites[7].lines[2].bytes);
  EXPECT_EQ(ParameterAt(configuration, {4, 2, 8})->text.data(), configuration.cliches[1].lines[7].bytes);
  EXPECT_EQ(ParameterAt(configuration, {4, 2, 8})->enabled, nullptr);

  for (ParameterAddress outside : {ParameterAddress{0, 0, 1}, ParameterAddress{0, 33, 1}, ParameterAddress{0, 1, 4},
                                   ParameterAddress{1, 2, 1}, ParameterAddress{2, 1, 3}, ParameterAddress{3, 9, 1},
                                   ParameterAddress{4, 3, 1}, ParameterAddress{5, 1, 1}})
    EXPECT_FALSE(ParameterAt(configuration, outside)) << int(outside.table) << " " << int(outside.row);
}

TEST(ParameterMapTest, CoversEveryTextOnceIn335Requests) {
  DeviceConfiguration configuration;
  std::set<const char*> fields;
  int requests = 0;
  for (const SectionMap& map : kParameterMap)
    for (int row = 1; row <= map.rows; ++row)
      for (int field = 1; field <= map.fields; ++field) {
        const auto target = ParameterAt(configuration, {map.table, std::uint8_t(row), std::uint8_t(field)});
        ASSERT_TRUE(target);
        fields.insert(target->text.data());
        ++requests;
      }
  EXPECT_EQ(requests, 335);
  EXPECT_EQ(fields.size(), 335u);
}

}  // namespace
}  // namespace tarnis::config
