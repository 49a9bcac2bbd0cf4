#pragma once
// The application object. Exceptions that escape an event handler reach the default error
// report (ErrorReport.h) instead of ending the program.

#include <QApplication>

namespace pinleaf {

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace pinleaf
