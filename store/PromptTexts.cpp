#include "PromptTexts.h"

#include <QDir>
#include <QFileInfo>

namespace pinleaf {

namespace {

QString quoted(const QString& path) { return QStringLiteral("\u2018") + shortPath(path) + QStringLiteral("\u2019"); }

}  // namespace

QString shortPath(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return QDir::isAbsolutePath(path) ? QStringLiteral("/.../") + name : name;
}

QString openingPromptText(const QString& path) {
    return QStringLiteral("Cannot open the file ") + quoted(path) +
           QStringLiteral("!\rEnter the right location below, please.");
}

QString savingPromptText(const QString& path) {
    return QStringLiteral("Cannot save to the file ") + quoted(path) +
           QStringLiteral("!\rIf you would save your notes, enter the file below.");
}

QString openFailureText(const QString& path) {
    return QStringLiteral("Cannot open the file ") + quoted(path) + QStringLiteral("!\rTry again, please.");
}

QString saveFailureText(const QString& path) {
    return QStringLiteral("Cannot save to the file ") + quoted(path) + QStringLiteral("!\rTry again, please.");
}

QString openOtherPromptText() { return QStringLiteral("\rEnter the location of the file below, please."); }

QString dockAllQuestion() {
    return QStringLiteral(
        "Cannot open a file when you have undocked messages. Do you want to dock all messages?");
}

bool canSaveTo(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo file(path);
    if (file.exists()) {
        return file.isFile();
    }
    return file.absoluteDir().exists();
}

}  // namespace pinleaf
