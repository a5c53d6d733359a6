#include <gtest/gtest.h>

#include <array>

#include "goods/goods_item_entry.h"
#include "goods/goods_row.h"
#include "goods/goods_scope.h"
#include "goods/goods_table.h"
#include "link/device_charset.h"
#include "platform/cp1251_codec.h"

namespace tarnis::goods {
namespace {

std::string Cp(const char* utf8) { return *Utf8ToCp1251(utf8); }

TEST(PriceText, ShowsRoublesPointAndTwoDigitsOfKopecks) {
  EXPECT_EQ(PriceText(0), "0.00");
  EXPECT_EQ(PriceText(5), "0.05");
  EXPECT_EQ(PriceText(7), "0.07");
  EXPECT_EQ(PriceText(45), "0.45");
  EXPECT_EQ(PriceText(100), "1.00");
  EXPECT_EQ(PriceText(105), "1.05");
  EXPECT_EQ(PriceText(12345), "123.45");
  EXPECT_EQ(PriceText(100000), "1000.00");
  EXPECT_EQ(PriceText(kDevicePriceMaxKopecks), "10995116277.75");
}

TEST(PriceKopecks, ReadsEveryCellFormTheTableHolds) {
  EXPECT_EQ(PriceKopecks("123.45"), 12345u);
  EXPECT_EQ(PriceKopecks(".50"), 50u);
  EXPECT_EQ(PriceKopecks("12"), 1200u);
  EXPECT_EQ(PriceKopecks("0.05"), 5u);
  EXPECT_EQ(PriceKopecks("7.5"), 750u);
  EXPECT_FALSE(PriceKopecks(""));
  EXPECT_FALSE(PriceKopecks("."));
  EXPECT_FALSE(PriceKopecks("1.234"));
  EXPECT_FALSE(PriceKopecks("1,23"));
  EXPECT_FALSE(PriceKopecks("12%"));
  EXPECT_FALSE(PriceKopecks("999999999999999999999.00"));
}

TEST(GoodsRow, EmptyRowAndRowFromDevice) {
  EXPECT_EQ(EmptyGoodsRow(56), (GoodsRow{"56", "", Cp("узкий"), "0", "0", "0.00"}));

  link::GoodsFields record;
  record.name = link::ToDeviceText(Cp("1ХЛЕБ БЕЛЫЙ"));
  record.barcode = "4601234567890";
  record.section = 7;
  record.price = 105;
  EXPECT_EQ(RowFromDeviceRecord(3, record),
            (GoodsRow{"3", Cp("ХЛЕБ БЕЛЫЙ"), Cp("широкий"), "4601234567890", "7", "1.05"}));
  // A record skipped after a failure: nothing but zeros.
  EXPECT_EQ(RowFromDeviceRecord(9, {}), (GoodsRow{"9", "", Cp("узкий"), "", "0", "0.00"}));
}

TEST(GoodsRow, DeviceRecordOfRow) {
  const GoodsRow row{"56", Cp("МОЛОКО"), Cp("широкий"), "123", "255", "1000.00"};
  const DeviceRecordFromRow converted = DeviceRecordOf(row);
  ASSERT_TRUE(converted.record);
  EXPECT_EQ(converted.record->name, link::ToDeviceText(Cp("1МОЛОКО")));
  EXPECT_EQ(converted.record->barcode, "123");
  EXPECT_EQ(converted.record->section, 255);
  EXPECT_EQ(converted.record->price, 100000u);

  GoodsRow narrow = row;
  narrow.font = Cp("узкий");
  EXPECT_EQ(DeviceRecordOf(narrow).record->name.front(), '0');
}

TEST(GoodsRow, RowThatCannotBeSentNamesTheField) {
  // A failed single read leaves the section and price empty.
  const GoodsRow blank{"", "", Cp("узкий"), "", "", ""};
  EXPECT_FALSE(DeviceRecordOf(blank).record);
  EXPECT_EQ(DeviceRecordOf(blank).bad_column, GoodsColumn::Section);
  EXPECT_EQ(DeviceRecordOf({"1", "", Cp("узкий"), "0", "256", "0.00"}).bad_column, GoodsColumn::Section);
  EXPECT_EQ(DeviceRecordOf({"1", "", Cp("узкий"), "0", "1", ""}).bad_column, GoodsColumn::Price);
  EXPECT_EQ(DeviceRecordOf({"1", "", Cp("узкий"), "0", "1", "1%.00"}).bad_column, GoodsColumn::Price);
  // The barcode goes as it stands; the command sends anything that is not a number as 0.
  EXPECT_TRUE(DeviceRecordOf({"1", "", Cp("узкий"), "", "1", "0.00"}).record);
}

TEST(PriceEntry, NormalisesTypedPrices) {
  EXPECT_EQ(NormalisePriceEntry("12").text, "12.00");
  EXPECT_EQ(NormalisePriceEntry("12.5").text, "12.50");
  EXPECT_EQ(NormalisePriceEntry("12.345").text, "12.34");
  EXPECT_EQ(NormalisePriceEntry("12.").text, "12.00");
  EXPECT_EQ(NormalisePriceEntry(".5").text, ".50");
  EXPECT_EQ(NormalisePriceEntry("007.10").text, "7.10");
  EXPECT_EQ(NormalisePriceEntry(".5").kopecks, 50u);
  EXPECT_EQ(NormalisePriceEntry("999999999.00").status, PriceEntry::Status::Ok);
  EXPECT_EQ(NormalisePriceEntry("999999999.01").status, PriceEntry::Status::TooLarge);
  EXPECT_EQ(NormalisePriceEntry("1000000000").status, PriceEntry::Status::TooLarge);
  EXPECT_EQ(NormalisePriceEntry("89,90").text, "89.90") << "a comma is the decimal point";
  EXPECT_EQ(NormalisePriceEntry("89,90").kopecks, 8990u);
  EXPECT_EQ(NormalisePriceEntry("1,2.3").status, PriceEntry::Status::NotANumber) << "one point only";
  EXPECT_EQ(NormalisePriceEntry("1'2").status, PriceEntry::Status::NotANumber);
  // A comma that may group thousands is no point: refused, never cut to kopecks.
  for (const char* ambiguous : {"1,234", "1,234.50", "1,2,3", "12,3456"})
    EXPECT_EQ(NormalisePriceEntry(ambiguous).status, PriceEntry::Status::NotANumber) << ambiguous;
  EXPECT_EQ(NormalisePriceEntry("1,5").text, "1.50");
  EXPECT_EQ(NormalisePriceEntry(",5").text, ".50");
}

TEST(GoodsItemCheck, ChecksInOrderWithTheirMessages) {
  EXPECT_EQ(CheckGoodsItem("", "", "").error, "Незаполнено поле \"Штрих-код\"!");
  EXPECT_EQ(CheckGoodsItem("0", "", "").error, "Незаполнено поле \"Секция\"!");
  EXPECT_EQ(CheckGoodsItem("0", "1", "").error, "Незаполнено поле \"Цена\"!");
  const ItemCheck bad_price = CheckGoodsItem("0", "x", "1.2.3%");
  EXPECT_EQ(bad_price.error, "Неккоректное значение цены!\nВозможно неккоректный разделитель!");
  EXPECT_EQ(bad_price.focus, ItemField::Price);
  const ItemCheck too_large = CheckGoodsItem("0", "1", "999999999.01");
  EXPECT_EQ(too_large.error, "Значение параметра \"Цена\" превышает разрядность!");
  EXPECT_EQ(too_large.focus, ItemField::Price);
  const ItemCheck bad_section = CheckGoodsItem("0", "1%", "1");
  EXPECT_EQ(bad_section.error, "Неккоректное значение секции!");
  EXPECT_EQ(bad_section.focus, ItemField::Section);
  EXPECT_EQ(CheckGoodsItem("0", "3000000000", "1").error, "Неккоректное значение секции!");
  const ItemCheck over_byte = CheckGoodsItem("0", "300", "1");
  EXPECT_EQ(over_byte.error, "Значение параметра \"Секция\" не может быть больше 255!");
  EXPECT_EQ(over_byte.focus, ItemField::Section);
  EXPECT_EQ(over_byte.price, "1.00");  // the price passed its checks and is normalised already
  EXPECT_EQ(too_large.price, "");

  const ItemCheck good = CheckGoodsItem("0", "0", "12.5");
  EXPECT_TRUE(good.ok());
  EXPECT_EQ(good.price, "12.50");
  EXPECT_TRUE(CheckGoodsItem("0", "255", "999999999.00").ok());
}

TEST(GoodsScope, CurrentWinsOverRangeAndNeitherMeansAll) {
  EXPECT_EQ(ChooseScope(true, true, 56, "1", "2").kind, GoodsScope::Kind::Selected);
  EXPECT_EQ(ChooseScope(true, true, 56, "1", "2").selected_code, 56);
  EXPECT_EQ(ChooseScope(false, true, 56, "1", "2").kind, GoodsScope::Kind::Range);
  EXPECT_EQ(ChooseScope(false, false, 56, "1", "2").kind, GoodsScope::Kind::All);
  EXPECT_EQ(ChooseScope(false, true, 56, "1", "2", true).kind, GoodsScope::Kind::Changed);
  EXPECT_EQ(ChooseScope(true, false, 56, "1", "2", true).kind, GoodsScope::Kind::Selected);
}

TEST(GoodsTable, RecordStatesFollowEditsDeviceAndFiles) {
  GoodsTable table;
  EXPECT_EQ(table.ChangedCount(), 0);
  std::array<GoodsRow, kGoodsRecordCount> file;
  for (int code = 0; code < kGoodsRecordCount; ++code) file[static_cast<std::size_t>(code)] = EmptyGoodsRow(code);
  file[3].price = "1.00";
  table.Load(file);
  EXPECT_EQ(table.ChangedCount(), 0) << "a loaded file marks nothing edited";
  EXPECT_FALSE(table.HasUnsavedEdits());

  table.SetCell(3, GoodsColumn::Price, "2.00");
  table.SetCell(4, GoodsColumn::Price, "1.00");
  table.SetCell(4, GoodsColumn::Price, "0.00");  // back as it was: no edit
  EXPECT_EQ(table.state(3), RecordState::Edited);
  EXPECT_EQ(table.state(4), RecordState::OnDevice);
  EXPECT_TRUE(table.HasUnsavedEdits());
  table.MarkNotWritten(3);
  table.MarkNotWritten(7);
  EXPECT_EQ(table.state(3), RecordState::NotWritten);
  EXPECT_EQ(table.ChangedCount(), 2);
  table.MarkSaved();
  EXPECT_FALSE(table.HasUnsavedEdits()) << "not written, but the file holds it";
  table.MarkOnDevice(3);
  EXPECT_EQ(table.state(3), RecordState::OnDevice);

  file[9].name = "X";
  table.Assign(file);  // an import: each row that differs is an edit
  EXPECT_EQ(table.state(9), RecordState::Edited);
  EXPECT_EQ(table.state(3), RecordState::Edited);
  EXPECT_EQ(table.state(7), RecordState::NotWritten);
}

TEST(GoodsScope, RangeCheckInOrder) {
  EXPECT_TRUE(CheckRange("0", "0").ok());
  EXPECT_EQ(CheckRange("0", "1000").last, 1000);
  const RangeCheck no_start = CheckRange("", "");
  EXPECT_EQ(no_start.error, "Не задано начало диапазона... ");
  EXPECT_EQ(no_start.focus, RangeField::First);
  const RangeCheck no_end = CheckRange("5", "");
  EXPECT_EQ(no_end.error, "Не задан конец диапазона... ");
  EXPECT_EQ(no_end.focus, RangeField::Last);
  EXPECT_EQ(CheckRange("0", "1001").error, "Неверный конец диапазона... ");
  EXPECT_EQ(CheckRange("5", "4").error, "Неверно задан диапазон... ");
  // Characters the key filter lets through.
  const RangeCheck bad_start = CheckRange("1%", "4");
  EXPECT_EQ(bad_start.error, "Неверное начало диапазона... ");
  EXPECT_EQ(bad_start.focus, RangeField::First);
  const RangeCheck bad_end = CheckRange("1", "4'");
  EXPECT_EQ(bad_end.error, "Неверный конец диапазона... ");
  EXPECT_EQ(bad_end.focus, RangeField::Last);
  EXPECT_EQ(CheckRange("99999999999999999999", "4").error, "Неверное начало диапазона... ");
  // The end beyond 1000 is reported before a start that is not a number.
  const RangeCheck both_bad = CheckRange("1%", "1001");
  EXPECT_EQ(both_bad.error, "Неверный конец диапазона... ");
  EXPECT_EQ(both_bad.focus, RangeField::None);
}

}  // namespace
}  // namespace tarnis::goods
