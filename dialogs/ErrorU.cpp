#include "ErrorU.h"

#include "Resources.h"
#include "Skin.h"
#include "Sound.h"

#include <QKeyEvent>
#include <QShowEvent>

#include <chrono>
#include <cstdio>

namespace pinleaf {

TErrorForm* ErrorForm = nullptr;

namespace {
// A broken sound system must not hold the program up for longer.
constexpr std::chrono::milliseconds kSoundWaitLimit{2000};

bool isAnswerKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}
}  // namespace

TErrorForm::TErrorForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ErrorForm"));
    setWindowTitle(QStringLiteral("Pinleaf"));
    skin::applySkin(this, QSize(kWidth, kHeight));

    TitleImage = skin::titleStrip(this, QStringLiteral("CONFIRMTITLE"), QPoint(2, 2));
    connect(TitleImage, &TImage::mouseDown, this,
            [this](Qt::MouseButton button, bool, QPoint pos) { TitleImageMouseDown(button, pos); });
    connect(TitleImage, &TImage::mouseMove, this, [this](QPoint pos) { TitleImageMouseMove(pos); });
    connect(TitleImage, &TImage::mouseUp, this, [this] { TitleImageMouseUp(); });

    CloseBtn = skin::closeButton(this, QPoint(291, 1));
    connect(CloseBtn, &TImage::clicked, this, [this] { CloseBtnClick(); });

    const skin::MessageArea area = skin::messageArea(this, "ErrorImage", "ErrorText");
    ErrorImage = area.icon;
    RestoreErrorIcon();
    ErrorText = area.text;

    const skin::ImageButton ok = skin::imageButton(this, "OkImage", "OkLabel", QStringLiteral("OK"), QPoint(103, 78));
    OkImage = ok.image;
    OkLabel = ok.label;
    connect(OkImage, &TImage::clicked, this, [this] { OkImageClick(); });
    skin::connectLeftPress(OkImage, this, [this] { OkImageMouseDown(); }, [this] { OkImageMouseUp(); });
}

void TErrorForm::ShowModal() {
    move(skin::centredPlace(size()));
    exec();
}

void TErrorForm::RestoreErrorIcon() { ErrorImage->setPixmap(LoadBitmap(QStringLiteral("ERROR"))); }

void TErrorForm::showEvent(QShowEvent* event) {
    // The sound ends before the window appears.
    if (!event->spontaneous()) {
        pressedKey_ = 0;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TErrorForm::FormShow() { Sound().playEventAndWait(kWarningSound, kSoundWaitLimit); }

void TErrorForm::keyPressEvent(QKeyEvent* event) {
    if (isAnswerKey(event->key())) {
        pressedKey_ = event->key();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TErrorForm::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat() && isAnswerKey(event->key()) && event->key() == pressedKey_) {
        pressedKey_ = 0;
        event->accept();
        FormKeyUp(event->key());
        return;
    }
    QDialog::keyReleaseEvent(event);
}

void TErrorForm::FormKeyUp(int key) {
    if (isAnswerKey(key)) {
        TErrorForm::CloseBtnClick();
    }
}

void TErrorForm::OkImageClick() { close(); }

void TErrorForm::CloseBtnClick() { close(); }

void TErrorForm::OkImageMouseDown() { skin::pressCaption(OkLabel); }
void TErrorForm::OkImageMouseUp() { skin::releaseCaption(OkLabel); }

void TErrorForm::TitleImageMouseDown(Qt::MouseButton button, QPoint pos) {
    if (button == Qt::LeftButton) {
        BeginWindowDrag(pos.x(), pos.y());
    }
}

void TErrorForm::TitleImageMouseMove(QPoint pos) { DragWindow(this, pos.x(), pos.y()); }

void TErrorForm::TitleImageMouseUp() { EndWindowDrag(); }

void ShowErrorDialog(const QString& text) {
    if (!ErrorForm || ErrorForm->isVisible()) {
        std::fprintf(stderr, "Pinleaf: %s\n", qPrintable(text));
        return;
    }
    ErrorForm->ErrorText->setText(text);
    ErrorForm->ShowModal();
}

}  // namespace pinleaf
