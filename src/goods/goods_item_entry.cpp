#include "goods/goods_item_entry.h"

#include <limits>

#include "goods/goods_row.h"

namespace tarnis::goods {
namespace {

bool AllDigits(std::string_view text) {
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string WithoutLeadingZeros(std::string_view digits) {
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string_view::npos) return digits.empty() ? "" : "0";
  return std::string(digits.substr(first));
}

ItemCheck Refused(std::string error, ItemField focus = ItemField::None) {
  ItemCheck check;
  check.error = std::move(error);
  check.focus = focus;
  return check;
}

}  // namespace

PriceEntry NormalisePriceEntry(std::string_view typed_text) {
  std::string typed(typed_text);
  // A comma is the point only when it can mean nothing else: the one separator, with at most two
  // digits behind it ("1,234" may be a thousands group, and is refused rather than guessed).
  if (typed.find('.') == std::string::npos)
    if (const std::size_t comma = typed.find(','); comma != std::string::npos) {
      if (typed.size() - comma - 1 > 2) return {PriceEntry::Status::NotANumber, "", 0};
      typed[comma] = '.';
    }
  const std::size_t point = typed.find('.');
  const std::string roubles = typed.substr(0, point);
  std::string kopecks = point == std::string::npos ? "00" : typed.substr(point + 1, 2);
  kopecks.resize(2, '0');
  const std::string digits = roubles + kopecks;
  if (typed.empty() || !AllDigits(digits)) return {PriceEntry::Status::NotANumber, "", 0};
  const auto value = DecimalCell(digits, std::numeric_limits<std::uint64_t>::max());
  if (!value || *value > kPriceLimitKopecks) return {PriceEntry::Status::TooLarge, "", 0};
  return {PriceEntry::Status::Ok, WithoutLeadingZeros(roubles) + "." + kopecks, *value};
}

ItemCheck CheckGoodsItem(std::string_view barcode, std::string_view section, std::string_view price) {
  if (barcode.empty()) return Refused("Незаполнено поле \"Штрих-код\"!");
  if (section.empty()) return Refused("Незаполнено поле \"Секция\"!");
  if (price.empty()) return Refused("Незаполнено поле \"Цена\"!");

  const PriceEntry entry = NormalisePriceEntry(price);
  if (entry.status == PriceEntry::Status::NotANumber)
    return Refused("Неккоректное значение цены!\nВозможно неккоректный разделитель!", ItemField::Price);
  if (entry.status == PriceEntry::Status::TooLarge)
    return Refused("Значение параметра \"Цена\" превышает разрядность!", ItemField::Price);

  // The price is normalised from here on, whatever the section check finds.
  ItemCheck check;
  const auto number = DecimalCell(section, std::numeric_limits<std::int32_t>::max());
  if (!number) check = Refused("Неккоректное значение секции!", ItemField::Section);
  // The record keeps the section in one byte: a larger number would be sent cut to its low bits.
  else if (*number > static_cast<std::uint64_t>(kSectionMax))
    check = Refused("Значение параметра \"Секция\" не может быть больше 255!", ItemField::Section);
  check.price = entry.text;
  return check;
}

}  // namespace tarnis::goods
