#include "ui/session/statistics_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include "ui/app_context.h"
#include "ui/widgets/focus_return.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 340;
constexpr int kHeight = 260;
constexpr int kImageBack = 19;
constexpr int kRowTop = 74;
constexpr int kRowStep = 30;

void SetInk(QLabel* label, const QColor& ink) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ink);
    label->setPalette(palette);
}

}  // namespace

StatisticsWindow::StatisticsWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm25"));
    ReturnFocusOnClose(this);
    setWindowTitle(QStringLiteral("Dydaktor 5.0"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);

    const QString captions[] = {QStringLiteral("Dobre odpowiedzi:"),
                                QStringLiteral("Błędne odpowiedzi:"),
                                QStringLiteral("Skuteczność:"), QStringLiteral("Ukończone:")};
    const char* names[] = {"l_Stat1", "L_Stat2", "L_Stat3", "L_stat4"};
    QLabel* values[4] = {};
    for (int i = 0; i < 4; ++i) {
        const int top = kRowTop + i * kRowStep;
        captions_.push_back(MakeLabel(this, QStringLiteral("L_Opis%1").arg(i + 1), captions[i],
                                      QRect(30, top, 160, 26), 11));
        values[i] =
            MakeLabel(this, QString::fromLatin1(names[i]), QString(), QRect(190, top, 120, 26), 12);
        QFont font = values[i]->font();
        font.setBold(true);
        values[i]->setFont(font);
    }
    // The heading the picture holds, for the plain black face without it.
    heading_ = MakeLabel(this, QStringLiteral("L_Tytul"), QStringLiteral("Statystyka"),
                         QRect(0, 18, kWidth, 34), 16);
    heading_->setAlignment(Qt::AlignCenter);
    QFont headingFont = heading_->font();
    headingFont.setBold(true);
    heading_->setFont(headingFont);
    SetInk(heading_, QColor(235, 235, 235));
    heading_->hide();
    right_ = values[0];
    wrong_ = values[1];
    percentage_ = values[2];
    progress_ = values[3];

    backButton_ = MakeImageButton(context, kImageBack, QStringLiteral("K_wroc"),
                                  QStringLiteral("Powrót"), this, QPoint(130, 206), QSize(100, 32));
    okButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_OK"), QStringLiteral("OK"),
                                this, QPoint(kWidth - 20, 206), QSize(90, 32));
    backButton_->setCursor(Qt::PointingHandCursor);
    okButton_->setCursor(Qt::PointingHandCursor);
    connect(backButton_, &QAbstractButton::clicked, this, [this] {
        goBack_ = true;
        accept();
    });
    connect(okButton_, &QAbstractButton::clicked, this, &QDialog::accept);
}

bool StatisticsWindow::ShowScore(const ExerciseScore& score) {
    Fill(score);
    exec();
    return goBack_;
}

void StatisticsWindow::Fill(const ExerciseScore& score) {
    goBack_ = false;
    background_ = InterfacePicture(context_.paths(), "statystyka.bmp");
    // Dark ink on the picture, light ink on the black face without it.
    const QColor ink = background_.isNull() ? QColor(235, 235, 235) : QColor(25, 35, 50);
    const StatisticsFigures figures = ComputeStatisticsFigures(score);
    right_->setText(QString::fromStdString(figures.right));
    wrong_->setText(QString::fromStdString(figures.wrong));
    percentage_->setText(QString::fromStdString(figures.percentage));
    progress_->setText(QString::fromStdString(figures.progress));
    for (QLabel* label : {right_, wrong_, percentage_, progress_}) {
        SetInk(label, ink);
    }
    for (QLabel* label : captions_) {
        SetInk(label, ink);
    }
    heading_->setVisible(background_.isNull());
    backButton_->setVisible(figures.goBackVisible);
}

void StatisticsWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            accept();
            break;
        default:
            QDialog::keyPressEvent(event);
    }
}

void StatisticsWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!background_.isNull()) {
        painter.drawPixmap(0, 0, background_);
    }
}

void StatisticsWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
}

void StatisticsWindow::hideEvent(QHideEvent* event) {
    background_ = QPixmap();  // the picture is loaded again at the next score
    QDialog::hideEvent(event);
}

}  // namespace dyd::ui
