#pragma once
// The program's clock. Everything that reads the time of day or today's date goes through
// here, so that tests can move time on demand instead of waiting for it.

#include <QDate>
#include <QDateTime>

namespace pinleaf {

// The local date and time now (the time set for testing when there is one).
QDateTime Now();
inline QDate Today() { return Now().date(); }

// Fixes the clock at `now`; an invalid QDateTime gives the real clock back.
void setNowForTesting(const QDateTime& now);

}  // namespace pinleaf
