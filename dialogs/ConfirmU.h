#pragma once
// The confirmation dialog: asks a yes/no question in the program's own skin.
//
// Callers: set ConfirmText to the question (a carriage return starts a new line), call
// ShowModal(), then read Confirmed: true for OK, false for Cancel, Esc or the close button.
// One instance lives for the whole run (ConfirmForm); showing resets Confirmed first.
//
// Keys act when released: Enter is OK, Esc is Cancel. Each showing plays the warning sound
// without waiting for it. The dialog is also the base of the data-file location prompts,
// which replace the OK and close handlers and the key handler.

#include <QDialog>

class QAction;
class QLabel;

namespace pinleaf {

class TImage;

class TConfirmForm : public QDialog {
    Q_OBJECT
public:
    explicit TConfirmForm(QWidget* parent = nullptr);

    static constexpr int kWidth = 305;
    static constexpr int kHeight = 113;

    // --- Controls (object names as here) ---
    TImage* TitleImage = nullptr;
    TImage* CloseBtn = nullptr;
    QLabel* WarningImage = nullptr;
    QLabel* ConfirmText = nullptr;
    TImage* OkImage = nullptr;
    QLabel* OkLabel = nullptr;
    TImage* CancelImage = nullptr;
    QLabel* CancelLabel = nullptr;
    // The hidden "Select &All" (Ctrl+A) of the hidden Extra menu.
    QAction* SelectAll1 = nullptr;

    // The answer of the last showing.
    bool Confirmed = false;

    // Shows the dialog modally, centred on the screen; returns when it has closed.
    void ShowModal();

    // --- Handlers ---
    virtual void FormShow();
    // A key released in the dialog: Enter as OkImageClick, Esc as CloseBtnClick, both of this
    // class (not a descendant's replacement).
    virtual void FormKeyUp(int key);
    virtual void OkImageClick();
    virtual void CloseBtnClick();
    void OkImageMouseDown();
    void OkImageMouseUp();
    void CancelImageMouseDown();
    void CancelImageMouseUp();
    virtual void TitleImageMouseDown(Qt::MouseButton button, QPoint pos);
    virtual void TitleImageMouseMove(QPoint pos);
    virtual void TitleImageMouseUp();
    // Selects the whole text of the focused control when it is a one-line edit box.
    void SelectAll1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Lets Enter and Esc in `control` (an edit box of a descendant, which keeps key releases
    // to itself) answer the dialog as well.
    void watchKeys(QWidget* control);

private:
    bool answerKeyPressed(QKeyEvent* event);
    bool answerKeyReleased(QKeyEvent* event);

    // Enter or Esc pressed while the dialog was showing: only the release of a key pressed
    // here acts, so a key pressed before the dialog came up cannot answer it.
    int pressedKey_ = 0;
};

// The one confirmation dialog of the run, made at start-up.
extern TConfirmForm* ConfirmForm;

// Asks `question` through ConfirmForm and returns the answer.
bool Confirm(const QString& question);

}  // namespace pinleaf
