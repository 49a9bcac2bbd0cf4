#include "ConfirmU.h"

#include "Resources.h"
#include "Skin.h"
#include "Sound.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShowEvent>

namespace pinleaf {

TConfirmForm* ConfirmForm = nullptr;

TConfirmForm::TConfirmForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ConfirmForm"));
    setWindowTitle(QStringLiteral("Pinleaf"));
    skin::applySkin(this, QSize(kWidth, kHeight));

    TitleImage = skin::titleStrip(this, QStringLiteral("CONFIRMTITLE"), QPoint(2, 2));
    connect(TitleImage, &TImage::mouseDown, this,
            [this](Qt::MouseButton button, bool, QPoint pos) { TitleImageMouseDown(button, pos); });
    connect(TitleImage, &TImage::mouseMove, this, [this](QPoint pos) { TitleImageMouseMove(pos); });
    connect(TitleImage, &TImage::mouseUp, this, [this] { TitleImageMouseUp(); });

    CloseBtn = skin::closeButton(this, QPoint(291, 1));
    connect(CloseBtn, &TImage::clicked, this, [this] { CloseBtnClick(); });

    // The icon is loaded once, when the dialog is made. Room for three lines of text above
    // the buttons; two-line questions are the rule.
    const skin::MessageArea area = skin::messageArea(this, "WarningImage", "ConfirmText");
    WarningImage = area.icon;
    WarningImage->setPixmap(LoadBitmap(QStringLiteral("WARNING")));
    ConfirmText = area.text;

    const skin::ImageButton ok = skin::imageButton(this, "OkImage", "OkLabel", QStringLiteral("OK"), QPoint(48, 78));
    OkImage = ok.image;
    OkLabel = ok.label;
    const skin::ImageButton cancel =
        skin::imageButton(this, "CancelImage", "CancelLabel", QStringLiteral("Cancel"), QPoint(159, 78));
    CancelImage = cancel.image;
    CancelLabel = cancel.label;
    connect(OkImage, &TImage::clicked, this, [this] { OkImageClick(); });
    connect(CancelImage, &TImage::clicked, this, [this] { CloseBtnClick(); });
    skin::connectLeftPress(OkImage, this, [this] { OkImageMouseDown(); }, [this] { OkImageMouseUp(); });
    skin::connectLeftPress(CancelImage, this, [this] { CancelImageMouseDown(); }, [this] { CancelImageMouseUp(); });

    SelectAll1 = new QAction(QStringLiteral("Select &All"), this);
    SelectAll1->setObjectName(QStringLiteral("SelectAll1"));
    SelectAll1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    SelectAll1->setShortcutContext(Qt::WindowShortcut);
    addAction(SelectAll1);
    connect(SelectAll1, &QAction::triggered, this, &TConfirmForm::SelectAll1Click);
}

void TConfirmForm::ShowModal() {
    move(skin::centredPlace(size()));
    exec();
}

void TConfirmForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        pressedKey_ = 0;
        FormShow();
    }
}

void TConfirmForm::FormShow() {
    Sound().playEvent(kWarningSound);
    Confirmed = false;
}

namespace {
bool isAnswerKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}
}  // namespace

void TConfirmForm::keyPressEvent(QKeyEvent* event) {
    if (answerKeyPressed(event)) {
        return;
    }
    QDialog::keyPressEvent(event);
}

void TConfirmForm::keyReleaseEvent(QKeyEvent* event) {
    if (answerKeyReleased(event)) {
        return;
    }
    QDialog::keyReleaseEvent(event);
}

bool TConfirmForm::answerKeyPressed(QKeyEvent* event) {
    if (!isAnswerKey(event->key())) {
        return false;
    }
    // Enter and Esc answer when they are released, not here.
    pressedKey_ = event->key();
    event->accept();
    return true;
}

bool TConfirmForm::answerKeyReleased(QKeyEvent* event) {
    if (event->isAutoRepeat() || !isAnswerKey(event->key()) || event->key() != pressedKey_) {
        return false;
    }
    pressedKey_ = 0;
    event->accept();
    FormKeyUp(event->key());
    return true;
}

void TConfirmForm::watchKeys(QWidget* control) { control->installEventFilter(this); }

bool TConfirmForm::eventFilter(QObject* watched, QEvent* event) {
    // An edit box keeps the key releases to itself: the dialog looks at them first.
    if (event->type() == QEvent::KeyPress) {
        if (answerKeyPressed(static_cast<QKeyEvent*>(event))) {
            return true;
        }
    } else if (event->type() == QEvent::KeyRelease) {
        if (answerKeyReleased(static_cast<QKeyEvent*>(event))) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TConfirmForm::FormKeyUp(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        TConfirmForm::OkImageClick();
    } else if (key == Qt::Key_Escape) {
        TConfirmForm::CloseBtnClick();
    }
}

void TConfirmForm::OkImageClick() {
    Confirmed = true;
    close();
}

void TConfirmForm::CloseBtnClick() { close(); }

void TConfirmForm::OkImageMouseDown() { skin::pressCaption(OkLabel); }
void TConfirmForm::OkImageMouseUp() { skin::releaseCaption(OkLabel); }
void TConfirmForm::CancelImageMouseDown() { skin::pressCaption(CancelLabel); }
void TConfirmForm::CancelImageMouseUp() { skin::releaseCaption(CancelLabel); }

void TConfirmForm::TitleImageMouseDown(Qt::MouseButton button, QPoint pos) {
    if (button == Qt::LeftButton) {
        BeginWindowDrag(pos.x(), pos.y());
    }
}

void TConfirmForm::TitleImageMouseMove(QPoint pos) { DragWindow(this, pos.x(), pos.y()); }

void TConfirmForm::TitleImageMouseUp() { EndWindowDrag(); }

void TConfirmForm::SelectAll1Click() {
    if (auto* edit = qobject_cast<QLineEdit*>(focusWidget())) {
        edit->selectAll();
    }
}

bool Confirm(const QString& question) {
    ConfirmForm->ConfirmText->setText(question);
    ConfirmForm->ShowModal();
    return ConfirmForm->Confirmed;
}

}  // namespace pinleaf
