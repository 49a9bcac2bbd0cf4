#include "Animate.h"

#include "Resources.h"

#include <QPainter>
#include <QTimer>

namespace pinleaf {

TAnimate::TAnimate(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
    setAutoFillBackground(false);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &TAnimate::NextFrame);
}

void TAnimate::SetClip(const QString& name) {
    timer_->stop();
    clip_ = name;
    frames_ = LoadFrames(name, size());
    current_ = 0;
    update();
}

QPixmap TAnimate::CurrentPicture() const {
    return frames_.isEmpty() ? QPixmap() : frames_.at(current_);
}

void TAnimate::SetInterval(int milliseconds) { timer_->setInterval(milliseconds); }

int TAnimate::Interval() const { return timer_->interval(); }

void TAnimate::SetActive(bool active) {
    if (active && !frames_.isEmpty()) {
        if (!timer_->isActive()) {
            timer_->start();
        }
    } else {
        timer_->stop();
    }
}

bool TAnimate::Active() const { return timer_->isActive(); }

void TAnimate::NextFrame() {
    if (frames_.isEmpty()) {
        return;
    }
    current_ = (current_ + 1) % frames_.size();
    update();
}

void TAnimate::paintEvent(QPaintEvent*) {
    const QPixmap picture = CurrentPicture();
    if (picture.isNull()) {
        return;
    }
    QPainter painter(this);
    const QSize shown = picture.deviceIndependentSize().toSize();
    painter.drawPixmap((width() - shown.width()) / 2, (height() - shown.height()) / 2, picture);
}

}  // namespace pinleaf
