// Pinleaf: a desktop organiser for short notes.

#include "Application.h"
#include "ConfirmU.h"
#include "ErrorReport.h"
#include "ErrorU.h"
#include "MainU.h"
#include "SingleInstance.h"
#include "UnixSignals.h"

#include <QSessionManager>

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

    TMainForm mainForm(QCoreApplication::arguments());
    // The dialogs live for the whole run and are reused by every caller.
    ConfirmForm = new TConfirmForm(&mainForm);
    ErrorForm = new TErrorForm(&mainForm);
    setErrorHandler(ShowErrorDialog);
    QObject::connect(&mainForm, &TMainForm::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&instance, &SingleInstance::showRequested, &mainForm, &TMainForm::Open1Click);

    // A logout, a shutdown or a termination signal closes the program as "Exit" does.
    QObject::connect(&terminationSignals, &TerminationSignals::terminationRequested, &mainForm,
                     [&mainForm] { mainForm.close(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &mainForm,
                     [&mainForm](QSessionManager&) { mainForm.close(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &mainForm,
                     [&mainForm] { mainForm.SaveOnExit(); });

    return app.exec();
}
