#include "Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace pinleaf {

namespace {
QSize g_testSize;
}

QSize ScreenSize() {
    if (g_testSize.isValid()) {
        return g_testSize;
    }
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        return screen->geometry().size();
    }
    return QSize(1024, 768);
}

void setScreenSizeForTesting(QSize size) { g_testSize = size; }

}  // namespace pinleaf
