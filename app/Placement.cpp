#include "Placement.h"

#include "Settings.h"

namespace pinleaf {

QPoint defaultWindowPlace(QSize screen, int windowWidth) {
    return QPoint(screen.width() - windowWidth - 10, 10);
}

QPoint startupWindowPlace(const TRegIniFile& settings, QSize screen, int windowWidth) {
    using namespace settings;
    // A missing entry reads as 10000, larger than any screen, so a first start lands on the
    // default place.
    const int left = settings.ReadInteger(kSection, kLeft, 10000);
    const int top = settings.ReadInteger(kSection, kTop, 10000);
    if (left > screen.width() || top > screen.height() || left < 0 || top < 0) {
        return defaultWindowPlace(screen, windowWidth);
    }
    return QPoint(settings.ReadInteger(kSection, kLeft, 10), settings.ReadInteger(kSection, kTop, 10));
}

}  // namespace pinleaf
