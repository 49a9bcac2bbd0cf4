#pragma once
// The program's default error report: an error that no caller handles is shown to the user
// with its own text, and the program goes on.

#include <QString>

#include <exception>
#include <functional>

namespace pinleaf {

using ErrorHandler = std::function<void(const QString& text)>;

// Shows `text` through the handler in force: by default a message box (and the text on
// stderr); the skinned error dialog once it exists; a recorder in tests.
void ShowError(const QString& text);
// The text of an exception caught by a `catch (...)`: what() of a std::exception.
QString ExceptionText(const std::exception& error);

// Replaces the handler; returns the previous one. An empty handler restores the default.
ErrorHandler setErrorHandler(ErrorHandler handler);

}  // namespace pinleaf
