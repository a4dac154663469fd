#pragma once

// The shared button pictures and the transparent image button. The image list holds the 33
// button strips of the installation (but_s), each a horizontal strip of two frames of equal
// width: normal and highlighted. A button draws frame 0, and frame 1 while the mouse is over it.
// The pixels of a frame that have the colour of its bottom-left pixel are transparent.

#include <QAbstractButton>
#include <QPixmap>
#include <QString>
#include <string>
#include <vector>

namespace dyd::ui {

class ImageList {
  public:
    // The strips in their fixed order; index 2 = OK, 3 = cancel, 11 = new user, 18 = close.
    static const std::vector<std::string>& FileNames();

    // Checks every strip of programDir: a strip that is missing, unreadable or whose width is
    // not a multiple of the frame count stays empty and is named in errors() (the text of the
    // error: "Nie moge otworzyc pliku : \"...\"" or "Dlugosc obrazka nie dzieli sie przez
    // podana liczbe klatek"). Only the pictures' headers are read here; a strip's pixels are
    // decoded when one of its frames is first asked for, so that a start pays only for the
    // buttons it shows.
    void Load(const std::string& programDir, int frameCount = 2);

    int count() const { return static_cast<int>(strips_.size()); }
    // Frame f of entry i; null when the entry is empty.
    QPixmap Frame(int index, int frame) const;
    int FrameWidth(int index) const;
    // The size of entry i's frames, known without decoding it; empty when the entry is empty.
    QSize FrameSize(int index) const;
    const std::vector<QString>& errors() const { return errors_; }

  private:
    struct Strip {
        QString path;            // empty when the strip is unusable
        mutable QPixmap bitmap;  // decoded on first use
        mutable bool decoded = false;
        int frameWidth = 0;
        int height = 0;
    };
    const Strip* Decoded(int index) const;

    std::vector<Strip> strips_;
    std::vector<QString> errors_;
    int frameCount_ = 2;
};

// A button drawn from an image list entry; without a picture it draws its text, so the window
// still reads well. Tab reaches it: once reached with the keyboard it shows a dotted frame and
// Enter or the space bar presses it. While it only holds the focus because its window opened
// (nothing was chosen), it leaves every key to its window, as the window's own keys say.
class ImageButton final : public QAbstractButton {
    Q_OBJECT
  public:
    ImageButton(const ImageList& images, int imageIndex, QWidget* parent = nullptr);

    void SetImage(int imageIndex);
    // The key that does the button's work, drawn as a small key cap at its left end (over the
    // picture's icon, or beside the text of a plain face); empty: none.
    void SetKeyHint(const QString& key);
    const QString& keyHint() const { return keyHint_; }
    int imageIndex() const { return imageIndex_; }
    // Whether it draws its picture (false: its text on a plain face).
    bool hasPicture() const { return !images_.Frame(imageIndex_, 0).isNull(); }
    bool hovered() const { return hovered_; }
    // Whether the learner reached it with the keyboard (it shows the dotted frame).
    bool keyboardFocus() const { return keyboardFocus_ && hasFocus(); }
    // Marks the focus it holds as the keyboard's (a window whose Enter runs the focused button
    // anyway: its first entry then shows the frame from the start, and Tab goes on from it).
    void MarkKeyboardFocus() {
        keyboardFocus_ = true;
        update();
    }
    QSize sizeHint() const override;

  signals:
    void hoverChanged(bool hovered);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    const ImageList& images_;
    int imageIndex_;
    bool hovered_ = false;
    bool keyboardFocus_ = false;
    QString keyHint_;
};

}  // namespace dyd::ui
