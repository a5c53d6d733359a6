#include "constructor/blank_forms.h"

#include <gtest/gtest.h>

namespace tarnis::constructor {
namespace {

// The help table's "code" column and the controls a variant opens come from two tables; they must
// agree for every variant. Out of range, the table shows dashes for 0 and nothing past 6.
TEST(VariantLimitsTest, GroupsAndOutOfRangeVariants) {
  for (std::uint8_t v = 1; v <= kVariantCount; ++v)
    EXPECT_EQ(LimitsOf(v).code, VariantAllowsCode(v) ? "есть" : "нет") << int(v);
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
