#pragma once
// The about box: the program's name and version, its maker, two short notices, a moving logo,
// links to the program's and the maker's web pages, and credits that fold out below the
// information. A box is made for one modal showing (TMainForm::About1Click) and is gone once
// it has closed; the next one starts folded again.

#include <QDialog>
#include <QPoint>
#include <QString>
#include <QUrl>

class QLabel;

namespace pinleaf {

class TAnimate;
class TImage;
class TShape;

namespace about {

// The web pages the box opens. The program's and the maker's pages are the program's read-me
// next to the program file until there is a web site; the first credit line names the makers
// of the toolkit the program is built with.
QUrl homePage();
QUrl makerPage();
inline const QString kContributorPage = QStringLiteral("https://www.qt.io/");

inline const QString kLogoClip = QStringLiteral("LOGOCLIP");

inline constexpr int kWidth = 405;
inline constexpr int kFoldedHeight = 180;
inline constexpr int kUnfoldedHeight = 263;

// Where the fold puts things: the window's height, the OK button (its caption stays centred
// on it), the fold button's picture, and whether the credits show.
struct FoldLayout {
    int height;
    QPoint okImage;
    QString picture;
    bool credits;

    bool operator==(const FoldLayout&) const = default;
};
FoldLayout foldLayout(bool unfolded);

}  // namespace about

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    // Runs FormCreate: the box starts folded, with the logo playing.
    explicit TAboutBox(QWidget* parent = nullptr);

    // --- Controls (object names as here) ---
    TShape* MainShape = nullptr;  // the outline; follows the window's height
    TImage* TitleImage = nullptr;
    TImage* CloseBtn = nullptr;
    TAnimate* LogoAnimate = nullptr;
    QWidget* InfoShape = nullptr;
    TImage* LinkLabel1 = nullptr;  // "Pinleaf"
    QLabel* Label1 = nullptr;      // "Version 3.1"
    QLabel* Label2 = nullptr;      // the maker's line; LinkLabel2 lies over the name in it
    TImage* LinkLabel2 = nullptr;  // "Corvane Software™"
    QLabel* Label3 = nullptr;      // the two-line notice in small print
    TImage* UpDownImage = nullptr;
    TImage* OkImage = nullptr;
    QLabel* OkLabel = nullptr;
    // The credits, shown while unfolded.
    QWidget* Shape1 = nullptr;
    QLabel* Label4 = nullptr;  // "Special thanks to:"
    QLabel* Label5 = nullptr;
    TImage* Image1 = nullptr;
    QLabel* Label6 = nullptr;
    TImage* Shape2 = nullptr;  // over the first credit line: the contributor's page
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;

    // Shows the box modally; returns when it has closed.
    void ShowModal();
    bool Unfolded() const;

    // --- Handlers ---
    void FormCreate();
    void FormShow();
    void FormKeyUp(int key);
    void CloseBtnClick();
    void LinkLabel1Click();
    void LinkLabel2Click();
    void LinkLabelMouseEnter(QLabel* link);
    void LinkLabelMouseLeave(QLabel* link);
    void LinkLabelMouseDown(QLabel* link);
    void LinkLabelMouseUp(QLabel* link);
    void Shape2MouseUp();
    void UpDownImageClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void applyFold(bool unfolded);
    void openAndClose(const QUrl& address);
};

}  // namespace pinleaf
