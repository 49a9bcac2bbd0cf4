#include "ErrorU.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace pinleaf {

TErrorForm* ErrorForm = nullptr;

TErrorForm::TErrorForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ErrorForm"));
    setWindowTitle(QStringLiteral("Pinleaf"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    ErrorImage = new QLabel(this);
    ErrorImage->setObjectName(QStringLiteral("ErrorImage"));
    RestoreErrorIcon();
    row->addWidget(ErrorImage);
    ErrorText = new QLabel(this);
    ErrorText->setObjectName(QStringLiteral("ErrorText"));
    ErrorText->setWordWrap(true);
    row->addWidget(ErrorText, 1);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TErrorForm::CloseBtnClick);
}

void TErrorForm::ShowModal() { exec(); }

void TErrorForm::RestoreErrorIcon() {
    ErrorImage->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
}

void TErrorForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TErrorForm::FormShow() {}

void TErrorForm::CloseBtnClick() { close(); }

void ShowErrorDialog(const QString& text) {
    ErrorForm->ErrorText->setText(text);
    ErrorForm->ShowModal();
}

}  // namespace pinleaf
