#pragma once
// The confirmation dialog: asks a yes/no question in the program's own skin.
//
// Callers: set ConfirmText to the question (a carriage return starts a new line), call
// ShowModal(), then read Confirmed: true for OK, false for Cancel, Esc or the close button.
// One instance lives for the whole run (ConfirmForm); showing resets Confirmed first.

#include <QDialog>

class QLabel;

namespace pinleaf {

class TConfirmForm : public QDialog {
    Q_OBJECT
public:
    explicit TConfirmForm(QWidget* parent = nullptr);

    QLabel* ConfirmText = nullptr;
    bool Confirmed = false;

    // Shows the dialog modally; returns when it has closed.
    void ShowModal();

    virtual void FormShow();
    virtual void OkImageClick();
    virtual void CloseBtnClick();

protected:
    void showEvent(QShowEvent* event) override;
};

// The one confirmation dialog of the run, made at start-up.
extern TConfirmForm* ConfirmForm;

// Asks `question` through ConfirmForm and returns the answer.
bool Confirm(const QString& question);

}  // namespace pinleaf
