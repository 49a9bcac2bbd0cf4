#pragma once
// The orders in which the user browses messages: the five named indexes of the message table
// and the mapping from the Sort on choice (field and direction) to the order put in force.
//
//   field    ascending                  descending
//   Title    temporary order on TITLE   index "TitleDe"
//   Number   index "NumberAs"           index "NumberDe"
//   Date     temporary order on DATE    index "DateDe"
//   Time     temporary order on TIME    index "TimeDe"

#include "ClientDataSet.h"

namespace pinleaf {

// The values are those of the "SortOn" setting.
enum class SortField { Title = 1, Number = 2, Date = 3, Time = 4 };

struct SortChoice {
    SortField field = SortField::Number;
    bool ascending = true;
};

// "SortOn" as read from the settings: 1 to 4 name a field, any other value means Number.
SortField sortFieldFromSetting(int sortOn);

// Adds "TitleDe", "NumberAs", "NumberDe", "DateDe" and "TimeDe", in that order.
void createSortIndexes(TClientDataSet& table);

// Puts the order for `choice` in force; the current record stays current.
void applySortOrder(TClientDataSet& table, SortChoice choice);

}  // namespace pinleaf
