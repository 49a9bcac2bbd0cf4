// The notification-area icon: the animation's frame order and where it goes on after a stop,
// the menu's two looks, the double-click, the exit, and a desktop without a notification area.
// The offscreen platform has no notification area: the icon's record and its signals stand in
// for what a user would see and do.

#include "FreshUser.h"
#include "MainU.h"
#include "RegIniFile.h"
#include "Resources.h"
#include "Screen.h"
#include "Settings.h"
#include "TrayIcon.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace pinleaf;

namespace {

QStringList steps(TMainForm& form, int count) {
    QStringList shown;
    for (int i = 0; i < count; ++i) {
        form.Timer1Timer();
        shown << form.TrayIconData->IconName();
    }
    return shown;
}

bool samePicture(const QIcon& a, const QIcon& b) {
    return !a.isNull() && a.pixmap(16, 16).toImage() == b.pixmap(16, 16).toImage();
}

// Opens the icon's menu as the right button does and closes it again.
void openMenu(TMainForm& form) {
    form.PopupMenu2->popup(QPoint(100, 100));
    form.PopupMenu2->close();
}

}  // namespace

Q_DECLARE_METATYPE(QSystemTrayIcon::ActivationReason)

class TestTray : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setScreenSizeForTesting(QSize(1024, 768)); }

    void init() {
        // A new user for every test: fresh settings and current folder.
        QVERIFY(user_.start());
        tray::setSystemTrayAvailableForTesting(true);
    }

    void cleanup() { tray::setSystemTrayAvailableForTesting(std::nullopt); }

    void pictures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        for (int i = 1; i <= 6; ++i) {
            QTest::addRow("ZICON%d", i) << QStringLiteral("ZICON%1").arg(i) << QSize(32, 32);
        }
        for (const char* name : {"MENUEXIT", "MENUMINIMIZE", "MENUOPEN"}) {
            QTest::newRow(name) << QString::fromLatin1(name) << QSize(16, 16);
        }
    }

    void pictures() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QVERIFY2(!LoadIcon(name).isNull(), qPrintable(name));
        QCOMPARE(QSvgRenderer(ResourcePath(name)).defaultSize(), size);
    }

    void mainIconComesInThreeDrawings() {
        const QList<QSize> sizes = LoadIcon(tray::kMainIcon).availableSizes();
        for (int side : {16, 32, 48}) {
            QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
        }
        // Each size is a drawing of its own, not the large one scaled.
        const QIcon icon = LoadIcon(tray::kMainIcon);
        QVERIFY(icon.pixmap(16, 16).toImage() !=
                icon.pixmap(48, 48).toImage().scaled(16, 16, Qt::IgnoreAspectRatio,
                                                     Qt::SmoothTransformation));
    }

    void iconAtStart() {
        TMainForm form({QStringLiteral("pinleaf")});
        QVERIFY(form.TrayIconData->Added());
        QCOMPARE(form.TrayIconData->Tip(), QStringLiteral("Pinleaf"));
        QCOMPARE(form.TrayIconData->IconName(), QStringLiteral("MAINICON"));
        QCOMPARE(form.IconFrame, 0);
        QVERIFY(form.Timer1->isActive());
        QCOMPARE(form.Timer1->interval(), 50);
        form.close();
    }

    void frameOrder() {
        TMainForm form({QStringLiteral("pinleaf")});
        // One cycle starts with the second picture and ends with the first, then starts over.
        QCOMPARE(steps(form, 8), QStringList({"ZICON2", "ZICON3", "ZICON4", "ZICON5", "ZICON6",
                                              "ZICON1", "ZICON2", "ZICON3"}));
        QCOMPARE(form.IconFrame, 2);
        form.close();
    }

    void restartGoesOnWhereItStopped_data() {
        QTest::addColumn<int>("stepsBeforeStop");
        QTest::addColumn<QString>("next");
        QTest::newRow("before the first step") << 0 << "ZICON2";
        QTest::newRow("within the cycle") << 2 << "ZICON4";
        QTest::newRow("at the last frame") << 5 << "ZICON1";
        QTest::newRow("after a whole cycle") << 6 << "ZICON2";
        QTest::newRow("in the second cycle") << 9 << "ZICON5";
    }

    void restartGoesOnWhereItStopped() {
        QFETCH(int, stepsBeforeStop);
        QFETCH(QString, next);
        TMainForm form({QStringLiteral("pinleaf")});
        steps(form, stepsBeforeStop);
        const int frame = form.IconFrame;

        form.AnimatedIcon1->trigger();  // the menu item: off
        QVERIFY(!form.AnimatedIcon1->isChecked());
        QVERIFY(!form.Timer1->isActive());
        QCOMPARE(form.TrayIconData->IconName(), QStringLiteral("MAINICON"));
        QCOMPARE(form.IconFrame, frame);

        form.AnimatedIcon1->trigger();  // on again
        QVERIFY(form.Timer1->isActive());
        QCOMPARE(steps(form, 1), QStringList{next});
        form.close();
    }

    void stillIconWhenOffAtStart() {
        TRegIniFile(settings::kCompanyKey)
            .WriteBool(settings::kSection, settings::kAnimatedIcon, false);
        TMainForm form({QStringLiteral("pinleaf")});
        QVERIFY(!form.AnimatedIcon1->isChecked());
        QVERIFY(!form.Timer1->isActive());
        QCOMPARE(form.TrayIconData->IconName(), QStringLiteral("MAINICON"));

        form.AnimatedIcon1Click();
        QVERIFY(form.AnimatedIcon1->isChecked());
        QVERIFY(form.Timer1->isActive());
        QCOMPARE(steps(form, 1), QStringList{"ZICON2"});

        // The mark is what the exit save keeps.
        form.AnimatedIcon1Click();
        form.close();
        QCOMPARE(TRegIniFile(settings::kCompanyKey)
                     .ReadString(settings::kSection, settings::kAnimatedIcon, QString()),
                 QStringLiteral("0"));
    }

    void menuItems() {
        TMainForm form({QStringLiteral("pinleaf")});
        QStringList items;
        for (QAction* a : form.PopupMenu2->actions()) {
            items << a->objectName() + QLatin1Char('=') +
                         (a->isSeparator() ? QString() : a->text());
        }
        QCOMPARE(items,
                 QStringList({"Open1=&Open Pinleaf", "N2=", "About2=&About...", "Exit2=E&xit"}));
        QCOMPARE(form.PopupMenu2->defaultAction(), form.Open1);
        QVERIFY(samePicture(form.Exit2->icon(), tray::menuImage(0)));
        form.close();
    }

    void menuLooks_data() {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("image");
        QTest::addColumn<QString>("otherCaption");
        QTest::newRow("window hidden") << false << "&Open Pinleaf" << 2 << "Mi&nimize Pinleaf";
        QTest::newRow("window shown") << true << "Mi&nimize Pinleaf" << 1 << "&Open Pinleaf";
    }

    // Each opening fits the first item to the window: caption, picture and what it does.
    void menuLooks() {
        QFETCH(bool, shown);
        QFETCH(QString, caption);
        QFETCH(int, image);
        QFETCH(QString, otherCaption);
        TMainForm form({QStringLiteral("pinleaf")});
        form.setVisible(shown);

        openMenu(form);
        QCOMPARE(form.Open1->text(), caption);
        QVERIFY(samePicture(form.Open1->icon(), tray::menuImage(image)));
        QCOMPARE(form.PopupMenu2->defaultAction(), form.Open1);

        form.Open1->trigger();
        QCOMPARE(form.isVisible(), !shown);

        openMenu(form);
        QCOMPARE(form.Open1->text(), otherCaption);
        form.Open1->trigger();
        QCOMPARE(form.isVisible(), shown);
        form.close();
    }

    void mouseOnIcon_data() {
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("shownAfter");
        QTest::newRow("double-click hides") << QSystemTrayIcon::DoubleClick << true << false;
        QTest::newRow("double-click shows") << QSystemTrayIcon::DoubleClick << false << true;
        QTest::newRow("single click, shown") << QSystemTrayIcon::Trigger << true << true;
        QTest::newRow("single click, hidden") << QSystemTrayIcon::Trigger << false << false;
        QTest::newRow("right button") << QSystemTrayIcon::Context << false << false;
        QTest::newRow("middle button") << QSystemTrayIcon::MiddleClick << true << true;
    }

    void mouseOnIcon() {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(bool, shown);
        QFETCH(bool, shownAfter);
        TMainForm form({QStringLiteral("pinleaf")});
        form.setVisible(shown);
        emit form.TrayIconData->systemTrayIcon()->activated(reason);
        QCOMPARE(form.isVisible(), shownAfter);
        QVERIFY(!form.isMinimized());
        form.close();
    }

    void exitRemovesIconAfterSave() {
        TMainForm form({QStringLiteral("pinleaf")});
        form.Exit2->trigger();
        QVERIFY(form.ExitSaved());
        QVERIFY(!form.TrayIconData->Added());
        // A step that was already waiting changes the record only; the icon stays away.
        form.Timer1Timer();
        QVERIFY(!form.TrayIconData->Added());
        QVERIFY(!form.TrayIconData->systemTrayIcon()->isVisible());
    }

    void alwaysOnTopKeepsIcon() {
        TMainForm form({QStringLiteral("pinleaf")});
        for (bool onTop : {true, false}) {
            form.AlwaysonTop1->setChecked(onTop);
            form.ApplyAlwaysOnTop();
            QCOMPARE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
            QVERIFY(form.TrayIconData->Added());
            QVERIFY(form.Timer1->isActive());
            const QString before = form.TrayIconData->IconName();
            form.Timer1Timer();
            QVERIFY(form.TrayIconData->IconName() != before);

            emit form.TrayIconData->systemTrayIcon()->activated(QSystemTrayIcon::DoubleClick);
            QVERIFY(!form.isVisible());
            QCOMPARE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
            emit form.TrayIconData->systemTrayIcon()->activated(QSystemTrayIcon::DoubleClick);
            QVERIFY(form.isVisible());
        }
        form.close();
    }

    void minimiseWithAndWithoutTray_data() {
        QTest::addColumn<bool>("hasTray");
        QTest::addColumn<bool>("visibleAfter");
        QTest::addColumn<bool>("minimizedAfter");
        QTest::newRow("notification area: hidden") << true << false << false;
        QTest::newRow("none: minimised to the task bar") << false << true << true;
    }

    void minimiseWithAndWithoutTray() {
        QFETCH(bool, hasTray);
        QFETCH(bool, visibleAfter);
        QFETCH(bool, minimizedAfter);
        tray::setSystemTrayAvailableForTesting(hasTray);
        TMainForm form({QStringLiteral("pinleaf")});
        QCOMPARE(form.HasTray(), hasTray);
        if (!hasTray) {
            // Only a window with a task-bar entry can be found again when minimised.
            QCOMPARE(form.windowType(), Qt::Window);
        }

        form.MinimizeBtnClick();
        QCOMPARE(form.isVisible(), visibleAfter);
        QCOMPARE(form.isMinimized(), minimizedAfter);

        // The menu offers to open a minimised window.
        openMenu(form);
        QCOMPARE(form.Open1->text(), QStringLiteral("&Open Pinleaf"));

        // What a second start of the program asks for.
        form.Open1Click();
        QVERIFY(form.isVisible());
        QVERIFY(!form.isMinimized());
        form.close();
    }

private:
    test::FreshUser user_;
};

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
