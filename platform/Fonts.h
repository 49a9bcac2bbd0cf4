#pragma once
// The skin's font: Tahoma, 8 point, in every window of the program.
//
// Debian's fonts-wine package installs a Tahoma that fontconfig does not index; the program
// adds it to its own fonts on first use. Where it is missing, a close sans-serif stands in.

#include <QFont>

namespace pinleaf {

// Adds Tahoma (regular and bold) to the application's fonts once; returns whether Tahoma is
// available afterwards. Needs a QGuiApplication.
bool LoadSkinFonts();

// Tahoma at `pointSize` (bold when asked), with close sans-serif fallbacks.
QFont SkinFont(int pointSize = 8, bool bold = false);

}  // namespace pinleaf
