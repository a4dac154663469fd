#include "ui/shell/progress_window.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <algorithm>

#include "ui/widgets/ui_text.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 76;
constexpr int kBand = 28;

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("TForm14"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
    MakeBorderlessCentred(this, kWidth, kHeight);

    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("Label1"));
    title_->setGeometry(12, 0, kWidth - 24, kBand);
    title_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont font = title_->font();
    font.setBold(true);
    title_->setFont(font);
    QPalette palette = title_->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    title_->setPalette(palette);

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar1"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    bar_->setGeometry(16, kBand + 14, kWidth - 32, 18);
}

void ProgressWindow::ShowWithText(const QString& text) {
    SetTitle(text);
    bar_->setValue(80);
    if (!isVisible()) {
        MakeBorderlessCentred(this, kWidth, kHeight);
        show();
    }
    PaintNow();
}

void ProgressWindow::SetTitle(const QString& text) {
    setWindowTitle(text);
    title_->setText(text);
    PaintNow();
}

void ProgressWindow::SetPosition(int position) {
    bar_->setValue(std::clamp(position, 0, 100));
    PaintNow();
}

void ProgressWindow::Report(const QString& text, int position) {
    title_->setText(text);
    setWindowTitle(text);
    bar_->setValue(std::clamp(position, 0, 100));
    if (!isVisible()) {
        MakeBorderlessCentred(this, kWidth, kHeight);
        show();
    }
    PaintNow();
}

QString ProgressWindow::title() const {
    return title_->text();
}

int ProgressWindow::position() const {
    return bar_->value();
}

void ProgressWindow::PaintNow() {
    if (isVisible()) {
        repaint();
    }
}

void ProgressWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(245, 240, 228));
    painter.fillRect(QRect(0, 0, width(), kBand), QColor(40, 80, 125));
    painter.setPen(QColor(40, 80, 125));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace dyd::ui
