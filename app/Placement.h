#pragma once
// Where the main window stands at start-up.

#include "RegIniFile.h"

#include <QPoint>
#include <QSize>

namespace pinleaf {

// The top right corner of the screen, 10 pixels in from both edges.
QPoint defaultWindowPlace(QSize screen, int windowWidth);

// The place from the stored "Left" and "Top" of the main section: the stored place when
// neither is missing, negative or greater than the screen's width (height); else the default
// place. An edge equal to the screen's size is accepted.
QPoint startupWindowPlace(const TRegIniFile& settings, QSize screen, int windowWidth);

}  // namespace pinleaf
