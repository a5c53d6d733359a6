// tarnisctl status: the device status as the status page shows it.
#include <iostream>
#include <sstream>

#include "admin/status_report.h"
#include "device_run.h"
#include "subcommand.h"

namespace tarnis::ctl {
namespace {

int PrintStatus(DeviceContext& device);

int RunStatus(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Запрашивает состояние КМ и печатает его."));
  DeviceOptions options;
  if (const auto done = ParseManyDeviceSubcommand(parser, arguments, "status", options)) return *done;
  return RunOnDevices(parser, options, "status", false, PrintStatus);
}

int PrintStatus(DeviceContext& device) {
  const admin::StatusOutcome outcome = admin::RequestStatusReport(device.link);
  if (!outcome.reply.ok()) {
    device.ui.Err(outcome.reply.message + '\n');
    return 1;
  }
  const admin::StatusReport& r = outcome.report;
  std::ostringstream out;
  out << "Время КМ : " << r.time << '\n'
            << "Дата КМ : " << r.date << '\n'
            << "Режим работы : " << r.mode_number << ' ' << r.mode_text << '\n'
            << "Подрежим : " << r.submode_number << ' ' << r.submode_text << '\n'
            << "Флеш память : " << r.flash_number << ' ' << r.flash_text << '\n'
            << "Батарейка : " << r.battery_number << ' ' << r.battery_text << '\n'
            << "№ текущего документа : " << r.document_number << '\n'
            << "Состояние текущего документа : " << r.document_state_text << '\n'
            << "Заводской номер КМ : " << r.factory_number << '\n'
            << "ИНН : " << r.inn << '\n';
  device.ui.Out(out.str());
  return 0;
}

const RegisterSubcommand kStatus({"status", "Напечатать состояние КМ (время, дата, режим, батарея, ИНН...).", &RunStatus});

}  // namespace
}  // namespace tarnis::ctl
