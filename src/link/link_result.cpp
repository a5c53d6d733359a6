#include "link/link_result.h"

namespace tarnis::link {

const char* LinkResultMessage(LinkResult result) {
  switch (result) {
    case LinkResult::Ok: return "";
    case LinkResult::NoAnswer: return "Нет ответа или не удалось открыть порт.";
    case LinkResult::BadStart: return "Неккоректный ответ - первый байт не STX_SLAVE.";
    case LinkResult::BadCode: return "Неккоректный ответ - код ответа не соответствует коду команды.";
    case LinkResult::DeviceError: return "";
    case LinkResult::BadSettings: return "";
  }
  return "";
}

}  // namespace tarnis::link
