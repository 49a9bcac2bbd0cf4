#include "EditingRules.h"

#include "ClientDataSet.h"
#include "Clock.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLocale>

#include <cstdlib>

namespace pinleaf {

int FirstFreeNumber(int start, const UndockedNumberSet& undocked) {
    int n = start;
    while (n < UndockedNumberSet::kLimit && undocked.contains(n)) {
        ++n;
    }
    return n;
}

QString TimeStamp(const QTime& now) {
    // In tenths of a millisecond, so that 1.15e-5 of a day (9936 tenths) is exact.
    long long tenths = static_cast<long long>(now.msecsSinceStartOfDay()) * 10 - 9936;
    tenths = std::llabs(tenths);
    const int seconds = static_cast<int>(tenths / 10000);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString TimeStamp() {
    return TimeStamp(Now().time());
}

bool MessageIsBlank(TClientDataSet& table) {
    for (const char* name : {"TITLE", "NUMBER", "DATE", "TIME", "URL"}) {
        if (!table.FieldByName(QLatin1String(name)).AsString().isEmpty()) {
            return false;
        }
    }
    return true;
}

QString DeleteQuestion(int number, const QDate& date, const QString& time) {
    return QStringLiteral("Do you really want to delete message %1 made on %2 at %3?")
        .arg(QString::number(number), QLocale().toString(date, QLocale::ShortFormat), time);
}

QString UnlockQuestion(int number) {
    return QStringLiteral("Message %1 is locked.\rDo you want to unlock this message now?")
        .arg(number);
}

QString NoFreeNumberText() {
    return QStringLiteral("No message number is free: the highest number, %1, is in use.")
        .arg(kHighestMessageNumber);
}

bool KeyTypesIntoField(const QKeyEvent& event) {
    for (QKeySequence::StandardKey key :
         {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo}) {
        if (event.matches(key)) {
            return true;
        }
    }
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            return (event.modifiers() &
                    (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
        default:
            break;
    }
    const QString text = event.text();
    if (text.isEmpty() ||
        (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        return false;
    }
    for (const QChar c : text) {
        if (!c.isPrint() && !c.isSurrogate()) {
            return false;
        }
    }
    return true;
}

}  // namespace pinleaf
