#pragma once
// The error dialog: shows a message in the program's own skin until the user dismisses it.
//
// Callers: set ErrorText to the message, call ShowModal(). A caller may put another picture
// into ErrorImage for one showing and must put the error icon back afterwards
// (RestoreErrorIcon()).

#include <QDialog>

class QLabel;

namespace pinleaf {

class TErrorForm : public QDialog {
    Q_OBJECT
public:
    explicit TErrorForm(QWidget* parent = nullptr);

    QLabel* ErrorText = nullptr;
    QLabel* ErrorImage = nullptr;

    void ShowModal();
    void RestoreErrorIcon();

    virtual void FormShow();
    virtual void CloseBtnClick();

protected:
    void showEvent(QShowEvent* event) override;
};

// The one error dialog of the run, made at start-up.
extern TErrorForm* ErrorForm;

// Shows `text` through ErrorForm.
void ShowErrorDialog(const QString& text);

}  // namespace pinleaf
