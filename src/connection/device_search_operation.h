#pragma once
// The device search as the program runs it: under the wait window and the progress bar, with
// the hourglass, stoppable from the wait window, and a notice when nothing answered.
#include <vector>

#include "connection/device_search.h"
#include "ui/user_interface.h"

namespace tarnis::connection {

// What is told when no device answered; names the ports that could not be tried and why.
std::string NothingFoundText(const std::vector<PortReport>& ports);

// A search the user stopped finds nothing: what it had found so far is not taken either.
std::vector<FoundDevice> SearchWithProgress(ui::UserInterface& ui, const SearchRequest& request);

}  // namespace tarnis::connection
