#pragma once
// The notification-area icon: the rules of its animation and of its menu, and the icon itself.
// The rules are plain functions, and TTrayIcon keeps what the icon shows in a record of its own,
// so both can be checked on a desktop without a notification area, where the icon is never
// seen but everything else behaves the same.

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

#include <optional>

class QMenu;

namespace pinleaf {

namespace tray {

// The icon's tip: the program's title.
inline const QString kTip = QStringLiteral("Pinleaf");
// The still icon, shown while the animation is off.
inline const QString kMainIcon = QStringLiteral("MAINICON");
// The animation: one step every kStepInterval milliseconds through kFrameCount frames.
inline constexpr int kStepInterval = 50;
inline constexpr int kFrameCount = 6;

// The picture that animation frame `iconFrame` (0..5) shows: 0 → "ZICON2", 1 → "ZICON3", …,
// 4 → "ZICON6", 5 → "ZICON1". A value outside 0..5 counts modulo 6.
QString frameIconName(int iconFrame);
// The frame after `iconFrame`: one more, back to 0 after 5.
int nextIconFrame(int iconFrame);

// The two commands the icon offers for the main window.
enum class WindowCommand { Open, Minimize };

// What a double-click on the icon does: a shown window is minimised, a hidden one opened.
WindowCommand doubleClickCommand(bool windowVisible);

// How the menu's first item looks and what it does, for the window's present state.
struct OpenItemLook {
    QString caption;
    WindowCommand command;
    int image;  // index into menuImage()

    bool operator==(const OpenItemLook&) const = default;
};
OpenItemLook openItemLook(bool windowVisible);

// Image `index` of the menus' image list: 0 exit ("MENUEXIT"), 1 minimise ("MENUMINIMIZE"),
// 2 open ("MENUOPEN"). A null icon for any other index.
QIcon menuImage(int index);

// Whether the desktop has a notification area now. The value set for testing when there is one.
bool systemTrayAvailable();
// std::nullopt goes back to asking the desktop.
void setSystemTrayAvailableForTesting(std::optional<bool> available);

}  // namespace tray

// The icon in the notification area. Add puts it there, Modify changes its picture, Delete
// takes it away; IconName() and Added() tell what the icon shows at present. Pictures are
// loaded by name once and kept. Where the desktop has no notification area the calls change
// the record and nothing else.
class TTrayIcon : public QObject {
    Q_OBJECT

public:
    explicit TTrayIcon(QObject* parent = nullptr);

    void Add(const QString& iconName);
    void Modify(const QString& iconName);
    void Delete();

    bool Added() const { return added_; }
    QString IconName() const { return iconName_; }
    QString Tip() const;

    // The menu that the right button opens, at the mouse pointer.
    void setMenu(QMenu* menu);
    QSystemTrayIcon* systemTrayIcon() const { return icon_; }

signals:
    // Mouse events on the icon: a double-click, a single click, the right button.
    void activated(QSystemTrayIcon::ActivationReason reason);

private:
    QIcon picture(const QString& name);

    QSystemTrayIcon* icon_ = nullptr;
    QHash<QString, QIcon> pictures_;
    QString iconName_;
    bool added_ = false;
};

}  // namespace pinleaf
