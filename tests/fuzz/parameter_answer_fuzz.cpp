// The answer to a read and to a write of one service line: the text is stored only from a whole
// Ok answer, the enabled byte only from a whole frame with its end byte and checksum whose error
// is not 50 or 55, and nothing else in the record moves.
#include <algorithm>
#include <cstring>
#include <string>

#include "config/parameter_exchange.h"
#include "fuzz_check.h"
#include "fuzzed_answer.h"
#include "link/device_charset.h"
#include "link/device_errors.h"

using namespace tarnis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr config::ParameterAddress kAddress{2, 7, 1};  // service 7, line 1: carries the enabled byte
  for (const link::Mode mode : {link::Mode::Read, link::Mode::Write}) {
    fuzz::FuzzedAnswer answer(link::Command::Parameter, data, size);
    static const config::DeviceConfiguration defaults = [] {
      config::DeviceConfiguration filled;
      config::FillDefaults(filled);
      return filled;
    }();
    config::DeviceConfiguration configuration = defaults;
    config::DeviceConfiguration expected = configuration;

    const link::ParameterReply reply = config::ExchangeConfigurationText(answer.link(), mode, configuration, kAddress);
    answer.CheckReply(reply);

    const auto bytes = answer.arrived();
    config::ServiceRecord& service = expected.services[kAddress.row - 1];
    const bool whole_frame =
        answer.HeaderPasses() && bytes.size() == link::AnswerSize(link::Command::Parameter) && link::TrailerMatches(bytes);
    FUZZ_CHECK(reply.attribute.has_value() == whole_frame);
    if (reply.attribute) {
      FUZZ_CHECK(*reply.attribute == bytes[6]);
      if (bytes[3] != link::kErrorFactoryNumberNotSet && bytes[3] != link::kErrorFactoryNumberMismatch)
        service.enabled = bytes[6];
    }
    if (mode == link::Mode::Read && reply.ok()) {
      const auto text = bytes.subspan(8, link::kDeviceTextSize);
      const std::string device(text.begin(), std::find(text.begin(), text.end(), std::uint8_t{0}));
      FUZZ_CHECK(reply.text == device);
      service.lines[0].Set(link::FromDeviceText(device));
    } else {
      FUZZ_CHECK(reply.text.empty());
    }
    FUZZ_CHECK(std::memcmp(&configuration, &expected, sizeof configuration) == 0);
  }
  return 0;
}
