#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "goods/goods_file.h"
#include "goods/goods_file_actions.h"
#include "platform/cp1251_codec.h"
#include "recording_user_interface.h"

namespace tarnis::goods {
namespace {

std::string Cp(const char* utf8) { return *Utf8ToCp1251(utf8); }

std::vector<std::uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

class GoodsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("goods_file_test_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }
  std::string Path(const char* name) const { return (directory_ / name).string(); }

  std::filesystem::path directory_;
};

TEST_F(GoodsFileTest, FreshTableSavesAs40040BytesOfEmptyRecords) {
  const GoodsFileImage image = EncodeGoodsFile(GoodsTable());
  ASSERT_EQ(image.bytes.size(), 40040u);
  for (std::size_t k = 0; k < 1001; ++k) {
    const std::uint8_t* record = image.bytes.data() + k * 40;
    ASSERT_EQ(record[0] | record[1] << 8, static_cast<int>(k));
    ASSERT_EQ(record[2], '0');
    for (std::size_t i = 3; i < 40; ++i) ASSERT_EQ(record[i], 0) << "record " << k << " byte " << i;
  }
}

TEST_F(GoodsFileTest, RecordLayoutAtExactOffsets) {
  GoodsTable table;
  table.SetRow(1, {"1", Cp("ЯБЛОКО"), Cp("широкий"), "4601234567890", "200", "123.45"});
  const GoodsFileImage image = EncodeGoodsFile(table);
  const std::uint8_t* record = image.bytes.data() + 40;
  EXPECT_EQ(record[0], 1);
  EXPECT_EQ(record[1], 0);
  EXPECT_EQ(record[2], '1');
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record + 3)), Cp("ЯБЛОКО"));
  std::uint64_t barcode = 0;
  for (int i = 0; i < 8; ++i) barcode |= std::uint64_t{record[27 + i]} << (8 * i);
  EXPECT_EQ(barcode, 4601234567890u);
  EXPECT_EQ(record[35], 200);
  EXPECT_EQ(record[36] | record[37] << 8 | record[38] << 16 | record[39] << 24, 12345);
}

TEST_F(GoodsFileTest, RoundTripKeepsEveryCellIncludingA24CharacterName) {
  GoodsTable table;
  const std::string name24 = Cp("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧ");
  ASSERT_EQ(name24.size(), 24u);
  table.SetRow(0, {"0", name24, Cp("широкий"), "1", "255", "21474836.47"});
  table.SetRow(1000, {"1000", Cp("Ъ"), Cp("узкий"), "9999999999999", "0", "0.05"});
  const GoodsFileImage image = EncodeGoodsFile(table);
  // No terminating zero after a 24-character name: it runs up to the barcode.
  EXPECT_EQ(std::string(image.bytes.begin() + 3, image.bytes.begin() + 27), name24);

  const auto rows = DecodeGoodsFile(image.bytes);
  ASSERT_TRUE(rows);
  for (int code = 0; code < kGoodsRecordCount; ++code) ASSERT_EQ((*rows)[code], table.row(code)) << code;
}

TEST_F(GoodsFileTest, StoredPricesLoadInTheirTextForm) {
  GoodsFileImage image = EncodeGoodsFile(GoodsTable());
  const auto put_price = [&](int record, std::uint32_t price) {
    for (int i = 0; i < 4; ++i) image.bytes[record * 40 + 36 + i] = static_cast<std::uint8_t>(price >> (8 * i));
  };
  put_price(0, 5);
  put_price(1, 45);
  put_price(2, 100);
  put_price(3, 12345);
  const auto rows = DecodeGoodsFile(image.bytes);
  ASSERT_TRUE(rows);
  EXPECT_EQ((*rows)[0].price, "0.05");
  EXPECT_EQ((*rows)[1].price, "0.45");
  EXPECT_EQ((*rows)[2].price, "1.00");
  EXPECT_EQ((*rows)[3].price, "123.45");
  EXPECT_EQ((*rows)[4].price, "0.00");
  EXPECT_EQ((*rows)[4].barcode, "0");
}

TEST_F(GoodsFileTest, EmptyCellsAreStoredAsZero) {
  GoodsTable table;
  table.SetRow(56, {"", "", Cp("узкий"), "", "", ""});
  const auto rows = DecodeGoodsFile(EncodeGoodsFile(table).bytes);
  ASSERT_TRUE(rows);
  EXPECT_EQ((*rows)[56], (GoodsRow{"0", "", Cp("узкий"), "0", "0", "0.00"}));
}

TEST_F(GoodsFileTest, SaveRefusesCellsTheFileCannotHoldNamingTheRow) {
  GoodsTable table;
  table.SetCell(4, GoodsColumn::Price, "21474836.48");
  EXPECT_EQ(EncodeGoodsFile(table).error,
            "Не удалось сохранить файл: в строке 5 поле \"Цена\" больше 21474836.47...");
  EXPECT_TRUE(EncodeGoodsFile(table).bytes.empty());
  table.SetCell(4, GoodsColumn::Price, "0.00");
  table.SetCell(9, GoodsColumn::Barcode, "12%");
  EXPECT_EQ(EncodeGoodsFile(table).error, "Не удалось сохранить файл: в строке 10 поле \"Штрих-код\" не является числом...");
}

TEST_F(GoodsFileTest, LoadRefusesAnUnsoundFileAndKeepsTheTable) {
  const std::vector<std::uint8_t> sound = EncodeGoodsFile(GoodsTable()).bytes;
  auto corrupt = [&](auto change) {
    std::vector<std::uint8_t> bytes = sound;
    change(bytes);
    return bytes;
  };
  const std::vector<std::vector<std::uint8_t>> unsound = {
      corrupt([](auto& b) { b.resize(b.size() - 1); }),
      corrupt([](auto& b) { b.push_back(0); }),
      {},
      corrupt([](auto& b) { b[1000 * 40 + 2] = '2'; }),          // font flag of the last record
      corrupt([](auto& b) { b[500 * 40 + 39] = 0x80; }),         // negative price
      corrupt([](auto& b) { b[7 * 40 + 34] = 0x80; }),           // negative barcode
  };
  for (std::size_t i = 0; i < unsound.size(); ++i) {
    const std::string path = Path("bad.base");
    WriteBytes(path, unsound[i]);
    GoodsTable table;
    table.SetRow(3, {"3", Cp("СЫР"), Cp("широкий"), "77", "5", "9.99"});
    const GoodsRow before = table.row(3);
    EXPECT_EQ(LoadGoodsFile(path, table), "Некорректный файл...") << i;
    EXPECT_EQ(table.row(3), before) << i;
    EXPECT_EQ(table.row(1000), EmptyGoodsRow(1000)) << i;
  }
}

TEST_F(GoodsFileTest, ValidLoadSetsEveryCell) {
  const std::string path = Path("empty.base");
  ASSERT_EQ(SaveGoodsFile(path, GoodsTable()), "");
  GoodsTable table;
  table.SetRow(3, {"3", Cp("СЫР"), Cp("широкий"), "77", "5", "9.99"});
  ASSERT_EQ(LoadGoodsFile(path, table), "");
  EXPECT_EQ(table.row(3), EmptyGoodsRow(3));
}

TEST_F(GoodsFileTest, SaveAndLoadThroughTheirDialogs) {
  test::RecordingUserInterface ui;
  const std::string path = Path("table.base");
  GoodsTable table;
  table.SetRow(2, {"2", Cp("ЧАЙ"), Cp("узкий"), "5", "1", "1.05"});
  ui.file_choices.push_back(path);
  ASSERT_TRUE(SaveGoodsTable(ui, table));
  ASSERT_EQ(ui.file_dialogs.size(), 1u);
  EXPECT_EQ(ui.file_dialogs[0].title, "Файлы базы данных");
  EXPECT_EQ(ui.file_dialogs[0].filter, "Базы (*.base)|*.base");
  EXPECT_EQ(ui.file_dialogs[0].default_suffix, "base");
  EXPECT_FALSE(ui.file_dialogs[0].confirm_overwrite);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Сохранено...");
  EXPECT_EQ(ui.messages[0].caption, "Tarnis");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::None);
  EXPECT_EQ(FileBytes(path).size(), 40040u);

  GoodsTable loaded;
  ui.file_choices.push_back(path);
  ASSERT_TRUE(LoadGoodsTable(ui, loaded));
  EXPECT_EQ(ui.file_dialogs[1].title, "");
  EXPECT_EQ(ui.file_dialogs[1].filter, "Базыl (*.base)|*.base");
  EXPECT_EQ(ui.file_dialogs[1].default_suffix, "base");
  EXPECT_EQ(ui.messages.size(), 1u);  // no message on success
  EXPECT_EQ(loaded.row(2), table.row(2));

  // Cancelled dialogs do nothing.
  EXPECT_FALSE(SaveGoodsTable(ui, table));
  EXPECT_FALSE(LoadGoodsTable(ui, loaded));
  EXPECT_EQ(ui.messages.size(), 1u);

  ui.file_choices.push_back(Path("missing.base"));
  EXPECT_FALSE(LoadGoodsTable(ui, loaded));
  EXPECT_EQ(ui.messages.back().text, "Не удалось открыть файл...");
  EXPECT_EQ(ui.messages.back().caption, "Ошибка...");
  EXPECT_EQ(ui.messages.back().icon, ui::Icon::Error);
}

TEST_F(GoodsFileTest, FailedSaveKeepsTheEarlierFile) {
  const std::string path = Path("kept.base");
  GoodsTable table;
  table.SetRow(2, {"2", Cp("ЧАЙ"), Cp("узкий"), "5", "1", "1.05"});
  ASSERT_EQ(SaveGoodsFile(path, table), "");
  const auto before = FileBytes(path);
  table.SetCell(2, GoodsColumn::Price, "99999999.00");
  EXPECT_NE(SaveGoodsFile(path, table), "");
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory_), {}), 1);

  EXPECT_EQ(SaveGoodsFile(Path("no/such/dir.base"), GoodsTable()), "Не удалось создать файл...");
}

}  // namespace
}  // namespace tarnis::goods
