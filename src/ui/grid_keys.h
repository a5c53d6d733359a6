#pragma once
// The keyboard on a grid whose cells are edited in a dialog: Enter or F2 opens the current cell's
// editor as a double-click does, and Tab / Shift+Tab leave the grid for the next control instead
// of walking its cells (the arrows do that).
class QAbstractItemView;

namespace tarnis::ui {

void InstallGridKeys(QAbstractItemView* grid);

}  // namespace tarnis::ui
