#pragma once
// What sysfs and /dev/serial/by-id tell about the hardware behind a tty.
#include <map>
#include <string>

namespace tarnis::connection {

// "FTDI FT232R USB UART, A50285BI, 0403:6001, ftdi_sio" for a USB adapter, the driver's name for
// a plain UART, empty when sysfs knows nothing of the tty (a pseudo-terminal).
std::string AdapterDescription(const std::string& sys_root, const std::string& tty_name);

// A tty of the serial core with no UART behind it (ttyS2 and ttyS3 exist on every PC): its type is 0.
bool UartAbsent(const std::string& sys_root, const std::string& tty_name);

// The stable names under <dev_root>/serial/by-id, by the device each one leads to.
std::map<std::string, std::string> StableNames(const std::string& dev_root);

}  // namespace tarnis::connection
