#pragma once
// The data-file location prompt: asks for the path of a data file that cannot be found.
//
// Opening mode (BrowseForOpen set): the data file is missing when the main window first
// shows. OK with an existing file opens the table on it and sets BrowseOpened; Cancel, Esc
// or the close button clear BrowseOpened and close the main window, which ends the program.
//
// Saving mode (BrowseForOpen cleared): the data file has gone by the time of the exit save.
// OK with an existing file, or with a new file in an existing folder, writes every message
// there; Cancel lets the exit go on without writing the table.
//
// Caller's protocol: set BrowseForOpen, ConfirmText and LocationEdit (the path), then
// ShowModal(). Every OK first makes the entered text the main window's DataFilePath; a path
// that cannot be used replaces ConfirmText with a failure text and leaves the prompt open.

#include "ConfirmU.h"

class QLineEdit;
class QPushButton;

namespace pinleaf {

class TMainForm;

class TBrowseForm : public TConfirmForm {
    Q_OBJECT
public:
    explicit TBrowseForm(TMainForm* mainForm);

    static constexpr int kWidth = 385;
    static constexpr int kHeight = 135;

    QLineEdit* LocationEdit = nullptr;
    // Below the visible area; Enter and Esc act through the key handler, these keep the
    // dialog's default and cancel buttons.
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    bool BrowseForOpen = true;
    bool BrowseOpened = false;

    void FormShow() override;
    // Enter and Esc act as this prompt's own OK and Cancel.
    void FormKeyUp(int key) override;
    void OkImageClick() override;
    void CloseBtnClick() override;

protected:
    TMainForm* mainForm() const { return mainForm_; }

private:
    TMainForm* mainForm_;
};

// The one location prompt of the run, made at start-up.
extern TBrowseForm* BrowseForm;

}  // namespace pinleaf
