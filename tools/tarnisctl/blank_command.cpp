// tarnisctl blank read|write: one blank form entry of the device.
#include <array>
#include <iostream>
#include <optional>
#include <string>

#include "constructor/blank_forms.h"
#include "device_run.h"
#include "link/commands.h"
#include "subcommand.h"

namespace tarnis::ctl {
namespace {

// Extra line names, by typeSk 0..3.
constexpr std::array<const char*, 4> kExtraNames = {"none", "discount", "tax", "code"};

std::string ExtraName(std::uint8_t type_sk) {
  return type_sk < kExtraNames.size() ? kExtraNames[type_sk] : "неизвестная (" + std::to_string(type_sk) + ")";
}

std::optional<std::uint8_t> ExtraNumber(const QString& name) {
  for (std::size_t i = 0; i < kExtraNames.size(); ++i)
    if (name == QLatin1String(kExtraNames[i])) return static_cast<std::uint8_t>(i);
  return std::nullopt;
}

// The option's value as a number in [low, high], or nothing.
std::optional<std::uint8_t> NumberIn(const QCommandLineParser& parser, const QString& option, int low, int high) {
  bool ok = false;
  const int value = parser.value(option).toInt(&ok);
  if (!ok || value < low || value > high) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

std::string Describe(const link::BlankFields& fields) {
  return "вариант " + std::to_string(fields.variant) + ", реквизит " + std::to_string(fields.requisite) +
         ", доп. строка " + ExtraName(fields.type_sk);
}

int RunBlank(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Записывает один бланк в КМ (write) или читает его из КМ (read)."));
  parser.addPositionalArgument(QStringLiteral("действие"), QStringLiteral("read или write."));
  parser.addOption({QStringLiteral("form"), QStringLiteral("Бланк 1..8."), QStringLiteral("N")});
  parser.addOption({QStringLiteral("variant"), QStringLiteral("Вариант расположения 0..6 (по умолчанию 0)."), QStringLiteral("V"),
                    QStringLiteral("0")});
  parser.addOption({QStringLiteral("requisite"), QStringLiteral("Дополнительный реквизит 0..8, 0 — нет (по умолчанию 0)."),
                    QStringLiteral("R"), QStringLiteral("0")});
  parser.addOption({QStringLiteral("extra"), QStringLiteral("Дополнительная строка: none, discount, tax или code (по умолчанию none)."),
                    QStringLiteral("строка"), QStringLiteral("none")});
  DeviceOptions options;
  if (const auto done = ParseManyDeviceSubcommand(parser, arguments, "blank", options)) return *done;

  const QStringList positional = parser.positionalArguments();
  const QString action = positional.size() == 1 ? positional[0] : QString();
  const auto form = NumberIn(parser, QStringLiteral("form"), 1, constructor::kFormCount);
  const auto variant = NumberIn(parser, QStringLiteral("variant"), 0, constructor::kVariantCount);
  const auto requisite = NumberIn(parser, QStringLiteral("requisite"), 0, constructor::kRequisiteChoices);
  const auto extra = ExtraNumber(parser.value(QStringLiteral("extra")));
  std::string error;
  if (action != QLatin1String("read") && action != QLatin1String("write")) error = "укажите read или write";
  else if (!form) error = "--form: номер формы от 1 до 8";
  else if (!variant) error = "--variant: вариант от 0 до 6";
  else if (!requisite) error = "--requisite: реквизит от 0 до 8";
  else if (!extra) error = "--extra: none, discount, tax или code";
  if (!error.empty()) {
    PrintError("tarnisctl blank: " + error + ".");
    return 2;
  }

  const bool reading = action == QLatin1String("read");
  return RunOnDevices(parser, options, "blank", false, [&](DeviceContext& device) {
    const link::BlankReply reply = link::ExchangeBlank(device.link, reading ? link::Mode::Read : link::Mode::Write,
                                                       {*form, *variant, *requisite, *extra});
    if (!reply.ok()) {
      device.ui.Err((reading ? "Не удалось прочитать бланк..." : "Не удалось запрограммировать бланк... ") +
                    reply.message + '\n');
      return 1;
    }
    if (!reading)
      device.ui.Out("форма " + std::to_string(*form) + " запрограммирована: " + Describe(reply.fields) + '\n');
    else if (reply.fields.number == 0)
      device.ui.Out("форма " + std::to_string(*form) + ": в аппарате не запрограммирована\n");
    else
      device.ui.Out("форма " + std::to_string(reply.fields.number) + ": " + Describe(reply.fields) + '\n');
    return 0;
  });
}

const RegisterSubcommand kBlank({"blank", "Записать бланк в КМ или прочитать его из КМ.", &RunBlank});

}  // namespace
}  // namespace tarnis::ctl
