#include "ui/runner/answer_popup.h"

#include <QApplication>
#include <QFontMetrics>
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

constexpr int kWidth = 540;
constexpr int kHeight = 159;
constexpr int kAnswerPixelSize = 22;
constexpr int kSmallestAnswerPixelSize = 9;

}  // namespace

AnswerPopup::AnswerPopup(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), context_(context) {
    setObjectName(QStringLiteral("TForm6"));
    ReturnFocusOnClose(this);
    MakeBorderlessCentred(this, kWidth, kHeight);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_ShowWithoutActivating, false);

    answer_ = new QLabel(this);
    answer_->setObjectName(QStringLiteral("L_Odp"));
    answer_->setGeometry(24, 28, kWidth - 48, kHeight - 56);
    answer_->setAlignment(Qt::AlignCenter);
    answer_->setWordWrap(true);
    answer_->setTextFormat(Qt::PlainText);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kAnswerPixelSize);
    font.setBold(true);
    answer_->setFont(font);

    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    connect(closeButton_, &QAbstractButton::clicked, this, &QWidget::hide);
}

void AnswerPopup::ShowAnswerBytes(const std::string& answer) {
    ShowAnswer(Foreign(answer, context_.session.db.params.foreignCodePage()));
}

void AnswerPopup::ShowAnswer(const QString& answer) {
    // A long answer takes a smaller font, so that all its lines stand in the label.
    QFont font = answer_->font();
    for (int size = kAnswerPixelSize; size >= kSmallestAnswerPixelSize; --size) {
        font.setPixelSize(size);
        const QRect needed = QFontMetrics(font).boundingRect(
            QRect(0, 0, answer_->width(), 1 << 20), Qt::AlignCenter | Qt::TextWordWrap, answer);
        if (needed.height() <= answer_->height()) {
            break;
        }
    }
    answer_->setFont(font);
    answer_->setText(answer);
    MakeBorderlessCentred(this, kWidth, kHeight);
    show();
    activateWindow();
    setFocus();
}

QString AnswerPopup::answerText() const {
    return answer_->text();
}

void AnswerPopup::changeEvent(QEvent* event) {
    // The learner clicked back into the runner or elsewhere: the popup has done its job.
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) {
        hide();
    }
    QWidget::changeEvent(event);
}

void AnswerPopup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            hide();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void AnswerPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(40, 80, 125));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace dyd::ui
