// Start-up and the exit save of the main window: where it stands, which data file it opens,
// which message it shows, and what it writes back.

#include "FreshUser.h"
#include "DataFile.h"
#include "ErrorReport.h"
#include "MainU.h"
#include "Placement.h"
#include "Screen.h"
#include "Settings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace pinleaf;

namespace {

const QString kMain = QStringLiteral("Software\\Corvane Software\u2122\\Pinleaf");

Record message(int number, const QString& title, QDate date = QDate(2026, 5, 1)) {
    return Record{number, title, QStringLiteral("text %1").arg(number), date,
                  QStringLiteral("10:00:00"), QStringLiteral("http://"), false, false};
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setScreenSizeForTesting(QSize(1024, 768)); }

    void init() {
        // A new user for every test: fresh settings and current folder.
        QVERIFY(user_.start());
        errors_.clear();
        setErrorHandler([this](const QString& text) { errors_ << text; });
    }

    void cleanup() { setErrorHandler({}); }

    // --- Placement ---

    void placement_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QString>("left");  // "" = missing
        QTest::addColumn<QString>("top");
        QTest::addColumn<QPoint>("place");

        QTest::newRow("missing: default place") << QSize(1024, 768) << "" << "" << QPoint(807, 10);
        QTest::newRow("stored place") << QSize(1280, 1024) << "100" << "200" << QPoint(100, 200);
        QTest::newRow("left beyond screen") << QSize(1280, 1024) << "2000" << "200" << QPoint(1063, 10);
        QTest::newRow("left equal to screen width") << QSize(1280, 1024) << "1280" << "5" << QPoint(1280, 5);
        QTest::newRow("top beyond screen") << QSize(1280, 1024) << "100" << "1025" << QPoint(1063, 10);
        QTest::newRow("negative left") << QSize(1280, 1024) << "-1" << "200" << QPoint(1063, 10);
        QTest::newRow("negative top") << QSize(1280, 1024) << "100" << "-3" << QPoint(1063, 10);
        QTest::newRow("top missing") << QSize(1280, 1024) << "100" << "" << QPoint(1063, 10);
        QTest::newRow("not a number") << QSize(1280, 1024) << "abc" << "20" << QPoint(1063, 10);
    }

    void placement() {
        QFETCH(QSize, screen);
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QPoint, place);
        auto store = std::make_shared<RegistryStore>(user_.filePath(QStringLiteral("placement.txt")));
        TRegIniFile key(store, settings::kCompanyKey);
        if (!left.isEmpty()) {
            key.WriteString(settings::kSection, settings::kLeft, left);
        }
        if (!top.isEmpty()) {
            key.WriteString(settings::kSection, settings::kTop, top);
        }
        QCOMPARE(startupWindowPlace(key, screen, TMainForm::kWidth), place);
    }

    // --- Start-up and exit ---

    void firstStartCreatesDataFileAndWritesSettings() {
        {
            TMainForm form({QStringLiteral("pinleaf")});
            QVERIFY(form.isVisible());
            QCOMPARE(form.pos(), QPoint(807, 10));
            QVERIFY(form.ClientDataSet1->Active());
            QCOMPARE(form.ClientDataSet1->RecordCount(), 0);
            QCOMPARE(form.DataFilePath, QDir::current().absoluteFilePath(QStringLiteral("Pinleaf.cds")));
            form.close();
        }
        QVERIFY(errors_.isEmpty());

        // Exit with an empty table still writes the file: it then holds one blank record.
        const auto records = datafile::read(QStringLiteral("Pinleaf.cds"));
        QCOMPARE(records.size(), std::size_t(1));
        QVERIFY(isNull(records[0][NUMBER]) && isNull(records[0][TITLE]));

        const QString text = QString::fromUtf8(bytesOf(RegistryStore::currentUserFile()));
        QVERIFY2(text.contains("[" + kMain + "]"), qPrintable(text));
        for (const char* line : {"\"Left\"=\"807\"", "\"Top\"=\"10\"", "\"SortOn\"=\"2\"",
                                 "\"Ascending\"=\"1\"", "\"Showing\"=\"1\"", "\"AnimatedIcon\"=\"1\"",
                                 "\"Alarm\"=\"0\"", "\"AlwaysOnTop\"=\"0\"", "\"Sliced\"=\"0\"",
                                 "\"Extracted\"=\"0\"", "\"RecordNumber\"=\"0\""}) {
            QVERIFY2(text.contains(QLatin1String(line)), line);
        }
        RegistryStore reread(RegistryStore::currentUserFile());
        QCOMPARE(reread.value(kMain, settings::kFileLocation),
                 QDir::current().absoluteFilePath(QStringLiteral("Pinleaf.cds")));
        QVERIFY(reread.keyExists(settings::kSoundSchemeKey));
    }

    void missingFileLaterStaysHidden() {
        TRegIniFile(settings::kCompanyKey).WriteBool(settings::kSection, settings::kShowing, true);
        {
            TMainForm form({QStringLiteral("pinleaf")});
            QVERIFY(!form.isVisible());
            QVERIFY(!form.ClientDataSet1->Active());
            QVERIFY(form.DataFilePending);
            form.close();
        }
        QVERIFY(!QFile::exists(QStringLiteral("Pinleaf.cds")));
        RegistryStore reread(RegistryStore::currentUserFile());
        QCOMPARE(reread.value(kMain, settings::kShowing), QStringLiteral("0"));
        QVERIFY(!reread.hasValue(kMain, settings::kFileLocation));
        QVERIFY(!reread.hasValue(kMain, settings::kRecordNumber));
    }

    void restoresCurrentMessageAndOrder() {
        const QString path = QDir::current().absoluteFilePath(QStringLiteral("notes.cds"));
        datafile::write(path, {message(1, "one", QDate(2026, 1, 1)), message(2, "two", QDate(2026, 3, 1)),
                               message(3, "three", QDate(2026, 2, 1))});
        TRegIniFile key(settings::kCompanyKey);
        key.WriteString(settings::kSection, settings::kFileLocation, path);
        key.WriteInteger(settings::kSection, settings::kRecordNumber, 2);
        key.WriteInteger(settings::kSection, settings::kSortOn, 3);
        key.WriteBool(settings::kSection, settings::kAscending, false);

        TMainForm form({QStringLiteral("pinleaf")});
        QVERIFY(form.isVisible());
        QCOMPARE(form.NumberText->text(), QStringLiteral("2"));
        QCOMPARE(form.TitleEdit->text(), QStringLiteral("two"));
        QVERIFY(form.Date1->isChecked() && form.Descending1->isChecked());
        QCOMPARE(form.ClientDataSet1->IndexName(), QStringLiteral("DateDe"));
        form.ClientDataSet1->Next();
        QCOMPARE(form.NumberText->text(), QStringLiteral("3"));
        form.close();
    }

    void unknownRecordNumberKeepsFirstMessage() {
        const QString path = QDir::current().absoluteFilePath(QStringLiteral("notes.cds"));
        datafile::write(path, {message(5, "five"), message(4, "four")});
        TRegIniFile key(settings::kCompanyKey);
        key.WriteString(settings::kSection, settings::kFileLocation, path);
        key.WriteInteger(settings::kSection, settings::kRecordNumber, 7);

        TMainForm form({QStringLiteral("pinleaf")});
        QVERIFY(errors_.isEmpty());
        // The record the file holds first stays current; the number order is in force.
        QCOMPARE(form.NumberText->text(), QStringLiteral("5"));
        QCOMPARE(form.ClientDataSet1->IndexName(), QStringLiteral("NumberAs"));
        form.close();
    }

    void showingOffOpensOnFirstShowing() {
        datafile::write(QStringLiteral("Pinleaf.cds"), {message(1, "one")});
        TRegIniFile(settings::kCompanyKey).WriteBool(settings::kSection, settings::kShowing, false);

        TMainForm form({QStringLiteral("pinleaf")});
        QVERIFY(!form.isVisible());
        QVERIFY(!form.ClientDataSet1->Active());
        form.Open1Click();
        QVERIFY(form.isVisible());
        QVERIFY(form.ClientDataSet1->Active());
        QVERIFY(!form.DataFilePending);
        QCOMPARE(form.TitleEdit->text(), QStringLiteral("one"));

        // Exit while hidden: "Showing" is written as off.
        form.hide();
        form.close();
        QCOMPARE(RegistryStore(RegistryStore::currentUserFile()).value(kMain, settings::kShowing),
                 QStringLiteral("0"));
    }

    void exitWritesUnchangedTable() {
        datafile::write(QStringLiteral("Pinleaf.cds"), {message(1, "one"), message(2, "two")});
        const QDateTime old(QDate(2001, 1, 1), QTime(0, 0));
        {
            QFile f(QStringLiteral("Pinleaf.cds"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
        }
        {
            TMainForm form({QStringLiteral("pinleaf")});
            form.close();
        }
        QVERIFY(QFileInfo(QStringLiteral("Pinleaf.cds")).lastModified() > old);
        const auto records = datafile::read(QStringLiteral("Pinleaf.cds"));
        QCOMPARE(records.size(), std::size_t(2));
        QCOMPARE(std::get<QString>(records[1][TITLE]), QStringLiteral("two"));
    }

    void argumentChoosesDataFile_data() {
        QTest::addColumn<bool>("exists");
        QTest::newRow("existing file") << true;
        QTest::newRow("missing file is ignored") << false;
    }

    void argumentChoosesDataFile() {
        QFETCH(bool, exists);
        datafile::write(QStringLiteral("Pinleaf.cds"), {message(1, "default")});
        TRegIniFile(settings::kCompanyKey).WriteString(settings::kSection, settings::kFileLocation,
                                                       QStringLiteral("Pinleaf.cds"));
        const QString other = QDir::current().absoluteFilePath(QStringLiteral("other.cds"));
        if (exists) {
            datafile::write(other, {message(9, "other")});
        }
        {
            TMainForm form({QStringLiteral("pinleaf"), other});
            QCOMPARE(form.TitleEdit->text(), exists ? QStringLiteral("other") : QStringLiteral("default"));
            form.close();
        }
        QCOMPARE(RegistryStore(RegistryStore::currentUserFile()).value(kMain, settings::kFileLocation),
                 exists ? other : QStringLiteral("Pinleaf.cds"));
    }

    void unknownSortOnMeansNumber() {
        datafile::write(QStringLiteral("Pinleaf.cds"), {});
        TRegIniFile(settings::kCompanyKey).WriteString(settings::kSection, settings::kSortOn, QStringLiteral("9"));
        {
            TMainForm form({QStringLiteral("pinleaf")});
            QVERIFY(form.Number1->isChecked());
            form.close();
        }
        QCOMPARE(RegistryStore(RegistryStore::currentUserFile()).value(kMain, settings::kSortOn),
                 QStringLiteral("2"));
    }

    void sortChoiceIsAppliedAndKept() {
        datafile::write(QStringLiteral("Pinleaf.cds"), {message(1, "b"), message(2, "a")});
        {
            TMainForm form({QStringLiteral("pinleaf")});
            form.Title1->trigger();
            QCOMPARE(form.ClientDataSet1->IndexFieldNames(), QStringLiteral("TITLE"));
            form.Descending1->trigger();
            QCOMPARE(form.ClientDataSet1->IndexName(), QStringLiteral("TitleDe"));
            // Clicking the marked item keeps it marked and puts the order in force again.
            form.Descending1->trigger();
            QVERIFY(form.Descending1->isChecked() && !form.Ascending1->isChecked());
            form.close();
        }
        RegistryStore reread(RegistryStore::currentUserFile());
        QCOMPARE(reread.value(kMain, settings::kSortOn), QStringLiteral("1"));
        QCOMPARE(reread.value(kMain, settings::kAscending), QStringLiteral("0"));
    }

    void unreadableDataFileIsReportedAndKept() {
        QFile f(QStringLiteral("Pinleaf.cds"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a data file\n");
        f.close();
        const QByteArray before = bytesOf(QStringLiteral("Pinleaf.cds"));
        {
            TMainForm form({QStringLiteral("pinleaf")});
            QCOMPARE(errors_.size(), 1);
            QVERIFY2(errors_[0].contains(QStringLiteral("Pinleaf.cds")), qPrintable(errors_[0]));
            QVERIFY(!form.ClientDataSet1->Active());
            QVERIFY(form.DataFilePending);
            form.close();
        }
        QCOMPARE(bytesOf(QStringLiteral("Pinleaf.cds")), before);
    }

    void postedChangeIsWrittenPromptly() {
        datafile::write(QStringLiteral("Pinleaf.cds"), {message(1, "one")});
        TMainForm form({QStringLiteral("pinleaf")});
        form.TitleEdit->setFocus();
        form.TitleEdit->selectAll();
        QTest::keyClicks(form.TitleEdit, QStringLiteral("changed"));
        QCOMPARE(form.ClientDataSet1->State(), DataSetState::Edit);
        QVERIFY(!form.SaveTimer->isActive());

        form.ClientDataSet1->Post();
        QVERIFY(form.SaveTimer->isActive());
        QVERIFY(form.SaveTimer->interval() <= 2000);
        // Run the timer's handler instead of waiting for it.
        form.SaveTimer->stop();
        form.SaveTimerTimer();
        QCOMPARE(std::get<QString>(datafile::read(QStringLiteral("Pinleaf.cds"))[0][TITLE]),
                 QStringLiteral("changed"));
        form.close();
    }

    void exitSaveRunsOnce() {
        datafile::write(QStringLiteral("Pinleaf.cds"), {message(1, "one")});
        TMainForm form({QStringLiteral("pinleaf")});
        form.close();
        QVERIFY(form.ExitSaved());
        QVERIFY(!form.ClientDataSet1->Active());
        // A later request (the end of the session after a signal) finds nothing left to do.
        form.SaveOnExit();
        QVERIFY(errors_.isEmpty());
    }

private:
    test::FreshUser user_;
    QStringList errors_;
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
