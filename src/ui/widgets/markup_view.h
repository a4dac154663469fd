#pragma once

// A box that draws a marked-up text (the token list of MarkupTokenizer) in one of the two styles:
// the example style of the example-sentences window (icons with hotspots, line height 20) and the
// pane style of the runner's example pane (character-set switches, line height 19). The text is
// laid out by LayOutMarkup, a pure function over a text-measuring callback, so that word positions
// can be checked for a fixed measure; the widget measures with its font and paints the layout.
//
// Scrolling moves the text by whole lines. The windows own the scroll-up and scroll-down image
// buttons: they attach them (AttachScrollButtons) or follow scrollButtonsChanged.

#include <QFont>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/codepage.h"
#include "core/markup.h"

class QAbstractButton;

namespace dyd::ui {

inline constexpr int kSoundIconWidth = 17;
inline constexpr int kSoundIconHeight = 20;
inline constexpr int kTranslationIconWidth = 23;
inline constexpr int kTranslationIconHeight = 15;
inline constexpr int kMaxHotspots = 200;

// One icon drawn in the example style, where it was drawn and its marker ("#S=00012#").
struct MarkupHotspot {
    qint32 x = 0;
    qint32 y = 0;
    std::string token;
};

struct MarkupItem {
    enum class Kind { Word, SoundIcon, TranslationIcon };
    Kind kind = Kind::Word;
    QPoint position;  // top left of the line the item stands on
    QString text;     // a word followed by one space, in its character set
    bool bold = false;
    bool italic = false;
    int width = 0;
    std::string token;
};

struct MarkupLayout {
    std::vector<MarkupItem> items;
    std::vector<MarkupHotspot> hotspots;  // at most kMaxHotspots; further icons overwrite the last
    int firstVisibleSound = -1;           // index into hotspots of the first sound icon at y >= 0
    int soundIconsInside = 0;             // sound icons with 0 <= y < box height - 2
    int finalY = 0;                       // y after the last token
};

// Width in pixels of a text drawn bold and/or italic.
using MarkupMeasure = std::function<int(const QString& text, bool bold, bool italic)>;

// Lays the tokens out in a box of the given size with the text scrolled by offset lines.
// databasePage is the course database's code page: the example style draws every word in it; the
// pane style starts in Windows-1250 and switches with "<charset>" and "<polski>".
MarkupLayout LayOutMarkup(const std::vector<std::string>& tokens, MarkupStyle style, QSize box,
                          int offset, CodePage databasePage, const MarkupMeasure& measure);

// The scroll limit decided on the first layout of a text (scroll offset 0), and whether the
// scroll-down button shows; a limit of 0 means the text fits.
int ScrollLimitOf(MarkupStyle style, int finalY, int boxHeight);

class MarkupView final : public QWidget {
    Q_OBJECT
  public:
    explicit MarkupView(MarkupStyle style, QWidget* parent = nullptr);

    // Tokenizes the text and shows it from its first line: the offset returns to 0, the
    // scroll-up button hides and the scroll limit and the scroll-down button are decided anew.
    void SetText(std::string_view bytes);
    void SetTokens(std::vector<std::string> tokens);
    void SetCodePage(CodePage databasePage);
    // The starting font (default "Arial" at size 10).
    void SetBaseFont(const QFont& font);

    // The windows' scroll buttons: clicks scroll, visibility follows the rules.
    void AttachScrollButtons(QAbstractButton* up, QAbstractButton* down);
    void ScrollUp();
    void ScrollDown();

    MarkupStyle style() const { return style_; }
    const std::vector<std::string>& tokens() const { return tokens_; }
    int scrollOffset() const { return offset_; }
    int scrollLimit() const { return limit_; }
    bool scrollUpVisible() const { return upVisible_; }
    bool scrollDownVisible() const { return downVisible_; }
    int lineHeight() const { return RulesOf(style_).lineHeight; }

    // The layout at the current offset (hotspots, the first visible sound icon, word positions).
    const MarkupLayout& layout() const { return layout_; }
    const std::vector<MarkupHotspot>& hotspots() const { return layout_.hotspots; }
    int firstVisibleSound() const { return layout_.firstVisibleSound; }
    int soundIconsInside() const { return layout_.soundIconsInside; }
    // The marker of the icon under a point of the box, empty when there is none.
    std::string IconAt(QPoint point) const;

    MarkupMeasure Measure() const;

  signals:
    void iconClicked(const QString& token);
    void scrollButtonsChanged(bool upVisible, bool downVisible);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void Relayout();
    void DecideScrollLimit();
    void SetButtons(bool up, bool down);
    QFont FontFor(bool bold, bool italic) const;

    MarkupStyle style_;
    CodePage databasePage_ = CodePage::Cp1250;
    QFont baseFont_;
    std::vector<std::string> tokens_;
    MarkupLayout layout_;
    int offset_ = 0;
    int limit_ = 0;
    bool upVisible_ = false;
    bool downVisible_ = false;
    QAbstractButton* upButton_ = nullptr;
    QAbstractButton* downButton_ = nullptr;
};

}  // namespace dyd::ui
