#include "SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace pinleaf {

namespace {
const QByteArray kShowRequest = "show\n";
}

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), folder_(folder.isEmpty() ? defaultFolder() : folder) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) {
        return runtime + QStringLiteral("/pinleaf");
    }
    return QDir::tempPath() + QStringLiteral("/pinleaf-%1").arg(getuid());
}

bool SingleInstance::claim() {
    QDir().mkpath(folder_);
    QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString socketPath = folder_ + QStringLiteral("/instance");

    lock_ = std::make_unique<QLockFile>(folder_ + QStringLiteral("/instance.lock"));
    // Only a lock whose program has ended counts as stale, however old it is.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        QLocalServer::removeServer(socketPath);
        if (!server_->listen(socketPath)) {
            std::fprintf(stderr, "Pinleaf: cannot listen on %s: %s\n", qPrintable(socketPath),
                         qPrintable(server_->errorString()));
        }
        connect(server_, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* client = server_->nextPendingConnection()) {
                connect(client, &QLocalSocket::readyRead, this, [this, client] {
                    if (client->readAll().contains(kShowRequest)) {
                        emit showRequested();
                    }
                    client->disconnectFromServer();
                });
                connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            }
        });
        return true;
    }

    // The running program may be starting up and not listen yet: keep trying for a while.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(1000)) {
            socket.write(kShowRequest);
            socket.waitForBytesWritten(1000);
            socket.waitForDisconnected(1000);
            return false;
        }
        QThread::msleep(100);
    }
    std::fprintf(stderr, "Pinleaf is already running, but does not answer.\n");
    return false;
}

}  // namespace pinleaf
