#include "goods/goods_file_actions.h"

#include "ui/operation_report.h"

#include "goods/goods_file.h"
#include "platform/whole_file.h"

namespace tarnis::goods {
namespace {

const std::string kCannotCreate = "Не удалось создать файл...";
const std::string kCannotOpen = "Не удалось открыть файл...";
const std::string kBadFile = "Некорректный файл...";
// A goods table in CSV stays far below this; anything larger is not one.
constexpr std::size_t kCsvMaxSize = 4 * 1024 * 1024;

// Saving a table replaces a file without asking.
const ui::FileDialog kSaveDialog{"Файлы базы данных", "Базы (*.base)|*.base", "base", false};
const ui::FileDialog kOpenDialog{"", "Базыl (*.base)|*.base", "base"};
const ui::FileDialog kCsvExportDialog{"Экспорт базы товаров", "Таблицы CSV (*.csv)|*.csv", "csv"};
const ui::FileDialog kCsvImportDialog{"Импорт базы товаров", "Таблицы CSV (*.csv)|*.csv", "csv"};

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

bool Reported(ui::UserInterface& ui, const std::string& error) {
  if (error.empty()) return true;
  ui::ShowError(ui, error);
  return false;
}

bool SavedAndNoticed(ui::UserInterface& ui, const std::string& error) {
  if (!Reported(ui, error)) return false;
  ui.Message(kSavedNotice, kProgramCaption, ui::Icon::None, ui::Buttons::Ok);
  return true;
}

}  // namespace

std::string SaveGoodsFile(const std::string& path, const GoodsTable& table) {
  const GoodsFileImage image = EncodeGoodsFile(table);
  if (!image.error.empty()) return image.error;
  return ReplaceFile(path, image.bytes) ? "" : kCannotCreate;
}

std::string LoadGoodsFile(const std::string& path, GoodsTable& table) {
  const auto bytes = ReadFileUpTo(path, kGoodsFileSize);
  if (!bytes) return kCannotOpen;
  const auto rows = DecodeGoodsFile(*bytes);
  if (!rows) return kBadFile;
  table.Load(*rows);
  return "";
}

std::string ExportGoodsCsvFile(const std::string& path, const GoodsTable& table, const CsvFormat& format) {
  return ReplaceFile(path, Bytes(GoodsCsvText(table, format))) ? "" : kCannotCreate;
}

std::string ImportGoodsCsvFile(const std::string& path, GoodsTable& table, std::vector<std::string>* warnings) {
  const auto bytes = ReadFileUpTo(path, kCsvMaxSize);
  if (!bytes) return kCannotOpen;
  if (bytes->size() > kCsvMaxSize) return kBadFile;
  const GoodsCsvImport import =
      ParseGoodsCsv(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  if (!import.ok()) return import.error;
  ApplyGoodsCsv(table, import);
  if (warnings) *warnings = import.warnings;
  return "";
}

bool SaveGoodsTable(ui::UserInterface& ui, GoodsTable& table) {
  const auto path = ui.ChooseSaveFile(kSaveDialog);
  if (!path) return false;
  const std::string error = SaveGoodsFile(*path, table);
  if (error.empty()) table.MarkSaved();
  return SavedAndNoticed(ui, error);
}

bool LoadGoodsTable(ui::UserInterface& ui, GoodsTable& table) {
  const auto path = ui.ChooseOpenFile(kOpenDialog);
  return path && Reported(ui, LoadGoodsFile(*path, table));
}

bool ExportGoodsCsv(ui::UserInterface& ui, const GoodsTable& table) {
  const auto path = ui.ChooseSaveFile(kCsvExportDialog);
  return path && SavedAndNoticed(ui, ExportGoodsCsvFile(*path, table, kSpreadsheetCsvFormat));
}

bool ImportGoodsCsv(ui::UserInterface& ui, GoodsTable& table) {
  const auto path = ui.ChooseOpenFile(kCsvImportDialog);
  std::vector<std::string> warnings;
  if (!path || !Reported(ui, ImportGoodsCsvFile(*path, table, &warnings))) return false;
  // The rows are in; the box names those whose names the device will keep otherwise.
  if (!warnings.empty()) {
    std::string text;
    for (std::size_t i = 0; i < warnings.size() && i < ui::OperationReport::kListedItems; ++i)
      text += (i == 0 ? "" : "\n") + warnings[i];
    if (warnings.size() > ui::OperationReport::kListedItems)
      text += "\nи ещё " + std::to_string(warnings.size() - ui::OperationReport::kListedItems);
    ui.Message(text, ui::kNoticeCaption, ui::Icon::Warning, ui::Buttons::Ok);
  }
  return true;
}

}  // namespace tarnis::goods
