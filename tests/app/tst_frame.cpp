// The main window's frame: its layouts, the title strip, the fold button, the drag with its
// snapping, the system menu, minimising, always on top, the default position and help.

#include "FreshUser.h"
#include "DataFile.h"
#include "ErrorReport.h"
#include "FrameLayout.h"
#include "MainU.h"
#include "Screen.h"
#include "Settings.h"
#include "Skin.h"
#include "TrayIcon.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace pinleaf;

namespace {

// Receives the addresses the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

}  // namespace

class TestFrame : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        setScreenSizeForTesting(QSize(1024, 768));
        // The frame as it is on a desktop with a notification area (the offscreen platform
        // has none).
        tray::setSystemTrayAvailableForTesting(true);
    }

    void init() {
        // A new user for every test: fresh settings and current folder.
        QVERIFY(user_.start());
        datafile::write(QStringLiteral("Pinleaf.cds"), {});
        errors_.clear();
        setErrorHandler([this](const QString& text) { errors_ << text; });
    }

    void cleanup() {
        setErrorHandler({});
        EndWindowDrag();
    }

    // --- Layouts ---

    void layout_data() {
        QTest::addColumn<bool>("extracted");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("top");
        QTest::addColumn<bool>("visible");

        struct Row {
            const char* control;
            int extractedTop;  // -1: hidden in that layout
            int compactTop;
        };
        const Row rows[] = {
            {"Label3", 277, 306},          {"DateText", -1, 320},
            {"Label2", 450, 278},          {"NumberText", 463, 291},
            {"Label4", 478, 337},          {"TimeEdit", 494, 353},
            {"Label7", 517, -1},           {"UrlEdit", 533, -1},
            {"PageTurnPrevImage", 558, 378}, {"PageTurnNextImage", 558, 378},
            {"UpDownImage", 565, 385},
        };
        for (const Row& r : rows) {
            QTest::addRow("extracted %s", r.control)
                << true << r.control << r.extractedTop << (r.extractedTop >= 0);
            QTest::addRow("compact %s", r.control) << false << r.control << r.compactTop << (r.compactTop >= 0);
        }
        // The printing display moves with the layout but stays hidden until printing.
        const Row printing[] = {{"PrintShape", 295, 205},
                                {"Label5", 300, 210},
                                {"PrintingLabel", 318, 228},
                                {"PrintingProgressBar", 338, 248}};
        for (const Row& r : printing) {
            QTest::addRow("extracted %s", r.control) << true << r.control << r.extractedTop << false;
            QTest::addRow("compact %s", r.control) << false << r.control << r.compactTop << false;
        }
    }

    void layout() {
        QFETCH(bool, extracted);
        QFETCH(QString, control);
        QFETCH(int, top);
        QFETCH(bool, visible);
        // Start from the other layout, so that every control has to move.
        TRegIniFile(settings::kCompanyKey).WriteBool(settings::kSection, settings::kExtracted, !extracted);
        TMainForm form({QStringLiteral("pinleaf")});
        form.Extracted = extracted;
        form.CheckSliced();

        auto* widget = form.findChild<QWidget*>(control);
        QVERIFY(widget);
        QCOMPARE(widget->isVisibleTo(&form), visible);
        if (top >= 0) {
            QCOMPARE(widget->y(), top);
        }
        form.close();
    }

    void heights_data() {
        QTest::addColumn<bool>("sliced");
        QTest::addColumn<bool>("extracted");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("foldPicture");

        QTest::newRow("compact") << false << false << 395 << "DOWN";
        QTest::newRow("extracted") << false << true << 575 << "UP";
        QTest::newRow("sliced wins over compact") << true << false << 17 << "DOWN";
        QTest::newRow("sliced wins over extracted") << true << true << 17 << "UP";
    }

    void heights() {
        QFETCH(bool, sliced);
        QFETCH(bool, extracted);
        QFETCH(int, height);
        QFETCH(QString, foldPicture);
        TRegIniFile key(settings::kCompanyKey);
        key.WriteBool(settings::kSection, settings::kSliced, sliced);
        key.WriteBool(settings::kSection, settings::kExtracted, extracted);

        TMainForm form({QStringLiteral("pinleaf")});
        QCOMPARE(form.height(), height);
        QCOMPARE(form.width(), 207);
        QCOMPARE(form.MainShape->geometry(), QRect(0, 0, 207, height));
        QCOMPARE(form.UpDownImage->pictureName(), foldPicture);
        form.close();
    }

    void controlsOfOtherSubsystemsFollowTheLayout() {
        // The calendar and the web address button come with other parts of the window: the
        // layouts place them by name.
        TMainForm form({QStringLiteral("pinleaf")});
        QWidget* calendar = form.MonthCalendarPanel;
        calendar->move(8, 100);
        auto* goTo = new QWidget(&form);
        goTo->setObjectName(QStringLiteral("GoToButton"));
        goTo->setGeometry(150, 10, 49, 21);

        form.Extracted = true;
        form.CheckSliced();
        QVERIFY(calendar->isVisibleTo(&form) && goTo->isVisibleTo(&form));
        QCOMPARE(calendar->geometry(), QRect(8, 293, 191, 152));
        QCOMPARE(goTo->y(), 533);

        form.Extracted = false;
        form.CheckSliced();
        QVERIFY(!calendar->isVisibleTo(&form) && !goTo->isVisibleTo(&form));
        form.close();
    }

    // --- Title strip ---

    void titleDoubleClickSlices_data() {
        QTest::addColumn<bool>("extracted");
        QTest::newRow("compact") << false;
        QTest::newRow("extracted") << true;
    }

    void titleDoubleClickSlices() {
        QFETCH(bool, extracted);
        TRegIniFile(settings::kCompanyKey).WriteBool(settings::kSection, settings::kExtracted, extracted);
        TMainForm form({QStringLiteral("pinleaf")});
        QVERIFY(form.isVisible());
        const QPoint place = form.pos();

        QTest::mouseDClick(form.TitleImage, Qt::LeftButton, {}, QPoint(80, 5));
        QVERIFY(form.Sliced);
        QCOMPARE(form.height(), 17);
        QCOMPARE(form.MainShape->height(), 17);
        // A double-click is no drag.
        QCOMPARE(form.pos(), place);
        QVERIFY(!Dragging());

        QTest::mouseDClick(form.TitleImage, Qt::LeftButton, {}, QPoint(80, 5));
        QVERIFY(!form.Sliced);
        QCOMPARE(form.height(), extracted ? 575 : 395);
        QCOMPARE(form.UpDownImage->y(), extracted ? 565 : 385);
        form.close();
        QCOMPARE(RegistryStore(RegistryStore::currentUserFile())
                     .value(settings::kCompanyKey + QStringLiteral("\\Pinleaf"), settings::kSliced),
                 QStringLiteral("0"));
    }

    void activationChoosesTitlePicture() {
        TRegIniFile(settings::kCompanyKey).WriteBool(settings::kSection, settings::kShowing, false);
        TMainForm form({QStringLiteral("pinleaf")});
        QCOMPARE(form.TitleImage->pictureName(), QString());
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        QCOMPARE(form.TitleImage->pictureName(), QStringLiteral("ACTIVE"));
        QCOMPARE(form.TitleImage->pixmap().size(), QSize(160, 11));
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        QCOMPARE(form.TitleImage->pictureName(), QStringLiteral("INACTIVE"));
        QCOMPARE(form.TitleImage->pixmap().size(), QSize(160, 11));
        form.close();
    }

    // --- Fold button ---

    void foldButton_data() {
        QTest::addColumn<bool>("extracted");
        QTest::addColumn<bool>("releaseInside");

        QTest::newRow("click in compact") << false << true;
        QTest::newRow("click in extracted") << true << true;
        QTest::newRow("press, release outside") << false << false;
    }

    void foldButton() {
        QFETCH(bool, extracted);
        QFETCH(bool, releaseInside);
        TRegIniFile(settings::kCompanyKey).WriteBool(settings::kSection, settings::kExtracted, extracted);
        TMainForm form({QStringLiteral("pinleaf")});
        const QPoint start = form.UpDownImage->pos();
        QCOMPARE(start, QPoint(96, extracted ? 565 : 385));

        QTest::mousePress(form.UpDownImage, Qt::LeftButton, {}, QPoint(7, 4));
        QCOMPARE(form.UpDownImage->pos(), start + QPoint(1, 1));
        QTest::mouseRelease(form.UpDownImage, Qt::LeftButton, {}, releaseInside ? QPoint(7, 4) : QPoint(60, -40));

        const bool nowExtracted = releaseInside ? !extracted : extracted;
        QCOMPARE(form.Extracted, nowExtracted);
        QCOMPARE(form.height(), nowExtracted ? 575 : 395);
        QCOMPARE(form.UpDownImage->pos(), QPoint(96, nowExtracted ? 565 : 385));
        QCOMPARE(form.UpDownImage->pictureName(), nowExtracted ? QStringLiteral("UP") : QStringLiteral("DOWN"));
        QVERIFY(!form.UpDownClicked);
        form.close();
    }

    // --- Drag ---

    void snapping_data() {
        QTest::addColumn<QPoint>("place");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QPoint>("expected");
        // A 207 x 395 window on a 1024 x 768 screen.

        QTest::newRow("free in the middle") << QPoint(300, 200) << QPoint(-20, 15) << QPoint(280, 215);
        QTest::newRow("left edge would come to 7") << QPoint(20, 200) << QPoint(-13, 0) << QPoint(0, 200);
        QTest::newRow("left edge at 10 stays") << QPoint(20, 200) << QPoint(-10, 0) << QPoint(10, 200);
        QTest::newRow("past the left edge") << QPoint(5, 200) << QPoint(-50, 0) << QPoint(0, 200);
        QTest::newRow("right edge within 10") << QPoint(800, 200) << QPoint(10, 0) << QPoint(817, 200);
        QTest::newRow("right edge 10 away stays") << QPoint(800, 200) << QPoint(7, 0) << QPoint(807, 200);
        QTest::newRow("past the right edge") << QPoint(800, 200) << QPoint(90, 0) << QPoint(817, 200);
        QTest::newRow("top below 10") << QPoint(300, 12) << QPoint(0, -3) << QPoint(300, 0);
        QTest::newRow("bottom within 10") << QPoint(300, 360) << QPoint(0, 5) << QPoint(300, 373);
        QTest::newRow("corner") << QPoint(15, 15) << QPoint(-8, -8) << QPoint(0, 0);
    }

    void snapping() {
        QFETCH(QPoint, place);
        QFETCH(QPoint, delta);
        QFETCH(QPoint, expected);
        QCOMPARE(snappedPlace(place, delta, QSize(207, 395), QSize(1024, 768)), expected);
    }

    void titleDragMovesAndSnaps() {
        TMainForm form({QStringLiteral("pinleaf")});
        form.move(300, 200);
        // Press at (50, 5) inside the strip and move by (-20, +30): the window follows.
        QTest::mousePress(form.TitleImage, Qt::LeftButton, {}, QPoint(50, 5));
        QVERIFY(Dragging());
        QTest::mouseMove(form.TitleImage, QPoint(30, 35));
        QCOMPARE(form.pos(), QPoint(280, 230));
        // The mouse keeps its place in the strip; a move that would bring the left edge to 7
        // snaps it to the screen's edge.
        QTest::mouseMove(form.TitleImage, QPoint(50 - 273, 5));
        QCOMPARE(form.pos(), QPoint(0, 230));
        QTest::mouseRelease(form.TitleImage, Qt::LeftButton, {}, form.TitleImage->mapFromGlobal(QCursor::pos()));
        QVERIFY(!Dragging());

        // Moves without a drag do nothing; a press of the right button starts none.
        QTest::mousePress(form.TitleImage, Qt::RightButton, {}, QPoint(50, 5));
        QVERIFY(!Dragging());
        QTest::mouseRelease(form.TitleImage, Qt::RightButton, {}, QPoint(50, 5));
        form.close();
    }

    // --- System menu ---

    void systemMenuLooks_data() {
        QTest::addColumn<QString>("opening");
        QTest::addColumn<bool>("system");

        QTest::newRow("press on the system icon") << "system icon" << true;
        QTest::newRow("Alt+Space") << "Alt+Space" << true;
        QTest::newRow("right-click on the logo") << "logo" << false;
    }

    void systemMenuLooks() {
        QFETCH(QString, opening);
        QFETCH(bool, system);
        TMainForm form({QStringLiteral("pinleaf")});
        // Give it the other look first: each opening sets its own.
        form.SystemMenuMode = !system;
        form.PopupMenu1Popup();

        if (opening == QLatin1String("system icon")) {
            QTest::mousePress(form.SystemImage, Qt::LeftButton, {}, QPoint(7, 5));
            QTest::mouseRelease(form.SystemImage, Qt::LeftButton, {}, QPoint(7, 5));
            QVERIFY(form.Timer2->isActive());
            QCOMPARE(form.Timer2->interval(), 500);
            QVERIFY(!form.PopupMenu1->isVisible());
            form.Timer2Timer();
            QVERIFY(!form.Timer2->isActive());
        } else if (opening == QLatin1String("Alt+Space")) {
            // Where the menu fits on the (800 pixels wide) offscreen screen.
            form.move(300, 200);
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QTest::keyClick(&form, Qt::Key_Space, Qt::AltModifier);
            QCOMPARE(form.PopupMenu1->pos(), form.pos() + QPoint(3, 15));
        } else {
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20), form.LogoImage->mapToGlobal(QPoint(20, 20)));
            QCoreApplication::sendEvent(form.LogoImage, &event);
        }

        QVERIFY(form.PopupMenu1->isVisible());
        QVERIFY(!form.SystemMenuMode);
        QCOMPARE(form.Minimize1->isVisible(), system);
        QCOMPARE(form.N7->isVisible(), system);
        QCOMPARE(form.PopupMenu1->defaultAction(), system ? form.Exit1 : nullptr);
        QCOMPARE(form.Exit1->text(), system ? QStringLiteral("E&xit\tAlt+F4") : QStringLiteral("E&xit"));
        QCOMPARE(form.Exit1->icon().isNull(), !system);
        form.PopupMenu1->close();
        form.close();
    }

    void altSpaceWhileHiddenDoesNothing() {
        TMainForm form({QStringLiteral("pinleaf")});
        form.MinimizeBtnClick();
        form.SystemMenu1->trigger();
        QVERIFY(!form.PopupMenu1->isVisible());
        QVERIFY(!form.SystemMenuMode);
        form.close();
    }

    void systemIconDoubleClickExits() {
        TMainForm form({QStringLiteral("pinleaf")});
        QSignalSpy closed(&form, &TMainForm::closed);
        QTest::mouseDClick(form.SystemImage, Qt::LeftButton, {}, QPoint(7, 5));
        QCOMPARE(closed.count(), 1);
        QVERIFY(form.ExitSaved());
        QVERIFY(!form.Timer2->isActive());
    }

    // --- Minimise, always on top, default position ---

    void minimiseHides_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("button") << "button";
        QTest::newRow("menu") << "menu";
    }

    void minimiseHides() {
        QFETCH(QString, how);
        TMainForm form({QStringLiteral("pinleaf")});
        QVERIFY(form.isVisible());
        if (how == QLatin1String("button")) {
            QTest::mouseClick(form.MinimizeBtn, Qt::LeftButton);
        } else {
            form.Minimize1->trigger();
        }
        QVERIFY(!form.isVisible());
        QVERIFY(!form.isMinimized());
        form.close();
        QCOMPARE(RegistryStore(RegistryStore::currentUserFile())
                     .value(settings::kCompanyKey + QStringLiteral("\\Pinleaf"), settings::kShowing),
                 QStringLiteral("0"));
    }

    void alwaysOnTopToggles() {
        TMainForm form({QStringLiteral("pinleaf")});
        QVERIFY(!form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_W, Qt::ControlModifier);  // AlwaysonTop2
        QVERIFY(form.AlwaysonTop1->isChecked());
        QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(form.isVisible());
        form.AlwaysonTop1->trigger();  // the visible menu's item
        QVERIFY(!form.AlwaysonTop1->isChecked());
        QVERIFY(!form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        // Still a frameless tool window: no task-bar button.
        QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(form.windowType(), Qt::Tool);
        QVERIFY(form.isVisible());
        form.close();
    }

    void defaultPosition_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Ctrl+D") << "key";
        QTest::newRow("menu") << "menu";
    }

    void defaultPosition() {
        QFETCH(QString, how);
        TMainForm form({QStringLiteral("pinleaf")});
        form.move(100, 300);
        if (how == QLatin1String("key")) {
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QTest::keyClick(&form, Qt::Key_D, Qt::ControlModifier);
        } else {
            form.DefaultPosition1->trigger();
        }
        QCOMPARE(form.pos(), QPoint(807, 10));
        form.close();
    }

    // --- Help ---

    void help_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("present");
        QTest::newRow("F1") << "key" << true;
        QTest::newRow("menu") << "menu" << true;
        QTest::newRow("help page missing") << "key" << false;
    }

    void help() {
        QFETCH(QString, how);
        QFETCH(bool, present);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        TMainForm form({QStringLiteral("pinleaf")});
        QVERIFY(form.HelpFile.endsWith(QLatin1String("/Pinleaf.html")));
        form.HelpFile = QDir::current().absoluteFilePath(QStringLiteral("Pinleaf.html"));
        if (present) {
            QFile page(form.HelpFile);
            QVERIFY(page.open(QIODevice::WriteOnly));
        }
        if (how == QLatin1String("key")) {
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QTest::keyClick(&form, Qt::Key_F1);
        } else {
            form.Help1->trigger();
        }
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        if (present) {
            QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(form.HelpFile)});
            QVERIFY(errors_.isEmpty());
        } else {
            QVERIFY(catcher.urls.isEmpty());
            QCOMPARE(errors_, QStringList{QStringLiteral("Cannot find the help file \u2018/.../Pinleaf.html\u2019!")});
        }
        form.close();
    }

    void helpPageShipsWithTheProgram() {
        QFile page(QStringLiteral(PINLEAF_HELP_FILE));
        QVERIFY2(page.open(QIODevice::ReadOnly), PINLEAF_HELP_FILE);
        const QString html = QString::fromUtf8(page.readAll());
        // Written for users: every window and the commands of the menus.
        for (const char* topic : {"Open...", "Always on Top", "Default Position", "Alt+Space", "F1"}) {
            QVERIFY2(html.contains(QLatin1String(topic)), topic);
        }
    }

    // --- Skin ---

    void skinFontIsTahoma() {
        if (!QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"))) {
            QSKIP("fonts-wine is not installed");
        }
        TMainForm form({QStringLiteral("pinleaf")});
        QCOMPARE(QFontInfo(form.font()).family(), QStringLiteral("Tahoma"));
        QCOMPARE(form.font().pointSize(), 8);
        QCOMPARE(form.palette().color(QPalette::Window), QColor(255, 255, 225));
        form.close();
    }

private:
    test::FreshUser user_;
    QStringList errors_;
};

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
