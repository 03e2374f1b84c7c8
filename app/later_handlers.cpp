#include "app/main_window.h"

// The handler of the upload.
// They are wired to their controls and called by their names already; each is
// filled as its part of the program comes.

namespace quendro {

void MainWindow::cmdWebUp_Click() {}

}  // namespace quendro
