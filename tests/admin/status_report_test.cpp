#include <gtest/gtest.h>

#include "admin/status_report.h"
#include "emulated_device.h"

namespace tarnis::admin {
namespace {

link::StatusFields SampleFields() {
  link::StatusFields fields;
  fields.mode = 0x12;
  fields.flash = 0;
  fields.battery = 0;
  fields.document_number = 17;
  fields.document_state = 0;
  fields.day = 7;
  fields.month = 3;
  fields.year = 26;
  fields.hours = 9;
  fields.minutes = 5;
  fields.factory_number = 1;
  fields.inn = 7701234567;
  return fields;
}

TEST(StatusReport, FormatsEveryFieldAsThePageShowsIt) {
  const StatusReport report = FormatStatusReport(SampleFields());
  EXPECT_EQ(report.time, "09:05");
  EXPECT_EQ(report.date, "07/03/26");
  EXPECT_EQ(report.mode_number, "1");
  EXPECT_EQ(report.mode_text, "Off-line");
  EXPECT_EQ(report.submode_number, "2");
  EXPECT_EQ(report.submode_text, "Реж. А");
  EXPECT_EQ(report.flash_number, "0");
  EXPECT_EQ(report.flash_text, "Норма");
  EXPECT_EQ(report.battery_number, "0");
  EXPECT_EQ(report.battery_text, "Норма");
  EXPECT_EQ(report.document_number, "17");
  EXPECT_EQ(report.document_state_text, "Завершен");
  EXPECT_EQ(report.factory_number, "1");
  EXPECT_EQ(report.inn, "7701234567");  // ten digits, no leading zeros
}

TEST(StatusReport, CodesOutsideTheirTablesGiveEmptyTexts) {
  auto fields = SampleFields();
  fields.mode = 0x35;
  fields.battery = 4;
  fields.flash = 7;
  fields.document_state = 2;
  const StatusReport report = FormatStatusReport(fields);
  EXPECT_EQ(report.mode_number, "3");
  EXPECT_EQ(report.mode_text, "");
  EXPECT_EQ(report.submode_number, "5");
  EXPECT_EQ(report.submode_text, "");
  EXPECT_EQ(report.battery_number, "4");
  EXPECT_EQ(report.battery_text, "");
  EXPECT_EQ(report.flash_text, "Ошибка");
  EXPECT_EQ(report.document_state_text, "Не завершен");
}

TEST(StatusReport, TextTablesAndNumberEdges) {
  EXPECT_EQ(OperatingModeText(0), "Автоном.");
  EXPECT_EQ(OperatingModeText(2), "On-line");
  EXPECT_EQ(SubmodeText(0), "Реж. П");
  EXPECT_EQ(SubmodeText(1), "Реж. Р");
  EXPECT_EQ(BatteryText(1), "АБР");
  EXPECT_EQ(BatteryText(2), "АРП");
  EXPECT_EQ(BatteryText(3), "АБР+АРП");
  EXPECT_EQ(TwoDigits(0), "00");
  EXPECT_EQ(TwoDigits(100), "100");  // not cut to two digits

  auto fields = SampleFields();
  fields.factory_number = 0xFFFFFFFF;  // shown as a signed 32-bit number
  fields.inn = 999'999'999'999;
  fields.hours = 123;
  const StatusReport report = FormatStatusReport(fields);
  EXPECT_EQ(report.factory_number, "-1");
  EXPECT_EQ(report.inn, "999999999999");
  EXPECT_EQ(report.time, "123:05");
}

TEST(StatusReport, RequestOverTheLineFillsOrEmptiesTheReport) {
  test::EmulatedDevice device;
  device.WithDevice([](emulator::Km07Device& km) {
    km.state().inn = 123456789012;
    km.state().document_number = 42;
    km.state().mode = 0x12;
  });
  const StatusOutcome good = RequestStatusReport(device.link());
  ASSERT_TRUE(good.reply.ok()) << good.reply.message;
  EXPECT_EQ(good.report.inn, "123456789012");
  EXPECT_EQ(good.report.document_number, "42");
  EXPECT_EQ(good.report.submode_text, "Реж. А");
  EXPECT_EQ(good.report.factory_number, "1");

  device.WithDevice([](emulator::Km07Device& km) { km.faults().silent = true; });
  const StatusOutcome failed = RequestStatusReport(device.link());
  EXPECT_EQ(failed.reply.result, link::LinkResult::NoAnswer);
  EXPECT_EQ(failed.reply.message, "Нет ответа или не удалось открыть порт.");
  EXPECT_EQ(failed.report, StatusReport{});
}

}  // namespace
}  // namespace tarnis::admin
