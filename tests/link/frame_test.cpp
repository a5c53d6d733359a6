#include <gtest/gtest.h>

#include "link/device_charset.h"
#include "link/device_errors.h"
#include "link/frame.h"

namespace tarnis::link {
namespace {

TEST(Frame, StatusRequestForFactoryNumberZeroIsExact) {
  const auto frame = BuildRequest(Command::Status, 0, {});
  const std::vector<std::uint8_t> expected{0x17, 0x02, 0, 0, 0, 0, 0x75, 0x0B, 0x19, 0xB2, 0x00};
  EXPECT_EQ(frame, expected);
}

TEST(Frame, LengthsOfTheFiveCommands) {
  EXPECT_EQ(RequestSize(Command::Parameter), 40u);
  EXPECT_EQ(RequestSize(Command::Blank), 16u);
  EXPECT_EQ(RequestSize(Command::Inn), 25u);
  EXPECT_EQ(RequestSize(Command::Goods), 51u);
  EXPECT_EQ(RequestSize(Command::Status), 11u);
  EXPECT_EQ(AnswerCode(Command::Goods), 0x54);
}

TEST(Frame, ChecksumKeepsLow16BitsOfAPlainSum) {
  std::vector<std::uint8_t> bytes(300, 0xFF);  // 76500 = 0x12AD4
  EXPECT_EQ(FrameChecksum(bytes), 0x2AD4);
}

TEST(DeviceErrors, KnownAndUnknownTexts) {
  EXPECT_EQ(DeviceErrorText(0x23), " Нет бумаги.");
  EXPECT_EQ(DeviceErrorText(0x3A), "(58)Неизвестный код ошибки.");
  EXPECT_EQ(DeviceErrorText(59), " Разрядность \"Цена\" превышает допустимое значение.");
}

TEST(DeviceCharset, ConvertsBothWays) {
  // Ёлка in Windows-1251: A8 EB EA E0
  EXPECT_EQ(ToDeviceText("\xA8\xEB\xEA\xE0"), "e   ");
  EXPECT_EQ(FromDeviceText("abw"), "\xC0\xC1\xC2");
  EXPECT_EQ(ToDeviceText("\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
                         "\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xDB\xDC\xDD\xDE\xDF"),
            "abwgdevzijklmnoprstufhc~{}^yx|`q");
  EXPECT_EQ(FromDeviceText(std::string("ab\x80" "c", 4)), "\xC0\xC1");
}

}  // namespace
}  // namespace tarnis::link
