#include "ErrorReport.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace pinleaf {

namespace {

void defaultHandler(const QString& text) {
    std::fprintf(stderr, "Pinleaf: %s\n", qPrintable(text));
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox::critical(nullptr, QStringLiteral("Pinleaf"), text);
    }
}

ErrorHandler& handler() {
    static ErrorHandler h = defaultHandler;
    return h;
}

}  // namespace

void ShowError(const QString& text) { handler()(text); }

QString ExceptionText(const std::exception& error) { return QString::fromUtf8(error.what()); }

ErrorHandler setErrorHandler(ErrorHandler h) {
    ErrorHandler previous = handler();
    handler() = h ? std::move(h) : ErrorHandler(defaultHandler);
    return previous;
}

}  // namespace pinleaf
