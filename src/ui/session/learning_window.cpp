#include "ui/session/learning_window.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include "core/exercise_sets.h"
#include "core/repetitions.h"
#include "core/scheduling.h"
#include "session/plan_builder.h"
#include "ui/app_context.h"
#include "ui/session/plan_window.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
const QString kHelpPage = QStringLiteral("jak.html");

// Button pictures of the image list.
constexpr int kImageChoose = 1;
constexpr int kImageRepetitions = 15;
constexpr int kImageChange = 23;
constexpr int kImageLearn = 24;
constexpr int kImageChooseNew = 27;
constexpr int kImageChooseWords = 28;
constexpr int kImageChooseSentences = 29;
constexpr int kImageFilterOff = 30;
constexpr int kImageStatistics = 31;

// The right-hand column of the new-material buttons (their top-right corners).
constexpr int kButtonsRight = 760;
const QPoint kDrawCorner(kButtonsRight, 280);
const QPoint kSecondCorner(kButtonsRight, 324);
const QPoint kOptionsCorner(kButtonsRight, 380);
const QPoint kFilterOffCorner(kButtonsRight, 422);

const QString kAmountText = QStringLiteral("Teraz powtarzam                   jednostek.");
const QString kFilterHeading = QStringLiteral("Poziom          Typ                     Jednostka");

// A label text of the core (LF CR line breaks) for a QLabel.
QString LabelText(const std::string& utf8) {
    QString text = Utf8(utf8);
    text.remove(QLatin1Char('\r'));
    return text;
}

QFrame* MakePanel(QWidget* parent, const QString& name, const QRect& area) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setGeometry(area);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(250, 247, 238));
    panel->setPalette(palette);
    panel->setStyleSheet(QStringLiteral("QFrame#%1 { background: rgb(250, 247, 238); border: 1px "
                                        "solid rgb(40, 80, 125); border-radius: 6px; }")
                             .arg(name));
    return panel;
}

QComboBox* MakeCombo(QWidget* parent, const QString& name, const QRect& area) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setGeometry(area);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

// Changes a button's picture and text, keeping its top-right corner.
void SetButtonImage(const AppContext& context, ImageButton* button, int image, const QString& text,
                    QPoint topRight, QSize fallback) {
    button->SetImage(image);
    button->setText(text);
    const QSize frame = context.images.FrameSize(image);
    const QSize size = frame.isEmpty() ? fallback : frame;
    button->setGeometry(topRight.x() - size.width(), topRight.y(), size.width(), size.height());
}

}  // namespace

LearningWindow::LearningWindow(AppContext& context, PlanWindow* planWindow,
                               std::function<void()> showOverview, QWidget* parent)
    : KeyedDialog(parent),
      context_(context),
      planWindow_(planWindow),
      showOverview_(std::move(showOverview)),
      ownRandom_(std::make_unique<SeededRandom>()),
      random_(ownRandom_.get()) {
    setObjectName(QStringLiteral("TForm11"));
    setWindowTitle(QStringLiteral("Nauka"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);

    BuildRepetitionPanel();
    BuildNewMaterialArea();
    BuildOptionsPanel();

    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    closeButton_->setToolTip(QStringLiteral("Zamknij"));
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);

    for (ImageButton* button : findChildren<ImageButton*>()) {
        button->setCursor(Qt::PointingHandCursor);
    }
    for (QComboBox* box : findChildren<QComboBox*>()) {
        box->installEventFilter(this);
    }
    SetKeys({&context_, kHelpPage, false, nullptr, {}});
}

LearningWindow::~LearningWindow() = default;

void LearningWindow::BuildRepetitionPanel() {
    repetitionPanel_ = MakePanel(this, QStringLiteral("Panel_P"), QRect(40, 108, 720, 140));
    dateTitle_ = MakeLabel(repetitionPanel_, QStringLiteral("Label1"), QString(),
                           QRect(16, 10, 440, 26), 13);
    QFont titleFont = dateTitle_->font();
    titleFont.setBold(true);
    dateTitle_->setFont(titleFont);
    dueCount_ =
        MakeLabel(repetitionPanel_, QStringLiteral("L_Ile"), QString(), QRect(16, 44, 440, 24), 11);
    dueBadge_ = new QLabel(repetitionPanel_);
    dueBadge_->setObjectName(QStringLiteral("L_Ile_dzis"));
    dueBadge_->setGeometry(340, 14, 124, 70);
    dueBadge_->setAlignment(Qt::AlignCenter);
    QFont badgeFont = dueBadge_->font();
    badgeFont.setPixelSize(40);
    badgeFont.setBold(true);
    dueBadge_->setFont(badgeFont);
    dueBadgeCaption_ = MakeLabel(repetitionPanel_, QStringLiteral("L_Ile_dzis_opis"), QString(),
                                 QRect(322, 88, 160, 22), 9);
    dueBadgeCaption_->setAlignment(Qt::AlignCenter);
    amountLabel_ = MakeLabel(repetitionPanel_, QStringLiteral("L_Ile_teraz"), kAmountText,
                             QRect(16, 80, 440, 30), 11);
    // The chooser sits in the gap of its label's text.
    const int gapStart =
        amountLabel_->fontMetrics().horizontalAdvance(QStringLiteral("Teraz powtarzam "));
    const int gapEnd = amountLabel_->fontMetrics().horizontalAdvance(
        QStringLiteral("Teraz powtarzam                   "));
    amountBox_ = MakeCombo(repetitionPanel_, QStringLiteral("CB_Ile_teraz"),
                           QRect(16 + gapStart, 82, std::max(60, gapEnd - gapStart - 6), 26));
    amountBox_->setAccessibleName(QStringLiteral("Ile jednostek powtórzyć teraz"));

    repeatButton_ = MakeImageButton(context_, kImageRepetitions, QStringLiteral("B_OK"),
                                    QStringLiteral("Powtórki"), repetitionPanel_, QPoint(704, 14),
                                    QSize(220, 44));
    overviewButton_ = MakeImageButton(context_, kImageStatistics, QStringLiteral("K_statystyka"),
                                      QStringLiteral("Statystyka"), repetitionPanel_,
                                      QPoint(704, 94), QSize(120, 32));

    connect(repeatButton_, &QAbstractButton::clicked, this, &LearningWindow::StartRepetitions);
    connect(overviewButton_, &QAbstractButton::clicked, this, [this] {
        if (showOverview_) {
            showOverview_();
        }
        RefreshRepetitionPanel();
    });
}

void LearningWindow::BuildNewMaterialArea() {
    groupLabel_ =
        MakeLabel(this, QStringLiteral("L_dzial"), QString(), QRect(40, 266, 380, 24), 11);
    groupBox_ = MakeCombo(this, QStringLiteral("CB_Gr_Tem"), QRect(40, 294, 340, 28));
    statistics_ =
        MakeLabel(this, QStringLiteral("L_Nauka"), QString(), QRect(40, 336, 400, 80), 11);
    statistics_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_ =
        MakeLabel(this, QStringLiteral("L_Tryb_nauki"), QString(), QRect(40, 424, 400, 110), 11);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_->setWordWrap(true);
    QFont statusFont = status_->font();
    statusFont.setBold(true);
    status_->setFont(statusFont);

    drawButton_ =
        MakeImageButton(context_, kImageChooseWords, QStringLiteral("K_Losuj"),
                        QStringLiteral("Wybierz słówka"), this, kDrawCorner, QSize(150, 34));
    sentenceDrawButton_ =
        MakeImageButton(context_, kImageChooseSentences, QStringLiteral("K_Losuj_z"),
                        QStringLiteral("Wybierz zdania"), this, kSecondCorner, QSize(150, 34));
    learnButton_ = MakeImageButton(context_, kImageLearn, QStringLiteral("K_Nauka"),
                                   QStringLiteral("Ucz się"), this, kDrawCorner, QSize(150, 34));
    redrawButton_ =
        MakeImageButton(context_, kImageChooseNew, QStringLiteral("K_losuj_nowe"),
                        QStringLiteral("Wybierz nowe"), this, kSecondCorner, QSize(150, 34));
    optionsButton_ = MakeImageButton(context_, kImageChange, QStringLiteral("K_ustaw"),
                                     QStringLiteral("Zmień"), this, kOptionsCorner, QSize(150, 30));
    optionsButton_->setToolTip(QStringLiteral("Ustawienia nauki"));
    filterOffButton_ =
        MakeImageButton(context_, kImageFilterOff, QStringLiteral("k_wylacz_filtr"),
                        QStringLiteral("Wyłącz filtr"), this, kFilterOffCorner, QSize(150, 34));
    learnButton_->hide();
    redrawButton_->hide();
    filterOffButton_->hide();

    connect(groupBox_, &QComboBox::currentIndexChanged, this, &LearningWindow::GroupChanged);
    connect(drawButton_, &QAbstractButton::clicked, this, [this] { Draw(false); });
    connect(sentenceDrawButton_, &QAbstractButton::clicked, this, [this] { Draw(true); });
    connect(learnButton_, &QAbstractButton::clicked, this, &LearningWindow::StartLearning);
    connect(redrawButton_, &QAbstractButton::clicked, this, &LearningWindow::Redraw);
    connect(optionsButton_, &QAbstractButton::clicked, this, &LearningWindow::OpenOptions);
    connect(filterOffButton_, &QAbstractButton::clicked, this, &LearningWindow::FilterOff);
}

void LearningWindow::BuildOptionsPanel() {
    optionsPanel_ = MakePanel(this, QStringLiteral("Panel1"), QRect(430, 262, 340, 300));
    MakeLabel(optionsPanel_, QStringLiteral("L_ile_przykladow"),
              QStringLiteral("Przykładów w ćw.:"), QRect(14, 16, 150, 26), 10);
    batchBox_ = MakeCombo(optionsPanel_, QStringLiteral("CB_Ile_nauka"), QRect(170, 16, 80, 26));
    for (const int size : kBatchSizes) {
        batchBox_->addItem(QString::number(size));
    }
    MakeLabel(optionsPanel_, QStringLiteral("L_tryb"), QStringLiteral("Tryb nauki:"),
              QRect(14, 54, 150, 26), 10);
    modeBox_ = MakeCombo(optionsPanel_, QStringLiteral("CB_tryb_nauki"), QRect(14, 82, 312, 26));

    filterHeading_ = MakeLabel(optionsPanel_, QStringLiteral("L_filtr"), kFilterHeading,
                               QRect(14, 122, 312, 22), 10);
    // Each filter list stands under its word of the heading.
    const QFontMetrics metrics = filterHeading_->fontMetrics();
    const int typeX = 14 + metrics.horizontalAdvance(QStringLiteral("Poziom          "));
    const int unitX =
        14 + metrics.horizontalAdvance(QStringLiteral("Poziom          Typ                     "));
    levelBox_ = MakeCombo(optionsPanel_, QStringLiteral("CB_Poziom"),
                          QRect(14, 146, std::max(60, typeX - 14 - 6), 26));
    wordClassBox_ = MakeCombo(optionsPanel_, QStringLiteral("CB_Rodzaj"),
                              QRect(typeX, 146, std::max(90, unitX - typeX - 6), 26));
    unitTypeBox_ = MakeCombo(optionsPanel_, QStringLiteral("CB_Jakie_Cw"),
                             QRect(unitX, 146, std::max(80, 326 - unitX), 26));
    for (QComboBox* box : {levelBox_, wordClassBox_, unitTypeBox_}) {
        QFont font = box->font();
        font.setPointSize(9);
        box->setFont(font);
    }
    levelBox_->addItems({QStringLiteral("dowolny"), QStringLiteral("1"), QStringLiteral("2"),
                         QStringLiteral("3"), QStringLiteral("4")});
    wordClassBox_->addItems({QStringLiteral("wszystkie"), QStringLiteral("rzeczownik"),
                             QStringLiteral("przymiotnik"), QStringLiteral("czasownik"),
                             QStringLiteral("inne"), QStringLiteral("zdania"),
                             QStringLiteral("przysłówek")});
    unitTypeBox_->addItems({QStringLiteral("wszystkie"), QStringLiteral("słówko"),
                            QStringLiteral("zdanie"), QStringLiteral("pytanie (QA)")});
    filterCount_ = MakeLabel(optionsPanel_, QStringLiteral("L_ile_filtr"), QString(),
                             QRect(14, 182, 312, 24), 10);

    confirmButton_ =
        MakeImageButton(context_, kImageOk, QStringLiteral("k_Zatwierdz"), QStringLiteral("OK"),
                        optionsPanel_, QPoint(326, 254), QSize(90, 32));
    closeOptionsButton_ = MakeImageButton(context_, kImageCancel, QStringLiteral("K_zamknij_ustaw"),
                                          QStringLiteral("Anuluj"), optionsPanel_,
                                          QPoint(326 - 100, 254), QSize(90, 32));
    optionsPanel_->hide();

    connect(batchBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!filling_ && index >= 0) {
            context_.session.settings.newUnitsCountIndex = index;
        }
    });
    connect(modeBox_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) {
            UpdateFilterRow();
        }
    });
    for (QComboBox* box : {levelBox_, wordClassBox_, unitTypeBox_}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling_) {
                RecountFilter();
            }
        });
    }
    connect(confirmButton_, &QAbstractButton::clicked, this, &LearningWindow::ConfirmOptions);
    connect(closeOptionsButton_, &QAbstractButton::clicked, optionsPanel_, &QWidget::hide);
}

// ---- Showing -------------------------------------------------------------------------------

void LearningWindow::showEvent(QShowEvent* event) {
    // A window brought back from the task bar gets a show event of the desktop's: it keeps the
    // state the learner left it in. Only the opening starts afresh.
    if (event->spontaneous()) {
        QDialog::showEvent(event);
        return;
    }
    background_ = InterfacePicture(context_.paths(), "menu_nauka.bmp");
    MakeBorderlessCentred(this, kWidth, kHeight);
    RefreshRepetitionPanel();
    CurrentSet& set = context_.session.currentSet;
    set.name.clear();
    set.setKey.clear();

    filling_ = true;
    const Settings& settings = context_.session.settings;
    modeBox_->clear();
    modeBox_->addItems({QStringLiteral("Podstawowy"), QStringLiteral("Filtr")});
    if (context_.session.db.params.learningMode2) {
        modeBox_->addItem(QStringLiteral("Słówka + przykładowe zdania"));
    }
    const int batchIndex = settings.newUnitsCountIndex;
    batchBox_->setCurrentIndex(batchIndex >= 0 && batchIndex < batchBox_->count() ? batchIndex : 0);
    filling_ = false;

    FillGroups();
    optionsPanel_->hide();
    EnterChoosing();
    QDialog::showEvent(event);
}

void LearningWindow::RefreshRepetitionPanel() {
    panel_ = RepetitionPanelFigures(context_.session.repetitions, context_.clock.Today());
    repetitionPanel_->setVisible(panel_.panelVisible);
    dateTitle_->setText(Utf8(panel_.title));
    dueCount_->setText(Utf8(panel_.dueText));
    // Due units stand out in orange; none due reads as done, in green.
    const int due = panel_.dueTotal;
    dueBadge_->setText(QString::number(due));
    dueBadge_->setStyleSheet(
        due > 0 ? QStringLiteral("QLabel { color: rgb(25,35,50); background: rgb(246,196,92); "
                                 "border: 1px solid rgb(190,130,30); border-radius: 10px; }")
                : QStringLiteral("QLabel { color: white; background: rgb(40,140,70); "
                                 "border: 1px solid rgb(25,100,50); border-radius: 10px; }"));
    dueBadgeCaption_->setText(due > 0 ? QStringLiteral("do powtórzenia dziś")
                                      : QStringLiteral("dziś nic do powtórzenia"));
    const QString tip = Utf8(panel_.dueText);
    dueBadge_->setToolTip(tip);
    dueBadge_->setAccessibleName(tip);
    repeatButton_->setVisible(panel_.startVisible);
    amountLabel_->setVisible(panel_.chooserVisible);
    amountBox_->setVisible(panel_.chooserVisible);
    if (panel_.chooserVisible) {
        const int previous = amountBox_->currentIndex();
        const QSignalBlocker blocker(amountBox_);
        amountBox_->clear();
        for (const int entry : panel_.chooserEntries) {
            amountBox_->addItem(QString::number(entry), entry);
        }
        amountBox_->setCurrentIndex(previous >= 0 && previous < amountBox_->count() ? previous : 1);
    }
}

void LearningWindow::FillGroups() {
    filling_ = true;
    groupBox_->clear();
    groupIds_.clear();
    groupBox_->addItem(QStringLiteral("Wszystkie"));
    groupIds_.push_back(0);
    for (const Group& group : context_.session.db.groups) {
        if (group.groupId > 0) {
            groupBox_->addItem(Polish(group.name));
            groupIds_.push_back(group.groupId);
        }
    }
    const int index = context_.session.settings.groupIndex;
    groupBox_->setCurrentIndex(index >= 0 && index < groupBox_->count() ? index : 0);
    filling_ = false;
    ApplyGroup();
}

int LearningWindow::SelectedGroupId() const {
    const int index = groupBox_->currentIndex();
    return index >= 0 && index < static_cast<int>(groupIds_.size())
               ? groupIds_[static_cast<std::size_t>(index)]
               : 0;
}

// ---- The new-material area -------------------------------------------------------------------

void LearningWindow::GroupChanged() {
    if (!filling_) {
        ApplyGroup();
    }
}

void LearningWindow::RefreshStatistics() {
    const int groupId = SelectedGroupId();
    groupLabel_->setText(groupId == 0 ? QStringLiteral("Dział:  wszystkie")
                                      : QStringLiteral("Dział:  ") + groupBox_->currentText());
    const LearnerSession& session = context_.session;
    counts_ = CountNewMaterial(session.db.units, session.repetitions, groupId);
    statistics_->setText(LabelText(StatisticsText(counts_, groupId != 0)));
}

void LearningWindow::ApplyGroup() {
    RefreshStatistics();
    if (drawn_) {
        return;
    }
    const LearnerSession& session = context_.session;
    const DrawButtons buttons = DrawButtonsFor(EffectiveLearningMode(session.settings), counts_);
    if (buttons.drawWordsPicture) {
        SetButtonImage(context_, drawButton_, kImageChooseWords, QStringLiteral("Wybierz słówka"),
                       kDrawCorner, QSize(150, 34));
    } else {
        SetButtonImage(context_, drawButton_, kImageChoose, QStringLiteral("Wybierz"), kDrawCorner,
                       QSize(150, 34));
    }
    drawButton_->setVisible(buttons.drawVisible);
    sentenceDrawButton_->setVisible(buttons.sentenceDrawVisible);
    filterOffButton_->setVisible(buttons.filterOffVisible);
    SetStatus(buttons.status);
}

void LearningWindow::EnterChoosing() {
    drawn_ = false;
    learnButton_->hide();
    redrawButton_->hide();
    groupBox_->show();
    optionsButton_->show();
    ApplyGroup();
}

void LearningWindow::EnterDrawn() {
    drawn_ = true;
    drawButton_->hide();
    sentenceDrawButton_->hide();
    optionsButton_->hide();
    filterOffButton_->hide();
    groupBox_->hide();
    optionsPanel_->hide();
    redrawButton_->show();
}

void LearningWindow::Draw(bool sentencesOnly) {
    LearnerSession& session = context_.session;
    const int groupId = SelectedGroupId();
    counts_ = CountNewMaterial(session.db.units, session.repetitions, groupId);
    const Candidates candidates =
        BuildCandidates(session.db.units, session.repetitions, session.settings, counts_, groupId,
                        sentencesOnly, attachExampleSentences_);
    SetStatus(candidates.modeText);
    const DrawResult result =
        DrawBatch(candidates.units, BatchSizeOfIndex(session.settings.newUnitsCountIndex),
                  session.db.units, session.settings, *random_, session.currentSet);
    stepId_ = 1;
    for (const std::string& message : result.messages) {
        ShowMessage(Utf8(message));
    }
    EnterDrawn();
    SetStatus(result.status);
    learnButton_->setVisible(result.startVisible);
    if (result.count == 0) {
        return;
    }
    PrepareSetForSession(session.currentSet, session.db.units, session.db.relations,
                         WantsRelatedSentences(session.settings, attachExampleSentences_),
                         session.plan);
    const std::string info =
        BuildPlan(SelectedUnits(session.currentSet), SessionMode::Learning, session.db.units,
                  session.db.params, session.settings, session.repetitions, session.plan);
    planInfo_ = info;
}

void LearningWindow::StartLearning() {
    if (planWindow_ != nullptr) {
        planWindow_->Open(planInfo_);
    }
    BackFromPlan();
    // The units learnt in the session count at once.
    RefreshStatistics();
    const SessionPlan& plan = context_.session.plan;
    if (PlanHasWorkLeft(plan)) {
        learnButton_->show();
        SetStatus(LearningGoesOnText(plan.rowCount()));
    } else {
        learnButton_->hide();
        SetStatus(std::string(kSessionOverStatus));
    }
}

void LearningWindow::BackFromPlan() {
    // Left minimised with the program, the window comes back when the plan closes.
    if (isMinimized()) {
        showNormal();
    }
    RefreshRepetitionPanel();
}

void LearningWindow::Redraw() {
    EnterChoosing();
}

// ---- Repetitions -----------------------------------------------------------------------------

void LearningWindow::StartRepetitions() {
    EnterChoosing();
    LearnerSession& session = context_.session;
    const double today = context_.clock.Today();
    panel_ = RepetitionPanelFigures(session.repetitions, today);
    const int chosen = amountBox_->currentData().isValid() ? amountBox_->currentData().toInt() : 0;
    const int amount = RepetitionAmount(panel_, chosen);
    const DueUnits due = CollectDueUnits(session.repetitions, today);
    const std::size_t take = std::min(due.units.size(), static_cast<std::size_t>(amount));
    const std::vector<std::int32_t> selection(
        due.units.begin(), due.units.begin() + static_cast<std::ptrdiff_t>(take));
    session.plan.mode = SessionMode::Repetition;
    const std::string info =
        BuildPlan(selection, SessionMode::Repetition, session.db.units, session.db.params,
                  session.settings, session.repetitions, session.plan);
    if (planWindow_ != nullptr) {
        planWindow_->Open(info);
    }
    BackFromPlan();
    ApplyGroup();
}

// ---- Options -----------------------------------------------------------------------------------

void LearningWindow::OpenOptions() {
    const Settings& settings = context_.session.settings;
    filling_ = true;
    const int batchIndex = settings.newUnitsCountIndex;
    batchBox_->setCurrentIndex(batchIndex >= 0 && batchIndex < batchBox_->count() ? batchIndex : 0);
    const int mode = EffectiveLearningMode(settings);
    modeBox_->setCurrentIndex(mode < modeBox_->count() ? mode : 0);
    auto select = [](QComboBox* box, int value) {
        box->setCurrentIndex(value >= 0 && value < box->count() ? value : 0);
    };
    select(levelBox_, settings.filterLevel);
    select(wordClassBox_, settings.filterWordClass);
    select(unitTypeBox_, settings.filterUnitType);
    filling_ = false;
    returnMode_ = settings.learningMode;
    UpdateFilterRow();
    RecountFilter();
    optionsPanel_->show();
    optionsPanel_->raise();
}

void LearningWindow::UpdateFilterRow() {
    const bool filter = modeBox_->currentIndex() == 1;
    for (QWidget* widget : std::initializer_list<QWidget*>{filterHeading_, levelBox_, wordClassBox_,
                                                           unitTypeBox_, filterCount_}) {
        widget->setVisible(filter);
    }
}

void LearningWindow::RecountFilter() {
    const LearnerSession& session = context_.session;
    const UnitFilter filter{levelBox_->currentIndex(), wordClassBox_->currentIndex(),
                            unitTypeBox_->currentIndex()};
    const FilterMatches matches =
        CountFilterMatches(session.db.units, session.repetitions, SelectedGroupId(), filter);
    filterCount_->setText(Utf8(FilterMatchesText(matches)));
}

void LearningWindow::ConfirmOptions() {
    LearnerSession& session = context_.session;
    Settings& settings = session.settings;
    settings.newUnitsCountIndex = std::max(0, batchBox_->currentIndex());
    settings.learningMode = std::max(0, modeBox_->currentIndex());
    settings.filterLevel = std::max(0, levelBox_->currentIndex());
    settings.filterWordClass = std::max(0, wordClassBox_->currentIndex());
    settings.filterUnitType = std::max(0, unitTypeBox_->currentIndex());
    ApplyGroup();
    const Candidates candidates =
        BuildCandidates(session.db.units, session.repetitions, settings, counts_, SelectedGroupId(),
                        false, attachExampleSentences_);
    SetStatus(candidates.modeText);
    optionsPanel_->hide();
}

void LearningWindow::FilterOff() {
    Settings& settings = context_.session.settings;
    settings.learningMode = returnMode_ >= 0 && returnMode_ <= 2 ? returnMode_ : 0;
    ApplyGroup();
    optionsPanel_->hide();
}

// ---- Window --------------------------------------------------------------------------------

void LearningWindow::SetStatus(const std::string& utf8) {
    status_->setText(LabelText(utf8));
}

void LearningWindow::ShowMessage(const QString& text) {
    if (messages_ != nullptr) {
        messages_->ShowMessage(text);
    } else {
        MessageBox::Show(context_, text, this);
    }
}

void LearningWindow::done(int result) {
    LearnerSession& session = context_.session;
    session.settings.groupIndex = std::max(0, groupBox_->currentIndex());
    QDialog::done(result);
    const SaveRepetitionsResult saved = SaveLiveRepetitions(
        session.paths, session.db.units, session.repetitions, session.settings, context_.clock);
    if (!saved.error.empty()) {
        ShowMessage(Utf8(saved.error));
    }
}

bool LearningWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // An open drop-down list takes its own Escape.
        auto* box = qobject_cast<QComboBox*>(watched);
        if ((key != Qt::Key_Escape || box == nullptr) && HandleKey(key)) {
            return true;
        }
    }
    return KeyedDialog::eventFilter(watched, event);
}

void LearningWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Nauka"));
}

}  // namespace dyd::ui
