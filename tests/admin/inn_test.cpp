#include "admin/inn.h"

#include <gtest/gtest.h>

#include <vector>

#include "emulated_device.h"
#include "link/device_errors.h"
#include "recording_user_interface.h"

namespace tarnis::admin {
namespace {

const std::string kQuestion =
    "Ранее запрограммированные формы будут стерты.\nВы уверены, что хотите запрограммировать ИНН?\n";

InnForm StartingForm() {
  InnForm form;
  form.inn_text = "0";
  form.password_text = "0";
  form.year = 2026;
  form.month = 12;
  form.day = 8;
  return form;
}

TEST(InnRequest, StartingFieldsSendZeros) {
  const InnFormCheck check = BuildInnRequest(StartingForm());
  ASSERT_TRUE(check.request) << check.message;
  EXPECT_EQ(check.request->password, 0);
  EXPECT_EQ(link::InnNumber(check.request->inn_text), 0);
  EXPECT_EQ(check.request->group, 1);
  EXPECT_EQ(check.request->year, 26);
}

TEST(InnRequest, DateGroupAndNumberGoIntoTheirBytes) {
  InnForm form = StartingForm();
  form.year = 2099;
  form.month = 12;
  form.day = 31;
  form.group_index = 2;
  form.inn_text = "999999999999";
  form.password_text = "99999";
  InnFormCheck check = BuildInnRequest(form);
  ASSERT_TRUE(check.request);
  EXPECT_EQ(check.request->day, 31);
  EXPECT_EQ(check.request->month, 12);
  EXPECT_EQ(check.request->year, 99);
  EXPECT_EQ(check.request->group, 3);
  EXPECT_EQ(check.request->password, 99999);
  EXPECT_EQ(link::InnNumber(check.request->inn_text), 999999999999);

  form.year = 2000;
  form.month = 2;
  form.day = 29;
  check = BuildInnRequest(form);
  ASSERT_TRUE(check.request);
  EXPECT_EQ(check.request->year, 0);
  EXPECT_EQ(check.request->day, 29);
}

TEST(InnRequest, NumberIsTakenUpToItsFirstNonDigit) {
  InnForm form = StartingForm();
  for (const auto& [typed, sent] : std::vector<std::pair<std::string, std::string>>{
           {"12%3", "12"}, {"770'1", "770"}, {"%12", ""}, {"-5", ""}, {" 7", ""}, {"007", "007"}}) {
    form.inn_text = typed;
    const InnFormCheck check = BuildInnRequest(form);
    ASSERT_TRUE(check.request) << typed;
    EXPECT_EQ(check.request->inn_text, sent) << typed;
  }
}

TEST(InnRequest, RefusesEmptyOrInvalidFields) {
  struct Case {
    void (*change)(InnForm&);
    InnField field;
    std::string message;
  };
  const std::string bad_password = "Пароль должен быть числом от 0 до 99999...";
  const std::string bad_date = "Дата должна быть не раньше 01.01.2000 и не позже 31.12.2255...";
  const std::vector<Case> cases = {
      {[](InnForm& f) { f.inn_text.clear(); }, InnField::Inn, "Поле ИНН не заполнено..."},
      {[](InnForm& f) { f.inn_text.clear(); f.password_text.clear(); }, InnField::Inn, "Поле ИНН не заполнено..."},
      {[](InnForm& f) { f.password_text.clear(); }, InnField::Password, "Поле пароль не заполнено..."},
      {[](InnForm& f) { f.password_text = "12%"; }, InnField::Password, bad_password},
      {[](InnForm& f) { f.password_text = "'"; }, InnField::Password, bad_password},
      {[](InnForm& f) { f.password_text = "-1"; }, InnField::Password, bad_password},
      {[](InnForm& f) { f.password_text = "100000"; }, InnField::Password, bad_password},
      {[](InnForm& f) { f.year = 1999; }, InnField::Date, bad_date},
      {[](InnForm& f) { f.year = 2256; }, InnField::Date, bad_date},
      {[](InnForm& f) { f.year = 2100; f.month = 2; f.day = 29; }, InnField::Date, bad_date},
      {[](InnForm& f) { f.month = 13; }, InnField::Date, bad_date},
      {[](InnForm& f) { f.group_index = 3; }, InnField::Group, "Не выбрана группа бланков..."},
      {[](InnForm& f) { f.group_index = -1; }, InnField::Group, "Не выбрана группа бланков..."},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    InnForm form = StartingForm();
    cases[i].change(form);
    const InnFormCheck check = BuildInnRequest(form);
    EXPECT_FALSE(check.request) << "case " << i;
    EXPECT_EQ(check.field, cases[i].field) << "case " << i;
    EXPECT_EQ(check.message, cases[i].message) << "case " << i;
  }
}

class InnProgramming : public testing::Test {
 protected:
  InnProgramming() {
    device.link().SetTraceObserver([this](link::TraceDirection direction, std::span<const std::uint8_t> frame) {
      if (direction == link::TraceDirection::Sent) sent.emplace_back(frame.begin(), frame.end());
    });
  }

  std::size_t InnRequests() {
    return device.WithDevice([](emulator::Km07Device& d) { return d.requests_seen(link::Command::Inn); });
  }

  test::EmulatedDevice device;
  test::RecordingUserInterface ui;
  std::vector<std::vector<std::uint8_t>> sent;
};

TEST_F(InnProgramming, SendsTheLastDayOf2099AndGroup3) {
  InnForm form = StartingForm();
  form.inn_text = "999999999999";
  form.password_text = "12345";
  form.year = 2099;
  form.month = 12;
  form.day = 31;
  form.group_index = 2;
  device.WithDevice([](emulator::Km07Device& d) { d.state().password = 12345; });

  const InnApplyResult result = ApplyInnForm(device.link(), ui, form);
  EXPECT_TRUE(result.close_dialog);

  ASSERT_EQ(sent.size(), 1u);
  const std::vector<std::uint8_t> payload(sent[0].begin() + link::kRequestHeaderSize,
                                          sent[0].begin() + link::kRequestHeaderSize + 14);
  EXPECT_EQ(payload, (std::vector<std::uint8_t>{0x39, 0x30, 0x00, 0x00,  // password 12345
                                                31, 12, 99, 3,           // day, month, year - 2000, group
                                                0xFF, 0x0F, 0xA5, 0xD4, 0xE8, 0x00}));  // 999999999999
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, kQuestion);
  EXPECT_EQ(ui.messages[0].caption, "Подтверждение...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Question);
  EXPECT_EQ(ui.messages[0].buttons, ui::Buttons::YesNo);
  EXPECT_EQ(ui.messages[1].text, "Записано удачно...");
  EXPECT_EQ(ui.messages[1].caption, "Предупреждение...");
  EXPECT_EQ(ui.messages[1].icon, ui::Icon::Information);
  EXPECT_EQ(ui.EventsStartingWith("cursor"), (std::vector<std::string>{"cursor busy", "cursor normal"}));

  device.WithDevice([](emulator::Km07Device& d) {
    EXPECT_TRUE(d.state().inn_set);
    EXPECT_EQ(d.state().inn, 999999999999u);
    EXPECT_EQ(d.state().group, 3);
  });
}

TEST_F(InnProgramming, DeviceRefusalIsReportedAndTheDialogCloses) {
  device.WithDevice([](emulator::Km07Device& d) { d.state().inn_set = true; });
  const InnApplyResult result = ApplyInnForm(device.link(), ui, StartingForm());
  EXPECT_TRUE(result.close_dialog);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "Не удалось записать параметр... " + link::DeviceErrorText(link::kErrorInnAlreadySet));
  EXPECT_EQ(ui.messages[1].caption, "Ошибка...");
  EXPECT_EQ(ui.messages[1].icon, ui::Icon::Error);

  device.WithDevice([](emulator::Km07Device& d) { d.faults().silent = true; });
  ui.messages.clear();
  EXPECT_TRUE(ApplyInnForm(device.link(), ui, StartingForm()).close_dialog);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text,
            "Не удалось записать параметр... " + std::string(link::LinkResultMessage(link::LinkResult::NoAnswer)));
}

TEST_F(InnProgramming, NothingIsSentOnNoOnARefusedFieldOrWhileBusy) {
  ui.answers = {ui::Answer::No};
  InnApplyResult result = ApplyInnForm(device.link(), ui, StartingForm());
  EXPECT_TRUE(result.close_dialog);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kQuestion});

  ui.messages.clear();
  InnForm form = StartingForm();
  form.password_text = "1%";
  result = ApplyInnForm(device.link(), ui, form);
  EXPECT_FALSE(result.close_dialog);
  EXPECT_EQ(result.focus, InnField::Password);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Пароль должен быть числом от 0 до 99999...");
  EXPECT_EQ(ui.messages[0].caption, "Предупреждение...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Information);

  ui.messages.clear();
  {
    const link::Link::Operation other(device.link());
    result = ApplyInnForm(device.link(), ui, StartingForm());
  }
  EXPECT_FALSE(result.close_dialog);
  EXPECT_TRUE(ui.messages.empty());

  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(InnRequests(), 0u);
}

}  // namespace
}  // namespace tarnis::admin
