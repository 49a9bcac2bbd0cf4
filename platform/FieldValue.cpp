#include "FieldValue.h"

namespace pinleaf {

const std::vector<FieldDef>& messageFields() {
    static const std::vector<FieldDef> fields = {
        {QStringLiteral("NUMBER"), FieldType::SmallInt, 0},
        {QStringLiteral("TITLE"), FieldType::String, 50},
        {QStringLiteral("MESSAGE"), FieldType::Memo, 0},
        {QStringLiteral("DATE"), FieldType::Date, 0},
        {QStringLiteral("TIME"), FieldType::String, 8},
        {QStringLiteral("URL"), FieldType::String, 100},
        {QStringLiteral("LOCKED"), FieldType::Boolean, 0},
        {QStringLiteral("FINISHED"), FieldType::Boolean, 0},
    };
    return fields;
}

}  // namespace pinleaf
