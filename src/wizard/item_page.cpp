#include "wizard/item_page.h"

namespace tarnis::wizard {

ItemPage::ItemPage(config::DeviceConfiguration& configuration, link::Link& link, ui::UserInterface& ui, int items,
                   int columns)
    : configuration_(configuration), link_(link), ui_(ui), items_(items), grid_(items + 1, columns) {}

void ItemPage::Read(bool current_only, int row) {
  link::Link::Operation hold(link_);
  if (!hold) return;
  if (!current_only) return ReadAll();
  if (ValidRow(row)) ReadOne(row);
}

void ItemPage::Write(bool current_only, int row) {
  link::Link::Operation hold(link_);
  if (!hold) return;
  if (!current_only) return WriteAll();
  if (ValidRow(row)) WriteOne(row);
}

}  // namespace tarnis::wizard
