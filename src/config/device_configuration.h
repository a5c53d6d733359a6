#pragma once
// The one configuration record: every text the device prints, laid out byte for byte as the
// configuration file keeps it (Windows-1251 texts, zero-padded fixed fields). The wizard pages,
// the whole transfer, the file and the preview all work on it in place.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace tarnis::config {

// Safe access to a zero-padded text field: the text ends at its first zero or at the field's end,
// so a field without a terminating zero is still read within its bounds.
std::string_view FieldText(std::span<const char> field);
// Stores text cut to size − 1 bytes, so the field always keeps a terminating zero; the rest is
// zeroed. Nothing is written outside the field.
void SetFieldText(std::span<char> field, std::string_view text);

template <std::size_t N>
struct FixedText {
  static constexpr std::size_t kSize = N;
  char bytes[N];

  std::string_view Text() const { return FieldText(bytes); }
  void Set(std::string_view text) { SetFieldText(bytes, text); }
  void Clear() { Set({}); }
  std::span<char> field() { return bytes; }
  std::span<const char> field() const { return bytes; }
};

// A configuration text: the width attribute ('0' narrow, '1' wide) and up to 24 or 12 characters.
struct ConfigText : FixedText<26> {
  static constexpr char kNarrow = '0';
  static constexpr char kWide = '1';
  static constexpr std::size_t kNarrowLimit = 24;
  static constexpr std::size_t kWideLimit = 12;

  // Characters a line of this width may hold behind the attribute.
  static constexpr std::size_t BodyLimit(char width) { return width == kWide ? kWideLimit : kNarrowLimit; }

  // The attribute character, or 0 when the text is empty.
  char Width() const { return bytes[0]; }
  bool IsWide() const { return Width() == kWide; }
  // The text without its attribute, as the wizard pages show it.
  std::string_view Body() const;
  // Stores width + body, the body cut to the width's limit.
  void SetBody(char width, std::string_view body);
  // Changes the attribute and cuts the body to the new width's limit.
  void SetWidth(char width) { SetBody(width, Body()); }
};

// An operator's password: up to 5 decimal digits, no attribute.
using PasswordText = FixedText<6>;

// The password as a number, or nothing when the text is not a decimal number (empty included).
std::optional<std::int32_t> PasswordNumber(std::string_view password);

struct OperatorRecord {
  ConfigText position;
  ConfigText full_name;
  PasswordText password;
  std::uint8_t enabled;  // the device accepts changes of this operator when non-zero
};

struct ServiceRecord {
  std::array<ConfigText, 2> lines;
  std::uint8_t enabled;
};

struct RequisiteRecord {
  std::array<ConfigText, 3> lines;
  std::uint8_t enabled;
};

struct ClicheRecord {
  std::array<ConfigText, 8> lines;
  std::uint8_t enabled;  // set by the defaults, read by nothing
};

constexpr int kOperatorCount = 32;
constexpr int kServiceCount = 99;
constexpr int kRequisiteCount = 8;     // slots in use
constexpr int kRequisiteSlots = 16;    // slots 9..16 stay zero
constexpr int kClicheCount = 2;
constexpr int kClicheLineCount = 8;

struct DeviceConfiguration {
  std::array<OperatorRecord, kOperatorCount> operators;
  ConfigText document_name;
  std::array<ServiceRecord, kServiceCount> services;
  std::array<RequisiteRecord, kRequisiteSlots> requisites;
  std::array<ClicheRecord, kClicheCount> cliches;
};

constexpr std::size_t kConfigurationSize = 8843;

static_assert(sizeof(ConfigText) == 26);
static_assert(sizeof(PasswordText) == 6);
static_assert(sizeof(OperatorRecord) == 59);
static_assert(sizeof(ServiceRecord) == 53);
static_assert(sizeof(RequisiteRecord) == 79);
static_assert(sizeof(ClicheRecord) == 209);
static_assert(std::is_standard_layout_v<DeviceConfiguration>);
static_assert(std::is_trivially_copyable_v<DeviceConfiguration>);
static_assert(sizeof(DeviceConfiguration) == kConfigurationSize);
static_assert(offsetof(DeviceConfiguration, operators) == 0);
static_assert(offsetof(DeviceConfiguration, document_name) == 1888);
static_assert(offsetof(DeviceConfiguration, services) == 1914);
static_assert(offsetof(DeviceConfiguration, requisites) == 7161);
static_assert(offsetof(DeviceConfiguration, cliches) == 8425);

// The record's bytes exactly as the configuration file holds them.
std::span<std::uint8_t, kConfigurationSize> Bytes(DeviceConfiguration& configuration);
std::span<const std::uint8_t, kConfigurationSize> Bytes(const DeviceConfiguration& configuration);

// Zeroes the whole record, then fills in the default texts and enables every item.
// Operator n's default password is the decimal text of n.
void FillDefaults(DeviceConfiguration& configuration);

// ---- Parameter map: where each device parameter (table, row, field) lives in the record ----

enum class Section : std::uint8_t { Operators, DocumentName, Services, Requisites, Cliches };

// Which requests of a section carry the item's enabled byte in the answer's attribute.
enum class AttributeRule : std::uint8_t { None, FirstField, EveryField };

struct SectionMap {
  Section section;
  std::uint8_t table;
  std::uint8_t rows;    // rows 1..rows
  std::uint8_t fields;  // fields 1..fields of every row
  AttributeRule attribute;
};

// The one parameter map, in transfer order.
inline constexpr std::array<SectionMap, 5> kParameterMap{{
    {Section::Operators, 0, kOperatorCount, 3, AttributeRule::FirstField},
    {Section::DocumentName, 1, 1, 1, AttributeRule::None},
    {Section::Services, 2, kServiceCount, 2, AttributeRule::EveryField},
    {Section::Requisites, 3, kRequisiteCount, 3, AttributeRule::EveryField},
    {Section::Cliches, 4, kClicheCount, kClicheLineCount, AttributeRule::None},
}};

const SectionMap& MapOf(Section section);

struct ParameterAddress {
  std::uint8_t table = 0;
  std::uint8_t row = 0;    // from 1
  std::uint8_t field = 0;  // from 1
  friend bool operator==(const ParameterAddress&, const ParameterAddress&) = default;
};

// Operator n's password field, for example: the text field of the record and, when the map says
// the answer carries it, the item's enabled byte.
struct ParameterTarget {
  std::span<char> text;
  std::uint8_t* enabled = nullptr;  // null when the request carries no enabled byte
};

// The text at address in the pages' words: "Операторы №1, Ф.И.О.", "ДСО", "Услуги №3, строка 2",
// "Клише 1, строка 3"; empty for an address outside the map.
std::string ParameterName(ParameterAddress address);

// The section of an address inside the map; null outside it.
const SectionMap* MapAt(ParameterAddress address);

// Nothing for an address outside the map.
std::optional<ParameterTarget> ParameterAt(DeviceConfiguration& configuration, ParameterAddress address);

// Read-only, the same places: the text up to its first zero (empty outside the map), and the
// item's enabled byte where ParameterAt gives one.
std::string_view TextAt(const DeviceConfiguration& configuration, ParameterAddress address);
std::optional<std::uint8_t> EnabledAt(const DeviceConfiguration& configuration, ParameterAddress address);

}  // namespace tarnis::config
