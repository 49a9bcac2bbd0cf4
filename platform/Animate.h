#pragma once
// An animation control: plays a clip, a numbered set of pictures kept among the program's
// resources (LoadFrames), centred in the control on a transparent background, from the first
// picture to the last and again without end while it is active.

#include <QList>
#include <QPixmap>
#include <QWidget>

class QTimer;

namespace pinleaf {

class TAnimate : public QWidget {
    Q_OBJECT

public:
    explicit TAnimate(QWidget* parent = nullptr);

    // Loads the clip NAME at the control's size; an unknown name leaves an empty clip.
    // Stops the animation and shows the first picture.
    void SetClip(const QString& name);
    QString Clip() const { return clip_; }
    int FrameCount() const { return frames_.size(); }
    // The picture on show, 0 to FrameCount() - 1.
    int CurrentFrame() const { return current_; }
    QPixmap CurrentPicture() const;

    // Milliseconds between pictures (100 unless set).
    void SetInterval(int milliseconds);
    int Interval() const;

    // Starts or stops the playing; stopping keeps the picture on show.
    void SetActive(bool active);
    bool Active() const;

    // One step of the playing: the next picture, the first after the last.
    void NextFrame();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* timer_ = nullptr;
    QString clip_;
    QList<QPixmap> frames_;
    int current_ = 0;
};

}  // namespace pinleaf
