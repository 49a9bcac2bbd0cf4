// Pinleaf: a desktop organiser for short notes.

#include "Application.h"
#include "BrowseU.h"
#include "ConfirmU.h"
#include "ErrorReport.h"
#include "ErrorU.h"
#include "MainU.h"
#include "OpenU.h"
#include "SingleInstance.h"
#include "UnixSignals.h"

#include <QSessionManager>
#include <QTimer>

using namespace pinleaf;

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    // The program lives on while its window is hidden; closing the main window ends it.
    app.setQuitOnLastWindowClosed(false);
    app.setApplicationName(QStringLiteral("Pinleaf"));
    app.setApplicationDisplayName(QStringLiteral("Pinleaf"));
    app.setApplicationVersion(QStringLiteral("3.1"));

    // Installed first, so that a signal that comes during start-up is not lost: it is
    // handled as soon as the event loop runs.
    TerminationSignals terminationSignals;

    SingleInstance instance;
    if (!instance.claim()) {
        return 0;
    }

    // An error that no caller handles is shown in the error dialog, and the program goes on.
    // The dialogs are made right after the main window: an error of its start-up is shown
    // as soon as the program runs.
    setErrorHandler([](const QString& text) {
        if (ErrorForm) {
            ShowErrorDialog(text);
        } else {
            QTimer::singleShot(0, [text] { ShowError(text); });
        }
    });

    TMainForm mainForm(QCoreApplication::arguments());
    // The dialogs live for the whole run and are reused by every caller.
    BrowseForm = new TBrowseForm(&mainForm);
    ConfirmForm = new TConfirmForm(&mainForm);
    OpenForm = new TOpenForm(&mainForm);
    ErrorForm = new TErrorForm(&mainForm);
    QObject::connect(&mainForm, &TMainForm::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&instance, &SingleInstance::showRequested, &mainForm, &TMainForm::Open1Click);

    // A logout, a shutdown or a termination signal closes the program as "Exit" does.
    QObject::connect(&terminationSignals, &TerminationSignals::terminationRequested, &mainForm,
                     [&mainForm] { mainForm.TerminationRequested(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &mainForm,
                     [&mainForm](QSessionManager&) { mainForm.TerminationRequested(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &mainForm,
                     [&mainForm] { mainForm.SaveOnExit(); });

    return app.exec();
}
