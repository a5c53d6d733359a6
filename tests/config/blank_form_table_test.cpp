#include "config/blank_form_table.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tarnis::config {
namespace {

TEST(BlankFormTableTest, StartValuesAndByteLayout) {
  BlankFormTable table;
  table.entries[2] = {0, 6, 8, 3};
  ResetBlankForms(table);
  const std::uint8_t start[4] = {1, 0, 0, 0};
  for (int form = 1; form <= kFormCount; ++form)
    EXPECT_EQ(std::memcmp(table.Form(form), start, 4), 0) << form;

  table.Form(2)->variant = 5;
  table.Form(8)->typeSk = 3;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&table);
  EXPECT_EQ(bytes[4 + 1], 5);   // form 2, variant
  EXPECT_EQ(bytes[28 + 3], 3);  // form 8, extra line
}

TEST(BlankFormTableTest, FormNumbersOutsideOneToEightHaveNoEntry) {
  BlankFormTable table;
  EXPECT_EQ(table.Form(0), nullptr);
  EXPECT_EQ(table.Form(9), nullptr);
  EXPECT_EQ(table.Form(-1), nullptr);
  EXPECT_EQ(table.Form(8), &table.entries[7]);
}

}  // namespace
}  // namespace tarnis::config
