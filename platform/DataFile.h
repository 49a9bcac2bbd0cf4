#pragma once
// The Pinleaf data file: an SQLite database holding the message records.
//
// Layout (readable with the sqlite3 tool):
//   PRAGMA application_id = 0x50696E4C ('PinL'), PRAGMA user_version = format version;
//   table pinleaf(key TEXT PRIMARY KEY, value TEXT) with rows format = "Pinleaf data file"
//     and version = "1";
//   table messages(seq INTEGER PRIMARY KEY, NUMBER INTEGER, TITLE TEXT, MESSAGE TEXT,
//     DATE TEXT ("yyyy-MM-dd"), TIME TEXT, URL TEXT, LOCKED INTEGER, FINISHED INTEGER),
//     one row per message in the table's own order (seq), NULL where a field is empty.
//
// Reading never writes to the file. Writing builds the complete new database beside the
// target in one transaction, flushes it to disk and renames it over the target, so a crash
// or power cut at any moment leaves either the old file or the new one.

#include "FieldValue.h"

#include <QString>

#include <functional>
#include <stdexcept>
#include <vector>

namespace pinleaf {

// A data file that cannot be read or written. what() is a complete sentence for the user
// that names the file and the reason.
class DataFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace datafile {

inline constexpr int kApplicationId = 0x50696E4C;
inline constexpr int kFormatVersion = 1;

// Reads every record of the file at `path` in file order. Throws DataFileError when the file
// is missing, empty, not an SQLite database, another program's database, written by a newer
// Pinleaf, or damaged.
std::vector<Record> read(const QString& path);

// Replaces the file at `path` (created when missing) with `records` atomically. A link is
// followed, so the file it points to is replaced. The permissions of an existing file are
// kept. Throws DataFileError when the file cannot be written; the old file is then unchanged.
void write(const QString& path, const std::vector<Record>& records);

// Test hook: called after each record row is inserted while writing, with the row's index.
// Lets a test stop a save part-way. Empty in the program.
void setWriteProgressHookForTesting(std::function<void(std::size_t)> hook);

}  // namespace datafile
}  // namespace pinleaf
