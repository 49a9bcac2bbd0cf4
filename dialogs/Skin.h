#pragma once
// The program's skin, shared by every skinned window (the main window, the dialogs, the
// about box, the reminder window): a light-yellow panel without a platform frame, a one-pixel
// outline, a title strip that drags the window, a small close button, and image buttons
// whose caption moves one pixel right and down while the mouse button is held.
//
// Typical use in a window's constructor:
//
//     skin::applySkin(this, QSize(305, 113));
//     TitleImage = skin::titleStrip(this, "CONFIRMTITLE", QPoint(2, 2));
//     skin::connectTitleDrag(TitleImage, this);
//     CloseBtn = skin::closeButton(this, QPoint(291, 1));
//     connect(CloseBtn, &TImage::clicked, this, &MyForm::CloseBtnClick);
//     auto ok = skin::imageButton(this, "OkImage", "OkLabel", "OK", QPoint(48, 76));
//     skin::connectPressedLook(ok);
//     connect(ok.image, &TImage::clicked, this, &MyForm::OkImageClick);

#include <QColor>
#include <QLabel>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

class QMouseEvent;

#include <functional>

namespace pinleaf {

// The panel colour of every skinned window (red 255, green 255, blue 225).
inline const QColor kSkinColor{255, 255, 225};
// The outline of the windows and the frame of the edit boxes.
inline const QColor kSkinFrameColor{167, 118, 15};

// A picture control. Shows the skin picture set with setPicture() and reports the mouse as
// the desktop's picture controls do:
//   mouseDown  on every press; `doubleClick` is set on the second press of a double-click;
//   mouseMove  on moves while a button is held;
//   clicked    when the left button is released over the control it was pressed on; it comes
//              before the mouseUp of the same release;
//   mouseUp    on every release.
// Positions are in the control's own pixels. They are worked out from the cursor's screen
// position and the window's position as the program last set it, so that a window moved
// under the mouse reads the next position consistently even before the display server has
// caught up with the move.
class TImage : public QLabel {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    // Loads the skin picture NAME ("" empties the control); the control keeps its geometry.
    void setPicture(const QString& name);
    // The name of the picture shown, "" when none.
    QString pictureName() const { return pictureName_; }

signals:
    void mouseDown(Qt::MouseButton button, bool doubleClick, QPoint pos);
    void mouseMove(QPoint pos);
    void mouseUp(Qt::MouseButton button, QPoint pos);
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint localPos(QMouseEvent* event) const;

    QString pictureName_;
    bool leftDown_ = false;
};

// A rectangle outline one pixel wide, as large as the control. It takes no mouse input and
// is filled with the panel colour when `filled` is set.
class TShape : public QWidget {
    Q_OBJECT
public:
    explicit TShape(QWidget* parent = nullptr, bool filled = false);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool filled_;
};

// A static text of the skin: the text wraps within the control, and a carriage return in it
// starts a new line. The text is shown as plain text, never as markup.
class TStaticText : public QLabel {
    Q_OBJECT
public:
    explicit TStaticText(QWidget* parent = nullptr);

    // The text as it is drawn: carriage returns (and CR LF pairs) become line breaks.
    static QString displayText(const QString& text);
    // The height the text needs at the control's width.
    int textHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

namespace skin {

// Makes `window` a skinned window of client size `size`: no platform frame, no task-bar
// button, the panel colour, the skin font, a one-pixel outline (returned, object name
// "FrameShape"), and above all other windows when `onTop` is set.
TShape* applySkin(QWidget* window, QSize size, bool onTop = true);

// A title strip: the picture NAME at `pos`, with the hand cursor. Its object name is
// "TitleImage".
TImage* titleStrip(QWidget* parent, const QString& picture, QPoint pos);
// Lets the strip drag `window` through the shared window drag (BeginWindowDrag on a left
// press, DragWindow on moves, EndWindowDrag on release).
void connectTitleDrag(TImage* strip, QWidget* window);

// The icon and the text of a question or error dialog: a 32 x 32 picture control at 14,28
// and, to its right, a text area of 225 x 44 (room for three lines), with the given object
// names.
struct MessageArea {
    QLabel* icon = nullptr;
    TStaticText* text = nullptr;
};
MessageArea messageArea(QWidget* dialog, const char* iconName, const char* textName);

// The small close button (13 x 11) at `pos`, hint "Close", object name "CloseBtn".
TImage* closeButton(QWidget* parent, QPoint pos);

// An image button: the 98 x 25 button picture named `imageName`, with a bold caption
// `labelName` centred on it.
struct ImageButton {
    TImage* image = nullptr;
    QLabel* label = nullptr;
};
ImageButton imageButton(QWidget* parent, const char* imageName, const char* labelName,
                        const QString& caption, QPoint pos);
// The pressed look: the caption moves one pixel right and down while the left button is held
// on the image, and back when it is released (wherever the release happens).
void pressCaption(QLabel* label);
void releaseCaption(QLabel* label);
void connectPressedLook(const ImageButton& button);
// Runs `down` and `up` when the left button is pressed on `image` and released again.
void connectLeftPress(TImage* image, QObject* context, std::function<void()> down,
                      std::function<void()> up);

// Where a window stands centred on the primary screen.
QPoint centredPlace(QSize window);

}  // namespace skin

// --- The window drag ---
// One drag state serves every window: only one title strip can hold the mouse at a time.
// X and Y are mouse positions inside the title control.

// Starts a drag: remembers the starting point and sets Dragging.
void BeginWindowDrag(int x, int y);
// Moves `window` by the distance from the starting point to (x, y); nothing happens unless a
// drag is in progress. Only the snapping window snaps to the screen edges (snappedPlace);
// every other window moves freely.
void DragWindow(QWidget* window, int x, int y);
// Ends the drag.
void EndWindowDrag();
// Whether a drag is in progress.
bool Dragging();

// The window whose drags snap to the edges of the screen (the main window).
void setSnappingWindow(QWidget* window);

// Where a window of size `window` comes when dragged from `place` by `delta` on a screen of
// size `screen`: each edge that comes within 10 pixels of the matching screen edge (or past
// it) lies flush with it.
QPoint snappedPlace(QPoint place, QPoint delta, QSize window, QSize screen);

}  // namespace pinleaf
