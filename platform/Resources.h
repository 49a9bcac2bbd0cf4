#pragma once
// The program's pictures, loaded by name ("MAINICON", "ZICON1", "ACTIVE", "UP", …).
//
// A picture NAME lives in a resource file of resources/ as :/skin/NAME.svg or
// :/skin/NAME.png (window skin: resources/skin.qrc) or :/icons/NAME.svg|png (program and
// tray icons: resources/icons.qrc). SVG pictures are drawn at their own size unless a size
// is asked for.

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace pinleaf {

// The picture NAME at `size` (its own size when invalid); a null pixmap when there is none.
QPixmap LoadBitmap(const QString& name, QSize size = QSize());
// The icon NAME with every size it comes in; a null icon when there is none.
QIcon LoadIcon(const QString& name);
// The resource path of NAME, or "" when there is none.
QString ResourcePath(const QString& name);

}  // namespace pinleaf
