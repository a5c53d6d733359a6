#include "constructor/preview.h"

#include "platform/cp1251_codec.h"

namespace tarnis::constructor {

namespace {

// The sample lines, written here in UTF-8 and printed in Windows-1251.
std::string Sample(std::string_view utf8) { return Utf8ToCp1251Lossy(utf8); }

void AddStored(std::vector<std::string>& lines, const config::ConfigText& line) {
  std::string rendered = RenderStoredLine(line);
  if (!rendered.empty()) lines.push_back(std::move(rendered));
}

void AddCliche(std::vector<std::string>& lines, const config::ClicheRecord& cliche, int first, int last) {
  for (int line = first; line <= last; ++line) AddStored(lines, cliche.lines[static_cast<std::size_t>(line - 1)]);
}

std::string ExtraLine(std::uint8_t type_sk) {
  switch (static_cast<TypeSk>(type_sk)) {
    case TypeSk::Discount: return Sample("СКИДКА 00%        *00.00");
    case TypeSk::Tax: return Sample("НАЛОГ 00%        *00.00");
    case TypeSk::Code: return Sample("КОД ");
    case TypeSk::None: break;
  }
  return {};
}

}  // namespace

std::string RenderStoredLine(const config::ConfigText& line) {
  const std::string_view text = line.Text();
  if (text.size() <= 1) return {};
  const std::string_view body = text.substr(1);
  if (text.front() == config::ConfigText::kNarrow) return std::string(body.substr(0, config::ConfigText::kNarrowLimit));
  std::string spaced;
  for (char letter : body.substr(0, config::ConfigText::kWideLimit)) {
    spaced += letter;
    spaced += ' ';
  }
  return spaced;
}

std::vector<std::string> PreviewLines(const config::DeviceConfiguration& configuration, const BlankFormEntry& entry) {
  const config::ClicheRecord& cliche = configuration.cliches[0];
  std::vector<std::string> lines;
  AddCliche(lines, cliche, 1, 5);
  for (std::string_view sample : {"ИНН         000000000000", "ЗАВОД. НОМЕР    00000000", "ДОК. НОМЕР          0000",
                                  "------------------------"})
    lines.push_back(Sample(sample));
  AddStored(lines, configuration.document_name);
  for (std::string_view sample : {"Серия АБ-0000    0000000", "00/00/00           00:00", "  ПЕРВАЯ СТРОКА УСЛУГИ  ",
                                  "  ВТОРАЯ СТРОКА УСЛУГИ  ", "  ТРЕТЬЯ СТРОКА УСЛУГИ  ", "                 *000.00"})
    lines.push_back(Sample(sample));
  if (VariantAllowsRequisite(entry.variant) && entry.requisite >= 1 && entry.requisite <= kRequisiteChoices) {
    for (const config::ConfigText& line : configuration.requisites[entry.requisite - 1u].lines) AddStored(lines, line);
  }
  if (VariantAllowsExtraLine(entry.variant)) {
    std::string extra = ExtraLine(entry.typeSk);
    if (!extra.empty()) lines.push_back(std::move(extra));
  }
  for (std::string_view sample : {"ИТОГО            *000.00", "НАЛИЧНЫМИ", "------------------------",
                                  "ПРИНЯЛ ОПЕРАТОР №0:     ", "ДОЛЖНОСТЬ ОПЕРАТОРА     ", "Ф.И.О. ОПЕРАТОРА        ", "",
                                  "ПОДПИСЬ ................"})
    lines.push_back(Sample(sample));
  AddCliche(lines, cliche, 6, 8);
  return lines;
}

}  // namespace tarnis::constructor
