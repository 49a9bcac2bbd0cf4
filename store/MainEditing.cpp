// The main window's editing: messages made by the first key typed into an empty view, the
// view of the current message (calendar, strike-out, check marks), the month calendar, the
// edit menu of the message box and the keys that act anywhere in the window.

#include "MainU.h"

#include "FieldNames.h"

#include "Clock.h"
#include "ErrorReport.h"
#include "Resources.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace pinleaf {

namespace {

using namespace fields;


QKeyCombination combinationOf(const QKeyEvent& event) {
    return QKeyCombination(event.modifiers() & ~Qt::KeypadModifier, Qt::Key(event.key()));
}

// The action among `actions` whose shortcut is `keys`, or none.
QAction* actionForKeys(const QList<QAction*>& actions, QKeyCombination keys) {
    for (QAction* action : actions) {
        for (const QKeySequence& sequence : action->shortcuts()) {
            if (sequence.count() == 1 && sequence[0] == keys) {
                return action;
            }
        }
    }
    return nullptr;
}

void reportErrors(const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& error) {
        ShowError(ExceptionText(error));
    }
}

// Decides, for every widget of the main window, whether a key is the window's shortcut or
// the widget's own. Text fields claim many keys that the window uses (Ctrl+Home, Ctrl+End,
// Ctrl+Ins, Ctrl+Del, Ctrl+A…); the window's keys must act wherever the focus is, except
// that the message box keeps the keys of its edit menu. Watches the whole application,
// because the window's widgets (the calendar's inner parts among them) are many.
class WindowKeys : public QObject {
  public:
    explicit WindowKeys(TMainForm* form) : QObject(form), form_(form) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != form_) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination keys = combinationOf(*key);
        if (widget == form_->MessageMemo && actionForKeys(form_->PopupMenu3->actions(), keys)) {
            key->accept();  // the box takes it, for its edit menu
            return true;
        }
        if (actionForKeys(form_->actions(), keys)) {
            key->ignore();  // the window's shortcut acts
            return true;
        }
        return false;
    }

  private:
    TMainForm* form_;
};

// Key presses of the four data fields, and the edit menu's keys in the message box.
class FieldEvents : public QObject {
  public:
    explicit FieldEvents(TMainForm* form) : QObject(form), form_(form) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        bool taken = false;
        reportErrors([&] { taken = handle(watched, event); });
        return taken;
    }

  private:
    bool handle(QObject* watched, QEvent* event) {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == form_->MessageMemo) {
            if (QAction* entry = actionForKeys(form_->PopupMenu3->actions(), combinationOf(*key))) {
                // As the menu would: enabled first, then the entry; the key is taken even when
                // the entry is disabled.
                form_->PopupMenu3Popup();
                if (entry->isEnabled()) {
                    entry->trigger();
                }
                return true;
            }
        }
        return form_->TimeEditKeyPress(static_cast<QWidget*>(watched), *key);
    }

    TMainForm* form_;
};

}  // namespace

void TMainForm::createEditingControls() {
    MonthCalendarPanel = new QWidget(this);
    MonthCalendarPanel->setObjectName(QStringLiteral("MonthCalendarPanel"));
    MonthCalendarPanel->setGeometry(8, 293, 191, 152);
    auto* panelLayout = new QVBoxLayout(MonthCalendarPanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    MonthCalendar1 = new QCalendarWidget(MonthCalendarPanel);
    MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    MonthCalendar1->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    MonthCalendar1->setSelectedDate(Today());
    // The panel is smaller than the calendar would like: let its rows and columns share it.
    MonthCalendar1->setMinimumSize(1, 1);
    if (auto* days = MonthCalendar1->findChild<QTableView*>()) {
        days->horizontalHeader()->setMinimumSectionSize(1);
        days->verticalHeader()->setMinimumSectionSize(1);
    }
    // The month title in the window's own colours rather than the desktop's highlight.
    MonthCalendar1->setStyleSheet(QStringLiteral(
        "#qt_calendar_navigationbar { background-color: rgb(250, 232, 170); }"
        "#qt_calendar_navigationbar QToolButton { color: rgb(90, 60, 0); font-weight: bold; }"
        "#qt_calendar_navigationbar QSpinBox { color: rgb(90, 60, 0); }"));
    panelLayout->addWidget(MonthCalendar1);
    MonthCalendarPanel->hide();
    // Only a click on a day picks it; the month arrows and title only turn the page.
    connect(MonthCalendar1, &QCalendarWidget::clicked, this,
            [this] { reportErrors([this] { MonthCalendar1Click(); }); });
    setTabOrder(MessageMemo, MonthCalendar1);
    setTabOrder(MonthCalendar1, TimeEdit);

    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    auto entry = [this](const char* name, const QString& caption, const QKeySequence& keys,
                        void (TMainForm::*handler)()) {
        auto* action = new QAction(caption, PopupMenu3);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        // The keys are dispatched by the message box (FieldEvents), not by Qt's shortcut map.
        action->setShortcutContext(Qt::WidgetShortcut);
        PopupMenu3->addAction(action);
        if (handler) {
            connect(action, &QAction::triggered, this,
                    [this, handler] { reportErrors([this, handler] { (this->*handler)(); }); });
        }
        return action;
    };
    Undo1 = entry("Undo1", QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                  &TMainForm::Undo1Click);
    PopupMenu3->addSeparator();
    Cut1 = entry("Cut1", QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X),
                 &TMainForm::Cut1Click);
    Copy1 = entry("Copy1", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C),
                  &TMainForm::Copy1Click);
    Paste1 = entry("Paste1", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V),
                   &TMainForm::Paste1Click);
    Clear1 = entry("Clear1", QStringLiteral("Cle&ar"), QKeySequence(Qt::Key_Delete),
                   &TMainForm::Clear1Click);
    PopupMenu3->addSeparator();
    SelectAll1 = entry("SelectAll1", QStringLiteral("Select &All"),
                       QKeySequence(Qt::CTRL | Qt::Key_A), &TMainForm::SelectAll1Click);
    PopupMenu3->addSeparator();
    // Undocking comes with the note windows.
    Undock1 =
        entry("Undock1", QStringLiteral("U&ndock"), QKeySequence(Qt::CTRL | Qt::Key_N), nullptr);
    connect(PopupMenu3, &QMenu::aboutToShow, this, &TMainForm::PopupMenu3Popup);
    MessageMemo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(MessageMemo, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu3->popup(MessageMemo->viewport()->mapToGlobal(pos));
    });

    // A change that reaches a field without a key press (its own menu's Paste, a drop, an
    // input method) makes a message on a blank view just as typing does.
    DataSource1->BeforeEdit = [this](QWidget* control) { CreateMessageIfBlank(control); };

    auto* fieldEvents = new FieldEvents(this);
    for (QWidget* field : {static_cast<QWidget*>(TitleEdit), static_cast<QWidget*>(MessageMemo),
                           static_cast<QWidget*>(TimeEdit), static_cast<QWidget*>(UrlEdit)}) {
        field->installEventFilter(fieldEvents);
    }
    if (qApp) {
        qApp->installEventFilter(new WindowKeys(this));
    }
}

bool TMainForm::MessageIsBlank() {
    return pinleaf::MessageIsBlank(*ClientDataSet1);
}

void TMainForm::CommitMessageEdits() {
    if (ClientDataSet1->Active() && !MessageIsBlank()) {
        ClientDataSet1->Edit();
        ClientDataSet1->Post();
    }
}

bool TMainForm::TimeEditKeyPress(QWidget* Sender, const QKeyEvent& Key) {
    if (KeyTypesIntoField(Key)) {
        CreateMessageIfBlank(Sender);
    }
    // The web address never takes a space.
    return Sender == UrlEdit && Key.text() == QLatin1String(" ");
}

bool TMainForm::CreateMessageIfBlank(QWidget* field) {
    if (!ClientDataSet1->Active() || !MessageIsBlank()) {
        return false;
    }
    // Showing the new message resets the field; the key must land where the caret stood.
    auto* line = qobject_cast<QLineEdit*>(field);
    const int linePosition = line ? line->cursorPosition() : 0;
    const int memoPosition = MessageMemo->textCursor().position();

    const int number = NewMessageNumber();
    ClientDataSet1->Edit();
    ClientDataSet1->FieldByName(kNumber).SetAsInteger(number);
    ClientDataSet1->FieldByName(kDate).SetAsDate(Today());
    if (field != TimeEdit) {
        ClientDataSet1->FieldByName(kTime).SetAsString(TimeStamp());
    }
    if (field != UrlEdit) {
        ClientDataSet1->FieldByName(kUrl).SetAsString(QStringLiteral("http://"));
    }
    ClientDataSet1->FieldByName(kLocked).SetAsBoolean(false);
    ClientDataSet1->FieldByName(kFinished).SetAsBoolean(false);
    ClientDataSet1->Post();

    if (line) {
        line->setCursorPosition(linePosition);
    } else if (field == MessageMemo) {
        QTextCursor cursor = MessageMemo->textCursor();
        cursor.setPosition(std::min(memoPosition, MessageMemo->document()->characterCount() - 1));
        MessageMemo->setTextCursor(cursor);
    }
    return true;
}

int TMainForm::NewMessageNumber() {
    int number = FirstFreeNumber(1, UndockedNumbers);
    if (ClientDataSet1->RecordCount() <= 1) {
        return number;  // no message in the view besides the blank one
    }
    // A blank record among messages (an exit with an empty table writes one): the view's
    // numbers must be stepped over too, or the new message would share one.
    const Record blank = ClientDataSet1->CurrentRecord();
    std::set<int> used;
    for (ClientDataSet1->First(); !ClientDataSet1->Eof(); ClientDataSet1->Next()) {
        const TField field = ClientDataSet1->FieldByName(kNumber);
        if (!field.IsNull()) {
            used.insert(field.AsInteger());
        }
    }
    ClientDataSet1->First();
    while (!ClientDataSet1->Eof() && ClientDataSet1->CurrentRecord() != blank) {
        ClientDataSet1->Next();
    }
    while (used.count(number) > 0) {
        number = FirstFreeNumber(number + 1, UndockedNumbers);
    }
    return number;
}

void TMainForm::SyncMessageView() {
    if (!MessageIsBlank()) {
        MonthCalendar1->setSelectedDate(ClientDataSet1->FieldByName(kDate).AsDate());
    }
    const bool finished = ClientDataSet1->FieldByName(kFinished).AsBoolean();
    QFont font = MessageMemo->font();
    font.setStrikeOut(finished);
    MessageMemo->setFont(font);
    Locked1->setChecked(ClientDataSet1->FieldByName(kLocked).AsBoolean());
    Finished1->setChecked(finished);
}

void TMainForm::MonthCalendar1Click() {
    if (!ClientDataSet1->Active()) {
        return;
    }
    const QDate picked = MonthCalendar1->selectedDate();
    if (picked == Today()) {
        return;
    }
    const bool blank = MessageIsBlank();
    const int number = blank ? NewMessageNumber() : 0;
    ClientDataSet1->Edit();
    if (blank) {
        ClientDataSet1->FieldByName(kNumber).SetAsInteger(number);
        ClientDataSet1->FieldByName(kTime).SetAsString(TimeStamp());
        ClientDataSet1->FieldByName(kUrl).SetAsString(QStringLiteral("http://"));
        ClientDataSet1->FieldByName(kLocked).SetAsBoolean(false);
        ClientDataSet1->FieldByName(kFinished).SetAsBoolean(false);
    }
    ClientDataSet1->FieldByName(kDate).SetAsDate(picked);
    ClientDataSet1->Post();
}

void TMainForm::PopupMenu3Popup() {
    const bool selection = MessageMemo->textCursor().hasSelection();
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    Undo1->setEnabled(MessageMemo->document()->isUndoAvailable());
    Cut1->setEnabled(selection);
    Copy1->setEnabled(selection);
    Paste1->setEnabled(clipboard && clipboard->hasText());
    Clear1->setEnabled(true);
    SelectAll1->setEnabled(!MessageMemo->document()->isEmpty());
    Undock1->setEnabled(!MessageIsBlank());
}

// The commands that change the text make a message first on a blank view, as a key typed
// into the box would; otherwise the text would go into a record without a number.

void TMainForm::Undo1Click() {
    CreateMessageIfBlank(MessageMemo);
    MessageMemo->undo();
}

void TMainForm::Cut1Click() {
    CreateMessageIfBlank(MessageMemo);
    MessageMemo->cut();
}

void TMainForm::Copy1Click() {
    MessageMemo->copy();
}

void TMainForm::Paste1Click() {
    CreateMessageIfBlank(MessageMemo);
    MessageMemo->paste();
}

void TMainForm::Clear1Click() {
    if (!ClientDataSet1->Active()) {
        return;
    }
    CreateMessageIfBlank(MessageMemo);
    ClientDataSet1->Edit();
    QTextCursor cursor = MessageMemo->textCursor();
    if (!cursor.hasSelection()) {
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
    MessageMemo->setTextCursor(cursor);
    ClientDataSet1->Post();
}

void TMainForm::SelectAll1Click() {
    MessageMemo->selectAll();
}

void TMainForm::SelectAll2Click() {
    QWidget* focus = QApplication::focusWidget();
    if (focus == TitleEdit || focus == TimeEdit || focus == UrlEdit) {
        static_cast<QLineEdit*>(focus)->selectAll();
    }
}

}  // namespace pinleaf
