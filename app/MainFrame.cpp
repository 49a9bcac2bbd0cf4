// The main window's frame: the skin's controls around the message fields, the three layouts,
// the title strip with its drag and double-click, the fold button, minimising, always on top,
// the default position, the system menu and help.

#include "MainU.h"

#include "ErrorReport.h"
#include "FrameLayout.h"
#include "Placement.h"
#include "PromptTexts.h"
#include "Resources.h"
#include "Screen.h"
#include "Skin.h"

#include <QAction>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QUrl>

namespace pinleaf {

namespace {

TImage* picture(QWidget* parent, const char* name, const QString& picture, QRect geometry,
                const QString& hint = QString()) {
    auto* image = new TImage(parent);
    image->setObjectName(QLatin1String(name));
    image->setPicture(picture);
    image->setGeometry(geometry);
    if (!hint.isEmpty()) {
        image->setToolTip(hint);
    }
    return image;
}

}  // namespace

void TMainForm::createFrame() {
    // Flat edit boxes and menus in the colours of the skin.
    setStyleSheet(QStringLiteral(
        "QLineEdit, QPlainTextEdit { background: rgb(255, 255, 225); border: 1px solid rgb(167, 118, 15); }"
        "QLineEdit:focus, QPlainTextEdit:focus { border: 1px solid rgb(228, 170, 38); }"
        "QMenu { background: rgb(255, 255, 225); border: 1px solid rgb(167, 118, 15); padding: 2px; }"
        "QMenu::item { padding: 3px 24px 3px 22px; color: black; }"
        "QMenu::item:selected { background: rgb(247, 214, 106); }"
        "QMenu::item:default { font-weight: bold; }"
        "QMenu::item:disabled { color: rgb(160, 150, 120); }"
        "QMenu::separator { height: 1px; background: rgb(217, 194, 122); margin: 3px 6px; }"
        "QMenu::icon { padding-left: 4px; }"
        "QMenu::indicator { width: 12px; height: 12px; left: 5px; }"));

    MainShape = new TShape(this);
    MainShape->setObjectName(QStringLiteral("MainShape"));
    MainShape->setGeometry(0, 0, kWidth, kCompactHeight);
    MainShape->lower();

    // The title strip. Its picture comes with the first activation of the program.
    SystemImage = picture(this, "SystemImage", QStringLiteral("SYSTEM"), QRect(1, 3, 15, 11));
    TitleImage = picture(this, "TitleImage", QString(), QRect(16, 3, 160, 11));
    TitleImage->setCursor(Qt::PointingHandCursor);
    MinimizeBtn = picture(this, "MinimizeBtn", QStringLiteral("MINIMIZE"), QRect(176, 3, 13, 11),
                          QStringLiteral("Minimize"));
    CloseBtn = picture(this, "CloseBtn", QStringLiteral("CLOSE"), QRect(191, 3, 13, 11), QStringLiteral("Close"));
    LogoImage = picture(this, "LogoImage", QStringLiteral("LOGO"), QRect(8, 21, 191, 69));

    PageTurnPrevImage = picture(this, "PageTurnPrevImage", QStringLiteral("PAGEPREV"), QRect(8, 378, 16, 16),
                                QStringLiteral("Prior message"));
    PageTurnPrevImage->setCursor(Qt::PointingHandCursor);
    UpDownImage = picture(this, "UpDownImage", QStringLiteral("DOWN"), QRect(96, 385, 15, 8));
    UpDownImage->setCursor(Qt::PointingHandCursor);
    PageTurnNextImage = picture(this, "PageTurnNextImage", QStringLiteral("PAGENEXT"), QRect(183, 378, 16, 16),
                                QStringLiteral("Next message"));
    PageTurnNextImage->setCursor(Qt::PointingHandCursor);

    // The printing display lies over the message box while it shows.
    PrintShape = new TShape(this, true);
    PrintShape->setObjectName(QStringLiteral("PrintShape"));
    PrintShape->setGeometry(8, 205, 191, 66);
    Label5 = new QLabel(QStringLiteral("Printing..."), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    QFont bold = font();
    bold.setBold(true);
    Label5->setFont(bold);
    Label5->setGeometry(16, 210, 175, 14);
    PrintingLabel = new QLabel(this);
    PrintingLabel->setObjectName(QStringLiteral("PrintingLabel"));
    PrintingLabel->setGeometry(16, 228, 175, 14);
    PrintingProgressBar = new QProgressBar(this);
    PrintingProgressBar->setObjectName(QStringLiteral("PrintingProgressBar"));
    PrintingProgressBar->setGeometry(16, 248, 175, 14);
    PrintingProgressBar->setTextVisible(false);
    for (QWidget* w : std::initializer_list<QWidget*>{PrintShape, Label5, PrintingLabel, PrintingProgressBar}) {
        w->hide();
    }

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(500);
    connect(Timer2, &QTimer::timeout, this, &TMainForm::Timer2Timer);

    connect(TitleImage, &TImage::mouseDown, this, [this](Qt::MouseButton button, bool doubleClick, QPoint pos) {
        TitleShapeMouseDown(button, doubleClick, pos.x(), pos.y());
    });
    connect(TitleImage, &TImage::mouseMove, this, [this](QPoint pos) { TitleShapeMouseMove(pos.x(), pos.y()); });
    connect(TitleImage, &TImage::mouseUp, this, [this] { TitleShapeMouseUp(); });
    connect(SystemImage, &TImage::mouseDown, this,
            [this](Qt::MouseButton button, bool doubleClick) { SystemImageMouseDown(button, doubleClick); });
    connect(MinimizeBtn, &TImage::clicked, this, &TMainForm::MinimizeBtnClick);
    connect(CloseBtn, &TImage::clicked, this, &TMainForm::Exit1Click);
    connect(UpDownImage, &TImage::mouseDown, this, &TMainForm::UpDownImageMouseDown);
    connect(UpDownImage, &TImage::clicked, this, &TMainForm::UpDownImageClick);
    connect(UpDownImage, &TImage::mouseUp, this, &TMainForm::UpDownImageMouseUp);

    LogoImage->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(LogoImage, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(LogoImage->mapToGlobal(pos)); });

    connect(Minimize1, &QAction::triggered, this, &TMainForm::MinimizeBtnClick);
    // The checkable item has already changed its mark when it reports the trigger.
    connect(AlwaysonTop1, &QAction::triggered, this, &TMainForm::ApplyAlwaysOnTop);
    connect(AlwaysonTop2, &QAction::triggered, this, &TMainForm::AlwaysonTop1Click);
    connect(DefaultPosition1, &QAction::triggered, this, &TMainForm::DefaultPosition1Click);
    connect(DefaultPosition2, &QAction::triggered, this, &TMainForm::DefaultPosition1Click);
    connect(SystemMenu1, &QAction::triggered, this, &TMainForm::SystemMenu1Click);
    connect(PopupMenu1, &QMenu::aboutToShow, this, &TMainForm::PopupMenu1Popup);
    connect(Help1, &QAction::triggered, this, &TMainForm::Help1Click);
    connect(Help2, &QAction::triggered, this, &TMainForm::Help1Click);

    setSnappingWindow(this);
}

void TMainForm::CheckSliced() {
    const FrameLayout layout = frameLayout(Sliced, Extracted);
    for (const ControlPlace& place : layoutPlaces(layout)) {
        // Controls of subsystems that are not part of the window (yet) are passed over.
        auto* control = findChild<QWidget*>(place.name, Qt::FindDirectChildrenOnly);
        if (!control) {
            continue;
        }
        if (place.top != ControlPlace::kKeepTop) {
            control->move(control->x(), place.top);
        }
        if (place.visible) {
            control->setVisible(*place.visible);
        }
    }
    const int height = frameHeight(layout);
    MainShape->resize(kWidth, height);
    setFixedHeight(height);
}

void TMainForm::ApplicationActivate() { TitleImage->setPicture(QStringLiteral("ACTIVE")); }

void TMainForm::ApplicationDeactivate() { TitleImage->setPicture(QStringLiteral("INACTIVE")); }

void TMainForm::TitleShapeMouseDown(Qt::MouseButton button, bool doubleClick, int x, int y) {
    if (button != Qt::LeftButton) {
        return;
    }
    if (doubleClick) {
        Sliced = !Sliced;
        CheckSliced();
    } else {
        BeginWindowDrag(x, y);
    }
}

void TMainForm::TitleShapeMouseMove(int x, int y) { DragWindow(this, x, y); }

void TMainForm::TitleShapeMouseUp() { EndWindowDrag(); }

void TMainForm::BeginWindowDrag(int x, int y) { pinleaf::BeginWindowDrag(x, y); }

void TMainForm::DragWindow(QWidget* window, int x, int y) { pinleaf::DragWindow(window, x, y); }

void TMainForm::EndWindowDrag() { pinleaf::EndWindowDrag(); }

void TMainForm::UpDownImageMouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        UpDownImage->move(UpDownImage->pos() + QPoint(1, 1));
    }
}

void TMainForm::UpDownImageClick() {
    Extracted = !Extracted;
    UpDownImage->setPicture(Extracted ? QStringLiteral("UP") : QStringLiteral("DOWN"));
    // Sets the button's top afresh for the new layout.
    CheckSliced();
    UpDownClicked = true;
}

void TMainForm::UpDownImageMouseUp(Qt::MouseButton button) {
    if (button != Qt::LeftButton) {
        return;
    }
    if (!UpDownClicked) {
        UpDownImage->move(UpDownImage->x(), UpDownImage->y() - 1);
    }
    UpDownImage->move(UpDownImage->x() - 1, UpDownImage->y());
    UpDownClicked = false;
}

void TMainForm::MinimizeBtnClick() {
    // The window goes to the notification area: no task-bar button, no minimised window.
    // Without a notification area a hidden window could not be found again: minimise it to
    // its task-bar entry instead.
    if (HasTray()) {
        hide();
    } else {
        showMinimized();
    }
    ApplyAlwaysOnTop();
}

void TMainForm::AlwaysonTop1Click() {
    AlwaysonTop1->setChecked(!AlwaysonTop1->isChecked());
    ApplyAlwaysOnTop();
}

void TMainForm::DefaultPosition1Click() { move(defaultWindowPlace(ScreenSize(), width())); }

void TMainForm::SystemImageMouseDown(Qt::MouseButton button, bool doubleClick) {
    if (button != Qt::LeftButton) {
        return;
    }
    if (doubleClick) {
        Timer2->stop();
        Exit1Click();
    } else {
        SystemMenuPoint = QCursor::pos();
        Timer2->start();
    }
}

void TMainForm::Timer2Timer() {
    SystemMenuMode = true;
    PopupMenu1->popup(SystemMenuPoint);
    Timer2->stop();
}

void TMainForm::SystemMenu1Click() {
    if (!isVisible()) {
        return;
    }
    SystemMenuMode = true;
    PopupMenu1->popup(QPoint(x() + 3, y() + 15));
}

void TMainForm::PopupMenu1Popup() {
    // Opened as the system menu: "Minimize" on top and a bold "Exit" with Alt+F4 and its
    // picture. Opened from the logo: neither.
    const bool system = SystemMenuMode;
    Minimize1->setVisible(system);
    N7->setVisible(system);
    PopupMenu1->setDefaultAction(system ? Exit1 : nullptr);
    Exit1->setText(system ? QStringLiteral("E&xit\tAlt+F4") : QStringLiteral("E&xit"));
    Exit1->setIcon(system ? LoadIcon(QStringLiteral("MENUEXIT")) : QIcon());
    SystemMenuMode = false;
}

void TMainForm::Help1Click() {
    const QString quoted = QStringLiteral("\u2018") + shortPath(HelpFile) + QStringLiteral("\u2019");
    if (!QFileInfo(HelpFile).isFile()) {
        ShowError(QStringLiteral("Cannot find the help file ") + quoted + QStringLiteral("!"));
    } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(HelpFile))) {
        ShowError(QStringLiteral("Cannot show the help file ") + quoted +
                  QStringLiteral(": no web browser could be started."));
    }
}

}  // namespace pinleaf
