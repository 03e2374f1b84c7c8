#pragma once

namespace quendro::view {

// The window's fonts are the Japanese desktop's Gothic and Mincho faces; on this
// machine the IPA fonts stand in for them, with the same half-width advance.
// Call after the QApplication exists and before any widget is made.
void installFontSubstitutions();

}  // namespace quendro::view
