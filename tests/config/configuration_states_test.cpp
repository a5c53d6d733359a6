#include "config/configuration_states.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnis::config {
namespace {

constexpr ParameterAddress kPassword5{0, 5, 3};
constexpr ParameterAddress kDocument{1, 1, 1};
constexpr ParameterAddress kService99Line2{2, 99, 2};
constexpr ParameterAddress kCliche2Line8{4, 2, 8};

TEST(ConfigurationStates, EveryTextHasOneAddressInTransferOrder) {
  const auto& all = AllParameterAddresses();
  ASSERT_EQ(all.size(), static_cast<std::size_t>(kParameterCount));
  EXPECT_EQ(all.front(), (ParameterAddress{0, 1, 1}));
  EXPECT_EQ(all[96], kDocument);
  EXPECT_EQ(all.back(), kCliche2Line8);
}

TEST(ConfigurationStates, EditsReadsWritesFailuresAndFiles) {
  DeviceConfiguration record{};
  FillDefaults(record);
  ConfigurationStates states(record);
  EXPECT_TRUE(states.Changed(record).empty()) << "the record at start is no edit";
  EXPECT_FALSE(states.HasUnsavedEdits(record));

  record.operators[4].password.Set("777");
  record.document_name.SetWidth(ConfigText::kWide);  // the width alone is an edit
  const std::string original(record.services[98].lines[1].Text());
  record.services[98].lines[1].Set("0X");
  record.services[98].lines[1].Set(original);  // edited and back: no edit
  EXPECT_EQ(states.State(record, kPassword5), FieldState::Edited);
  EXPECT_EQ(states.State(record, kDocument), FieldState::Edited);
  EXPECT_EQ(states.Changed(record), (std::vector<ParameterAddress>{kPassword5, kDocument}));
  EXPECT_TRUE(states.HasUnsavedEdits(record));

  states.MarkOnDevice(record, kPassword5);
  states.MarkNotWritten(kDocument);
  states.MarkNotWritten(kCliche2Line8);  // a failed write of a text not edited is still not on the device
  EXPECT_EQ(states.State(record, kPassword5), FieldState::OnDevice);
  EXPECT_EQ(states.State(record, kDocument), FieldState::NotWritten);
  EXPECT_EQ(states.Changed(record), (std::vector<ParameterAddress>{kDocument, kCliche2Line8}));
  states.MarkNotWritten({9, 1, 1});  // outside the map: ignored
  EXPECT_EQ(states.State(record, {9, 1, 1}), FieldState::OnDevice);

  states.Saved(record);
  EXPECT_FALSE(states.HasUnsavedEdits(record)) << "not written, but the file holds it";
  record.operators[0].full_name.Set("0Y");
  EXPECT_TRUE(states.HasUnsavedEdits(record));

  states.Loaded(record);
  EXPECT_TRUE(states.Changed(record).empty()) << "a loaded file marks nothing edited";
  EXPECT_FALSE(states.HasUnsavedEdits(record));
}

}  // namespace
}  // namespace tarnis::config
