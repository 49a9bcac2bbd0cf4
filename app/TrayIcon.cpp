#include "TrayIcon.h"

#include "Resources.h"

#include <QMenu>

namespace pinleaf {

namespace tray {

namespace {
std::optional<bool> g_availableForTesting;
}

QString frameIconName(int iconFrame) {
    const int frame = ((iconFrame % kFrameCount) + kFrameCount) % kFrameCount;
    // The cycle starts with the second picture and ends with the first.
    return QStringLiteral("ZICON%1").arg((frame + 1) % kFrameCount + 1);
}

int nextIconFrame(int iconFrame) {
    const int next = iconFrame + 1;
    return next > kFrameCount - 1 ? 0 : next;
}

WindowCommand doubleClickCommand(bool windowVisible) {
    return windowVisible ? WindowCommand::Minimize : WindowCommand::Open;
}

OpenItemLook openItemLook(bool windowVisible) {
    if (windowVisible) {
        return {QStringLiteral("Mi&nimize Pinleaf"), WindowCommand::Minimize, 1};
    }
    return {QStringLiteral("&Open Pinleaf"), WindowCommand::Open, 2};
}

QIcon menuImage(int index) {
    static const char* const names[] = {"MENUEXIT", "MENUMINIMIZE", "MENUOPEN"};
    return index >= 0 && index < 3 ? LoadIcon(QLatin1String(names[index])) : QIcon();
}

bool systemTrayAvailable() {
    return g_availableForTesting.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

void setSystemTrayAvailableForTesting(std::optional<bool> available) {
    g_availableForTesting = available;
}

}  // namespace tray

TTrayIcon::TTrayIcon(QObject* parent) : QObject(parent), icon_(new QSystemTrayIcon(this)) {
    icon_->setObjectName(QStringLiteral("TrayIcon"));
    icon_->setToolTip(tray::kTip);
    connect(icon_, &QSystemTrayIcon::activated, this, &TTrayIcon::activated);
}

QString TTrayIcon::Tip() const { return icon_->toolTip(); }

QIcon TTrayIcon::picture(const QString& name) {
    auto it = pictures_.constFind(name);
    if (it == pictures_.constEnd()) {
        it = pictures_.insert(name, LoadIcon(name));
    }
    return *it;
}

void TTrayIcon::Add(const QString& iconName) {
    iconName_ = iconName;
    icon_->setIcon(picture(iconName));
    // On a desktop without a notification area this shows nothing; when one appears later,
    // the icon goes there by itself.
    icon_->show();
    added_ = true;
}

void TTrayIcon::Modify(const QString& iconName) {
    iconName_ = iconName;
    icon_->setIcon(picture(iconName));
}

void TTrayIcon::Delete() {
    icon_->hide();
    added_ = false;
}

void TTrayIcon::setMenu(QMenu* menu) { icon_->setContextMenu(menu); }

}  // namespace pinleaf
