// tarnisctl goods as its users run it.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "emulated_device.h"
#include "goods/goods_file_actions.h"
#include "link/device_charset.h"
#include "platform/cp1251_codec.h"
#include "platform/whole_file.h"
#include "run_program.h"

namespace tarnis::goods {
namespace {

using test::RunProgram;

const std::string kCtl = TARNISCTL;
const std::string kDevice = " --port COM5 --timeouts 50,500";

std::string Cp(const char* utf8) { return *Utf8ToCp1251(utf8); }

class TarnisctlGoods : public ::testing::Test {
 protected:
  std::string Path(const char* name) { return directory_.filePath(QString::fromUtf8(name)).toStdString(); }
  void WriteText(const std::string& path, const std::string& text) {
    ASSERT_TRUE(ReplaceFile(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}));
  }

  QTemporaryDir directory_;
};

// --since writes only the records that differ from the file the device is said to hold; --verify
// reads them back, and with --retries a silent line is asked three times per record.
TEST_F(TarnisctlGoods, WriteSinceSendsOnlyTheDifferencesAndVerifies) {
  test::EmulatedDevice device("COM5", 1);
  const auto goods_requests = [&] {
    return device.WithDevice([](emulator::Km07Device& d) { return d.requests_seen(link::Command::Goods); });
  };
  const std::string yesterday = Path("yesterday.base"), today = Path("today.base");
  GoodsTable table;
  ASSERT_EQ(SaveGoodsFile(yesterday, table), "");
  table.SetCell(7, GoodsColumn::Price, "3.50");
  table.SetCell(900, GoodsColumn::Name, "X");
  ASSERT_EQ(SaveGoodsFile(today, table), "");

  auto run = RunProgram(kCtl + " goods write" + kDevice + " --file " + today + " --since " + yesterday + " --verify");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "Записано изменений: 2.\nПрочитано обратно совпадает: 2.\n");
  EXPECT_EQ(goods_requests(), 4u) << "two writes, two reads back";
  EXPECT_EQ(device.WithDevice([](emulator::Km07Device& d) { return d.state().goods[7].price; }), 350u);

  run = RunProgram(kCtl + " goods write" + kDevice + " --file " + today + " --since " + today);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "Изменений нет.\n");
  EXPECT_EQ(goods_requests(), 4u);

  device.WithDevice([](emulator::Km07Device& d) { d.faults().silent = true; });
  run = RunProgram(kCtl + " goods write" + kDevice + " --retries 2 --file " + today + " --since " + yesterday);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(goods_requests(), 4u + 3) << "the first record three times, then the run stops";
}

TEST_F(TarnisctlGoods, ImportWriteReadExport) {
  test::EmulatedDevice device("COM5", 1);
  const std::string csv = Path("in.csv"), base = Path("in.base"), back = Path("back.base"), out = Path("out.csv");
  WriteText(csv, "Код товара;Наименование;Тип. шрифта;Штрих-код;Секция;Цена\n3;хлеб;широкий;46;2;12,5\n");
  auto run = RunProgram(kCtl + " goods import --csv " + csv + " --file " + base);
  ASSERT_EQ(run.exit_code, 0) << run.err;

  run = RunProgram(kCtl + " goods write" + kDevice + " --file " + base + " --range 3-4");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "Записано удачно...\n");
  EXPECT_EQ(device.WithDevice([](emulator::Km07Device& d) { return d.requests_seen(link::Command::Goods); }), 2u);
  device.WithDevice([](emulator::Km07Device& d) {
    EXPECT_EQ(d.state().goods[3].name, link::ToDeviceText(*Utf8ToCp1251("1ХЛЕБ")));
    EXPECT_EQ(d.state().goods[3].price, 1250u);
  });

  const std::string read = kCtl + " goods read" + kDevice + " --file " + back + " --range 2-3";
  run = RunProgram(read);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err.find("запросов"), std::string::npos) << "a progress line without a terminal: " << run.err;
  // On a terminal the same read keeps one progress line up to date and clears it at the end.
  const auto live = RunProgram("script -qec '" + read + "' /dev/null");
  ASSERT_EQ(live.exit_code, 0) << live.out;
  EXPECT_NE(live.out.find("2/2 запросов, 100 %\x1b[K"), std::string::npos) << live.out;
  EXPECT_NE(live.out.rfind("\r\x1b[K"), std::string::npos) << live.out;
  GoodsTable table;
  ASSERT_EQ(LoadGoodsFile(back, table), "");
  EXPECT_EQ(table.row(3), (GoodsRow{"3", Cp("ХЛЕБ"), Cp("широкий"), "46", "2", "12.50"}));
  EXPECT_EQ(table.row(4), EmptyGoodsRow(4));  // outside the range

  run = RunProgram(kCtl + " goods export --file " + back + " --csv " + out);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const auto text = ReadFileUpTo(out, 1 << 20);
  ASSERT_TRUE(text);
  EXPECT_NE(std::string(text->begin(), text->end()).find("\r\n3;ХЛЕБ;широкий;46;2;12.50\r\n"), std::string::npos);
}

TEST_F(TarnisctlGoods, EraseIgnoresTheRangeAndFailuresAreReported) {
  test::EmulatedDevice device("COM5", 1);
  device.WithDevice([](emulator::Km07Device& d) { d.state().goods[900].price = 5; });
  auto run = RunProgram(kCtl + " goods erase" + kDevice + " --range 1-2");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(device.WithDevice([](emulator::Km07Device& d) { return d.state().goods[900].price; }), 0u);

  run = RunProgram(kCtl + " goods read" + kDevice + " --file " + Path("x.base") + " --range 5-4");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "Выгрузка товаров...\nНеверно задан диапазон... \n");
  run = RunProgram(kCtl + " goods read" + kDevice + " --file " + Path("x.base") + " --range 5");
  EXPECT_EQ(run.exit_code, 2);

  // Going on after a failure saves what was read, and says on stderr what was not.
  device.WithDevice([](emulator::Km07Device& d) {
    emulator::ForcedError forced;
    forced.command = link::Command::Goods;
    forced.row = 6;
    forced.code = 51;
    d.faults().forced_errors.push_back(forced);
  });
  run = RunProgram(kCtl + " goods read" + kDevice + " --file " + Path("x.base") + " --range 5-7 --keep-going");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("Прочитано с ошибками: не прочитано 1 из 3.\nТовар 6\n"), std::string::npos) << run.err;
  EXPECT_TRUE(ReadFileUpTo(Path("x.base"), 1 << 20));

  const std::string csv = Path("bad.csv");
  WriteText(csv, "Код товара;Наименование;Тип. шрифта;Штрих-код;Секция;Цена\n3;;узкий;0;300;1\n");
  run = RunProgram(kCtl + " goods import --csv " + csv + " --file " + Path("bad.base"));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "Не удалось импортировать файл: строка 2, столбец 5 \"Секция\": нужно число от 0 до 255.\n");
  EXPECT_FALSE(ReadFileUpTo(Path("bad.base"), 10));
}

// A base with barcodes the device and the file hold at their widest goes through CSV in every
// export format and comes back byte for byte.
TEST_F(TarnisctlGoods, BaseThroughCsvAndBackIsByteIdentical) {
  GoodsTable table;
  table.SetRow(1, {"1", Cp("МОЛОКО, 1Л"), Cp("широкий"), "281474976710655", "7", "21474836.47"});
  table.SetRow(2, {"2", Cp("\"КАВЫЧКИ\"; И ЗАПЯТАЯ,"), Cp("узкий"), "9223372036854775807", "255", "0.05"});
  const std::string base = Path("wide.base");
  ASSERT_EQ(SaveGoodsFile(base, table), "");
  const auto original = ReadFileUpTo(base, 1 << 20);
  for (const char* options : {"", " --encoding cp1251 --separator ,", " --separator tab", " --encoding UTF-8"}) {
    const std::string csv = Path("wide.csv"), back = Path("back.base");
    auto run = RunProgram(kCtl + " goods export --file " + base + " --csv " + csv + options);
    ASSERT_EQ(run.exit_code, 0) << run.err;
    run = RunProgram(kCtl + " goods import --csv " + csv + " --file " + back);
    ASSERT_EQ(run.exit_code, 0) << options << ": " << run.err;
    EXPECT_EQ(ReadFileUpTo(back, 1 << 20), original) << options;
  }
  const auto run = RunProgram(kCtl + " goods export --file " + base + " --csv " + Path("x.csv") + " --encoding koi8-r");
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.err, "tarnisctl goods export: --encoding — utf-8 или cp1251.\n");
  EXPECT_EQ(RunProgram(kCtl + " goods export --file " + base + " --csv " + Path("x.csv") + " --separator :").exit_code,
            2);
}

// What spreadsheets and accounting programs write gives the records today's format gives.
TEST_F(TarnisctlGoods, ImportOfOtherShapesGivesTheRecordsOfTodaysFormat) {
  const std::string today = "Код товара;Наименование;Тип. шрифта;Штрих-код;Секция;Цена\n"
                            "1;МОЛОКО 1Л;узкий;4601234567890;2;89.90\n"
                            "2;КЕФИР, 0;широкий;0;3;45.00\n";
  const std::string cp1251 = Cp("Наименование;Код товара;Цена;Секция;Штрих-код;Тип. шрифта\r\n"
                                "Молоко 1л;1;89,90;2;4601234567890;узкий\r\n"
                                "\"кефир, 0\";2;45;3;;Широкий\r\n");
  const std::string bom_commas = "\xEF\xBB\xBF" "код товара,наименование,тип. шрифта,штрих-код,секция,цена\n"
                                 "1,\"Молоко 1л\",узкий,4601234567890,2,\"89,90\"\n"
                                 "2,\"Кефир, 0\",широкий,0,3,45.00\n";
  std::vector<std::optional<std::vector<std::uint8_t>>> bases;
  for (const std::string& text : {today, cp1251, bom_commas}) {
    const std::string csv = Path("in.csv"), base = Path("out.base");
    WriteText(csv, text);
    const auto run = RunProgram(kCtl + " goods import --csv " + csv + " --file " + base);
    ASSERT_EQ(run.exit_code, 0) << run.err;
    bases.push_back(ReadFileUpTo(base, 1 << 20));
  }
  ASSERT_TRUE(bases[0]);
  EXPECT_EQ(bases[1], bases[0]);
  EXPECT_EQ(bases[2], bases[0]);
}

}  // namespace
}  // namespace tarnis::goods
