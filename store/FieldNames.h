#pragma once
// The names of the message record's fields, as the main window's handlers ask the table for
// them (TField access by name).

#include <QString>

namespace pinleaf::fields {

inline const QString kNumber = QStringLiteral("NUMBER");
inline const QString kTitle = QStringLiteral("TITLE");
inline const QString kMessage = QStringLiteral("MESSAGE");
inline const QString kDate = QStringLiteral("DATE");
inline const QString kTime = QStringLiteral("TIME");
inline const QString kUrl = QStringLiteral("URL");
inline const QString kLocked = QStringLiteral("LOCKED");
inline const QString kFinished = QStringLiteral("FINISHED");

}  // namespace pinleaf::fields
