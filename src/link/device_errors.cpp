#include "link/device_errors.h"

namespace tarnis::link {

bool NotAddressedHere(const CommandResult& result) {
  return result.result == LinkResult::DeviceError &&
         (result.error_code == kErrorFactoryNumberNotSet || result.error_code == kErrorFactoryNumberMismatch);
}

bool DamagedOnTheLine(const CommandResult& result) {
  return result.result == LinkResult::DeviceError &&
         (result.error_code == kErrorInterface || result.error_code == kErrorChecksum ||
          result.error_code == kErrorCommand);
}

std::string DeviceErrorText(std::uint8_t code) {
  switch (code) {
    case 20: return " Ошибка интерфейса.";
    case 21: return " Ошибка CRC-суммы.";
    case 22: return " Ошибка команды. Неверный код команды. Первый байт не STX.";
    case 30: return " Ошибка выполнения команды в режиме Р.";
    case 31: return " Команда не поддерживается в данном режиме.";
    case 33: return " Авария батареи.";
    case 35: return " Нет бумаги.";
    case 50: return " Не введен заводской номер.";
    case 51: return " Неверный параметр.";
    case 52: return " Запись используется.";
    case 53: return " ИНН установлен.";
    case 55: return " Не совпал заводской номер.";
    case 56: return " Данные не записались во FLASH.";
    case 57: return " Неверный номер клише.";
    case 59: return " Разрядность \"Цена\" превышает допустимое значение.";
    default: return "(" + std::to_string(code) + ")Неизвестный код ошибки.";
  }
}

}  // namespace tarnis::link
