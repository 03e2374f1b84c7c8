#include "app/main_window.h"

// Handlers of the printed lap list and the upload.
// They are wired to their controls and called by their names already; each is
// filled as its part of the program comes.

namespace quendro {

void MainWindow::cmdLp_Click() {}
void MainWindow::cmdWebUp_Click() {}

}  // namespace quendro
