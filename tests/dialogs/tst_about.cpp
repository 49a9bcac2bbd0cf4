// The about box: folding out and back, its keys, its links, the moving logo, and one box at a
// time from either menu.

#include "AboutU.h"
#include "Animate.h"
#include "MainU.h"
#include "Resources.h"
#include "Screen.h"
#include "Skin.h"
#include "TrayIcon.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QEnterEvent>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace pinleaf;

namespace {

// What folding changes, as a user would see it.
struct Look {
    QSize size;
    QSize outline;
    QPoint topLeft;
    QPoint ok;
    QRect okCaption;  // on the button
    QImage picture;
    bool credits;

    bool operator==(const Look&) const = default;
};

Look lookOf(TAboutBox& box) {
    return {box.size(),
            box.MainShape->size(),
            box.pos(),
            box.OkImage->pos(),
            box.OkLabel->geometry(),
            box.UpDownImage->pixmap().toImage(),
            box.Label4->isVisible()};
}

QImage picture(const QString& name) { return LoadBitmap(name).toImage(); }

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

// Records the addresses the box asks the desktop to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        setScreenSizeForTesting(QSize(1024, 768));
        for (const char* scheme : {"file", "http", "https"}) {
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &urls_, "open");
        }
    }

    void cleanupTestCase() {
        for (const char* scheme : {"file", "http", "https"}) {
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
        }
    }

    void init() {
        urls_.opened.clear();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QDir(dir_->path()).mkpath(QStringLiteral("config"));
        QDir(dir_->path()).mkpath(QStringLiteral("work"));
        qputenv("XDG_CONFIG_HOME", dir_->filePath(QStringLiteral("config")).toUtf8());
        QVERIFY(QDir::setCurrent(dir_->filePath(QStringLiteral("work"))));
    }

    void cleanup() { flushDeletes(); }

    void firstLook() {
        QPointer<TAboutBox> box = new TAboutBox;
        box->show();
        QCOMPARE(box->size(), QSize(405, 180));
        // Centred on the screen.
        QCOMPARE(box->pos(), QPoint((1024 - 405) / 2, (768 - 180) / 2));
        QVERIFY(box->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(box->LinkLabel1->text(), QStringLiteral("Pinleaf"));
        QCOMPARE(box->LinkLabel2->text(), QStringLiteral("Corvane Software\u2122"));
        QVERIFY(box->Label2->text().contains(box->LinkLabel2->text()));
        QCOMPARE(box->Label1->text(), QStringLiteral("Version 3.1"));
        QCOMPARE(box->Label4->text(), QStringLiteral("Special thanks to:"));
        QVERIFY(!box->Label4->isVisible());
        QCOMPARE(box->UpDownImage->pixmap().toImage(), picture(QStringLiteral("DOWN")));
        // The maker's link lies over the maker's name in its line.
        QVERIFY(box->Label2->geometry().contains(box->LinkLabel2->geometry()));
        box->close();
    }

    // Every line stays inside its frame, and the frames inside the box.
    void linesFitTheirFrames() {
        QPointer<TAboutBox> box = new TAboutBox;
        box->UpDownImageClick();
        box->show();
        const QRect info = box->InfoShape->geometry();
        for (QWidget* w : QList<QWidget*>{box->LinkLabel1, box->Label1, box->Label2,
                                          box->LinkLabel2, box->Label3}) {
            QVERIFY2(info.contains(w->geometry()), qPrintable(w->objectName()));
        }
        const QRect credits = box->Shape1->geometry();
        for (QWidget* w : QList<QWidget*>{box->Label4, box->Label5, box->Image1, box->Label6,
                                          box->Label7, box->Label8, box->Label9, box->Label10,
                                          box->Shape2}) {
            QVERIFY2(credits.contains(w->geometry()), qPrintable(w->objectName()));
        }
        const QRect all = box->rect();
        for (QWidget* w : QList<QWidget*>{box->TitleImage, box->CloseBtn, box->LogoAnimate,
                                          box->InfoShape, box->Shape1, box->OkImage,
                                          box->UpDownImage}) {
            QVERIFY2(all.contains(w->geometry()), qPrintable(w->objectName()));
        }
        QVERIFY(!box->OkImage->geometry().intersects(credits));
        box->close();
    }

    void foldTwiceBackToFirstState() {
        QPointer<TAboutBox> box = new TAboutBox;
        box->show();
        const Look folded = lookOf(*box);
        QCOMPARE(folded.outline, QSize(405, 180));
        QCOMPARE(folded.ok, QPoint(180, 140));
        QCOMPARE(folded.picture, picture(QStringLiteral("DOWN")));
        const Look unfolded{QSize(405, 263),   QSize(405, 263), folded.topLeft,
                            QPoint(292, 184),  folded.okCaption, picture(QStringLiteral("UP")),
                            true};
        for (int round = 0; round < 2; ++round) {
            QTest::mouseClick(box->UpDownImage, Qt::LeftButton);
            QVERIFY(lookOf(*box) == unfolded);
            QVERIFY(box->Unfolded());
            QVERIFY(box->Label10->isVisible() && box->Image1->isVisible() &&
                    box->Shape2->isVisible());
            QTest::mouseClick(box->UpDownImage, Qt::LeftButton);
            QVERIFY(lookOf(*box) == folded);
            QVERIFY(!box->Label10->isVisible() && !box->Shape2->isVisible());
        }
        box->close();
    }

    void keys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
        QTest::newRow("Enter of the keypad") << int(Qt::Key_Enter) << true;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << true;
        QTest::newRow("Space") << int(Qt::Key_Space) << false;
        QTest::newRow("a letter") << int(Qt::Key_A) << false;
    }

    void keys() {
        QFETCH(int, key);
        QFETCH(bool, closes);
        QPointer<TAboutBox> box = new TAboutBox;
        box->show();
        QTest::keyPress(box, Qt::Key(key));
        QVERIFY2(box->isVisible(), "keys act when released");
        QTest::keyRelease(box, Qt::Key(key));
        QCOMPARE(box->isVisible(), !closes);
        flushDeletes();
        // A closed box is gone.
        QCOMPARE(box.isNull(), closes);
        if (box) {
            box->close();
        }
    }

    void buttonsClose_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("OK") << "OkImage";
        QTest::newRow("close button") << "CloseBtn";
    }

    void buttonsClose() {
        QFETCH(QString, button);
        QPointer<TAboutBox> box = new TAboutBox;
        box->show();
        auto* target = box->findChild<TImage*>(button);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton);
        flushDeletes();
        QVERIFY(box.isNull());
        QVERIFY(urls_.opened.isEmpty());
    }

    void okPressedLook() {
        QPointer<TAboutBox> box = new TAboutBox;
        box->show();
        const QPoint rest = box->OkLabel->pos();
        QTest::mousePress(box->OkImage, Qt::LeftButton);
        QCOMPARE(box->OkLabel->pos(), rest + QPoint(1, 1));
        // Released away from the button: the caption goes back and the box stays.
        QTest::mouseRelease(box->OkImage, Qt::LeftButton, {}, QPoint(-30, -30));
        QCOMPARE(box->OkLabel->pos(), rest);
        QVERIFY(box->isVisible());
        box->close();
    }

    void titleDragsTheBox() {
        QPointer<TAboutBox> box = new TAboutBox;
        box->show();
        const QPoint start = box->pos();
        QTest::mousePress(box->TitleImage, Qt::LeftButton, {}, QPoint(10, 4));
        QTest::mouseMove(box->TitleImage, QPoint(60, 24));
        QTest::mouseRelease(box->TitleImage, Qt::LeftButton, {}, QPoint(60, 24));
        QCOMPARE(box->pos(), start + QPoint(50, 20));
        box->close();
    }

    void links_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("unfold");
        QTest::addColumn<QUrl>("address");
        QTest::newRow("Pinleaf") << "LinkLabel1" << false << about::homePage();
        QTest::newRow("Corvane Software") << "LinkLabel2" << false << about::makerPage();
        QTest::newRow("first credit line") << "Shape2" << true << QUrl(about::kContributorPage);
    }

    void links() {
        QFETCH(QString, link);
        QFETCH(bool, unfold);
        QFETCH(QUrl, address);
        QPointer<TAboutBox> box = new TAboutBox;
        box->show();
        if (unfold) {
            box->UpDownImageClick();
        }
        auto* target = box->findChild<QWidget*>(link);
        QVERIFY(target && target->isVisible());
        QTest::mouseClick(target, Qt::LeftButton);
        QCOMPARE(urls_.opened, QList<QUrl>{address});
        QVERIFY(box.isNull() || !box->isVisible());
    }

    void linkLooks_data() {
        QTest::addColumn<QString>("link");
        QTest::newRow("Pinleaf") << "LinkLabel1";
        QTest::newRow("Corvane Software") << "LinkLabel2";
    }

    void linkLooks() {
        QFETCH(QString, link);
        QPointer<TAboutBox> box = new TAboutBox;
        box->show();
        auto* label = box->findChild<QLabel*>(link);
        QVERIFY(label);
        auto colour = [label] { return label->palette().color(QPalette::WindowText); };
        QCOMPARE(colour(), QColor(Qt::blue));
        QVERIFY(!label->font().underline());

        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)));
        QCoreApplication::sendEvent(label, &enter);
        QVERIFY(label->font().underline());
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(label, &leave);
        QVERIFY(!label->font().underline());

        QTest::mousePress(label, Qt::LeftButton);
        QCOMPARE(colour(), QColor(Qt::red));
        // Released away from the link: blue again, and no click.
        QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(-20, -20));
        QCOMPARE(colour(), QColor(Qt::blue));
        QVERIFY(urls_.opened.isEmpty());
        QVERIFY(box->isVisible());
        box->close();
    }

    void logoPlaysWithoutEnd() {
        QPointer<TAboutBox> box = new TAboutBox;
        TAnimate* logo = box->LogoAnimate;
        QCOMPARE(logo->size(), QSize(48, 48));
        QVERIFY(logo->Active());
        const int count = logo->FrameCount();
        QVERIFY(count > 1);
        QCOMPARE(logo->CurrentPicture().size(), QSize(48, 48));
        QCOMPARE(logo->CurrentFrame(), 0);
        QList<QImage> seen{logo->CurrentPicture().toImage()};
        for (int i = 1; i <= count; ++i) {
            logo->NextFrame();
            QCOMPARE(logo->CurrentFrame(), i % count);
            seen << logo->CurrentPicture().toImage();
        }
        // It moves, and after the last picture the first comes again.
        QVERIFY(seen.at(1) != seen.at(0));
        QCOMPARE(seen.last(), seen.first());
        box->close();
    }

    void oneBoxAtATime() {
        tray::setSystemTrayAvailableForTesting(true);
        TMainForm form({QStringLiteral("pinleaf")});
        QPointer<TAboutBox> first;
        QPointer<TAboutBox> afterSecondRequest;
        int boxesOpen = 0;
        bool wasActive = false;
        bool otherActive = false;
        bool activeAgain = false;
        // Runs while the first box shows: unfold it, let another window take the focus, ask
        // for the box again from the other menu, then close it. Failures are looked at after
        // the box has closed, so that a failure cannot leave it open.
        QTimer::singleShot(0, &form, [&] {
            first = form.AboutBox;
            if (!first) {
                return;
            }
            wasActive = QTest::qWaitForWindowActive(first);
            first->UpDownImageClick();
            auto* other = new QWidget(nullptr, Qt::Tool);
            other->show();
            other->activateWindow();
            otherActive = QTest::qWaitForWindowActive(other);
            form.About1->trigger();
            afterSecondRequest = form.AboutBox;
            boxesOpen = form.findChildren<TAboutBox*>().size();
            activeAgain = QTest::qWaitForWindowActive(first);
            delete other;
            first->CloseBtnClick();
        });
        form.About2->trigger();  // from the notification-area menu
        QVERIFY(wasActive);
        QCOMPARE(boxesOpen, 1);
        QCOMPARE(afterSecondRequest, first);
        QVERIFY(otherActive);
        QVERIFY(activeAgain);
        flushDeletes();
        QVERIFY(form.AboutBox.isNull());
        QVERIFY(first.isNull());

        // The next box is a new one, folded again.
        bool folded = false;
        QTimer::singleShot(0, &form, [&] {
            if (form.AboutBox) {
                folded = !form.AboutBox->Unfolded() && form.AboutBox->height() == 180;
                form.AboutBox->CloseBtnClick();
            }
        });
        form.About1->trigger();
        QVERIFY(folded);
        form.close();
        tray::setSystemTrayAvailableForTesting(std::nullopt);
    }

private:
    UrlRecorder urls_;
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
