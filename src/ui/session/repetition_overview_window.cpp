#include "ui/session/repetition_overview_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>

#include "session/repetition_overview.h"
#include "ui/app_context.h"
#include "ui/session/forecast_chart.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

// The chart of the coming days stands above the list; everything below it keeps its place
// and moves down by the chart's room.
constexpr int kChartRoom = 120;
constexpr int kWidth = 300;
constexpr int kHeight = 240 + kChartRoom;

}  // namespace

RepetitionOverviewWindow::RepetitionOverviewWindow(AppContext& context, QWidget* parent)
    : KeyedDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm21"));
    setWindowTitle(QStringLiteral("Dydaktor 5.0"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);

    chart_ = new ForecastChart(this);
    chart_->setObjectName(QStringLiteral("W_Prognoza"));
    chart_->setGeometry(20, 40, kWidth - 40, 134);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ListBox2"));
    list_->setAccessibleName(QStringLiteral("Powtórki w kolejnych dniach"));
    list_->setGeometry(20, 62 + kChartRoom, kWidth - 40, 126);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setFocusPolicy(Qt::TabFocus);
    list_->setFont(QFont(QStringLiteral("Arial"), 10));

    startLabel_ = MakeLabel(this, QStringLiteral("L_Ile_pow_all2"), QString(),
                            QRect(20, 196 + kChartRoom, 170, 34), 9);
    startLabel_->setWordWrap(true);
    countLabel_ = MakeLabel(this, QStringLiteral("L_Ile_pow_all"), QString(),
                            QRect(20, 188 + kChartRoom, 80, 8), 9);
    countLabel2_ =
        MakeLabel(this, QStringLiteral("l_pow"), QString(), QRect(100, 188 + kChartRoom, 80, 8), 9);

    okButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_OK"), QStringLiteral("OK"),
                                this, QPoint(kWidth - 12, kHeight - 44), QSize(90, 32));
    okButton_->setCursor(Qt::PointingHandCursor);
    connect(okButton_, &QAbstractButton::clicked, this, &QDialog::accept);
    list_->installEventFilter(this);
    SetKeys({&context_, QStringLiteral("jak.html"), true, nullptr, {}});
}

void RepetitionOverviewWindow::ShowOverview() {
    Fill();
    background_ = InterfacePicture(context_.paths(), "stat_powt.bmp");
    if (background_.size() != size()) {
        background_ = QPixmap();  // a picture of the window without the chart: the plain face
    }
    exec();
}

void RepetitionOverviewWindow::Fill() {
    const RepetitionOverview overview =
        BuildRepetitionOverview(context_.session.repetitions, context_.clock.Today());
    list_->clear();
    for (const std::string& line : overview.lines) {
        list_->addItem(QString::fromStdString(line));
    }
    std::vector<ForecastChart::Day> days;
    for (const ForecastDay& day : overview.forecast) {
        days.push_back({day.count, day.overdue, Polish(day.caption), Polish(day.axisLabel)});
    }
    chart_->SetDays(std::move(days));
    startLabel_->setText(Polish(overview.startLabel));
    countLabel_->clear();
    countLabel2_->clear();
}

void RepetitionOverviewWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Przegląd powtórek"));
}

void RepetitionOverviewWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
}

}  // namespace dyd::ui
