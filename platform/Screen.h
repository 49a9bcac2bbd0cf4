#pragma once
// The size of the whole primary screen (not its work area), read through one seam so that
// tests can set it.

#include <QSize>

namespace pinleaf {

// The primary screen's size in pixels; the size set for testing when there is one.
QSize ScreenSize();
// An invalid size goes back to the real screen.
void setScreenSizeForTesting(QSize size);

}  // namespace pinleaf
