#include "MainU.h"

#include "ErrorReport.h"
#include "Placement.h"
#include "Screen.h"
#include "Settings.h"
#include "FirstDataFile.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QTimer>

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
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
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
    bindControls();
    FormCreate(arguments);
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::createControls() {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 225));
    pal.setColor(QPalette::Base, QColor(255, 255, 225));
    setPalette(pal);
    setAutoFillBackground(true);

    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);

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
    PopupMenu1 = named(new QMenu(this), "PopupMenu1");
    Extra1 = named(PopupMenu1->addMenu(QStringLiteral("&Extra")), "Extra1");
    Sorton1 = named(Extra1->addMenu(QStringLiteral("&Sort on")), "Sorton1");

    auto* fields = new QActionGroup(this);
    auto* directions = new QActionGroup(this);
    auto sortItem = [&](const char* name, const QString& caption, QActionGroup* group) {
        QAction* a = checkable(named(Sorton1->addAction(caption), name));
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] { Number1Click(a); });
        return a;
    };
    Title1 = sortItem("Title1", QStringLiteral("&Title"), fields);
    Number1 = sortItem("Number1", QStringLiteral("&Number"), fields);
    Date1 = sortItem("Date1", QStringLiteral("&Date"), fields);
    Time1 = sortItem("Time1", QStringLiteral("T&ime"), fields);
    named(Sorton1->addSeparator(), "N3");
    Ascending1 = sortItem("Ascending1", QStringLiteral("&Ascending"), directions);
    Descending1 = sortItem("Descending1", QStringLiteral("D&escending"), directions);
    Ascending1->setChecked(true);

    AlwaysonTop1 = checkable(named(Extra1->addAction(QStringLiteral("&Always on Top")), "AlwaysonTop1"));
    connect(AlwaysonTop1, &QAction::triggered, this, [this] { ApplyAlwaysOnTop(); });
    AnimatedIcon1 =
        checkable(named(Extra1->addAction(QStringLiteral("A&nimated Icon")), "AnimatedIcon1"));
    connect(AnimatedIcon1, &QAction::triggered, this, [this] { ApplyAnimatedIcon(); });
    Alarm1 = checkable(named(Extra1->addAction(QStringLiteral("&Alarm")), "Alarm1"));

    PopupMenu1->addSeparator();
    Exit1 = named(PopupMenu1->addAction(QStringLiteral("E&xit")), "Exit1");
    connect(Exit1, &QAction::triggered, this, &TMainForm::Exit1Click);

    Exit3 = named(new QAction(QStringLiteral("E&xit"), this), "Exit3");
    Exit3->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    addAction(Exit3);
    connect(Exit3, &QAction::triggered, this, &TMainForm::Exit1Click);

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(mapToGlobal(pos)); });
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
    // The message table's four record events keep the window in step with the current message.
    auto sync = [this](TClientDataSet&) { SyncMessageView(); };
    ClientDataSet1->AfterDelete = sync;
    ClientDataSet1->AfterInsert = sync;
    ClientDataSet1->AfterPost = sync;
    ClientDataSet1->AfterScroll = sync;

    UpDownClicked = false;
    IconFrame = 0;

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

void TMainForm::ApplyAnimatedIcon() {
    // The notification-area icon reads AnimatedIcon1 when it is there.
}

void TMainForm::CheckSliced() {
    int height = kCompactHeight;
    if (Sliced) {
        height = kSlicedHeight;
    } else if (Extracted) {
        height = kExtractedHeight;
        Label3->move(Label3->x(), 277);
        DateText->hide();
        Label2->move(Label2->x(), 450);
        NumberText->move(NumberText->x(), 463);
        Label4->move(Label4->x(), 478);
        TimeEdit->move(TimeEdit->x(), 494);
        Label7->show();
        UrlEdit->show();
    } else {
        Label3->move(Label3->x(), 306);
        DateText->show();
        Label2->move(Label2->x(), 278);
        NumberText->move(NumberText->x(), 291);
        Label4->move(Label4->x(), 337);
        TimeEdit->move(TimeEdit->x(), 353);
        Label7->hide();
        UrlEdit->hide();
    }
    setFixedHeight(height);
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
            // The edit and post mark the table changed, so closing always writes the file.
            ClientDataSet1->Edit();
            ClientDataSet1->Post();
            if (!QFileInfo(DataFilePath).isFile()) {
                // The data file has gone while the program ran (deleted, or its disk taken
                // away): write the messages to the same place again rather than lose them.
                ClientDataSet1->SetFileName(DataFilePath);
            }
            ClientDataSet1->Close();
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
