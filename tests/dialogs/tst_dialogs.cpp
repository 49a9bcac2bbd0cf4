// The skinned confirmation and error dialogs: answers, keys on release, the pressed look of
// the image buttons, the title drag, the warning sound, and the default error report.

#include "Application.h"
#include "ConfirmU.h"
#include "ErrorReport.h"
#include "ErrorU.h"
#include "ModalHelpers.h"
#include "RecordingSound.h"
#include "Resources.h"
#include "Screen.h"
#include "Skin.h"

#include <QLabel>
#include <QTest>
#include <QWindow>

#include <stdexcept>

using namespace pinleaf;

namespace {

// The lowest row of the image that holds a dark pixel; -1 when there is none.
int lowestInkRow(const QImage& image) {
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                return y;
            }
        }
    }
    return -1;
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setScreenSizeForTesting(QSize(1024, 768)); }

    void cleanup() {
        EndWindowDrag();
        ConfirmForm = nullptr;
        ErrorForm = nullptr;
        setErrorHandler({});
    }

    // --- Confirmation ---

    void answers_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("confirmed");

        QTest::newRow("OK") << "OkImage" << true;
        QTest::newRow("Cancel") << "CancelImage" << false;
        QTest::newRow("close button") << "CloseBtn" << false;
        QTest::newRow("Enter") << "Return" << true;
        QTest::newRow("Enter of the keypad") << "Enter" << true;
        QTest::newRow("Esc") << "Escape" << false;
    }

    void answers() {
        QFETCH(QString, how);
        QFETCH(bool, confirmed);
        RecordingSound sound;
        TConfirmForm form;
        form.ConfirmText->setText(QStringLiteral("Delete the message?"));
        // An answer left from an earlier question must not leak into this one.
        form.Confirmed = !confirmed;
        whenShown(&form, [&] {
            if (how == QLatin1String("Return")) {
                QTest::keyClick(&form, Qt::Key_Return);
            } else if (how == QLatin1String("Enter")) {
                QTest::keyClick(&form, Qt::Key_Enter, Qt::KeypadModifier);
            } else if (how == QLatin1String("Escape")) {
                QTest::keyClick(&form, Qt::Key_Escape);
            } else {
                QTest::mouseClick(form.findChild<QWidget*>(how), Qt::LeftButton);
            }
        });
        form.ShowModal();
        QVERIFY(!form.isVisible());
        QCOMPARE(form.Confirmed, confirmed);
    }

    void confirmedAcrossShowings() {
        RecordingSound sound;
        TConfirmForm form;
        ConfirmForm = &form;
        whenShown(&form, [&] { QTest::keyClick(&form, Qt::Key_Return); });
        QVERIFY(Confirm(QStringLiteral("Unlock the message?")));
        whenShown(&form, [&] { QTest::keyClick(&form, Qt::Key_Escape); });
        QVERIFY(!Confirm(QStringLiteral("Unlock the message?")));
        QCOMPARE(form.ConfirmText->text(), QStringLiteral("Unlock the message?"));
        QCOMPARE(form.pos(), skin::centredPlace(form.size()));
    }

    // --- Keys, buttons and the title strip of both dialogs ---

    void keysActOnRelease_data() {
        QTest::addColumn<bool>("error");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("confirmed");

        QTest::newRow("confirmation, Enter") << false << int(Qt::Key_Return) << true;
        QTest::newRow("confirmation, Esc") << false << int(Qt::Key_Escape) << false;
        QTest::newRow("error, Enter") << true << int(Qt::Key_Return) << false;
        QTest::newRow("error, Esc") << true << int(Qt::Key_Escape) << false;
    }

    void keysActOnRelease() {
        QFETCH(bool, error);
        QFETCH(int, key);
        QFETCH(bool, confirmed);
        RecordingSound sound;
        TConfirmForm confirm;
        TErrorForm errorForm;
        QDialog* dialog = error ? static_cast<QDialog*>(&errorForm) : &confirm;

        bool openAfterStrayRelease = false;
        bool openAfterOtherKey = false;
        bool openAfterPress = false;
        whenShown(dialog, [&] {
            // The release of a key pressed before the dialog came up answers nothing.
            QTest::keyRelease(dialog, Qt::Key(key));
            openAfterStrayRelease = dialog->isVisible();
            QTest::keyClick(dialog, Qt::Key_Space);
            QTest::keyClick(dialog, Qt::Key_A);
            openAfterOtherKey = dialog->isVisible();
            QTest::keyPress(dialog, Qt::Key(key));
            openAfterPress = dialog->isVisible();
            QTest::keyRelease(dialog, Qt::Key(key));
        });
        if (error) {
            errorForm.ShowModal();
        } else {
            confirm.ShowModal();
        }
        QVERIFY(openAfterStrayRelease);
        QVERIFY(openAfterOtherKey);
        QVERIFY(openAfterPress);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(confirm.Confirmed, confirmed);
    }

    void pressedLook_data() {
        QTest::addColumn<bool>("error");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("releaseInside");

        QTest::newRow("confirmation OK") << false << "OkImage" << "OkLabel" << true;
        QTest::newRow("confirmation OK, released outside") << false << "OkImage" << "OkLabel" << false;
        QTest::newRow("confirmation Cancel") << false << "CancelImage" << "CancelLabel" << true;
        QTest::newRow("confirmation Cancel, released outside") << false << "CancelImage" << "CancelLabel" << false;
        QTest::newRow("error OK") << true << "OkImage" << "OkLabel" << true;
        QTest::newRow("error OK, released outside") << true << "OkImage" << "OkLabel" << false;
    }

    void pressedLook() {
        QFETCH(bool, error);
        QFETCH(QString, image);
        QFETCH(QString, label);
        QFETCH(bool, releaseInside);
        RecordingSound sound;
        TConfirmForm confirm;
        TErrorForm errorForm;
        QDialog* dialog = error ? static_cast<QDialog*>(&errorForm) : &confirm;
        auto* button = dialog->findChild<QWidget*>(image);
        auto* caption = dialog->findChild<QLabel*>(label);
        QVERIFY(button && caption);
        QCOMPARE(button->size(), QSize(98, 25));
        const QPoint buttonPlace = button->pos();
        const QPoint captionPlace = caption->pos();

        QPoint pressed;
        QPoint released;
        bool openAfterRelease = false;
        whenShown(dialog, [&] {
            QTest::mousePress(button, Qt::LeftButton, {}, QPoint(49, 12));
            pressed = caption->pos();
            QTest::mouseRelease(button, Qt::LeftButton, {}, releaseInside ? QPoint(49, 12) : QPoint(49, 60));
            released = caption->pos();
            openAfterRelease = dialog->isVisible();
            if (openAfterRelease) {
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        });
        if (error) {
            errorForm.ShowModal();
        } else {
            confirm.ShowModal();
        }
        QCOMPARE(pressed, captionPlace + QPoint(1, 1));
        QCOMPARE(released, captionPlace);
        QCOMPARE(button->pos(), buttonPlace);
        // Only a release over the button is a click.
        QCOMPARE(openAfterRelease, !releaseInside);
        QCOMPARE(confirm.Confirmed, !error && releaseInside && image == QLatin1String("OkImage"));
    }

    void titleDragMovesFreely_data() {
        QTest::addColumn<bool>("error");
        QTest::newRow("confirmation") << false;
        QTest::newRow("error") << true;
    }

    void titleDragMovesFreely() {
        QFETCH(bool, error);
        RecordingSound sound;
        TConfirmForm confirm;
        TErrorForm errorForm;
        QDialog* dialog = error ? static_cast<QDialog*>(&errorForm) : &confirm;
        auto* title = dialog->findChild<TImage*>(QStringLiteral("TitleImage"));
        QCOMPARE(title->geometry(), QRect(2, 2, 288, 9));
        dialog->move(skin::centredPlace(dialog->size()));
        dialog->show();
        const QPoint start = dialog->pos();

        // Dragged past the left and top edges of the screen: no snapping for a dialog.
        QTest::mousePress(title, Qt::LeftButton, {}, QPoint(20, 4));
        QTest::mouseMove(title, QPoint(20 - start.x() - 50, 4 - start.y() - 5));
        QCOMPARE(dialog->pos(), QPoint(-50, -5));
        QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(20, 4));
        QVERIFY(!Dragging());
        // Other buttons start no drag.
        QTest::mousePress(title, Qt::RightButton, {}, QPoint(20, 4));
        QVERIFY(!Dragging());
        QTest::mouseRelease(title, Qt::RightButton, {}, QPoint(20, 4));
        dialog->hide();
    }

    // --- Text and icons ---

    void carriageReturnBreaksLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("twoLines");

        QTest::newRow("one line") << "Delete it?" << false;
        QTest::newRow("carriage return") << "Delete\rit?" << true;
        QTest::newRow("CR LF") << "Delete\r\nit?" << true;
        QTest::newRow("markup stays text") << "<br>Delete it?" << false;
    }

    void carriageReturnBreaksLines() {
        QFETCH(QString, text);
        QFETCH(bool, twoLines);
        TConfirmForm form;
        form.ConfirmText->setText(text);
        QCOMPARE(form.ConfirmText->text(), text);
        const int lineHeight = form.ConfirmText->fontMetrics().height();
        const int lowest = lowestInkRow(form.ConfirmText->grab().toImage());
        QVERIFY(lowest >= 0);
        QCOMPARE(lowest >= lineHeight, twoLines);
    }

    void errorIconComesBack() {
        TErrorForm form;
        const QImage errorIcon = LoadBitmap(QStringLiteral("ERROR")).toImage();
        QVERIFY(!errorIcon.isNull());
        QCOMPARE(form.ErrorImage->pixmap().toImage(), errorIcon);
        form.ErrorImage->setPixmap(LoadBitmap(QStringLiteral("WARNING")));
        form.RestoreErrorIcon();
        QCOMPARE(form.ErrorImage->pixmap().toImage(), errorIcon);
        TConfirmForm confirm;
        QCOMPARE(confirm.WarningImage->pixmap().toImage(), LoadBitmap(QStringLiteral("WARNING")).toImage());
    }

    // --- Sound ---

    void warningSound_data() {
        QTest::addColumn<bool>("error");
        QTest::addColumn<QString>("played");

        QTest::newRow("confirmation: without waiting") << false << "play dialog-warning";
        QTest::newRow("error: waits, two seconds at most") << true << "wait dialog-warning 2000";
    }

    void warningSound() {
        QFETCH(bool, error);
        QFETCH(QString, played);
        RecordingSound sound;
        TConfirmForm confirm;
        TErrorForm errorForm;
        QDialog* dialog = error ? static_cast<QDialog*>(&errorForm) : &confirm;
        bool onScreenWhilePlaying = true;
        sound.onPlay = [&] { onScreenWhilePlaying = dialog->windowHandle() && dialog->windowHandle()->isVisible(); };

        for (int showing = 0; showing < 2; ++showing) {
            whenShown(dialog, [&] { QTest::keyClick(dialog, Qt::Key_Escape); });
            if (error) {
                errorForm.ShowModal();
            } else {
                confirm.ShowModal();
            }
        }
        // Every showing sounds, before the window is on the screen.
        QCOMPARE(sound.played, QStringList({played, played}));
        QVERIFY(!onScreenWhilePlaying);
    }

    // --- The default error report ---

    void uncaughtErrorIsShownAndTheProgramGoesOn() {
        RecordingSound sound;
        TErrorForm form;
        ErrorForm = &form;
        setErrorHandler(ShowErrorDialog);

        QString shown;
        QString shownAfterSecond;
        whenShown(&form, [&] {
            shown = form.ErrorText->text();
            // A second error while the first is on the screen does not replace it.
            ShowErrorDialog(QStringLiteral("Another error."));
            shownAfterSecond = form.ErrorText->text();
            QTest::keyClick(&form, Qt::Key_Return);
        });
        QTimer::singleShot(0, [] { throw std::runtime_error("The disk is full."); });
        QTRY_COMPARE(shown, QStringLiteral("The disk is full."));
        QCOMPARE(shownAfterSecond, shown);
        QVERIFY(!form.isVisible());

        bool goesOn = false;
        QTimer::singleShot(0, [&] { goesOn = true; });
        QTRY_VERIFY(goesOn);
    }
};

int main(int argc, char** argv) {
    // The program's own application object: it reports what a handler lets escape.
    TApplication app(argc, argv);
    TestDialogs test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs.moc"
