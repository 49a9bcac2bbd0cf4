#include "Application.h"

#include "ErrorReport.h"

#include <exception>

namespace pinleaf {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(ExceptionText(error));
    }
    return false;
}

}  // namespace pinleaf
