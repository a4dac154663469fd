#include "ui/session/forecast_chart.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace dyd::ui {
namespace {

const QColor kInk(25, 35, 50);
const QColor kBar(62, 112, 168);
const QColor kChosenBar(28, 66, 112);
const QColor kOverdue(176, 62, 48);
const QColor kGrid(25, 35, 50, 60);

constexpr int kCaptionLines = 2;
constexpr int kMargin = 4;
constexpr int kLabelEvery = 7;  // a date under every week's first bar

}  // namespace

ForecastChart::ForecastChart(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Prognoza powtórek"));
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
}

void ForecastChart::SetDays(std::vector<Day> days) {
    days_ = std::move(days);
    chosen_ = -1;
    ChooseDay(0);
    update();
}

void ForecastChart::ChooseDay(int day) {
    if (days_.empty()) {
        chosen_ = 0;
        setAccessibleDescription(QString());
        return;
    }
    day = std::clamp(day, 0, static_cast<int>(days_.size()) - 1);
    if (day == chosen_) {
        return;
    }
    chosen_ = day;
    setAccessibleDescription(days_[static_cast<std::size_t>(day)].caption);
    update();
}

QRect ForecastChart::CaptionRect() const {
    QFont bold = font();
    bold.setBold(true);
    return QRect(kMargin + 2, kMargin, width() - 2 * kMargin - 4,
                 QFontMetrics(bold).lineSpacing() * kCaptionLines);
}

QRect ForecastChart::PlotRect() const {
    const int top = CaptionRect().bottom() + 6;
    return QRect(kMargin + ScaleWidth(), top, width() - 2 * kMargin - ScaleWidth() - 2,
                 height() - top - AxisHeight() - kMargin);
}

int ForecastChart::AxisHeight() const {
    return fontMetrics().height() + 4;
}

int ForecastChart::ScaleWidth() const {
    return fontMetrics().horizontalAdvance(QString::number(ScaleTop())) + 8;
}

QRect ForecastChart::ColumnRect(int day) const {
    if (day < 0 || day >= static_cast<int>(days_.size())) {
        return {};
    }
    const QRect plot = PlotRect();
    const int n = static_cast<int>(days_.size());
    const int left = plot.left() + plot.width() * day / n;
    const int right = plot.left() + plot.width() * (day + 1) / n;
    return QRect(left, plot.top(), right - left, plot.height());
}

int ForecastChart::ScaleTop() const {
    int highest = 1;
    for (const Day& day : days_) {
        highest = std::max(highest, day.count);
    }
    for (int power = 1;; power *= 10) {
        for (int step : {1, 2, 5}) {
            if (step * power >= highest) {
                return step * power;
            }
        }
    }
}

QRect ForecastChart::BarRect(int day) const {
    const QRect column = ColumnRect(day);
    if (column.isEmpty() || days_[static_cast<std::size_t>(day)].count == 0) {
        return {};
    }
    const int count = days_[static_cast<std::size_t>(day)].count;
    // Every day with units shows at least a sliver.
    const int height = std::max(2, column.height() * count / ScaleTop());
    const int gap = column.width() >= 6 ? 2 : 1;
    return QRect(column.left() + gap / 2 + 1, column.bottom() - height + 1,
                 std::max(1, column.width() - gap), height);
}

int ForecastChart::DayAt(QPoint point) const {
    const QRect plot = PlotRect();
    if (days_.empty() || point.x() < plot.left() || point.x() > plot.right() ||
        point.y() < plot.top() || point.y() > plot.bottom() + AxisHeight()) {
        return -1;
    }
    for (int d = 0; d < static_cast<int>(days_.size()); ++d) {
        const QRect column = ColumnRect(d);
        if (point.x() >= column.left() && point.x() <= column.right()) {
            return d;
        }
    }
    return -1;
}

QSize ForecastChart::sizeHint() const {
    return {260, 132};
}

bool ForecastChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int day = DayAt(help->pos());
        if (day >= 0) {
            QToolTip::showText(help->globalPos(), days_[static_cast<std::size_t>(day)].caption,
                               this, ColumnRect(day));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void ForecastChart::mouseMoveEvent(QMouseEvent* event) {
    const int day = DayAt(event->position().toPoint());
    if (day >= 0) {
        ChooseDay(day);
    }
    QWidget::mouseMoveEvent(event);
}

void ForecastChart::mousePressEvent(QMouseEvent* event) {
    const int day = DayAt(event->position().toPoint());
    if (day >= 0) {
        ChooseDay(day);
    }
    QWidget::mousePressEvent(event);
}

void ForecastChart::keyPressEvent(QKeyEvent* event) {
    const int last = static_cast<int>(days_.size()) - 1;
    switch (event->key()) {
        case Qt::Key_Left:
            ChooseDay(chosen_ - 1);
            break;
        case Qt::Key_Right:
            ChooseDay(chosen_ + 1);
            break;
        case Qt::Key_Home:
            ChooseDay(0);
            break;
        case Qt::Key_End:
            ChooseDay(last);
            break;
        case Qt::Key_PageUp:
            ChooseDay(chosen_ - kLabelEvery);
            break;
        case Qt::Key_PageDown:
            ChooseDay(chosen_ + kLabelEvery);
            break;
        default:
            QWidget::keyPressEvent(event);  // the window's keys go on to the window
            return;
    }
    event->accept();
}

void ForecastChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.setPen(hasFocus() ? QPen(kChosenBar, 1, Qt::DashLine) : QPen(kGrid));
    painter.setBrush(QColor(255, 255, 255, 170));
    painter.drawRect(frame);

    const QFontMetrics metrics = fontMetrics();
    painter.setPen(kInk);
    if (!days_.empty()) {
        QFont bold = font();
        bold.setBold(true);
        painter.setFont(bold);
        painter.drawText(CaptionRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         days_[static_cast<std::size_t>(chosen_)].caption);
        painter.setFont(font());
    }

    // The scale: its top and middle figures with their grid lines, and the base line.
    const QRect plot = PlotRect();
    const int top = ScaleTop();
    for (int value : {top, top / 2}) {
        if (value == 0 || (value == top / 2 && top % 2 != 0)) {
            continue;
        }
        const int y = plot.bottom() - plot.height() * value / top;
        painter.setPen(QPen(kGrid, 1, Qt::DotLine));
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(kInk);
        painter.drawText(
            QRect(kMargin, y - metrics.height() / 2, ScaleWidth() - 4, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(value));
    }
    painter.setPen(kInk);
    painter.drawText(
        QRect(kMargin, plot.bottom() - metrics.height() / 2, ScaleWidth() - 4, metrics.height()),
        Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0"));

    for (int d = 0; d < static_cast<int>(days_.size()); ++d) {
        const Day& day = days_[static_cast<std::size_t>(d)];
        const QRect column = ColumnRect(d);
        if (d == chosen_) {
            painter.fillRect(column, QColor(62, 112, 168, 40));
        }
        const QRect bar = BarRect(d);
        if (!bar.isEmpty()) {
            painter.fillRect(bar, d == chosen_ ? kChosenBar : kBar);
            if (day.overdue > 0) {
                // The overdue part at the bottom: red and hatched, told apart without colour.
                const int height = std::max(1, bar.height() * day.overdue / day.count);
                const QRect part(bar.left(), bar.bottom() - height + 1, bar.width(), height);
                painter.fillRect(part, kOverdue);
                painter.fillRect(part, QBrush(Qt::white, Qt::BDiagPattern));
            }
        }
        if (d % kLabelEvery == 0) {
            const int labelWidth = metrics.horizontalAdvance(day.axisLabel);
            int x = column.center().x() - labelWidth / 2;
            x = std::clamp(x, 1, width() - labelWidth - 2);
            painter.setPen(kInk);
            painter.drawLine(column.center().x(), plot.bottom() + 1, column.center().x(),
                             plot.bottom() + 3);
            painter.drawText(QRect(x, plot.bottom() + 3, labelWidth + 1, AxisHeight()),
                             Qt::AlignLeft | Qt::AlignTop, day.axisLabel);
        }
    }
    painter.setPen(kInk);
    painter.drawLine(plot.left(), plot.bottom() + 1, plot.right(), plot.bottom() + 1);
}

}  // namespace dyd::ui
