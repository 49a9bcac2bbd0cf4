// The Sort on choice: which order each choice puts in force, and that the current message
// survives a change of order.

#include "SortOrder.h"

#include <QTest>

using namespace pinleaf;

Q_DECLARE_METATYPE(pinleaf::SortField)

namespace {

Record message(int number, const QString& title, QDate date, const QString& time) {
    return Record{number, title, FieldValue{}, date, time, FieldValue{}, false, false};
}

// Numbers of the visible messages from First to the end, in the order in force.
QList<int> walk(TClientDataSet& table) {
    QList<int> numbers;
    for (table.First(); !table.Eof(); table.Next()) {
        numbers << table.FieldByName(QStringLiteral("NUMBER")).AsInteger();
    }
    return numbers;
}

}  // namespace

class TestSortOrder : public QObject {
    Q_OBJECT

private slots:
    void init() {
        table_ = std::make_unique<TClientDataSet>();
        table_->CreateDataSet();
        // Keys chosen so that every order differs from the file order and from the others.
        table_->InsertRecord(message(3, QStringLiteral("B"), QDate(2026, 1, 5), QStringLiteral("12:30:00")));
        table_->InsertRecord(message(1, QStringLiteral("C"), QDate(2026, 3, 1), QStringLiteral("23:59:59")));
        table_->InsertRecord(message(2, QStringLiteral("A"), QDate(2025, 12, 24), QStringLiteral("08:00:00")));
        createSortIndexes(*table_);
    }

    void indexesAreNamedInOrder() {
        QCOMPARE(table_->IndexNames(), QStringList({"TitleDe", "NumberAs", "NumberDe", "DateDe", "TimeDe"}));
    }

    void orderInForce_data() {
        QTest::addColumn<SortField>("field");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QString>("indexName");
        QTest::addColumn<QString>("indexFieldNames");
        QTest::addColumn<QList<int>>("numbers");

        QTest::newRow("title ascending") << SortField::Title << true << "" << "TITLE" << QList<int>{2, 3, 1};
        QTest::newRow("title descending") << SortField::Title << false << "TitleDe" << "" << QList<int>{1, 3, 2};
        QTest::newRow("number ascending") << SortField::Number << true << "NumberAs" << "" << QList<int>{1, 2, 3};
        QTest::newRow("number descending") << SortField::Number << false << "NumberDe" << "" << QList<int>{3, 2, 1};
        QTest::newRow("date ascending") << SortField::Date << true << "" << "DATE" << QList<int>{2, 3, 1};
        QTest::newRow("date descending") << SortField::Date << false << "DateDe" << "" << QList<int>{1, 3, 2};
        QTest::newRow("time ascending") << SortField::Time << true << "" << "TIME" << QList<int>{2, 3, 1};
        QTest::newRow("time descending") << SortField::Time << false << "TimeDe" << "" << QList<int>{1, 3, 2};
    }

    void orderInForce() {
        QFETCH(SortField, field);
        QFETCH(bool, ascending);
        QFETCH(QString, indexName);
        QFETCH(QString, indexFieldNames);
        QFETCH(QList<int>, numbers);

        // Start from another kind of order, so that a named index must replace a temporary
        // order and the reverse.
        applySortOrder(*table_, {field == SortField::Title ? SortField::Date : SortField::Title, !ascending});
        applySortOrder(*table_, {field, ascending});
        QCOMPARE(table_->IndexName(), indexName);
        QCOMPARE(table_->IndexFieldNames(), indexFieldNames);
        QCOMPARE(walk(*table_), numbers);
    }

    void currentMessageStaysCurrent() {
        applySortOrder(*table_, {SortField::Number, false});
        QVERIFY(table_->FindKey(2));
        applySortOrder(*table_, {SortField::Number, true});
        QCOMPARE(table_->FieldByName(QStringLiteral("NUMBER")).AsInteger(), 2);
        table_->Next();
        QCOMPARE(table_->FieldByName(QStringLiteral("NUMBER")).AsInteger(), 3);
    }

    void sortOnSetting_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<SortField>("field");
        QTest::newRow("1") << 1 << SortField::Title;
        QTest::newRow("2") << 2 << SortField::Number;
        QTest::newRow("3") << 3 << SortField::Date;
        QTest::newRow("4") << 4 << SortField::Time;
        QTest::newRow("9 means number") << 9 << SortField::Number;
        QTest::newRow("0 means number") << 0 << SortField::Number;
        QTest::newRow("-1 means number") << -1 << SortField::Number;
    }

    void sortOnSetting() {
        QFETCH(int, stored);
        QFETCH(SortField, field);
        QCOMPARE(sortFieldFromSetting(stored), field);
    }

private:
    std::unique_ptr<TClientDataSet> table_;
};

QTEST_GUILESS_MAIN(TestSortOrder)
#include "tst_sortorder.moc"
