#include "Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QStringList>

namespace pinleaf {

namespace {

const QString kTahoma = QStringLiteral("Tahoma");

bool loadOnce() {
    if (QFontDatabase::hasFamily(kTahoma)) {
        return true;
    }
    bool loaded = false;
    for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        const QString path = QLatin1String(file);
        if (QFile::exists(path) && QFontDatabase::addApplicationFont(path) >= 0) {
            loaded = true;
        }
    }
    return loaded;
}

}  // namespace

bool LoadSkinFonts() {
    static const bool available = loadOnce();
    return available;
}

QFont SkinFont(int pointSize, bool bold) {
    LoadSkinFonts();
    QFont font(kTahoma);
    // Liberation Sans keeps close to Tahoma's width; DejaVu Sans is on every Debian desktop.
    font.setFamilies({kTahoma, QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

}  // namespace pinleaf
