// The main window's handlers for the message table: opening the data file (asking for it when
// it is missing), the sort orders and the prompt write of posted changes.

#include "MainU.h"

#include "BrowseU.h"
#include "ErrorReport.h"
#include "PromptTexts.h"
#include "Settings.h"

#include <QAction>
#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <cstdio>

namespace pinleaf {

using namespace settings;

void TMainForm::OpenDataFile() {
    if (QFileInfo(DataFilePath).isFile()) {
        try {
            ClientDataSet1->SetFileName(DataFilePath);
            ClientDataSet1->Open();
        } catch (const std::exception& error) {
            // The table stays closed and DataFilePending set: the next showing tries again.
            ShowError(ExceptionText(error));
            return;
        }
    } else if (BrowseForm) {
        // Ask for the data file; cancelling ends the program.
        BrowseForm->BrowseForOpen = true;
        BrowseForm->ConfirmText->setText(openingPromptText(DataFilePath));
        BrowseForm->LocationEdit->setText(DataFilePath);
        BrowseForm->ShowModal();
        if (!BrowseForm->BrowseOpened) {
            return;
        }
    } else {
        // No prompt to ask with: the window stays hidden until there is a data file.
        hide();
        return;
    }

    RestoreUndockedNotes();

    ClientDataSet1->SetIndexName(QStringLiteral("NumberAs"));
    ClientDataSet1->FindKey(SettingsKey->ReadInteger(kSection, kRecordNumber, 0));
    ApplySortOrder();

    DataFilePending = false;
}

void TMainForm::ClientDataSet1BeforeOpen() {
    // Opening never asks for an index of the previous file.
    ClientDataSet1->SetIndexName(QString());
}

void TMainForm::ClientDataSet1AfterOpen() {
    CreateSortIndexes();
    ApplySortOrder();
}

void TMainForm::CreateSortIndexes() { createSortIndexes(*ClientDataSet1); }

SortChoice TMainForm::MarkedSortChoice() const {
    SortChoice choice;
    if (Title1->isChecked()) {
        choice.field = SortField::Title;
    } else if (Date1->isChecked()) {
        choice.field = SortField::Date;
    } else if (Time1->isChecked()) {
        choice.field = SortField::Time;
    } else {
        choice.field = SortField::Number;
    }
    choice.ascending = Ascending1->isChecked();
    return choice;
}

void TMainForm::ApplySortOrder() {
    if (ClientDataSet1->Active()) {
        applySortOrder(*ClientDataSet1, MarkedSortChoice());
    }
}

void TMainForm::Number1Click(QAction* item) {
    item->setChecked(true);
    ApplySortOrder();
}

void TMainForm::SaveTimerTimer() {
    // Posted changes reach the disk within a second or two, so a crash or a power cut loses
    // at most the message being typed. A file that has gone is left to the exit save.
    if (!ClientDataSet1->Active() || !ClientDataSet1->ChangedSinceWrite() ||
        !QFileInfo(ClientDataSet1->FileName()).isFile()) {
        return;
    }
    try {
        ClientDataSet1->SaveChanges();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Pinleaf: %s\n", error.what());
    }
}

}  // namespace pinleaf
