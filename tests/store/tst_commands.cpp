// The main window driven as a user drives it: typing into an empty view, the calendar, the
// message commands from the keys and the menus, the edit menu of the message box, and which
// keys go to the window and which to the field that has the focus.

#include "FreshUser.h"
#include "ConfirmU.h"
#include "DataFile.h"
#include "ErrorReport.h"
#include "ErrorU.h"
#include "MainU.h"
#include "Skin.h"
#include "Clock.h"
#include "Screen.h"
#include "Settings.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCalendarWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace pinleaf;

namespace {

const QDate kToday(2026, 5, 20);
const QDateTime kNow(kToday, QTime(14, 30, 15, 500));
const QString kStampNow = QStringLiteral("14:30:14");

Record message(int number, const QString& title, bool locked = false,
               QDate date = QDate(2026, 5, 1)) {
    return Record{number, title, QStringLiteral("text %1").arg(number), date,
                  QStringLiteral("10:00:00"), QStringLiteral("http://"), locked, false};
}

std::vector<Record> messages(const QList<int>& numbers) {
    std::vector<Record> records;
    for (int n : numbers) {
        records.push_back(message(n, QStringLiteral("title %1").arg(n)));
    }
    return records;
}

QString hidingFilter(const QList<int>& numbers) {
    QStringList terms;
    for (int n : numbers) {
        terms << QStringLiteral("(NUMBER <> %1)").arg(n);
    }
    return terms.join(QStringLiteral(" AND "));
}

// The confirmation dialog, answering each question as the test has queued it (no when none is
// queued) as soon as it shows.
class AnsweringConfirmForm : public TConfirmForm {
public:
    QStringList asked;
    QList<bool> answers;
    // Runs while the question is on screen, before it is answered.
    std::function<void()> whileAsking;

    void FormShow() override {
        TConfirmForm::FormShow();
        asked << ConfirmText->text();
        const bool yes = !answers.isEmpty() && answers.takeFirst();
        QTimer::singleShot(0, this, [this, yes] {
            if (whileAsking) {
                whileAsking();
            }
            if (yes) {
                OkImageClick();
            } else {
                CloseBtnClick();
            }
        });
    }
};

class DismissingErrorForm : public TErrorForm {
public:
    QStringList shown;

    void FormShow() override {
        TErrorForm::FormShow();
        shown << ErrorText->text();
        QTimer::singleShot(0, this, [this] { CloseBtnClick(); });
    }
};

}  // namespace

class TestCommands : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        setScreenSizeForTesting(QSize(1024, 768));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void init() {
        // A new user for every test: fresh settings and current folder.
        QVERIFY(user_.start());
        errors_.clear();
        setErrorHandler([this](const QString& text) { errors_ << text; });
        setNowForTesting(kNow);
        confirm_ = new AnsweringConfirmForm;
        ConfirmForm = confirm_;
        error_ = new DismissingErrorForm;
        ErrorForm = error_;
        QGuiApplication::clipboard()->clear();
    }

    void cleanup() {
        form_.reset();
        delete confirm_;
        delete error_;
        ConfirmForm = nullptr;
        ErrorForm = nullptr;
        setNowForTesting(QDateTime());
        setErrorHandler({});
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('\n'))));
    }

    // --- Numbers of new messages ---

    void numbering_data() {
        QTest::addColumn<QList<int>>("view");
        QTest::addColumn<QList<int>>("undocked");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("number");

        QTest::newRow("typing, empty table") << QList<int>{} << QList<int>{} << "type" << 1;
        QTest::newRow("typing, 1 2 4 undocked") << QList<int>{} << QList<int>{1, 2, 4} << "type" << 3;
        QList<int> all;
        for (int n = 1; n <= 255; ++n) {
            all << n;
        }
        QTest::newRow("typing, 1 to 255 undocked") << QList<int>{} << all << "type" << 256;
        QTest::newRow("calendar, 1 undocked") << QList<int>{} << QList<int>{1} << "calendar" << 2;
        QTest::newRow("insert, empty table") << QList<int>{} << QList<int>{} << "insert" << 1;
        QTest::newRow("insert, 1 2 3 shown, 5 undocked") << QList<int>{3, 1, 2} << QList<int>{5} << "insert" << 4;
        QTest::newRow("insert, 4 shown, 5 6 undocked") << QList<int>{4} << QList<int>{5, 6} << "insert" << 7;
        QTest::newRow("insert, gaps below are not reused") << QList<int>{1, 9} << QList<int>{} << "insert" << 10;
        QTest::newRow("insert, 254 shown, 255 undocked") << QList<int>{254} << QList<int>{255} << "insert" << 256;
        QTest::newRow("insert, all undocked") << QList<int>{} << QList<int>{1, 2} << "insert" << 3;
    }

    void numbering() {
        QFETCH(QList<int>, view);
        QFETCH(QList<int>, undocked);
        QFETCH(QString, how);
        QFETCH(int, number);
        start(messages(view + undocked), /*extracted=*/how == QLatin1String("calendar"));
        for (int n : undocked) {
            form_->UndockedNumbers.insert(n);
        }
        form_->ClientDataSet1->SetFilter(hidingFilter(undocked));
        const int before = form_->ClientDataSet1->RecordCount();

        if (how == QLatin1String("type")) {
            form_->TitleEdit->setFocus();
            QTest::keyClick(form_->TitleEdit, Qt::Key_N);
        } else if (how == QLatin1String("calendar")) {
            clickDay(15);
        } else {
            form_->MessageMemo->setFocus();
            QTest::keyClick(form_->MessageMemo, Qt::Key_Insert, Qt::ControlModifier);
        }
        QCOMPARE(form_->ClientDataSet1->RecordCount(), before + 1);
        QCOMPARE(form_->NumberText->text(), QString::number(number));
    }

    void blankRecordAmongMessagesTakesAnUnusedNumber_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("title") << "TitleEdit" << "x" << "note";
        QTest::newRow("message box, caret at the end") << "MessageMemo" << "" << "notex";
    }

    void blankRecordAmongMessagesTakesAnUnusedNumber() {
        // An exit with an empty table leaves a blank record (here with a text); messages
        // inserted later sit beside it. Typing into it must not give it a number that a
        // message already has, and the key lands where the caret stood.
        QFETCH(QString, field);
        Record blank(MessageFieldCount);
        blank[MESSAGE] = QStringLiteral("note");
        start({blank, message(1, QStringLiteral("one")), message(2, QStringLiteral("two"))});
        form_->First1Click();
        QVERIFY(form_->MessageIsBlank());
        auto* widget = form_->findChild<QWidget*>(field);
        widget->setFocus();
        form_->MessageMemo->moveCursor(QTextCursor::End);
        QTest::keyClick(widget, Qt::Key_X);
        QCOMPARE(form_->NumberText->text(), QStringLiteral("3"));
        QTEST(form_->TitleEdit->text(), "title");
        QTEST(form_->MessageMemo->toPlainText(), "text");
        QCOMPARE(form_->ClientDataSet1->RecordCount(), 3);
        form_->ClientDataSet1->Post();
        QCOMPARE(numbersInView(), (QList<int>{1, 2, 3}));
    }

    void insertAtTheNumberLimit() {
        start(messages({5, 32767}));
        QTest::keyClick(form_.get(), Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(error_->shown,
                 QStringList{"No message number is free: the highest number, 32767, is in use."});
        QCOMPARE(numbersInView(), (QList<int>{5, 32767}));
        QCOMPARE(form_->ClientDataSet1->IndexName(), QStringLiteral("NumberAs"));
    }

    void insertKeepsTitleDescendingOrder() {
        TRegIniFile key(settings::kCompanyKey);
        key.WriteInteger(settings::kSection, settings::kSortOn, 1);
        key.WriteBool(settings::kSection, settings::kAscending, false);
        start({message(1, "B"), message(2, "C"), message(3, "A")});
        QCOMPARE(form_->NumberText->text(), QStringLiteral("1"));

        form_->Insert1->trigger();
        QCOMPARE(form_->NumberText->text(), QStringLiteral("4"));
        QCOMPARE(form_->TitleEdit->text(), QString());
        QCOMPARE(form_->TimeEdit->text(), kStampNow);
        QCOMPARE(form_->ClientDataSet1->FieldByName("URL").AsString(), QStringLiteral("http://"));
        QCOMPARE(form_->ClientDataSet1->FieldByName("DATE").AsDate(), kToday);
        QCOMPARE(form_->ClientDataSet1->IndexName(), QStringLiteral("TitleDe"));
        // Empty titles come last in descending order.
        QCOMPARE(numbersInView(), (QList<int>{2, 1, 3, 4}));
    }

    // --- Messages made by typing ---

    void typingMakesMessage_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QTime>("clock");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("url");

        const QTime now = kNow.time();
        QTest::newRow("title") << "TitleEdit" << "Hi" << now << "Hi" << "" << kStampNow << "http://";
        QTest::newRow("title just after midnight")
            << "TitleEdit" << "a" << QTime(0, 0, 0, 300) << "a" << "" << "00:00:00" << "http://";
        QTest::newRow("message box") << "MessageMemo" << "m" << now << "" << "m" << kStampNow << "http://";
        QTest::newRow("time") << "TimeEdit" << "09" << now << "" << "" << "09:  :  " << "http://";
        QTest::newRow("web address") << "UrlEdit" << "w" << now << "" << "" << kStampNow << "w";
        QTest::newRow("space into web address") << "UrlEdit" << " " << now << "" << "" << kStampNow << "";
        QTest::newRow("web address never takes a space")
            << "UrlEdit" << "a b" << now << "" << "" << kStampNow << "ab";
        QTest::newRow("paste into message box")
            << "MessageMemo" << "\x16" << now << "" << "pasted" << kStampNow << "http://";
        // The field's own right-click Paste: no key press comes first.
        QTest::newRow("title field's own Paste")
            << "TitleEdit" << "\x01" << now << "pasted" << "" << kStampNow << "http://";
    }

    void typingMakesMessage() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QTime, clock);
        setNowForTesting(QDateTime(kToday, clock));
        start({}, /*extracted=*/true);
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        auto* widget = form_->findChild<QWidget*>(field);
        QVERIFY(widget && widget->isVisible());
        widget->setFocus();
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            line->setCursorPosition(0);
        }
        if (typed == QLatin1String("\x16")) {
            QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
        } else if (typed == QLatin1String("\x01")) {
            qobject_cast<QLineEdit*>(widget)->paste();
        } else {
            QTest::keyClicks(widget, typed);
        }

        TClientDataSet& table = *form_->ClientDataSet1;
        QCOMPARE(table.RecordCount(), 1);
        QCOMPARE(table.FieldByName("NUMBER").AsInteger(), 1);
        QCOMPARE(table.FieldByName("DATE").AsDate(), kToday);
        QTEST(table.FieldByName("TITLE").AsString(), "title");
        QTEST(table.FieldByName("MESSAGE").AsString(), "text");
        QTEST(table.FieldByName("TIME").AsString(), "time");
        QTEST(table.FieldByName("URL").AsString(), "url");
        QVERIFY(!table.FieldByName("LOCKED").AsBoolean());
        QVERIFY(!table.FieldByName("FINISHED").AsBoolean());
    }

    void typedMessageReachesDataFile() {
        start({});
        form_->TitleEdit->setFocus();
        QTest::keyClicks(form_->TitleEdit, QStringLiteral("First"));
        form_->close();
        const auto records = datafile::read(QStringLiteral("Pinleaf.cds"));
        QCOMPARE(records.size(), std::size_t(1));
        QCOMPARE(std::get<int>(records[0][NUMBER]), 1);
        QCOMPARE(std::get<QString>(records[0][TITLE]), QStringLiteral("First"));
        QCOMPARE(std::get<QString>(records[0][TIME]), kStampNow);
    }

    // --- The calendar ---

    void calendar_data() {
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QString>("click");  // a day number, or "next month"
        QTest::addColumn<int>("count");
        QTest::addColumn<QDate>("date");

        QTest::newRow("other day") << false << "15" << 1 << QDate(2026, 5, 15);
        QTest::newRow("today") << false << "20" << 1 << QDate(2026, 5, 1);
        QTest::newRow("month arrow") << false << "next month" << 1 << QDate(2026, 5, 1);
        QTest::newRow("other day, empty view") << true << "15" << 1 << QDate(2026, 5, 15);
        QTest::newRow("today, empty view") << true << "20" << 0 << QDate();
    }

    void calendar() {
        QFETCH(bool, empty);
        QFETCH(QString, click);
        start(empty ? std::vector<Record>{} : std::vector<Record>{message(1, "one")}, true);
        QVERIFY(form_->MonthCalendarPanel->isVisible());
        // Clicking today's day only works when the page shows today.
        form_->MonthCalendar1->setSelectedDate(kToday);
        if (click == QLatin1String("next month")) {
            auto* arrow = form_->MonthCalendar1->findChild<QToolButton*>("qt_calendar_nextmonth");
            QVERIFY(arrow);
            QTest::mouseClick(arrow, Qt::LeftButton);
        } else {
            clickDay(click.toInt());
        }
        TClientDataSet& table = *form_->ClientDataSet1;
        QTEST(table.RecordCount(), "count");
        QCOMPARE(table.State(), DataSetState::Browse);
        if (table.RecordCount() > 0) {
            QTEST(table.FieldByName("DATE").AsDate(), "date");
            QCOMPARE(table.FieldByName("NUMBER").AsInteger(), 1);
            QVERIFY(!table.FieldByName("TIME").AsString().isEmpty());
        }
    }

    void calendarFollowsCurrentMessage() {
        start({message(1, "one", false, QDate(2026, 1, 2)), message(2, "two", false, QDate(2026, 3, 4))},
              true);
        QCOMPARE(form_->MonthCalendar1->selectedDate(), QDate(2026, 1, 2));
        QTest::keyClick(form_.get(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(form_->MonthCalendar1->selectedDate(), QDate(2026, 3, 4));
        // The window's date line keeps the long form.
        QCOMPARE(form_->DateText->text(), QStringLiteral("Wednesday, March 4, 2026"));
    }

    // --- Moving through the view ---

    void navigation_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("to");

        QTest::newRow("first") << 3 << "Ctrl+Home" << 1;
        QTest::newRow("last") << 1 << "Ctrl+End" << 4;
        QTest::newRow("next") << 2 << "Ctrl+PgDown" << 3;
        QTest::newRow("prior") << 2 << "Ctrl+PgUp" << 1;
        QTest::newRow("next on the last stays") << 4 << "Ctrl+PgDown" << 4;
        QTest::newRow("prior on the first stays") << 1 << "Ctrl+PgUp" << 1;
        QTest::newRow("next picture") << 2 << "PageTurnNextImage" << 3;
        QTest::newRow("prior picture") << 2 << "PageTurnPrevImage" << 1;
        QTest::newRow("next menu entry") << 2 << "Next1" << 3;
        QTest::newRow("last menu entry") << 2 << "Last1" << 4;
    }

    void navigation() {
        QFETCH(int, from);
        QFETCH(QString, how);
        start(messages({1, 2, 3, 4}));
        QVERIFY(form_->ClientDataSet1->FindKey(from));
        if (how.startsWith(QLatin1String("Ctrl+"))) {
            form_->TitleEdit->setFocus();
            QTest::keySequence(form_->TitleEdit, QKeySequence(how));
        } else if (auto* image = form_->findChild<QLabel*>(how)) {
            QVERIFY(image->isVisible());
            QCOMPARE(image->size(), QSize(16, 16));
            QCOMPARE(image->cursor().shape(), Qt::PointingHandCursor);
            QCOMPARE(image->toolTip(),
                     how.contains(QLatin1String("Next")) ? QStringLiteral("Next message")
                                                         : QStringLiteral("Prior message"));
            QTest::mouseClick(image, Qt::LeftButton);
        } else {
            form_->findChild<QAction*>(how)->trigger();
        }
        QTEST(form_->NumberText->text().toInt(), "to");
    }

    void pageTurnPicturesFollowLayout_data() {
        QTest::addColumn<bool>("extracted");
        QTest::addColumn<int>("top");
        QTest::newRow("compact") << false << 378;
        QTest::newRow("extracted") << true << 558;
    }

    void pageTurnPicturesFollowLayout() {
        QFETCH(bool, extracted);
        QFETCH(int, top);
        start({}, extracted);
        QCOMPARE(form_->PageTurnPrevImage->geometry(), QRect(8, top, 16, 16));
        QCOMPARE(form_->PageTurnNextImage->geometry(), QRect(183, top, 16, 16));
        QCOMPARE(form_->MonthCalendarPanel->isVisible(), extracted);
        QCOMPARE(form_->MonthCalendarPanel->geometry(), QRect(8, 293, 191, 152));
    }

    // --- Delete, locked, completed ---

    void deleteMessage_data() {
        QTest::addColumn<QList<int>>("locked");  // numbers of locked messages among 1, 2, 3
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QList<int>>("remaining");
        QTest::addColumn<int>("after");  // current afterwards
        QTest::addColumn<bool>("lockedAfter");

        const QString ask = QStringLiteral("Do you really want to delete message %1 made on 5/1/26 at 10:00:00?");
        const QString unlock = QStringLiteral("Message %1 is locked.\rDo you want to unlock this message now?");
        QTest::newRow("yes: the next becomes current")
            << QList<int>{} << 2 << QList<bool>{true} << QStringList{ask.arg(2)} << QList<int>{1, 3} << 3 << false;
        QTest::newRow("no: nothing changes")
            << QList<int>{} << 2 << QList<bool>{false} << QStringList{ask.arg(2)} << QList<int>{1, 2, 3} << 2 << false;
        QTest::newRow("last of the order: the one before becomes current")
            << QList<int>{} << 3 << QList<bool>{true} << QStringList{ask.arg(3)} << QList<int>{1, 2} << 2 << false;
        QTest::newRow("locked successor: no further question")
            << QList<int>{2} << 1 << QList<bool>{true} << QStringList{ask.arg(1)} << QList<int>{2, 3} << 2 << true;
        QTest::newRow("locked, yes: unlocked and kept")
            << QList<int>{2} << 2 << QList<bool>{true} << QStringList{unlock.arg(2)} << QList<int>{1, 2, 3} << 2 << false;
        QTest::newRow("locked, no: stays locked")
            << QList<int>{2} << 2 << QList<bool>{false} << QStringList{unlock.arg(2)} << QList<int>{1, 2, 3} << 2 << true;
    }

    void deleteMessage() {
        QFETCH(QList<int>, locked);
        QFETCH(int, current);
        QFETCH(QList<bool>, answers);
        std::vector<Record> records;
        for (int n : {1, 2, 3}) {
            records.push_back(message(n, QStringLiteral("m%1").arg(n), locked.contains(n)));
        }
        start(records);
        QVERIFY(form_->ClientDataSet1->FindKey(current));
        confirm_->answers = answers;
        // Ctrl+Del in the message box is the window's delete, not the box's word deletion.
        form_->MessageMemo->setFocus();
        QTest::keyClick(form_->MessageMemo, Qt::Key_Delete, Qt::ControlModifier);

        QTEST(confirm_->asked, "asked");
        QTEST(form_->NumberText->text().toInt(), "after");
        QTEST(form_->Locked1->isChecked(), "lockedAfter");
        QTEST(form_->ClientDataSet1->FieldByName("LOCKED").AsBoolean(), "lockedAfter");
        QTEST(numbersInView(), "remaining");
    }

    void deletingTheOnlyMessageLeavesBlankView() {
        start({message(1, "one", false, QDate(2026, 1, 2))}, true);
        QCOMPARE(form_->MonthCalendar1->selectedDate(), QDate(2026, 1, 2));
        confirm_->answers = {true};
        QTest::keyClick(form_.get(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(form_->ClientDataSet1->RecordCount(), 0);
        QVERIFY(form_->MessageIsBlank());
        QCOMPARE(form_->MonthCalendar1->selectedDate(), kToday);
        QCOMPARE(form_->TitleEdit->text(), QString());
    }

    void deleteStoresTypedTextFirst() {
        start(messages({1, 2}));
        form_->TitleEdit->setFocus();
        form_->TitleEdit->selectAll();
        QTest::keyClicks(form_->TitleEdit, QStringLiteral("edited"));
        confirm_->answers = {false};
        QTest::keyClick(form_->TitleEdit, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(form_->ClientDataSet1->State(), DataSetState::Browse);
        QCOMPARE(form_->ClientDataSet1->FieldByName("TITLE").AsString(), QStringLiteral("edited"));
    }

    void deleteActsOnTheMessageAsked() {
        // While the question waits, a timer (the reminder check) may make another message
        // current; the yes still deletes the message it was given for.
        start(messages({1, 2, 3}));
        QVERIFY(form_->ClientDataSet1->FindKey(2));
        confirm_->answers = {true};
        confirm_->whileAsking = [this] { form_->ClientDataSet1->Last(); };
        form_->Delete1Click();
        QCOMPARE(numbersInView(), (QList<int>{1, 3}));
    }

    void completedAndLocked() {
        start(messages({1, 2}));
        QVERIFY(!form_->MessageMemo->font().strikeOut());
        form_->MessageMemo->setFocus();
        QTest::keyClick(form_->MessageMemo, Qt::Key_M, Qt::ControlModifier);
        QVERIFY(form_->MessageMemo->font().strikeOut());
        QVERIFY(form_->Finished1->isChecked());
        QCOMPARE(form_->ClientDataSet1->State(), DataSetState::Browse);
        QCOMPARE(form_->MessageMemo->toPlainText(), QStringLiteral("text 1"));

        form_->Locked1->trigger();
        QVERIFY(form_->Locked1->isChecked());
        QVERIFY(form_->ClientDataSet1->FieldByName("LOCKED").AsBoolean());

        QTest::keyClick(form_->MessageMemo, Qt::Key_PageDown, Qt::ControlModifier);
        QVERIFY(!form_->MessageMemo->font().strikeOut());
        QVERIFY(!form_->Finished1->isChecked() && !form_->Locked1->isChecked());

        QTest::keyClick(form_->MessageMemo, Qt::Key_PageUp, Qt::ControlModifier);
        QTest::keyClick(form_->MessageMemo, Qt::Key_M, Qt::ControlModifier);
        QVERIFY(!form_->MessageMemo->font().strikeOut());
        QVERIFY(!form_->ClientDataSet1->FieldByName("FINISHED").AsBoolean());
    }

    void commandsNeedingMessageDoNothingOnEmptyView_data() {
        QTest::addColumn<QString>("keys");
        QTest::newRow("locked") << "Ctrl+L";
        QTest::newRow("completed") << "Ctrl+M";
        QTest::newRow("delete") << "Ctrl+Del";
        QTest::newRow("next") << "Ctrl+PgDown";
        QTest::newRow("first") << "Ctrl+Home";
    }

    void commandsNeedingMessageDoNothingOnEmptyView() {
        QFETCH(QString, keys);
        start({});
        form_->TitleEdit->setFocus();
        QTest::keySequence(form_->TitleEdit, QKeySequence(keys));
        QCOMPARE(form_->ClientDataSet1->RecordCount(), 0);
        QCOMPARE(form_->ClientDataSet1->State(), DataSetState::Browse);
        QVERIFY(confirm_->asked.isEmpty());
        QVERIFY(!form_->Locked1->isChecked() && !form_->Finished1->isChecked());
        // The menu entries, clicked though disabled by their submenu, do nothing either.
        form_->Locked1->trigger();
        form_->Finished1->trigger();
        QVERIFY(!form_->Locked1->isChecked() && !form_->Finished1->isChecked());
        QCOMPARE(form_->ClientDataSet1->RecordCount(), 0);
    }

    // --- Submenus ---

    void submenuEnabling_data() {
        QTest::addColumn<bool>("full");
        QTest::addColumn<bool>("atDefaultPlace");
        QTest::newRow("empty view, default place") << false << true;
        QTest::newRow("full view, moved") << true << false;
    }

    void submenuEnabling() {
        QFETCH(bool, full);
        QFETCH(bool, atDefaultPlace);
        start(full ? messages({1}) : std::vector<Record>{});
        QCOMPARE(form_->pos(), QPoint(807, 10));
        if (!atDefaultPlace) {
            form_->move(800, 10);
        }
        // Start from the opposite of what is expected, to see the opening set it.
        for (QAction* entry : form_->Message1->actions() + form_->Sendto1->actions()) {
            entry->setEnabled(!full);
        }
        form_->DefaultPosition1->setEnabled(atDefaultPlace);

        form_->Message1->popup(QPoint(0, 0));
        form_->Message1->hide();
        for (const char* name : {"Next1", "Prior1", "Delete1", "Print1", "PrintAll1", "Locked1",
                                 "Finished1", "Undock2"}) {
            QVERIFY2(form_->findChild<QAction*>(name)->isEnabled() == full, name);
        }
        for (const char* name : {"First1", "Last1", "Insert1"}) {
            QVERIFY2(form_->findChild<QAction*>(name)->isEnabled(), name);
        }

        form_->Extra1->popup(QPoint(0, 0));
        form_->Extra1->hide();
        QCOMPARE(form_->DefaultPosition1->isEnabled(), !atDefaultPlace);
        QCOMPARE(form_->Emailaddress1->isEnabled(), full);
        QCOMPARE(form_->Emailaddressasfile1->isEnabled(), full);
    }

    void keysActWhateverTheEnabling() {
        start({});
        form_->Message1->popup(QPoint(0, 0));
        form_->Message1->hide();
        QVERIFY(!form_->Finished1->isEnabled());
        QTest::keyClick(form_.get(), Qt::Key_Insert, Qt::ControlModifier);
        QTest::keyClick(form_.get(), Qt::Key_M, Qt::ControlModifier);
        QVERIFY(form_->ClientDataSet1->FieldByName("FINISHED").AsBoolean());
    }

    void mainMenuLayout() {
        start({});
        QStringList shown;
        for (QAction* entry : form_->Message1->actions()) {
            shown << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
        }
        QCOMPARE(shown, (QStringList{"&First\tCtrl+Home", "P&rior\tCtrl+PgUp", "&Next\tCtrl+PgDn",
                                     "&Last\tCtrl+End", "-", "&Insert\tCtrl+Ins", "&Delete\tCtrl+Del",
                                     "-", "&Print\tCtrl+P", "Prin&t All", "-", "L&ocked\tCtrl+L",
                                     "Co&mpleted\tCtrl+M", "-", "&Undock\tCtrl+N"}));
        // The visible menu only labels its keys; they act through the hidden menu.
        for (QAction* entry : form_->Message1->actions()) {
            QVERIFY(entry->shortcut().isEmpty());
        }
        QCOMPARE(form_->findChild<QAction*>("Tab1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    }

    // --- The message box's edit menu ---

    void editMenuEnabling_data() {
        QTest::addColumn<bool>("message");
        QTest::addColumn<bool>("select");
        QTest::addColumn<bool>("clipboard");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("enabled");  // letters of the enabled entries

        // U undo, T cut, C copy, P paste, A clear, S select all, N undock
        QTest::newRow("empty view") << false << false << false << false << "A";
        QTest::newRow("empty view, text on the clipboard") << false << false << true << false << "PA";
        QTest::newRow("message") << true << false << false << false << "ASN";
        QTest::newRow("selection") << true << true << false << false << "TCASN";
        QTest::newRow("after typing") << true << false << true << true << "UPASN";
    }

    void editMenuEnabling() {
        QFETCH(bool, message);
        QFETCH(bool, select);
        QFETCH(bool, clipboard);
        QFETCH(bool, typed);
        QFETCH(QString, enabled);
        start(message ? messages({1}) : std::vector<Record>{});
        if (clipboard) {
            QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
        }
        QPlainTextEdit* memo = form_->MessageMemo;
        memo->setFocus();
        memo->moveCursor(QTextCursor::End);
        if (select) {
            memo->moveCursor(QTextCursor::StartOfWord, QTextCursor::KeepAnchor);
        }
        if (typed) {
            QTest::keyClick(memo, Qt::Key_X);
        }
        // A right-click on the box opens its edit menu.
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), memo->viewport()->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(memo->viewport(), &event);
        QTRY_VERIFY(form_->PopupMenu3->isVisible());
        form_->PopupMenu3->hide();

        const QList<std::pair<QChar, QAction*>> entries = {
            {'U', form_->Undo1}, {'T', form_->Cut1},       {'C', form_->Copy1},  {'P', form_->Paste1},
            {'A', form_->Clear1}, {'S', form_->SelectAll1}, {'N', form_->Undock1}};
        for (const auto& [letter, action] : entries) {
            QVERIFY2(action->isEnabled() == enabled.contains(letter), qPrintable(action->objectName()));
        }
        QStringList captions;
        for (QAction* entry : form_->PopupMenu3->actions()) {
            captions << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
        }
        QCOMPARE(captions, (QStringList{"&Undo", "-", "Cu&t", "&Copy", "&Paste", "Cle&ar", "-",
                                        "Select &All", "-", "U&ndock"}));
    }

    void clear_data() {
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("selected");  // characters after the caret
        QTest::addColumn<QString>("text");

        QTest::newRow("character after the caret") << 0 << 0 << "ext 1";
        QTest::newRow("selection") << 1 << 3 << "t 1";
        QTest::newRow("at the end: nothing") << 6 << 0 << "text 1";
    }

    void clear() {
        QFETCH(int, caret);
        QFETCH(int, selected);
        start(messages({1}));
        QSignalSpy posted(form_->ClientDataSet1, &TClientDataSet::tableChanged);
        QPlainTextEdit* memo = form_->MessageMemo;
        memo->setFocus();
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(caret);
        cursor.setPosition(caret + selected, QTextCursor::KeepAnchor);
        memo->setTextCursor(cursor);
        QTest::keyClick(memo, Qt::Key_Delete);
        QTEST(memo->toPlainText(), "text");
        QTEST(form_->ClientDataSet1->FieldByName("MESSAGE").AsString(), "text");
        // Stored at once, also when nothing was deleted.
        QCOMPARE(form_->ClientDataSet1->State(), DataSetState::Browse);
        QCOMPARE(posted.count(), 1);
    }

    // --- Which keys go where ---

    void keyPrecedence_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("selected");   // selected text of the field afterwards
        QTest::addColumn<QString>("fieldText");  // the field's text afterwards
        QTest::addColumn<bool>("locked");

        QTest::newRow("Ctrl+Home in the box: first message")
            << "MessageMemo" << "Ctrl+Home" << 1 << "" << "text 1" << false;
        QTest::newRow("Ctrl+End in the title: last message")
            << "TitleEdit" << "Ctrl+End" << 3 << "" << "title 3" << false;
        QTest::newRow("Ctrl+PgUp in the calendar: prior message")
            << "qt_calendar_calendarview" << "Ctrl+PgUp" << 1 << "" << "" << false;
        QTest::newRow("Ctrl+PgDown in the web address: next message")
            << "UrlEdit" << "Ctrl+PgDown" << 3 << "" << "http://" << false;
        QTest::newRow("Ctrl+L in the box: locked") << "MessageMemo" << "Ctrl+L" << 2 << "" << "text 2" << true;
        QTest::newRow("Ctrl+A in the box: the box's select all")
            << "MessageMemo" << "Ctrl+A" << 2 << "text 2" << "text 2" << false;
        QTest::newRow("Ctrl+A in the title: select all")
            << "TitleEdit" << "Ctrl+A" << 2 << "title 2" << "title 2" << false;
        QTest::newRow("Ctrl+A in the time field: select all")
            << "TimeEdit" << "Ctrl+A" << 2 << "10:00:00" << "10:00:00" << false;
        QTest::newRow("Ctrl+I in the box is taken")
            << "MessageMemo" << "Ctrl+I" << 2 << "" << "text 2" << false;
        QTest::newRow("Ctrl+I in the title is taken")
            << "TitleEdit" << "Ctrl+I" << 2 << "" << "title 2" << false;
    }

    void keyPrecedence() {
        QFETCH(QString, field);
        QFETCH(QString, keys);
        start(messages({1, 2, 3}), /*extracted=*/true);
        QVERIFY(form_->ClientDataSet1->FindKey(2));
        auto* widget = form_->findChild<QWidget*>(field);
        QVERIFY(widget && widget->isVisible());
        widget->setFocus();
        QVERIFY(widget->hasFocus());
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            line->end(false);
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
            memo->moveCursor(QTextCursor::End);
        }
        QTest::keySequence(widget, QKeySequence(keys));

        QTEST(form_->NumberText->text().toInt(), "current");
        QTEST(form_->ClientDataSet1->FieldByName("LOCKED").AsBoolean(), "locked");
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            QTEST(line->selectedText(), "selected");
            QTEST(line->text(), "fieldText");
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
            QTEST(memo->textCursor().selectedText(), "selected");
            QTEST(memo->toPlainText(), "fieldText");
        }
    }

    // --- A user's first session ---

    void firstSession() {
        start({});
        // Type a title into the empty window: message 1.
        form_->TitleEdit->setFocus();
        QTest::keyClicks(form_->TitleEdit, QStringLiteral("Shopping"));
        QCOMPARE(form_->NumberText->text(), QStringLiteral("1"));
        // Insert message 2 and write into it.
        QTest::keyClick(form_->TitleEdit, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(form_->NumberText->text(), QStringLiteral("2"));
        QTest::keyClicks(form_->TitleEdit, QStringLiteral("Call Ann"));
        // Browse back and forth.
        QTest::keyClick(form_->TitleEdit, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(form_->TitleEdit->text(), QStringLiteral("Shopping"));
        QTest::keyClick(form_->TitleEdit, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(form_->TitleEdit->text(), QStringLiteral("Call Ann"));
        // Complete and lock message 2; its delete only offers to unlock it.
        QTest::keyClick(form_->TitleEdit, Qt::Key_M, Qt::ControlModifier);
        QVERIFY(form_->MessageMemo->font().strikeOut());
        QTest::keyClick(form_->TitleEdit, Qt::Key_L, Qt::ControlModifier);
        confirm_->answers = {false};
        QTest::keyClick(form_->TitleEdit, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(confirm_->asked.last(),
                 QStringLiteral("Message 2 is locked.\rDo you want to unlock this message now?"));
        QCOMPARE(form_->ClientDataSet1->RecordCount(), 2);
        // The window manager gives the window back its activation when the dialog closes;
        // the offscreen platform leaves that to the user.
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        // Delete message 1.
        QTest::keyClick(form_->TitleEdit, Qt::Key_PageUp, Qt::ControlModifier);
        confirm_->answers = {true};
        QTest::keyClick(form_->TitleEdit, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(confirm_->asked.last(),
                 QStringLiteral("Do you really want to delete message 1 made on 5/20/26 at %1?").arg(kStampNow));
        QCOMPARE(form_->TitleEdit->text(), QStringLiteral("Call Ann"));
        form_->close();

        const auto records = datafile::read(QStringLiteral("Pinleaf.cds"));
        QCOMPARE(records.size(), std::size_t(1));
        QCOMPARE(std::get<int>(records[0][NUMBER]), 2);
        QCOMPARE(std::get<QString>(records[0][TITLE]), QStringLiteral("Call Ann"));
        QCOMPARE(std::get<bool>(records[0][LOCKED]), true);
        QCOMPARE(std::get<bool>(records[0][FINISHED]), true);
    }

private:
    void start(const std::vector<Record>& records, bool extracted = false) {
        const QString path = QDir::current().absoluteFilePath(QStringLiteral("Pinleaf.cds"));
        datafile::write(path, records);
        TRegIniFile key(settings::kCompanyKey);
        key.WriteString(settings::kSection, settings::kFileLocation, path);
        key.WriteBool(settings::kSection, settings::kExtracted, extracted);
        form_ = std::make_unique<TMainForm>(QStringList{QStringLiteral("pinleaf")});
        QVERIFY(form_->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }

    // Clicks the day `day` of the month the calendar shows.
    void clickDay(int day) {
        auto* view = form_->MonthCalendar1->findChild<QTableView*>("qt_calendar_calendarview");
        QVERIFY(view && view->isVisible());
        QAbstractItemModel* model = view->model();
        // Days before the 22nd stand once in the month's first weeks; search from the top.
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                const QModelIndex index = model->index(row, column);
                if (row > 0 && column > 0 && index.data().toInt() == day &&
                    (day < 22 || row > 2)) {
                    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                      view->visualRect(index).center());
                    return;
                }
            }
        }
        QFAIL("no such day on the page");
    }

    QList<int> numbersInView() {
        QList<int> numbers;
        TClientDataSet& table = *form_->ClientDataSet1;
        for (table.First(); !table.Eof(); table.Next()) {
            numbers << table.FieldByName("NUMBER").AsInteger();
        }
        return numbers;
    }

    test::FreshUser user_;
    std::unique_ptr<TMainForm> form_;
    AnsweringConfirmForm* confirm_ = nullptr;
    DismissingErrorForm* error_ = nullptr;
    QStringList errors_;
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
