#include "config/read_report.h"

#include "link/device_errors.h"

namespace tarnis::config {

BlankFormEntry BlankEntryOf(const link::BlankFields& fields) {
  return {static_cast<std::uint8_t>(fields.number != 0 ? 1 : 0), fields.variant, fields.requisite, fields.type_sk};
}

void ReadReport::Add(ParameterAddress address, const link::ParameterReply& reply, std::string text) {
  ParameterReading reading;
  reading.status = reply;
  if (reply.ok()) reading.text = std::move(text);
  reading.attribute = reply.attribute;
  parameters_[Key(address)] = std::move(reading);
}

void ReadReport::AddBlank(int form, const link::BlankReply& reply) {
  if (form < 1 || form > kFormCount) return;
  blanks_[static_cast<std::size_t>(form - 1)] = BlankReading{reply, reply.fields};
}

const ParameterReading* ReadReport::Find(ParameterAddress address) const {
  const auto found = parameters_.find(Key(address));
  return found == parameters_.end() ? nullptr : &found->second;
}

const BlankReading* ReadReport::Blank(int form) const {
  if (form < 1 || form > kFormCount || !blanks_[static_cast<std::size_t>(form - 1)]) return nullptr;
  return &*blanks_[static_cast<std::size_t>(form - 1)];
}

std::optional<std::uint8_t> ReadReport::Access(const SectionMap& map, int row) const {
  const int fields = map.attribute == AttributeRule::FirstField ? 1 : map.fields;
  if (map.attribute == AttributeRule::None) return std::nullopt;
  for (int field = 1; field <= fields; ++field) {
    const ParameterReading* reading =
        Find({map.table, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(field)});
    if (!reading || !reading->attribute) continue;
    if (!link::NotAddressedHere(reading->status)) return reading->attribute;
  }
  return std::nullopt;
}

}  // namespace tarnis::config
