#include "SortOrder.h"

namespace pinleaf {

SortField sortFieldFromSetting(int sortOn) {
    switch (sortOn) {
        case 1:
            return SortField::Title;
        case 3:
            return SortField::Date;
        case 4:
            return SortField::Time;
        default:
            return SortField::Number;
    }
}

void createSortIndexes(TClientDataSet& table) {
    table.AddIndex(QStringLiteral("TitleDe"), QStringLiteral("TITLE"), true);
    table.AddIndex(QStringLiteral("NumberAs"), QStringLiteral("NUMBER"), false);
    table.AddIndex(QStringLiteral("NumberDe"), QStringLiteral("NUMBER"), true);
    table.AddIndex(QStringLiteral("DateDe"), QStringLiteral("DATE"), true);
    table.AddIndex(QStringLiteral("TimeDe"), QStringLiteral("TIME"), true);
}

void applySortOrder(TClientDataSet& table, SortChoice choice) {
    switch (choice.field) {
        case SortField::Title:
            if (choice.ascending) {
                table.SetIndexFieldNames(QStringLiteral("TITLE"));
            } else {
                table.SetIndexName(QStringLiteral("TitleDe"));
            }
            break;
        case SortField::Number:
            table.SetIndexName(choice.ascending ? QStringLiteral("NumberAs")
                                                : QStringLiteral("NumberDe"));
            break;
        case SortField::Date:
            if (choice.ascending) {
                table.SetIndexFieldNames(QStringLiteral("DATE"));
            } else {
                table.SetIndexName(QStringLiteral("DateDe"));
            }
            break;
        case SortField::Time:
            if (choice.ascending) {
                table.SetIndexFieldNames(QStringLiteral("TIME"));
            } else {
                table.SetIndexName(QStringLiteral("TimeDe"));
            }
            break;
    }
}

}  // namespace pinleaf
