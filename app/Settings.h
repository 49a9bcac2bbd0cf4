#pragma once
// Where the program keeps its settings: the keys, the main section and its entries. Every
// value is stored as text; flags as "0"/"1", numbers in decimal.

#include <QString>

namespace pinleaf::settings {

// The main window's two keys, under the current user.
inline const QString kCompanyKey = QStringLiteral("Software\\Corvane Software\u2122");
inline const QString kSoundSchemeKey = QStringLiteral("AppEvents\\Schemes\\Apps\\Pinleaf");
// Web addresses typed into the browser, offered as completions of the web address field.
inline const QString kTypedUrlsKey =
    QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs");

// The main section of kCompanyKey.
inline const QString kSection = QStringLiteral("Pinleaf");

// Entries of the main section, with their defaults.
inline const QString kFileLocation = QStringLiteral("FileLocation");  // "Pinleaf.cds"
inline const QString kDefaultDataFile = QStringLiteral("Pinleaf.cds");
inline const QString kLeft = QStringLiteral("Left");                  // 10000 / 10
inline const QString kTop = QStringLiteral("Top");                    // 10000 / 10
inline const QString kAlarm = QStringLiteral("Alarm");                // off
inline const QString kAlwaysOnTop = QStringLiteral("AlwaysOnTop");    // off
inline const QString kAnimatedIcon = QStringLiteral("AnimatedIcon");  // on
inline const QString kAscending = QStringLiteral("Ascending");        // on
inline const QString kSortOn = QStringLiteral("SortOn");              // 2
inline const QString kSliced = QStringLiteral("Sliced");              // off
inline const QString kExtracted = QStringLiteral("Extracted");        // off
inline const QString kShowing = QStringLiteral("Showing");            // on
inline const QString kRecordNumber = QStringLiteral("RecordNumber");  // 0

}  // namespace pinleaf::settings
