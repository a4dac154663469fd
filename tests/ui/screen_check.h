#pragma once

// What a broken screen shows, found from the controls of a window: a control outside its
// window (or its panel), two visible controls over each other, a text cut off in a label, a
// button, a combo box or a list.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTextDocument>
#include <QWidget>
#include <algorithm>
#include <utility>
#include <vector>

#include "ui/runner/sentence_box.h"

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
        if (label->wordWrap() || !label->pixmap().isNull() || label->text().isEmpty() || rich) {
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

}  // namespace dyd::test
