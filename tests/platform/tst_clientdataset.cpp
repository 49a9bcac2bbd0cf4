// The message table: fields and their conversions, navigation over the visible records,
// orders, FindKey, the view filter, editing with its finishing rule, events, and the data file
// read at opening and written at closing.

#include "ClientDataSet.h"
#include "DataFile.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace pinleaf;

Q_DECLARE_METATYPE(pinleaf::FieldValue)

// Operations that finish an edit in progress.
enum class Op { First, Last, Next, Prior, FindKey, IndexName, IndexFieldNames, Filter, Edit };
Q_DECLARE_METATYPE(Op)

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

Record message(FieldValue number, FieldValue title, FieldValue date, FieldValue time,
               const char* url, FieldValue locked = {}) {
    return {number, title, FieldValue{}, date, time, S(url), locked, FieldValue{}};
}

// Seven messages, identified by URL, chosen so that every order differs from the file order
// and has ties and nulls:
//   url  NUMBER  TITLE     DATE        TIME      LOCKED
//   r1   5       "B"       2024-01-02  12:30:00  true
//   r2   2       "a"       null        08:00:00  false
//   r3   5       "B"       2023-12-31  null      true
//   r4   null    "A"       2024-01-02  23:59:59  false
//   r5   -3      null      2024-05-01  08:00:00  null
//   r6   9       U+1F600   2024-01-03  12:30:00  false
//   r7   7       U+FF01    1999-12-31  00:00:01  false
const std::vector<Record>& sample() {
    static const std::vector<Record> rows = {
        message(5, S("B"), QDate(2024, 1, 2), S("12:30:00"), "r1", true),
        message(2, S("a"), {}, S("08:00:00"), "r2", false),
        message(5, S("B"), QDate(2023, 12, 31), {}, "r3", true),
        message({}, S("A"), QDate(2024, 1, 2), S("23:59:59"), "r4", false),
        message(-3, {}, QDate(2024, 5, 1), S("08:00:00"), "r5"),
        message(9, S("\U0001F600"), QDate(2024, 1, 3), S("12:30:00"), "r6", false),
        message(7, S("\uFF01"), QDate(1999, 12, 31), S("00:00:01"), "r7", false),
    };
    return rows;
}

void fill(TClientDataSet& table, const std::vector<Record>& rows = sample()) {
    table.CreateDataSet();
    for (const Record& r : rows) {
        table.InsertRecord(r);
    }
}

// The named indexes the program adds after every opening.
void addIndexes(TClientDataSet& table) {
    table.AddIndex(S("TitleDe"), S("TITLE"), true);
    table.AddIndex(S("NumberAs"), S("NUMBER"), false);
    table.AddIndex(S("NumberDe"), S("NUMBER"), true);
    table.AddIndex(S("DateDe"), S("DATE"), true);
    table.AddIndex(S("TimeDe"), S("TIME"), true);
}

// "" for the file order, "+FIELD" for a temporary order on FIELD, else an index name.
void putOrder(TClientDataSet& table, const QString& order) {
    if (order.startsWith(QLatin1Char('+'))) {
        table.SetIndexFieldNames(order.mid(1));
    } else {
        table.SetIndexName(order);
    }
}

QString current(TClientDataSet& table) {
    return table.FieldByName(S("URL")).AsString();
}

// The URLs met by First and Next until Eof (at most 100, so a faulty Eof cannot hang a test).
QStringList walk(TClientDataSet& table) {
    QStringList urls;
    table.First();
    while (!table.Eof() && urls.size() < 100) {
        urls << current(table);
        table.Next();
    }
    return urls;
}

QStringList walkBack(TClientDataSet& table) {
    QStringList urls;
    table.Last();
    while (!table.Bof() && urls.size() < 100) {
        urls << current(table);
        table.Prior();
    }
    return urls;
}

QStringList reversed(QStringList list) {
    std::reverse(list.begin(), list.end());
    return list;
}

// Makes the record with `url` current, in whatever order is in force.
bool goTo(TClientDataSet& table, const QString& url) {
    table.First();
    while (!table.Eof()) {
        if (current(table) == url) {
            return true;
        }
        table.Next();
    }
    return false;
}

// Counts the runs of each event hook.
struct EventLog {
    QStringList events;
    void attach(TClientDataSet& table) {
        auto log = [this](const char* name) {
            return [this, name](TClientDataSet&) { events << S(name); };
        };
        table.BeforeOpen = log("BeforeOpen");
        table.AfterOpen = log("AfterOpen");
        table.AfterScroll = log("AfterScroll");
        table.AfterPost = log("AfterPost");
        table.AfterInsert = log("AfterInsert");
        table.AfterDelete = log("AfterDelete");
    }
    int count(const char* name) const { return events.count(S(name)); }
};

}  // namespace

class TestClientDataSet : public QObject {
    Q_OBJECT

  private slots:
    // Fields
    void fieldByName();
    void nullReads();
    void asString_data();
    void asString();
    void setAsString_data();
    void setAsString();
    void numberRange_data();
    void numberRange();
    void asIntegerOfText();
    void writingNeedsEditOrInsert();

    // Navigation and orders
    void navigation_data();
    void navigation();
    void eofAndBof();
    void emptyView();
    void orders_data();
    void orders();
    void indexChangeKeepsCurrent();
    void indexSettings();
    void ordersFollowChanges();
    void findKey_data();
    void findKey();
    void findKeyNeedsOrder();

    // Filter
    void filterExpressions_data();
    void filterExpressions();
    void filterMakesFirstVisibleCurrent();
    void postedRecordHiddenByFilterLeavesView();

    // Editing
    void editOnEmptyViewInserts_data();
    void editOnEmptyViewInserts();
    void finishEditBeforeOperation_data();
    void finishEditBeforeOperation();
    void insertPostAndCancel();
    void deleteRecord_data();
    void deleteRecord();
    void deleteWhileEditing();
    void insertRecord();
    void signals_();

    // Data file
    void openEvents();
    void openFailureLeavesTableClosed();
    void closeWritesOnlyWhenChanged();
    void closeDropsUnpostedEdit();
    void failedWriteKeepsTableOpen();
    void saveChanges();
    void createdTableWithoutFileWritesNothing();
    void recordsFittedToFields();

  private:
    QTemporaryDir dir_;
    QString path(const char* name) const { return dir_.filePath(S(name)); }
};

// ---- Fields -----------------------------------------------------------------------------

void TestClientDataSet::fieldByName() {
    TClientDataSet table;
    fill(table);
    QCOMPARE(table.FieldByName(S("url")).FieldName(), S("URL"));
    QCOMPARE(table.FieldByName(S("Title")).AsString(), S("\uFF01"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.FieldByName(S("COMPLETED")));
}

void TestClientDataSet::nullReads() {
    TClientDataSet table;
    table.CreateDataSet();
    // No record at all, then a blank record being inserted: both read as null.
    for (int pass = 0; pass < 2; ++pass) {
        QVERIFY(table.FieldByName(S("NUMBER")).IsNull());
        QCOMPARE(table.FieldByName(S("NUMBER")).AsInteger(), 0);
        QCOMPARE(table.FieldByName(S("NUMBER")).AsString(), QString());
        QCOMPARE(table.FieldByName(S("TITLE")).AsString(), QString());
        QCOMPARE(table.FieldByName(S("LOCKED")).AsBoolean(), false);
        QCOMPARE(table.FieldByName(S("LOCKED")).AsString(), QString());
        QCOMPARE(table.FieldByName(S("DATE")).AsDate(), zeroDate());
        QCOMPARE(table.FieldByName(S("DATE")).AsString(), QString());
        table.Insert();
    }
}

void TestClientDataSet::asString_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("number") << "r5"
                            << "NUMBER"
                            << "-3";
    QTest::newRow("date in the locale's short form")
        << "r1"
        << "DATE" << QLocale().toString(QDate(2024, 1, 2), QLocale::ShortFormat);
    QTest::newRow("flag set") << "r1"
                              << "LOCKED"
                              << "True";
    QTest::newRow("flag clear") << "r2"
                                << "LOCKED"
                                << "False";
    QTest::newRow("text") << "r2"
                          << "TIME"
                          << "08:00:00";
}

void TestClientDataSet::asString() {
    QFETCH(QString, url);
    QFETCH(QString, field);
    QFETCH(QString, text);
    TClientDataSet table;
    fill(table);
    QVERIFY(goTo(table, url));
    QCOMPARE(table.FieldByName(field).AsString(), text);
}

void TestClientDataSet::setAsString_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("throws");
    QTest::addColumn<FieldValue>("stored");

    const QString longText(500, QLatin1Char('m'));
    QTest::newRow("number") << "NUMBER"
                            << "17" << false << FieldValue(17);
    QTest::newRow("number with sign and spaces") << "NUMBER"
                                                 << " -17 " << false << FieldValue(-17);
    QTest::newRow("number with a fraction") << "NUMBER"
                                            << "1.5" << true << FieldValue();
    QTest::newRow("number as words") << "NUMBER"
                                     << "five" << true << FieldValue();
    QTest::newRow("number too big") << "NUMBER"
                                    << "32768" << true << FieldValue();
    QTest::newRow("empty clears a number") << "NUMBER"
                                           << "" << false << FieldValue();
    QTest::newRow("ISO date") << "DATE"
                              << "2025-02-28" << false << FieldValue(QDate(2025, 2, 28));
    QTest::newRow("short locale date")
        << "DATE" << QLocale().toString(QDate(2025, 2, 28), QLocale::ShortFormat) << false
        << FieldValue(QDate(2025, 2, 28));
    QTest::newRow("no date") << "DATE"
                             << "2025-02-30" << true << FieldValue();
    QTest::newRow("flag False") << "LOCKED"
                                << "False" << false << FieldValue(false);
    QTest::newRow("flag 0") << "LOCKED"
                            << "0" << false << FieldValue(false);
    QTest::newRow("flag True") << "FINISHED"
                               << "True" << false << FieldValue(true);
    QTest::newRow("flag 1") << "FINISHED"
                            << "1" << false << FieldValue(true);
    QTest::newRow("flag in words") << "LOCKED"
                                   << "yes" << true << FieldValue();
    QTest::newRow("title cut to 50") << "TITLE" << QString(60, QLatin1Char('x')) << false
                                     << FieldValue(QString(50, QLatin1Char('x')));
    QTest::newRow("time cut to 8") << "TIME"
                                   << "12:30:00.5" << false << FieldValue(S("12:30:00"));
    QTest::newRow("memo kept whole") << "MESSAGE" << longText << false << FieldValue(longText);
    QTest::newRow("empty clears a title") << "TITLE"
                                          << "" << false << FieldValue();
}

void TestClientDataSet::setAsString() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, throws);
    QFETCH(FieldValue, stored);
    TClientDataSet table;
    fill(table, {sample()[0]});
    table.Edit();
    TField f = table.FieldByName(field);
    const FieldValue before = f.Value();
    if (throws) {
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, f.SetAsString(text));
        QCOMPARE(f.Value(), before);
        QVERIFY(!table.Modified());
    } else {
        f.SetAsString(text);
        table.Post();
        QCOMPARE(f.Value(), stored);
    }
}

void TestClientDataSet::numberRange_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("fits");
    QTest::newRow("highest") << 32767 << true;
    QTest::newRow("lowest") << -32768 << true;
    QTest::newRow("one above") << 32768 << false;
    QTest::newRow("one below") << -32769 << false;
}

void TestClientDataSet::numberRange() {
    QFETCH(int, number);
    QFETCH(bool, fits);
    TClientDataSet table;
    fill(table, {sample()[0]});
    table.Edit();
    TField f = table.FieldByName(S("NUMBER"));
    if (fits) {
        f.SetAsInteger(number);
        table.Post();
        QCOMPARE(f.AsInteger(), number);
        return;
    }
    try {
        f.SetAsInteger(number);
        QFAIL("no range error");
    } catch (const EDatabaseError& e) {
        QVERIFY2(QString::fromStdString(e.what()).contains(S("-32768 to 32767")), e.what());
    }
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, f.SetAsString(QString::number(number)));
    QVERIFY(!table.Modified());
    table.Post();
    QCOMPARE(f.AsInteger(), 5);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.InsertRecord({number}));
    QCOMPARE(table.RecordCount(), 1);
}

void TestClientDataSet::asIntegerOfText() {
    TClientDataSet table;
    fill(table, {message(1, S("12"), {}, S("ab"), "r1")});
    QCOMPARE(table.FieldByName(S("TITLE")).AsInteger(), 12);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.FieldByName(S("TIME")).AsInteger());
}

void TestClientDataSet::writingNeedsEditOrInsert() {
    TClientDataSet table;
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.FieldByName(S("TITLE")).SetAsString(S("x")));
    fill(table);
    QCOMPARE(table.State(), DataSetState::Browse);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.FieldByName(S("TITLE")).SetAsString(S("x")));
    QCOMPARE(table.FieldByName(S("TITLE")).AsString(), S("\uFF01"));
}

// ---- Navigation and orders --------------------------------------------------------------

void TestClientDataSet::navigation_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("visible");
    QTest::newRow("all") << "" << QStringList{"r1", "r2", "r3", "r4", "r5", "r6", "r7"};
    QTest::newRow("middle ones hidden")
        << "(NUMBER <> 2) AND (NUMBER <> 9)" << QStringList{"r1", "r3", "r4", "r5", "r7"};
    QTest::newRow("first and last hidden, null number seen")
        << "(NUMBER <> 5) AND (NUMBER <> 7)" << QStringList{"r2", "r4", "r5", "r6"};
}

void TestClientDataSet::navigation() {
    QFETCH(QString, filter);
    QFETCH(QStringList, visible);
    TClientDataSet table;
    fill(table);
    table.SetFilter(filter);
    QCOMPARE(table.RecordCount(), visible.size());
    QCOMPARE(walk(table), visible);
    QCOMPARE(walkBack(table), reversed(visible));
}

void TestClientDataSet::eofAndBof() {
    TClientDataSet table;
    fill(table, {sample()[0], sample()[1], sample()[2]});
    EventLog log;
    log.attach(table);

    table.Last();
    QCOMPARE(current(table), S("r3"));
    QVERIFY(!table.Eof());
    table.Next();  // tries to pass the last record: stays put
    QCOMPARE(current(table), S("r3"));
    QVERIFY(table.Eof());
    table.Prior();
    QCOMPARE(current(table), S("r2"));
    QVERIFY(!table.Eof());
    table.Prior();
    QVERIFY(!table.Bof());
    table.Prior();  // tries to pass the first
    QCOMPARE(current(table), S("r1"));
    QVERIFY(table.Bof());
    table.First();
    QVERIFY(!table.Bof());
    QVERIFY(!table.Eof());
    QCOMPARE(log.count("AfterScroll"), 6);
}

void TestClientDataSet::emptyView() {
    TClientDataSet table;
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.First());
    QCOMPARE(table.RecordCount(), 0);
    table.CreateDataSet();
    QVERIFY(table.IsEmpty());
    table.First();
    QVERIFY(table.Eof());
    QVERIFY(table.Bof());
    table.Next();
    QVERIFY(table.Eof());
    QCOMPARE(table.CurrentRecord(), Record{});
}

void TestClientDataSet::orders_data() {
    QTest::addColumn<QString>("order");
    QTest::addColumn<QStringList>("urls");
    // Nulls first ascending and last descending; equal keys in file order both ways; text by
    // code point ("A" < "B" < "a" < U+FF01 < U+1F600).
    QTest::newRow("file order") << "" << QStringList{"r1", "r2", "r3", "r4", "r5", "r6", "r7"};
    QTest::newRow("TitleDe") << "TitleDe" << QStringList{"r6", "r7", "r2", "r1", "r3", "r4", "r5"};
    QTest::newRow("TITLE") << "+TITLE" << QStringList{"r5", "r4", "r1", "r3", "r2", "r7", "r6"};
    QTest::newRow("NumberAs") << "NumberAs"
                              << QStringList{"r4", "r5", "r2", "r1", "r3", "r7", "r6"};
    QTest::newRow("NumberDe") << "NumberDe"
                              << QStringList{"r6", "r7", "r1", "r3", "r2", "r5", "r4"};
    QTest::newRow("DATE") << "+DATE" << QStringList{"r2", "r7", "r3", "r1", "r4", "r6", "r5"};
    QTest::newRow("DateDe") << "DateDe" << QStringList{"r5", "r6", "r1", "r4", "r3", "r7", "r2"};
    QTest::newRow("TIME") << "+TIME" << QStringList{"r3", "r7", "r2", "r5", "r1", "r6", "r4"};
    QTest::newRow("TimeDe") << "TimeDe" << QStringList{"r4", "r1", "r6", "r2", "r5", "r7", "r3"};
    QTest::newRow("flags") << "+LOCKED" << QStringList{"r5", "r2", "r4", "r6", "r7", "r1", "r3"};
}

void TestClientDataSet::orders() {
    QFETCH(QString, order);
    QFETCH(QStringList, urls);
    TClientDataSet table;
    fill(table);
    addIndexes(table);
    putOrder(table, order);
    QCOMPARE(walk(table), urls);
    QCOMPARE(walkBack(table), reversed(urls));
}

void TestClientDataSet::indexChangeKeepsCurrent() {
    TClientDataSet table;
    fill(table);
    addIndexes(table);
    QVERIFY(goTo(table, S("r3")));
    table.SetIndexName(S("NumberDe"));
    QCOMPARE(current(table), S("r3"));
    table.Next();
    QCOMPARE(current(table), S("r2"));
    table.SetIndexFieldNames(S("TIME"));
    QCOMPARE(current(table), S("r2"));
    table.Next();
    QCOMPARE(current(table), S("r5"));
    table.SetIndexName(QString());
    QCOMPARE(current(table), S("r5"));
    table.Next();
    QCOMPARE(current(table), S("r6"));
}

void TestClientDataSet::indexSettings() {
    TClientDataSet table;
    fill(table);
    addIndexes(table);
    QCOMPARE(table.IndexNames(),
             (QStringList{"TitleDe", "NumberAs", "NumberDe", "DateDe", "TimeDe"}));
    table.SetIndexFieldNames(S("TIME"));
    table.SetIndexName(S("NumberDe"));
    QCOMPARE(table.IndexFieldNames(), QString());
    table.SetIndexFieldNames(S("TIME"));
    QCOMPARE(table.IndexName(), QString());

    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.SetIndexName(S("TitleAs")));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.SetIndexFieldNames(S("COLOUR")));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.AddIndex(S("X"), S("COLOUR"), false));
    QCOMPARE(table.IndexFieldNames(), S("TIME"));

    // The named indexes belong to the open table: reopening needs them added again.
    table.Close();
    QCOMPARE(table.IndexNames(), QStringList());
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.SetIndexName(S("NumberAs")));
}

void TestClientDataSet::ordersFollowChanges() {
    TClientDataSet table;
    fill(table);
    addIndexes(table);
    table.SetIndexName(S("TimeDe"));
    table.SetIndexName(S("NumberAs"));  // both orders now built

    table.InsertRecord(message(3, S("C"), {}, S("09:00:00"), "r8"));
    QVERIFY(goTo(table, S("r1")));
    table.Edit();
    table.FieldByName(S("NUMBER")).SetAsInteger(10);
    table.Post();
    QVERIFY(goTo(table, S("r7")));
    table.Edit();
    table.FieldByName(S("TIME")).SetAsString(S("13:00:00"));
    table.Post();
    QVERIFY(goTo(table, S("r5")));
    table.Delete();

    QCOMPARE(walk(table), (QStringList{"r4", "r2", "r8", "r3", "r7", "r6", "r1"}));
    table.SetIndexName(S("TimeDe"));
    QCOMPARE(walk(table), (QStringList{"r4", "r7", "r1", "r6", "r8", "r2", "r3"}));
    QCOMPARE(walkBack(table), (QStringList{"r3", "r2", "r8", "r6", "r1", "r7", "r4"}));
}

void TestClientDataSet::findKey_data() {
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<FieldValue>("key");
    QTest::addColumn<QString>("found");  // "" when not found
    QTest::newRow("number, first of equal keys") << "NumberAs"
                                                 << "" << FieldValue(5) << "r1";
    QTest::newRow("number descending, first of equal keys") << "NumberDe"
                                                            << "" << FieldValue(5) << "r1";
    QTest::newRow("no such number") << "NumberAs"
                                    << "" << FieldValue(8) << "";
    QTest::newRow("hidden record") << "NumberAs"
                                   << "(NUMBER <> 9)" << FieldValue(9) << "";
    QTest::newRow("time") << "+TIME"
                          << "" << FieldValue(S("08:00:00")) << "r2";
    QTest::newRow("time, first visible of equal keys")
        << "+TIME"
        << "(NUMBER <> 2)" << FieldValue(S("08:00:00")) << "r5";
    QTest::newRow("part of a time is no match") << "TimeDe"
                                                << "" << FieldValue(S("08:00")) << "";
    QTest::newRow("title, case counts") << "TitleDe"
                                        << "" << FieldValue(S("b")) << "";
    QTest::newRow("title") << "TitleDe"
                           << "" << FieldValue(S("a")) << "r2";
    QTest::newRow("date") << "DateDe"
                          << "" << FieldValue(QDate(2024, 1, 2)) << "r1";
}

void TestClientDataSet::findKey() {
    QFETCH(QString, order);
    QFETCH(QString, filter);
    QFETCH(FieldValue, key);
    QFETCH(QString, found);
    TClientDataSet table;
    fill(table);
    addIndexes(table);
    table.SetFilter(filter);
    putOrder(table, order);
    QVERIFY(goTo(table, S("r7")));
    EventLog log;
    log.attach(table);

    QCOMPARE(table.FindKey(key), !found.isEmpty());
    QCOMPARE(current(table), found.isEmpty() ? S("r7") : found);
    QCOMPARE(log.count("AfterScroll"), found.isEmpty() ? 0 : 1);
}

void TestClientDataSet::findKeyNeedsOrder() {
    TClientDataSet table;
    fill(table);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.FindKey(FieldValue(5)));
    addIndexes(table);
    table.SetIndexName(S("NumberAs"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.FindKey(FieldValue(S("five"))));
    QCOMPARE(current(table), S("r7"));
}

// ---- Filter -----------------------------------------------------------------------------

void TestClientDataSet::filterExpressions_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<int>("count");  // -1: refused
    QTest::newRow("empty") << "" << 7;
    QTest::newRow("one term") << "(NUMBER <> 5)" << 5;
    QTest::newRow("two terms") << "(NUMBER <> 5) AND (NUMBER <> 2)" << 4;
    QTest::newRow("no spaces, small letters") << "(number<>5)and(NUMBER<>2)" << 4;
    QTest::newRow("extra spaces, negative") << "  ( NUMBER  <>  -3 )  AND  (NUMBER <> 9) " << 5;
    QTest::newRow("number nobody has") << "(NUMBER <> 4)" << 7;
    QTest::newRow("no parentheses") << "NUMBER <> 5" << -1;
    QTest::newRow("equality") << "(NUMBER = 5)" << -1;
    QTest::newRow("dangling AND") << "(NUMBER <> 5) AND" << -1;
    QTest::newRow("OR") << "(NUMBER <> 5) OR (NUMBER <> 2)" << -1;
    QTest::newRow("terms without AND") << "(NUMBER <> 5) (NUMBER <> 2)" << -1;
    QTest::newRow("other field") << "(TITLE <> 5)" << -1;
    QTest::newRow("not a number") << "(NUMBER <> five)" << -1;
}

void TestClientDataSet::filterExpressions() {
    QFETCH(QString, expression);
    QFETCH(int, count);
    TClientDataSet table;
    fill(table);
    table.SetFilter(S("(NUMBER <> 9)"));
    QVERIFY(goTo(table, S("r3")));
    if (count < 0) {
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.SetFilter(expression));
        QCOMPARE(table.Filter(), S("(NUMBER <> 9)"));
        QCOMPARE(table.RecordCount(), 6);
        QCOMPARE(current(table), S("r3"));
    } else {
        table.SetFilter(expression);
        QCOMPARE(table.Filter(), expression);
        QCOMPARE(table.RecordCount(), count);
        QCOMPARE(walk(table).size(), count);
    }
}

void TestClientDataSet::filterMakesFirstVisibleCurrent() {
    TClientDataSet table;
    fill(table);
    addIndexes(table);
    table.SetIndexName(S("NumberDe"));  // r6 r7 r1 r3 r2 r5 r4
    table.Last();
    EventLog log;
    log.attach(table);
    table.SetFilter(S("(NUMBER <> 9)"));
    QCOMPARE(current(table), S("r7"));
    QCOMPARE(log.events, QStringList{"AfterScroll"});

    // Also when the filter hides nothing new.
    table.Last();
    table.SetFilter(S("(NUMBER <> 9)"));
    QCOMPARE(current(table), S("r7"));
}

void TestClientDataSet::postedRecordHiddenByFilterLeavesView() {
    TClientDataSet table;
    fill(table);
    table.SetFilter(S("(NUMBER <> 100)"));
    QVERIFY(goTo(table, S("r3")));
    table.Edit();
    table.FieldByName(S("NUMBER")).SetAsInteger(100);
    table.Post();
    QCOMPARE(current(table), S("r4"));
    QCOMPARE(table.RecordCount(), 6);
    table.SetFilter(QString());
    QCOMPARE(table.RecordCount(), 7);
}

// ---- Editing ----------------------------------------------------------------------------

void TestClientDataSet::editOnEmptyViewInserts_data() {
    QTest::addColumn<bool>("hiddenRecord");
    QTest::addColumn<QString>("title");  // "": posted blank, as the exit save does
    QTest::newRow("no records") << false << "first";
    QTest::newRow("every record hidden") << true << "first";
    QTest::newRow("no records, blank record posted") << false << "";
}

void TestClientDataSet::editOnEmptyViewInserts() {
    QFETCH(bool, hiddenRecord);
    QFETCH(QString, title);
    TClientDataSet table;
    fill(table, hiddenRecord ? std::vector<Record>{message(3, S("T"), {}, {}, "r1")}
                             : std::vector<Record>{});
    table.SetFilter(S("(NUMBER <> 3)"));
    EventLog log;
    log.attach(table);
    table.Edit();
    QCOMPARE(table.State(), DataSetState::Insert);
    QCOMPARE(log.events, QStringList{"AfterInsert"});
    QCOMPARE(table.CurrentRecord(), Record(MessageFieldCount));
    if (!title.isEmpty()) {
        table.FieldByName(S("TITLE")).SetAsString(title);
    }
    table.Post();
    QCOMPARE(table.RecordCount(), 1);
    QCOMPARE(table.FieldByName(S("TITLE")).AsString(), title);
    QCOMPARE(table.FieldByName(S("NUMBER")).IsNull(), true);
}

void TestClientDataSet::finishEditBeforeOperation_data() {
    QTest::addColumn<Op>("op");
    QTest::addColumn<bool>("insert");   // an insert instead of an edit of r2
    QTest::addColumn<bool>("changed");  // a field was written
    const std::pair<const char*, Op> ops[] = {
        {"First", Op::First},
        {"Last", Op::Last},
        {"Next", Op::Next},
        {"Prior", Op::Prior},
        {"FindKey", Op::FindKey},
        {"IndexName", Op::IndexName},
        {"IndexFieldNames", Op::IndexFieldNames},
        {"Filter", Op::Filter},
        {"Edit", Op::Edit},
    };
    for (const auto& [name, op] : ops) {
        QTest::addRow("%s after a change", name) << op << false << true;
        QTest::addRow("%s without a change", name) << op << false << false;
    }
    QTest::newRow("Next after a changed insert") << Op::Next << true << true;
    QTest::newRow("Next after a blank insert") << Op::Next << true << false;
}

void TestClientDataSet::finishEditBeforeOperation() {
    QFETCH(Op, op);
    QFETCH(bool, insert);
    QFETCH(bool, changed);
    TClientDataSet table;
    fill(table);
    addIndexes(table);
    table.SetIndexName(S("NumberAs"));
    QVERIFY(goTo(table, S("r2")));
    if (insert) {
        table.Insert();
    } else {
        table.Edit();
    }
    if (changed) {
        table.FieldByName(S("TITLE")).SetAsString(S("edited"));
        table.FieldByName(S("URL")).SetAsString(insert ? S("r8") : S("r2"));
    }
    EventLog log;
    log.attach(table);

    switch (op) {
        case Op::First:
            table.First();
            break;
        case Op::Last:
            table.Last();
            break;
        case Op::Next:
            table.Next();
            break;
        case Op::Prior:
            table.Prior();
            break;
        case Op::FindKey:
            table.FindKey(FieldValue(7));
            break;
        case Op::IndexName:
            table.SetIndexName(S("NumberDe"));
            break;
        case Op::IndexFieldNames:
            table.SetIndexFieldNames(S("TITLE"));
            break;
        case Op::Filter:
            table.SetFilter(S("(NUMBER <> 9)"));
            break;
        case Op::Edit:
            table.Edit();
            break;
    }

    QCOMPARE(log.count("AfterPost"), changed ? 1 : 0);
    QCOMPARE(table.State(), op == Op::Edit ? DataSetState::Edit : DataSetState::Browse);
    QVERIFY(!table.Modified());
    table.Cancel();
    const QString url = insert ? S("r8") : S("r2");
    QCOMPARE(goTo(table, url), !insert || changed);
    if (!insert || changed) {
        QCOMPARE(table.FieldByName(S("TITLE")).AsString(), changed ? S("edited") : S("a"));
    }
}

void TestClientDataSet::insertPostAndCancel() {
    TClientDataSet table;
    fill(table);
    addIndexes(table);
    QVERIFY(goTo(table, S("r2")));
    EventLog log;
    log.attach(table);

    table.Insert();
    QCOMPARE(log.events, QStringList{"AfterInsert"});
    table.FieldByName(S("URL")).SetAsString(S("r8"));
    QCOMPARE(current(table), S("r8"));
    table.Cancel();  // the unposted record vanishes, the previous one is current again
    QCOMPARE(table.State(), DataSetState::Browse);
    QCOMPARE(current(table), S("r2"));
    QCOMPARE(table.RecordCount(), 7);

    table.SetIndexName(S("NumberAs"));
    table.Insert();
    table.FieldByName(S("URL")).SetAsString(S("r8"));
    table.FieldByName(S("NUMBER")).SetAsInteger(6);
    table.Post();
    QCOMPARE(table.State(), DataSetState::Browse);
    QCOMPARE(current(table), S("r8"));  // the posted record is current, placed by its key
    table.Next();
    QCOMPARE(current(table), S("r7"));
    table.SetIndexName(QString());
    table.Last();  // new records go to the end of the file order
    QCOMPARE(current(table), S("r8"));
    QCOMPARE(log.events, (QStringList{"AfterInsert", "AfterInsert", "AfterPost", "AfterScroll",
                                      "AfterScroll"}));
}

void TestClientDataSet::deleteRecord_data() {
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("deleted");
    QTest::addColumn<QString>("next");
    // NumberDe: r6 r7 r1 r3 r2 r5 r4
    QTest::newRow("first in order") << "NumberDe"
                                    << ""
                                    << "r6"
                                    << "r7";
    QTest::newRow("middle goes to next in order") << "NumberDe"
                                                  << ""
                                                  << "r3"
                                                  << "r2";
    QTest::newRow("last in order goes to previous") << "NumberDe"
                                                    << ""
                                                    << "r4"
                                                    << "r5";
    QTest::newRow("last in file order") << ""
                                        << ""
                                        << "r7"
                                        << "r6";
    QTest::newRow("next visible") << "NumberDe"
                                  << "(NUMBER <> 2)"
                                  << "r3"
                                  << "r5";
    QTest::newRow("previous visible") << ""
                                      << "(NUMBER <> 9)"
                                      << "r7"
                                      << "r5";
}

void TestClientDataSet::deleteRecord() {
    QFETCH(QString, order);
    QFETCH(QString, filter);
    QFETCH(QString, deleted);
    QFETCH(QString, next);
    TClientDataSet table;
    fill(table);
    addIndexes(table);
    putOrder(table, order);
    table.SetFilter(filter);
    QVERIFY(goTo(table, deleted));
    const int count = table.RecordCount();
    EventLog log;
    log.attach(table);
    QSignalSpy changes(&table, &TClientDataSet::tableChanged);

    table.Delete();
    QCOMPARE(current(table), next);
    QCOMPARE(table.RecordCount(), count - 1);
    QCOMPARE(log.events, QStringList{"AfterDelete"});
    QCOMPARE(changes.count(), 1);
    QVERIFY(!goTo(table, deleted));
}

void TestClientDataSet::deleteWhileEditing() {
    TClientDataSet table;
    fill(table, {sample()[0], sample()[1]});
    EventLog log;
    log.attach(table);

    table.Insert();  // deleting an insert only drops it
    table.FieldByName(S("URL")).SetAsString(S("r8"));
    table.Delete();
    QCOMPARE(table.RecordCount(), 2);
    QCOMPARE(current(table), S("r2"));
    QCOMPARE(log.events, QStringList{"AfterInsert"});

    table.Edit();  // deleting an edit drops the edit and the record
    table.FieldByName(S("TITLE")).SetAsString(S("edited"));
    table.Delete();
    QCOMPARE(table.State(), DataSetState::Browse);
    QCOMPARE(current(table), S("r1"));
    QCOMPARE(log.events, (QStringList{"AfterInsert", "AfterDelete"}));

    table.Delete();  // the only record
    QVERIFY(table.IsEmpty());
    QVERIFY(table.Eof());
    QCOMPARE(table.CurrentRecord(), Record{});
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.Delete());
}

void TestClientDataSet::insertRecord() {
    TClientDataSet table;
    fill(table, {sample()[0], sample()[1]});
    QVERIFY(goTo(table, S("r1")));
    QStringList events;
    table.AfterInsert = [&](TClientDataSet& t) {
        events
            << S("AfterInsert %1 '%2'").arg(int(t.State() == DataSetState::Insert)).arg(current(t));
    };
    table.AfterPost = [&](TClientDataSet& t) {
        events
            << S("AfterPost %1 '%2'").arg(int(t.State() == DataSetState::Browse)).arg(current(t));
    };

    table.InsertRecord({42, S("T"), S("M"), QDate(2024, 2, 2), S("10:00:00"), S("r9")});
    QCOMPARE(events, (QStringList{"AfterInsert 1 ''", "AfterPost 1 'r9'"}));
    QCOMPARE(table.CurrentRecord(),
             (Record{42, S("T"), S("M"), QDate(2024, 2, 2), S("10:00:00"), S("r9"), {}, {}}));
    table.Last();
    QCOMPARE(current(table), S("r9"));

    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.InsertRecord(Record(MessageFieldCount + 1)));
    QCOMPARE(table.RecordCount(), 3);
}

void TestClientDataSet::signals_() {
    TClientDataSet table;
    fill(table, {sample()[0], sample()[1]});
    QSignalSpy data(&table, &TClientDataSet::dataChanged);
    QSignalSpy changes(&table, &TClientDataSet::tableChanged);

    table.First();
    QCOMPARE(data.count(), 1);
    table.Edit();
    QCOMPARE(data.count(), 2);
    table.FieldByName(S("TITLE")).SetAsString(S("x"));
    table.FieldByName(S("TITLE")).SetAsString(S("xy"));
    QCOMPARE(data.count(), 4);
    table.Cancel();
    QCOMPARE(data.count(), 5);
    QCOMPARE(changes.count(), 0);
    table.Edit();
    table.Post();
    QCOMPARE(changes.count(), 1);
    table.InsertRecord({1});
    QCOMPARE(changes.count(), 2);
}

// ---- Data file --------------------------------------------------------------------------

void TestClientDataSet::openEvents() {
    const QString file = path("open.cds");
    datafile::write(file, sample());
    TClientDataSet table;
    table.SetFileName(file);
    QStringList events;
    table.BeforeOpen = [&](TClientDataSet& t) {
        events << S("BeforeOpen active=%1").arg(int(t.Active()));
        t.SetIndexName(QString());
    };
    // As the program does: add the indexes and put an order into force.
    table.AfterOpen = [&](TClientDataSet& t) {
        events << S("AfterOpen ") + current(t);
        addIndexes(t);
        t.SetIndexName(S("NumberDe"));
    };
    table.AfterScroll = [&](TClientDataSet& t) { events << S("AfterScroll ") + current(t); };

    table.Open();
    QCOMPARE(events, (QStringList{"BeforeOpen active=0", "AfterOpen r1", "AfterScroll r1"}));
    QCOMPARE(table.State(), DataSetState::Browse);
    QCOMPARE(table.RecordCount(), 7);
    QCOMPARE(table.CurrentRecord(), sample()[0]);
    QVERIFY(!table.ChangedSinceWrite());
    table.Next();  // NumberDe: r6 r7 r1 r3 ...
    QCOMPARE(current(table), S("r3"));
}

void TestClientDataSet::openFailureLeavesTableClosed() {
    TClientDataSet table;
    table.SetFileName(path("missing.cds"));
    EventLog log;
    log.attach(table);
    QVERIFY_THROWS_EXCEPTION(DataFileError, table.Open());
    QVERIFY(!table.Active());
    QCOMPARE(table.State(), DataSetState::Inactive);
    QCOMPARE(log.events, QStringList{"BeforeOpen"});
}

void TestClientDataSet::closeWritesOnlyWhenChanged() {
    const QString file = path("close.cds");
    const std::vector<Record> other = {message(1, S("other"), {}, {}, "x1")};
    datafile::write(file, sample());
    TClientDataSet table;
    table.SetFileName(file);

    // Unchanged: the file that changed behind the table's back is left alone.
    table.Open();
    datafile::write(file, other);
    table.Close();
    QCOMPARE(datafile::read(file), other);

    // A post without any field change still counts as a change.
    table.Open();
    table.Edit();
    table.Post();
    QVERIFY(table.ChangedSinceWrite());
    datafile::write(file, sample());
    table.Close();
    QVERIFY(!table.Active());
    QCOMPARE(datafile::read(file), other);
}

void TestClientDataSet::closeDropsUnpostedEdit() {
    const QString file = path("unposted.cds");
    datafile::write(file, sample());
    TClientDataSet table;
    table.SetFileName(file);
    table.Open();
    table.Delete();  // r1
    table.Edit();    // r2
    table.FieldByName(S("TITLE")).SetAsString(S("unposted"));
    table.Close();
    QCOMPARE(table.State(), DataSetState::Inactive);
    const std::vector<Record> expected(sample().begin() + 1, sample().end());
    QCOMPARE(datafile::read(file), expected);
}

void TestClientDataSet::failedWriteKeepsTableOpen() {
    TClientDataSet table;
    fill(table);
    table.SetFileName(path("no-such-folder/table.cds"));
    table.Edit();
    table.FieldByName(S("TITLE")).SetAsString(S("pending"));
    const Record before = table.CurrentRecord();

    QVERIFY_THROWS_EXCEPTION(DataFileError, table.Close());
    QVERIFY(table.Active());
    QCOMPARE(table.State(), DataSetState::Edit);
    QCOMPARE(table.CurrentRecord(), before);
    QCOMPARE(table.RecordCount(), 7);
    QVERIFY(table.ChangedSinceWrite());

    table.SetFileName(path("table.cds"));
    table.Close();
    QCOMPARE(datafile::read(path("table.cds")), sample());
}

void TestClientDataSet::saveChanges() {
    const QString file = path("save.cds");
    datafile::write(file, sample());
    TClientDataSet table;
    table.SetFileName(file);
    table.Open();
    table.Edit();
    table.FieldByName(S("TITLE")).SetAsString(S("saved"));
    table.Post();
    table.Edit();
    table.FieldByName(S("TITLE")).SetAsString(S("pending"));

    table.SaveChanges();
    QVERIFY(!table.ChangedSinceWrite());
    QCOMPARE(table.State(), DataSetState::Edit);
    QCOMPARE(table.FieldByName(S("TITLE")).AsString(), S("pending"));
    const std::vector<Record> written = datafile::read(file);
    QCOMPARE(written.size(), sample().size());
    QCOMPARE(std::get<QString>(written[0][TITLE]), S("saved"));
}

void TestClientDataSet::createdTableWithoutFileWritesNothing() {
    TClientDataSet table;
    EventLog log;
    log.attach(table);
    fill(table);
    QCOMPARE(log.events.mid(0, 2), (QStringList{"BeforeOpen", "AfterOpen"}));
    QVERIFY(table.ChangedSinceWrite());
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, table.CreateDataSet());
    table.Close();
    QVERIFY(!table.Active());
    QCOMPARE(table.RecordCount(), 0);
}

void TestClientDataSet::recordsFittedToFields() {
    const QString file = path("fit.cds");
    datafile::write(file, sample());

    TClientDataSet narrow(
        {{S("NUMBER"), FieldType::SmallInt}, {S("TITLE"), FieldType::String, 50}});
    narrow.SetFileName(file);
    narrow.Open();
    QCOMPARE(narrow.CurrentRecord(), (Record{5, S("B")}));

    std::vector<FieldDef> wideFields = messageFields();
    wideFields.push_back({S("EXTRA"), FieldType::Memo});
    TClientDataSet wide(wideFields);
    wide.SetFileName(file);
    wide.Open();
    Record expected = sample()[0];
    expected.push_back(FieldValue{});
    QCOMPARE(wide.CurrentRecord(), expected);
}

QTEST_GUILESS_MAIN(TestClientDataSet)
#include "tst_clientdataset.moc"
