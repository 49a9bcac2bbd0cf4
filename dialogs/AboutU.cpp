#include "AboutU.h"

#include "Animate.h"
#include "Fonts.h"
#include "Skin.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>

namespace pinleaf {

namespace about {

namespace {
// The read-me is copied next to the program file when the program is built.
QUrl readMe() {
    return QUrl::fromLocalFile(QCoreApplication::applicationDirPath() +
                               QStringLiteral("/README.md"));
}
}  // namespace

QUrl homePage() { return readMe(); }

QUrl makerPage() { return readMe(); }

FoldLayout foldLayout(bool unfolded) {
    if (unfolded) {
        return {kUnfoldedHeight, QPoint(292, 184), QStringLiteral("UP"), true};
    }
    return {kFoldedHeight, QPoint(180, 140), QStringLiteral("DOWN"), false};
}

}  // namespace about

namespace {

const QColor kLinkColour(0, 0, 255);
const QColor kPressedLinkColour(255, 0, 0);

// A frame with curved corners around a group of lines.
class RoundFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(kSkinFrameColor);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    }
};

template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About Pinleaf"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Modal to the main window only: the notification-area icon and its menu stay usable while
    // the box shows, so that "About..." there can bring the open box to the front.
    setWindowModality(Qt::WindowModal);
    createControls();
    FormCreate();
}

void TAboutBox::createControls() {
    MainShape = skin::applySkin(this, QSize(about::kWidth, about::kFoldedHeight));
    MainShape->setObjectName(QStringLiteral("MainShape"));
    TitleImage = skin::titleStrip(this, QStringLiteral("ABOUTTITLE"), QPoint(2, 2));
    skin::connectTitleDrag(TitleImage, this);
    CloseBtn = skin::closeButton(this, QPoint(391, 1));
    connect(CloseBtn, &TImage::clicked, this, &TAboutBox::CloseBtnClick);
    const QFont font = SkinFont();

    auto label = [this](const char* name, const QString& text, int x, int y) {
        auto* l = named(new QLabel(text, this), name);
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    const QFont bold = SkinFont(8, true);

    LogoAnimate = named(new TAnimate(this), "LogoAnimate");
    LogoAnimate->setGeometry(14, 32, 48, 48);

    InfoShape = named(new RoundFrame(this), "InfoShape");
    InfoShape->setGeometry(74, 22, 318, 104);

    auto link = [this](const char* name, const QString& text, const QFont& f, int x, int y) {
        auto* l = named(new TImage(this), name);
        l->setText(text);
        l->setFont(f);
        l->move(x, y);
        l->adjustSize();
        setTextColour(l, kLinkColour);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);  // hover
        connect(l, &TImage::mouseDown, this, [this, l](Qt::MouseButton, bool, QPoint) {
            LinkLabelMouseDown(l);
        });
        connect(l, &TImage::mouseUp, this, [this, l](Qt::MouseButton, QPoint) { LinkLabelMouseUp(l); });
        return l;
    };

    LinkLabel1 = link("LinkLabel1", QStringLiteral("Pinleaf"), bold, 86, 30);
    connect(LinkLabel1, &TImage::clicked, this, &TAboutBox::LinkLabel1Click);
    LinkLabel1->setToolTip(QStringLiteral("Go to the website of Pinleaf"));

    Label1 = label("Label1", QStringLiteral("Version 3.1"), 86, 46);
    Label1->setFont(bold);
    Label1->adjustSize();

    const QString byLine = QStringLiteral("Made with care by ");
    const QString maker = QStringLiteral("Corvane Software\u2122");
    Label2 = label("Label2", byLine + maker + QLatin1Char('.'), 86, 64);
    LinkLabel2 =
        link("LinkLabel2", maker, font, 86 + Label2->fontMetrics().horizontalAdvance(byLine), 64);
    LinkLabel2->setAutoFillBackground(true);  // covers the name in Label2
    connect(LinkLabel2, &TImage::clicked, this, &TAboutBox::LinkLabel2Click);
    LinkLabel2->setToolTip(QStringLiteral("Go to the website of Corvane Software\u2122"));

    Label3 = named(new QLabel(this), "Label3");
    QFont small = font;
    small.setPixelSize(9);
    Label3->setFont(small);
    Label3->setWordWrap(true);
    Label3->setText(QStringLiteral(
        "Your notes stay in one file on your own computer. Use Pinleaf freely and pass it on "
        "to your friends."));
    Label3->setGeometry(86, 84, 296, 26);

    UpDownImage = named(new TImage(this), "UpDownImage");
    UpDownImage->setGeometry(222, 130, 15, 8);
    UpDownImage->setCursor(Qt::PointingHandCursor);
    connect(UpDownImage, &TImage::clicked, this, &TAboutBox::UpDownImageClick);

    const skin::ImageButton ok =
        skin::imageButton(this, "OkImage", "OkLabel", QStringLiteral("OK"), QPoint(180, 140));
    OkImage = ok.image;
    OkLabel = ok.label;
    skin::connectPressedLook(ok);
    connect(OkImage, &TImage::clicked, this, &TAboutBox::CloseBtnClick);

    // The credits.
    Shape1 = named(new RoundFrame(this), "Shape1");
    Shape1->setGeometry(74, 142, 210, 114);
    Label4 = label("Label4", QStringLiteral("Special thanks to:"), 84, 148);
    Label4->setFont(bold);
    Label4->adjustSize();
    Label5 = label("Label5", QStringLiteral("Made with"), 84, 166);
    Image1 = named(new TImage(this), "Image1");
    Image1->setPicture(QStringLiteral("THANKS"));
    Image1->setGeometry(Label5->geometry().right() + 4, 163, 16, 16);
    Label6 = label("Label6", QStringLiteral("and Qt 6"), Image1->geometry().right() + 4, 166);
    Label7 = label("Label7", QStringLiteral("SQLite, which keeps the notes"), 84, 184);
    Label8 = label("Label8", QStringLiteral("libcurl, which sends the mail"), 84, 200);
    Label9 = label("Label9", QStringLiteral("libcanberra, which rings the bell"), 84, 216);
    Label10 = label("Label10", QStringLiteral("and all who told us what to mend"), 84, 232);
    Shape2 = named(new TImage(this), "Shape2");
    Shape2->setGeometry(82, 162, 196, 18);
    Shape2->setCursor(Qt::PointingHandCursor);
    Shape2->setToolTip(QStringLiteral("Go to the website of the Qt Project"));
    connect(Shape2, &TImage::mouseUp, this, [this](Qt::MouseButton, QPoint) { Shape2MouseUp(); });
}

void TAboutBox::FormCreate() {
    applyFold(false);
    LogoAnimate->SetClip(about::kLogoClip);
    LogoAnimate->SetActive(true);
}

void TAboutBox::ShowModal() { exec(); }

bool TAboutBox::Unfolded() const { return Label4->isVisibleTo(this); }

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TAboutBox::FormShow() {
    // Centred on the screen; folding later moves only the bottom edge.
    move(skin::centredPlace(size()));
}

void TAboutBox::applyFold(bool unfolded) {
    const about::FoldLayout layout = about::foldLayout(unfolded);
    const QList<QWidget*> credits{Shape1, Label4, Label5, Image1, Label6,
                                  Shape2, Label7, Label8, Label9, Label10};
    for (QWidget* w : credits) {
        w->setVisible(layout.credits);
    }
    UpDownImage->setPicture(layout.picture);
    OkImage->move(layout.okImage);
    MainShape->resize(about::kWidth, layout.height);
    setFixedSize(about::kWidth, layout.height);
}

void TAboutBox::UpDownImageClick() { applyFold(!Unfolded()); }

void TAboutBox::CloseBtnClick() { close(); }

void TAboutBox::openAndClose(const QUrl& address) {
    QDesktopServices::openUrl(address);
    close();
}

void TAboutBox::LinkLabel1Click() { openAndClose(about::homePage()); }

void TAboutBox::LinkLabel2Click() { openAndClose(about::makerPage()); }

void TAboutBox::Shape2MouseUp() { openAndClose(QUrl(about::kContributorPage)); }

void TAboutBox::LinkLabelMouseEnter(QLabel* link) {
    QFont f = link->font();
    f.setUnderline(true);
    link->setFont(f);
}

void TAboutBox::LinkLabelMouseLeave(QLabel* link) {
    QFont f = link->font();
    f.setUnderline(false);
    link->setFont(f);
}

void TAboutBox::LinkLabelMouseDown(QLabel* link) { setTextColour(link, kPressedLinkColour); }

void TAboutBox::LinkLabelMouseUp(QLabel* link) { setTextColour(link, kLinkColour); }

void TAboutBox::FormKeyUp(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        CloseBtnClick();
    }
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc act when released, not when pressed.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void TAboutBox::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat()) {
        FormKeyUp(event->key());
    }
    QDialog::keyReleaseEvent(event);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LinkLabel1 || watched == LinkLabel2) {
        auto* link = static_cast<QLabel*>(watched);
        if (event->type() == QEvent::Enter) {
            LinkLabelMouseEnter(link);
        } else if (event->type() == QEvent::Leave) {
            LinkLabelMouseLeave(link);
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace pinleaf
