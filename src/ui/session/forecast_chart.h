#pragma once

// The bar chart of the repetition overview: units due on each of the coming days, today's bar
// with its overdue part hatched. The line above the bars reads the chosen day ("12 jednostek
// (pon 14.12)"): today at first, then the day under the mouse or picked with the arrow keys;
// the same text is the bar's tooltip and the chart's accessible description.

#include <QString>
#include <QWidget>
#include <vector>

namespace dyd::ui {

class ForecastChart final : public QWidget {
    Q_OBJECT
  public:
    struct Day {
        int count = 0;
        int overdue = 0;  // the part of count whose day has passed
        QString caption;  // the day's text, read above the bars and in the tooltip
        QString axisLabel;
    };

    explicit ForecastChart(QWidget* parent = nullptr);

    // Replaces the days and chooses the first.
    void SetDays(std::vector<Day> days);
    const std::vector<Day>& days() const { return days_; }

    int chosenDay() const { return chosen_; }
    void ChooseDay(int day);
    // The day whose column holds the point (in the chart's coordinates); -1 outside the bars.
    int DayAt(QPoint point) const;
    // The column of a day: its bar and the room above it.
    QRect ColumnRect(int day) const;
    // The drawn bar of a day; empty for a day without units.
    QRect BarRect(int day) const;
    // The highest figure of the scale: 1, 2 or 5 times a power of ten, at least the tallest bar.
    int ScaleTop() const;

    QSize sizeHint() const override;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QRect PlotRect() const;
    QRect CaptionRect() const;
    int AxisHeight() const;
    int ScaleWidth() const;

    std::vector<Day> days_;
    int chosen_ = 0;
};

}  // namespace dyd::ui
