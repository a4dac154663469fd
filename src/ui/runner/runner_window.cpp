#include "ui/runner/runner_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <QVariant>

#include "core/files.h"
#include "core/paths.h"
#include "runner/answer_check.h"
#include "sound/sound_player.h"
#include "sound/wav_file.h"
#include "ui/app_context.h"
#include "ui/runner/letter_marks_view.h"
#include "ui/runner/sentence_box.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/focus_return.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/markup_view.h"
#include "ui/widgets/record_button.h"
#include "ui/widgets/ui_text.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kPictureWidth = 700;

// Button pictures of the image list.
constexpr int kImageSpeaker = 0;
constexpr int kImageKnew = 4;
constexpr int kImageDidNotKnow = 5;
constexpr int kImageCheck = 6;
constexpr int kImageBigOk = 7;
constexpr int kImageSmallSpeaker = 12;
constexpr int kImageUp = 13;
constexpr int kImageDown = 14;
constexpr int kImageClose = 18;
constexpr int kImageMinimise = 32;

// Where things stand: the exercise column of the picture and the strip on the right.
constexpr int kColumnLeft = 84;
constexpr int kChoiceLeft = 130;
constexpr int kChoiceWidth = 470;
constexpr int kChoiceHeight = 32;
constexpr int kMarkerLeft = 102;
constexpr int kMarkerSize = 20;
const QRect kWordArea(40, 68, 580, 52);
const QRect kAnswerArea(kChoiceLeft, 195, 400, 34);
constexpr int kInstructionHeight = 24;
constexpr int kExpectedTop = 180;
constexpr int kExpectedHeight = 26;
constexpr int kHintHeight = 24;
constexpr int kGapBoxTop = 160;
// The learner's wrong answer letter by letter: under the hint line, or under the sentence of a
// gap step.
const QRect kComparisonArea(kColumnLeft, 236, 532, 46);
constexpr int kGapComparisonTop = 288;
constexpr int kRightMarkSize = 26;
constexpr int kRightMarkLeft = 52;
const QRect kPaneBack(40, 392, 560, 134);
const QRect kPane(50, 398, 518, 122);
constexpr int kMenuItemHeight = 26;
// The strip: the position of the run and the three counters, each under its caption, then the
// command menu's button, beside which the menu opens.
constexpr int kStripLeft = kPictureWidth + 14;
constexpr int kStripRowTop = 146;
constexpr int kStripRowHeight = 44;
constexpr int kStripCaptionHeight = 16;
constexpr int kMenuButtonTop = kStripRowTop + 4 * kStripRowHeight + 6;
const QRect kMenuArea(516, kMenuButtonTop - 6, 180, 8 * kMenuItemHeight + 8);

constexpr QColor kInk(25, 35, 50);
constexpr QColor kBlue(0, 0, 255);
constexpr QColor kRed(200, 0, 0);
constexpr QColor kTeal(0, 128, 128);
constexpr QColor kStripInk(255, 255, 255);
constexpr QColor kStripCaptionInk(200, 218, 240);
// Under the mouse on the strip: blue would not read on its dark blue.
constexpr QColor kStripHoverInk(255, 204, 96);
constexpr QColor kFace(245, 240, 228);
constexpr QColor kStripFace(28, 58, 96);

QString Text(const std::string& utf8) {
    return Utf8(utf8);
}

void SetInk(QWidget* widget, const QColor& ink) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ink);
    widget->setPalette(palette);
}

QFont FontOf(QWidget* widget, int pointSize, bool bold) {
    QFont font = widget->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

QLabel* PlainLabel(QWidget* parent, const char* name, const QRect& area, int pointSize, bool bold,
                   const QColor& ink) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(area);
    label->setFont(FontOf(label, pointSize, bold));
    SetInk(label, ink);
    return label;
}

// The green mark of a right answer: a tick in a circle.
QPixmap RightMarkPicture() {
    QPixmap picture(kRightMarkSize, kRightMarkSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 150, 60));
    painter.drawEllipse(QRectF(1, 1, kRightMarkSize - 2, kRightMarkSize - 2));
    QPen tick(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(tick);
    const QPointF points[] = {{7.0, 13.5}, {11.5, 18.0}, {19.5, 8.5}};
    painter.drawPolyline(points, 3);
    return picture;
}

// The marker of a choice: its number (the key that chooses it) in an orange disc.
QPixmap MarkerPicture(int n) {
    QPixmap picture(kMarkerSize, kMarkerSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(28, 62, 104), 1.5));
    painter.setBrush(QColor(232, 168, 48));
    painter.drawEllipse(QRectF(1, 1, kMarkerSize - 2, kMarkerSize - 2));
    QFont font = QApplication::font();
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(20, 30, 45));
    painter.drawText(QRect(0, 0, kMarkerSize, kMarkerSize), Qt::AlignCenter, QString::number(n));
    return picture;
}

RunnerKey KeyOf(int key) {
    switch (key) {
        case Qt::Key_1:
            return RunnerKey::Digit1;
        case Qt::Key_2:
            return RunnerKey::Digit2;
        case Qt::Key_3:
            return RunnerKey::Digit3;
        case Qt::Key_4:
            return RunnerKey::Digit4;
        case Qt::Key_Escape:
            return RunnerKey::Escape;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return RunnerKey::Enter;
        case Qt::Key_Space:
            return RunnerKey::Space;
        case Qt::Key_F1:
            return RunnerKey::F1;
        case Qt::Key_F2:
            return RunnerKey::F2;
        case Qt::Key_F3:
            return RunnerKey::F3;
        case Qt::Key_F4:
            return RunnerKey::F4;
        case Qt::Key_F5:
            return RunnerKey::F5;
        case Qt::Key_F6:
            return RunnerKey::F6;
        case Qt::Key_F8:
            return RunnerKey::F8;
        case Qt::Key_F9:
            return RunnerKey::F9;
        case Qt::Key_G:
            return RunnerKey::G;
        case Qt::Key_W:
            return RunnerKey::W;
        case Qt::Key_X:
            return RunnerKey::X;
        case Qt::Key_K:
            return RunnerKey::K;
        case Qt::Key_T:
            return RunnerKey::T;
        case Qt::Key_Z:
            return RunnerKey::Z;
        case Qt::Key_J:
            return RunnerKey::J;
        case Qt::Key_Backspace:
            return RunnerKey::Backspace;
        default:
            return RunnerKey::Other;
    }
}

// Shows a one-line text, shrinking the label's font from its own size until the text fits.
void SetFittedText(QLabel* label, const QString& text) {
    constexpr int kMinPixelSize = 10;
    QFont font = label->font();
    int size = label->property("fullPixelSize").toInt();
    if (size <= 0) {
        size = QFontInfo(font).pixelSize();
        label->setProperty("fullPixelSize", size);
    }
    font.setPixelSize(size);
    while (size > kMinPixelSize && QFontMetrics(font).horizontalAdvance(text) > label->width()) {
        font.setPixelSize(--size);
    }
    label->setFont(font);
    label->setText(text);
}

// The keys of a text field's own editing: paste, copy, cut, undo, redo, select all.
bool IsEditingKey(const QKeyEvent* event) {
    for (const QKeySequence::StandardKey key :
         {QKeySequence::Paste, QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Undo,
          QKeySequence::Redo, QKeySequence::SelectAll}) {
        if (event->matches(key)) {
            return true;
        }
    }
    return false;
}

bool IsEnterKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

// ---- HoverLabel ---------------------------------------------------------------------------

HoverLabel::HoverLabel(const QString& name, const QString& text, QWidget* parent)
    : QLabel(text, parent), ink_(kInk) {
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
    Repaint();
}

void HoverLabel::SetInk(const QColor& ink) {
    ink_ = ink;
    Repaint();
}

void HoverLabel::SetHoverInk(bool on) {
    hoverInk_ = on;
    Repaint();
}

void HoverLabel::SetHoverColour(const QColor& colour) {
    hoverColour_ = colour;
    Repaint();
}

void HoverLabel::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    Repaint();
    QLabel::enterEvent(event);
}

void HoverLabel::leaveEvent(QEvent* event) {
    hovered_ = false;
    Repaint();
    QLabel::leaveEvent(event);
}

void HoverLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled() &&
        rect().contains(event->position().toPoint())) {
        emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void HoverLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        Repaint();
    }
    QLabel::changeEvent(event);
}

void HoverLabel::Repaint() {
    QPalette palette = this->palette();
    const QColor ink = !isEnabled()            ? QColor(150, 150, 150)
                       : hovered_ && hoverInk_ ? hoverColour_
                                               : ink_;
    palette.setColor(QPalette::Active, QPalette::WindowText, ink);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, ink);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, ink);
    setPalette(palette);
}

// ---- RunnerWindow -------------------------------------------------------------------------

class RunnerWindow::NoInterludes final : public InterludeShows {
  public:
    void ShowQuotation(int, int) override {}
    void ShowFact(int, int) override {}
    void ShowPicture(int, int) override {}
    bool OfferMatching() override { return false; }
};

RunnerWindow::RunnerWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), noInterludes_(std::make_unique<NoInterludes>()) {
    setObjectName(QStringLiteral("TForm4"));
    ReturnFocusOnClose(this);
    setWindowTitle(Utf8(kRunnerTitle));
    setModal(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    MakeBorderlessCentred(this, kWidth, kHeight);
    BuildControls();
    ownRandom_ = std::make_unique<SeededRandom>();
    random_ = ownRandom_.get();
    MakeRunner();
}

RunnerWindow::~RunnerWindow() = default;

void RunnerWindow::SetDialogs(MessageBox* messages, ConfirmationDialog* confirmation) {
    messages_ = messages;
    confirmation_ = confirmation;
}

void RunnerWindow::SetRandom(Random& random) {
    random_ = &random;
    runner_.reset();
    MakeRunner();
}

void RunnerWindow::SetInterludeScheduler(InterludeScheduler& scheduler) {
    scheduler_ = &scheduler;
    runner_.reset();
    MakeRunner();
}

void RunnerWindow::MakeRunner() {
    if (runner_ != nullptr) {
        return;
    }
    measure_ = std::make_unique<FontMeasure>(CourseFont());
    RunnerContext runnerContext{context_.session, context_.clock, *random_,
                                *scheduler_,      measure_.get(), gapFields_[0]->height() + 1};
    runner_ = std::make_unique<Runner>(runnerContext, static_cast<RunnerHost&>(*this));
}

Runner& RunnerWindow::runner() {
    return *runner_;
}

const Runner& RunnerWindow::runner() const {
    return *runner_;
}

ImageButton* RunnerWindow::AddButton(const char* name, int image, const QString& text,
                                     QPoint topLeft, QSize fallback) {
    auto* button = new ImageButton(context_.images, image, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setCursor(Qt::PointingHandCursor);
    const QSize size = context_.images.FrameSize(image);
    button->setGeometry(QRect(topLeft, size.isEmpty() ? fallback : size));
    return button;
}

HoverLabel* RunnerWindow::AddCommand(const char* name, const QString& text, const QRect& area) {
    auto* label = new HoverLabel(QString::fromLatin1(name), text, this);
    label->setGeometry(area);
    label->setFont(FontOf(label, 9, true));
    label->setWordWrap(true);
    return label;
}

HoverLabel* RunnerWindow::AddChoice(int n) {
    static const char* const kNames[] = {"L_Odp1", "L_Odp2", "L_Odp3", "L_Odp4"};
    static const char* const kMarkers[] = {"Wyr1", "Wyr2", "wyr3", "wyr4"};
    auto* choice = new HoverLabel(QString::fromLatin1(kNames[n - 1]), QString(), this);
    choice->setFont(CourseFont(16));
    choice->setGeometry(kChoiceLeft, 179, kChoiceWidth, kChoiceHeight);
    auto* marker = new HoverLabel(QString::fromLatin1(kMarkers[n - 1]), QString(), this);
    marker->setPixmap(MarkerPicture(n));
    marker->setToolTip(QStringLiteral("Klawisz %1").arg(n));
    marker->setAccessibleName(QStringLiteral("Wybór %1").arg(n));
    marker->setGeometry(kMarkerLeft, 179 + 6, kMarkerSize, kMarkerSize);
    markers_[static_cast<std::size_t>(n - 1)] = marker;
    const auto choose = [this, n] { Act([n](Runner& runner) { runner.JudgeChoice(n); }); };
    connect(choice, &HoverLabel::clicked, this, choose);
    connect(marker, &HoverLabel::clicked, this, choose);
    return choice;
}

HoverLabel* RunnerWindow::AddMenuItem(const char* name, int row) {
    auto* item = new HoverLabel(QString::fromLatin1(name), QString(), menuPanel_);
    item->setGeometry(10, 4 + row * kMenuItemHeight, kMenuArea.width() - 20, kMenuItemHeight);
    item->setFont(FontOf(item, 10, true));
    return item;
}

void RunnerWindow::BuildControls() {
    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setGeometry(0, 0, kPictureWidth, kHeight);
    image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image1_->setMouseTracking(true);
    image1_->installEventFilter(this);

    image2_ = new QLabel(this);
    image2_->setObjectName(QStringLiteral("Image2"));
    image2_->setGeometry(kPictureWidth, 0, kWidth - kPictureWidth, kHeight);
    image2_->setMouseTracking(true);
    image2_->installEventFilter(this);
    strip_ = InstallPicture(context_.programPaths.programDir,
                            context_.programPaths.languageDir + "gfx_s/cw_pasek.bmp");
    image2_->setPixmap(strip_);

    repetitionBanner_ = new QLabel(this);
    repetitionBanner_->setObjectName(QStringLiteral("I_powtorki"));
    const QPixmap banner = InterfacePicture(context_.programPaths, "powtorka.bmp");
    if (banner.isNull()) {
        repetitionBanner_->setText(QStringLiteral("Powtórka"));
        repetitionBanner_->setFont(FontOf(repetitionBanner_, 14, true));
        repetitionBanner_->setAlignment(Qt::AlignCenter);
        repetitionBanner_->setStyleSheet(
            QStringLiteral("background: rgb(232,168,48); color: rgb(25,35,50);"));
        repetitionBanner_->setGeometry(16, 6, 160, 32);
    } else {
        repetitionBanner_->setPixmap(banner);
        repetitionBanner_->setGeometry(QRect(QPoint(16, 6), banner.size()));
    }
    repetitionBanner_->hide();
    repetitions_ = PlainLabel(this, "L_Powtorki", QRect(16, 38, 260, 16), 9, false, kInk);
    unitId_ = PlainLabel(this, "L_pokaz_id", QRect(520, 12, 170, 18), 9, false, kInk);
    unitId_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    unitId_->hide();
    group_ = PlainLabel(this, "L_grupa_tem", QRect(190, 12, 320, 18), 9, true, kInk);
    group_->setAlignment(Qt::AlignCenter);

    slowko_ = PlainLabel(this, "L_Slowko", kWordArea, 22, true, Qt::black);
    slowko_->setFont(CourseFont(22));
    QFont wordFont = slowko_->font();
    wordFont.setBold(true);
    slowko_->setFont(wordFont);
    slowko_->setAlignment(Qt::AlignCenter);

    sentenceBox_ = new SentenceBox(this);
    sentenceBox_->move(kColumnLeft, 96);
    sentenceBox_->hide();

    gapFields_[0] = new QLineEdit(this);
    gapFields_[1] = new QLineEdit(this);
    gapFields_[2] = new QLineEdit(this);
    static const char* const kGapNames[] = {"E_Wpis1", "E_Wpis2", "E_Wpis3"};
    gapBox_ = new GapBox(this);
    gapBox_->move(kColumnLeft, kGapBoxTop);
    gapBox_->hide();
    for (std::size_t i = 0; i < gapFields_.size(); ++i) {
        gapFields_[i]->setObjectName(QString::fromLatin1(kGapNames[i]));
        gapFields_[i]->setAccessibleName(QStringLiteral("Luka %1").arg(i + 1));
        gapFields_[i]->resize(kGapFieldWidth, 28);
        gapFields_[i]->installEventFilter(this);
        gapFields_[i]->hide();
    }
    gapBox_->AttachFields(gapFields_[0], gapFields_[1], gapFields_[2]);
    for (QLineEdit* field : gapFields_) {
        field->resize(kGapFieldWidth, field->sizeHint().height());
    }

    polecenie_ = new HoverLabel(QStringLiteral("L_Polecenie"), QString(), this);
    polecenie_->setGeometry(kColumnLeft, 139, kSentenceBoxWidth, kInstructionHeight);
    polecenie_->setFont(FontOf(polecenie_, 12, true));
    polecenie_->SetInk(kTeal);
    polecenie_->SetHoverInk(false);
    polecenie_->setCursor(Qt::ArrowCursor);
    connect(polecenie_, &HoverLabel::clicked, this, [this] {
        if (runner_ != nullptr && runner_->state().answered && hooks_.answerPopup) {
            hooks_.answerPopup(Text(runner_->view().learnerAnswer));
        }
    });

    poprawna_ = PlainLabel(this, "L_Poprawna",
                           QRect(kColumnLeft, kExpectedTop, kSentenceBoxWidth, kExpectedHeight), 18,
                           true, Qt::black);
    QFont expectedFont = CourseFont();
    expectedFont.setPixelSize(20);
    expectedFont.setBold(true);
    poprawna_->setFont(expectedFont);
    poprawna_->hide();
    poprawna2_ = PlainLabel(this, "L_Poprawna2",
                            QRect(kColumnLeft, kExpectedTop + 26, kSentenceBoxWidth, kHintHeight),
                            11, false, kInk);
    poprawna2_->hide();

    comparison_ = new LetterMarksView(this);
    comparison_->setGeometry(kComparisonArea);
    comparison_->hide();
    rightMark_ = new QLabel(this);
    rightMark_->setObjectName(QStringLiteral("I_Dobrze"));
    rightMark_->setPixmap(RightMarkPicture());
    rightMark_->setGeometry(kRightMarkLeft, 139, kRightMarkSize, kRightMarkSize);
    rightMark_->setToolTip(QStringLiteral("Dobra odpowiedź"));
    rightMark_->setAccessibleName(QStringLiteral("Dobra odpowiedź"));
    rightMark_->hide();

    for (int n = 1; n <= 4; ++n) {
        choices_[static_cast<std::size_t>(n - 1)] = AddChoice(n);
    }

    answer_ = new QLineEdit(this);
    answer_->setObjectName(QStringLiteral("E_Wpisana"));
    answer_->setAccessibleName(QStringLiteral("Twoja odpowiedź"));
    answer_->setGeometry(kAnswerArea);
    answer_->setFont(CourseFont(16));
    answer_->installEventFilter(this);
    answer_->hide();

    ok_ = AddButton("B_OK", kImageBigOk, QStringLiteral("OK"), QPoint(280, 342), QSize(140, 44));
    check_ = AddButton("B_Sprawdz", kImageCheck, QStringLiteral("Sprawdź"), QPoint(290, 346),
                       QSize(120, 36));
    knew_ = AddButton("B_Umiesz", kImageKnew, QStringLiteral("Umiem"), QPoint(190, 346),
                      QSize(140, 36));
    didNotKnow_ = AddButton("B_Nie_umiesz", kImageDidNotKnow, QStringLiteral("Nie umiem"),
                            QPoint(370, 346), QSize(140, 36));
    // The keys of the verdicts stand on their buttons.
    knew_->SetKeyHint(QStringLiteral("1"));
    knew_->setToolTip(QStringLiteral("Umiem (klawisz 1)"));
    knew_->setAccessibleName(QStringLiteral("1 Umiem"));
    didNotKnow_->SetKeyHint(QStringLiteral("2"));
    didNotKnow_->setToolTip(QStringLiteral("Nie umiem (klawisz 2)"));
    didNotKnow_->setAccessibleName(QStringLiteral("2 Nie umiem"));
    ok_->setToolTip(QStringLiteral("OK (Enter)"));
    check_->setToolTip(QStringLiteral("Sprawdź (Enter)"));
    accept_ = AddCommand("K_Zaakceptuj", QStringLiteral("Zaakceptuj odpowiedź (F3)"),
                         QRect(432, 352, 200, 34));
    accept_->setToolTip(QStringLiteral("Uznaj swoją odpowiedź za poprawną"));
    for (QWidget* w : std::initializer_list<QWidget*>{ok_, check_, knew_, didNotKnow_, accept_}) {
        w->hide();
    }
    connect(ok_, &QAbstractButton::clicked, this, &RunnerWindow::OkClicked);
    connect(check_, &QAbstractButton::clicked, this,
            [this] { Act([](Runner& runner) { runner.RevealAnswer(); }); });
    connect(knew_, &QAbstractButton::clicked, this,
            [this] { Act([](Runner& runner) { runner.JudgeSelf(true); }); });
    connect(didNotKnow_, &QAbstractButton::clicked, this,
            [this] { Act([](Runner& runner) { runner.JudgeSelf(false); }); });
    connect(accept_, &HoverLabel::clicked, this,
            [this] { Act([](Runner& runner) { runner.AcceptAnswer(); }); });

    play_ = AddButton("TransparentButton1", kImageSpeaker, QStringLiteral("♪"), QPoint(632, 76),
                      QSize(40, 40));
    play_->hide();
    connect(play_, &QAbstractButton::clicked, this,
            [this] { Act([](Runner& runner) { runner.Play(); }); });
    BuildRecordControls();

    // The information pane.
    paneBack_ = new QLabel(this);
    paneBack_->setObjectName(QStringLiteral("L_kom_panel"));
    paneBack_->setGeometry(kPaneBack);
    paneBack_->setStyleSheet(QStringLiteral(
        "QLabel { background: rgba(255,255,255,215); border: 1px solid rgb(40,80,125); "
        "border-radius: 6px; }"));
    paneBack_->hide();
    pane_ = new MarkupView(MarkupStyle::Pane, this);
    pane_->setObjectName(QStringLiteral("L_przyklad_pb"));
    pane_->setGeometry(kPane);
    pane_->hide();
    paneUp_ = AddButton("btn_up", kImageUp, QStringLiteral("▲"),
                        QPoint(kPaneBack.right() - 28, kPaneBack.top() + 6), QSize(24, 24));
    paneDown_ = AddButton("btn_dn", kImageDown, QStringLiteral("▼"),
                          QPoint(kPaneBack.right() - 28, kPaneBack.bottom() - 30), QSize(24, 24));
    paneUp_->hide();
    paneDown_->hide();
    pane_->AttachScrollButtons(paneUp_, paneDown_);
    playExample_ = AddButton("k_graj", kImageSmallSpeaker, QStringLiteral("♪"),
                             QPoint(608, kPaneBack.top() + 4), QSize(24, 24));
    playExample_->setToolTip(QStringLiteral("Odtwórz"));
    exampleTranslation_ = AddCommand("k_tlum", QStringLiteral("Tłumaczenie"),
                                     QRect(606, kPaneBack.top() + 32, 90, 20));
    exampleTranslation_->setToolTip(QStringLiteral("Pokaż tłumaczenie"));
    nextExample_ =
        AddCommand("L_next", QStringLiteral("Przykłady"), QRect(606, kPaneBack.top() + 56, 90, 20));
    nextExample_->setToolTip(QStringLiteral("Przykładowe zdania"));
    sentenceTranslation_ = AddCommand("k_tlum_zdanie", QStringLiteral("Tłumaczenie zdania"),
                                      QRect(606, kPaneBack.top() + 80, 90, 36));
    sentenceTranslation_->setToolTip(QStringLiteral("Pokaż tłumaczenie"));
    for (QWidget* w : std::initializer_list<QWidget*>{playExample_, exampleTranslation_,
                                                      nextExample_, sentenceTranslation_}) {
        w->hide();
    }
    connect(playExample_, &QAbstractButton::clicked, this,
            [this] { Act([](Runner& runner) { runner.PlayExample(); }); });
    connect(exampleTranslation_, &HoverLabel::clicked, this,
            [this] { Act([](Runner& runner) { runner.ShowExampleTranslation(); }); });
    connect(nextExample_, &HoverLabel::clicked, this,
            [this] { Act([](Runner& runner) { runner.OpenExamples(); }); });
    connect(sentenceTranslation_, &HoverLabel::clicked, this,
            [this] { Act([](Runner& runner) { runner.ShowSentenceTranslation(); }); });

    // The strip: closing, minimising, the statistics and the command menu.
    close_ = AddButton("K_Koniec", kImageClose, QStringLiteral("X"), QPoint(kWidth - 28, 4),
                       QSize(24, 24));
    close_->setToolTip(QStringLiteral("Koniec"));
    connect(close_, &QAbstractButton::clicked, this, &RunnerWindow::CloseRequested);
    minimise_ = AddButton("K_Minim", kImageMinimise, QStringLiteral("_"), QPoint(kWidth - 56, 4),
                          QSize(24, 24));
    connect(minimise_, &QAbstractButton::clicked, this, &RunnerWindow::Minimise);
    // Row 0 the position of the run, rows 1 to 3 the counters; each value under its caption.
    static const char* const kCaptionNames[] = {"L_Pozycja_opis", "L_Stat1_opis", "L_Stat2_opis",
                                                "L_Stat3_opis"};
    static const char16_t* const kCaptions[] = {u"Krok", u"Dobrze", u"Źle", u"Postęp"};
    static const char16_t* const kTips[] = {
        u"Krok ćwiczenia: który z potrzebnych (zła odpowiedź nie przesuwa dalej)",
        u"Dobre odpowiedzi", u"Złe odpowiedzi",
        u"Postęp: dobre odpowiedzi wśród wszystkich potrzebnych i złych, w procentach"};
    auto rowTop = [](int row) { return kStripRowTop + row * kStripRowHeight; };
    for (std::size_t i = 0; i < statCaptions_.size(); ++i) {
        statCaptions_[i] =
            PlainLabel(this, kCaptionNames[i],
                       QRect(kStripLeft, rowTop(static_cast<int>(i)), 80, kStripCaptionHeight), 8,
                       false, kStripCaptionInk);
        statCaptions_[i]->setText(QString::fromUtf16(kCaptions[i]));
        statCaptions_[i]->setToolTip(QString::fromUtf16(kTips[i]));
    }
    position_ =
        PlainLabel(this, "L_Pozycja", QRect(kStripLeft, rowTop(0) + kStripCaptionHeight, 82, 22),
                   12, true, kStripInk);
    position_->setToolTip(QString::fromUtf16(kTips[0]));
    position_->setAccessibleName(QStringLiteral("Krok ćwiczenia"));
    static const char* const kStatNames[] = {"L_Stat1", "L_Stat2", "L_Stat3"};
    for (std::size_t i = 0; i < stats_.size(); ++i) {
        stats_[i] = PlainLabel(
            this, kStatNames[i],
            QRect(kStripLeft, rowTop(static_cast<int>(i) + 1) + kStripCaptionHeight, 80, 22), 12,
            true, kStripInk);
        stats_[i]->setToolTip(QString::fromUtf16(kTips[i + 1]));
        stats_[i]->setAccessibleName(QString::fromUtf16(kCaptions[i + 1]));
    }

    menuButton_ = new HoverLabel(QStringLiteral("K_menu"), QStringLiteral("Menu ◂"), this);
    menuButton_->setGeometry(kStripLeft, kMenuButtonTop, 80, 26);
    menuButton_->setFont(FontOf(menuButton_, 12, true));
    menuButton_->SetInk(kStripInk);
    menuButton_->SetHoverColour(kStripHoverInk);
    menuButton_->installEventFilter(this);

    menuPanel_ = new QFrame(this);
    menuPanel_->setObjectName(QStringLiteral("Panel_menu"));
    menuPanel_->setGeometry(kMenuArea);
    menuPanel_->setFrameShape(QFrame::Box);
    menuPanel_->setStyleSheet(
        QStringLiteral("QFrame#Panel_menu { background: rgb(250,248,240); border: 1px solid "
                       "rgb(40,80,125); }"));
    trash_ = AddMenuItem("K_Do_kosza", 0);
    comment_ = AddMenuItem("k_dodaj_komentarz", 1);
    forget_ = AddMenuItem("K_zapomnij", 2);
    kinds_ = AddMenuItem("L_Parametry", 3);
    switchQa_ = AddMenuItem("K_Zmien_na", 4);
    known_ = AddMenuItem("K_umiem", 5);
    sentences_ = AddMenuItem("K_Zdania", 6);
    undo_ = AddMenuItem("K_Cofnij", 7);
    trash_->setToolTip(QStringLiteral("Ctrl+T"));
    comment_->setToolTip(QStringLiteral("Ctrl+K"));
    forget_->setToolTip(QStringLiteral("Ctrl+Z"));
    kinds_->setToolTip(QStringLiteral("F8"));
    known_->setToolTip(QStringLiteral("Ctrl+J"));
    undo_->setToolTip(QStringLiteral("Alt+Backspace: ostatnia odpowiedź wraca do poprawienia"));
    const auto command = [this](HoverLabel* item, void (Runner::*operation)()) {
        connect(item, &HoverLabel::clicked, this, [this, operation] {
            ShowMenu(false);
            Act([operation](Runner& runner) { (runner.*operation)(); });
        });
    };
    command(trash_, &Runner::MoveToTrash);
    command(comment_, &Runner::EditComment);
    command(forget_, &Runner::ResetUnit);
    command(kinds_, &Runner::MarkKinds);
    command(switchQa_, &Runner::SwitchQaMode);
    command(known_, &Runner::MarkKnown);
    command(sentences_, &Runner::OpenExamples);
    command(undo_, &Runner::UndoAnswer);
    menuPanel_->hide();

    // The correction mode of the testers.
    correctionPanel_ = new QFrame(this);
    correctionPanel_->setObjectName(QStringLiteral("Panel_Kor"));
    correctionPanel_->setGeometry(8, 532, 684, 64);
    correctionPanel_->setStyleSheet(QStringLiteral(
        "QFrame#Panel_Kor { background: rgb(255,250,225); border: 1px solid rgb(200,160,60); }"));
    static const char* const kBoxNames[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"};
    static const char16_t* const kBoxTexts[] = {u"zly sample", u"brak sampla", u"gr. pokaz",
                                                u"gł (wymowa)"};
    for (std::size_t i = 0; i < correctionBoxes_.size(); ++i) {
        auto* box = new QCheckBox(QString::fromUtf16(kBoxTexts[i]), correctionPanel_);
        box->setObjectName(QString::fromLatin1(kBoxNames[i]));
        box->setGeometry(6 + static_cast<int>(i) * 110, 4, 106, 22);
        box->installEventFilter(this);
        correctionBoxes_[i] = box;
    }
    correctionNote_ = new QLineEdit(correctionPanel_);
    correctionNote_->setObjectName(QStringLiteral("Edit_Kor"));
    correctionNote_->setGeometry(6, 32, 300, 26);
    correctionNote_->setPlaceholderText(QStringLiteral("Uwagi"));
    correctionNote_->installEventFilter(this);
    correctionHint_ = new QLineEdit(correctionPanel_);
    correctionHint_->setObjectName(QStringLiteral("Edit_Kor_podp"));
    correctionHint_->setGeometry(312, 32, 200, 26);
    correctionHint_->setPlaceholderText(QStringLiteral("Podpowiedź"));
    correctionHint_->installEventFilter(this);
    correctionSynonyms_ = new QLabel(correctionPanel_);
    correctionSynonyms_->setObjectName(QStringLiteral("Label2"));
    correctionSynonyms_->setGeometry(518, 4, 160, 54);
    correctionSynonyms_->setWordWrap(true);
    correctionPanel_->hide();

    image1_->lower();
    image2_->lower();
}

// ---- The learner's own voice --------------------------------------------------------------

void RunnerWindow::BuildRecordControls() {
    const QString recordText = QStringLiteral("Nagraj");
    record_ = new RecordButton(QStringLiteral("K_nagraj"), recordText, this);
    record_->setGeometry(624, 124, 70, 22);
    record_->setFont(FontOf(record_, 9, true));
    record_->setToolTip(Utf8(kRecordHint));
    static const char* const kPictureNames[] = {"K_nag_a", "K_nag_b", "k_nag_c"};
    static const RecordPicture kStates[] = {RecordPicture::Idle, RecordPicture::Recording,
                                            RecordPicture::Hover};
    for (std::size_t i = 0; i < recordPictures_.size(); ++i) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QString::fromLatin1(kPictureNames[i]));
        picture->setPixmap(RecordButtonPicture(kStates[i], recordText, record_->font()));
        picture->hide();
        recordPictures_[i] = picture;
    }
    record_->ShowPicture(recordPictures_[0]->pixmap());
    recordTimer_ = new RecordLimitTimer(this);
    recordTimer_->SetHandler([this] {
        if (recording_ != nullptr) {
            recording_->TimerFired();
        }
    });
    connect(record_, &RecordButton::entered, this, [this] {
        if (recording_ != nullptr) {
            recording_->PointerEntered();
        }
    });
    connect(record_, &RecordButton::left, this, [this] {
        if (recording_ != nullptr) {
            recording_->PointerLeft();
        }
    });
    connect(record_, &RecordButton::pressed, this, [this](PointerButton button) {
        if (recording_ != nullptr && running_) {
            recording_->ButtonDown(button);
        }
    });
    connect(record_, &RecordButton::released, this, [this] {
        if (recording_ != nullptr) {
            recording_->ButtonUp();
        }
    });

    playRecorded_ =
        AddCommand("k_play_nagrane", QStringLiteral("Porównaj"), QRect(624, 148, 70, 22));
    playRecorded_->setToolTip(Utf8(kCompareHint));
    playRecorded_->hide();
    connect(playRecorded_, &HoverLabel::clicked, this, [this] {
        if (recording_ != nullptr && running_) {
            recording_->CompareClicked();
        }
    });
}

void RunnerWindow::SetRecorder(Recorder& recorder) {
    recording_ = std::make_unique<HoldToRecordControl>(recorder, *recordTimer_,
                                                       static_cast<HoldToRecordHost&>(*this),
                                                       context_.programPaths.programDir);
}

void RunnerWindow::hideEvent(QHideEvent* event) {
    // A run that ends while the button is held stops the recording, so that the microphone is
    // free for the next run.
    if (recordTimer_->isActive()) {
        recordTimer_->Fire();
    }
    QDialog::hideEvent(event);
}

void RunnerWindow::ShowRecordPicture(RecordPicture picture) {
    const std::size_t index = picture == RecordPicture::Recording ? 1
                              : picture == RecordPicture::Hover   ? 2
                                                                  : 0;
    record_->ShowPicture(recordPictures_[index]->pixmap());
}

void RunnerWindow::ShowCompareButton(bool visible) {
    if (visible && runner_ != nullptr) {
        runner_->RecordingMade();
    }
    playRecorded_->setVisible(visible);
}

void RunnerWindow::EnableRecordButton(bool enabled) {
    record_->setEnabled(enabled);
}

void RunnerWindow::ShowMessage(std::string_view text) {
    Message(text);
}

void RunnerWindow::Pause(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

void RunnerWindow::CloseMediaPlayer() {
    if (context_.sound != nullptr) {
        context_.sound->CloseMediaPlayer();
    }
}

std::optional<long long> RunnerWindow::SoundLengthMs(const std::string& fileName) {
    return WavLengthMs(fileName);
}

std::string RunnerWindow::UnitRecording() {
    return runner_ != nullptr ? runner_->CompareRecording() : std::string();
}

// ---- Running ------------------------------------------------------------------------------

bool RunnerWindow::Open(int kind) {
    MakeRunner();
    context_.session.plan.currentKind = kind;
    shownSerial_ = -1;
    shownPaneSerial_ = -1;
    shownPaneBytes_.clear();
    menuPanel_->hide();
    runner_->OpenRun();
    running_ = !runner_->closed();
    if (recording_ != nullptr) {
        recording_->RunStarted();
    }
    if (running_) {
        Render();
    }
    return running_;
}

void RunnerWindow::RunKind(int kind) {
    if (Open(kind)) {
        exec();
    }
}

void RunnerWindow::Act(const std::function<void(Runner&)>& operation) {
    if (runner_ == nullptr || !running_ || runner_->closed()) {
        return;
    }
    PassCorrectionFields();
    operation(*runner_);
    if (runner_->closed()) {
        running_ = false;
        menuPanel_->hide();
        done(QDialog::Accepted);
        return;
    }
    Render();
}

void RunnerWindow::OkClicked() {
    const QByteArray typed = answer_->text().toUtf8();
    const QByteArray gap1 = gapFields_[0]->text().toUtf8();
    const QByteArray gap2 = gapFields_[1]->text().toUtf8();
    const QByteArray gap3 = gapFields_[2]->text().toUtf8();
    Act([&](Runner& runner) {
        runner.Ok(std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())),
                  std::string_view(gap1.constData(), static_cast<std::size_t>(gap1.size())),
                  std::string_view(gap2.constData(), static_cast<std::size_t>(gap2.size())),
                  std::string_view(gap3.constData(), static_cast<std::size_t>(gap3.size())));
    });
}

void RunnerWindow::CloseRequested() {
    // Nothing of the menu stays painted under the statistics.
    menuPanel_->hide();
    if (runner_ != nullptr && running_ && !runner_->closed()) {
        PassCorrectionFields();
        if (!runner_->CloseRun()) {
            Render();  // back to the exercise from the statistics
            return;
        }
    }
    running_ = false;
    menuPanel_->hide();
    done(QDialog::Rejected);
}

void RunnerWindow::reject() {
    CloseRequested();
}

void RunnerWindow::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        CloseRequested();
        return;
    }
    QDialog::closeEvent(event);
}

void RunnerWindow::Minimise() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) {
            widget->showMinimized();
        }
    }
}

void RunnerWindow::ShowMenu(bool show) {
    if (show) {
        menuPanel_->raise();
        menuPanel_->show();
    } else {
        menuPanel_->hide();
    }
}

void RunnerWindow::PassCorrectionFields() {
    if (runner_ == nullptr || !correctionPanel_->isVisible()) {
        return;
    }
    std::array<bool, 4> flags{};
    for (std::size_t i = 0; i < flags.size(); ++i) {
        flags[i] = correctionBoxes_[i]->isChecked();
    }
    const QByteArray note = correctionNote_->text().toUtf8();
    const QByteArray hint = correctionHint_->text().toUtf8();
    runner_->SetCorrectionFields(
        flags, std::string_view(note.constData(), static_cast<std::size_t>(note.size())),
        std::string_view(hint.constData(), static_cast<std::size_t>(hint.size())));
}

// ---- Showing the step ---------------------------------------------------------------------

void RunnerWindow::Render() {
    const StepView& view = runner_->view();
    const bool newStep = view.serial != shownSerial_;
    setWindowTitle(Text(view.caption));

    ShowBackground(view);

    // The instruction, the expected answer and the hint line.
    SetFittedText(polecenie_, Text(view.instruction.text));
    polecenie_->SetInk(view.instructionRed ? kRed : QColor(Qt::black));
    polecenie_->move(kColumnLeft, view.instructionTop);
    polecenie_->setVisible(view.instruction.visible);
    polecenie_->setCursor(runner_->state().answered ? Qt::PointingHandCursor : Qt::ArrowCursor);
    SetFittedText(poprawna_, Text(view.expected.text));
    poprawna_->setVisible(view.expected.visible && !view.expected.text.empty());
    SetFittedText(poprawna2_, Text(view.hint.text));
    const int hintTop = view.hintPlacement == HintPlacement::BelowInstruction
                            ? view.instructionTop + 24
                            : poprawna_->y() + 26;
    poprawna2_->move(kColumnLeft, hintTop);
    poprawna2_->setVisible(view.hint.visible && !view.hint.text.empty());
    comparison_->SetComparison(view.comparison);
    comparison_->move(kColumnLeft, runner_->state().stepKind == kGapFilling
                                       ? kGapComparisonTop
                                       : kComparisonArea.top());
    comparison_->setVisible(view.comparisonVisible);
    rightMark_->move(kRightMarkLeft,
                     view.instructionTop + (kInstructionHeight - kRightMarkSize) / 2);
    rightMark_->setVisible(view.rightMark && view.instruction.visible);

    RenderChoices(view);

    // The answer fields.
    if (newStep) {
        answer_->clear();
    }
    answer_->setVisible(view.answerFieldVisible);
    if (newStep && view.gapBox.visible) {
        gapBox_->SetText(view.gapBox.text);
    }
    gapBox_->setVisible(view.gapBox.visible);
    for (std::size_t i = 0; i < gapFields_.size(); ++i) {
        gapFields_[i]->setVisible(view.gapBox.visible && view.gapBox.fieldVisible[i]);
    }

    ok_->setVisible(view.okVisible);
    check_->setVisible(view.checkVisible);
    knew_->setVisible(view.knewVisible);
    didNotKnow_->setVisible(view.didNotKnowVisible);
    accept_->setVisible(view.acceptVisible);
    play_->setVisible(view.playVisible);
    play_->setToolTip(Text(view.playHint));
    playRecorded_->setVisible(view.compareVisible);

    RenderPane(view);
    RenderMenu(view);
    // The prompt last: a long sentence takes the room left above the controls below it.
    RenderPrompt(view);

    stats_[0]->setText(Text(view.stat1));
    stats_[1]->setText(Text(view.stat2));
    stats_[2]->setText(Text(view.stat3));
    SetFittedText(position_, Text(view.position));
    SetFittedText(repetitions_, Text(view.repetitions));
    repetitions_->setVisible(!view.repetitions.empty());
    repetitionBanner_->setVisible(view.repetitionBanner);
    unitId_->setText(Text(view.unitIdText));
    unitId_->setVisible(view.unitIdVisible);
    SetFittedText(group_, Text(view.groupLine));
    group_->setVisible(!view.groupLine.empty());

    correctionPanel_->setVisible(view.correction.visible);
    if (newStep && view.correction.visible) {
        for (std::size_t i = 0; i < correctionBoxes_.size(); ++i) {
            correctionBoxes_[i]->setChecked(view.correction.flags[i]);
        }
        correctionNote_->setText(Text(view.correction.note));
        correctionHint_->setText(Text(view.correction.hint));
        correctionSynonyms_->setText(Text(view.correction.synonyms));
    }

    if (newStep) {
        shownSerial_ = view.serial;
        if (view.answerFieldVisible) {
            answer_->setFocus();
        } else if (view.gapBox.visible) {
            // The window itself may not show yet (the first step of a run): what counts is
            // whether the field shows in it.
            for (QLineEdit* field : gapFields_) {
                if (field->isVisibleTo(this)) {
                    field->setFocus();
                    break;
                }
            }
        } else {
            setFocus();
        }
    }
    if (!answer_->isVisible() && !gapFields_[0]->isVisible() && focusWidget() != nullptr &&
        qobject_cast<QLineEdit*>(focusWidget()) != nullptr && !focusWidget()->isVisibleTo(this)) {
        setFocus();
    }
    menuPanel_->raise();
    update();
}

int RunnerWindow::RoomBelow(int top) const {
    int room = kHeight - top;
    for (const QObject* object : children()) {
        const auto* widget = qobject_cast<const QWidget*>(object);
        if (widget == nullptr || !widget->isVisibleTo(this) || widget == image1_ ||
            widget == image2_ || widget == sentenceBox_ || widget == slowko_ ||
            widget->x() >= kColumnLeft + kSentenceBoxWidth ||
            widget->x() + widget->width() <= kColumnLeft || widget->y() < top) {
            continue;
        }
        const auto* label = qobject_cast<const QLabel*>(widget);
        if (label != nullptr && label->text().isEmpty() && label->pixmap().isNull()) {
            continue;
        }
        room = std::min(room, widget->y() - top);
    }
    return room;
}

void RunnerWindow::RenderPrompt(const StepView& view) {
    SetFittedText(slowko_, Text(view.word.text));
    // Layout B keeps the label shown while the prompt stands in the sentence box; empty, it
    // would only lie over the box.
    slowko_->setVisible(view.word.visible && !view.word.text.empty());
    if (view.sentenceBox.visible) {
        sentenceBox_->move(kColumnLeft, view.sentenceBox.top);
        sentenceBox_->SetText(view.sentenceBox.text, view.sentenceBox.highlight,
                              RoomBelow(view.sentenceBox.top));
        sentenceBox_->show();
    } else {
        sentenceBox_->Clear();
        sentenceBox_->hide();
    }
}

void RunnerWindow::RenderChoices(const StepView& view) {
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        const bool shown = static_cast<int>(i) < view.choicesShown;
        SetFittedText(choices_[i], Text(view.choices[i]));
        const int top = view.choiceTops[i] > 0 ? view.choiceTops[i] : choices_[i]->y();
        choices_[i]->move(kChoiceLeft, top);
        markers_[i]->move(kMarkerLeft, top + (kChoiceHeight - kMarkerSize) / 2);
        choices_[i]->setVisible(shown);
        markers_[i]->setVisible(shown);
    }
}

void RunnerWindow::RenderPane(const StepView& view) {
    const PaneView& pane = view.pane;
    if (pane.visible) {
        if (pane.bytes != shownPaneBytes_ || pane.scrollResetSerial != shownPaneSerial_) {
            pane_->SetCodePage(context_.session.db.params.foreignCodePage());
            pane_->SetText(pane.bytes);
            shownPaneBytes_ = pane.bytes;
            shownPaneSerial_ = pane.scrollResetSerial;
        }
        paneBack_->show();
        pane_->show();
        pane_->raise();
        paneUp_->raise();
        paneDown_->raise();
    } else {
        pane_->SetText({});
        shownPaneBytes_.clear();
        paneBack_->hide();
        pane_->hide();
        paneUp_->hide();
        paneDown_->hide();
    }
    exampleTranslation_->setVisible(pane.exampleTranslationVisible);
    playExample_->setVisible(pane.examplePlayVisible);
    nextExample_->setVisible(pane.nextVisible);
    sentenceTranslation_->setVisible(pane.sentenceTranslationVisible);
}

void RunnerWindow::RenderMenu(const StepView& view) {
    const auto set = [](HoverLabel* item, const MenuItemView& state) {
        item->setText(Text(state.caption));
        item->setEnabled(state.enabled);
    };
    set(trash_, view.menu.trash);
    set(comment_, view.menu.comment);
    set(forget_, view.menu.reset);
    set(kinds_, view.menu.markKinds);
    set(switchQa_, view.menu.switchQa);
    set(known_, view.menu.known);
    set(sentences_, view.menu.examples);
    set(undo_, view.menu.undo);
}

void RunnerWindow::ShowBackground(const StepView& view) {
    if (view.backgroundSerial == shownBackgroundSerial_) {
        return;
    }
    shownBackgroundSerial_ = view.backgroundSerial;
    const std::string& path = view.background.path;
    QPixmap picture;
    if (!path.empty()) {
        const std::string file =
            FileExists(path) ? path : ResolvePath(context_.paths().programDir, path);
        if (FileExists(file)) {
            picture.load(QString::fromStdString(file));
        }
    }
    if (!picture.isNull()) {
        background_ = picture;  // a missing picture leaves the previous one
    }
    stripVisible_ = view.background.showStrip;
    image1_->setPixmap(background_);
    image1_->resize(stripVisible_ ? kPictureWidth : kWidth, kHeight);
    image2_->setVisible(stripVisible_);
    // Over a picture of the whole window the strip's white texts would not read.
    const QColor ink = stripVisible_ ? kStripInk : kInk;
    for (QLabel* label : stats_) {
        SetInk(label, ink);
    }
    SetInk(position_, ink);
    for (QLabel* label : statCaptions_) {
        SetInk(label, stripVisible_ ? kStripCaptionInk : kInk);
    }
    menuButton_->SetInk(ink);
    menuButton_->SetHoverColour(stripVisible_ ? kStripHoverInk : kBlue);
}

void RunnerWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kFace);
    if (stripVisible_ && strip_.isNull()) {
        painter.fillRect(QRect(kPictureWidth, 0, kWidth - kPictureWidth, kHeight), kStripFace);
    }
}

// ---- Keys ---------------------------------------------------------------------------------

bool RunnerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* field = qobject_cast<QLineEdit*>(watched);
        const bool answerField = field == answer_ || field == gapFields_[0] ||
                                 field == gapFields_[1] || field == gapFields_[2];
        if (HandleKey(static_cast<QKeyEvent*>(event), answerField ? field : nullptr)) {
            return true;
        }
        // Enter types nothing in the answer fields.
        if (answerField && IsEnterKey(static_cast<QKeyEvent*>(event))) {
            return true;
        }
    } else if (event->type() == QEvent::ShortcutOverride) {
        // The window's Ctrl keys come before the fields' own shortcuts (undo, select all).
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & Qt::ControlModifier) != 0 && qobject_cast<QLineEdit*>(watched)) {
            event->accept();
            return true;
        }
    } else if (watched == menuButton_ && event->type() == QEvent::Enter) {
        ShowMenu(true);
    } else if ((watched == image1_ || watched == image2_) &&
               (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter)) {
        ShowMenu(false);
    } else if (watched == image1_ && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            Act([](Runner& runner) { runner.Play(); });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void RunnerWindow::keyPressEvent(QKeyEvent* event) {
    if (!HandleKey(event, nullptr)) {
        QDialog::keyPressEvent(event);
    }
}

bool RunnerWindow::HandleKey(QKeyEvent* event, QLineEdit* field) {
    if (runner_ == nullptr || !running_) {
        if (event->key() == Qt::Key_Escape) {
            CloseRequested();
            return true;
        }
        return false;
    }
    // Escape with the command menu open closes the menu only.
    if (event->key() == Qt::Key_Escape && menuPanel_->isVisible()) {
        ShowMenu(false);
        return true;
    }
    KeyPress press;
    press.key = KeyOf(event->key());
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    press.ctrl = (modifiers & Qt::ControlModifier) != 0;
    press.alt = (modifiers & Qt::AltModifier) != 0;
    press.shift = (modifiers & Qt::ShiftModifier) != 0;
    press.meta = (modifiers & Qt::MetaModifier) != 0;
    const KeyAction action = runner_->ActionForKey(press);
    // A key held down acts once: its repeats neither judge nor skip the steps that follow.
    if (action != KeyAction::None && event->isAutoRepeat()) {
        return true;
    }
    switch (action) {
        case KeyAction::None:
            return field != nullptr && TypeNational(field, event);
        case KeyAction::Close:
            CloseRequested();
            return true;
        case KeyAction::Help:
            if (context_.openHelp) {
                context_.openHelp(Utf8(kHelpPage));
            }
            return true;
        case KeyAction::ShowAnswer:
            if (hooks_.answerPopup) {
                hooks_.answerPopup(Text(runner_->view().learnerAnswer));
            }
            return true;
        case KeyAction::Ok:
            OkClicked();
            return true;
        case KeyAction::SentenceTranslation:
        case KeyAction::ExampleTranslation:
            // A blank typed into an answer field stays a blank.
            if (field != nullptr && press.key == RunnerKey::Space && field->isVisible()) {
                return false;
            }
            break;
        default:
            break;
    }
    if (action == KeyAction::AddComment || action == KeyAction::Trash ||
        action == KeyAction::Reset || action == KeyAction::Known ||
        action == KeyAction::MarkKinds || action == KeyAction::Undo) {
        ShowMenu(false);
    }
    Act([action](Runner& runner) { runner.Perform(action); });
    return true;
}

bool RunnerWindow::TypeNational(QLineEdit* field, QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool ctrl = (modifiers & Qt::ControlModifier) != 0;
    const bool alt = (modifiers & Qt::AltModifier) != 0;
    if (!ctrl || alt) {
        return false;
    }
    const int language = context_.session.db.params.language;
    const bool mainField = field == answer_;
    if (mainField && language >= 6) {
        return false;  // no national keys in this field for these languages
    }
    std::optional<unsigned char> byte;
    if (event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z) {
        byte = NationalKey(language, static_cast<char>('A' + (event->key() - Qt::Key_A)), ctrl, alt,
                           (modifiers & Qt::ShiftModifier) != 0);
    }
    if (byte.has_value()) {
        const std::string bytes(1, static_cast<char>(*byte));
        field->insert(Foreign(bytes, context_.session.db.params.foreignCodePage()));
        return true;
    }
    // In the answer field any other key with Ctrl types nothing, while the usual editing keys
    // (paste, copy, cut, undo, the moves by word) keep their work; the gap fields pass every
    // other key on.
    if (!mainField || IsEditingKey(event)) {
        return false;
    }
    const QString text = event->text();
    const bool letter = event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z;
    return letter || (!text.isEmpty() && text.front().isPrint());
}

// ---- RunnerHost ---------------------------------------------------------------------------

void RunnerWindow::PlaySound(const std::string& path, bool wait) {
    if (context_.sound != nullptr && !path.empty()) {
        context_.sound->PlaySound(path, wait);
    }
}

void RunnerWindow::Message(std::string_view text) {
    if (messages_ != nullptr) {
        messages_->ShowMessage(Utf8(text));
    } else {
        MessageBox::Show(context_, Utf8(text), this);
    }
}

bool RunnerWindow::Confirm(std::string_view text) {
    if (confirmation_ != nullptr) {
        return confirmation_->Ask(Utf8(text));
    }
    return ConfirmationDialog::Confirm(context_, Utf8(text), this);
}

std::optional<std::string> RunnerWindow::EditComment(std::string_view shown, int maxLength) {
    if (!hooks_.editComment) {
        return std::nullopt;
    }
    return hooks_.editComment(Utf8(shown), maxLength);
}

void RunnerWindow::ShowKindMarks(int unitNumber) {
    if (hooks_.kindMarks) {
        hooks_.kindMarks(unitNumber);
    }
}

void RunnerWindow::OpenExamples(const std::string& text, const std::string& searchText) {
    if (hooks_.examples) {
        hooks_.examples(text, searchText);
    }
}

bool RunnerWindow::ShowStatistics(const RunStatistics& stats) {
    // The run may end inside the operation that judged its last step (a self-assessment verdict
    // goes on to the next step at once), before the window shows that step's counters: they
    // must not stay one answer behind the score over them.
    if (runner_ != nullptr) {
        const StepView& view = runner_->view();
        stats_[0]->setText(Text(view.stat1));
        stats_[1]->setText(Text(view.stat2));
        stats_[2]->setText(Text(view.stat3));
    }
    return hooks_.statistics ? hooks_.statistics(stats) : false;
}

InterludeShows& RunnerWindow::interludes() {
    return hooks_.interludes != nullptr ? *hooks_.interludes : *noInterludes_;
}

void RunnerWindow::RefreshPlanList() {
    if (hooks_.refreshPlanList) {
        hooks_.refreshPlanList();
    }
}

void RunnerWindow::RefreshSetChooser() {
    if (hooks_.refreshSetChooser) {
        hooks_.refreshSetChooser();
    }
}

}  // namespace dyd::ui
