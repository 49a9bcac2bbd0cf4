// The data file: what is written reads back unchanged, files that are not ours are refused
// without being touched, and a save that fails or is cut short leaves the old file in place.

#include "DataFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pinleaf;
namespace df = pinleaf::datafile;

using Records = std::vector<Record>;
Q_DECLARE_METATYPE(Records)

namespace {

const FieldValue null{};

Record message(FieldValue number, FieldValue title, FieldValue text, FieldValue date,
               FieldValue time, FieldValue url, FieldValue locked, FieldValue finished) {
    return {number, title, text, date, time, url, locked, finished};
}

Record simple(int number, const QString& title) {
    return message(number, title, null, QDate(2024, 5, 1), QStringLiteral("09:30:00"), null, false,
                   false);
}

Records manyRecords(int count) {
    Records records;
    records.reserve(count);
    for (int i = 0; i < count; ++i)
        records.push_back(message(count - i, QStringLiteral("Message %1").arg(i),
                                  QStringLiteral("Body of message %1, with a little text.").arg(i),
                                  QDate(2020, 1, 1).addDays(i % 2000), QStringLiteral("12:00:00"),
                                  QStringLiteral("https://example.org/%1").arg(i), i % 2 == 0,
                                  i % 3 == 0));
    return records;
}

QString describe(const FieldValue& v) {
    struct {
        QString operator()(std::monostate) const { return QStringLiteral("null"); }
        QString operator()(int n) const { return QStringLiteral("int %1").arg(n); }
        QString operator()(const QString& s) const { return QStringLiteral("text \"%1\"").arg(s); }
        QString operator()(const QDate& d) const {
            return QStringLiteral("date %1").arg(d.toString(Qt::ISODate));
        }
        QString operator()(bool b) const { return b ? QStringLiteral("true") : "false"; }
    } visitor;
    return std::visit(visitor, v);
}

// Empty when equal; otherwise the first difference, for the failure message.
QString difference(const Records& actual, const Records& expected) {
    if (actual.size() != expected.size())
        return QStringLiteral("%1 records instead of %2").arg(actual.size()).arg(expected.size());
    for (std::size_t r = 0; r < actual.size(); ++r) {
        if (actual[r].size() != expected[r].size())
            return QStringLiteral("record %1 has %2 fields").arg(r).arg(actual[r].size());
        for (std::size_t f = 0; f < actual[r].size(); ++f)
            if (actual[r][f] != expected[r][f])
                return QStringLiteral("record %1 field %2: %3 instead of %4")
                    .arg(r)
                    .arg(f)
                    .arg(describe(actual[r][f]), describe(expected[r][f]));
    }
    return {};
}

#define COMPARE_RECORDS(actual, expected)                       \
    do {                                                        \
        const QString diff_ = difference((actual), (expected)); \
        QVERIFY2(diff_.isEmpty(), qPrintable(diff_));           \
    } while (false)

// The documented layout, as another tool would create it.
QByteArray layoutSql(int version = df::kFormatVersion) {
    return "PRAGMA application_id = " + QByteArray::number(df::kApplicationId) +
           "; PRAGMA user_version = " + QByteArray::number(version) +
           "; CREATE TABLE pinleaf(key TEXT PRIMARY KEY, value TEXT);"
           "INSERT INTO pinleaf VALUES ('format', 'Pinleaf data file'), ('version', '" +
           QByteArray::number(version) +
           "');"
           "CREATE TABLE messages(seq INTEGER PRIMARY KEY, NUMBER INTEGER, TITLE TEXT, "
           "MESSAGE TEXT, DATE TEXT, TIME TEXT, URL TEXT, LOCKED INTEGER, FINISHED INTEGER);";
}

void makeDatabase(const QString& path, const QByteArray& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot create test database");
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error("test database SQL failed: " + message);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

// The bytes of a database made by `sql` or by writing `records`, for building damaged files.
QByteArray databaseBytes(const QByteArray& sql) {
    QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("scratch.db"));
    makeDatabase(path, sql);
    return fileBytes(path);
}

QByteArray pinleafBytes(const Records& records) {
    QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("scratch.cds"));
    df::write(path, records);
    return fileBytes(path);
}

// Every entry below `dir`, hidden ones included, as relative paths.
QStringList listing(const QString& dir) {
    QStringList entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) entries << QDir(dir).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

struct stat statOf(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        throw std::runtime_error("cannot stat " + path.toStdString());
    return st;
}

// Sets a modification time long past, so that any write while reading would show.
void ageFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) ||
        !file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000),
                          QFileDevice::FileModificationTime))
        throw std::runtime_error("cannot set times");
}

class UmaskGuard {
  public:
    explicit UmaskGuard(mode_t mask) : old_(::umask(mask)) {}
    ~UmaskGuard() { ::umask(old_); }

  private:
    mode_t old_;
};

}  // namespace

class TestDataFile : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void roundTrip_data();
    void roundTrip();
    void readsFileMadeByAnotherTool();
    void writesDocumentedLayout();

    void refusesUnreadableFile_data();
    void refusesUnreadableFile();

    void saveKilledPartWayKeepsOldFile_data();
    void saveKilledPartWayKeepsOldFile();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void saveToUnusablePlace_data();
    void saveToUnusablePlace();

    void saveReplacesFileByRenaming();
    void saveFollowsLinks_data();
    void saveFollowsLinks();
    void savePermissions_data();
    void savePermissions();

  private:
    std::unique_ptr<QTemporaryDir> tmp_;
    QString dir_;   // a folder with a non-ASCII name inside tmp_
    QString file_;  // dir_/Pinleaf.cds
};

void TestDataFile::init() {
    tmp_ = std::make_unique<QTemporaryDir>();
    QVERIFY(tmp_->isValid());
    dir_ = tmp_->filePath(QStringLiteral("Notizen ü"));
    QVERIFY(QDir().mkpath(dir_));
    file_ = dir_ + QStringLiteral("/Pinleaf.cds");
}

void TestDataFile::cleanup() {
    df::setWriteProgressHookForTesting({});
    tmp_.reset();
}

// ---- Round trip ----------------------------------------------------------------------------

void TestDataFile::roundTrip_data() {
    QTest::addColumn<Records>("records");

    QTest::newRow("no records") << Records{};
    QTest::newRow("every field null") << Records{Record(MessageFieldCount)};
    QTest::newRow("every field set, extremes and non-ASCII") << Records{
        message(-32768, QStringLiteral("Grüße ™ – 日本 🎉"),
                QStringLiteral("Zeile 1\nZeile 2\r\n\ttab ‘quoted’ \"double\" 'single' 🙂"),
                QDate(2024, 2, 29), QStringLiteral("23:59:59"),
                QStringLiteral("https://example.org/ä?x=1&y=2"), true, false),
        message(32767, QString(50, QChar(u'W')), QString(200000, QChar(u'm')), zeroDate(),
                QStringLiteral("00:00:00"), QStringLiteral("mailto:a@b.c"), false, true),
        message(0, QStringLiteral("first of the millennium"), null, QDate(1, 1, 1), null, null,
                true, true),
        message(-1, QStringLiteral("last day"), null, QDate(9999, 12, 31), null, null, false,
                false),
    };

    // Nulls in every position, numbers out of order and repeated: the file order is kept,
    // not any order of the values.
    Records mixed;
    for (int i = 0; i < 40; ++i) {
        Record r = message(7 - i % 5, QStringLiteral("t%1").arg(i), QStringLiteral("m%1").arg(i),
                           QDate(2023, 1 + i % 12, 1 + i % 28), QStringLiteral("10:%1").arg(i),
                           QStringLiteral("u%1").arg(i), i % 2 == 0, i % 3 == 0);
        r[i % MessageFieldCount] = null;
        mixed.push_back(r);
    }
    mixed.push_back(
        message(1, QString(""), QString(""), null, QString(""), QString(""), null, null));
    QTest::newRow("nulls in every position, file order kept") << mixed;
}

void TestDataFile::roundTrip() {
    QFETCH(Records, records);
    df::write(file_, records);
    COMPARE_RECORDS(df::read(file_), records);
}

// A file built by hand in the documented layout reads in seq order, gaps allowed, and reading
// leaves it and its folder exactly as they were.
void TestDataFile::readsFileMadeByAnotherTool() {
    makeDatabase(file_, layoutSql() +
                            "INSERT INTO messages VALUES (30, 3, 'third', NULL, NULL, NULL, NULL, "
                            "NULL, NULL);"
                            "INSERT INTO messages VALUES (2, 1, 'first', 'body', '2024-12-31', "
                            "'08:00:00', 'https://x.org', 1, 0);"
                            "INSERT INTO messages VALUES (17, NULL, 'Straße', NULL, '1899-12-30', "
                            "NULL, NULL, 0, 1);");
    ageFile(file_);
    const QByteArray before = fileBytes(file_);
    const QStringList entries = listing(tmp_->path());

    COMPARE_RECORDS(
        df::read(file_),
        (Records{
            message(1, QStringLiteral("first"), QStringLiteral("body"), QDate(2024, 12, 31),
                    QStringLiteral("08:00:00"), QStringLiteral("https://x.org"), true, false),
            message(null, QStringLiteral("Straße"), null, zeroDate(), null, null, false, true),
            message(3, QStringLiteral("third"), null, null, null, null, null, null),
        }));

    QCOMPARE(fileBytes(file_), before);
    QCOMPARE(statOf(file_).st_mtim.tv_sec, time_t(1000000000));
    QCOMPARE(listing(tmp_->path()), entries);
}

void TestDataFile::writesDocumentedLayout() {
    df::write(file_, {message(-5, QStringLiteral("Hi ü"), null, QDate(2024, 2, 29),
                              QStringLiteral("08:15:00"), null, true, false),
                      Record(MessageFieldCount)});

    sqlite3* db = nullptr;
    QCOMPARE(
        sqlite3_open_v2(QFile::encodeName(file_).constData(), &db, SQLITE_OPEN_READONLY, nullptr),
        SQLITE_OK);
    auto closer = qScopeGuard([db] { sqlite3_close(db); });
    auto rows = [db](const char* sql) {
        QStringList result;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
            return QStringList{QString::fromUtf8(sqlite3_errmsg(db))};
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList columns;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                columns << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)));
            result << columns.join(u'|');
        }
        sqlite3_finalize(stmt);
        return result;
    };

    QCOMPARE(rows("PRAGMA application_id"), QStringList{QString::number(df::kApplicationId)});
    QCOMPARE(rows("PRAGMA user_version"), QStringList{QString::number(df::kFormatVersion)});
    QCOMPARE(
        rows("SELECT key, value FROM pinleaf ORDER BY key"),
        (QStringList{QStringLiteral("format|Pinleaf data file"), QStringLiteral("version|1")}));
    QCOMPARE(rows("SELECT seq, quote(NUMBER), quote(TITLE), quote(MESSAGE), quote(DATE), "
                  "quote(TIME), quote(URL), quote(LOCKED), quote(FINISHED) "
                  "FROM messages ORDER BY seq"),
             (QStringList{
                 QStringLiteral("1|-5|'Hi ü'|NULL|'2024-02-29'|'08:15:00'|NULL|1|0"),
                 QStringLiteral("2|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL"),
             }));
}

// ---- Files that are not ours ---------------------------------------------------------------

void TestDataFile::refusesUnreadableFile_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");

    const QString damaged = QStringLiteral("the file is damaged or incomplete");
    const QString foreign = QStringLiteral("another program's database");
    const QByteArray good = pinleafBytes(manyRecords(300));
    QVERIFY(good.size() > 8 * 4096);

    QByteArray lastPageOverwritten = good;
    lastPageOverwritten.replace(good.size() - 4096, 4096, QByteArray(4096, '\xA5'));

    auto withRow = [](const QByteArray& values) {
        return databaseBytes(layoutSql() + "INSERT INTO messages VALUES (1, " + values + ");");
    };

    QTest::newRow("missing") << false << QByteArray() << QStringLiteral("does not exist");
    QTest::newRow("empty") << true << QByteArray() << QStringLiteral("the file is empty");
    QTest::newRow("text file") << true << QByteArray("Shopping: milk, bread\n")
                               << QStringLiteral("not a Pinleaf data file");
    QTest::newRow("another program's database")
        << true
        << databaseBytes(
               "CREATE TABLE contacts(name TEXT); INSERT INTO contacts "
               "VALUES ('Ann');")
        << foreign;
    QTest::newRow("our id but no marker tables")
        << true
        << databaseBytes("PRAGMA application_id = " + QByteArray::number(df::kApplicationId) +
                         "; PRAGMA user_version = 1; CREATE TABLE t(x);")
        << foreign;
    QTest::newRow("newer format") << true << databaseBytes(layoutSql(df::kFormatVersion + 1))
                                  << QStringLiteral("newer version of Pinleaf");
    QTest::newRow("write-ahead log")
        << true << databaseBytes(layoutSql() + "PRAGMA journal_mode = WAL;")
        << QStringLiteral("write-ahead log");
    QTest::newRow("cut off inside the header") << true << good.left(60) << damaged;
    QTest::newRow("cut off part-way") << true << good.left(good.size() / 2 + 100) << damaged;
    QTest::newRow("page overwritten") << true << lastPageOverwritten << damaged;
    QTest::newRow("date that is no date")
        << true << withRow("1, 't', NULL, '2023-02-29', NULL, NULL, 0, 0") << damaged;
    QTest::newRow("number beyond 16 bits")
        << true << withRow("32768, 't', NULL, NULL, NULL, NULL, 0, 0") << damaged;
    QTest::newRow("flag other than 0 or 1")
        << true << withRow("1, 't', NULL, NULL, NULL, NULL, 2, 0") << damaged;
}

void TestDataFile::refusesUnreadableFile() {
    QFETCH(bool, present);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);

    if (present) {
        putFile(file_, content);
        ageFile(file_);
    }
    const QStringList entries = listing(tmp_->path());

    QString message;
    try {
        df::read(file_);
        QFAIL("the file was read");
    } catch (const DataFileError& e) {
        message = QString::fromUtf8(e.what());
    }
    const QString opening = QStringLiteral("Cannot open the data file ‘%1’: ").arg(file_);
    QVERIFY2(message.startsWith(opening), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY2(message.endsWith(u'.'), qPrintable(message));

    QCOMPARE(listing(tmp_->path()), entries);  // nothing created beside it
    if (present) {
        QCOMPARE(fileBytes(file_), content);
        QCOMPARE(statOf(file_).st_mtim.tv_sec, time_t(1000000000));
    }
}

// ---- Saves that do not finish --------------------------------------------------------------

void TestDataFile::saveKilledPartWayKeepsOldFile_data() {
    QTest::addColumn<int>("stopAt");
    QTest::addColumn<bool>("kill");

    QTest::newRow("exit part-way") << 10000 << false;
    QTest::newRow("killed part-way") << 10000 << true;
    QTest::newRow("killed after the last row") << 32766 << true;
}

void TestDataFile::saveKilledPartWayKeepsOldFile() {
    QFETCH(int, stopAt);
    QFETCH(bool, kill);

    const Records old{simple(1, QStringLiteral("old one")), simple(2, QStringLiteral("old two"))};
    df::write(file_, old);

    std::fflush(nullptr);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        // Only _exit from here on: the child must not run the test framework's shutdown.
        try {
            df::setWriteProgressHookForTesting([stopAt, kill](std::size_t row) {
                if (row == std::size_t(stopAt)) {
                    if (kill)
                        std::raise(SIGKILL);
                    ::_exit(42);
                }
            });
            df::write(file_, manyRecords(32767));
            ::_exit(0);  // the hook never stopped the save
        } catch (...) {
            ::_exit(3);
        }
    }

    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    if (kill) {
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, "the save was not killed");
    } else {
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 42, "the save was not stopped");
    }

    COMPARE_RECORDS(df::read(file_), old);

    // The abandoned temporary file does not get in the way of the next save, and once it is
    // older than any running save could be, that save clears it away.
    const QStringList leftovers =
        QDir(dir_).entryList({QStringLiteral(".Pinleaf.cds.saving-*")}, QDir::Files | QDir::Hidden);
    QCOMPARE(leftovers.size(), 1);
    const Records next{simple(3, QStringLiteral("new"))};
    df::write(file_, next);
    COMPARE_RECORDS(df::read(file_), next);
    QVERIFY(QFile::exists(dir_ + QLatin1Char('/') + leftovers[0]));
    ageFile(dir_ + QLatin1Char('/') + leftovers[0]);
    df::write(file_, next);
    QVERIFY(!QFile::exists(dir_ + QLatin1Char('/') + leftovers[0]));
}

void TestDataFile::failedSaveKeepsOldFile_data() {
    QTest::addColumn<Records>("records");
    QTest::addColumn<int>("hookThrowsAt");  // -1: no throwing hook
    QTest::addColumn<QString>("reason");    // part of the message; empty: not a DataFileError

    Record numberTooBig = simple(1, QStringLiteral("x"));
    numberTooBig[NUMBER] = 32768;
    Record textAsNumber = simple(1, QStringLiteral("x"));
    textAsNumber[NUMBER] = QStringLiteral("12");
    Record yearTooLate = simple(1, QStringLiteral("x"));
    yearTooLate[DATE] = QDate(10000, 1, 1);

    QTest::newRow("record with too few fields")
        << Records{simple(1, QStringLiteral("fine")), Record(MessageFieldCount - 1)} << -1
        << QStringLiteral("record 2 cannot be stored");
    QTest::newRow("number beyond 16 bits")
        << Records{numberTooBig} << -1 << QStringLiteral("outside -32768 to 32767");
    QTest::newRow("value of the wrong kind")
        << Records{textAsNumber} << -1 << QStringLiteral("wrong kind");
    QTest::newRow("date beyond year 9999")
        << Records{yearTooLate} << -1 << QStringLiteral("outside the years");
    QTest::newRow("interrupted by an exception") << manyRecords(100) << 50 << QString();
}

void TestDataFile::failedSaveKeepsOldFile() {
    QFETCH(Records, records);
    QFETCH(int, hookThrowsAt);
    QFETCH(QString, reason);

    const Records old{simple(1, QStringLiteral("old"))};
    df::write(file_, old);
    ageFile(file_);
    const QByteArray before = fileBytes(file_);
    const QStringList entries = listing(tmp_->path());

    if (hookThrowsAt >= 0)
        df::setWriteProgressHookForTesting([hookThrowsAt](std::size_t row) {
            if (row == std::size_t(hookThrowsAt))
                throw std::runtime_error("stop");
        });

    QString message;
    bool dataFileError = false;
    try {
        df::write(file_, records);
        QFAIL("the save succeeded");
    } catch (const DataFileError& e) {
        dataFileError = true;
        message = QString::fromUtf8(e.what());
    } catch (const std::runtime_error& e) {
        message = QString::fromUtf8(e.what());
    }
    if (reason.isEmpty()) {
        QCOMPARE(message, QStringLiteral("stop"));
    } else {
        QVERIFY(dataFileError);
        QVERIFY2(message.startsWith(QStringLiteral("Cannot save the data file ‘%1’: ").arg(file_)),
                 qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
    }

    QCOMPARE(fileBytes(file_), before);
    QCOMPARE(statOf(file_).st_mtim.tv_sec, time_t(1000000000));
    QCOMPARE(listing(tmp_->path()), entries);  // the temporary file is gone
}

void TestDataFile::saveToUnusablePlace_data() {
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("needsNonRoot");

    QTest::newRow("folder does not exist")
        << QStringLiteral("absent/Pinleaf.cds") << QStringLiteral("does not exist") << false;
    QTest::newRow("folder path through a file")
        << QStringLiteral("note.txt/Pinleaf.cds") << QStringLiteral("not a folder") << false;
    QTest::newRow("path names a folder")
        << QStringLiteral("sub") << QStringLiteral("folder") << false;
    QTest::newRow("read-only file")
        << QStringLiteral("locked.cds") << QStringLiteral("read-only") << true;
}

void TestDataFile::saveToUnusablePlace() {
    QFETCH(QString, relativePath);
    QFETCH(QString, reason);
    QFETCH(bool, needsNonRoot);
    if (needsNonRoot && ::geteuid() == 0)
        QSKIP("permissions do not bind root");

    putFile(dir_ + QStringLiteral("/note.txt"), "a note");
    QVERIFY(QDir(dir_).mkdir(QStringLiteral("sub")));
    df::write(dir_ + QStringLiteral("/locked.cds"), {});
    QVERIFY(QFile::setPermissions(dir_ + QStringLiteral("/locked.cds"), QFile::ReadOwner));
    const QStringList entries = listing(tmp_->path());

    const QString path = dir_ + u'/' + relativePath;
    QString message;
    try {
        df::write(path, {simple(1, QStringLiteral("x"))});
        QFAIL("the save succeeded");
    } catch (const DataFileError& e) {
        message = QString::fromUtf8(e.what());
    }
    QVERIFY2(message.startsWith(QStringLiteral("Cannot save the data file ‘%1’: ").arg(path)),
             qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QCOMPARE(listing(tmp_->path()), entries);
}

// ---- Where and how the new file lands ------------------------------------------------------

void TestDataFile::saveReplacesFileByRenaming() {
    df::write(file_, {simple(1, QStringLiteral("old"))});
    const QByteArray oldBytes = fileBytes(file_);
    const ino_t oldInode = statOf(file_).st_ino;

    // A reader that opened the old file before the save keeps the old file whole.
    QFile oldFile(file_);
    QVERIFY(oldFile.open(QIODevice::ReadOnly));

    const Records next = manyRecords(500);
    df::write(file_, next);

    QVERIFY(statOf(file_).st_ino != oldInode);
    COMPARE_RECORDS(df::read(file_), next);
    QCOMPARE(oldFile.readAll(), oldBytes);
    QCOMPARE(listing(dir_), QStringList{QStringLiteral("Pinleaf.cds")});
}

void TestDataFile::saveFollowsLinks_data() {
    // Links are made in dir_; targets are relative to dir_. Each link is "name -> text".
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("targetExists");

    QTest::newRow("link beside its file") << QStringList{QStringLiteral("Pinleaf.cds -> real.cds")}
                                          << QStringLiteral("real.cds") << true;
    QTest::newRow("link into another folder")
        << QStringList{QStringLiteral("Pinleaf.cds -> ../elsewhere/real.cds")}
        << QStringLiteral("../elsewhere/real.cds") << true;
    QTest::newRow("chain of links")
        << QStringList{QStringLiteral("Pinleaf.cds -> hop.cds"),
                       QStringLiteral("hop.cds -> ../elsewhere/real.cds")}
        << QStringLiteral("../elsewhere/real.cds") << true;
    QTest::newRow("link to a file not made yet")
        << QStringList{QStringLiteral("Pinleaf.cds -> ../elsewhere/real.cds")}
        << QStringLiteral("../elsewhere/real.cds") << false;
}

void TestDataFile::saveFollowsLinks() {
    QFETCH(QStringList, links);
    QFETCH(QString, target);
    QFETCH(bool, targetExists);

    QVERIFY(QDir().mkpath(tmp_->filePath(QStringLiteral("elsewhere"))));
    const QString targetPath = QDir::cleanPath(dir_ + u'/' + target);
    if (targetExists)
        df::write(targetPath, {simple(1, QStringLiteral("old"))});
    for (const QString& link : links) {
        const QStringList parts = link.split(QStringLiteral(" -> "));
        QCOMPARE(::symlink(QFile::encodeName(parts[1]).constData(),
                           QFile::encodeName(dir_ + u'/' + parts[0]).constData()),
                 0);
    }
    const QStringList entries = listing(tmp_->path());

    const Records next{simple(2, QStringLiteral("new"))};
    df::write(file_, next);

    for (const QString& link : links) {
        const QStringList parts = link.split(QStringLiteral(" -> "));
        char text[4096];
        const ssize_t n =
            ::readlink(QFile::encodeName(dir_ + u'/' + parts[0]).constData(), text, sizeof text);
        QVERIFY2(n > 0, qPrintable(parts[0] + QStringLiteral(" is no longer a link")));
        QCOMPARE(QFile::decodeName(QByteArray(text, n)), parts[1]);
    }
    COMPARE_RECORDS(df::read(targetPath), next);
    COMPARE_RECORDS(df::read(file_), next);
    QStringList expected = entries;
    if (!targetExists) {
        expected << QDir(tmp_->path()).relativeFilePath(targetPath);
        expected.sort();
    }
    QCOMPARE(listing(tmp_->path()), expected);
}

void TestDataFile::savePermissions_data() {
    QTest::addColumn<int>("existingMode");  // -1: no file yet
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("expectedMode");

    QTest::newRow("private file stays private") << 0600 << 022 << 0600;
    QTest::newRow("shared file stays shared") << 0664 << 077 << 0664;
    QTest::newRow("new file under umask 022") << -1 << 022 << 0644;
    QTest::newRow("new file under umask 077") << -1 << 077 << 0600;
}

void TestDataFile::savePermissions() {
    QFETCH(int, existingMode);
    QFETCH(int, mask);
    QFETCH(int, expectedMode);

    if (existingMode >= 0) {
        df::write(file_, {});
        QCOMPARE(::chmod(QFile::encodeName(file_).constData(), mode_t(existingMode)), 0);
    }
    UmaskGuard umaskGuard{mode_t(mask)};
    df::write(file_, {simple(1, QStringLiteral("x"))});
    QCOMPARE(int(statOf(file_).st_mode & 07777), expectedMode);
}

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
