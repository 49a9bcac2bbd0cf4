// The main window's notification-area icon: its animation, its double-click and its menu.

#include "MainU.h"
#include "Resources.h"
#include "TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace pinleaf {

using tray::WindowCommand;

void TMainForm::createTrayIcon() {
    setWindowIcon(LoadIcon(tray::kMainIcon));

    TrayIconData = new TTrayIcon(this);
    TrayIconData->setObjectName(QStringLiteral("TrayIconData"));
    connect(TrayIconData, &TTrayIcon::activated, this, &TMainForm::TrayIconActivated);

    // The animation runs from the start; ApplyAnimatedIcon stops it when the option is off.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(tray::kStepInterval);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    Timer1->start();

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    Open1 = PopupMenu2->addAction(QStringLiteral("&Open Pinleaf"));
    Open1->setObjectName(QStringLiteral("Open1"));
    Open1->setIcon(tray::menuImage(2));
    PopupMenu2->setDefaultAction(Open1);
    open1Handler_ = connect(Open1, &QAction::triggered, this, &TMainForm::Open1Click);
    N2 = PopupMenu2->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    About2 = PopupMenu2->addAction(QStringLiteral("&About..."));
    About2->setObjectName(QStringLiteral("About2"));
    connect(About2, &QAction::triggered, this, &TMainForm::About1Click);
    Exit2 = PopupMenu2->addAction(QStringLiteral("E&xit"));
    Exit2->setObjectName(QStringLiteral("Exit2"));
    Exit2->setIcon(tray::menuImage(0));
    connect(Exit2, &QAction::triggered, this, &TMainForm::Exit1Click);
    // Each opening first fits the first item to the window's present state.
    connect(PopupMenu2, &QMenu::aboutToShow, this, &TMainForm::PopupMenu2Popup);
    TrayIconData->setMenu(PopupMenu2);

    // A click on the item has already toggled its mark.
    connect(AnimatedIcon1, &QAction::triggered, this, &TMainForm::ApplyAnimatedIcon);
}

void TMainForm::AddTrayIcon() {
    // Without a notification area the window is the only way to the program: it keeps its
    // task-bar entry, whatever kind of window the skin made it.
    if (!HasTray() && windowType() == Qt::Tool) {
        setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Window);
    }
    TrayIconData->Add(tray::kMainIcon);
}

void TMainForm::DeleteTrayIcon() { TrayIconData->Delete(); }

void TMainForm::Timer1Timer() {
    const QString frame = tray::frameIconName(IconFrame);
    IconFrame = tray::nextIconFrame(IconFrame);
    TrayIconData->Modify(frame);
}

void TMainForm::ApplyAnimatedIcon() {
    if (AnimatedIcon1->isChecked()) {
        if (!Timer1->isActive()) {
            Timer1->start();
        }
    } else {
        // IconFrame stays where it is: switched on again, the animation goes on from there.
        Timer1->stop();
        TrayIconData->Modify(tray::kMainIcon);
    }
}

void TMainForm::AnimatedIcon1Click() {
    AnimatedIcon1->toggle();
    ApplyAnimatedIcon();
}

void TMainForm::TrayIconActivated(QSystemTrayIcon::ActivationReason reason) {
    // Single clicks do nothing; the right button opens PopupMenu2 (PopupMenu2Popup).
    if (reason != QSystemTrayIcon::DoubleClick) {
        return;
    }
    const bool shown = isVisible() && !isMinimized();
    switch (tray::doubleClickCommand(shown)) {
        case WindowCommand::Minimize:
            MinimizeBtnClick();
            break;
        case WindowCommand::Open:
            Open1Click();
            break;
    }
}

void TMainForm::PopupMenu2Popup() {
    const tray::OpenItemLook look = tray::openItemLook(isVisible() && !isMinimized());
    Open1->setText(look.caption);
    Open1->setIcon(tray::menuImage(look.image));
    disconnect(open1Handler_);
    open1Handler_ = look.command == WindowCommand::Minimize
                        ? connect(Open1, &QAction::triggered, this, &TMainForm::MinimizeBtnClick)
                        : connect(Open1, &QAction::triggered, this, &TMainForm::Open1Click);
}

bool TMainForm::HasTray() const { return tray::systemTrayAvailable(); }

}  // namespace pinleaf
