// The main window's message commands: moving through the view, insert, delete, locked and
// completed, and the enabling of the "Message" and "Extra" submenus.

#include "MainU.h"

#include "FieldNames.h"

#include "Clock.h"
#include "ConfirmU.h"
#include "ErrorReport.h"
#include "ErrorU.h"
#include "Placement.h"
#include "Screen.h"
#include "Skin.h"

#include <QAction>
#include <QCalendarWidget>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

#include <initializer_list>

namespace pinleaf {

namespace {

using namespace fields;

const QString kNumberAs = QStringLiteral("NumberAs");

// Switches a flag of the current message and posts it; the post shows the change.
void toggleFlag(TClientDataSet& table, const QString& name) {
    table.Edit();
    TField flag = table.FieldByName(name);
    flag.SetAsBoolean(!flag.AsBoolean());
    table.Post();
}

}  // namespace

void TMainForm::connectMessageCommands() {
    auto guarded = [this](void (TMainForm::*handler)()) {
        return [this, handler] {
            try {
                (this->*handler)();
            } catch (const std::exception& error) {
                ShowError(ExceptionText(error));
            }
        };
    };
    auto bind = [this, guarded](std::initializer_list<QAction*> items,
                                void (TMainForm::*handler)()) {
        for (QAction* item : items) {
            connect(item, &QAction::triggered, this, guarded(handler));
        }
    };
    bind({First1, First2}, &TMainForm::First1Click);
    bind({Prior1, Prior2}, &TMainForm::PageTurnPrevImageClick);
    bind({Next1, Next2}, &TMainForm::PageTurnNextImageClick);
    bind({Last1, Last2}, &TMainForm::Last1Click);
    bind({Insert1, Insert2}, &TMainForm::Insert1Click);
    bind({Delete1, Delete2}, &TMainForm::Delete1Click);
    bind({Locked1, Locked2}, &TMainForm::Locked1Click);
    bind({Finished1, Finished2}, &TMainForm::Finished1Click);
    bind({SelectAll2}, &TMainForm::SelectAll2Click);
    // Tab1 (Ctrl+I) only takes its key, so that it never reaches a field. Print1, PrintAll1,
    // Print2, Undock2, Undock3, Emailaddress1 and Emailaddressasfile1 come with printing,
    // the note windows and e-mail.
    connect(PageTurnPrevImage, &TImage::clicked, this, guarded(&TMainForm::PageTurnPrevImageClick));
    connect(PageTurnNextImage, &TImage::clicked, this, guarded(&TMainForm::PageTurnNextImageClick));
    connect(Message1, &QMenu::aboutToShow, this, &TMainForm::Message1Click);
    connect(Extra1, &QMenu::aboutToShow, this, &TMainForm::Extra1Click);
}

void TMainForm::First1Click() {
    if (ClientDataSet1->Active() && !ClientDataSet1->IsEmpty()) {
        ClientDataSet1->First();
    }
}

void TMainForm::PageTurnPrevImageClick() {
    if (ClientDataSet1->Active() && !ClientDataSet1->IsEmpty()) {
        ClientDataSet1->Prior();
    }
}

void TMainForm::PageTurnNextImageClick() {
    if (ClientDataSet1->Active() && !ClientDataSet1->IsEmpty()) {
        ClientDataSet1->Next();
    }
}

void TMainForm::Last1Click() {
    if (ClientDataSet1->Active() && !ClientDataSet1->IsEmpty()) {
        ClientDataSet1->Last();
    }
}

void TMainForm::Insert1Click() {
    if (!ClientDataSet1->Active()) {
        return;
    }
    ClientDataSet1->SetIndexName(kNumberAs);
    ClientDataSet1->Last();
    const int highest = ClientDataSet1->FieldByName(kNumber).AsInteger();
    const int number = FirstFreeNumber(highest + 1, UndockedNumbers);
    if (number > kHighestMessageNumber) {
        ApplySortOrder();
        ShowErrorDialog(NoFreeNumberText());
        return;
    }
    ClientDataSet1->InsertRecord({number, QString(), QString(), Today(), TimeStamp(),
                                  QStringLiteral("http://"), false, false});
    ApplySortOrder();
}

void TMainForm::Delete1Click() {
    CommitMessageEdits();
    if (MessageIsBlank()) {
        return;
    }
    const int number = ClientDataSet1->FieldByName(kNumber).AsInteger();
    if (!ClientDataSet1->FieldByName(kLocked).AsBoolean()) {
        const TField date = ClientDataSet1->FieldByName(kDate);
        const QString question = DeleteQuestion(number, date.IsNull() ? QDate() : date.AsDate(),
                                                ClientDataSet1->FieldByName(kTime).AsString());
        if (!Confirm(question) || !ReturnToMessage(number)) {
            return;
        }
        ClientDataSet1->Delete();
        if (MessageIsBlank()) {
            MonthCalendar1->setSelectedDate(Today());
        }
    } else if (Confirm(UnlockQuestion(number)) && ReturnToMessage(number)) {
        // Unlocked only; the user deletes it with a second command.
        Locked1Click();
    }
}

bool TMainForm::ReturnToMessage(int number) {
    if (!MessageIsBlank() && ClientDataSet1->FieldByName(kNumber).AsInteger() == number) {
        return true;
    }
    ClientDataSet1->SetIndexName(kNumberAs);
    const bool found = ClientDataSet1->FindKey(number);
    ApplySortOrder();
    return found;
}

void TMainForm::Locked1Click() {
    if (MessageIsBlank()) {
        SyncMessageView();  // the entry's own check toggle is undone
        return;
    }
    toggleFlag(*ClientDataSet1, kLocked);
}

void TMainForm::Finished1Click() {
    if (MessageIsBlank()) {
        SyncMessageView();
        return;
    }
    toggleFlag(*ClientDataSet1, kFinished);
}

void TMainForm::Message1Click() {
    const bool message = !MessageIsBlank();
    for (QAction* entry :
         {Next1, Prior1, Delete1, Print1, PrintAll1, Locked1, Finished1, Undock2}) {
        entry->setEnabled(message);
    }
    for (QAction* entry : {First1, Last1, Insert1}) {
        entry->setEnabled(true);
    }
}

void TMainForm::Extra1Click() {
    DefaultPosition1->setEnabled(pos() != defaultWindowPlace(ScreenSize(), width()));
    const bool message = !MessageIsBlank();
    Emailaddress1->setEnabled(message);
    Emailaddressasfile1->setEnabled(message);
}

}  // namespace pinleaf
