#pragma once
// Values and field definitions of the message table.
//
// A field value is either null (never given a value) or one value of the field's kind.
// Reading a null value as a number gives 0, as text "", as a flag false and as a date the
// date 0 (30 December 1899, the origin of the classic desktop date numbering).

#include <QDate>
#include <QString>

#include <variant>
#include <vector>

namespace pinleaf {

enum class FieldType {
    SmallInt,  // signed 16-bit whole number
    String,    // text of at most `size` characters
    Memo,      // text of any length
    Date,      // calendar date without time of day
    Boolean,   // flag
};

struct FieldDef {
    QString name;
    FieldType type;
    int size = 0;  // characters, for String fields only
};

// std::monostate is the null value. An int is used for SmallInt fields (range-checked on write).
using FieldValue = std::variant<std::monostate, int, QString, QDate, bool>;

// One record: a value per field, in the order of the table's field definitions.
using Record = std::vector<FieldValue>;

inline bool isNull(const FieldValue& v) { return std::holds_alternative<std::monostate>(v); }

// The date that a null date field reads as.
inline QDate zeroDate() { return QDate(1899, 12, 30); }

// Positions of the message record's fields.
enum MessageField : int {
    NUMBER = 0,
    TITLE = 1,
    MESSAGE = 2,
    DATE = 3,
    TIME = 4,
    URL = 5,
    LOCKED = 6,
    FINISHED = 7,
    MessageFieldCount = 8,
};

// The eight fields of a message, in record order: NUMBER, TITLE (50), MESSAGE, DATE,
// TIME (8), URL (100), LOCKED, FINISHED.
const std::vector<FieldDef>& messageFields();

}  // namespace pinleaf
