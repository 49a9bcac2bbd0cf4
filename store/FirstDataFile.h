#pragma once
// The data file of a new user.

#include <QString>

namespace pinleaf {

// Creates an empty data file at `path` (relative to the current directory) when no file is
// there yet, and returns the file's absolute path, so that the file is found again whatever
// the current directory of a later start. Returns `path` unchanged when the file cannot be
// created (a message on stderr says why); the program then asks for a location as for any
// missing file.
QString createFirstDataFile(const QString& path);

}  // namespace pinleaf
