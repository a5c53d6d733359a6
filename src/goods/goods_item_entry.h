#pragma once
// The checks the goods item editor runs when the user applies it, in their order, with the price
// brought to its R.KK form.
#include <optional>
#include <string>
#include <string_view>

namespace tarnis::goods {

// A typed price: without a point it is whole roubles; with one, the first two characters after
// it are the kopecks (padded with zeros, the rest dropped without rounding). The text becomes
// roubles without leading zeros (none when none were typed), a point and two digits. A comma
// stands for the point when it is the only separator and at most two digits follow it.
struct PriceEntry {
  enum class Status { Ok, NotANumber, TooLarge };
  Status status = Status::Ok;
  std::string text;  // Ok: the normalised price text
  std::uint64_t kopecks = 0;
};
PriceEntry NormalisePriceEntry(std::string_view typed);

enum class ItemField { None, Section, Price };

struct ItemCheck {
  std::string error;  // UTF-8 message; empty when the fields may be applied
  ItemField focus = ItemField::None;
  std::string price;  // once the price passed: its normalised text
  bool ok() const { return error.empty(); }
};

// Empty barcode, empty section, empty price, the price, the section (a number 0..255).
ItemCheck CheckGoodsItem(std::string_view barcode, std::string_view section, std::string_view price);

}  // namespace tarnis::goods
