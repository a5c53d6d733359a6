#include "config/blank_form_table.h"

namespace tarnis::config {

BlankFormEntry* BlankFormTable::Form(int form) {
  return form >= 1 && form <= kFormCount ? &entries[static_cast<std::size_t>(form - 1)] : nullptr;
}

const BlankFormEntry* BlankFormTable::Form(int form) const {
  return form >= 1 && form <= kFormCount ? &entries[static_cast<std::size_t>(form - 1)] : nullptr;
}

void ResetBlankForms(BlankFormTable& table) { table.entries.fill(BlankFormEntry{}); }

}  // namespace tarnis::config
