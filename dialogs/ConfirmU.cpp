#include "ConfirmU.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace pinleaf {

TConfirmForm* ConfirmForm = nullptr;

TConfirmForm::TConfirmForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ConfirmForm"));
    setWindowTitle(QStringLiteral("Pinleaf"));
    auto* layout = new QVBoxLayout(this);
    ConfirmText = new QLabel(this);
    ConfirmText->setObjectName(QStringLiteral("ConfirmText"));
    ConfirmText->setWordWrap(true);
    layout->addWidget(ConfirmText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TConfirmForm::OkImageClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &TConfirmForm::CloseBtnClick);
}

void TConfirmForm::ShowModal() { exec(); }

void TConfirmForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TConfirmForm::FormShow() { Confirmed = false; }

void TConfirmForm::OkImageClick() {
    Confirmed = true;
    close();
}

void TConfirmForm::CloseBtnClick() { close(); }

bool Confirm(const QString& question) {
    ConfirmForm->ConfirmText->setText(question);
    ConfirmForm->ShowModal();
    return ConfirmForm->Confirmed;
}

}  // namespace pinleaf
