#include "BrowseU.h"

#include "ErrorReport.h"
#include "MainU.h"
#include "PromptTexts.h"
#include "Skin.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace pinleaf {

TBrowseForm* BrowseForm = nullptr;

TBrowseForm::TBrowseForm(TMainForm* mainForm) : TConfirmForm(mainForm), mainForm_(mainForm) {
    setObjectName(QStringLiteral("BrowseForm"));
    setWindowTitle(QStringLiteral("Browse"));
    setFixedSize(kWidth, kHeight);
    findChild<TShape*>(QStringLiteral("FrameShape"))->setGeometry(0, 0, kWidth, kHeight);

    TitleImage->setPicture(QStringLiteral("BROWSETITLE"));
    TitleImage->setGeometry(2, 2, 368, 8);
    CloseBtn->move(370, 1);
    WarningImage->move(16, 22);
    ConfirmText->setGeometry(64, 20, 305, 34);

    LocationEdit = new QLineEdit(this);
    LocationEdit->setObjectName(QStringLiteral("LocationEdit"));
    LocationEdit->setGeometry(64, 60, 305, 19);
    LocationEdit->setFrame(false);
    LocationEdit->setStyleSheet(QStringLiteral("QLineEdit { background: rgb(255, 255, 225); "
                                               "border: 1px solid rgb(167, 118, 15); padding: 0 2px; }"));
    watchKeys(LocationEdit);

    OkImage->move(88, 96);
    CancelImage->move(199, 96);

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    for (QPushButton* b : {OkBtn, CancelBtn}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(b == OkBtn ? 88 : 199, kHeight + 10, 75, 23);
    }
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, [this] { OkImageClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CloseBtnClick(); });
}

void TBrowseForm::FormShow() {
    TConfirmForm::FormShow();
    BrowseOpened = false;
    LocationEdit->setFocus();
    LocationEdit->selectAll();
}

void TBrowseForm::FormKeyUp(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        OkImageClick();
    } else if (key == Qt::Key_Escape) {
        CloseBtnClick();
    }
}

void TBrowseForm::OkImageClick() {
    TMainForm& main = *mainForm_;
    TClientDataSet& table = *main.ClientDataSet1;
    main.DataFilePath = LocationEdit->text();
    const QString path = main.DataFilePath;

    if (BrowseForOpen) {
        if (!QFileInfo(path).isFile()) {
            ConfirmText->setText(openFailureText(path));
            return;
        }
        try {
            table.SetFileName(path);
            table.Open();
        } catch (const std::exception& error) {
            // Not a data file: the table stays closed and the prompt open for another try.
            ShowError(ExceptionText(error));
            return;
        }
        BrowseOpened = true;
        close();
        return;
    }

    // Saving: a new file in an existing folder is as good as an existing file, so that a
    // user whose data file was deleted keeps the notes of this run.
    if (!canSaveTo(path)) {
        ConfirmText->setText(saveFailureText(path));
        return;
    }
    try {
        // The edit and post mark the table changed, so the close always writes it.
        table.Edit();
        table.Post();
        table.SetFileName(path);
        table.Close();
    } catch (const std::exception& error) {
        // The file could not be written: the table keeps its messages, the prompt stays.
        ShowError(ExceptionText(error));
        return;
    }
    close();
}

void TBrowseForm::CloseBtnClick() {
    close();
    if (BrowseForOpen) {
        BrowseOpened = false;
        // Closing the main window ends the program through the exit save. It closes once the
        // showing that asked for the data file is over.
        QTimer::singleShot(0, mainForm_, [main = mainForm_] { main->close(); });
    }
}

}  // namespace pinleaf
