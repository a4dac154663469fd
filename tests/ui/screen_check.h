#pragma once

// What a broken screen shows, found from the controls of a window: a control outside its
// window (or its panel), two visible controls over each other, a text cut off in a label, a
// button, a combo box or a list.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTextDocument>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "ui/runner/sentence_box.h"
#include "ui/widgets/image_button.h"

namespace dyd::test {

struct ScreenRules {
    // Controls meant to lie under others (pictures, the comment pane).
    QStringList backdrops;
    // Containers whose own controls are checked inside them as well.
    QStringList panels;
    // Pairs of controls that may overlap, each named by a part of its objectName.
    std::vector<std::pair<QString, QString>> overlaps;
    // Panels that open over other controls: they may hide a control wholly, not cut it.
    QStringList covering;
};

namespace detail {

// The area a control really paints: the sentence box only its lines, a label of plain lines
// without a frame only its text.
inline QRect PaintedArea(QWidget* child) {
    if (auto* box = qobject_cast<dyd::ui::SentenceBox*>(child)) {
        return QRect(box->pos(), QSize(box->width(), box->drawnHeight()));
    }
    auto* label = qobject_cast<QLabel*>(child);
    if (label != nullptr && !label->wordWrap() && label->pixmap().isNull() &&
        label->frameShape() == QFrame::NoFrame && label->styleSheet().isEmpty() &&
        !label->autoFillBackground() && !Qt::mightBeRichText(label->text())) {
        const QSize text =
            label->fontMetrics().size(0, label->text()).boundedTo(label->contentsRect().size());
        const QRect area = QStyle::alignedRect(label->layoutDirection(), label->alignment(), text,
                                               label->contentsRect());
        return area.translated(label->pos());
    }
    return child->geometry();
}

// The texts of the control that do not fit it.
inline QStringList CutTexts(QWidget* child) {
    QStringList cut;
    const QString name = child->objectName();
    if (auto* label = qobject_cast<QLabel*>(child)) {
        const bool rich =
            label->textFormat() == Qt::RichText ||
            (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
        if (!label->pixmap().isNull() || label->text().isEmpty() || rich) {
            return cut;
        }
        if (label->wordWrap()) {
            // The wrapped lines must all stand in the label: a text higher than the label loses
            // lines or halves of lines.
            const QRect room = label->contentsRect();
            QString text = label->text();
            while (!text.isEmpty() && text.back().isSpace()) {
                text.chop(1);  // trailing line breaks show nothing
            }
            const QRect needed = label->fontMetrics().boundingRect(
                QRect(0, 0, room.width(), 1 << 20),
                static_cast<int>(label->alignment()) | Qt::TextWordWrap, text);
            if (needed.height() > room.height()) {
                cut << name + QStringLiteral(" cut: its wrapped text needs %1 pixels of %2")
                                  .arg(needed.height())
                                  .arg(room.height());
            }
            return cut;
        }
        const QFontMetrics metrics = label->fontMetrics();
        const QRect room = label->contentsRect();
        const QStringList lines = label->text().split(QLatin1Char('\n'));
        for (const QString& line : lines) {
            if (metrics.horizontalAdvance(line) > room.width()) {
                cut << name + QStringLiteral(" cut: ") + line;
            }
        }
        // The ink of the lines: the tallest line's own, the others a line apart.
        int ink = 0;
        for (const QString& line : lines) {
            ink = std::max(ink, metrics.tightBoundingRect(line).height());
        }
        const int height = ink + (static_cast<int>(lines.size()) - 1) * metrics.lineSpacing();
        if (height > room.height()) {
            cut << name + QStringLiteral(" too low for its %1 line(s)").arg(lines.size());
        }
    } else if (auto* image = qobject_cast<dyd::ui::ImageButton*>(child);
               image != nullptr && !image->hasPicture() && !image->text().isEmpty()) {
        // Without its picture the button draws its text, in bold, on a plain face.
        QFont bold = image->font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        const QStringList lines = image->text().split(QLatin1Char('\n'));
        int widest = 0;
        for (const QString& line : lines) {
            widest = std::max(widest, metrics.horizontalAdvance(line));
        }
        if (widest + 6 > image->width() ||
            static_cast<int>(lines.size()) * metrics.height() > image->height()) {
            cut << name + QStringLiteral(" cut: ") + image->text();
        }
    } else if (qobject_cast<QPushButton*>(child) != nullptr ||
               qobject_cast<QCheckBox*>(child) != nullptr) {
        auto* button = qobject_cast<QAbstractButton*>(child);
        const int indicator = qobject_cast<QCheckBox*>(child) != nullptr ? 20 : 4;
        if (!button->text().isEmpty() &&
            button->fontMetrics().horizontalAdvance(button->text()) + indicator > button->width()) {
            cut << name + QStringLiteral(" cut: ") + button->text();
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(child)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        option.frame = combo->hasFrame();
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, combo);
        if (combo->fontMetrics().horizontalAdvance(combo->currentText()) > field.width()) {
            cut << name + QStringLiteral(" cut: ") + combo->currentText();
        }
    } else if (auto* list = qobject_cast<QListWidget*>(child)) {
        if (list->horizontalScrollBar()->isVisible()) {
            return cut;
        }
        for (int i = 0; i < list->count(); ++i) {
            const QListWidgetItem* item = list->item(i);
            const int indicator = (item->flags() & Qt::ItemIsUserCheckable) != 0 ? 24 : 6;
            if (QFontMetrics(item->font()).horizontalAdvance(item->text()) + indicator >
                list->viewport()->width()) {
                cut << name + QStringLiteral(" cut: ") + item->text();
            }
        }
    }
    return cut;
}

inline bool MayOverlap(const ScreenRules& rules, const QString& a, const QString& b) {
    for (const auto& [first, second] : rules.overlaps) {
        if ((a.contains(first) && b.contains(second)) ||
            (a.contains(second) && b.contains(first))) {
            return true;
        }
    }
    return false;
}

// Buttons with texts side by side in one row are drawn alike: all from pictures or all as text,
// and text in one font.
inline void CheckButtonRows(const std::vector<QWidget*>& shown, QStringList& problems) {
    std::vector<QAbstractButton*> buttons;
    for (QWidget* widget : shown) {
        auto* button = qobject_cast<QAbstractButton*>(widget);
        if (button != nullptr && qobject_cast<QCheckBox*>(button) == nullptr &&
            button->text().size() > 1) {
            buttons.push_back(button);
        }
    }
    const auto drawsText = [](QAbstractButton* button) {
        auto* image = qobject_cast<dyd::ui::ImageButton*>(button);
        return image == nullptr || !image->hasPicture();
    };
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        for (std::size_t j = i + 1; j < buttons.size(); ++j) {
            QAbstractButton* a = buttons[i];
            QAbstractButton* b = buttons[j];
            const QRect ga = a->geometry();
            const QRect gb = b->geometry();
            const bool sameRow = std::abs(ga.center().y() - gb.center().y()) <
                                 std::min(ga.height(), gb.height()) / 2;
            if (!sameRow) {
                continue;
            }
            const QString pair = a->objectName() + QStringLiteral(" and ") + b->objectName();
            if (drawsText(a) != drawsText(b)) {
                problems << pair + QStringLiteral(" drawn differently (a picture and a text)");
            } else if (drawsText(a) && (a->font().pointSizeF() != b->font().pointSizeF() ||
                                        a->font().pixelSize() != b->font().pixelSize() ||
                                        a->font().bold() != b->font().bold())) {
                problems << pair + QStringLiteral(" in different fonts");
            }
        }
    }
}

inline void Check(QWidget* container, const ScreenRules& rules, QStringList& problems) {
    std::vector<QWidget*> shown;
    for (QObject* object : container->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr || child->isWindow() || !child->isVisible() ||
            rules.backdrops.contains(child->objectName())) {
            continue;
        }
        if (!container->rect().contains(child->geometry())) {
            problems << child->objectName() + QStringLiteral(" outside ") + container->objectName();
        }
        problems << CutTexts(child);
        if (rules.panels.contains(child->objectName())) {
            Check(child, rules, problems);
        }
        auto* label = qobject_cast<QLabel*>(child);
        // An empty label paints nothing.
        if (label != nullptr && label->text().isEmpty() && label->pixmap().isNull() &&
            label->styleSheet().isEmpty()) {
            continue;
        }
        shown.push_back(child);
    }
    CheckButtonRows(shown, problems);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            const QString a = shown[i]->objectName();
            const QString b = shown[j]->objectName();
            const QRect first = PaintedArea(shown[i]);
            const QRect second = PaintedArea(shown[j]);
            const bool hidden = (rules.covering.contains(a) && first.contains(second)) ||
                                (rules.covering.contains(b) && second.contains(first));
            if (!hidden && !MayOverlap(rules, a, b) && first.intersects(second)) {
                problems << a + QStringLiteral(" overlaps ") + b;
            }
        }
    }
}

}  // namespace detail

// What is wrong with the screen, one line a fault; empty when it reads well.
inline QStringList ScreenProblems(QWidget* window, const ScreenRules& rules = {}) {
    QStringList problems;
    detail::Check(window, rules, problems);
    return problems;
}

// A gallery picture: the window, once shown, saved as file, and what is broken on it added to
// problems, each line led by the picture's name. A window that never shows is said so.
inline void TakePicture(QWidget* window, const QString& file, const QString& name,
                        const ScreenRules& rules, QStringList& problems) {
    if (!QTest::qWaitForWindowExposed(window)) {
        problems << name + QStringLiteral(": not shown");
        return;
    }
    QApplication::processEvents();
    if (!window->grab().save(file)) {
        problems << name + QStringLiteral(": not saved");
    }
    for (const QString& problem : ScreenProblems(window, rules)) {
        problems << name + QStringLiteral(": ") + problem;
    }
}

// Windows standing over one another (listed from the lowest up): a close button of a lower window
// that still shows must not stand on or right beside a close button of a window above it, where
// the learner cannot tell which window it closes.
inline QStringList StackedCloseProblems(const std::vector<QWidget*>& windows) {
    constexpr int kCloseImage = 18;
    constexpr int kMargin = 12;
    const auto closes = [](QWidget* window) {
        std::vector<QRect> rects;
        for (auto* button : window->findChildren<dyd::ui::ImageButton*>()) {
            if (button->imageIndex() == kCloseImage && button->isVisible()) {
                rects.emplace_back(button->mapToGlobal(QPoint(0, 0)), button->size());
            }
        }
        return rects;
    };
    QStringList problems;
    for (std::size_t lower = 0; lower < windows.size(); ++lower) {
        if (!windows[lower]->isVisible()) {
            continue;
        }
        for (const QRect& low : closes(windows[lower])) {
            for (std::size_t upper = lower + 1; upper < windows.size(); ++upper) {
                QWidget* above = windows[upper];
                if (!above->isVisible() || above->frameGeometry().contains(low)) {
                    continue;
                }
                for (const QRect& high : closes(above)) {
                    if (low.adjusted(-kMargin, -kMargin, kMargin, kMargin).intersects(high)) {
                        problems << QStringLiteral(
                                        "close buttons of %1 and %2 on top of each other")
                                        .arg(windows[lower]->objectName(), above->objectName());
                    }
                }
            }
        }
    }
    return problems;
}

namespace detail {

inline double Luminance(const QColor& colour) {
    const auto channel = [](double c) {
        c /= 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) +
           0.0722 * channel(colour.blue());
}

}  // namespace detail

// The contrast of two colours, 1 (none) to 21 (black on white).
inline double Contrast(const QColor& a, const QColor& b) {
    const double la = detail::Luminance(a);
    const double lb = detail::Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Texts of the named labels whose ink does not stand out from what lies under them (the window
// drawn without the label): less than 3 : 1, the least for large or bold text.
inline QStringList LowContrastTexts(QWidget* window, const QStringList& names) {
    QStringList problems;
    for (const QString& name : names) {
        auto* label = window->findChild<QLabel*>(name);
        if (label == nullptr || !label->isVisible() || label->text().isEmpty() ||
            !label->isEnabled()) {
            continue;
        }
        const QColor ink = label->palette().color(QPalette::WindowText);
        const QRect area = detail::PaintedArea(label).intersected(window->rect());
        label->hide();
        const QImage under = window->grab(area).toImage();
        label->show();
        double red = 0;
        double green = 0;
        double blue = 0;
        const double count = std::max(1, under.width() * under.height());
        for (int y = 0; y < under.height(); ++y) {
            for (int x = 0; x < under.width(); ++x) {
                const QColor c = under.pixelColor(x, y);
                red += c.red();
                green += c.green();
                blue += c.blue();
            }
        }
        const QColor back(static_cast<int>(red / count), static_cast<int>(green / count),
                          static_cast<int>(blue / count));
        const double contrast = Contrast(ink, back);
        if (contrast < 3.0) {
            problems << QStringLiteral("%1 hard to read: %2 on %3 (%4 : 1)")
                            .arg(name, ink.name(), back.name())
                            .arg(contrast, 0, 'f', 1);
        }
    }
    return problems;
}

}  // namespace dyd::test
