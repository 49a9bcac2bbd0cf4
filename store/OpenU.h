#pragma once
// The open prompt of "Open...": switches the program to another data file.
//
// Caller's protocol: set ConfirmText and LocationEdit, then ShowModal(). OK with an existing
// file writes the table to the old file when it changed, then opens the new one; a path that
// is no file replaces ConfirmText with the failure text and changes nothing. When the new
// file cannot be read, the previous data file is opened again, the error is shown, and the
// prompt stays open. Cancel changes nothing.

#include "BrowseU.h"

namespace pinleaf {

class TOpenForm : public TBrowseForm {
    Q_OBJECT
public:
    explicit TOpenForm(TMainForm* mainForm);

    void OkImageClick() override;
    void CloseBtnClick() override;
};

// The one open prompt of the run, made at start-up.
extern TOpenForm* OpenForm;

}  // namespace pinleaf
