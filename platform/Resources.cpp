#include "Resources.h"

#include "Fonts.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

static void initResources() {
    static bool done = false;
    if (!done) {
        // The resource files live in a static library: name them, so the linker keeps them.
        Q_INIT_RESOURCE(skin);
        Q_INIT_RESOURCE(icons);
        done = true;
    }
}

namespace pinleaf {

QString ResourcePath(const QString& name) {
    initResources();
    for (const char* folder : {":/skin/", ":/icons/"}) {
        for (const char* ext : {".svg", ".png"}) {
            const QString path = QLatin1String(folder) + name + QLatin1String(ext);
            if (QFile::exists(path)) {
                return path;
            }
        }
    }
    return QString();
}

QPixmap LoadBitmap(const QString& name, QSize size) {
    const QString path = ResourcePath(name);
    if (path.isEmpty()) {
        return QPixmap();
    }
    if (!path.endsWith(QLatin1String(".svg"))) {
        QPixmap pixmap(path);
        return size.isValid() ? pixmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              : pixmap;
    }
    // Lettering in the pictures is drawn in the skin's font.
    LoadSkinFonts();
    QSvgRenderer renderer(path);
    const QSize target = size.isValid() ? size : renderer.defaultSize();
    QPixmap pixmap(target);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

QIcon LoadIcon(const QString& name) {
    const QString path = ResourcePath(name);
    return path.isEmpty() ? QIcon() : QIcon(path);
}

}  // namespace pinleaf
