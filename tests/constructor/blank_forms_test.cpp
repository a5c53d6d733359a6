#include "constructor/blank_forms.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tarnis::constructor {
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

TEST(VariantLimitsTest, GroupsAndOutOfRangeVariants) {
  EXPECT_EQ(LimitsOf(1).group, "2");
  EXPECT_EQ(LimitsOf(2).group, "1");
  EXPECT_EQ(LimitsOf(2).documents, "3240000");
  EXPECT_EQ(LimitsOf(5).code, "нет");
  EXPECT_EQ(LimitsOf(6).code, "есть");
  EXPECT_EQ(LimitsOf(0).group, "---");
  EXPECT_EQ(LimitsOf(0).documents, "---");
  EXPECT_EQ(LimitsOf(7).group, "");
  EXPECT_EQ(LimitsOf(255).documents, "");
}

TEST(VariantLimitsTest, ControlsEachVariantOpens) {
  for (std::uint8_t v : {0, 2, 4, 7, 255}) {
    EXPECT_FALSE(VariantAllowsRequisite(v)) << int(v);
    EXPECT_FALSE(VariantAllowsExtraLine(v)) << int(v);
  }
  EXPECT_TRUE(VariantAllowsRequisite(1));
  EXPECT_TRUE(VariantAllowsExtraLine(1));
  EXPECT_FALSE(VariantAllowsCode(1));
  EXPECT_TRUE(VariantAllowsRequisite(5));
  EXPECT_FALSE(VariantAllowsExtraLine(5));
  for (std::uint8_t v : {3, 6}) EXPECT_TRUE(VariantAllowsRequisite(v) && VariantAllowsExtraLine(v) && VariantAllowsCode(v));
}

}  // namespace
}  // namespace tarnis::constructor
