// The main window's command "Open...", which switches to another data file.

#include "MainU.h"

#include "ConfirmU.h"
#include "OpenU.h"
#include "PromptTexts.h"
#include "Settings.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

namespace pinleaf {

void TMainForm::connectPromptCommands() {
    connect(Open2, &QAction::triggered, this, &TMainForm::Open2Click);
    connect(Open3, &QAction::triggered, this, &TMainForm::Open2Click);
}

void TMainForm::Open2Click() {
    if (HasUndockedNotes()) {
        // The notes hold messages of the open file: they go back first, and the user gives
        // the command again.
        if (Confirm(dockAllQuestion())) {
            DockAllNotes();
        }
        return;
    }
    if (!OpenForm) {
        return;
    }
    OpenForm->ConfirmText->setText(openOtherPromptText());
    OpenForm->LocationEdit->setText(settings::kDefaultDataFile);
    OpenForm->ShowModal();
}

}  // namespace pinleaf
