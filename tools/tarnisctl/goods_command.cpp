// tarnisctl goods: the goods base between the device, *.base files and CSV.
//   goods read  --port COM1 --file x.base [--range A-B] [--keep-going]   device → file
//   goods write --port COM1 --file x.base [--range A-B] [--keep-going]   file → device
//               [--since y.base] [--verify]       only the records that differ from y.base; read back
//   goods erase --port COM1 [--keep-going]                               empties the device's base
//   goods export --file x.base --csv x.csv [--encoding cp1251] [--separator ,]   file → CSV
//   goods import --csv x.csv --file x.base                                CSV → file
#include <iostream>
#include <string>
#include <vector>

#include "console_user_interface.h"
#include "device_run.h"
#include "goods/goods_file_actions.h"
#include "goods/goods_transfer.h"
#include "subcommand.h"

namespace tarnis::ctl {
namespace {

const QString kFile = QStringLiteral("file");
const QString kCsv = QStringLiteral("csv");
const QString kRange = QStringLiteral("range");
const QString kKeepGoing = QStringLiteral("keep-going");
const QString kEncoding = QStringLiteral("encoding");
const QString kSeparator = QStringLiteral("separator");
const QString kSince = QStringLiteral("since");
const QString kVerify = QStringLiteral("verify");

enum class DeviceAction { Read, Write, Erase };

// "A-B" as the two range texts the page's fields would hold; nothing when there is no dash.
std::optional<std::pair<std::string, std::string>> SplitRange(const QString& text) {
  const qsizetype dash = text.indexOf('-');
  if (dash < 0) return std::nullopt;
  return std::pair{text.left(dash).trimmed().toStdString(), text.mid(dash + 1).trimmed().toStdString()};
}

int Failed(const std::string& message) {
  PrintError(message);
  return 1;
}

int Missing(const char* name, const char* option) {
  PrintError("tarnisctl " + std::string(name) + ": нужен параметр " + option + ".");
  return 2;
}

// goods write of the prepared table (the file's records, edited over the --since file's when given)
// in the scope; --verify then reads back every record the device took.
int RunWrite(const QCommandLineParser& parser, goods::GoodsTable table, const goods::GoodsScope& scope,
             ConsoleUserInterface& ui, link::Link& link) {
  std::vector<int> written;
  const auto result = goods::WriteGoods(link, ui, table, scope, &written);
  const int code = result.outcome == goods::TransferOutcome::Done && !ui.had_failure() ? 0 : 1;
  if (!parser.isSet(kVerify)) return code;
  const std::vector<int> differing = goods::VerifyGoods(link, table, written);
  for (const int bad : differing) ui.Out("Код " + std::to_string(bad) + ": прочитано обратно не то, что записано\n");
  if (!differing.empty()) return 1;
  ui.Out("Прочитано обратно совпадает: " + std::to_string(written.size()) + ".\n");
  return code;
}

int RunDevice(const QStringList& arguments, DeviceAction action) {
  static constexpr const char* kNames[] = {"goods read", "goods write", "goods erase"};
  const char* name = kNames[static_cast<int>(action)];
  QCommandLineParser parser;
  parser.setApplicationDescription(
      action == DeviceAction::Read    ? QStringLiteral("Читает записи товаров в файл из 1001 записи (остальные пустые).")
      : action == DeviceAction::Write ? QStringLiteral("Записывает записи файла товаров в КМ.")
                                      : QStringLiteral("Записывает пустую запись в каждый код 0..1000."));
  parser.addOption({kFile, QStringLiteral("Файл товаров (*.base); erase его не использует."), QStringLiteral("путь")});
  parser.addOption({kRange, QStringLiteral("Коды от A до B, например 5-40 (без него — все); erase его не использует."),
                    QStringLiteral("A-B")});
  parser.addOption({kKeepGoing, QStringLiteral("Продолжать после неудачной записи, а не останавливаться.")});
  if (action == DeviceAction::Write) {
    parser.addOption({kSince, QStringLiteral("Записать только записи, отличные от этого файла (он считается тем, что "
                                             "хранит КМ); --range тогда не действует."),
                      QStringLiteral("путь")});
    parser.addOption({kVerify, QStringLiteral("Прочитать обратно каждую записанную запись; код выхода 1 при любом отличии.")});
  }
  DeviceOptions options;
  const bool many_allowed = action != DeviceAction::Erase;
  const auto done = many_allowed ? ParseManyDeviceSubcommand(parser, arguments, name, options)
                                 : ParseDeviceSubcommand(parser, arguments, name, options);
  if (done) return *done;
  const std::string path = parser.value(kFile).toStdString();
  if (action != DeviceAction::Erase && path.empty()) return Missing(name, "--file");
  if (action == DeviceAction::Read && !FileNamePerPort(parser, path, name)) return 2;

  goods::GoodsScope scope;  // all codes
  if (action != DeviceAction::Erase && parser.isSet(kRange)) {
    const auto range = SplitRange(parser.value(kRange));
    if (!range) {
      PrintError("tarnisctl " + std::string(name) + ": --range — диапазон кодов A-B, например 5-40.");
      return 2;
    }
    scope = goods::ChooseScope(false, true, 0, range->first, range->second);
  }

  // The files are read once, whatever the number of devices. With --since, its records are what
  // the device holds and the file's differing ones are edits over them.
  goods::GoodsTable file_table;
  if (action == DeviceAction::Write) {
    if (const std::string error = goods::LoadGoodsFile(path, file_table); !error.empty()) return Failed(error);
    if (parser.isSet(kSince)) {
      goods::GoodsTable today = file_table;
      if (const std::string error = goods::LoadGoodsFile(parser.value(kSince).toStdString(), file_table); !error.empty())
        return Failed(error);
      for (int code = 0; code <= goods::kLastGoodsCode; ++code) file_table.SetRow(code, today.row(code));
      scope.kind = goods::GoodsScope::Kind::Changed;
    }
  }
  return RunOnDevices(parser, options, name, parser.isSet(kKeepGoing), [&](DeviceContext& device) {
    ConsoleUserInterface& ui = device.ui;
    if (action == DeviceAction::Erase) {
      const goods::TransferOutcome outcome = goods::EraseDeviceGoods(device.link, ui);
      return outcome == goods::TransferOutcome::Done && !ui.had_failure() ? 0 : 1;
    }
    if (action == DeviceAction::Write) return RunWrite(parser, file_table, scope, ui, device.link);
    goods::GoodsTable table;
    const auto result = goods::ReadGoods(device.link, ui, table, scope);
    if (result.outcome != goods::TransferOutcome::Done) return 1;
    if (const std::string error = goods::SaveGoodsFile(device.PathFor(path), table); !error.empty()) {
      ui.Err(error + '\n');
      return 1;
    }
    return ui.had_failure() ? 1 : 0;
  });
}

// --encoding and --separator as a CSV format; nothing (after saying why) for a value not known.
std::optional<goods::CsvFormat> ExportFormat(const QCommandLineParser& parser) {
  goods::CsvFormat format;
  const QString encoding = parser.value(kEncoding).toLower();
  if (encoding == "cp1251" || encoding == "windows-1251") {
    format.encoding = goods::CsvEncoding::Cp1251;
  } else if (encoding != "utf-8" && encoding != "utf8") {
    PrintError("tarnisctl goods export: --encoding — utf-8 или cp1251.");
    return std::nullopt;
  }
  const QString separator = parser.value(kSeparator);
  if (separator == "tab" || separator == "\\t" || separator == "\t") {
    format.separator = '\t';
  } else if (separator == ";" || separator == ",") {
    format.separator = separator.at(0).toLatin1();
  } else {
    PrintError("tarnisctl goods export: --separator — ';', ',' или tab.");
    return std::nullopt;
  }
  return format;
}

int RunConversion(const QStringList& arguments, bool exporting) {
  const char* name = exporting ? "goods export" : "goods import";
  QCommandLineParser parser;
  parser.setApplicationDescription(
      exporting ? QStringLiteral("Записывает файл товаров в CSV (по умолчанию UTF-8 без метки порядка байтов, ';').")
                : QStringLiteral("Делает файл товаров из CSV (UTF-8, UTF-16 или Windows-1251; ';', ',' или табуляция; "
                                 "столбцы в любом порядке); коды, которых в нём нет, остаются пустыми."));
  parser.addOption({kFile, QStringLiteral("Файл товаров (*.base)."), QStringLiteral("путь")});
  parser.addOption({kCsv, QStringLiteral("Файл CSV."), QStringLiteral("путь")});
  if (exporting) {
    parser.addOption({kEncoding, QStringLiteral("utf-8 (по умолчанию) или cp1251."), QStringLiteral("имя"),
                      QStringLiteral("utf-8")});
    parser.addOption({kSeparator, QStringLiteral("';' (по умолчанию), ',' или табуляция."), QStringLiteral("символ"),
                      QStringLiteral(";")});
  }
  if (const auto done = ParseSubcommandArguments(parser, arguments, name)) return *done;
  const auto format = exporting ? ExportFormat(parser) : goods::CsvFormat{};
  if (!format) return 2;
  const std::string file = parser.value(kFile).toStdString();
  const std::string csv = parser.value(kCsv).toStdString();
  if (file.empty()) return Missing(name, "--file");
  if (csv.empty()) return Missing(name, "--csv");

  goods::GoodsTable table;
  std::vector<std::string> warnings;
  std::string error = exporting ? goods::LoadGoodsFile(file, table) : goods::ImportGoodsCsvFile(csv, table, &warnings);
  for (const std::string& warning : warnings) PrintError("предупреждение: " + warning);
  if (error.empty()) error = exporting ? goods::ExportGoodsCsvFile(csv, table, *format) : goods::SaveGoodsFile(file, table);
  return error.empty() ? 0 : Failed(error);
}

int RunGoods(const QStringList& arguments) {
  using namespace std::placeholders;
  return RunAction(arguments,
                   {{"read", std::bind(RunDevice, _1, DeviceAction::Read)},
                    {"write", std::bind(RunDevice, _1, DeviceAction::Write)},
                    {"erase", std::bind(RunDevice, _1, DeviceAction::Erase)},
                    {"export", std::bind(RunConversion, _1, true)},
                    {"import", std::bind(RunConversion, _1, false)}},
                   "Использование: tarnisctl goods read  --port COM1 --file x.base [--range A-B] [--keep-going]\n"
                   "               tarnisctl goods write --port COM1 --file x.base [--range A-B] [--since y.base] [--verify]\n"
                   "                                     [--keep-going]\n"
                   "               tarnisctl goods write --ports COM1,COM2 --file x.base [--json]   (read: --file x-{port}.base)\n"
                   "               tarnisctl goods erase --port COM1 [--keep-going]\n"
                   "               tarnisctl goods export --file x.base --csv x.csv [--encoding cp1251] [--separator ,]\n"
                   "               tarnisctl goods import --csv x.csv --file x.base\n"
                   "\"tarnisctl goods <read|write|erase|export|import> --help\" расскажет больше.\n");
}

const RegisterSubcommand kGoods({"goods", "База товаров: КМ ⇄ файл *.base ⇄ CSV.", &RunGoods});

}  // namespace
}  // namespace tarnis::ctl
