// The marked-up text box: where words and icons land for a fixed text measure, the hotspots and
// sound-icon counts, the character-set switches, and the scroll limit with the two buttons in
// both styles.

#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <string>
#include <vector>

#include "ui/widgets/markup_view.h"

using namespace dyd;
using namespace dyd::ui;

namespace {

// Every character 7 pixels wide, bold ones 8: positions become easy to state.
int FixedMeasure(const QString& text, bool bold, bool /*italic*/) {
    return static_cast<int>(text.size()) * (bold ? 8 : 7);
}

MarkupLayout Lay(std::string_view text, MarkupStyle style, QSize box = QSize(300, 200),
                 int offset = 0, CodePage page = CodePage::Cp1250) {
    return LayOutMarkup(MarkupTokenizer(text, style), style, box, offset, page, FixedMeasure);
}

std::vector<MarkupItem> Words(const MarkupLayout& layout) {
    std::vector<MarkupItem> words;
    for (const MarkupItem& item : layout.items) {
        if (item.kind == MarkupItem::Kind::Word) {
            words.push_back(item);
        }
    }
    return words;
}

// n icons "#S=00001#", "#S=00002#", ... separated by spaces.
std::string SoundIcons(int n, const char* kind = "S") {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        char marker[16];
        std::snprintf(marker, sizeof marker, "#%s=%05d# ", kind, i);
        text += marker;
    }
    return text;
}

// n lines of one word each.
std::string Lines(int n) {
    std::string text = "a";
    for (int i = 1; i < n; ++i) {
        text += "@a";
    }
    return text;
}

void SaveShot(QWidget& widget, const char* name) {
    const QByteArray dir = qgetenv("DYD_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        widget.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QLatin1String(name)));
    }
}

}  // namespace

class MarkupViewTest : public QObject {
    Q_OBJECT

  private slots:
    void lineBreaksStartANewLineAtTheLeft() {
        struct Case {
            const char* text;
            MarkupStyle style;
            int lineHeight;
        };
        const std::vector<Case> cases = {
            {"one two<br>three", MarkupStyle::Example, 20},
            {"one two@three", MarkupStyle::Example, 20},
            {"one two<BR>three", MarkupStyle::Example, 20},
            {"one two<br>three", MarkupStyle::Pane, 19},
            {"one two@three", MarkupStyle::Pane, 19},
            {"one two<Br>three", MarkupStyle::Pane, 19},
        };
        for (const Case& c : cases) {
            const std::vector<MarkupItem> words = Words(Lay(c.text, c.style));
            QVERIFY2(words.size() == 3, c.text);
            QCOMPARE(words[0].position, QPoint(1, 1));
            QCOMPARE(words[1].position, QPoint(1 + 4 * 7, 1));
            QCOMPARE(words[2].text, QStringLiteral("three "));
            QCOMPARE(words[2].position, QPoint(1, 1 + c.lineHeight));
        }
    }

    void boldAndItalicSwitchesHoldUntilSwitchedOff() {
        const std::vector<MarkupItem> words =
            Words(Lay("a <b>b <i>c</b> d</i> e", MarkupStyle::Pane));
        // A tag followed by a space leaves an empty word, drawn as a space in the current style.
        const std::vector<std::pair<QString, std::pair<bool, bool>>> expected = {
            {QStringLiteral("a "), {false, false}}, {QStringLiteral("b "), {true, false}},
            {QStringLiteral("c "), {true, true}},   {QStringLiteral(" "), {false, true}},
            {QStringLiteral("d "), {false, true}},  {QStringLiteral(" "), {false, false}},
            {QStringLiteral("e "), {false, false}},
        };
        QCOMPARE(words.size(), expected.size());
        for (std::size_t i = 0; i < words.size(); ++i) {
            QCOMPARE(words[i].text, expected[i].first);
            QCOMPARE(words[i].bold, expected[i].second.first);
            QCOMPARE(words[i].italic, expected[i].second.second);
        }
        // A bold word is measured bold: "b " is 16 pixels wide, not 14.
        QCOMPARE(words[1].width, 16);
    }

    void caretIsItalicOnlyInTheExampleStyle() {
        const std::vector<MarkupItem> example =
            Words(Lay(GapsToItalics("I <am> here"), MarkupStyle::Example));
        QCOMPARE(example.size(), std::size_t{4});
        QCOMPARE(example[1].text, QStringLiteral("am "));
        QVERIFY(example[1].italic);
        QVERIFY(!example[2].italic);
        QCOMPARE(example[3].text, QStringLiteral("here "));
        QVERIFY(!example[3].italic);

        const std::vector<MarkupItem> pane = Words(Lay("I ^am here", MarkupStyle::Pane));
        QCOMPARE(pane[1].text, QStringLiteral("^am "));
        QVERIFY(!pane[1].italic);
    }

    void wordThatDoesNotFitMovesToTheNextLine() {
        // Box 100 wide: "aaaa " (35) + "bbbbbbb " (56) = 91 fit from x = 1; "cc " (21) does not.
        const std::vector<MarkupItem> words =
            Words(Lay("aaaa bbbbbbb cc", MarkupStyle::Example, QSize(100, 200)));
        QCOMPARE(words[1].position, QPoint(36, 1));
        QCOMPARE(words[2].position, QPoint(1, 21));
        // A word wider than the whole box takes a line of its own without an empty line before.
        const std::vector<MarkupItem> wide =
            Words(Lay("x aaaaaaaaaaaaaaaaaaaa y", MarkupStyle::Pane, QSize(100, 200)));
        QCOMPARE(wide[0].position, QPoint(1, 1));
        QCOMPARE(wide[1].position, QPoint(1, 20));
        QCOMPARE(wide[2].position, QPoint(1, 39));
        const std::vector<MarkupItem> first =
            Words(Lay("aaaaaaaaaaaaaaaaaaaa y", MarkupStyle::Pane, QSize(100, 200)));
        QCOMPARE(first[0].position, QPoint(1, 1));
    }

    void angleBracketsThatBeginNoTagAreWords() {
        const std::vector<MarkupItem> words = Words(Lay("5 > 3 < 4", MarkupStyle::Example));
        QStringList texts;
        for (const MarkupItem& w : words) {
            texts << w.text;
        }
        QCOMPARE(texts,
                 QStringList({QStringLiteral("5 "), QStringLiteral("> "), QStringLiteral("3 "),
                              QStringLiteral("< "), QStringLiteral("4 ")}));
        QCOMPARE(words[4].position, QPoint(1 + 4 * 14, 1));
    }

    void charactersAreDrawnInTheirCodePage() {
        // Byte 0xE8 is "č" in Windows-1250 and "и" in Windows-1251.
        const std::string text = "\xE8 <charset>\xE8 <polski>\xE8";
        const std::vector<MarkupItem> pane =
            Words(Lay(text, MarkupStyle::Pane, QSize(300, 200), 0, CodePage::Cp1251));
        QCOMPARE(pane.size(), std::size_t{3});
        QCOMPARE(pane.front().text, QString::fromUtf8("č "));
        QCOMPARE(pane[1].text, QString::fromUtf8("и "));
        QCOMPARE(pane.back().text, QString::fromUtf8("č "));
        // The example style draws the whole text in the database's code page.
        const std::vector<MarkupItem> example =
            Words(Lay("\xE8 \xE8", MarkupStyle::Example, QSize(300, 200), 0, CodePage::Cp1251));
        QCOMPARE(example.front().text, QString::fromUtf8("и "));
        QCOMPARE(example.back().text, QString::fromUtf8("и "));
    }

    void iconsTakeHotspotsInTheExampleStyleOnly() {
        // Box 100 wide, icons advance x by 25: after "go " (21) they stand at x = 22, 47, 72;
        // the fourth would reach 97 + 17 >= 100 and moves to the next line.
        const MarkupLayout layout = Lay("go #S=00012# #n=00013# #S=00014# #S=00015#",
                                        MarkupStyle::Example, QSize(100, 200));
        QCOMPARE(layout.hotspots.size(), std::size_t{4});
        QCOMPARE(layout.hotspots[0].token, std::string("#S=00012#"));
        QCOMPARE(QPoint(layout.hotspots[0].x, layout.hotspots[0].y), QPoint(22, 1));
        QCOMPARE(layout.hotspots[1].token, std::string("#n=00013#"));
        QCOMPARE(layout.items[2].kind, MarkupItem::Kind::TranslationIcon);
        QCOMPARE(layout.hotspots[1].x, 47);
        QCOMPARE(layout.hotspots[2].x, 72);
        QCOMPARE(QPoint(layout.hotspots[3].x, layout.hotspots[3].y), QPoint(1, 21));
        QCOMPARE(layout.firstVisibleSound, 0);
        QCOMPARE(layout.soundIconsInside, 3);

        const MarkupLayout pane = Lay("go #S=00012#", MarkupStyle::Pane);
        QVERIFY(pane.hotspots.empty());
        QCOMPARE(Words(pane).back().text, QStringLiteral("#S=00012# "));
    }

    void theTwoHundredFirstIconOverwritesTheLastHotspot() {
        const MarkupLayout layout = Lay(SoundIcons(201), MarkupStyle::Example, QSize(400, 5000));
        QCOMPARE(layout.hotspots.size(), std::size_t{kMaxHotspots});
        QCOMPARE(layout.hotspots[198].token, std::string("#S=00199#"));
        QCOMPARE(layout.hotspots[199].token, std::string("#S=00201#"));
    }

    void firstVisibleSoundAndCountFollowTheScrolling() {
        // Box 100 x 62, one sound icon per line: lines at y = 1, 21, 41, 61, ...
        std::string text;
        for (int i = 1; i <= 6; ++i) {
            text += "#N=0000" + std::to_string(i) + "# #S=0000" + std::to_string(i) + "#@";
        }
        const MarkupLayout top = Lay(text, MarkupStyle::Example, QSize(100, 62));
        QCOMPARE(top.firstVisibleSound, 1);  // the translation icon before it is entry 0
        QCOMPARE(top.soundIconsInside, 3);   // y = 1, 21, 41 lie below 62 - 2; y = 61 does not
        const MarkupLayout scrolled = Lay(text, MarkupStyle::Example, QSize(100, 62), 2);
        QCOMPARE(scrolled.hotspots[scrolled.firstVisibleSound].token, std::string("#S=00003#"));
        QCOMPARE(scrolled.hotspots[scrolled.firstVisibleSound].y, 1);
        QCOMPARE(scrolled.soundIconsInside, 3);
        const MarkupLayout none = Lay("#N=00001#", MarkupStyle::Example);
        QCOMPARE(none.firstVisibleSound, -1);
        QCOMPARE(none.soundIconsInside, 0);
    }

    void scrollLimitAndButtonsFollowTheRulesOfEachStyle() {
        struct Case {
            MarkupStyle style;
            int lines;
            int height;
            int limit;
        };
        // Final y = 1 + (lines - 1) * line height.
        const std::vector<Case> cases = {
            {MarkupStyle::Example, 5, 100, 0},   // y = 81
            {MarkupStyle::Example, 6, 101, 0},   // y = 101, not beyond the box
            {MarkupStyle::Example, 6, 100, 1},   // y = 101
            {MarkupStyle::Example, 12, 100, 7},  // y = 221: (121 div 20) + 1
            {MarkupStyle::Pane, 6, 98, 0},       // y = 96 < 97
            {MarkupStyle::Pane, 6, 97, 1},       // y = 96 = 97 - 1
            {MarkupStyle::Pane, 6, 96, 1},
            {MarkupStyle::Pane, 10, 60, 6},  // y = 172: (112 div 19) + 1
        };
        for (const Case& c : cases) {
            MarkupView view(c.style);
            QPushButton up;
            QPushButton down;
            view.resize(200, c.height);
            view.AttachScrollButtons(&up, &down);
            QSignalSpy changes(&view, &MarkupView::scrollButtonsChanged);
            view.SetText(Lines(c.lines));
            QCOMPARE(view.scrollLimit(), c.limit);
            QCOMPARE(view.scrollOffset(), 0);
            QVERIFY(up.isHidden());
            QCOMPARE(down.isHidden(), c.limit == 0);
            QCOMPARE(view.scrollDownVisible(), c.limit > 0);

            for (int i = 1; i <= c.limit; ++i) {
                QTest::mouseClick(&down, Qt::LeftButton);
                QCOMPARE(view.scrollOffset(), i);
                QVERIFY(!up.isHidden());
                QCOMPARE(down.isHidden(), i == c.limit);
            }
            // Scrolling beyond the limit does nothing.
            view.ScrollDown();
            QCOMPARE(view.scrollOffset(), c.limit);
            if (c.limit > 0) {
                QCOMPARE(view.layout().items.front().position.y(), 1 - c.limit * view.lineHeight());
                QVERIFY(!changes.isEmpty());
            }
            for (int i = c.limit - 1; i >= 0; --i) {
                QTest::mouseClick(&up, Qt::LeftButton);
                QCOMPARE(view.scrollOffset(), i);
                QVERIFY(!down.isHidden());
                QCOMPARE(up.isHidden(), i == 0);
            }
            view.ScrollUp();
            QCOMPARE(view.scrollOffset(), 0);
        }
    }

    void newTextStartsFromTheTopWithScrollUpHidden() {
        MarkupView view(MarkupStyle::Example);
        view.resize(200, 100);
        view.SetText(Lines(20));
        view.ScrollDown();
        view.ScrollDown();
        QVERIFY(view.scrollUpVisible());
        view.SetText(Lines(3));
        QCOMPARE(view.scrollOffset(), 0);
        QVERIFY(!view.scrollUpVisible());
        QVERIFY(!view.scrollDownVisible());
        QCOMPARE(view.scrollLimit(), 0);
    }

    void clickingAnIconReportsItsMarker() {
        MarkupView view(MarkupStyle::Example);
        view.resize(300, 100);
        view.SetText("Dog #S=00007# #N=00007#");
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy clicked(&view, &MarkupView::iconClicked);
        QCOMPARE(view.hotspots().size(), std::size_t{2});
        const MarkupHotspot sound = view.hotspots()[0];
        const MarkupHotspot translation = view.hotspots()[1];
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(sound.x + 8, sound.y + 10));
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(translation.x + 20, translation.y + 5));
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(5, 8));  // on the word: nothing
        QCOMPARE(clicked.size(), 2);
        QCOMPARE(clicked[0][0].toString(), QStringLiteral("#S=00007#"));
        QCOMPARE(clicked[1][0].toString(), QStringLiteral("#N=00007#"));
    }

    void wordsAreMeasuredWithTheBoxFont() {
        // The widget lays words out with its own font: a bold word is wider than the plain one,
        // and the next word starts where the previous one (with its space) ends.
        MarkupView view(MarkupStyle::Pane);
        view.resize(400, 100);
        view.SetText("Where <b>Where</b> is");
        const std::vector<MarkupItem> words = Words(view.layout());
        QCOMPARE(words.size(), std::size_t{4});
        const MarkupMeasure measure = view.Measure();
        QCOMPARE(words[0].width, measure(QStringLiteral("Where "), false, false));
        QVERIFY(words[1].bold);
        QVERIFY(words[1].width > words[0].width);
        QCOMPARE(words[2].position.x(), words[1].position.x() + words[1].width);
        QVERIFY(words[0].width > 20 && words[0].width < 80);
    }

    void screenshotsOfBothStyles() {
        MarkupView example(MarkupStyle::Example);
        example.resize(420, 80);
        example.setAutoFillBackground(true);
        example.SetText(
            "<b>house</b> - dom@#S=00012# #N=00012# This is my ^house</i>, and that is your "
            "house. @#S=00013# #N=00013# The <i>house</i> on the hill is old. @#S=00014# "
            "#N=00014# 5 > 3 and 2 < 4 @#S=00015# #N=00015# a line that is hidden below");
        SaveShot(example, "markup_example.png");
        QVERIFY(example.scrollDownVisible());
        example.ScrollDown();
        SaveShot(example, "markup_example_scrolled.png");
        QVERIFY(!example.scrollDownVisible());

        MarkupView pane(MarkupStyle::Pane);
        pane.resize(300, 80);
        pane.setAutoFillBackground(true);
        pane.SetCodePage(CodePage::Cp1251);
        pane.SetText(
            "<b><polski>Przyk\xB3"
            "ad:</b><br><charset>\xDF \xEB\xFE\xE1\xEB\xFE "
            "\xF7\xE8\xF2\xE0\xF2\xFC. <polski>(Lubi\xEA czyta\xE6.)");
        SaveShot(pane, "markup_pane.png");
        QVERIFY(!pane.scrollDownVisible());
    }
};

QTEST_MAIN(MarkupViewTest)
#include "markup_view_test.moc"
