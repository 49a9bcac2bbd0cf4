#include "MainU.h"

#include "BrowseU.h"
#include "DataFile.h"
#include "ErrorReport.h"
#include "Fonts.h"
#include "Placement.h"
#include "PromptTexts.h"
#include "Screen.h"
#include "Settings.h"
#include "Skin.h"
#include "FirstDataFile.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QDateTime>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QTimer>

#include <cstdio>

namespace pinleaf {

using namespace settings;

namespace {

template <typename T>
T* named(T* object, const char* name) {
    object->setObjectName(QLatin1String(name));
    return object;
}

QAction* checkable(QAction* action, bool checked = false) {
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

}  // namespace

TMainForm::TMainForm(const QStringList& arguments, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Pinleaf"));
    // A tool window: no task-bar button; the program lives in the notification area.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_QuitOnClose, false);

    ClientDataSet1 = named(new TClientDataSet(this), "ClientDataSet1");
    DataSource1 = named(new TDataSource(ClientDataSet1, this), "DataSource1");
    SaveTimer = named(new QTimer(this), "SaveTimer");
    SaveTimer->setSingleShot(true);
    SaveTimer->setInterval(1000);
    connect(SaveTimer, &QTimer::timeout, this, &TMainForm::SaveTimerTimer);
    connect(ClientDataSet1, &TClientDataSet::tableChanged, this, [this] {
        if (!SaveTimer->isActive()) {
            SaveTimer->start();
        }
    });

    createControls();
    createMenus();
    createTrayIcon();
    createFrame();
    connectPromptCommands();
    bindControls();
    createEditingControls();
    connectMessageCommands();
    FormCreate(arguments);
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::createControls() {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 225));
    pal.setColor(QPalette::Base, QColor(255, 255, 225));
    setPalette(pal);
    setAutoFillBackground(true);

    setFont(SkinFont());

    auto label = [this](const char* name, const QString& text, int top) {
        auto* l = named(new QLabel(text, this), name);
        l->move(8, top);
        l->adjustSize();
        return l;
    };
    Label6 = label("Label6", QStringLiteral("Title:"), 95);
    TitleEdit = named(new QLineEdit(this), "TitleEdit");
    TitleEdit->setGeometry(8, 109, 191, 21);
    TitleEdit->setMaxLength(50);
    Label1 = label("Label1", QStringLiteral("Message:"), 134);
    MessageMemo = named(new QPlainTextEdit(this), "MessageMemo");
    MessageMemo->setGeometry(8, 148, 191, 125);
    MessageMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    MessageMemo->setTabChangesFocus(true);

    Label2 = label("Label2", QStringLiteral("Number:"), 278);
    NumberText = named(new QLabel(this), "NumberText");
    NumberText->setGeometry(8, 291, 191, 14);
    Label3 = label("Label3", QStringLiteral("Date:"), 306);
    DateText = named(new QLabel(this), "DateText");
    DateText->setGeometry(8, 320, 191, 14);
    Label4 = label("Label4", QStringLiteral("Time:"), 337);
    TimeEdit = named(new QLineEdit(this), "TimeEdit");
    TimeEdit->setGeometry(8, 353, 64, 21);
    TimeEdit->setInputMask(QStringLiteral("99:99:99;_"));
    Label7 = label("Label7", QStringLiteral("Internet:"), 517);
    UrlEdit = named(new QLineEdit(this), "UrlEdit");
    UrlEdit->setGeometry(8, 533, 191, 21);
    UrlEdit->setMaxLength(100);

    setTabOrder(TitleEdit, MessageMemo);
    setTabOrder(MessageMemo, TimeEdit);
    setTabOrder(TimeEdit, UrlEdit);
}

void TMainForm::createMenus() {
    // An entry of the visible menu: the shortcut is a label after a tab, so that it shows but
    // never acts (the same key acts through the hidden menu).
    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       const QString& label = QString()) {
        QAction* a = new QAction(label.isEmpty() ? caption : caption + QLatin1Char('\t') + label, this);
        a->setObjectName(QLatin1String(name));
        menu->addAction(a);
        return a;
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };
    auto submenu = [](QMenu* menu, const char* name, const QString& caption) {
        QMenu* sub = menu->addMenu(caption);
        sub->setObjectName(QLatin1String(name));
        sub->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("Item"));
        return sub;
    };

    PopupMenu1 = named(new QMenu(this), "PopupMenu1");
    Minimize1 = item(PopupMenu1, "Minimize1", QStringLiteral("Mi&nimize"));
    N7 = PopupMenu1->addSeparator();
    N7->setObjectName(QStringLiteral("N7"));

    Message1 = submenu(PopupMenu1, "Message1", QStringLiteral("&Message"));
    First1 = item(Message1, "First1", QStringLiteral("&First"), QStringLiteral("Ctrl+Home"));
    Prior1 = item(Message1, "Prior1", QStringLiteral("P&rior"), QStringLiteral("Ctrl+PgUp"));
    Next1 = item(Message1, "Next1", QStringLiteral("&Next"), QStringLiteral("Ctrl+PgDn"));
    Last1 = item(Message1, "Last1", QStringLiteral("&Last"), QStringLiteral("Ctrl+End"));
    separator(Message1, "N6");
    Insert1 = item(Message1, "Insert1", QStringLiteral("&Insert"), QStringLiteral("Ctrl+Ins"));
    Delete1 = item(Message1, "Delete1", QStringLiteral("&Delete"), QStringLiteral("Ctrl+Del"));
    separator(Message1, "N4");
    Print1 = item(Message1, "Print1", QStringLiteral("&Print"), QStringLiteral("Ctrl+P"));
    PrintAll1 = item(Message1, "PrintAll1", QStringLiteral("Prin&t All"));
    separator(Message1, "N5");
    Locked1 = checkable(item(Message1, "Locked1", QStringLiteral("L&ocked"), QStringLiteral("Ctrl+L")));
    Finished1 = checkable(item(Message1, "Finished1", QStringLiteral("Co&mpleted"), QStringLiteral("Ctrl+M")));
    separator(Message1, "N13");
    Undock2 = item(Message1, "Undock2", QStringLiteral("&Undock"), QStringLiteral("Ctrl+N"));

    Extra1 = submenu(PopupMenu1, "Extra1", QStringLiteral("&Extra"));
    Sorton1 = submenu(Extra1, "Sorton1", QStringLiteral("&Sort on"));
    auto* fields = new QActionGroup(this);
    auto* directions = new QActionGroup(this);
    auto sortItem = [&](const char* name, const QString& caption, QActionGroup* group) {
        QAction* a = checkable(item(Sorton1, name, caption));
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] { Number1Click(a); });
        return a;
    };
    Title1 = sortItem("Title1", QStringLiteral("&Title"), fields);
    Number1 = sortItem("Number1", QStringLiteral("&Number"), fields);
    Date1 = sortItem("Date1", QStringLiteral("&Date"), fields);
    Time1 = sortItem("Time1", QStringLiteral("T&ime"), fields);
    separator(Sorton1, "N3");
    Ascending1 = sortItem("Ascending1", QStringLiteral("&Ascending"), directions);
    Descending1 = sortItem("Descending1", QStringLiteral("D&escending"), directions);
    Ascending1->setChecked(true);

    View1 = submenu(Extra1, "View1", QStringLiteral("&View"));
    AlwaysonTop1 = checkable(item(View1, "AlwaysonTop1", QStringLiteral("&Always on Top"), QStringLiteral("Ctrl+W")));
    AnimatedIcon1 = checkable(item(View1, "AnimatedIcon1", QStringLiteral("A&nimated Icon")));
    DefaultPosition1 = item(View1, "DefaultPosition1", QStringLiteral("&Default Position"), QStringLiteral("Ctrl+D"));
    separator(Extra1, "N8");
    Open2 = item(Extra1, "Open2", QStringLiteral("&Open..."), QStringLiteral("Ctrl+O"));
    Alarm1 = checkable(item(Extra1, "Alarm1", QStringLiteral("&Alarm"), QStringLiteral("Ctrl+R")));
    separator(Extra1, "N9");
    Sendto1 = submenu(Extra1, "Sendto1", QStringLiteral("S&end to"));
    Emailaddress1 = item(Sendto1, "Emailaddress1", QStringLiteral("&E-mailaddress..."));
    Emailaddressasfile1 = item(Sendto1, "Emailaddressasfile1", QStringLiteral("E-&mailaddress (as file)..."));

    separator(PopupMenu1, "N1");
    Help1 = item(PopupMenu1, "Help1", QStringLiteral("&Help"), QStringLiteral("F1"));
    About1 = item(PopupMenu1, "About1", QStringLiteral("&About..."));
    Exit1 = item(PopupMenu1, "Exit1", QStringLiteral("E&xit"));

    // The hidden menu: its entries are actions of the window, so their keys act anywhere in
    // it, whatever the enabling of the visible menu.
    auto key = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& keys) {
        QAction* a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        menu->addAction(a);
        addAction(a);
        return a;
    };
    File1 = named(new QMenu(QStringLiteral("&File"), this), "File1");
    Message2 = named(new QMenu(QStringLiteral("&Message"), this), "Message2");
    Extra2 = named(new QMenu(QStringLiteral("&Extra"), this), "Extra2");
    SystemMenu1 = key(File1, "SystemMenu1", QStringLiteral("&System Menu"), QKeySequence(Qt::ALT | Qt::Key_Space));
    Help2 = key(File1, "Help2", QStringLiteral("&Help"), QKeySequence(Qt::Key_F1));
    Exit3 = key(File1, "Exit3", QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_F4));
    First2 = key(Message2, "First2", QStringLiteral("&First"), QKeySequence(Qt::CTRL | Qt::Key_Home));
    Prior2 = key(Message2, "Prior2", QStringLiteral("P&rior"), QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    Next2 = key(Message2, "Next2", QStringLiteral("&Next"), QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    Last2 = key(Message2, "Last2", QStringLiteral("&Last"), QKeySequence(Qt::CTRL | Qt::Key_End));
    Insert2 = key(Message2, "Insert2", QStringLiteral("&Insert"), QKeySequence(Qt::CTRL | Qt::Key_Insert));
    Delete2 = key(Message2, "Delete2", QStringLiteral("&Delete"), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    Print2 = key(Message2, "Print2", QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P));
    Locked2 = key(Message2, "Locked2", QStringLiteral("Loc&ked"), QKeySequence(Qt::CTRL | Qt::Key_L));
    Finished2 = key(Message2, "Finished2", QStringLiteral("Co&mpleted"), QKeySequence(Qt::CTRL | Qt::Key_M));
    Undock3 = key(Message2, "Undock3", QStringLiteral("&Undock"), QKeySequence(Qt::CTRL | Qt::Key_N));
    Tab1 = key(Message2, "Tab1", QStringLiteral("&Tab"), QKeySequence(Qt::CTRL | Qt::Key_I));
    Open3 = key(Extra2, "Open3", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    Alarm2 = key(Extra2, "Alarm2", QStringLiteral("&Alarm"), QKeySequence(Qt::CTRL | Qt::Key_R));
    AlwaysonTop2 = key(Extra2, "AlwaysonTop2", QStringLiteral("&Always on Top"), QKeySequence(Qt::CTRL | Qt::Key_W));
    DefaultPosition2 = key(Extra2, "DefaultPosition2", QStringLiteral("&Default Position"), QKeySequence(Qt::CTRL | Qt::Key_D));
    SelectAll2 = key(Extra2, "SelectAll2", QStringLiteral("Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A));

    // Commands of the shell. The other subsystems connect their own entries.
    connect(Exit1, &QAction::triggered, this, &TMainForm::Exit1Click);
    connect(Exit3, &QAction::triggered, this, &TMainForm::Exit1Click);
    connect(About1, &QAction::triggered, this, &TMainForm::About1Click);
}

void TMainForm::bindControls() {
    bindLineEdit(TitleEdit, DataSource1, QStringLiteral("TITLE"));
    bindPlainTextEdit(MessageMemo, DataSource1, QStringLiteral("MESSAGE"));
    bindLabel(NumberText, DataSource1, QStringLiteral("NUMBER"));
    bindLabel(DateText, DataSource1, QStringLiteral("DATE"), [](const TField& field) {
        return field.IsNull() ? QString() : QLocale().toString(field.AsDate(), QLocale::LongFormat);
    });
    bindLineEdit(TimeEdit, DataSource1, QStringLiteral("TIME"));
    bindLineEdit(UrlEdit, DataSource1, QStringLiteral("URL"));

    ClientDataSet1->BeforeOpen = [this](TClientDataSet&) { ClientDataSet1BeforeOpen(); };
    ClientDataSet1->AfterOpen = [this](TClientDataSet&) { ClientDataSet1AfterOpen(); };
}

void TMainForm::FormCreate(const QStringList& arguments) {
    // The title strip shows whether the program is the active one.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) {
            ApplicationActivate();
        } else {
            ApplicationDeactivate();
        }
    });

    // The message table's four record events keep the window in step with the current message.
    auto sync = [this](TClientDataSet&) { SyncMessageView(); };
    ClientDataSet1->AfterDelete = sync;
    ClientDataSet1->AfterInsert = sync;
    ClientDataSet1->AfterPost = sync;
    ClientDataSet1->AfterScroll = sync;

    UpDownClicked = false;
    IconFrame = 0;
    AddTrayIcon();

    SettingsKey = std::make_unique<TRegIniFile>(kCompanyKey);
    SoundSchemeKey = std::make_unique<TRegIniFile>(kSoundSchemeKey);
    const bool firstStart = !SettingsKey->SectionExists(kSection);

    const QString argument = arguments.value(1);
    if (!argument.isEmpty() && QFileInfo(argument).isFile()) {
        DataFilePath = argument;
    } else {
        DataFilePath = SettingsKey->ReadString(kSection, kFileLocation, kDefaultDataFile);
        if (firstStart && DataFilePath == kDefaultDataFile) {
            DataFilePath = createFirstDataFile(DataFilePath);
        }
    }

    PlaceWindow();

    Alarm1->setChecked(SettingsKey->ReadBool(kSection, kAlarm, false));
    AlwaysonTop1->setChecked(SettingsKey->ReadBool(kSection, kAlwaysOnTop, false));
    AnimatedIcon1->setChecked(SettingsKey->ReadBool(kSection, kAnimatedIcon, true));
    ApplyAnimatedIcon();

    Descending1->setChecked(!SettingsKey->ReadBool(kSection, kAscending, true));
    Ascending1->setChecked(!Descending1->isChecked());
    switch (sortFieldFromSetting(SettingsKey->ReadInteger(kSection, kSortOn, 2))) {
        case SortField::Title:
            Title1->setChecked(true);
            break;
        case SortField::Number:
            Number1->setChecked(true);
            break;
        case SortField::Date:
            Date1->setChecked(true);
            break;
        case SortField::Time:
            Time1->setChecked(true);
            break;
    }

    DataFilePending = true;

    Sliced = SettingsKey->ReadBool(kSection, kSliced, false);
    Extracted = SettingsKey->ReadBool(kSection, kExtracted, false);
    UpDownImage->setPicture(Extracted ? QStringLiteral("UP") : QStringLiteral("DOWN"));
    CheckSliced();

    if (QFileInfo(DataFilePath).isFile() && SettingsKey->ReadBool(kSection, kShowing, true)) {
        show();
        raise();
        activateWindow();
        ApplyAlwaysOnTop();
    }

    SystemMenuMode = false;
    HelpFile = QCoreApplication::applicationDirPath() + QStringLiteral("/Pinleaf.html");

    TRegIniFile typedUrls(kTypedUrlsKey);
    for (const QString& name : typedUrls.ReadSection(QString())) {
        TypedUrlList.append(typedUrls.ReadString(QString(), name, QString()));
    }
}

void TMainForm::PlaceWindow() {
    setFixedWidth(kWidth);
    move(startupWindowPlace(*SettingsKey, ScreenSize(), kWidth));
}

void TMainForm::FormShow() {
    if (DataFilePending) {
        OpenDataFile();
    }
}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TMainForm::Open1Click() {
    if (isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    show();
    raise();
    activateWindow();
    ApplyAlwaysOnTop();
}

void TMainForm::Exit1Click() { close(); }

void TMainForm::closeEvent(QCloseEvent* event) {
    FormCloseQuery();
    event->accept();
    emit closed();
}

void TMainForm::FormCloseQuery() {
    SaveOnExit();
    DeleteTrayIcon();
    QCoreApplication::processEvents();
}

void TMainForm::FormDestroy() {
    SettingsKey.reset();
    SoundSchemeKey.reset();
    TypedUrlList.clear();
}

void TMainForm::ApplyAlwaysOnTop() {
    const bool onTop = AlwaysonTop1->isChecked();
    if (onTop == windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        return;
    }
    // Changing the flag re-creates the native window, which hides it.
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) {
        show();
    }
}


void TMainForm::TerminationRequested() {
    terminating_ = true;
    if (savingPromptOpen_) {
        // The exit save is waiting for the user: answer for them, so the program can end.
        BrowseForm->close();
    } else {
        close();
    }
}

void TMainForm::SaveRecoveryFile() {
    QString folder = qEnvironmentVariable("XDG_DATA_HOME");
    if (folder.isEmpty() || QDir::isRelativePath(folder)) {
        folder = QDir::homePath() + QStringLiteral("/.local/share");
    }
    folder += QStringLiteral("/pinleaf");
    QDir().mkpath(folder);
    const QString path =
        folder + QStringLiteral("/Pinleaf-recovered-%1.cds")
                     .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")));
    try {
        // Every message, in the file's own order: the program is ending, so the order and
        // filter in force need not come back.
        ClientDataSet1->CheckBrowseMode();
        ClientDataSet1->SetIndexName(QString());
        ClientDataSet1->SetFilter(QString());
        std::vector<Record> records;
        for (ClientDataSet1->First(); !ClientDataSet1->Eof(); ClientDataSet1->Next()) {
            records.push_back(ClientDataSet1->CurrentRecord());
        }
        datafile::write(path, records);
        std::fprintf(stderr, "Pinleaf: the messages were saved to %s\n", qPrintable(path));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Pinleaf: %s\n", error.what());
    }
}

void TMainForm::SaveOnExit() {
    if (exitSaved_) {
        return;
    }
    exitSaved_ = true;
    SaveTimer->stop();

    if (ClientDataSet1->Active()) {
        try {
            SettingsKey->WriteInteger(kSection, kRecordNumber,
                                      ClientDataSet1->FieldByName(QStringLiteral("NUMBER")).AsInteger());
            SaveUndockedNotes();
            if (!QFileInfo(DataFilePath).isFile() && BrowseForm) {
                // The data file has gone while the program ran (deleted, or its disk taken
                // away): the user names a file for the messages, or lets them go.
                BrowseForm->BrowseForOpen = false;
                BrowseForm->ConfirmText->setText(savingPromptText(DataFilePath));
                BrowseForm->LocationEdit->setText(DataFilePath);
                savingPromptOpen_ = true;
                BrowseForm->ShowModal();
                savingPromptOpen_ = false;
                if (terminating_ && ClientDataSet1->Active()) {
                    // Ended (logout, shutdown, a signal) while the user was being asked: keep
                    // the messages in a file of their own rather than lose them.
                    SaveRecoveryFile();
                }
            } else {
                // The edit and post mark the table changed, so closing always writes the file
                // (without a prompt to ask, a file that has gone is written again).
                ClientDataSet1->Edit();
                ClientDataSet1->Post();
                ClientDataSet1->Close();
            }
        } catch (const std::exception& error) {
            ShowError(ExceptionText(error));
        }
    }

    SettingsKey->WriteBool(kSection, kSliced, Sliced);
    SettingsKey->WriteBool(kSection, kExtracted, Extracted);
    SettingsKey->WriteBool(kSection, kAlwaysOnTop, AlwaysonTop1->isChecked());
    SettingsKey->WriteBool(kSection, kAlarm, Alarm1->isChecked());
    SettingsKey->WriteBool(kSection, kAnimatedIcon, AnimatedIcon1->isChecked());
    SettingsKey->WriteBool(kSection, kAscending, Ascending1->isChecked());

    SettingsKey->WriteInteger(kSection, kLeft, x());
    SettingsKey->WriteInteger(kSection, kTop, y());

    if (Title1->isChecked()) {
        SettingsKey->WriteInteger(kSection, kSortOn, 1);
    } else if (Number1->isChecked()) {
        SettingsKey->WriteInteger(kSection, kSortOn, 2);
    } else if (Date1->isChecked()) {
        SettingsKey->WriteInteger(kSection, kSortOn, 3);
    } else if (Time1->isChecked()) {
        SettingsKey->WriteInteger(kSection, kSortOn, 4);
    }

    if (QFileInfo(DataFilePath).isFile() &&
        SettingsKey->ReadString(kSection, kFileLocation, QString()) != DataFilePath) {
        SettingsKey->WriteString(kSection, kFileLocation, DataFilePath);
    }

    SettingsKey->WriteBool(kSection, kShowing, isVisible());
}

}  // namespace pinleaf
