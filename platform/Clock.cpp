#include "Clock.h"

namespace pinleaf {

namespace {
QDateTime g_testNow;
}

QDateTime Now() { return g_testNow.isValid() ? g_testNow : QDateTime::currentDateTime(); }

void setNowForTesting(const QDateTime& now) { g_testNow = now; }

}  // namespace pinleaf
