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

namespace {

// The sizes an icon may be drawn in, largest first.
constexpr int kIconSizes[] = {256, 128, 64, 48, 32, 24, 16};

QString exactPath(const QString& name) {
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

QPixmap renderPath(const QString& path, QSize size) {
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

}  // namespace

QString ResourcePath(const QString& name) {
    initResources();
    const QString path = exactPath(name);
    if (!path.isEmpty()) {
        return path;
    }
    for (int size : kIconSizes) {
        const QString sized = exactPath(name + QLatin1Char('-') + QString::number(size));
        if (!sized.isEmpty()) {
            return sized;
        }
    }
    return QString();
}

QPixmap LoadBitmap(const QString& name, QSize size) {
    const QString path = ResourcePath(name);
    return path.isEmpty() ? QPixmap() : renderPath(path, size);
}

QIcon LoadIcon(const QString& name) {
    initResources();
    const QString path = exactPath(name);
    if (!path.isEmpty()) {
        return QIcon(path);
    }
    // Each drawn size goes in as it is, so that a small icon is the small drawing and not the
    // large one scaled down.
    QIcon icon;
    for (int size : kIconSizes) {
        const QString sized = exactPath(name + QLatin1Char('-') + QString::number(size));
        if (!sized.isEmpty()) {
            icon.addPixmap(renderPath(sized, QSize(size, size)));
        }
    }
    return icon;
}

QList<QPixmap> LoadFrames(const QString& name, QSize size) {
    initResources();
    QList<QPixmap> frames;
    for (int number = 1;; ++number) {
        const QString path = exactPath(name + QLatin1Char('_') + QString::number(number));
        if (path.isEmpty()) {
            return frames;
        }
        frames.append(renderPath(path, size));
    }
}

}  // namespace pinleaf
