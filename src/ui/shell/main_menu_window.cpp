#include "ui/shell/main_menu_window.h"

#include <QCloseEvent>
#include <QImage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <any>

#include "core/history.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/settings.h"
#include "sound/sound_player.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/progress_window.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Button pictures of the image list.
constexpr int kImageRepetitions = 15;
constexpr int kImageLearning = 16;
constexpr int kImageResults = 17;
constexpr int kImageClose = 18;
constexpr int kImageNewUnit = 25;
constexpr int kImageExerciseSets = 26;

// The menu column of the picture and the place of the hover picture beside it.
constexpr int kColumnLeft = 55;
constexpr int kColumnTop = 185;
constexpr int kRowStep = 62;
const QRect kHintArea(470, 170, 260, 150);
const QRect kAnimationArea(470, 330, 260, 22);
const QRect kNameArea(330, 380, 440, 150);

constexpr QColor kInk(25, 35, 50);
constexpr QColor kLink(28, 62, 104);

}  // namespace

int LearnableUnitCount(const UnitTable& units) {
    int count = 0;
    for (int n = 1; n <= units.unitCount(); ++n) {
        if (units.unit(n).unitKind != kSentenceUnit) {
            ++count;
        }
    }
    return count;
}

std::vector<std::string> SaveLearnerStateAtExit(LearnerSession& session, const Clock& clock) {
    std::vector<std::string> messages;
    // A settings file that could not be read stays as it is (the login said so).
    if (!session.settingsUnreadable) {
        const SaveSettingsResult settings =
            SaveSettings(session.paths, session.settings, session.db);
        if (!settings.ok()) {
            messages.push_back(settings.error);
        }
    }
    if (session.repetitions.recordHighWater > 0) {
        const SaveRepetitionsResult backup = MakeRepetitionBackup(
            session.paths, session.db.units, session.repetitions, session.settings, clock);
        if (!backup.error.empty()) {
            messages.push_back(backup.error);
        }
        std::string error;
        // A damaged history leaves its copy as it is: the copy is what remains of it.
        if (!session.history.damaged &&
            !SaveHistory(HistoryCopyFilePath(session.paths), session.history, &error)) {
            messages.push_back("Nie udało się zapisać kopii historii ćwiczeń. " + error);
        }
    }
    return messages;
}

// ---- MenuLabel ---------------------------------------------------------------------------

MenuLabel::MenuLabel(const QString& name, const QString& text, QWidget* parent)
    : QLabel(text, parent) {
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
    // Reached with Tab like the menu's buttons, used with Enter or the space bar.
    setFocusPolicy(Qt::TabFocus);
}

void MenuLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void MenuLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void MenuLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

// ---- DotAnimation ------------------------------------------------------------------------

DotAnimation::DotAnimation(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Animate1"));
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    timer_.setInterval(120);
    connect(&timer_, &QTimer::timeout, this, [this] {
        ++step_;
        update();
    });
}

void DotAnimation::Start() {
    step_ = 0;
    show();
    timer_.start();
}

void DotAnimation::Stop() {
    timer_.stop();
    hide();
}

void DotAnimation::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    constexpr int kDots = 8;
    const int gap = width() / kDots;
    const int radius = std::min(height(), gap) / 4;
    for (int i = 0; i < kDots; ++i) {
        const bool lit = i == step_ % kDots;
        painter.setBrush(lit ? QColor(232, 168, 48) : QColor(40, 80, 125, 90));
        painter.drawEllipse(QPoint(gap / 2 + i * gap, height() / 2), lit ? radius + 2 : radius,
                            lit ? radius + 2 : radius);
    }
}

// ---- MainMenuWindow ----------------------------------------------------------------------

MainMenuWindow::MainMenuWindow(AppContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Dydaktor 5.0"));
    MakeBorderlessCentred(this, kWidth, kHeight);
    // The background is decoded when it is first needed (PreparePictures), not before the login.

    nameLabel_ = new QLabel(this);
    nameLabel_->setObjectName(QStringLiteral("L_nazwa"));
    nameLabel_->setGeometry(kNameArea);
    nameLabel_->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    nameLabel_->setWordWrap(true);
    QFont nameFont = nameLabel_->font();
    nameFont.setPointSize(14);
    nameFont.setBold(true);
    nameLabel_->setFont(nameFont);
    QPalette namePalette = nameLabel_->palette();
    namePalette.setColor(QPalette::WindowText, kInk);
    nameLabel_->setPalette(namePalette);
    nameLabel_->hide();

    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("i_hint"));
    hint_->setGeometry(kHintArea);
    hint_->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    hint_->hide();

    animation_ = new DotAnimation(this);
    animation_->setGeometry(kAnimationArea);
    animation_->hide();

    repetitionsButton_ = AddButton("btn_powtorki", kImageRepetitions, 1,
                                   QPoint(kColumnLeft, kColumnTop), QStringLiteral("Powtórki"));
    repetitionsButton_->hide();  // repetitions start from the learning window
    learningButton_ = AddButton("btn_cwiczenia", kImageLearning, 2, QPoint(kColumnLeft, kColumnTop),
                                QStringLiteral("Nauka"));
    resultsButton_ =
        AddButton("btn_wyniki", kImageResults, 3, QPoint(kColumnLeft, kColumnTop + kRowStep),
                  QStringLiteral("Wyniki"));
    newUnitButton_ =
        AddButton("k_nowe_slowko", kImageNewUnit, 4, QPoint(kColumnLeft, kColumnTop + 2 * kRowStep),
                  QStringLiteral("Nowe słówko"));
    setsButton_ =
        AddButton("K_cwiczenia", kImageExerciseSets, 5,
                  QPoint(kColumnLeft, kColumnTop + 3 * kRowStep), QStringLiteral("Ćwiczenia"));
    setsButton_->hide();

    closeButton_ = new ImageButton(context_.images, kImageClose, this);
    closeButton_->setObjectName(QStringLiteral("B_Zamknij"));
    closeButton_->setText(QStringLiteral("X"));
    closeButton_->setToolTip(QStringLiteral("Koniec"));
    const QSize closeFrame = context_.images.FrameSize(kImageClose);
    const QSize closeSize = closeFrame.isEmpty() ? QSize(24, 24) : closeFrame;
    closeButton_->setGeometry(kWidth - closeSize.width() - 2, 2, closeSize.width(),
                              closeSize.height());

    // The footer: the entries given as labels, and the series name.
    auto* browserLabel = AddLabel("L_Przegladaj", QStringLiteral("Przeglądaj bazę"),
                                  QRect(24, 552, 150, 36), Qt::AlignLeft);
    auto* settingsLabel = AddLabel("btn_ustawienia", QStringLiteral("Ustawienia"),
                                   QRect(184, 552, 110, 36), Qt::AlignLeft);
    auto* helpLabel =
        AddLabel("btn_pomoc", QStringLiteral("Pomoc"), QRect(304, 552, 80, 36), Qt::AlignLeft);
    auto* servicesLabel =
        AddLabel("btn_serwisy", QStringLiteral("Serwisy"), QRect(394, 552, 100, 36), Qt::AlignLeft);
    auto* logoLabel = AddLabel("L_napis_logo", QStringLiteral("Seria Dydaktor"),
                               QRect(560, 552, 216, 36), Qt::AlignRight);

    connect(learningButton_, &QAbstractButton::clicked, this, &MainMenuWindow::Learning);
    connect(resultsButton_, &QAbstractButton::clicked, this, [this] { Run(actions_.results); });
    connect(newUnitButton_, &QAbstractButton::clicked, this, [this] { Run(actions_.newUnit); });
    connect(setsButton_, &QAbstractButton::clicked, this, &MainMenuWindow::ExerciseSets);
    connect(closeButton_, &QAbstractButton::clicked, this, &MainMenuWindow::AskToClose);
    connect(browserLabel, &MenuLabel::clicked, this, [this] { Run(actions_.browser); });
    connect(settingsLabel, &MenuLabel::clicked, this, [this] { Run(actions_.settings); });
    connect(helpLabel, &MenuLabel::clicked, this, [this] { Help(QStringLiteral("index.html")); });
    connect(logoLabel, &MenuLabel::clicked, this, [this] { Help(QStringLiteral("seria.html")); });
    connect(servicesLabel, &MenuLabel::clicked, this, [this] {
        // The series page of the installation, in the learner's own browser.
        const std::string page = ResolvePath(context_.programPaths.programDir, "htm_s/seria.html");
        const QUrl address = QUrl::fromLocalFile(QString::fromStdString(page));
        if (openExternal_) {
            openExternal_(address);
        } else {
            QDesktopServices::openUrl(address);
        }
    });
}

ImageButton* MainMenuWindow::AddButton(const char* name, int image, int tag, QPoint topLeft,
                                       const QString& text) {
    auto* button = new ImageButton(context_.images, image, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setProperty("Tag", tag);
    // Reached with Tab, used with Enter or the space bar.
    button->setFocusPolicy(Qt::TabFocus);
    const QSize frame = context_.images.FrameSize(image);
    const QSize size = frame.isEmpty() ? QSize(220, 44) : frame;
    button->setGeometry(QRect(topLeft, size));
    connect(button, &ImageButton::hoverChanged, this,
            [this, tag](bool hovered) { HoverChanged(tag, hovered); });
    return button;
}

MenuLabel* MainMenuWindow::AddLabel(const char* name, const QString& text, const QRect& area,
                                    Qt::Alignment alignment) {
    auto* label = new MenuLabel(QString::fromLatin1(name), text, this);
    label->setGeometry(area);
    label->setAlignment(alignment | Qt::AlignVCenter);
    QFont font = label->font();
    font.setPointSize(12);
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kLink);
    label->setPalette(palette);
    return label;
}

void MainMenuWindow::SetDialogs(MessageBox* messages, YesNoDialog* yesNo) {
    SetDialogs([messages] { return messages; }, [yesNo] { return yesNo; });
}

void MainMenuWindow::SetDialogs(std::function<MessageBox*()> messages,
                                std::function<YesNoDialog*()> yesNo) {
    messages_ = std::move(messages);
    yesNo_ = std::move(yesNo);
}

void MainMenuWindow::ApplyLogin(const LoginResult& result, std::any early) {
    if (result.menuPicture) {
        // Decoded while the learner chose, when the login window read ahead.
        auto* image = std::any_cast<QImage>(&early);
        QImage own = image != nullptr && !image->isNull()
                         ? std::move(*image)
                         : InstallPictureImage(context_.session.paths.databaseDir, kMenuPicture);
        if (!own.isNull()) {
            background_ = std::move(own);
            backgroundPending_ = false;
        }
        nameLabel_->hide();
    } else {
        // The label's line break is LF CR; a QLabel breaks at the LF.
        QString text = Polish(result.menuLabel);
        text.remove(QLatin1Char('\r'));
        nameLabel_->setText(text);
        nameLabel_->show();
    }
    UpdateExerciseSetsButton();
    update();
}

void MainMenuWindow::UpdateExerciseSetsButton() {
    setsButton_->setVisible(context_.session.history.count() > 0);
}

void MainMenuWindow::showEvent(QShowEvent* event) {
    // Brought back from the task bar (a show event of the desktop's): no second start sound.
    if (event->spontaneous()) {
        QWidget::showEvent(event);
        return;
    }
    const DatabaseParameters& params = context_.session.db.params;
    setWindowTitle(Polish(params.title) + QStringLiteral(" - ") + Polish(params.subtitle));
    MakeBorderlessCentred(this, kWidth, kHeight);
    if (progress_ != nullptr) {
        progress_->hide();
    }
    const std::string& programDir = context_.programPaths.programDir;
    if (context_.sound != nullptr && FileExistsUnder(programDir, "start.wav")) {
        context_.sound->PlaySound(ResolvePath(programDir, "start.wav"), false);
    }
    QWidget::showEvent(event);
}

void MainMenuWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Activated();
    }
    QWidget::changeEvent(event);
}

void MainMenuWindow::Activated() {
    if (!firstActivationDone_) {
        firstActivationDone_ = true;
        // The entry that got the focus with the window is the keyboard's: Enter runs it, and it
        // shows its frame from the start.
        QTimer::singleShot(0, this, [this] {
            if (auto* button = qobject_cast<ImageButton*>(focusWidget());
                button != nullptr && button->hasFocus()) {
                button->MarkKeyboardFocus();
            }
        });
        const AppPaths& paths = context_.session.paths;
        if (actions_.dictionaryUnits && !paths.userDir.empty() &&
            FileExistsUnder(paths.userDir, paths.databaseCode + "slow.txt")) {
            // Modal windows open once the activation has been handled; the F1 hint waits until
            // the hand-over window and whatever it opened are closed.
            hintPending_ = !context_.session.settings.helpHintShown;
            QTimer::singleShot(0, this, [this] {
                actions_.dictionaryUnits();
                if (hintPending_) {
                    ShowHelpHint();
                }
            });
        }
    }
    UpdateExerciseSetsButton();
    if (!context_.session.settings.helpHintShown && !hintPending_) {
        hintPending_ = true;
        QTimer::singleShot(0, this, &MainMenuWindow::ShowHelpHint);
    }
}

void MainMenuWindow::ShowHelpHint() {
    hintPending_ = false;
    if (context_.session.settings.helpHintShown || !isVisible()) {
        return;
    }
    context_.session.settings.helpHintShown = true;
    ShowMessage(QString::fromUtf8(kHelpHintText));
}

void MainMenuWindow::HoverChanged(int tag, bool hovered) {
    if (!hovered) {
        hint_->hide();
        animation_->Stop();
        return;
    }
    const QPixmap picture = InstallPicture(
        context_.programPaths.programDir,
        context_.programPaths.languageDir + "Gfx_s/m_" + std::to_string(tag) + ".bmp");
    if (!picture.isNull()) {
        hint_->setPixmap(picture);
        hint_->resize(picture.size());
        hint_->show();
    } else {
        hint_->hide();
    }
    animation_->Start();
}

void MainMenuWindow::ShowMessage(const QString& text) {
    if (MessageBox* messages = messages_ ? messages_() : nullptr; messages != nullptr) {
        messages->ShowMessage(text);
    } else {
        MessageBox::Show(context_, text, this);
    }
}

void MainMenuWindow::Learning() {
    if (LearnableUnitCount(context_.session.db.units) < kMinUnitsToLearn) {
        ShowMessage(QString::fromUtf8(kTooFewUnitsText));
        return;
    }
    Run(actions_.learning);
}

void MainMenuWindow::ExerciseSets() {
    if (context_.session.db.units.unitCount() < kMinUnitsToLearn) {
        ShowMessage(QString::fromUtf8(kTooFewUnitsText));
        return;
    }
    Run(actions_.exerciseSets);
}

void MainMenuWindow::Run(const std::function<void()>& action) {
    if (action) {
        action();
    }
}

void MainMenuWindow::Help(const QString& page) {
    if (context_.openHelp) {
        context_.openHelp(page);
    }
}

void MainMenuWindow::AskToClose() {
    YesNoDialog* yesNo = yesNo_ ? yesNo_() : nullptr;
    const bool yes = yesNo != nullptr ? yesNo->Ask() : YesNoDialog::AskYesNo(context_, this);
    if (yes) {
        close();
    }
}

void MainMenuWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        Help(QStringLiteral("index.html"));
    } else if (event->key() == Qt::Key_Escape) {
        AskToClose();
    } else if (auto* button = qobject_cast<QAbstractButton*>(focusWidget());
               button != nullptr && button->isVisible() &&
               (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        button->click();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void MainMenuWindow::closeEvent(QCloseEvent* event) {
    if (!stateSaved_ && !context_.session.paths.databaseCode.empty()) {
        stateSaved_ = true;
        const std::vector<std::string> messages =
            SaveLearnerStateAtExit(context_.session, context_.clock);
        for (const std::string& message : messages) {
            ShowMessage(Utf8(message));
        }
    }
    hint_->hide();
    animation_->Stop();
    event->accept();
    emit finished();
}

void MainMenuWindow::PreparePictures() {
    if (backgroundPending_) {
        backgroundPending_ = false;
        background_ = InterfacePictureImage(context_.programPaths, "menu_slow.bmp");
    }
}

void MainMenuWindow::paintEvent(QPaintEvent*) {
    PreparePictures();
    QPainter painter(this);
    if (!background_.isNull()) {
        painter.drawImage(0, 0, background_);
        return;
    }
    // Without the picture: a plain face with the program's name and a panel for the buttons.
    painter.fillRect(rect(), QColor(245, 240, 228));
    painter.fillRect(QRect(0, 0, kWidth, 120), QColor(40, 80, 125));
    QFont font = painter.font();
    font.setPointSize(28);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(30, 14, 740, 60), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Dydaktor"));
    painter.fillRect(QRect(0, 540, kWidth, 60), QColor(233, 227, 214));
    painter.setPen(QColor(40, 80, 125));
    painter.drawRect(QRect(40, 160, 250, 330));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace dyd::ui
