#pragma once
// The goods page's file commands: saving and loading the goods file and exporting and importing
// CSV, each with its dialog and its messages. The path functions serve the command-line tool.
#include <string>
#include <vector>

#include "goods/goods_csv.h"
#include "goods/goods_table.h"
#include "ui/user_interface.h"

namespace tarnis::goods {

// Empty on success, else the UTF-8 message the user is shown. A save never leaves a partly
// written file behind; a load or import that fails leaves the table as it was.
std::string SaveGoodsFile(const std::string& path, const GoodsTable& table);
std::string LoadGoodsFile(const std::string& path, GoodsTable& table);
std::string ExportGoodsCsvFile(const std::string& path, const GoodsTable& table, const CsvFormat& format = {});
// warnings, when given, receives the names the device will hold otherwise (see GoodsCsvImport).
std::string ImportGoodsCsvFile(const std::string& path, GoodsTable& table, std::vector<std::string>* warnings = nullptr);

// With their dialogs; a cancelled dialog does nothing. True when the file was written or read.
// The export writes kSpreadsheetCsvFormat.
bool SaveGoodsTable(ui::UserInterface& ui, GoodsTable& table);
bool LoadGoodsTable(ui::UserInterface& ui, GoodsTable& table);
bool ExportGoodsCsv(ui::UserInterface& ui, const GoodsTable& table);
bool ImportGoodsCsv(ui::UserInterface& ui, GoodsTable& table);

// The plain notice after a file was written: the program's name as caption, no icon.
inline constexpr const char* kSavedNotice = "Сохранено...";
inline constexpr const char* kProgramCaption = "Tarnis";

}  // namespace tarnis::goods
