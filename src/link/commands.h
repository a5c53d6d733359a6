#pragma once
// The device's five commands as typed operations. Texts travel in the device character set:
// callers convert with ToDeviceText / FromDeviceText. None of them throws.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/link.h"

namespace tarnis::link {

enum class Mode : std::uint8_t { Write = 0, Read = 1 };

constexpr std::size_t kDeviceTextSize = 25;  // width attribute and up to 24 characters

// 0x70: one text of the configuration at (table, row, field), rows and fields counted from 1.
struct ParameterReply : CommandResult {
  std::optional<std::uint8_t> attribute;  // the item's enabled byte, from a whole answer frame only
  std::string text;                       // read and Ok: the device text, up to its first zero
};
ParameterReply ExchangeParameter(Link& link, Mode mode, std::uint8_t table, std::uint8_t row, std::uint8_t field,
                                 std::string_view device_text = {});

// 0x66: one blank form entry.
struct BlankFields {
  std::uint8_t number = 0;  // 1..8; the device answers 0 for a blank it does not hold
  std::uint8_t variant = 0;
  std::uint8_t requisite = 0;
  std::uint8_t type_sk = 0;
};
struct BlankReply : CommandResult {
  BlankFields fields;  // read and Ok: as the device answered; otherwise as given
};
BlankReply ExchangeBlank(Link& link, Mode mode, const BlankFields& fields);

// 0x6E: programs the taxpayer number. inn_text is converted like strtoll (blanks, sign, digits).
struct InnRequest {
  std::int32_t password = 0;
  std::uint8_t year = 0;  // year minus 2000
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint8_t group = 1;
  std::string inn_text;
};
CommandResult ProgramInn(Link& link, const InnRequest& request);
std::int64_t InnNumber(std::string_view inn_text);

// 0x74: one goods record.
struct GoodsFields {
  std::string name;      // device text of the name field, up to 25 bytes
  std::string barcode;   // decimal text; an invalid one is sent as 0
  std::uint8_t section = 0;
  std::uint64_t price = 0;  // kopecks
};
struct GoodsReply : CommandResult {
  GoodsFields fields;  // read and Ok: as the device answered; otherwise as given
};
GoodsReply ExchangeGoods(Link& link, Mode mode, std::uint16_t record, const GoodsFields& fields);

// 0x75: the device status.
struct StatusFields {
  std::uint8_t mode = 0;        // operating mode in the high four bits, submode in the low four
  std::uint8_t flash = 0;
  std::uint8_t group = 0;
  std::uint8_t battery = 0;
  std::uint16_t document_number = 0;
  std::uint8_t document_state = 0;
  std::uint8_t day = 0, month = 0, year = 0;
  std::uint8_t hours = 0, minutes = 0;
  std::uint32_t factory_number = 0;
  std::uint64_t inn = 0;        // 48 bits
};
struct StatusReply : CommandResult {
  StatusFields fields;  // Ok only
};
StatusReply RequestStatus(Link& link);

}  // namespace tarnis::link
