#pragma once
// Driving modal dialogs from a test without sleeping: the action runs on the first turn of
// the event loop at which the dialog shows (the dialog's own loop is running by then).

#include <QTimer>
#include <QWidget>

#include <functional>

namespace pinleaf {

inline void whenShown(QWidget* dialog, std::function<void()> action) {
    // Owned by the dialog, so that a dialog that goes away takes its pending action along.
    auto* poll = new QTimer(dialog);
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [poll, dialog, action] {
        if (dialog->isVisible()) {
            poll->stop();
            poll->deleteLater();
            action();
        }
    });
    poll->start();
}

}  // namespace pinleaf
