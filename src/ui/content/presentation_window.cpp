#include "ui/content/presentation_window.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QStringList>
#include <algorithm>

#include "core/markup.h"
#include "core/recording_path.h"
#include "core/unit_table.h"
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
const QString kHelpPage = QStringLiteral("index.html");

QComboBox* MakeChoice(QWidget* parent, const QString& name, const QStringList& items,
                      const QRect& area) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    box->setGeometry(area);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

QLabel* MakeShowLabel(QWidget* parent, const QString& name, const QRect& area, int pointSize,
                      const QColor& ink) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(area);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setFont(QFont(QStringLiteral("Arial"), pointSize, QFont::Bold));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ink);
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

}  // namespace

// ---- PresentationTimerObject ----------------------------------------------------------------

PresentationTimerObject::PresentationTimerObject(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("Timer1"));
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PresentationTimerObject::Fire);
}

void PresentationTimerObject::Start(int ms) {
    timer_.start(ms);
}

void PresentationTimerObject::Stop() {
    timer_.stop();
}

void PresentationTimerObject::Fire() {
    timer_.stop();
    if (handler_) {
        handler_();
    }
}

// ---- PresentationWindow ---------------------------------------------------------------------

PresentationWindow::PresentationWindow(AppContext& context, QWidget* parent)
    : KeyedDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm33"));
    setWindowTitle(QStringLiteral("Prezentacja"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);

    timer_ = new PresentationTimerObject(this);
    show_ = std::make_unique<PresentationShow>(context_.session.plan, *timer_,
                                               static_cast<PresentationView&>(*this));
    timer_->SetHandler([this] { show_->TimerFired(); });

    image_ = new QLabel(this);
    image_->setObjectName(QStringLiteral("Image1"));
    image_->setGeometry(0, 0, kWidth, kHeight);
    image_->lower();

    foreign_ = MakeShowLabel(this, QStringLiteral("L_Ang"), QRect(40, 150, kWidth - 80, 140), 30,
                             QColor(0x1F, 0x3A, 0x5F));
    foreign_->setToolTip(QStringLiteral("Odtwórz nagranie"));
    translation_ = MakeShowLabel(this, QStringLiteral("L_Pol"), QRect(40, 300, kWidth - 80, 120),
                                 22, QColor(0x8A, 0x4B, 0x08));
    translation_->setToolTip(QStringLiteral("Następne"));
    foreign_->installEventFilter(this);
    translation_->installEventFilter(this);
    ClickWithKeys(foreign_);
    ClickWithKeys(translation_);

    optionsButton_ =
        MakeImageButton(context, -1, QStringLiteral("K_opcje"), QStringLiteral("Opcje"), this,
                        QPoint(24 + 90, kHeight - 48), QSize(90, 30));
    optionsButton_->setToolTip(QStringLiteral("Umożliwia zmianę sposobu wyboru słówek do nauki."));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    closeButton_->setToolTip(QStringLiteral("Zamknij"));

    panel_ = new QFrame(this);
    panel_->setObjectName(QStringLiteral("Panel"));
    panel_->setGeometry(24, kHeight - 150, 560, 130);
    panel_->setFrameShape(QFrame::Box);
    panel_->setAutoFillBackground(true);
    QPalette panelFace = panel_->palette();
    panelFace.setColor(QPalette::Window, QColor(0xF4, 0xEF, 0xE2));
    panel_->setPalette(panelFace);
    MakeLabel(panel_, QStringLiteral("L_tlum"), QStringLiteral("Tłumaczenie:"),
              QRect(16, 14, 110, 24));
    translationDelay_ =
        MakeChoice(panel_, QStringLiteral("cb_tlum"),
                   {QStringLiteral("po chwili"), QStringLiteral("1 sek."), QStringLiteral("2 sek."),
                    QStringLiteral("3 sek."), QStringLiteral("4 sek.")},
                   QRect(130, 14, 120, 24));
    MakeLabel(panel_, QStringLiteral("L_nast"), QStringLiteral("Następne:"),
              QRect(16, 48, 110, 24));
    nextDelay_ =
        MakeChoice(panel_, QStringLiteral("CB_Nast"),
                   {QStringLiteral("1 sek."), QStringLiteral("2 sek."), QStringLiteral("3 sek."),
                    QStringLiteral("4 sek."), QStringLiteral("5 sek.")},
                   QRect(130, 48, 120, 24));
    MakeLabel(panel_, QStringLiteral("L_tlo"), QStringLiteral("Tło:"), QRect(16, 82, 110, 24));
    background_ =
        MakeChoice(panel_, QStringLiteral("CB_Tlo"),
                   {QStringLiteral("Tło 1"), QStringLiteral("Tło 2"), QStringLiteral("Bez tła")},
                   QRect(130, 82, 120, 24));
    confirmButton_ = MakeImageButton(context, kImageOk, QStringLiteral("k_Zatwierdz"),
                                     QStringLiteral("OK"), panel_, QPoint(544, 86), QSize(90, 30));
    confirmButton_->setToolTip(QStringLiteral("Zatwierdź"));
    closeOptionsButton_ =
        MakeImageButton(context, kImageClose, QStringLiteral("K_Zamknij_opcje"),
                        QStringLiteral("X"), panel_, QPoint(558, 2), QSize(24, 24));
    closeOptionsButton_->setToolTip(QStringLiteral("Zamknij"));
    panel_->hide();

    for (ImageButton* button :
         {optionsButton_, closeButton_, confirmButton_, closeOptionsButton_}) {
        button->setCursor(Qt::PointingHandCursor);
    }
    connect(optionsButton_, &QAbstractButton::clicked, this, &PresentationWindow::OpenOptions);
    connect(confirmButton_, &QAbstractButton::clicked, this, [this] { CloseOptions(true); });
    connect(closeOptionsButton_, &QAbstractButton::clicked, this, [this] { CloseOptions(false); });
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
    SetKeys({&context_, kHelpPage, false, nullptr, nullptr});
}

PresentationWindow::~PresentationWindow() {
    show_->Close();
}

void PresentationWindow::ShowPresentation() {
    Prepare();
    exec();
}

void PresentationWindow::Prepare() {
    const Settings& settings = context_.session.settings;
    foreign_->setText(QStringLiteral("..."));
    translation_->clear();
    panel_->hide();
    optionsButton_->show();
    translationDelay_->setCurrentIndex(
        std::clamp(settings.presentationTranslationDelay, 0, kPresentationTranslationChoices - 1));
    nextDelay_->setCurrentIndex(
        std::clamp(settings.presentationNextDelay, 0, kPresentationNextChoices - 1));
    background_->setCurrentIndex(
        std::clamp(settings.presentationBackground, 0, kPresentationBackgroundChoices - 1));
    unitNumber_ = 0;
    lastRecording_.clear();
    lastSoundError_.clear();
    ApplyBackground();
    show_->Open(settings.presentationNextDelay, settings.presentationTranslationDelay);
}

void PresentationWindow::ApplyBackground() {
    const int choice = context_.session.settings.presentationBackground;
    picture_ = QPixmap();
    if (choice == 0 || choice == 1) {
        picture_ =
            InterfacePicture(context_.paths(), "prezentacja" + std::to_string(choice + 1) + ".bmp");
    }
    image_->setPixmap(picture_);
    image_->setVisible(!picture_.isNull());
    update();
}

void PresentationWindow::ShowUnit(int unitNumber) {
    const LearnerSession& session = context_.session;
    unitNumber_ = unitNumber;
    const Unit& unit = session.db.units.unit(unitNumber);
    foreign_->setText(
        Foreign(StripGapMarkers(unit.foreignText), session.db.params.foreignCodePage()));
    translation_->clear();
    TouchRecording(RecordingPath(session.paths, unit));
    ApplyBackground();
    repaint();
}

void PresentationWindow::PlayAndWait(int unitNumber) {
    lastRecording_ =
        RecordingPath(context_.session.paths, context_.session.db.units.unit(unitNumber));
    lastSoundError_.clear();
    if (lastRecording_.empty() || context_.sound == nullptr) {
        return;
    }
    // A recording that cannot be played is passed over: the show goes on without it.
    lastSoundError_ = context_.sound->PlaySound(lastRecording_, true);
}

void PresentationWindow::ShowTranslation(int unitNumber) {
    const Unit& unit = context_.session.db.units.unit(unitNumber);
    translation_->setText(
        Polish(unit.unitKind == kSentenceUnit ? unit.sentenceTranslation : unit.nativeText));
}

void PresentationWindow::Finished() {
    accept();
}

void PresentationWindow::OpenOptions() {
    show_->Pause();
    panel_->show();
    panel_->raise();
    optionsButton_->hide();
}

void PresentationWindow::CloseOptions(bool store) {
    if (store) {
        Settings& settings = context_.session.settings;
        settings.presentationTranslationDelay = translationDelay_->currentIndex();
        settings.presentationNextDelay = nextDelay_->currentIndex();
        settings.presentationBackground = background_->currentIndex();
        show_->SetDelays(settings.presentationNextDelay, settings.presentationTranslationDelay);
        ApplyBackground();
    }
    panel_->hide();
    optionsButton_->show();
    show_->Resume();
}

void PresentationWindow::PlayAgain() {
    if (unitNumber_ < 1 || context_.sound == nullptr) {
        return;
    }
    const std::string path =
        RecordingPath(context_.session.paths, context_.session.db.units.unit(unitNumber_));
    if (!path.empty()) {
        lastRecording_ = path;
        lastSoundError_ = context_.sound->PlaySound(path, false);
    }
}

void PresentationWindow::StopSound() {
    // Only what still plays: an output that has just gone quiet is left to the next sound.
    if (context_.sound == nullptr) {
        return;
    }
    if (context_.sound->ogg().playing()) {
        context_.sound->ogg().Stop();
    }
    if (context_.sound->file().playing()) {
        context_.sound->CloseMediaPlayer();
    }
}

void PresentationWindow::done(int result) {
    show_->Close();
    StopSound();
    KeyedDialog::done(result);
}

bool PresentationWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == foreign_) {
            PlayAgain();
            return true;
        }
        if (watched == translation_) {
            show_->NextNow();
            return true;
        }
    }
    return KeyedDialog::eventFilter(watched, event);
}

void PresentationWindow::paintEvent(QPaintEvent*) {
    // Image1 carries the picture; without one the window paints its plain face.
    PaintWindowBackground(this, QPixmap(), QStringLiteral("Prezentacja"));
}

void PresentationWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, kWidth, kHeight);
    QDialog::showEvent(event);
}

}  // namespace dyd::ui
