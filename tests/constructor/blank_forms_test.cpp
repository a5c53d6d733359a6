#include "constructor/blank_forms.h"

#include <gtest/gtest.h>

namespace tarnis::constructor {
namespace {

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
