#include "FirstDataFile.h"

#include "DataFile.h"

#include <QFileInfo>

#include <cstdio>

namespace pinleaf {

QString createFirstDataFile(const QString& path) {
    const QFileInfo info(path);
    if (info.exists()) {
        return path;
    }
    const QString absolute = info.absoluteFilePath();
    try {
        datafile::write(absolute, {});
    } catch (const DataFileError& error) {
        std::fprintf(stderr, "Pinleaf: %s\n", error.what());
        return path;
    }
    return absolute;
}

}  // namespace pinleaf
