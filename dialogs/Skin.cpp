#include "Skin.h"

#include "Fonts.h"
#include "Resources.h"
#include "Screen.h"

#include <QMouseEvent>
#include <QPainter>

namespace pinleaf {

// --- TImage ---

TImage::TImage(QWidget* parent) : QLabel(parent) {}

void TImage::setPicture(const QString& name) {
    pictureName_ = name;
    setPixmap(name.isEmpty() ? QPixmap() : LoadBitmap(name));
}

QPoint TImage::localPos(QMouseEvent* event) const {
    const QWidget* top = window();
    return event->globalPosition().toPoint() - top->geometry().topLeft() - mapTo(top, QPoint(0, 0));
}

void TImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftDown_ = true;
    }
    emit mouseDown(event->button(), false, localPos(event));
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click is a press with the double-click flag; it makes no
    // click of its own.
    emit mouseDown(event->button(), true, localPos(event));
}

void TImage::mouseMoveEvent(QMouseEvent* event) { emit mouseMove(localPos(event)); }

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = localPos(event);
    if (event->button() == Qt::LeftButton) {
        const bool wasDown = leftDown_;
        leftDown_ = false;
        if (wasDown && rect().contains(event->position().toPoint())) {
            emit clicked();
        }
    }
    emit mouseUp(event->button(), pos);
}

// --- TShape ---

TShape::TShape(QWidget* parent, bool filled) : QWidget(parent), filled_(filled) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (filled_) {
        painter.fillRect(rect(), kSkinColor);
    }
    painter.setPen(kSkinFrameColor);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// --- TStaticText ---

TStaticText::TStaticText(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QString TStaticText::displayText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

int TStaticText::textHeight() const {
    return fontMetrics()
        .boundingRect(QRect(0, 0, width(), 10000), Qt::TextWordWrap | Qt::AlignLeft, displayText(text()))
        .height();
}

void TStaticText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, displayText(text()));
}

// --- Building blocks ---

namespace skin {

TShape* applySkin(QWidget* window, QSize size, bool onTop) {
    // A tool window gets no task-bar button; the program lives in the notification area.
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint;
    if (onTop) {
        flags |= Qt::WindowStaysOnTopHint;
    }
    window->setWindowFlags(flags);
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, kSkinColor);
    pal.setColor(QPalette::Base, kSkinColor);
    pal.setColor(QPalette::WindowText, Qt::black);
    window->setPalette(pal);
    window->setAutoFillBackground(true);
    window->setFont(SkinFont());
    window->setFixedSize(size);

    auto* frame = new TShape(window);
    frame->setObjectName(QStringLiteral("FrameShape"));
    frame->setGeometry(QRect(QPoint(0, 0), size));
    frame->lower();
    return frame;
}

TImage* titleStrip(QWidget* parent, const QString& picture, QPoint pos) {
    auto* strip = new TImage(parent);
    strip->setObjectName(QStringLiteral("TitleImage"));
    strip->setPicture(picture);
    strip->setGeometry(QRect(pos, strip->pixmap().size()));
    strip->setCursor(Qt::PointingHandCursor);
    return strip;
}

void connectTitleDrag(TImage* strip, QWidget* window) {
    QObject::connect(strip, &TImage::mouseDown, window, [](Qt::MouseButton button, bool, QPoint pos) {
        if (button == Qt::LeftButton) {
            BeginWindowDrag(pos.x(), pos.y());
        }
    });
    QObject::connect(strip, &TImage::mouseMove, window,
                     [window](QPoint pos) { DragWindow(window, pos.x(), pos.y()); });
    QObject::connect(strip, &TImage::mouseUp, window, [](Qt::MouseButton, QPoint) { EndWindowDrag(); });
}

TImage* closeButton(QWidget* parent, QPoint pos) {
    auto* button = new TImage(parent);
    button->setObjectName(QStringLiteral("CloseBtn"));
    button->setPicture(QStringLiteral("CLOSE"));
    button->setGeometry(pos.x(), pos.y(), 13, 11);
    button->setToolTip(QStringLiteral("Close"));
    return button;
}

ImageButton imageButton(QWidget* parent, const char* imageName, const char* labelName,
                        const QString& caption, QPoint pos) {
    ImageButton b;
    b.image = new TImage(parent);
    b.image->setObjectName(QLatin1String(imageName));
    b.image->setPicture(QStringLiteral("BUTTON"));
    b.image->setGeometry(pos.x(), pos.y(), 98, 25);
    b.label = new QLabel(caption, b.image);
    b.label->setObjectName(QLatin1String(labelName));
    b.label->setFont(SkinFont(8, true));
    b.label->setAlignment(Qt::AlignCenter);
    b.label->setGeometry(0, 0, 98, 25);
    // Presses on the caption belong to the button.
    b.label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return b;
}

void pressCaption(QLabel* label) { label->move(label->pos() + QPoint(1, 1)); }

void releaseCaption(QLabel* label) { label->move(label->pos() - QPoint(1, 1)); }

MessageArea messageArea(QWidget* dialog, const char* iconName, const char* textName) {
    MessageArea area;
    area.icon = new QLabel(dialog);
    area.icon->setObjectName(QLatin1String(iconName));
    area.icon->setGeometry(14, 28, 32, 32);
    area.text = new TStaticText(dialog);
    area.text->setObjectName(QLatin1String(textName));
    area.text->setGeometry(60, 28, 225, 44);
    return area;
}

void connectLeftPress(TImage* image, QObject* context, std::function<void()> down,
                      std::function<void()> up) {
    QObject::connect(image, &TImage::mouseDown, context, [down](Qt::MouseButton b, bool, QPoint) {
        if (b == Qt::LeftButton) {
            down();
        }
    });
    QObject::connect(image, &TImage::mouseUp, context, [up](Qt::MouseButton b, QPoint) {
        if (b == Qt::LeftButton) {
            up();
        }
    });
}

void connectPressedLook(const ImageButton& button) {
    QLabel* label = button.label;
    connectLeftPress(button.image, label, [label] { pressCaption(label); },
                     [label] { releaseCaption(label); });
}

QPoint centredPlace(QSize window) {
    const QSize screen = ScreenSize();
    return QPoint((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

}  // namespace skin

// --- The window drag ---

namespace {

struct WindowDragState {
    bool dragging = false;
    int startX = 0;
    int startY = 0;
    QPointer<QWidget> snapping;
};

WindowDragState& drag() {
    static WindowDragState state;
    return state;
}

// One edge: flush with the screen's near edge below `margin`, with its far edge when the
// window's far edge comes within `margin` of it.
int snapEdge(int edge, int length, int screenLength) {
    constexpr int margin = 10;
    if (edge < margin) {
        return 0;
    }
    if (edge + length > screenLength - margin) {
        return screenLength - length;
    }
    return edge;
}

}  // namespace

void BeginWindowDrag(int x, int y) {
    drag().startX = x;
    drag().startY = y;
    drag().dragging = true;
}

void DragWindow(QWidget* window, int x, int y) {
    const WindowDragState& d = drag();
    if (!d.dragging || !window) {
        return;
    }
    const QPoint delta(x - d.startX, y - d.startY);
    if (window == d.snapping) {
        window->move(snappedPlace(window->pos(), delta, window->size(), ScreenSize()));
    } else {
        window->move(window->pos() + delta);
    }
}

void EndWindowDrag() { drag().dragging = false; }

bool Dragging() { return drag().dragging; }

void setSnappingWindow(QWidget* window) { drag().snapping = window; }

QPoint snappedPlace(QPoint place, QPoint delta, QSize window, QSize screen) {
    return QPoint(snapEdge(place.x() + delta.x(), window.width(), screen.width()),
                  snapEdge(place.y() + delta.y(), window.height(), screen.height()));
}

}  // namespace pinleaf
