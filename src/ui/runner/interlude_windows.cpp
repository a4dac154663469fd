#include "ui/runner/interlude_windows.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "core/files.h"
#include "core/paths.h"
#include "core/text.h"
#include "sound/sound_player.h"
#include "ui/app_context.h"
#include "ui/widgets/focus_return.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kTextWidth = 540;
constexpr int kTextHeight = 200;
constexpr int kImageSmallSpeaker = 12;
constexpr int kDescriptionBottomGap = 18;

bool IsEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// A file of the database folder, letter case aside; empty when it does not exist.
std::string DatabaseFile(const AppContext& context, std::string_view relative) {
    const std::string& dir = context.session.paths.databaseDir;
    if (dir.empty() || relative.empty() || !FileExistsUnder(dir, relative)) {
        return {};
    }
    return ResolvePath(dir, relative);
}

void PlayFile(AppContext& context, const PlayedHook& hook, const std::string& fileName) {
    if (fileName.empty() || !FileExists(fileName)) {
        return;
    }
    if (hook) {
        hook(fileName);
    }
    if (context.sound != nullptr) {
        context.sound->PlaySound(fileName, false);
    }
}

QLabel* MakeTextLabel(QWidget* parent, const QString& name, const QRect& area, int pointSize,
                      const QColor& colour, bool bold = false) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(area);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

// The largest bold size from maxPoints down to 8 points at which the word-wrapped text fits the
// label's height, so that a long fact or quotation is never cut off.
void FitText(QLabel* label, int maxPoints) {
    QFont font = label->font();
    for (int points = maxPoints; points >= 8; --points) {
        font.setPointSize(points);
        label->setFont(font);
        if (label->heightForWidth(label->width()) <= label->height()) {
            return;
        }
    }
}

}  // namespace

// ---- Quotation and fact ------------------------------------------------------------------

InterludeTextWindow::InterludeTextWindow(AppContext& context, const QString& name,
                                         const QString& title, QWidget* parent)
    : QDialog(parent), context_(context), title_(title) {
    setObjectName(name);
    setWindowTitle(title);
    ReturnFocusOnClose(this);
    setModal(true);
    MakeBorderlessCentred(this, kTextWidth, kTextHeight);

    text_ = MakeTextLabel(this, QStringLiteral("L_Ang"), QRect(24, 26, 492, 76), 14,
                          QColor(255, 255, 255), true);
    translation_ = MakeTextLabel(this, QStringLiteral("L_Pol"), QRect(24, 104, 492, 44), 11,
                                 QColor(255, 214, 90));
    description_ = MakeTextLabel(this, QStringLiteral("L_Opis"), QRect(70, 150, 340, 46), 9,
                                 QColor(170, 180, 195));
    translation_->hide();

    auto* translate = new QPushButton(QStringLiteral("Tłumaczenie"), this);
    translate->setObjectName(QStringLiteral("K_Tlum"));
    translate->setFocusPolicy(Qt::NoFocus);
    translate->setGeometry(kTextWidth - 14 - 104, kTextHeight - 12 - 28, 104, 28);
    translate->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; background: #2b3a55; border: 1px solid "
        "#6d7f9f; border-radius: 3px; } QPushButton:hover { background: #3d5480; }"));
    translate_ = translate;

    play_ =
        MakeImageButton(context, kImageSmallSpeaker, QStringLiteral("K_Graj"), QStringLiteral("♪"),
                        this, QPoint(14 + 32, kTextHeight - 12 - 32), QSize(32, 32));
    play_->setToolTip(QStringLiteral("Czytaj"));
    close_ = MakeImageButton(context, kImageClose, QStringLiteral("B_zamknij"), QStringLiteral("X"),
                             this, QPoint(kTextWidth, 0), QSize(24, 24));
    for (QWidget* pointing : {static_cast<QWidget*>(translate_), static_cast<QWidget*>(play_),
                              static_cast<QWidget*>(close_)}) {
        pointing->setCursor(Qt::PointingHandCursor);
    }
    text_->installEventFilter(this);

    connect(translate_, &QAbstractButton::clicked, this, &InterludeTextWindow::ShowTranslation);
    connect(play_, &QAbstractButton::clicked, this, &InterludeTextWindow::PlayRecording);
    connect(close_, &QAbstractButton::clicked, this, &QDialog::accept);
}

void InterludeTextWindow::SetContent(const QString& text, const QString& description,
                                     const QString& translation, const std::string& recording) {
    text_->setText(text);
    // A text alone (a fact) takes the whole window below the title.
    const bool alone = description.isEmpty() && translation.isEmpty() && recording.empty();
    text_->setGeometry(alone ? QRect(24, 26, 492, 160) : QRect(24, 26, 492, 76));
    FitText(text_, alone ? 13 : 14);
    description_->setText(description);
    translation_->setText(translation);
    translation_->hide();
    translate_->setVisible(!translation.isEmpty());
    recording_ = recording;
    play_->setVisible(!recording.empty());
    text_->setCursor(recording.empty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void InterludeTextWindow::ShowTranslation() {
    translation_->show();
    translate_->hide();
}

void InterludeTextWindow::PlayRecording() {
    if (!recording_.empty() && FileExists(recording_)) {
        // The recording ends the cue when it goes to another player than the cue.
        if (context_.sound != nullptr) {
            context_.sound->CloseMediaPlayer();
        }
        Play(recording_);
    }
}

void InterludeTextWindow::Play(const std::string& fileName) {
    PlayFile(context_, played_, fileName);
}

bool InterludeTextWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !recording_.empty()) {
        PlayRecording();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void InterludeTextWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || IsEnter(event)) {
        accept();
    } else if (event->key() == Qt::Key_Space) {
        if (translate_->isVisible()) {
            ShowTranslation();
        }
    } else {
        QDialog::keyPressEvent(event);
    }
}

void InterludeTextWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.setPen(QColor(90, 110, 140));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    QFont font = painter.font();
    font.setPointSize(8);
    painter.setFont(font);
    painter.drawText(QRect(10, 4, 300, 18), Qt::AlignLeft | Qt::AlignVCenter, title_);
}

void InterludeTextWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
    Play(DatabaseFile(context_, "b2.wav"));
    PlayRecording();
}

QuotationWindow::QuotationWindow(AppContext& context, QWidget* parent)
    : InterludeTextWindow(context, QStringLiteral("TForm18"), QStringLiteral("Sentencje"), parent) {
}

void QuotationWindow::SetQuotation(const Quotation& quotation) {
    const CodePage page = context_.session.db.params.foreignCodePage();
    const std::string name = Trim(quotation.recording);
    const std::string recording =
        name.empty() ? std::string() : DatabaseFile(context_, "bssent/d_roz.cdr/" + name);
    SetContent(Foreign(quotation.text, page), Polish(quotation.description),
               Polish(quotation.translation), recording);
}

FactWindow::FactWindow(AppContext& context, QWidget* parent)
    : InterludeTextWindow(context, QStringLiteral("TForm38"), QStringLiteral("Czy wiesz"), parent) {
}

void FactWindow::SetFact(const std::string& fact) {
    SetContent(Polish(fact), QString(), QString(), std::string());
}

// ---- Picture -----------------------------------------------------------------------------

PictureWindow::PictureWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm16"));
    ReturnFocusOnClose(this);
    setModal(true);
    setWindowFlag(Qt::FramelessWindowHint, true);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);

    background_ = new QLabel(this);
    background_->setObjectName(QStringLiteral("Image1"));
    background_->setAutoFillBackground(true);
    background_->setPalette(palette);
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("Image2"));
    picture_->setScaledContents(true);
    description_ = MakeTextLabel(this, QStringLiteral("L_Opis"), QRect(), 12, Qt::white);
    // Clicks anywhere reach the window, which closes on them.
    for (QLabel* label : {background_, picture_, description_}) {
        label->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    }
    Arrange();
}

void PictureWindow::SetPicture(const PictureItem& item) {
    description_->setText(Polish(item.description));
    pixmap_ = QPixmap();
    pictureFile_.clear();
    const std::string file = PictureFilePath(context_.session.paths, item.name);
    if (!file.empty() && FileExists(file)) {
        QImageReader reader(QString::fromStdString(file));
        const QImage image = reader.read();
        if (!image.isNull()) {
            pixmap_ = QPixmap::fromImage(image);
            pictureFile_ = file;
        }
    }
    Arrange();
}

void PictureWindow::Arrange() {
    const QScreen* screen =
        this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 800, 600);
    setGeometry(area);
    setFixedSize(area.size());
    background_->setGeometry(0, 0, area.width(), area.height());
    if (pixmap_.isNull()) {
        picture_->hide();
        picture_->setPixmap(QPixmap());
    } else {
        const PicturePlacement place =
            PlacePicture(pixmap_.width(), pixmap_.height(), area.width(), area.height());
        picture_->setPixmap(pixmap_.size() == QSize(place.width, place.height)
                                ? pixmap_
                                : pixmap_.scaled(place.width, place.height, Qt::IgnoreAspectRatio,
                                                 Qt::SmoothTransformation));
        picture_->setGeometry(place.left, place.top, place.width, place.height);
        picture_->show();
    }
    const int width = area.width() - 40;
    const int height = std::max(description_->heightForWidth(width), 20);
    description_->setGeometry(20, area.height() - kDescriptionBottomGap - height, width, height);
    description_->raise();
}

void PictureWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || IsEnter(event)) {
        accept();
    } else {
        QDialog::keyPressEvent(event);
    }
}

void PictureWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        accept();
    }
}

void PictureWindow::showEvent(QShowEvent* event) {
    Arrange();
    QDialog::showEvent(event);
    PlayFile(context_, played_, DatabaseFile(context_, "b2.wav"));
}

// ---- The windows behind the scheduler ----------------------------------------------------

InterludeWindows::InterludeWindows(AppContext& context, QWidget* parent)
    : context_(context),
      quotation_(new QuotationWindow(context, parent)),
      fact_(new FactWindow(context, parent)),
      picture_(new PictureWindow(context, parent)) {}

InterludeWindows::~InterludeWindows() {
    // With a parent the windows may already be gone with it.
    delete quotation_.data();
    delete fact_.data();
    delete picture_.data();
}

const InterludePack* InterludeWindows::Pack(int pack, int kind1, int kind2) const {
    if (pack < 1 || pack > kInterludePacks) {
        return nullptr;
    }
    const InterludePack& found = context_.session.packs[static_cast<std::size_t>(pack)];
    if (!found.loaded || (found.kind != kind1 && found.kind != kind2)) {
        return nullptr;
    }
    return &found;
}

namespace {

// Item n of items (1-based), item 1 when n lies outside; nullptr when there are none.
template <typename T>
const T* Item(const std::vector<T>& items, int n) {
    if (items.empty()) {
        return nullptr;
    }
    const int count = static_cast<int>(items.size());
    return &items[static_cast<std::size_t>(n < 1 || n > count ? 0 : n - 1)];
}

}  // namespace

void InterludeWindows::ShowQuotation(int pack, int item) {
    const InterludePack* found = Pack(pack, kQuotations, kQuotations);
    if (found == nullptr || quotation_ == nullptr) {
        return;
    }
    if (const Quotation* quotation = Item(found->quotations, item)) {
        quotation_->SetQuotation(*quotation);
        quotation_->exec();
    }
}

void InterludeWindows::ShowFact(int pack, int item) {
    const InterludePack* found = Pack(pack, kFacts, kFacts);
    if (found == nullptr || fact_ == nullptr) {
        return;
    }
    if (const std::string* fact = Item(found->facts, item)) {
        fact_->SetFact(*fact);
        fact_->exec();
    }
}

void InterludeWindows::ShowPicture(int pack, int item) {
    const InterludePack* found = Pack(pack, kPictures1, kPictures2);
    if (found == nullptr || picture_ == nullptr) {
        return;
    }
    if (const PictureItem* picture = Item(found->pictures, item)) {
        picture_->SetPicture(*picture);
        picture_->exec();
    }
}

bool InterludeWindows::OfferMatching() {
    return matching_ ? matching_() : false;
}

void InterludeWindows::SetPlayedHook(const PlayedHook& hook) {
    for (InterludeTextWindow* window : {static_cast<InterludeTextWindow*>(quotation_.data()),
                                        static_cast<InterludeTextWindow*>(fact_.data())}) {
        if (window != nullptr) {
            window->SetPlayedHook(hook);
        }
    }
    if (picture_ != nullptr) {
        picture_->SetPlayedHook(hook);
    }
}

}  // namespace dyd::ui
