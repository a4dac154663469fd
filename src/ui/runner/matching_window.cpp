#include "ui/runner/matching_window.h"
#include "ui/widgets/accessible_names.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

#include "core/paths.h"
#include "sound/sound_player.h"
#include "ui/app_context.h"
#include "ui/widgets/focus_marks.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kImageCheck = 6;
const QColor kBlack(0, 0, 0);
const QColor kNavy(0, 0, 128);

QRect RowArea(int left, int row) {
    return QRect(left, 120 + 30 * (row + 1), 260, 26);
}

}  // namespace

MatchingWindow::MatchingWindow(AppContext& context, QWidget* parent)
    : KeyedDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm17"));
    setWindowTitle(QStringLiteral("Dydaktor - Kojarzenie"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);

    instruction_ = MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("Połącz..."),
                             QRect(20, 80, 400, 24), 12);
    for (int i = 0; i < kMatchingPairs; ++i) {
        const auto s = static_cast<std::size_t>(i);
        left_[s] = MakeLabel(this, QStringLiteral("LL%1").arg(i + 1), QString(), RowArea(20, i));
        right_[s] = MakeLabel(this, QStringLiteral("LR%1").arg(i + 1), QString(), RowArea(300, i));
        SetEmptyLabelName(left_[s], QStringLiteral("Lewa kolumna, wiersz %1").arg(i + 1));
        SetEmptyLabelName(right_[s], QStringLiteral("Prawa kolumna, wiersz %1").arg(i + 1));
        for (QLabel* label : {left_[s], right_[s]}) {
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            label->setCursor(Qt::PointingHandCursor);
            label->installEventFilter(this);
            ClickWithKeys(label);
        }
    }
    score_ = MakeLabel(this, QStringLiteral("L_Wynik"), QStringLiteral("0 %"),
                       QRect(300, 460, 260, 32), 16);
    score_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    checkButton_ =
        MakeImageButton(context, kImageCheck, QStringLiteral("K_Sprawdz"),
                        QStringLiteral("Sprawdź"), this, QPoint(kWidth - 40, 540), QSize(110, 36));
    checkButton_->setToolTip(QStringLiteral("Sprawdź"));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    closeButton_->setToolTip(QStringLiteral("Zamknij"));
    checkButton_->setCursor(Qt::PointingHandCursor);
    closeButton_->setCursor(Qt::PointingHandCursor);

    flashTimer_ = new QTimer(this);
    flashTimer_->setObjectName(QStringLiteral("Timer1"));
    flashTimer_->setInterval(kMatchingFlashMs);
    flashTimer_->setSingleShot(true);

    connect(checkButton_, &QAbstractButton::clicked, this, &MatchingWindow::Check);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(flashTimer_, &QTimer::timeout, this, &MatchingWindow::EndFlash);
    SetKeys({&context_, QStringLiteral("jak.html"), false, nullptr, {}});
}

Random& MatchingWindow::random() {
    if (random_ != nullptr) {
        return *random_;
    }
    if (!ownRandom_) {
        ownRandom_ = std::make_unique<SeededRandom>();
    }
    return *ownRandom_;
}

bool MatchingWindow::OfferMatching() {
    if (!Prepare()) {
        return false;
    }
    exec();
    flashTimer_->stop();
    return true;
}

bool MatchingWindow::Prepare() {
    LearnerSession& session = context_.session;
    std::optional<MatchingRound> round =
        PrepareMatchingRound(session.db.units, session.repetitions, context_.paths(), random());
    if (!round) {
        return false;
    }
    Start(*round);
    return true;
}

void MatchingWindow::Start(const MatchingRound& round) {
    background_ = InterfacePicture(context_.paths(),
                                   random().Below(10) < 6 ? "kojarzenie2.jpg" : "kojarzenie1.jpg");
    board_.emplace(round);
    flashTimer_->stop();
    flashRow_ = -1;
    const CodePage foreignPage = context_.session.db.params.foreignCodePage();
    for (int i = 0; i < kMatchingPairs; ++i) {
        const auto s = static_cast<std::size_t>(i);
        left_[s]->setText(Foreign(round.foreignWords[s], foreignPage));
        left_[s]->setToolTip(left_[s]->text());
        SetInk(i, kBlack);
    }
    score_->setText(QStringLiteral("0 %"));
    checkButton_->setVisible(true);
    ShowBoard();
    update();
}

void MatchingWindow::ShowBoard() {
    if (!board_) {
        return;
    }
    for (int i = 0; i < kMatchingPairs; ++i) {
        const auto s = static_cast<std::size_t>(i);
        right_[s]->setText(Polish(board_->right(i)));
        right_[s]->setToolTip(right_[s]->text());
        QFont font(QStringLiteral("Arial"), 12, QFont::Bold);
        font.setUnderline(board_->selectedLeft() == i);
        left_[s]->setFont(font);
        font.setUnderline(board_->selectedRight() == i);
        right_[s]->setFont(font);
    }
}

void MatchingWindow::SetInk(int row, const QColor& ink) {
    const auto s = static_cast<std::size_t>(row);
    for (QLabel* label : {left_[s], right_[s]}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, ink);
        label->setPalette(palette);
    }
}

void MatchingWindow::ClickLeft(int row) {
    const MatchingBoard::Effect effect = board_->ClickLeft(row);
    if (effect.playRow >= 0) {
        PlaySound(board_->round().recordings[static_cast<std::size_t>(effect.playRow)]);
    }
    ShowBoard();
    Flash(effect.flashRow);
}

void MatchingWindow::ClickRight(int row) {
    const MatchingBoard::Effect effect = board_->ClickRight(row);
    ShowBoard();
    Flash(effect.flashRow);
}

void MatchingWindow::Flash(int row) {
    if (row < 0) {
        return;
    }
    // A new flash ends the one still showing, so that no row stays navy.
    if (flashTimer_->isActive() && flashRow_ >= 0 && flashRow_ != row) {
        SetInk(flashRow_, kBlack);
    }
    flashRow_ = row;
    SetInk(row, kNavy);
    flashTimer_->start();
}

void MatchingWindow::EndFlash() {
    flashTimer_->stop();
    if (flashRow_ >= 0) {
        SetInk(flashRow_, kBlack);
    }
    flashRow_ = -1;
}

void MatchingWindow::Check() {
    if (!board_ || board_->solved()) {
        return;
    }
    flashTimer_->stop();
    flashRow_ = -1;
    const int right = board_->Check();
    for (int i = 0; i < kMatchingPairs; ++i) {
        SetInk(i, board_->rowRight(i) ? kNavy : kBlack);
    }
    score_->setText(Utf8(MatchingScoreText(right)));
    if (board_->solved()) {
        checkButton_->setVisible(false);
        PlaySound(ResolvePath(context_.paths().programDir, "b_ok.wav"));
    }
}

void MatchingWindow::PlaySound(const std::string& path) {
    if (context_.sound != nullptr && !path.empty()) {
        context_.sound->PlaySound(path, false);
    }
}

bool MatchingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && board_) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            for (int i = 0; i < kMatchingPairs; ++i) {
                const auto s = static_cast<std::size_t>(i);
                if (watched == left_[s]) {
                    ClickLeft(i);
                    return true;
                }
                if (watched == right_[s]) {
                    ClickRight(i);
                    return true;
                }
            }
        }
    }
    return KeyedDialog::eventFilter(watched, event);
}

void MatchingWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Kojarzenie"));
}

void MatchingWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
    PlaySound(ResolvePath(context_.paths().programDir, "sent.wav"));
}

}  // namespace dyd::ui
