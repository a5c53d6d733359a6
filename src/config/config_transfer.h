#pragma once
// Moves the whole configuration record between the program and the device, one text per request,
// section after section, with the wait window, the progress bar and a question after each failure.
#include <functional>
#include <string>
#include <vector>

#include "config/configuration_states.h"
#include "config/device_configuration.h"
#include "config/read_report.h"
#include "link/link.h"
#include "ui/user_interface.h"

namespace tarnis::config {

// Called after each section of a whole read so that the wizard pages show what arrived.
// Empty functions are skipped; with all of them empty nothing is refreshed.
struct RefreshCallbacks {
  std::function<void()> operators;
  std::function<void()> document_name;
  std::function<void()> services;
  std::function<void()> requisites;
  std::function<void(int cliche)> cliche;  // 1 or 2
};

// Reads every text into configuration (335 requests). A failed request leaves its field as it was
// and asks whether to go on. True when every section was gone through, false when the user
// stopped it (No after a failure, or "Прервать", taken before the next request) or the link is
// busy with another operation. Both transfers keep the time left shown beside the progress.
// A run that went on after failures closes with a warning that lists them instead of the success
// notice, and gives the list to the link's note observer (the exchange log).
// With report, every answer also goes into it (the requisites' attributes included, which the
// record keeps as they were), and the eight blank forms are read into it after the clichés.
// With states, every text read marks its field on the device.
bool ReadAllFromDevice(link::Link& link, ui::UserInterface& ui, DeviceConfiguration& configuration,
                       const RefreshCallbacks& refresh = {}, ReadReport* report = nullptr,
                       ConfigurationStates* states = nullptr);

// Why a whole write leaves cliché 2 alone: the device accepted cliché 1, and takes only one.
inline constexpr const char* kClicheTwoNotWritten = "Клише 2 не записывалось: аппарат принимает клише 1.";

// Writes every enabled item; operators without a usable password are skipped, and only the first
// cliché the device accepts is written. True when it ran to its end, false when stopped or busy.
// With states, every text written marks its field on the device, a failed one not written, and
// after a stop the texts not reached stay not written, and the closing line tells how far it got.
// With written, the addresses of the texts the device took, in order.
bool WriteAllToDevice(link::Link& link, ui::UserInterface& ui, DeviceConfiguration& configuration,
                      ConfigurationStates* states = nullptr, std::vector<ParameterAddress>* written = nullptr);

}  // namespace tarnis::config
