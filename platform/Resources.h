#pragma once
// The program's pictures, loaded by name ("MAINICON", "ZICON1", "ACTIVE", "UP", …).
//
// A picture NAME lives in a resource file of resources/ as :/skin/NAME.svg or
// :/skin/NAME.png (window skin: resources/skin.qrc) or :/icons/NAME.svg|png (program and
// tray icons: resources/icons.qrc). SVG pictures are drawn at their own size unless a size
// is asked for.
//
// An icon drawn in several sizes is kept as NAME-16, NAME-32, NAME-48 (any of 16, 24, 32, 48,
// 64, 128, 256); a short animation ("clip") as the numbered pictures NAME_1, NAME_2, …

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace pinleaf {

// The picture NAME at `size` (its own size when invalid); a null pixmap when there is none.
QPixmap LoadBitmap(const QString& name, QSize size = QSize());
// The icon NAME with every size it comes in; a null icon when there is none.
QIcon LoadIcon(const QString& name);
// The resource path of NAME, or "" when there is none. For an icon drawn in several sizes:
// the path of its largest drawing.
QString ResourcePath(const QString& name);
// The pictures of the clip NAME in their order, each at `size` (its own size when invalid);
// empty when there is no clip of that name.
QList<QPixmap> LoadFrames(const QString& name, QSize size = QSize());

}  // namespace pinleaf
