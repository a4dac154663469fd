#include "ui/session/plan_window.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>

#include "core/repetitions.h"
#include "session/plan_builder.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/progress_window.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 319;
const QString kHelpPage = QStringLiteral("jak.htm");
constexpr int kKindRole = Qt::UserRole;
constexpr int kCountRole = Qt::UserRole + 1;

// The list rows: the selected one white on navy, the others black on white, a kind finished in
// this session grey.
class PlanItemDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const bool finished = index.data(kCountRole).toInt() <= 0;
        painter->save();
        painter->fillRect(option.rect, selected ? QColor(0, 0, 128) : QColor(Qt::white));
        painter->setPen(selected   ? QColor(Qt::white)
                        : finished ? QColor(128, 128, 128)
                                   : QColor(Qt::black));
        painter->setFont(option.font);
        painter->drawText(option.rect.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), option.fontMetrics.height() + 4));
        return size;
    }
};

// A label text of the core (LF CR line breaks) for a QLabel.
QString LabelText(const std::string& utf8) {
    QString text = Utf8(utf8);
    text.remove(QLatin1Char('\r'));
    return text;
}

}  // namespace

PlanWindow::PlanWindow(AppContext& context, QWidget* parent)
    : KeyedDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm8"));
    setWindowTitle(QStringLiteral("Rodzaje ćwiczeń"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);

    info_ = MakeLabel(this, QStringLiteral("l_stat"), QString(), QRect(18, 92, 344, 62), 9);
    info_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ListBox1"));
    list_->setAccessibleName(QStringLiteral("Rodzaje ćwiczeń planu"));
    list_->setGeometry(18, 156, 344, 96);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setItemDelegate(new PlanItemDelegate(list_));
    list_->setCursor(Qt::PointingHandCursor);
    QFont listFont = list_->font();
    listFont.setPointSize(10);
    list_->setFont(listFont);

    noRepetitions_ = new QCheckBox(this);
    noRepetitions_->setObjectName(QStringLiteral("CB_Bez_powtorki"));
    noRepetitions_->setGeometry(18, 255, 20, 20);
    noRepetitions_->setCursor(Qt::PointingHandCursor);
    noRepetitions_->setFocusPolicy(Qt::TabFocus);
    noRepetitionsLabel_ =
        MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("Nie wyznaczaj powtórek"),
                  QRect(40, 255, 200, 20), 9);
    noRepetitionsLabel_->setBuddy(noRepetitions_);

    // Once every kind is done it says how the session ends, in the place of the start button.
    allDoneLabel_ = MakeLabel(this, QStringLiteral("L_wykonane"), QString(),
                              QRect(136, 278, kWidth - 18 - 136, 36), 9);
    allDoneLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette allDoneInk = allDoneLabel_->palette();
    allDoneInk.setColor(QPalette::WindowText, QColor(0, 0, 128));
    allDoneLabel_->setPalette(allDoneInk);
    allDoneLabel_->hide();

    presentationButton_ =
        MakeImageButton(context, -1, QStringLiteral("K_Prezentacja"), QStringLiteral("Prezentacja"),
                        this, QPoint(18 + 110, 282), QSize(110, 30));
    // Drawn as its neighbour "Prezentacja" is (the image list has no picture for that one).
    startButton_ = MakeImageButton(context, -1, QStringLiteral("B_OK"), QStringLiteral("OK"), this,
                                   QPoint(kWidth - 18, 282), QSize(90, 30));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    closeButton_->setToolTip(QStringLiteral("Zamknij"));
    for (ImageButton* button : {presentationButton_, startButton_, closeButton_}) {
        button->setCursor(Qt::PointingHandCursor);
    }
    startButton_->hide();

    connect(list_, &QListWidget::currentRowChanged, this, &PlanWindow::UpdateStartButton);
    connect(list_, &QListWidget::itemDoubleClicked, this, &PlanWindow::StartSelected);
    connect(startButton_, &QAbstractButton::clicked, this, &PlanWindow::StartSelected);
    connect(presentationButton_, &QAbstractButton::clicked, this, &PlanWindow::StartPresentation);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(noRepetitions_, &QCheckBox::toggled, this, &PlanWindow::UpdateAllDone);
    list_->installEventFilter(this);
    SetKeys({&context_, kHelpPage, false, nullptr, [this] { EnterPressed(); }});
}

int PlanWindow::Open(const std::string& info) {
    info_->setText(LabelText(info));
    return exec();
}

int PlanWindow::Resume() {
    return exec();
}

void PlanWindow::showEvent(QShowEvent* event) {
    // Brought back from the task bar, the window keeps its list, selection and tick.
    if (event->spontaneous()) {
        QDialog::showEvent(event);
        return;
    }
    background_ = InterfacePicture(context_.paths(), "typ_cwiczenia.bmp");
    MakeBorderlessCentred(this, kWidth, kHeight);
    const bool learning = context_.session.plan.mode == SessionMode::Learning;
    noRepetitions_->setChecked(false);
    noRepetitions_->setVisible(learning);
    noRepetitionsLabel_->setVisible(learning);
    lastCloseScheduled_ = false;
    RefreshList();
    QDialog::showEvent(event);
    list_->setFocus();
    if (context_.session.plan.list.empty()) {
        // An empty plan: "Koniec!" and the window closes at once (the session ends).
        QTimer::singleShot(0, this, [this] {
            if (isVisible()) {
                reject();
            }
        });
    }
}

void PlanWindow::RefreshList() {
    SessionPlan& plan = context_.session.plan;
    const PlanListView view = RefreshPlanList(plan);
    const QSignalBlocker blocker(list_);
    list_->clear();
    for (const PlanListItem& item : plan.list) {
        auto* row = new QListWidgetItem(Utf8(PlanItemText(item)), list_);
        row->setData(kKindRole, item.kind);
        row->setData(kCountRole, item.rowsToDo);
    }
    list_->setCurrentRow(view.selected);
    startButton_->setVisible(view.startVisible);
    presentationButton_->setVisible(view.presentationVisible);
    allDone_ = view.allDone;
    UpdateAllDone();
    setWindowTitle(Utf8(view.title));
    update();
}

void PlanWindow::UpdateAllDone() {
    allDoneLabel_->setText(LabelText(
        std::string(noRepetitions_->isChecked() ? kAllKindsDoneUnsavedText : kAllKindsDoneText)));
    allDoneLabel_->setVisible(allDone_);
}

void PlanWindow::EnterPressed() {
    // Enter starts the selected kind while the start button shows; with every kind done it
    // closes the window, which ends the session.
    if (allDone_) {
        reject();
    } else if (startButton_->isVisible()) {
        StartSelected();
    }
}

void PlanWindow::UpdateStartButton() {
    startButton_->setVisible(CanStart(context_.session.plan, list_->currentRow()));
}

void PlanWindow::StartSelected() {
    SessionPlan& plan = context_.session.plan;
    if (!StartKind(plan, list_->currentRow(), stepId_)) {
        return;
    }
    if (runner_) {
        runner_();
    }
    RefreshList();
    if (plan.list.empty() && isVisible()) {
        reject();
        return;
    }
    // Back from the runner (and its statistics), the keys belong to the plan's list again; a
    // plan left minimised with the program comes back with the runner's close.
    if (isMinimized()) {
        showNormal();
    }
    activateWindow();
    list_->setFocus();
}

void PlanWindow::StartPresentation() {
    if (dyd::StartPresentation(context_.session.plan, stepId_) && presentation_) {
        presentation_();
    }
}

void PlanWindow::done(int result) {
    if (!ending_) {
        ending_ = true;
        // The session ends with the window closed: the summary does not stand over it.
        hide();
        EndOfSession();
        ending_ = false;
    }
    QDialog::done(result);
}

void PlanWindow::EndOfSession() {
    LearnerSession& session = context_.session;
    const SessionEndResult end =
        EndSession(session.plan, noRepetitions_->isChecked(), session.db.units, session.repetitions,
                   session.settings, context_.clock.Today());
    lastCloseScheduled_ = end.updated;
    if (!end.updated) {
        return;
    }
    if (end.showSummary && summary_) {
        summary_();
    }
    ProgressWindow* progress = progress_;
    if (progress == nullptr) {
        progress_ = progress = new ProgressWindow(this);
    }
    progress->ShowWithText(Utf8(kSavingRepetitionsTitle));
    const SaveRepetitionsResult saved = SaveLiveRepetitions(
        session.paths, session.db.units, session.repetitions, session.settings, context_.clock);
    progress->hide();
    if (!saved.error.empty()) {
        if (messages_ != nullptr) {
            messages_->ShowMessage(Utf8(saved.error));
        } else {
            MessageBox::Show(context_, Utf8(saved.error), this);
        }
    }
}

void PlanWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, windowTitle());
}

}  // namespace dyd::ui
