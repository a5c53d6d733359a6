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
#include "device_options.h"
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
  PrintError("tarnisctl " + std::string(name) + ": " + option + " is required.");
  return 2;
}

// goods write: the file's records in the scope, or with --since only those that differ from the
// stated device contents; --verify then reads back every record written.
int RunWrite(const QCommandLineParser& parser, const std::string& path, goods::GoodsScope scope,
             ConsoleUserInterface& ui, link::Link& link) {
  goods::GoodsTable table;
  if (parser.isSet(kSince)) {
    goods::GoodsTable today;
    if (const std::string error = goods::LoadGoodsFile(path, today); !error.empty()) return Failed(error);
    if (const std::string error = goods::LoadGoodsFile(parser.value(kSince).toStdString(), table); !error.empty())
      return Failed(error);
    for (int code = 0; code <= goods::kLastGoodsCode; ++code) table.SetRow(code, today.row(code));
    scope.kind = goods::GoodsScope::Kind::Changed;
  } else if (const std::string error = goods::LoadGoodsFile(path, table); !error.empty()) {
    return Failed(error);
  }
  // What the write is to send: the changed records, or the scope's codes (a bad range sends none).
  std::vector<int> sending;
  goods::RangeCheck range = goods::CheckRange(scope.first, scope.last);
  if (scope.kind != goods::GoodsScope::Kind::Range) range = goods::CheckRange("0", std::to_string(goods::kLastGoodsCode));
  for (int code = range.first; range.ok() && code <= range.last; ++code)
    if (scope.kind != goods::GoodsScope::Kind::Changed || table.state(code) != goods::RecordState::OnDevice)
      sending.push_back(code);
  const auto result = goods::WriteGoods(link, ui, table, scope);
  const int code = result.outcome == goods::TransferOutcome::Done && !ui.had_failure() ? 0 : 1;
  if (!parser.isSet(kVerify)) return code;
  std::vector<int> written;
  for (const int sent : sending)
    if (table.state(sent) == goods::RecordState::OnDevice) written.push_back(sent);
  const std::vector<int> differing = goods::VerifyGoods(link, table, written);
  for (const int bad : differing) std::cout << "Код " << bad << ": прочитано обратно не то, что записано\n";
  if (!differing.empty()) return 1;
  std::cout << "Прочитано обратно совпадает: " << written.size() << ".\n";
  return code;
}

int RunDevice(const QStringList& arguments, DeviceAction action) {
  static constexpr const char* kNames[] = {"goods read", "goods write", "goods erase"};
  const char* name = kNames[static_cast<int>(action)];
  QCommandLineParser parser;
  parser.setApplicationDescription(
      action == DeviceAction::Read    ? QStringLiteral("Reads goods records into a 1001-record file (others stay empty).")
      : action == DeviceAction::Write ? QStringLiteral("Writes the records of a goods file to the device.")
                                      : QStringLiteral("Writes an empty record to every code 0..1000."));
  parser.addOption({kFile, QStringLiteral("The goods file (*.base); erase ignores it."), QStringLiteral("path")});
  parser.addOption({kRange, QStringLiteral("Codes A to B, as 5-40 (all when not given); erase ignores it."),
                    QStringLiteral("A-B")});
  parser.addOption({kKeepGoing, QStringLiteral("Go on after a failed record instead of stopping.")});
  if (action == DeviceAction::Write) {
    parser.addOption({kSince, QStringLiteral("Write only the records that differ from this file, taken as what the "
                                             "device holds; --range is then ignored."),
                      QStringLiteral("path")});
    parser.addOption({kVerify, QStringLiteral("Read back every record written; exit 1 on any difference.")});
  }
  DeviceOptions options;
  if (const auto done = ParseDeviceSubcommand(parser, arguments, name, options)) return *done;
  const std::string path = parser.value(kFile).toStdString();
  if (action != DeviceAction::Erase && path.empty()) return Missing(name, "--file");

  goods::GoodsScope scope;  // all codes
  if (action != DeviceAction::Erase && parser.isSet(kRange)) {
    const auto range = SplitRange(parser.value(kRange));
    if (!range) {
      PrintError("tarnisctl " + std::string(name) + ": --range takes A-B, as 5-40.");
      return 2;
    }
    scope = goods::ChooseScope(false, true, 0, range->first, range->second);
  }

  ConsoleUserInterface ui(parser.isSet(kKeepGoing));
  DeviceSession session(options);
  goods::GoodsTable table;
  if (action == DeviceAction::Erase) {
    const goods::TransferOutcome outcome = goods::EraseDeviceGoods(session.link(), ui);
    return outcome == goods::TransferOutcome::Done && !ui.had_failure() ? 0 : 1;
  }
  if (action == DeviceAction::Write) return RunWrite(parser, path, scope, ui, session.link());
  const auto result = goods::ReadGoods(session.link(), ui, table, scope);
  if (result.outcome != goods::TransferOutcome::Done) return 1;
  if (const std::string error = goods::SaveGoodsFile(path, table); !error.empty()) return Failed(error);
  return ui.had_failure() ? 1 : 0;
}

// --encoding and --separator as a CSV format; nothing (after saying why) for a value not known.
std::optional<goods::CsvFormat> ExportFormat(const QCommandLineParser& parser) {
  goods::CsvFormat format;
  const QString encoding = parser.value(kEncoding).toLower();
  if (encoding == "cp1251" || encoding == "windows-1251") {
    format.encoding = goods::CsvEncoding::Cp1251;
  } else if (encoding != "utf-8" && encoding != "utf8") {
    PrintError("tarnisctl goods export: --encoding takes utf-8 or cp1251.");
    return std::nullopt;
  }
  const QString separator = parser.value(kSeparator);
  if (separator == "tab" || separator == "\\t" || separator == "\t") {
    format.separator = '\t';
  } else if (separator == ";" || separator == ",") {
    format.separator = separator.at(0).toLatin1();
  } else {
    PrintError("tarnisctl goods export: --separator takes ';', ',' or tab.");
    return std::nullopt;
  }
  return format;
}

int RunConversion(const QStringList& arguments, bool exporting) {
  const char* name = exporting ? "goods export" : "goods import";
  QCommandLineParser parser;
  parser.setApplicationDescription(
      exporting ? QStringLiteral("Writes a goods file as CSV (by default UTF-8 without a byte-order mark, ';').")
                : QStringLiteral("Makes a goods file from CSV (UTF-8, UTF-16 or Windows-1251; ';', ',' or tab; "
                                 "the columns in any order); codes not in it stay empty."));
  parser.addOption({kFile, QStringLiteral("The goods file (*.base)."), QStringLiteral("path")});
  parser.addOption({kCsv, QStringLiteral("The CSV file."), QStringLiteral("path")});
  if (exporting) {
    parser.addOption({kEncoding, QStringLiteral("utf-8 (the default) or cp1251."), QStringLiteral("name"),
                      QStringLiteral("utf-8")});
    parser.addOption({kSeparator, QStringLiteral("';' (the default), ',' or tab."), QStringLiteral("character"),
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
  for (const std::string& warning : warnings) PrintError("warning: " + warning);
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
                   "Usage: tarnisctl goods read  --port COM1 --file x.base [--range A-B] [--keep-going]\n"
                   "       tarnisctl goods write --port COM1 --file x.base [--range A-B] [--since y.base] [--verify]\n"
                   "                             [--keep-going]\n"
                   "       tarnisctl goods erase --port COM1 [--keep-going]\n"
                   "       tarnisctl goods export --file x.base --csv x.csv [--encoding cp1251] [--separator ,]\n"
                   "       tarnisctl goods import --csv x.csv --file x.base\n"
                   "\"tarnisctl goods <read|write|erase|export|import> --help\" tells more.\n");
}

const RegisterSubcommand kGoods({"goods", "Goods base: device ⇄ *.base file ⇄ CSV.", &RunGoods});

}  // namespace
}  // namespace tarnis::ctl
