#pragma once
// A new user for one test: an empty settings store and an empty current folder of its own,
// inside a temporary folder that goes away with the object.

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace pinleaf::test {

class FreshUser {
public:
    // Points the settings store (XDG_CONFIG_HOME) and the current folder into a new temporary
    // folder. Returns false when that could not be done.
    bool start() {
        dir_ = std::make_unique<QTemporaryDir>();
        if (!dir_->isValid() || !QDir(dir_->path()).mkpath(QStringLiteral("config")) ||
            !QDir(dir_->path()).mkpath(QStringLiteral("work"))) {
            return false;
        }
        qputenv("XDG_CONFIG_HOME", configDir().toUtf8());
        return QDir::setCurrent(workDir());
    }

    QString path() const { return dir_->path(); }
    QString filePath(const QString& name) const { return dir_->filePath(name); }
    QString configDir() const { return dir_->filePath(QStringLiteral("config")); }
    QString workDir() const { return dir_->filePath(QStringLiteral("work")); }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

}  // namespace pinleaf::test
