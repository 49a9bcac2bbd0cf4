// The main window's "&About..." command, from its menu and from the notification-area menu.

#include "AboutU.h"
#include "MainU.h"

namespace pinleaf {

void TMainForm::About1Click() {
    // One box at a time: choosing the command again brings the open box to the front.
    if (AboutBox) {
        AboutBox->raise();
        AboutBox->activateWindow();
        return;
    }
    AboutBox = new TAboutBox(this);
    // The box deletes itself when it closes, which clears AboutBox.
    AboutBox->ShowModal();
}

}  // namespace pinleaf
