#include "DataFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pinleaf::datafile {
namespace {

constexpr char kFormatName[] = "Pinleaf data file";

std::function<void(std::size_t)>& progressHook() {
    static std::function<void(std::size_t)> hook;
    return hook;
}

QString quoted(const QString& path) {
    return QStringLiteral("\u2018%1\u2019").arg(path);
}

[[noreturn]] void failOpen(const QString& path, const QString& reason) {
    throw DataFileError(QStringLiteral("Cannot open the data file %1: %2.")
                            .arg(quoted(path), reason)
                            .toStdString());
}

[[noreturn]] void failSave(const QString& path, const QString& reason) {
    throw DataFileError(QStringLiteral("Cannot save the data file %1: %2.")
                            .arg(quoted(path), reason)
                            .toStdString());
}

QString damaged(const QString& detail) {
    return QStringLiteral("the file is damaged or incomplete (%1)").arg(detail);
}

QString systemError(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

QString readErrnoReason(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("the file does not exist");
        case EACCES:
        case EPERM:
            return QStringLiteral("you are not allowed to read it");
        case ELOOP:
            return QStringLiteral("it is a link that leads round in a circle");
        default:
            return QStringLiteral("the system reported an error (%1)").arg(systemError(err));
    }
}

QString writeErrnoReason(int err) {
    switch (err) {
        case ENOENT:
            return QStringLiteral("the folder it belongs in does not exist");
        case ENOTDIR:
            return QStringLiteral("a part of its folder path is not a folder");
        case EACCES:
        case EPERM:
            return QStringLiteral("you are not allowed to write in its folder");
        case EROFS:
            return QStringLiteral("the disk is read-only");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("the disk is full");
        case EISDIR:
            return QStringLiteral("it is a folder");
        case ELOOP:
            return QStringLiteral("it is a link that leads round in a circle");
        case ENAMETOOLONG:
            return QStringLiteral("its name is too long");
        default:
            return QStringLiteral("the system reported an error (%1)").arg(systemError(err));
    }
}

QString sqliteMessage(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

QString readSqliteReason(sqlite3* db, int rc) {
    switch (rc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("the file is in use by another program");
        case SQLITE_NOMEM:
            return QStringLiteral("there is not enough memory");
        case SQLITE_CANTOPEN:
            return QStringLiteral("the file could not be opened (%1)").arg(sqliteMessage(db));
        case SQLITE_IOERR:
            if (rc == SQLITE_IOERR_SHORT_READ)
                return damaged(QStringLiteral("the file ends too early"));
            return QStringLiteral("the file could not be read (%1)").arg(sqliteMessage(db));
        default:
            // CORRUPT, NOTADB, a schema that lacks what we query, a hot journal left by another
            // program that we may not roll back: all mean the file is not in a state we can read.
            return damaged(sqliteMessage(db));
    }
}

QString writeSqliteReason(sqlite3* db, int rc) {
    switch (rc & 0xff) {
        case SQLITE_FULL:
            return QStringLiteral("the disk is full");
        case SQLITE_NOMEM:
            return QStringLiteral("there is not enough memory");
        case SQLITE_READONLY:
            return QStringLiteral("the disk is read-only");
        case SQLITE_IOERR:
            return QStringLiteral("writing to the disk failed (%1)").arg(sqliteMessage(db));
        default:
            return QStringLiteral("the data could not be written (%1)").arg(sqliteMessage(db));
    }
}

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DbHandle = std::unique_ptr<sqlite3, DbCloser>;

struct StmtFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

std::uint32_t bigEndian32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

// ---- Dates -------------------------------------------------------------------------------

QByteArray dateText(const QDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year(), date.month(), date.day());
    return QByteArray(text);
}

// Accepts exactly "yyyy-MM-dd" naming a real day.
QDate parseDate(const unsigned char* text, int length) {
    if (length != 10 || text[4] != '-' || text[7] != '-')
        return {};
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return {};
            parts[p] = parts[p] * 10 + (text[i] - '0');
        }
    }
    if (parts[0] == 0)
        return {};
    return QDate(parts[0], parts[1], parts[2]);
}

// ---- Reading -----------------------------------------------------------------------------

// Checks what the first bytes of the file tell before SQLite sees it, so that a foreign, empty,
// newer or cut-off file is refused without SQLite touching it or anything beside it.
void checkHeader(const QString& path, const QByteArray& encoded) {
    struct stat st {};
    if (::stat(encoded.constData(), &st) != 0)
        failOpen(path, readErrnoReason(errno));
    if (S_ISDIR(st.st_mode))
        failOpen(path, QStringLiteral("it is a folder, not a file"));
    if (!S_ISREG(st.st_mode))
        failOpen(path, QStringLiteral("it is not a regular file"));

    Fd fd(::open(encoded.constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        failOpen(path, readErrnoReason(errno));
    if (::fstat(fd.get(), &st) != 0)
        failOpen(path, readErrnoReason(errno));
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size == 0)
        failOpen(path, QStringLiteral("the file is empty"));

    unsigned char header[100];
    std::size_t got = 0;
    while (got < sizeof header) {
        ssize_t n = ::read(fd.get(), header + got, sizeof header - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failOpen(path, readErrnoReason(errno));
        if (n == 0)
            break;
        got += std::size_t(n);
    }

    static const char magic[] = "SQLite format 3";  // 16 bytes with its terminating zero
    if (got < sizeof magic || std::memcmp(header, magic, sizeof magic) != 0)
        failOpen(path, QStringLiteral("the file is not a Pinleaf data file"));
    if (got < sizeof header)
        failOpen(path, damaged(QStringLiteral("the file ends inside its header")));

    if (bigEndian32(header + 68) != std::uint32_t(kApplicationId))
        failOpen(path,
                 QStringLiteral("the file is another program's database, not a Pinleaf data file"));

    const auto version = static_cast<std::int32_t>(bigEndian32(header + 60));
    if (version > kFormatVersion)
        failOpen(path, QStringLiteral("the file was written by a newer version of Pinleaf "
                                      "(file format %1; this version reads format %2 and older)")
                           .arg(version)
                           .arg(kFormatVersion));
    if (version < 1)
        failOpen(path, damaged(QStringLiteral("its format version is missing")));

    // Pinleaf never writes a file in write-ahead-log mode, and opening one would make SQLite
    // create files beside it.
    if (header[18] == 2 || header[19] == 2)
        failOpen(path, QStringLiteral("the file has been switched to a write-ahead log by another "
                                      "program, and Pinleaf reads only plain data files"));
    if (header[18] != 1 || header[19] != 1)
        failOpen(path, damaged(QStringLiteral("its storage format is unknown")));

    std::uint32_t pageSize = (std::uint32_t(header[16]) << 8) | header[17];
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        failOpen(path, damaged(QStringLiteral("its page size is invalid")));
    // The page count in the header is trustworthy only when its "valid-for" stamp matches the
    // change counter; SQLite always writes them so.
    const std::uint32_t pageCount = bigEndian32(header + 28);
    if (bigEndian32(header + 92) == bigEndian32(header + 24)) {
        if (pageCount == 0 || size < std::uint64_t(pageCount) * pageSize)
            failOpen(path, damaged(QStringLiteral("the file is shorter than its contents")));
    }
}

Statement prepare(sqlite3* db, const char* sql, const std::function<void(int)>& onError) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        onError(rc);
    }
    return Statement(stmt);
}

class Reader {
  public:
    Reader(QString path, sqlite3* db) : path_(std::move(path)), db_(db) {}

    [[noreturn]] void sqliteFailed(int rc) const { failOpen(path_, readSqliteReason(db_, rc)); }
    [[noreturn]] void badRow(qint64 seq, const QString& what) const {
        failOpen(path_, damaged(QStringLiteral("record %1 %2").arg(seq).arg(what)));
    }

    Statement prepare(const char* sql) const {
        return datafile::prepare(db_, sql, [this](int rc) {
            // A missing table means the database was not written by Pinleaf.
            if ((rc & 0xff) == SQLITE_ERROR)
                failOpen(path_, QStringLiteral("the file is another program's database, "
                                               "not a Pinleaf data file"));
            sqliteFailed(rc);
        });
    }

    void checkStructure() const {
        Statement check =
            datafile::prepare(db_, "PRAGMA quick_check(1)", [this](int rc) { sqliteFailed(rc); });
        int rc = sqlite3_step(check.get());
        if (rc != SQLITE_ROW)
            sqliteFailed(rc);
        const char* verdict = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
        if (!verdict || std::strcmp(verdict, "ok") != 0)
            failOpen(path_,
                     damaged(QString::fromUtf8(verdict ? verdict : "structure check failed")));
    }

    void checkMarker() const {
        Statement marker = prepare("SELECT key, value FROM pinleaf");
        bool formatSeen = false;
        bool versionSeen = false;
        int rc;
        while ((rc = sqlite3_step(marker.get())) == SQLITE_ROW) {
            const QByteArray key(
                reinterpret_cast<const char*>(sqlite3_column_text(marker.get(), 0)));
            const QByteArray value(
                reinterpret_cast<const char*>(sqlite3_column_text(marker.get(), 1)));
            if (key == "format") {
                formatSeen = value == kFormatName;
            } else if (key == "version") {
                bool ok = false;
                const int version = value.toInt(&ok);
                if (ok && version > kFormatVersion)
                    failOpen(path_,
                             QStringLiteral("the file was written by a newer version of Pinleaf "
                                            "(file format %1; this version reads format %2 and "
                                            "older)")
                                 .arg(version)
                                 .arg(kFormatVersion));
                versionSeen = ok && version >= 1;
            }
        }
        if (rc != SQLITE_DONE)
            sqliteFailed(rc);
        if (!formatSeen)
            failOpen(path_, QStringLiteral("the file is another program's database, "
                                           "not a Pinleaf data file"));
        if (!versionSeen)
            failOpen(path_, damaged(QStringLiteral("its format version is missing")));
    }

    std::vector<Record> readMessages() const {
        const std::vector<FieldDef>& fields = messageFields();
        Statement select = prepare(
            "SELECT seq, NUMBER, TITLE, MESSAGE, DATE, TIME, URL, LOCKED, FINISHED "
            "FROM messages ORDER BY seq");
        std::vector<Record> records;
        int rc;
        while ((rc = sqlite3_step(select.get())) == SQLITE_ROW) {
            sqlite3_stmt* row = select.get();
            const qint64 seq = sqlite3_column_int64(row, 0);
            Record record(fields.size());
            for (std::size_t f = 0; f < fields.size(); ++f) {
                const int column = int(f) + 1;
                const int type = sqlite3_column_type(row, column);
                if (type == SQLITE_NULL)
                    continue;
                const FieldDef& def = fields[f];
                switch (def.type) {
                    case FieldType::SmallInt: {
                        const sqlite3_int64 n = sqlite3_column_int64(row, column);
                        if (type != SQLITE_INTEGER || n < std::numeric_limits<qint16>::min() ||
                            n > std::numeric_limits<qint16>::max())
                            badRow(seq, QStringLiteral("has a %1 that is not a small whole number")
                                            .arg(def.name));
                        record[f] = int(n);
                        break;
                    }
                    case FieldType::String:
                    case FieldType::Memo: {
                        if (type != SQLITE_TEXT)
                            badRow(seq, QStringLiteral("has a %1 that is not text").arg(def.name));
                        const auto* text =
                            reinterpret_cast<const char*>(sqlite3_column_text(row, column));
                        record[f] = QString::fromUtf8(text, sqlite3_column_bytes(row, column));
                        break;
                    }
                    case FieldType::Date: {
                        QDate date;
                        if (type == SQLITE_TEXT)
                            date = parseDate(sqlite3_column_text(row, column),
                                             sqlite3_column_bytes(row, column));
                        if (!date.isValid())
                            badRow(seq,
                                   QStringLiteral("has a %1 that is not a date").arg(def.name));
                        record[f] = date;
                        break;
                    }
                    case FieldType::Boolean: {
                        const sqlite3_int64 n = sqlite3_column_int64(row, column);
                        if (type != SQLITE_INTEGER || (n != 0 && n != 1))
                            badRow(
                                seq,
                                QStringLiteral("has a %1 that is neither 0 nor 1").arg(def.name));
                        record[f] = n == 1;
                        break;
                    }
                }
            }
            records.push_back(std::move(record));
        }
        if (rc != SQLITE_DONE)
            sqliteFailed(rc);
        return records;
    }

  private:
    QString path_;
    sqlite3* db_;
};

// ---- Writing -----------------------------------------------------------------------------

// Follows a chain of links to the file it finally names (which need not exist yet).
QString resolveTarget(const QString& path) {
    QString target = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            return target;
        target = info.symLinkTarget();
        if (target.isEmpty())
            failSave(path, QStringLiteral("the link could not be followed"));
    }
    failSave(path, writeErrnoReason(ELOOP));
}

// The new file beside the target: created exclusively, so no other file is ever overwritten.
struct TempFile {
    QByteArray path;
    int fd = -1;
    bool keep = false;

    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (fd >= 0)
            ::close(fd);
        if (!keep && !path.isEmpty())
            ::unlink(path.constData());
    }
    // Closes now and reports the result: on some file systems a failed write surfaces here.
    int close() { return ::close(std::exchange(fd, -1)); }
};

void createTempFile(const QString& userPath, const QByteArray& directory, const QByteArray& name,
                    mode_t mode, TempFile& temp) {
    const QByteArray base = name.size() > 180 ? QByteArray("pinleaf") : name;
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray candidate = directory + "/." + base + ".saving-";
        for (int i = 0; i < 6; ++i)
            candidate += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
        const int fd =
            ::open(candidate.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0) {
            temp.path = candidate;
            temp.fd = fd;
            return;
        }
        if (errno != EEXIST)
            failSave(userPath, writeErrnoReason(errno));
    }
    failSave(userPath, QStringLiteral("no temporary file could be created beside it"));
}

void bindField(sqlite3_stmt* insert, int column, const FieldDef& def, const FieldValue& value,
               QByteArray& text, const std::function<void(const QString&)>& misfit) {
    if (isNull(value)) {
        sqlite3_bind_null(insert, column);
        return;
    }
    switch (def.type) {
        case FieldType::SmallInt:
            if (const int* n = std::get_if<int>(&value)) {
                if (*n < std::numeric_limits<qint16>::min() ||
                    *n > std::numeric_limits<qint16>::max())
                    misfit(QStringLiteral("its %1 %2 is outside -32768 to 32767")
                               .arg(def.name)
                               .arg(*n));
                sqlite3_bind_int(insert, column, *n);
                return;
            }
            break;
        case FieldType::String:
        case FieldType::Memo:
            if (const QString* s = std::get_if<QString>(&value)) {
                text = s->toUtf8();
                sqlite3_bind_text64(insert, column, text.constData(), sqlite3_uint64(text.size()),
                                    SQLITE_STATIC, SQLITE_UTF8);
                return;
            }
            break;
        case FieldType::Date:
            if (const QDate* d = std::get_if<QDate>(&value)) {
                if (!d->isValid()) {
                    // An invalid date is no date.
                    sqlite3_bind_null(insert, column);
                    return;
                }
                if (d->year() < 1 || d->year() > 9999)
                    misfit(QStringLiteral("its %1 lies outside the years 1 to 9999").arg(def.name));
                text = dateText(*d);
                sqlite3_bind_text(insert, column, text.constData(), int(text.size()),
                                  SQLITE_STATIC);
                return;
            }
            break;
        case FieldType::Boolean:
            if (const bool* b = std::get_if<bool>(&value)) {
                sqlite3_bind_int(insert, column, *b ? 1 : 0);
                return;
            }
            break;
    }
    misfit(QStringLiteral("its %1 holds a value of the wrong kind").arg(def.name));
}

void fillDatabase(const QString& userPath, const QByteArray& tempPath,
                  const std::vector<Record>& records) {
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(tempPath.constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    DbHandle db(raw);
    if (rc != SQLITE_OK)
        failSave(userPath, raw ? writeSqliteReason(raw, rc) : QStringLiteral("out of memory"));
    sqlite3_extended_result_codes(db.get(), 1);

    auto check = [&](int code) {
        if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW)
            failSave(userPath, writeSqliteReason(db.get(), code));
    };
    // The file is private to this save until the rename, and is flushed by hand before it, so
    // neither a journal nor SQLite's own syncing is needed.
    const QByteArray setup = QByteArrayLiteral(
                                 "PRAGMA journal_mode = OFF;"
                                 "PRAGMA synchronous = OFF;"
                                 "PRAGMA locking_mode = EXCLUSIVE;"
                                 "PRAGMA application_id = ") +
                             QByteArray::number(kApplicationId) +
                             ";PRAGMA user_version = " + QByteArray::number(kFormatVersion) +
                             ";BEGIN;"
                             "CREATE TABLE pinleaf(key TEXT PRIMARY KEY, value TEXT);"
                             "INSERT INTO pinleaf VALUES ('format', '" +
                             kFormatName + "'), ('version', '" +
                             QByteArray::number(kFormatVersion) +
                             "');"
                             "CREATE TABLE messages(seq INTEGER PRIMARY KEY, NUMBER INTEGER, "
                             "TITLE TEXT, MESSAGE TEXT, DATE TEXT, TIME TEXT, URL TEXT, "
                             "LOCKED INTEGER, FINISHED INTEGER);";
    check(sqlite3_exec(db.get(), setup.constData(), nullptr, nullptr, nullptr));

    const std::vector<FieldDef>& fields = messageFields();
    Statement insert = prepare(db.get(), "INSERT INTO messages VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                               [&](int code) { check(code); });
    std::array<QByteArray, MessageFieldCount> texts;
    const auto& hook = progressHook();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& record = records[i];
        auto misfit = [&](const QString& what) {
            failSave(userPath,
                     QStringLiteral("record %1 cannot be stored: %2").arg(i + 1).arg(what));
        };
        if (record.size() != fields.size())
            misfit(QStringLiteral("it has %1 fields instead of %2")
                       .arg(record.size())
                       .arg(fields.size()));
        sqlite3_bind_int64(insert.get(), 1, sqlite3_int64(i) + 1);
        for (std::size_t f = 0; f < fields.size(); ++f)
            bindField(insert.get(), int(f) + 2, fields[f], record[f], texts[f], misfit);
        check(sqlite3_step(insert.get()));
        sqlite3_reset(insert.get());
        if (hook)
            hook(i);
    }
    insert.reset();
    check(sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr));
    rc = sqlite3_close(db.release());
    if (rc != SQLITE_OK)
        failSave(userPath, QStringLiteral("the data could not be written completely"));
}

}  // namespace

std::vector<Record> read(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    checkHeader(path, encoded);

    sqlite3* raw = nullptr;
    // A plain file name (no URI), read-only: SQLite then never writes to the file.
    int rc = sqlite3_open_v2(encoded.constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    DbHandle db(raw);
    if (!raw)
        failOpen(path, QStringLiteral("there is not enough memory"));
    sqlite3_extended_result_codes(raw, 1);
    if (rc != SQLITE_OK)
        failOpen(path, readSqliteReason(raw, rc));

    Reader reader(path, raw);
    reader.checkStructure();
    reader.checkMarker();
    return reader.readMessages();
}

// Removes what saves of the same file left behind when they were killed part-way: their
// temporary files, older than any save still running could be.
static void removeAbandonedTempFiles(const QFileInfo& target) {
    const QDir folder = target.absoluteDir();
    const QString prefix = QLatin1Char('.') + target.fileName() + QStringLiteral(".saving-");
    const QDateTime before = QDateTime::currentDateTime().addSecs(-600);
    const QFileInfoList leftovers =
        folder.entryInfoList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& leftover : leftovers) {
        if (!leftover.isSymLink() && leftover.lastModified() < before) {
            QFile::remove(leftover.absoluteFilePath());
        }
    }
}

void write(const QString& path, const std::vector<Record>& records) {
    const QString target = resolveTarget(path);
    const QByteArray targetEncoded = QFile::encodeName(target);
    const QFileInfo targetInfo(target);
    const QByteArray directory = QFile::encodeName(targetInfo.absolutePath());
    const QByteArray name = QFile::encodeName(targetInfo.fileName());

    struct stat old {};
    bool exists = false;
    if (::stat(targetEncoded.constData(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            failSave(path, QStringLiteral("it is a folder, not a file"));
        if (!S_ISREG(old.st_mode))
            failSave(path, QStringLiteral("it is not a regular file"));
        // Renaming would succeed over a file the user made read-only; honour that instead.
        if (::access(targetEncoded.constData(), W_OK) != 0)
            failSave(path, QStringLiteral("the file is read-only"));
        exists = true;
    } else if (errno != ENOENT) {
        failSave(path, writeErrnoReason(errno));
    }

    // A new file gets the usual 0666 less the umask (applied by open); a replacement gets the
    // old file's owner and mode before any data goes in, so it is never more open than before.
    TempFile temp;
    createTempFile(path, directory, name, exists ? 0600 : 0666, temp);
    if (exists) {
        if (::fchown(temp.fd, old.st_uid, old.st_gid) != 0) {
            // Not allowed to give the file away: keep at least the group where permitted, else
            // the file simply becomes the caller's. Neither is worth failing the save for.
            if (::fchown(temp.fd, uid_t(-1), old.st_gid) != 0) {
            }
        }
        if (::fchmod(temp.fd, old.st_mode & 07777) != 0)
            failSave(path, writeErrnoReason(errno));
    }

    fillDatabase(path, temp.path, records);

    if (::fsync(temp.fd) != 0)
        failSave(path, writeErrnoReason(errno));
    if (temp.close() != 0)
        failSave(path, writeErrnoReason(errno));
    if (::rename(temp.path.constData(), targetEncoded.constData()) != 0)
        failSave(path, writeErrnoReason(errno));
    temp.keep = true;

    // Make the rename itself durable. The new file is in place already, so a failure here is
    // not reported: some file systems do not sync directories at all.
    Fd dir(::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        (void)::fsync(dir.get());

    removeAbandonedTempFiles(targetInfo);
}

void setWriteProgressHookForTesting(std::function<void(std::size_t)> hook) {
    progressHook() = std::move(hook);
}

}  // namespace pinleaf::datafile
