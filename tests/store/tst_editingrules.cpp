// The editing rules without a window: the set of undocked numbers, the number of a new
// message, the time stamp, the blank view, the question texts and which keys type into a field.

#include "ClientDataSet.h"
#include "EditingRules.h"

#include <QKeyEvent>
#include <QLocale>
#include <QTest>

using namespace pinleaf;

class TestEditingRules : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void firstFreeNumber_data() {
        QTest::addColumn<QList<int>>("undocked");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("expected");

        QTest::newRow("nothing undocked") << QList<int>{} << 1 << 1;
        QTest::newRow("steps over a run") << QList<int>{1, 2, 4} << 1 << 3;
        QTest::newRow("start itself free") << QList<int>{5} << 4 << 4;
        QTest::newRow("run up to 255 ends at 256") << QList<int>{254, 255} << 254 << 256;
        QTest::newRow("above 255 returned as it is") << QList<int>{} << 300 << 300;
        QTest::newRow("256 and up never held") << QList<int>{255, 256, 257} << 255 << 256;
        QTest::newRow("negative numbers never held") << QList<int>{-1} << -1 << -1;
        QTest::newRow("0 can be held") << QList<int>{0} << 0 << 1;
    }

    void firstFreeNumber() {
        QFETCH(QList<int>, undocked);
        QFETCH(int, start);
        QFETCH(int, expected);
        UndockedNumberSet set;
        for (int n : undocked) {
            set.insert(n);
        }
        QCOMPARE(FirstFreeNumber(start, set), expected);
    }

    void allNumbersUndocked() {
        UndockedNumberSet set;
        for (int n = 0; n <= 300; ++n) {
            set.insert(n);
        }
        QCOMPARE(set.size(), 256);
        QVERIFY(set.contains(255) && !set.contains(256) && !set.contains(300));
        QCOMPARE(FirstFreeNumber(1, set), 256);
        set.erase(17);
        QCOMPARE(FirstFreeNumber(1, set), 17);
        set.clear();
        QVERIFY(set.empty());
    }

    void timeStamp_data() {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QString>("stamp");

        QTest::newRow("0.9936 s earlier, rounded down") << QTime(12, 0, 0, 994) << "12:00:00";
        QTest::newRow("one tenth of a ms too early") << QTime(12, 0, 0, 993) << "11:59:59";
        QTest::newRow("back over the hour") << QTime(10, 0, 0, 500) << "09:59:59";
        QTest::newRow("midnight") << QTime(0, 0, 0, 0) << "00:00:00";
        QTest::newRow("first half second") << QTime(0, 0, 0, 500) << "00:00:00";
        QTest::newRow("one second after midnight") << QTime(0, 0, 1, 0) << "00:00:00";
        QTest::newRow("two seconds after midnight") << QTime(0, 0, 2, 0) << "00:00:01";
        QTest::newRow("end of the day") << QTime(23, 59, 59, 999) << "23:59:59";
    }

    void timeStamp() {
        QFETCH(QTime, now);
        QFETCH(QString, stamp);
        QCOMPARE(TimeStamp(now), stamp);
    }

    void messageIsBlank_data() {
        QTest::addColumn<int>("field");  // -1: the table shows no record; -2: closed table
        QTest::addColumn<bool>("blank");

        QTest::newRow("closed table") << -2 << true;
        QTest::newRow("no record") << -1 << true;
        QTest::newRow("all fields empty") << int(MessageFieldCount) << true;
        QTest::newRow("message text only") << int(MESSAGE) << true;
        QTest::newRow("locked only") << int(LOCKED) << true;
        QTest::newRow("completed only") << int(FINISHED) << true;
        QTest::newRow("number") << int(NUMBER) << false;
        QTest::newRow("title") << int(TITLE) << false;
        QTest::newRow("date") << int(DATE) << false;
        QTest::newRow("time") << int(TIME) << false;
        QTest::newRow("web address") << int(URL) << false;
    }

    void messageIsBlank() {
        QFETCH(int, field);
        QFETCH(bool, blank);
        TClientDataSet table;
        if (field != -2) {
            table.CreateDataSet();
        }
        if (field >= 0) {
            Record record(MessageFieldCount);
            const FieldValue values[] = {7, QStringLiteral("t"), QStringLiteral("m"),
                                         QDate(2026, 5, 1), QStringLiteral("10:00:00"),
                                         QStringLiteral("http://"), true, true};
            if (field < MessageFieldCount) {
                record[field] = values[field];
            }
            table.InsertRecord(record);
        }
        QCOMPARE(MessageIsBlank(table), blank);
    }

    void deleteQuestionUsesShortDate_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("question");

        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                               << "Do you really want to delete message 12 made on 5/1/26 at 09:30:00?";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany)
                               << "Do you really want to delete message 12 made on 01.05.26 at 09:30:00?";
    }

    void deleteQuestionUsesShortDate() {
        QFETCH(QLocale, locale);
        QFETCH(QString, question);
        QLocale::setDefault(locale);
        QCOMPARE(DeleteQuestion(12, QDate(2026, 5, 1), QStringLiteral("09:30:00")), question);
    }

    void unlockQuestionHasTwoLines() {
        QCOMPARE(UnlockQuestion(3),
                 QStringLiteral("Message 3 is locked.\rDo you want to unlock this message now?"));
    }

    void keyTypesIntoField_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("types");

        const int ctrl = Qt::ControlModifier;
        QTest::newRow("letter") << int(Qt::Key_A) << 0 << "a" << true;
        QTest::newRow("capital") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A" << true;
        QTest::newRow("space") << int(Qt::Key_Space) << 0 << " " << true;
        QTest::newRow("digit on keypad") << int(Qt::Key_1) << int(Qt::KeypadModifier) << "1" << true;
        QTest::newRow("trade mark sign") << int(Qt::Key_unknown) << 0 << "\u2122" << true;
        QTest::newRow("return") << int(Qt::Key_Return) << 0 << "\r" << true;
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << "\b" << true;
        QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << "" << true;
        QTest::newRow("paste") << int(Qt::Key_V) << ctrl << "\x16" << true;
        QTest::newRow("paste, shift+insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier) << "" << true;
        QTest::newRow("undo") << int(Qt::Key_Z) << ctrl << "\x1a" << true;
        QTest::newRow("copy") << int(Qt::Key_C) << ctrl << "\x03" << false;
        QTest::newRow("select all") << int(Qt::Key_A) << ctrl << "\x01" << false;
        QTest::newRow("ctrl+i") << int(Qt::Key_I) << ctrl << "\t" << false;
        QTest::newRow("alt+letter") << int(Qt::Key_X) << int(Qt::AltModifier) << "x" << false;
        QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << "\x1b" << false;
        QTest::newRow("tab") << int(Qt::Key_Tab) << 0 << "\t" << false;
        QTest::newRow("arrow") << int(Qt::Key_Left) << 0 << "" << false;
        QTest::newRow("ctrl+delete") << int(Qt::Key_Delete) << ctrl << "" << false;
    }

    void keyTypesIntoField() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(bool, types);
        const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        QCOMPARE(KeyTypesIntoField(event), types);
    }
};

QTEST_MAIN(TestEditingRules)
#include "tst_editingrules.moc"
