#include "OpenU.h"

#include "ErrorReport.h"
#include "MainU.h"
#include "PromptTexts.h"
#include "Resources.h"
#include "Skin.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

namespace pinleaf {

TOpenForm* OpenForm = nullptr;

TOpenForm::TOpenForm(TMainForm* mainForm) : TBrowseForm(mainForm) {
    setObjectName(QStringLiteral("OpenForm"));
    setWindowTitle(QStringLiteral("Open"));
    TitleImage->setPicture(QStringLiteral("OPENTITLE"));
    TitleImage->setGeometry(2, 2, 368, 10);
    // The program's own icon in place of the warning sign.
    const QIcon icon = LoadIcon(QStringLiteral("MAINICON"));
    if (!icon.isNull()) {
        WarningImage->setPixmap(icon.pixmap(32, 32));
    }
}

void TOpenForm::OkImageClick() {
    const QString path = LocationEdit->text();
    if (!QFileInfo(path).isFile()) {
        ConfirmText->setText(openFailureText(path));
        return;
    }
    TMainForm& main = *mainForm();
    TClientDataSet& table = *main.ClientDataSet1;
    const QString previous = main.DataFilePath;
    const bool wasOpen = table.Active();
    try {
        // An edit in progress is kept: changed fields are posted before the old file is written.
        table.CheckBrowseMode();
        // Written to the old file when it changed.
        table.Close();
    } catch (const std::exception& error) {
        // The old file cannot be written: it stays open, nothing changes.
        ShowError(ExceptionText(error));
        return;
    }

    main.DataFilePath = path;
    table.SetFileName(path);
    try {
        table.Open();
    } catch (const std::exception& error) {
        // Not a data file: back to the previous one, which was just written, so nothing is lost.
        main.DataFilePath = previous;
        table.SetFileName(previous);
        if (wasOpen) {
            try {
                table.Open();
            } catch (const std::exception& again) {
                ShowError(ExceptionText(again));
            }
        }
        ShowError(ExceptionText(error));
        return;
    }
    close();
}

void TOpenForm::CloseBtnClick() { close(); }

}  // namespace pinleaf
