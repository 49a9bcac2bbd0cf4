#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal delivered by the event loop, so that a
// logout, a shutdown or a kill closes the program through its normal exit save.

#include <QObject>

class QSocketNotifier;

namespace pinleaf {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one instance per process.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace pinleaf
