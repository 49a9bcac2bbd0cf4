#pragma once
// One Pinleaf per user: two programs on the same data file would overwrite each other's
// file at exit. The first program holds a lock file and listens on a local socket in the
// user's runtime folder; a later start finds the lock, asks the running program to show its
// window, and ends.

#include <QLockFile>
#include <QObject>

#include <memory>

class QLocalServer;

namespace pinleaf {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `folder`: where the lock and the socket live; by default $XDG_RUNTIME_DIR/pinleaf, or
    // a pinleaf-<uid> folder in the temporary folder where there is no runtime folder.
    explicit SingleInstance(const QString& folder = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the user's Pinleaf. False when another one runs; it has
    // then been asked to show its window.
    bool claim();

    static QString defaultFolder();

signals:
    // Another start asked this program to show its window.
    void showRequested();

private:
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace pinleaf
