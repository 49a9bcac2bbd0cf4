#pragma once
// The error dialog: shows a message in the program's own skin until the user dismisses it.
//
// Callers: set ErrorText to the message (a carriage return starts a new line), call
// ShowModal(). A caller may put another picture into ErrorImage for one showing and must put
// the error icon back afterwards (RestoreErrorIcon()).
//
// Each showing plays the warning sound and waits for its end before the dialog appears, but
// never more than two seconds. OK, the close button, and Enter or Esc (on release) close it.
// The dialog is also the base of the reminder window.

#include <QDialog>

class QLabel;

namespace pinleaf {

class TImage;

class TErrorForm : public QDialog {
    Q_OBJECT
public:
    explicit TErrorForm(QWidget* parent = nullptr);

    static constexpr int kWidth = 305;
    static constexpr int kHeight = 113;

    // --- Controls (object names as here) ---
    TImage* TitleImage = nullptr;
    TImage* CloseBtn = nullptr;
    QLabel* ErrorImage = nullptr;
    QLabel* ErrorText = nullptr;
    TImage* OkImage = nullptr;
    QLabel* OkLabel = nullptr;

    // Shows the dialog modally, centred on the screen; returns when it has closed.
    void ShowModal();
    // Puts the error icon back into ErrorImage.
    void RestoreErrorIcon();

    // --- Handlers ---
    virtual void FormShow();
    // A key released in the dialog: Enter or Esc as this class's CloseBtnClick.
    virtual void FormKeyUp(int key);
    virtual void OkImageClick();
    virtual void CloseBtnClick();
    void OkImageMouseDown();
    void OkImageMouseUp();
    virtual void TitleImageMouseDown(Qt::MouseButton button, QPoint pos);
    virtual void TitleImageMouseMove(QPoint pos);
    virtual void TitleImageMouseUp();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    int pressedKey_ = 0;
};

// The one error dialog of the run, made at start-up.
extern TErrorForm* ErrorForm;

// Shows `text` through ErrorForm. Before ErrorForm exists, or while it already shows an
// error, the text goes to standard error instead.
void ShowErrorDialog(const QString& text);

}  // namespace pinleaf
