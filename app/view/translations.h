#pragma once

namespace quendro::view {

// The window toolkit's own dialogs (save, colour, messages) and their buttons
// in Japanese, from the toolkit's translations on the machine. Call after the
// QApplication exists. False when the translations are not installed: the
// dialogs then stay in English.
bool installJapaneseDialogs();

}  // namespace quendro::view
