#pragma once
// The main window: the slim message window at the screen edge. It owns everything that lives
// for the whole run (the message table, the two settings keys, the typed web addresses, the
// timers). Its handlers are defined beside the subsystem they belong to: the shell's here in
// app/, the message store's in store/.

#include "ClientDataSet.h"
#include "DataControls.h"
#include "EditingRules.h"
#include "RegIniFile.h"
#include "SortOrder.h"

#include <QStringList>
#include <QKeySequence>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>

#include <memory>

class QAction;
class QActionGroup;
class QCalendarWidget;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QTimer;

namespace pinleaf {

class TAboutBox;
class TImage;
class TShape;
class TTrayIcon;

class TMainForm : public QWidget {
    Q_OBJECT

public:
    // Runs FormCreate. `arguments` are the program's arguments (argument 1: a data file).
    explicit TMainForm(const QStringList& arguments, QWidget* parent = nullptr);
    ~TMainForm() override;

    static constexpr int kWidth = 207;
    static constexpr int kCompactHeight = 395;
    static constexpr int kExtractedHeight = 575;
    static constexpr int kSlicedHeight = 17;

    // --- State shared with the other subsystems ---
    TClientDataSet* ClientDataSet1 = nullptr;
    TDataSource* DataSource1 = nullptr;
    std::unique_ptr<TRegIniFile> SettingsKey;     // "Software\Corvane Software™"
    std::unique_ptr<TRegIniFile> SoundSchemeKey;  // "AppEvents\Schemes\Apps\Pinleaf"
    QStringList TypedUrlList;
    QString DataFilePath;
    bool DataFilePending = false;
    QString HelpFile;
    int IconFrame = 0;
    bool SystemMenuMode = false;
    bool UpDownClicked = false;
    bool Sliced = false;
    bool Extracted = false;

    // --- Controls (object names as here) ---
    QLabel* Label6 = nullptr;  // "Title:"
    QLineEdit* TitleEdit = nullptr;
    QLabel* Label1 = nullptr;  // "Message:"
    QPlainTextEdit* MessageMemo = nullptr;
    QLabel* Label2 = nullptr;  // "Number:"
    QLabel* NumberText = nullptr;
    QLabel* Label3 = nullptr;  // "Date:"
    QLabel* DateText = nullptr;
    QLabel* Label4 = nullptr;  // "Time:"
    QLineEdit* TimeEdit = nullptr;
    QLabel* Label7 = nullptr;  // "Internet:"
    QLineEdit* UrlEdit = nullptr;

    // --- Menus ---
    // PopupMenu1: the visible menu (from the logo, and as the system menu). Its shortcut
    // labels are only text; the keys act through the hidden MainMenu1.
    QMenu* PopupMenu1 = nullptr;
    QAction* Minimize1 = nullptr;
    QAction* N7 = nullptr;
    QMenu* Message1 = nullptr;
    QAction* First1 = nullptr;
    QAction* Prior1 = nullptr;
    QAction* Next1 = nullptr;
    QAction* Last1 = nullptr;
    QAction* Insert1 = nullptr;
    QAction* Delete1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* PrintAll1 = nullptr;
    QAction* Locked1 = nullptr;
    QAction* Finished1 = nullptr;
    QAction* Undock2 = nullptr;
    QMenu* Extra1 = nullptr;
    QMenu* Sorton1 = nullptr;
    QAction* Title1 = nullptr;
    QAction* Number1 = nullptr;
    QAction* Date1 = nullptr;
    QAction* Time1 = nullptr;
    QAction* Ascending1 = nullptr;
    QAction* Descending1 = nullptr;
    QMenu* View1 = nullptr;
    QAction* AlwaysonTop1 = nullptr;
    QAction* AnimatedIcon1 = nullptr;
    QAction* DefaultPosition1 = nullptr;
    QAction* Open2 = nullptr;
    QAction* Alarm1 = nullptr;
    QMenu* Sendto1 = nullptr;
    QAction* Emailaddress1 = nullptr;
    QAction* Emailaddressasfile1 = nullptr;
    QAction* Help1 = nullptr;
    QAction* About1 = nullptr;
    QAction* Exit1 = nullptr;

    // MainMenu1: never shown; carries the keys that act anywhere in the main window.
    QMenu* File1 = nullptr;
    QMenu* Message2 = nullptr;
    QMenu* Extra2 = nullptr;
    QAction* SystemMenu1 = nullptr;    // Alt+Space
    QAction* Help2 = nullptr;          // F1
    QAction* Exit3 = nullptr;          // Alt+F4
    QAction* First2 = nullptr;         // Ctrl+Home
    QAction* Prior2 = nullptr;         // Ctrl+PgUp
    QAction* Next2 = nullptr;          // Ctrl+PgDn
    QAction* Last2 = nullptr;          // Ctrl+End
    QAction* Insert2 = nullptr;        // Ctrl+Ins
    QAction* Delete2 = nullptr;        // Ctrl+Del
    QAction* Print2 = nullptr;         // Ctrl+P
    QAction* Locked2 = nullptr;        // Ctrl+L
    QAction* Finished2 = nullptr;      // Ctrl+M
    QAction* Undock3 = nullptr;        // Ctrl+N
    QAction* Tab1 = nullptr;           // Ctrl+I: taken, does nothing
    QAction* Open3 = nullptr;          // Ctrl+O
    QAction* Alarm2 = nullptr;         // Ctrl+R
    QAction* AlwaysonTop2 = nullptr;   // Ctrl+W
    QAction* DefaultPosition2 = nullptr;  // Ctrl+D
    QAction* SelectAll2 = nullptr;     // Ctrl+A

    // Writes a posted change to the data file shortly after the post.
    QTimer* SaveTimer = nullptr;

    // --- Frame (app/MainFrame.cpp): the skin, the layouts, the drag, the system menu ---
    TShape* MainShape = nullptr;           // the one-pixel outline; its height follows the layout
    TImage* SystemImage = nullptr;         // system menu; double-click exits
    TImage* TitleImage = nullptr;          // "ACTIVE"/"INACTIVE"; drags; double-click slices
    TImage* MinimizeBtn = nullptr;
    TImage* CloseBtn = nullptr;
    TImage* LogoImage = nullptr;           // right-click opens PopupMenu1
    TImage* PageTurnPrevImage = nullptr;
    TImage* UpDownImage = nullptr;         // the fold button, "UP"/"DOWN"
    TImage* PageTurnNextImage = nullptr;
    // The printing display, hidden except while printing or sending.
    TShape* PrintShape = nullptr;
    QLabel* Label5 = nullptr;              // "Printing..."
    QLabel* PrintingLabel = nullptr;
    QProgressBar* PrintingProgressBar = nullptr;
    QTimer* Timer2 = nullptr;              // opens the system menu 500 ms after a press
    QPoint SystemMenuPoint;                // where the system icon was pressed (screen)

    void createFrame();
    void ApplicationActivate();
    void ApplicationDeactivate();
    void TitleShapeMouseDown(Qt::MouseButton button, bool doubleClick, int x, int y);
    void TitleShapeMouseMove(int x, int y);
    void TitleShapeMouseUp();
    // The window drag shared by every skinned window (dialogs/Skin.h); the main window snaps.
    void BeginWindowDrag(int x, int y);
    void DragWindow(QWidget* window, int x, int y);
    void EndWindowDrag();
    void UpDownImageClick();
    void UpDownImageMouseDown(Qt::MouseButton button);
    void UpDownImageMouseUp(Qt::MouseButton button);
    void MinimizeBtnClick();
    void AlwaysonTop1Click();
    void DefaultPosition1Click();
    void SystemImageMouseDown(Qt::MouseButton button, bool doubleClick);
    void Timer2Timer();
    void SystemMenu1Click();
    void PopupMenu1Popup();
    void Help1Click();

    // --- Data-file location prompts (store/MainPrompts.cpp) ---
    void connectPromptCommands();
    void Open2Click();
    // Docks every note window; nothing to dock until notes exist.
    void DockAllNotes() {}

    // --- Shell (app/) ---
    void FormCreate(const QStringList& arguments);
    void FormShow();
    void FormCloseQuery();
    void FormDestroy();
    void Open1Click();
    void Exit1Click();
    void ApplyAlwaysOnTop();
    void ApplyAnimatedIcon();
    void CheckSliced();
    void SaveOnExit();
    void PlaceWindow();

    // --- Notification-area icon (app/MainTray.cpp) ---
    TTrayIcon* TrayIconData = nullptr;  // the icon and what it shows
    QTimer* Timer1 = nullptr;           // 50 ms: one step of the icon's animation
    // PopupMenu2: the icon's menu, opened by the right button.
    QMenu* PopupMenu2 = nullptr;
    QAction* Open1 = nullptr;  // "&Open Pinleaf" or "Mi&nimize Pinleaf"
    QAction* N2 = nullptr;
    QAction* About2 = nullptr;
    QAction* Exit2 = nullptr;
    void createTrayIcon();
    void AddTrayIcon();
    void DeleteTrayIcon();
    void Timer1Timer();
    void AnimatedIcon1Click();
    void TrayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void PopupMenu2Popup();
    // Whether the desktop has a notification area. Without one the window keeps a task-bar
    // entry and minimises there, so that it can always be reached.
    bool HasTray() const;

    // --- About box (dialogs/MainAbout.cpp) ---
    // The open about box; null while none is open.
    QPointer<TAboutBox> AboutBox;
    void About1Click();

    // --- Message store (store/) ---
    void OpenDataFile();
    void ClientDataSet1BeforeOpen();
    void ClientDataSet1AfterOpen();
    void CreateSortIndexes();
    void ApplySortOrder();
    void Number1Click(QAction* item);
    SortChoice MarkedSortChoice() const;
    void SyncMessageView();
    void SaveTimerTimer();
    // Undocked notes come back and go away with the note windows; nothing to do until then.
    void RestoreUndockedNotes() {}
    void SaveUndockedNotes() {}

    // --- Editing and message commands (store/MainEditing.cpp, store/MainCommands.cpp) ---
    // Numbers of the messages shown in note windows; new messages step over them.
    UndockedNumberSet UndockedNumbers;
    bool HasUndockedNotes() const { return !UndockedNumbers.empty(); }

    // The month calendar (week numbers shown) of the extracted layout; it shows the current
    // message's date, and a click on a day sets it.
    QWidget* MonthCalendarPanel = nullptr;  // 8,293 191x152
    QCalendarWidget* MonthCalendar1 = nullptr;

    // PopupMenu3: the edit menu of the message box. Its keys act while the box has the focus,
    // before the window's own.
    QMenu* PopupMenu3 = nullptr;
    QAction* Undo1 = nullptr;       // Ctrl+Z
    QAction* Cut1 = nullptr;        // Ctrl+X
    QAction* Copy1 = nullptr;       // Ctrl+C
    QAction* Paste1 = nullptr;      // Ctrl+V
    QAction* Clear1 = nullptr;      // Del
    QAction* SelectAll1 = nullptr;  // Ctrl+A
    QAction* Undock1 = nullptr;     // Ctrl+N

    // True when the current record shows no message (see EditingRules.h).
    bool MessageIsBlank();
    // Stores what the user has typed into the data fields: edit and post at once. Does nothing
    // on a blank view or a closed table.
    void CommitMessageEdits();
    // A key typed into TitleEdit, MessageMemo, TimeEdit or UrlEdit (`Sender`). On a blank view
    // it first makes a message for the key to land in. Returns true when the key is refused
    // (a space in UrlEdit).
    bool TimeEditKeyPress(QWidget* Sender, const QKeyEvent& Key);
    // Makes a new message with the defaults of a message made by typing into `field`, when the
    // view shows none and the table is open; the field's own value is left for the typing.
    // Returns whether a message was made.
    bool CreateMessageIfBlank(QWidget* field);
    // The number for a message made on a blank view: the first number that no note and no
    // message of the view holds.
    int NewMessageNumber();
    void MonthCalendar1Click();
    void PopupMenu3Popup();
    void Undo1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Clear1Click();
    void SelectAll1Click();
    void SelectAll2Click();

    void First1Click();
    void PageTurnPrevImageClick();
    void PageTurnNextImageClick();
    void Last1Click();
    void Insert1Click();
    void Delete1Click();
    void Locked1Click();
    void Finished1Click();
    void Message1Click();
    void Extra1Click();

    // Whether the exit save has run (it runs once, however the program is ended).
    bool ExitSaved() const { return exitSaved_; }
    // A logout, a shutdown or a termination signal: the program ends through the exit save.
    // When the exit save is waiting in the saving prompt, the prompt is closed and the
    // messages go to a recovery file (SaveRecoveryFile).
    void TerminationRequested();
    // Writes every message to $XDG_DATA_HOME/pinleaf/Pinleaf-recovered-<date-time>.cds and
    // names the file on stderr.
    void SaveRecoveryFile();

signals:
    // The window has closed after its exit save: the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenus();
    void bindControls();
    void createEditingControls();
    void connectMessageCommands();
    // Makes the message numbered `number` current again after a modal question, during which
    // a timer may have moved the cursor. Returns false when the view no longer holds it.
    bool ReturnToMessage(int number);

    bool exitSaved_ = false;
    bool savingPromptOpen_ = false;
    bool terminating_ = false;
    QMetaObject::Connection open1Handler_;  // Open1's present handler
};

}  // namespace pinleaf
