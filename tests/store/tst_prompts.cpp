// The data-file location prompts: their texts, and the three ways they are reached (a data
// file missing at the first showing, a data file gone at exit, and "Open...").

#include "FreshUser.h"
#include "../dialogs/ModalHelpers.h"
#include "../dialogs/RecordingSound.h"

#include "BrowseU.h"
#include "ConfirmU.h"
#include "DataFile.h"
#include "ErrorReport.h"
#include "ErrorU.h"
#include "MainU.h"
#include "OpenU.h"
#include "PromptTexts.h"
#include "Resources.h"
#include "Screen.h"
#include "Settings.h"
#include "Skin.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace pinleaf;

namespace {

const QString kMain = settings::kCompanyKey + QStringLiteral("\\Pinleaf");

Record message(int number, const QString& title) {
    return Record{number, title, QStringLiteral("text %1").arg(number), QDate(2026, 5, 1),
                  QStringLiteral("10:00:00"), QStringLiteral("http://"), false, false};
}

QStringList titlesIn(const QString& path) {
    QStringList titles;
    for (const Record& r : datafile::read(path)) {
        titles << (isNull(r[TITLE]) ? QString() : std::get<QString>(r[TITLE]));
    }
    return titles;
}

QString rememberedFile() {
    return RegistryStore(RegistryStore::currentUserFile()).value(kMain, settings::kFileLocation);
}

// Types `path` into the prompt's edit box and lets go of Enter there.
void enterPath(TBrowseForm* prompt, const QString& path) {
    prompt->LocationEdit->selectAll();
    QTest::keyClicks(prompt->LocationEdit, path);
    QTest::keyClick(prompt->LocationEdit, Qt::Key_Return);
}

}  // namespace

class TestPrompts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setScreenSizeForTesting(QSize(1024, 768)); }

    void init() {
        // A new user for every test: fresh settings and current folder.
        QVERIFY(user_.start());
        errors_.clear();
        sound_.played.clear();
        setErrorHandler([this](const QString& text) { errors_ << text; });
    }

    void cleanup() {
        form_.reset();
        setErrorHandler({});
        BrowseForm = nullptr;
        OpenForm = nullptr;
        ConfirmForm = nullptr;
    }

    // --- Texts ---

    void shortPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown");

        QTest::newRow("absolute") << "/home/ann/Notes/Pinleaf.cds" << "/.../Pinleaf.cds";
        QTest::newRow("absolute, no folder") << "/Pinleaf.cds" << "/.../Pinleaf.cds";
        QTest::newRow("absolute, deep") << "/a/b/c/d/e/f/notes.cds" << "/.../notes.cds";
        QTest::newRow("relative") << "Pinleaf.cds" << "Pinleaf.cds";
        QTest::newRow("relative with folders") << "Notes/2026/Pinleaf.cds" << "Pinleaf.cds";
        QTest::newRow("dot folders") << "../x/./Pinleaf.cds" << "Pinleaf.cds";
        QTest::newRow("tilde is a folder name") << "~/Pinleaf.cds" << "Pinleaf.cds";
        QTest::newRow("spaces and accents") << "/home/zoë/My Notes/Zoë's notes.cds" << "/.../Zoë's notes.cds";
        QTest::newRow("folder only") << "/home/ann/" << "/.../";
        QTest::newRow("empty") << "" << "";
    }

    void shortPath() {
        QFETCH(QString, path);
        QFETCH(QString, shown);
        QCOMPARE(pinleaf::shortPath(path), shown);
    }

    void texts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString abs = QStringLiteral("/home/ann/Notes/Pinleaf.cds");
        const QString rel = QStringLiteral("Pinleaf.cds");

        QTest::newRow("opening prompt, absolute")
            << openingPromptText(abs)
            << QStringLiteral("Cannot open the file \u2018/.../Pinleaf.cds\u2019!\rEnter the right location below, please.");
        QTest::newRow("opening prompt, relative")
            << openingPromptText(rel)
            << QStringLiteral("Cannot open the file \u2018Pinleaf.cds\u2019!\rEnter the right location below, please.");
        QTest::newRow("saving prompt, absolute")
            << savingPromptText(abs)
            << QStringLiteral("Cannot save to the file \u2018/.../Pinleaf.cds\u2019!\rIf you would save your notes, "
                              "enter the file below.");
        QTest::newRow("saving prompt, relative")
            << savingPromptText(rel)
            << QStringLiteral("Cannot save to the file \u2018Pinleaf.cds\u2019!\rIf you would save your notes, enter "
                              "the file below.");
        QTest::newRow("opening failure")
            << openFailureText(abs) << QStringLiteral("Cannot open the file \u2018/.../Pinleaf.cds\u2019!\rTry again, please.");
        QTest::newRow("saving failure")
            << saveFailureText(rel) << QStringLiteral("Cannot save to the file \u2018Pinleaf.cds\u2019!\rTry again, please.");
        QTest::newRow("open prompt") << openOtherPromptText()
                                     << QStringLiteral("\rEnter the location of the file below, please.");
        QTest::newRow("dock question")
            << dockAllQuestion()
            << QStringLiteral("Cannot open a file when you have undocked messages. Do you want to dock all messages?");
    }

    void texts() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    void canSaveTo_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("existing file") << "existing.cds" << true;
        QTest::newRow("new file in an existing folder") << "new.cds" << true;
        QTest::newRow("new file, absolute path") << "ABS/new.cds" << true;
        QTest::newRow("folder missing") << "missing/new.cds" << false;
        QTest::newRow("a folder") << "folder" << false;
        QTest::newRow("empty") << "" << false;
    }

    void canSaveTo() {
        QFETCH(QString, path);
        QFETCH(bool, accepted);
        datafile::write(QStringLiteral("existing.cds"), {});
        QDir().mkdir(QStringLiteral("folder"));
        path.replace(QLatin1String("ABS"), QDir::currentPath());
        QCOMPARE(pinleaf::canSaveTo(path), accepted);
    }

    // --- Opening mode: the data file is missing at the first showing ---

    void openingModeOpensTheFileEntered() {
        const QString good = QDir::current().absoluteFilePath(QStringLiteral("found.cds"));
        datafile::write(good, {message(1, "found")});
        const QString missing = QDir::current().absoluteFilePath(QStringLiteral("gone/Pinleaf.cds"));
        TRegIniFile(settings::kCompanyKey).WriteString(settings::kSection, settings::kFileLocation, missing);
        makeForms();
        QVERIFY(!form_->isVisible());

        QString promptText;
        QString promptPath;
        whenShown(BrowseForm, [&] {
            promptText = BrowseForm->ConfirmText->text();
            promptPath = BrowseForm->LocationEdit->text();
            enterPath(BrowseForm, good);
        });
        form_->Open1Click();
        QCOMPARE(promptText, openingPromptText(missing));
        QCOMPARE(promptPath, missing);
        QVERIFY(!BrowseForm->isVisible());
        QVERIFY(BrowseForm->BrowseOpened);
        QVERIFY(form_->ClientDataSet1->Active());
        QVERIFY(!form_->DataFilePending);
        QCOMPARE(form_->TitleEdit->text(), QStringLiteral("found"));

        form_->close();
        QCOMPARE(rememberedFile(), good);
    }

    void openingModeWrongPathThenCancelEndsTheProgram() {
        const QString missing = QStringLiteral("Pinleaf.cds");
        TRegIniFile(settings::kCompanyKey).WriteString(settings::kSection, settings::kFileLocation, missing);
        makeForms();
        QSignalSpy closed(form_.get(), &TMainForm::closed);

        QString failure;
        bool stillOpen = false;
        whenShown(BrowseForm, [&] {
            enterPath(BrowseForm, QStringLiteral("/nowhere/notes.cds"));
            failure = BrowseForm->ConfirmText->text();
            stillOpen = BrowseForm->isVisible();
            QTest::keyClick(BrowseForm->LocationEdit, Qt::Key_Escape);
        });
        form_->Open1Click();
        QCOMPARE(failure, QStringLiteral("Cannot open the file \u2018/.../notes.cds\u2019!\rTry again, please."));
        QVERIFY(stillOpen);
        // The path entered last is the data file's path, whatever followed.
        QCOMPARE(form_->DataFilePath, QStringLiteral("/nowhere/notes.cds"));
        QVERIFY(!BrowseForm->BrowseOpened);
        QVERIFY(form_->DataFilePending);

        QTRY_COMPARE(closed.count(), 1);
        QVERIFY(form_->ExitSaved());
        // No data file was written, and the remembered one stays.
        QCOMPARE(QDir::current().entryList(QDir::Files), QStringList());
        QVERIFY(!QFile::exists(QStringLiteral("/nowhere/notes.cds")));
        QCOMPARE(rememberedFile(), missing);
        QVERIFY(errors_.isEmpty());
    }

    void openingModeFileThatIsNoDataFile() {
        TRegIniFile(settings::kCompanyKey).WriteString(settings::kSection, settings::kFileLocation,
                                                       QStringLiteral("Pinleaf.cds"));
        QFile junk(QStringLiteral("junk.cds"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("these are not messages");
        junk.close();
        makeForms();
        QSignalSpy closed(form_.get(), &TMainForm::closed);

        bool stillOpen = false;
        whenShown(BrowseForm, [&] {
            enterPath(BrowseForm, QStringLiteral("junk.cds"));
            stillOpen = BrowseForm->isVisible();
            QTest::mouseClick(BrowseForm->CancelImage, Qt::LeftButton);
        });
        form_->Open1Click();
        // The reader's own error is reported; the prompt stays for another try.
        QCOMPARE(errors_.size(), 1);
        QVERIFY(stillOpen);
        QVERIFY(!form_->ClientDataSet1->Active());
        QCOMPARE(junk.size(), qint64(22));
        QTRY_COMPARE(closed.count(), 1);
    }

    // --- Saving mode: the data file has gone by the exit ---

    void terminationDuringSavingPromptKeepsMessages() {
        // A logout or a signal while the exit save waits for the user: the prompt closes and
        // the messages go to a recovery file instead of being lost.
        const QString original = QDir::current().absoluteFilePath(QStringLiteral("Pinleaf.cds"));
        datafile::write(original, {message(1, "one")});
        TRegIniFile(settings::kCompanyKey).WriteString(settings::kSection, settings::kFileLocation, original);
        qputenv("XDG_DATA_HOME", user_.filePath(QStringLiteral("data")).toUtf8());
        makeForms();
        form_->ClientDataSet1->InsertRecord(message(2, "two"));
        QVERIFY(QFile::remove(original));

        bool prompted = false;
        whenShown(BrowseForm, [&] {
            prompted = true;
            form_->TerminationRequested();
        });
        form_->close();
        QVERIFY(prompted);
        QVERIFY(!BrowseForm->isVisible());
        QVERIFY(form_->ExitSaved());
        QVERIFY(!QFile::exists(original));
        const QStringList recovered = QDir(user_.filePath(QStringLiteral("data/pinleaf")))
                                          .entryList({QStringLiteral("Pinleaf-recovered-*.cds")});
        QCOMPARE(recovered.size(), 1);
        const auto records =
            datafile::read(user_.filePath(QStringLiteral("data/pinleaf/")) + recovered[0]);
        QCOMPARE(records.size(), std::size_t(2));
        QCOMPARE(std::get<QString>(records[1][TITLE]), QStringLiteral("two"));
        qunsetenv("XDG_DATA_HOME");
    }

    void savingMode_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<bool>("saved");

        QTest::newRow("existing file: its content is replaced") << "other.cds" << true << true;
        QTest::newRow("new file in an existing folder") << "new.cds" << false << true;
        QTest::newRow("folder missing: refused, then Cancel") << "missing/new.cds" << false << false;
    }

    void savingMode() {
        QFETCH(QString, target);
        QFETCH(bool, targetExists);
        QFETCH(bool, saved);
        const QString original = QDir::current().absoluteFilePath(QStringLiteral("Pinleaf.cds"));
        target = QDir::current().absoluteFilePath(target);
        datafile::write(original, {message(1, "one")});
        if (targetExists) {
            datafile::write(target, {message(7, "old seven"), message(8, "old eight")});
        }
        TRegIniFile(settings::kCompanyKey).WriteString(settings::kSection, settings::kFileLocation, original);
        makeForms();
        form_->ClientDataSet1->InsertRecord(message(2, "two"));
        QVERIFY(QFile::remove(original));

        QString promptText;
        QString promptPath;
        QString failure;
        whenShown(BrowseForm, [&] {
            promptText = BrowseForm->ConfirmText->text();
            promptPath = BrowseForm->LocationEdit->text();
            enterPath(BrowseForm, target);
            if (BrowseForm->isVisible()) {
                failure = BrowseForm->ConfirmText->text();
                QTest::keyClick(BrowseForm->LocationEdit, Qt::Key_Escape);
            }
        });
        form_->close();
        QCOMPARE(promptText, savingPromptText(original));
        QCOMPARE(promptPath, original);
        QVERIFY(!BrowseForm->isVisible());
        QVERIFY(!QFile::exists(original));

        if (saved) {
            QVERIFY(failure.isEmpty());
            QCOMPARE(titlesIn(target), QStringList({"one", "two"}));
            QCOMPARE(rememberedFile(), target);
        } else {
            QCOMPARE(failure, saveFailureText(target));
            QVERIFY(!QFile::exists(target));
            QCOMPARE(rememberedFile(), original);
        }
        QVERIFY(errors_.isEmpty());
    }

    // --- "Open...": switching to another data file ---

    void openPromptSwitchesFiles() {
        const QString first = QDir::current().absoluteFilePath(QStringLiteral("Pinleaf.cds"));
        const QString second = QDir::current().absoluteFilePath(QStringLiteral("second.cds"));
        datafile::write(first, {message(1, "one")});
        datafile::write(second, {message(5, "five"), message(3, "three")});
        TRegIniFile key(settings::kCompanyKey);
        key.WriteString(settings::kSection, settings::kFileLocation, first);
        key.WriteInteger(settings::kSection, settings::kRecordNumber, 3);
        makeForms();
        // An edit in progress goes into the old file.
        QTest::keyClicks(form_->TitleEdit, QStringLiteral("!"));
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));

        QString promptText;
        QString promptPath;
        whenShown(OpenForm, [&] {
            promptText = OpenForm->ConfirmText->text();
            promptPath = OpenForm->LocationEdit->text();
            OpenForm->LocationEdit->setText(second);
            QTest::mouseClick(OpenForm->OkImage, Qt::LeftButton);
        });
        QTest::keyClick(form_.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(promptText, openOtherPromptText());
        QCOMPARE(promptPath, QStringLiteral("Pinleaf.cds"));
        QVERIFY(!OpenForm->isVisible());

        QCOMPARE(form_->DataFilePath, second);
        QCOMPARE(form_->ClientDataSet1->FileName(), second);
        // The first message of the file is current, whatever "RecordNumber" says, in the
        // order chosen.
        QCOMPARE(form_->TitleEdit->text(), QStringLiteral("five"));
        QCOMPARE(form_->ClientDataSet1->IndexName(), QStringLiteral("NumberAs"));
        QCOMPARE(titlesIn(first), QStringList({"one!"}));
        QVERIFY(errors_.isEmpty());
        form_->close();
        QCOMPARE(rememberedFile(), second);
    }

    void openPromptWrongPathChangesNothing() {
        const QString first = QDir::current().absoluteFilePath(QStringLiteral("Pinleaf.cds"));
        datafile::write(first, {message(1, "one")});
        TRegIniFile(settings::kCompanyKey).WriteString(settings::kSection, settings::kFileLocation, first);
        makeForms();

        QString failure;
        whenShown(OpenForm, [&] {
            enterPath(OpenForm, QStringLiteral("missing.cds"));
            failure = OpenForm->ConfirmText->text();
            QTest::mouseClick(OpenForm->CloseBtn, Qt::LeftButton);
        });
        form_->Open2->trigger();
        QCOMPARE(failure, QStringLiteral("Cannot open the file \u2018missing.cds\u2019!\rTry again, please."));
        QVERIFY(!OpenForm->isVisible());
        QCOMPARE(form_->DataFilePath, first);
        QVERIFY(form_->ClientDataSet1->Active());
        QCOMPARE(form_->TitleEdit->text(), QStringLiteral("one"));
        // Cancel of the open prompt never closes the program.
        QVERIFY(!form_->ExitSaved());
        QVERIFY(form_->isVisible());
        form_->close();
    }

    void openPromptFileThatIsNoDataFileKeepsThePrevious() {
        const QString first = QDir::current().absoluteFilePath(QStringLiteral("Pinleaf.cds"));
        datafile::write(first, {message(1, "one")});
        QFile junk(QStringLiteral("junk.cds"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("these are not messages");
        junk.close();
        TRegIniFile(settings::kCompanyKey).WriteString(settings::kSection, settings::kFileLocation, first);
        makeForms();
        form_->ClientDataSet1->InsertRecord(message(2, "two"));

        bool stillOpen = false;
        whenShown(OpenForm, [&] {
            enterPath(OpenForm, QStringLiteral("junk.cds"));
            stillOpen = OpenForm->isVisible();
            QTest::keyClick(OpenForm->LocationEdit, Qt::Key_Escape);
        });
        form_->Open2Click();
        QVERIFY(stillOpen);
        QCOMPARE(errors_.size(), 1);
        // Back on the previous file, with the message added before.
        QCOMPARE(form_->DataFilePath, first);
        QVERIFY(form_->ClientDataSet1->Active());
        QCOMPARE(form_->ClientDataSet1->FileName(), first);
        QCOMPARE(form_->ClientDataSet1->RecordCount(), 2);
        QCOMPARE(titlesIn(first), QStringList({"one", "two"}));
        form_->close();
        QCOMPARE(rememberedFile(), first);
    }

    void openWithUndockedNotesAsksToDock_data() {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("confirmed") << true;
        QTest::newRow("declined") << false;
    }

    void openWithUndockedNotesAsksToDock() {
        QFETCH(bool, confirm);
        const QString first = QDir::current().absoluteFilePath(QStringLiteral("Pinleaf.cds"));
        datafile::write(first, {message(1, "one"), message(2, "two")});
        TRegIniFile(settings::kCompanyKey).WriteString(settings::kSection, settings::kFileLocation, first);
        makeForms();
        form_->UndockedNumbers.insert(2);

        QString question;
        whenShown(ConfirmForm, [&] {
            question = ConfirmForm->ConfirmText->text();
            QTest::keyClick(ConfirmForm, confirm ? Qt::Key_Return : Qt::Key_Escape);
        });
        whenShown(OpenForm, [&] { QTest::keyClick(OpenForm->LocationEdit, Qt::Key_Escape); });
        form_->Open2Click();
        QCOMPARE(question, dockAllQuestion());
        QCOMPARE(ConfirmForm->Confirmed, confirm);
        // The open prompt waits for the command to be given again.
        QCOMPARE(sound_.played, QStringList{QStringLiteral("play dialog-warning")});
        QCOMPARE(form_->DataFilePath, first);
        form_->close();
    }

    // --- The prompts' own parts ---

    void promptsLookAndSelectAll() {
        datafile::write(QStringLiteral("Pinleaf.cds"), {});
        makeForms();
        QCOMPARE(BrowseForm->size(), QSize(385, 135));
        QCOMPARE(BrowseForm->windowTitle(), QStringLiteral("Browse"));
        QCOMPARE(OpenForm->windowTitle(), QStringLiteral("Open"));
        QCOMPARE(BrowseForm->LocationEdit->geometry(), QRect(64, 60, 305, 19));
        QCOMPARE(BrowseForm->TitleImage->pictureName(), QStringLiteral("BROWSETITLE"));
        QCOMPARE(BrowseForm->TitleImage->size(), QSize(368, 8));
        QCOMPARE(OpenForm->TitleImage->pictureName(), QStringLiteral("OPENTITLE"));
        QCOMPARE(OpenForm->TitleImage->size(), QSize(368, 10));
        // The open prompt shows the program's icon, the location prompt the warning sign.
        QCOMPARE(OpenForm->WarningImage->pixmap().toImage(),
                 LoadIcon(QStringLiteral("MAINICON")).pixmap(32, 32).toImage());
        QCOMPARE(BrowseForm->WarningImage->pixmap().toImage(), LoadBitmap(QStringLiteral("WARNING")).toImage());
        // The default and cancel buttons lie below the visible area.
        QVERIFY(BrowseForm->OkBtn->y() >= BrowseForm->height());
        QVERIFY(BrowseForm->CancelBtn->y() >= BrowseForm->height());

        QString selected;
        QStringList sounds;
        whenShown(OpenForm, [&] {
            OpenForm->LocationEdit->deselect();
            OpenForm->SelectAll1->trigger();
            selected = OpenForm->LocationEdit->selectedText();
            sounds = sound_.played;
            QTest::keyClick(OpenForm->LocationEdit, Qt::Key_Escape);
        });
        form_->Open2Click();
        QCOMPARE(selected, QStringLiteral("Pinleaf.cds"));
        QCOMPARE(sounds, QStringList{QStringLiteral("play dialog-warning")});
        form_->close();
    }

private:
    // The main window and its dialogs, made in the program's order.
    void makeForms() {
        form_ = std::make_unique<TMainForm>(QStringList{QStringLiteral("pinleaf")});
        BrowseForm = new TBrowseForm(form_.get());
        ConfirmForm = new TConfirmForm(form_.get());
        OpenForm = new TOpenForm(form_.get());
    }

    RecordingSound sound_;
    test::FreshUser user_;
    std::unique_ptr<TMainForm> form_;
    QStringList errors_;
};

QTEST_MAIN(TestPrompts)
#include "tst_prompts.moc"
