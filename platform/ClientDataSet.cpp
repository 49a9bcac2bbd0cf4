#include "ClientDataSet.h"

#include "DataFile.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>

namespace pinleaf {

namespace {

// Records carry a sequence number given when they enter the table: reading numbers them in
// file order and every insert takes the next number, so the file order is the order of the
// sequence numbers and a record keeps its number for as long as it lives.
using Seq = quint64;

struct Row {
    Record values;
};

// ---- Comparing values -------------------------------------------------------------------

// Text in Unicode code point order. Plain UTF-16 unit order would put characters beyond the
// Basic Multilingual Plane (surrogate pairs) before U+E000..U+FFFF.
int compareText(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    const QChar* pa = a.constData();
    const QChar* pb = b.constData();
    for (qsizetype i = 0; i < n; ++i) {
        int x = pa[i].unicode();
        int y = pb[i].unicode();
        if (x != y) {
            if (x >= 0xD800 && y >= 0xD800) {
                // Move the surrogates above U+E000..U+FFFF.
                x = x >= 0xE000 ? x - 0x800 : x + 0x2000;
                y = y >= 0xE000 ? y - 0x800 : y + 0x2000;
            }
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Null before every value; values of one kind by their natural order. Values of different
// kinds (which a well-formed table never holds in one field) by the kind, to stay consistent.
int compareValues(const FieldValue& a, const FieldValue& b) {
    if (a.index() != b.index()) {
        return a.index() < b.index() ? -1 : 1;
    }
    if (const int* x = std::get_if<int>(&a)) {
        const int y = std::get<int>(b);
        return *x == y ? 0 : (*x < y ? -1 : 1);
    }
    if (const QString* x = std::get_if<QString>(&a)) {
        return compareText(*x, std::get<QString>(b));
    }
    if (const QDate* x = std::get_if<QDate>(&a)) {
        const QDate& y = std::get<QDate>(b);
        return *x == y ? 0 : (*x < y ? -1 : 1);
    }
    if (const bool* x = std::get_if<bool>(&a)) {
        const bool y = std::get<bool>(b);
        return *x == y ? 0 : (!*x ? -1 : 1);
    }
    return 0;  // both null
}

// ---- Orders -----------------------------------------------------------------------------

struct OrderEntry {
    FieldValue key;
    Seq seq;
    const Row* row;
};

// Key order (reversed for a descending order), equal keys in file order.
struct OrderLess {
    bool descending = false;
    bool operator()(const OrderEntry& a, const OrderEntry& b) const {
        const int c = compareValues(a.key, b.key);
        if (c != 0) {
            return descending ? c > 0 : c < 0;
        }
        return a.seq < b.seq;
    }
};

using OrderSet = std::set<OrderEntry, OrderLess>;
// An order: a field and whether it is descending.
using OrderKey = std::pair<int, bool>;

// ---- Converting values ------------------------------------------------------------------

QString quoted(const QString& text) {
    return QStringLiteral("\u2018") + text + QStringLiteral("\u2019");
}

[[noreturn]] void fail(const QString& message) {
    throw EDatabaseError(message.toStdString());
}

// Two-digit years of the locale's short date form fall in the 100 years that end 50 years
// after the current year, as the desktop's date conversion has always read them.
QDate parseDate(const QString& text) {
    QDate date = QDate::fromString(text, Qt::ISODate);
    if (date.isValid()) {
        return date;
    }
    const QLocale locale;
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")) && format.contains(QLatin1String("yy"))) {
        QString longYears = format;
        longYears.replace(QLatin1String("yy"), QLatin1String("yyyy"));
        date = locale.toDate(text, longYears);
        if (date.isValid()) {
            return date;
        }
        date = locale.toDate(text, format);
        if (date.isValid()) {
            const int thisYear = QDate::currentDate().year();
            while (date.year() <= thisYear - 50) {
                date = date.addYears(100);
            }
            return date;
        }
        return {};
    }
    return locale.toDate(text, format);
}

bool parseFlag(const QString& text, bool* ok) {
    *ok = true;
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
        text == QLatin1String("1")) {
        return true;
    }
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
        text == QLatin1String("0")) {
        return false;
    }
    *ok = false;
    return false;
}

QString flagText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString dateText(const QDate& date) {
    return QLocale().toString(date, QLocale::ShortFormat);
}

// The value as it is stored in a field of the kind `def`: converted where the kinds differ,
// range-checked, and (with `cut`) text cut to a String field's size. Empty text and an
// invalid date are null. Throws EDatabaseError for a value the field cannot hold.
FieldValue storedValue(const FieldDef& def, const FieldValue& value, bool cut = true) {
    if (isNull(value)) {
        return {};
    }
    if (const QString* text = std::get_if<QString>(&value); text && text->isEmpty()) {
        return {};
    }
    const auto cannot = [&](const QString& what) -> FieldValue {
        fail(QStringLiteral("Field %1 cannot hold %2.").arg(quoted(def.name), what));
    };
    switch (def.type) {
        case FieldType::SmallInt: {
            int number = 0;
            if (const int* n = std::get_if<int>(&value)) {
                number = *n;
            } else if (const QString* text = std::get_if<QString>(&value)) {
                bool ok = false;
                const qlonglong parsed = text->trimmed().toLongLong(&ok);
                if (!ok) {
                    fail(QStringLiteral("%1 is not a valid whole number for field %2.")
                             .arg(quoted(*text), quoted(def.name)));
                }
                if (parsed < -32768 || parsed > 32767) {
                    fail(
                        QStringLiteral("%1 is not a valid value for field %2. The allowed range is "
                                       "-32768 to 32767.")
                            .arg(*text, quoted(def.name)));
                }
                number = static_cast<int>(parsed);
            } else {
                return cannot(std::holds_alternative<bool>(value) ? QStringLiteral("a flag")
                                                                  : QStringLiteral("a date"));
            }
            if (number < -32768 || number > 32767) {
                fail(QStringLiteral("%1 is not a valid value for field %2. The allowed range is "
                                    "-32768 to 32767.")
                         .arg(number)
                         .arg(quoted(def.name)));
            }
            return number;
        }
        case FieldType::String:
        case FieldType::Memo: {
            QString text;
            if (const QString* t = std::get_if<QString>(&value)) {
                text = *t;
            } else if (const int* n = std::get_if<int>(&value)) {
                text = QString::number(*n);
            } else if (const bool* b = std::get_if<bool>(&value)) {
                text = flagText(*b);
            } else {
                const QDate& d = std::get<QDate>(value);
                if (!d.isValid()) {
                    return {};
                }
                text = dateText(d);
            }
            if (cut && def.type == FieldType::String && def.size > 0 && text.size() > def.size) {
                text.truncate(def.size);
            }
            return text;
        }
        case FieldType::Date: {
            if (const QDate* d = std::get_if<QDate>(&value)) {
                return d->isValid() ? FieldValue(*d) : FieldValue{};
            }
            if (const QString* text = std::get_if<QString>(&value)) {
                const QDate d = parseDate(text->trimmed());
                if (!d.isValid()) {
                    fail(QStringLiteral("%1 is not a valid date for field %2.")
                             .arg(quoted(*text), quoted(def.name)));
                }
                return d;
            }
            return cannot(std::holds_alternative<bool>(value) ? QStringLiteral("a flag")
                                                              : QStringLiteral("a number"));
        }
        case FieldType::Boolean: {
            if (const bool* b = std::get_if<bool>(&value)) {
                return *b;
            }
            if (const int* n = std::get_if<int>(&value)) {
                return *n != 0;
            }
            if (const QString* text = std::get_if<QString>(&value)) {
                bool ok = false;
                const bool flag = parseFlag(text->trimmed(), &ok);
                if (!ok) {
                    fail(QStringLiteral("%1 is not a valid flag for field %2.")
                             .arg(quoted(*text), quoted(def.name)));
                }
                return flag;
            }
            return cannot(QStringLiteral("a date"));
        }
    }
    return {};
}

// A record from the file fitted to the table: one value per field, each of the field's kind.
// A value that does not fit is dropped (null) rather than refusing the whole file.
Record fittedRecord(const std::vector<FieldDef>& fields, Record values) {
    values.resize(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        try {
            values[i] = storedValue(fields[i], values[i]);
        } catch (const EDatabaseError&) {
            values[i] = FieldValue{};
        }
    }
    return values;
}

// One term of the view filter, then what may follow it.
const QRegularExpression& filterTerm() {
    static const QRegularExpression re(
        QStringLiteral("\\s*\\(\\s*NUMBER\\s*<>\\s*([+-]?\\d+)\\s*\\)\\s*"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

const QRegularExpression& filterAnd() {
    static const QRegularExpression re(QStringLiteral("AND"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

// The numbers a filter expression hides, sorted and unique. Throws for any other text.
std::vector<int> parseFilter(const QString& expression) {
    std::vector<int> numbers;
    if (expression.trimmed().isEmpty()) {
        return numbers;
    }
    const auto bad = [&]() {
        fail(QStringLiteral("The filter %1 is not valid: it must be terms (NUMBER <> n) joined "
                            "by AND.")
                 .arg(quoted(expression)));
    };
    qsizetype pos = 0;
    for (;;) {
        const QRegularExpressionMatch term =
            filterTerm().match(expression, pos, QRegularExpression::NormalMatch,
                               QRegularExpression::AnchorAtOffsetMatchOption);
        if (!term.hasMatch()) {
            bad();
        }
        bool ok = false;
        const int n = term.captured(1).toInt(&ok);
        if (!ok) {
            bad();
        }
        numbers.push_back(n);
        pos = term.capturedEnd(0);
        if (pos == expression.size()) {
            break;
        }
        const QRegularExpressionMatch conj =
            filterAnd().match(expression, pos, QRegularExpression::NormalMatch,
                              QRegularExpression::AnchorAtOffsetMatchOption);
        if (!conj.hasMatch()) {
            bad();
        }
        pos = conj.capturedEnd(0);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

int findField(const std::vector<FieldDef>& fields, const QString& name) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

// ---- The table's state ------------------------------------------------------------------

struct TClientDataSet::Impl {
    struct IndexDef {
        QString name;
        int field;
        bool descending;
    };

    explicit Impl(TClientDataSet* owner, std::vector<FieldDef> defs)
        : q(owner),
          fields(std::move(defs)),
          numberField(findField(fields, QStringLiteral("NUMBER"))) {}

    TClientDataSet* q;
    std::vector<FieldDef> fields;
    int numberField;
    QString fileName;

    bool active = false;
    DataSetState state = DataSetState::Inactive;
    bool changed = false;

    // The records in file order.
    std::map<Seq, Row> rows;
    Seq nextSeq = 0;
    // How many records hold each NUMBER (for counting the visible records).
    std::unordered_map<int, int> numberCounts;

    // The current record: always a visible one while browsing, none when the view is empty.
    std::optional<Seq> cursor;
    bool eof = true;
    bool bof = true;

    // The edit buffer of the Edit and Insert states.
    Record buffer;
    bool modified = false;
    std::optional<Seq> cursorBeforeInsert;

    std::vector<IndexDef> indexDefs;
    QString indexName;
    QString indexFieldNames;
    std::optional<OrderKey> order;  // none: file order
    // Orders built so far; built on first use, then kept up to date with every change.
    std::map<OrderKey, OrderSet> orders;

    QString filter;
    std::vector<int> hiddenNumbers;

    void requireActive() const {
        if (!active) {
            fail(QStringLiteral("Cannot perform this operation on a closed table."));
        }
    }

    const Record* currentValues() const {
        if (state == DataSetState::Edit || state == DataSetState::Insert) {
            return &buffer;
        }
        if (active && cursor) {
            return &rows.at(*cursor).values;
        }
        return nullptr;
    }

    bool visible(const Row& row) const {
        if (hiddenNumbers.empty() || numberField < 0) {
            return true;
        }
        const int* n = std::get_if<int>(&row.values[numberField]);
        return !n || !std::binary_search(hiddenNumbers.begin(), hiddenNumbers.end(), *n);
    }

    int hiddenCount() const {
        int hidden = 0;
        for (int n : hiddenNumbers) {
            if (auto it = numberCounts.find(n); it != numberCounts.end()) {
                hidden += it->second;
            }
        }
        return hidden;
    }

    void count(const Record& values, int delta) {
        if (numberField < 0) {
            return;
        }
        if (const int* n = std::get_if<int>(&values[numberField])) {
            if ((numberCounts[*n] += delta) == 0) {
                numberCounts.erase(*n);
            }
        }
    }

    OrderSet& orderSet(const OrderKey& key) {
        auto it = orders.find(key);
        if (it != orders.end()) {
            return it->second;
        }
        std::vector<OrderEntry> entries;
        entries.reserve(rows.size());
        for (const auto& [seq, row] : rows) {
            entries.push_back({row.values[key.first], seq, &row});
        }
        const OrderLess less{key.second};
        std::sort(entries.begin(), entries.end(), less);
        OrderSet set(less);
        for (OrderEntry& e : entries) {
            set.insert(set.end(), std::move(e));
        }
        return orders.emplace(key, std::move(set)).first->second;
    }

    Seq addRow(Record values) {
        const Seq seq = nextSeq++;
        Row& row = rows.emplace(seq, Row{std::move(values)}).first->second;
        for (auto& [key, set] : orders) {
            set.insert({row.values[key.first], seq, &row});
        }
        count(row.values, +1);
        return seq;
    }

    void removeRow(Seq seq) {
        auto it = rows.find(seq);
        for (auto& [key, set] : orders) {
            set.erase({it->second.values[key.first], seq, nullptr});
        }
        count(it->second.values, -1);
        rows.erase(it);
    }

    void replaceRow(Seq seq, Record values) {
        Row& row = rows.at(seq);
        for (auto& [key, set] : orders) {
            const int f = key.first;
            if (compareValues(row.values[f], values[f]) != 0) {
                set.erase({row.values[f], seq, nullptr});
                set.insert({values[f], seq, &row});
            }
        }
        count(row.values, -1);
        count(values, +1);
        row.values = std::move(values);
    }

    template <class It, class Get>
    std::optional<Seq> firstVisibleFrom(It it, It end, Get get) const {
        for (; it != end; ++it) {
            const auto [seq, row] = get(*it);
            if (visible(*row)) {
                return seq;
            }
        }
        return std::nullopt;
    }

    static std::pair<Seq, const Row*> ofRow(const std::pair<const Seq, Row>& p) {
        return {p.first, &p.second};
    }
    static std::pair<Seq, const Row*> ofEntry(const OrderEntry& e) { return {e.seq, e.row}; }

    std::optional<Seq> firstVisibleInFileOrder() const {
        return firstVisibleFrom(rows.begin(), rows.end(), ofRow);
    }

    // The first (or, backwards, the last) visible record in the order in force.
    std::optional<Seq> edgeVisible(bool backwards) {
        if (!order) {
            return backwards ? firstVisibleFrom(rows.rbegin(), rows.rend(), ofRow)
                             : firstVisibleFrom(rows.begin(), rows.end(), ofRow);
        }
        const OrderSet& set = orderSet(*order);
        return backwards ? firstVisibleFrom(set.rbegin(), set.rend(), ofEntry)
                         : firstVisibleFrom(set.begin(), set.end(), ofEntry);
    }

    // The visible record after (or before) the record `seq` in the order in force.
    std::optional<Seq> neighbour(Seq seq, bool backwards) {
        if (!order) {
            auto it = rows.find(seq);
            if (backwards) {
                return firstVisibleFrom(std::make_reverse_iterator(it), rows.rend(), ofRow);
            }
            return firstVisibleFrom(std::next(it), rows.end(), ofRow);
        }
        const OrderSet& set = orderSet(*order);
        auto it = set.find({rows.at(seq).values[order->first], seq, nullptr});
        if (backwards) {
            return firstVisibleFrom(std::make_reverse_iterator(it), set.rend(), ofEntry);
        }
        return firstVisibleFrom(std::next(it), set.end(), ofEntry);
    }

    // Where the cursor goes when the record `seq` leaves the view.
    std::optional<Seq> replacementFor(Seq seq) {
        if (auto next = neighbour(seq, false)) {
            return next;
        }
        return neighbour(seq, true);
    }

    void setCursor(std::optional<Seq> seq) {
        cursor = seq;
        eof = bof = !seq.has_value();
    }

    std::vector<Record> postedRecords() const {
        std::vector<Record> records;
        records.reserve(rows.size());
        for (const auto& [seq, row] : rows) {
            records.push_back(row.values);
        }
        return records;
    }

    void loadRows(std::vector<Record> records) {
        for (Record& r : records) {
            addRow(fittedRecord(fields, std::move(r)));
        }
    }

    // Back to the closed state. The named indexes go with the records; a field order stays,
    // as it names a field, which the table keeps.
    void reset() {
        active = false;
        state = DataSetState::Inactive;
        changed = false;
        rows.clear();
        nextSeq = 0;
        numberCounts.clear();
        orders.clear();
        cursor.reset();
        eof = bof = true;
        buffer.clear();
        modified = false;
        cursorBeforeInsert.reset();
        indexDefs.clear();
        indexName.clear();
        order.reset();
        if (!indexFieldNames.isEmpty()) {
            order = OrderKey{findField(fields, indexFieldNames), false};
        }
    }

    const IndexDef* findIndex(const QString& name) const {
        for (const IndexDef& def : indexDefs) {
            if (def.name.compare(name, Qt::CaseInsensitive) == 0) {
                return &def;
            }
        }
        return nullptr;
    }

    void writeField(int index, const FieldValue& value) {
        if (state != DataSetState::Edit && state != DataSetState::Insert) {
            fail(QStringLiteral("Cannot change field %1: the table is not in edit or insert mode.")
                     .arg(quoted(fields.at(index).name)));
        }
        buffer[index] = storedValue(fields.at(index), value);
        modified = true;
        emit q->dataChanged();
    }

    const FieldDef& def(int index) const { return fields.at(index); }
};

namespace {

void runEvent(const TClientDataSet::Event& event, TClientDataSet& table) {
    if (event) {
        // A copy, so that a hook may replace itself while it runs.
        const TClientDataSet::Event hook = event;
        hook(table);
    }
}

}  // namespace

// ---- TField -----------------------------------------------------------------------------

QString TField::FieldName() const {
    return table_->d->def(index_).name;
}

FieldValue TField::Value() const {
    const Record* values = table_->d->currentValues();
    return values ? values->at(index_) : FieldValue{};
}

bool TField::IsNull() const {
    return isNull(Value());
}

void TField::SetValue(const FieldValue& value) {
    table_->d->writeField(index_, value);
}

int TField::AsInteger() const {
    const FieldValue v = Value();
    if (const int* n = std::get_if<int>(&v)) {
        return *n;
    }
    if (const QString* text = std::get_if<QString>(&v)) {
        bool ok = false;
        const int n = text->trimmed().toInt(&ok);
        if (!ok) {
            fail(QStringLiteral("%1 is not a valid whole number.").arg(quoted(*text)));
        }
        return n;
    }
    if (isNull(v)) {
        return 0;
    }
    fail(QStringLiteral("Field %1 cannot be read as a number.").arg(quoted(FieldName())));
}

void TField::SetAsInteger(int value) {
    SetValue(value);
}

QString TField::AsString() const {
    const FieldValue v = Value();
    if (const QString* text = std::get_if<QString>(&v)) {
        return *text;
    }
    if (const int* n = std::get_if<int>(&v)) {
        return QString::number(*n);
    }
    if (const QDate* d = std::get_if<QDate>(&v)) {
        return dateText(*d);
    }
    if (const bool* b = std::get_if<bool>(&v)) {
        return flagText(*b);
    }
    return {};
}

void TField::SetAsString(const QString& value) {
    SetValue(value);
}

bool TField::AsBoolean() const {
    const FieldValue v = Value();
    if (const bool* b = std::get_if<bool>(&v)) {
        return *b;
    }
    if (isNull(v)) {
        return false;
    }
    if (const QString* text = std::get_if<QString>(&v)) {
        bool ok = false;
        const bool flag = parseFlag(text->trimmed(), &ok);
        if (ok) {
            return flag;
        }
        fail(QStringLiteral("%1 is not a valid flag.").arg(quoted(*text)));
    }
    if (const int* n = std::get_if<int>(&v)) {
        return *n != 0;
    }
    fail(QStringLiteral("Field %1 cannot be read as a flag.").arg(quoted(FieldName())));
}

void TField::SetAsBoolean(bool value) {
    SetValue(value);
}

QDate TField::AsDate() const {
    const FieldValue v = Value();
    if (const QDate* d = std::get_if<QDate>(&v)) {
        return *d;
    }
    if (isNull(v)) {
        return zeroDate();
    }
    if (const QString* text = std::get_if<QString>(&v)) {
        const QDate d = parseDate(text->trimmed());
        if (d.isValid()) {
            return d;
        }
        fail(QStringLiteral("%1 is not a valid date.").arg(quoted(*text)));
    }
    fail(QStringLiteral("Field %1 cannot be read as a date.").arg(quoted(FieldName())));
}

void TField::SetAsDate(const QDate& value) {
    SetValue(value);
}

// ---- TClientDataSet ---------------------------------------------------------------------

TClientDataSet::TClientDataSet(QObject* parent) : TClientDataSet(messageFields(), parent) {}

TClientDataSet::TClientDataSet(std::vector<FieldDef> fields, QObject* parent)
    : QObject(parent), d(std::make_unique<Impl>(this, std::move(fields))) {}

// Destroying an open table does not write it: the program closes the table itself, where a
// failed write can still be reported.
TClientDataSet::~TClientDataSet() = default;

const std::vector<FieldDef>& TClientDataSet::Fields() const {
    return d->fields;
}

QString TClientDataSet::FileName() const {
    return d->fileName;
}

void TClientDataSet::SetFileName(const QString& path) {
    d->fileName = path;
}

bool TClientDataSet::Active() const {
    return d->active;
}

void TClientDataSet::SetActive(bool active) {
    if (active == d->active) {
        return;
    }
    if (!active) {
        // Write first: when the write fails the table stays as it was, edit and all.
        if (d->changed && !d->fileName.isEmpty()) {
            datafile::write(d->fileName, d->postedRecords());
        }
        d->reset();
        emit dataChanged();
        return;
    }
    runEvent(BeforeOpen, *this);
    if (d->active) {
        return;  // BeforeOpen opened the table itself
    }
    std::vector<Record> records = datafile::read(d->fileName);
    d->loadRows(std::move(records));
    d->active = true;
    d->state = DataSetState::Browse;
    d->changed = false;
    d->setCursor(d->firstVisibleInFileOrder());
    emit dataChanged();
    runEvent(AfterOpen, *this);
    if (d->active && d->cursor) {
        runEvent(AfterScroll, *this);
    }
}

void TClientDataSet::CreateDataSet() {
    if (d->active) {
        fail(QStringLiteral("Cannot create the table: it is already open."));
    }
    runEvent(BeforeOpen, *this);
    if (d->active) {
        fail(QStringLiteral("Cannot create the table: it is already open."));
    }
    d->active = true;
    d->state = DataSetState::Browse;
    d->changed = false;
    d->setCursor(std::nullopt);
    emit dataChanged();
    runEvent(AfterOpen, *this);
    if (d->active && d->cursor) {
        runEvent(AfterScroll, *this);
    }
}

DataSetState TClientDataSet::State() const {
    return d->state;
}

void TClientDataSet::CheckBrowseMode() {
    if (d->state == DataSetState::Edit || d->state == DataSetState::Insert) {
        if (Modified()) {
            Post();
        } else {
            Cancel();
        }
    }
}

void TClientDataSet::First() {
    d->requireActive();
    CheckBrowseMode();
    const std::optional<Seq> before = d->cursor;
    d->setCursor(d->edgeVisible(false));
    if (d->cursor != before) {
        emit dataChanged();
    }
    runEvent(AfterScroll, *this);
}

void TClientDataSet::Last() {
    d->requireActive();
    CheckBrowseMode();
    const std::optional<Seq> before = d->cursor;
    d->setCursor(d->edgeVisible(true));
    if (d->cursor != before) {
        emit dataChanged();
    }
    runEvent(AfterScroll, *this);
}

void TClientDataSet::Next() {
    d->requireActive();
    CheckBrowseMode();
    if (!d->cursor) {
        d->eof = d->bof = true;
    } else if (const std::optional<Seq> next = d->neighbour(*d->cursor, false)) {
        d->setCursor(next);
        emit dataChanged();
    } else {
        d->eof = true;
        d->bof = false;
    }
    runEvent(AfterScroll, *this);
}

void TClientDataSet::Prior() {
    d->requireActive();
    CheckBrowseMode();
    if (!d->cursor) {
        d->eof = d->bof = true;
    } else if (const std::optional<Seq> prior = d->neighbour(*d->cursor, true)) {
        d->setCursor(prior);
        emit dataChanged();
    } else {
        d->bof = true;
        d->eof = false;
    }
    runEvent(AfterScroll, *this);
}

bool TClientDataSet::Eof() const {
    return d->eof;
}

bool TClientDataSet::Bof() const {
    return d->bof;
}

int TClientDataSet::RecordCount() const {
    if (!d->active) {
        return 0;
    }
    return static_cast<int>(d->rows.size()) - d->hiddenCount();
}

void TClientDataSet::Edit() {
    d->requireActive();
    CheckBrowseMode();
    if (!d->cursor) {
        Insert();
        return;
    }
    d->buffer = d->rows.at(*d->cursor).values;
    d->modified = false;
    d->state = DataSetState::Edit;
    emit dataChanged();
}

void TClientDataSet::Insert() {
    d->requireActive();
    CheckBrowseMode();
    d->cursorBeforeInsert = d->cursor;
    d->buffer = Record(d->fields.size());
    d->modified = false;
    d->state = DataSetState::Insert;
    emit dataChanged();
    runEvent(AfterInsert, *this);
}

void TClientDataSet::Post() {
    if (d->state != DataSetState::Edit && d->state != DataSetState::Insert) {
        return;
    }
    Seq seq;
    if (d->state == DataSetState::Edit) {
        seq = *d->cursor;
        d->replaceRow(seq, std::move(d->buffer));
    } else {
        seq = d->addRow(std::move(d->buffer));
    }
    d->buffer.clear();
    d->modified = false;
    d->cursorBeforeInsert.reset();
    d->state = DataSetState::Browse;
    d->changed = true;
    // A record that the filter hides once posted leaves the view like a deleted one.
    d->setCursor(d->visible(d->rows.at(seq)) ? std::optional<Seq>(seq) : d->replacementFor(seq));
    emit tableChanged();
    emit dataChanged();
    runEvent(AfterPost, *this);
}

void TClientDataSet::Cancel() {
    if (d->state == DataSetState::Insert) {
        d->setCursor(d->cursorBeforeInsert);
        d->cursorBeforeInsert.reset();
    } else if (d->state != DataSetState::Edit) {
        return;
    }
    d->buffer.clear();
    d->modified = false;
    d->state = DataSetState::Browse;
    emit dataChanged();
}

void TClientDataSet::Delete() {
    d->requireActive();
    if (d->state == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (!d->cursor) {
        fail(QStringLiteral("Cannot delete: the table shows no record."));
    }
    if (d->state == DataSetState::Edit) {
        Cancel();
    }
    const Seq seq = *d->cursor;
    const std::optional<Seq> next = d->replacementFor(seq);
    d->removeRow(seq);
    d->setCursor(next);
    d->changed = true;
    emit tableChanged();
    emit dataChanged();
    runEvent(AfterDelete, *this);
}

void TClientDataSet::InsertRecord(const Record& values) {
    d->requireActive();
    if (values.size() > d->fields.size()) {
        fail(QStringLiteral("Cannot insert a record of %1 values into a table of %2 fields.")
                 .arg(values.size())
                 .arg(d->fields.size()));
    }
    Record record(d->fields.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        record[i] = storedValue(d->fields[i], values[i]);
    }
    Insert();  // AfterInsert sees the blank record, as with a step-by-step insert
    if (d->state != DataSetState::Insert) {
        // AfterInsert finished the insert itself; carry on with a fresh one.
        d->cursorBeforeInsert = d->cursor;
        d->state = DataSetState::Insert;
    }
    d->buffer = std::move(record);
    d->modified = true;
    Post();
}

TField TClientDataSet::FieldByName(const QString& name) {
    const int index = findField(d->fields, name);
    if (index < 0) {
        fail(QStringLiteral("Field %1 not found.").arg(quoted(name)));
    }
    return TField(this, index);
}

bool TClientDataSet::Modified() const {
    return (d->state == DataSetState::Edit || d->state == DataSetState::Insert) && d->modified;
}

void TClientDataSet::AddIndex(const QString& name, const QString& fieldName, bool descending) {
    if (name.trimmed().isEmpty()) {
        fail(QStringLiteral("An index needs a name."));
    }
    const int field = findField(d->fields, fieldName);
    if (field < 0) {
        fail(QStringLiteral("Cannot add index %1: field %2 not found.")
                 .arg(quoted(name), quoted(fieldName)));
    }
    // Adding a name again redefines the index.
    for (Impl::IndexDef& def : d->indexDefs) {
        if (def.name.compare(name, Qt::CaseInsensitive) == 0) {
            def.field = field;
            def.descending = descending;
            if (def.name == d->indexName) {
                d->order = OrderKey{field, descending};
            }
            return;
        }
    }
    d->indexDefs.push_back({name, field, descending});
}

QStringList TClientDataSet::IndexNames() const {
    QStringList names;
    for (const Impl::IndexDef& def : d->indexDefs) {
        names << def.name;
    }
    return names;
}

QString TClientDataSet::IndexName() const {
    return d->indexName;
}

void TClientDataSet::SetIndexName(const QString& name) {
    std::optional<OrderKey> order;
    QString canonical;
    if (!name.isEmpty()) {
        const Impl::IndexDef* def = d->findIndex(name);
        if (!def) {
            fail(QStringLiteral("Index %1 not found.").arg(quoted(name)));
        }
        order = OrderKey{def->field, def->descending};
        canonical = def->name;
    }
    if (d->active) {
        CheckBrowseMode();
    }
    d->indexName = canonical;
    d->indexFieldNames.clear();
    d->order = order;
    if (d->active) {
        if (d->order) {
            d->orderSet(*d->order);
        }
        d->eof = d->bof = !d->cursor;
    }
}

QString TClientDataSet::IndexFieldNames() const {
    return d->indexFieldNames;
}

void TClientDataSet::SetIndexFieldNames(const QString& fieldName) {
    std::optional<OrderKey> order;
    QString canonical;
    if (!fieldName.isEmpty()) {
        const int field = findField(d->fields, fieldName);
        if (field < 0) {
            fail(QStringLiteral("Field %1 not found.").arg(quoted(fieldName)));
        }
        order = OrderKey{field, false};
        canonical = d->fields[field].name;
    }
    if (d->active) {
        CheckBrowseMode();
    }
    d->indexFieldNames = canonical;
    d->indexName.clear();
    d->order = order;
    if (d->active) {
        if (d->order) {
            d->orderSet(*d->order);
        }
        d->eof = d->bof = !d->cursor;
    }
}

bool TClientDataSet::FindKey(const FieldValue& key) {
    d->requireActive();
    if (!d->order) {
        fail(QStringLiteral("Cannot look up a key: no index or field order is in force."));
    }
    // Not cut to the field's size: a longer text matches no record.
    const FieldValue wanted = storedValue(d->def(d->order->first), key, false);
    CheckBrowseMode();
    const OrderSet& set = d->orderSet(*d->order);
    for (auto it = set.lower_bound({wanted, 0, nullptr});
         it != set.end() && compareValues(it->key, wanted) == 0; ++it) {
        if (d->visible(*it->row)) {
            const bool moved = d->cursor != it->seq;
            d->setCursor(it->seq);
            if (moved) {
                emit dataChanged();
            }
            runEvent(AfterScroll, *this);
            return true;
        }
    }
    return false;
}

QString TClientDataSet::Filter() const {
    return d->filter;
}

void TClientDataSet::SetFilter(const QString& expression) {
    std::vector<int> hidden = parseFilter(expression);
    if (!hidden.empty() && d->numberField < 0) {
        fail(QStringLiteral("Cannot filter on NUMBER: the table has no such field."));
    }
    if (d->active) {
        CheckBrowseMode();
    }
    d->filter = expression;
    d->hiddenNumbers = std::move(hidden);
    if (d->active) {
        d->setCursor(d->edgeVisible(false));
        emit dataChanged();
        runEvent(AfterScroll, *this);
    }
}

bool TClientDataSet::ChangedSinceWrite() const {
    return d->changed;
}

void TClientDataSet::SaveChanges() {
    if (!d->active || !d->changed || d->fileName.isEmpty()) {
        return;
    }
    datafile::write(d->fileName, d->postedRecords());
    d->changed = false;
}

Record TClientDataSet::CurrentRecord() const {
    const Record* values = d->currentValues();
    return values ? *values : Record{};
}

}  // namespace pinleaf
