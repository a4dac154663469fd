#include "ui/session/dictionary_window.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>

#include "core/exercise_sets.h"
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

constexpr int kWidth = 380;
constexpr int kHeight = 440;
const QString kHelpPage = QStringLiteral("index.html");

}  // namespace

DictionaryWindow::DictionaryWindow(AppContext& context, PlanWindow* planWindow, QWidget* parent)
    : KeyedDialog(parent), context_(context), planWindow_(planWindow) {
    setObjectName(QStringLiteral("TForm26"));
    setWindowTitle(QStringLiteral("Dydaktor 5.0"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);

    title_ = MakeLabel(this, QStringLiteral("Label2"), QStringLiteral("Wybrane w Słowniku:"),
                       QRect(20, 100, 200, 22), 10);
    count_ = MakeLabel(this, QStringLiteral("L_Ile_cw"), QString(), QRect(220, 100, 140, 22), 10);
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ListBox1"));
    list_->setGeometry(20, 126, kWidth - 40, 200);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setFont(QFont(QStringLiteral("Arial"), 11));
    list_->installEventFilter(this);

    leftOut_ = MakeLabel(this, QStringLiteral("L_pominiete"), QString(),
                         QRect(20, 330, kWidth - 40, 20), 9);
    leftOut_->hide();

    keep_ = new QCheckBox(this);
    keep_->setObjectName(QStringLiteral("CB_zachowaj"));
    keep_->setGeometry(20, 354, 20, 20);
    keep_->setCursor(Qt::PointingHandCursor);
    keep_->setFocusPolicy(Qt::TabFocus);
    keepLabel_ = MakeLabel(this, QStringLiteral("L_zachowaj"),
                           QStringLiteral("zachowaj do następnego uruchomienia programu"),
                           QRect(42, 354, kWidth - 62, 20), 9);
    keepLabel_->setCursor(Qt::PointingHandCursor);
    keepLabel_->installEventFilter(this);
    keepLabel_->setBuddy(keep_);

    learnButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_OK"), QStringLiteral("OK"),
                                   this, QPoint(kWidth - 20, kHeight - 52), QSize(90, 32));
    learnButton_->setToolTip(QStringLiteral("Nauka słówek."));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    closeButton_->setToolTip(QStringLiteral("Zamknij"));
    learnButton_->setCursor(Qt::PointingHandCursor);
    closeButton_->setCursor(Qt::PointingHandCursor);

    connect(learnButton_, &QAbstractButton::clicked, this, &DictionaryWindow::Learn);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
    SetKeys({&context_, kHelpPage, false, learnButton_, [this] { Learn(); }});
}

void DictionaryWindow::ShowDictionaryUnits() {
    LearnerSession& session = context_.session;
    listPath_ = DictionaryListPath(session.paths);
    listTaken_ = false;
    units_ = {};
    const DictionaryRead read =
        ReadDictionaryList(listPath_, session.db.units, session.currentSet, session.plan);
    if (read.status == DictionaryReadStatus::Unreadable) {
        ShowMessage(read.message);
        return;
    }
    if (read.status != DictionaryReadStatus::Read) {
        return;
    }
    listTaken_ = true;
    units_ = read.units;
    background_ = InterfacePicture(context_.paths(), "slownik.bmp");
    keep_->setChecked(false);
    const std::string leftOut = DictionaryLeftOutText(units_.leftOut);
    leftOut_->setText(Utf8(leftOut));
    leftOut_->setVisible(!leftOut.empty());
    Fill(0);
    exec();
}

void DictionaryWindow::Fill(int selected) {
    const LearnerSession& session = context_.session;
    const CodePage page = session.db.params.foreignCodePage();
    list_->clear();
    for (const std::int32_t unitNumber : units_.unitNumbers) {
        list_->addItem(Foreign(session.db.units.unit(unitNumber).foreignText, page));
    }
    count_->setText(QString::number(units_.count()));
    learnButton_->setVisible(units_.count() > 0);
    if (selected >= 0 && selected < list_->count()) {
        list_->setCurrentRow(selected);
    }
}

void DictionaryWindow::RemoveSelected() {
    const int row = list_->currentRow();
    if (row < 0) {
        return;
    }
    Fill(RemoveDictionaryUnit(units_, row));
}

void DictionaryWindow::Learn() {
    if (units_.count() == 0) {
        return;
    }
    LearnerSession& session = context_.session;
    TakeDictionaryUnits(units_, session.currentSet);
    // The attached example sentences of a draw are off until the learning window draws; only the
    // mode-2 proposal of sentence exercises adds them here.
    PrepareSetForSession(session.currentSet, session.db.units, session.db.relations,
                         WantsRelatedSentences(session.settings, false), session.plan);
    const std::string info =
        BuildPlan(SelectedUnits(session.currentSet), SessionMode::Learning, session.db.units,
                  session.db.params, session.settings, session.repetitions, session.plan);
    if (planWindow_ != nullptr) {
        planWindow_->Open(info);
    }
    accept();
}

void DictionaryWindow::done(int result) {
    if (listTaken_ && !keep_->isChecked()) {
        listTaken_ = false;
        std::string message;
        if (!DeleteDictionaryList(listPath_, message)) {
            ShowMessage(message);
        }
    }
    listTaken_ = false;
    KeyedDialog::done(result);
}

void DictionaryWindow::ShowMessage(const std::string& text) {
    if (messages_ != nullptr) {
        messages_->ShowMessage(Utf8(text));
    } else {
        MessageBox::Show(context_, Utf8(text), this);
    }
}

bool DictionaryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == keepLabel_ && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            keep_->toggle();
        }
        return true;
    }
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RemoveSelected();
        return true;
    }
    return KeyedDialog::eventFilter(watched, event);
}

void DictionaryWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Słownik"));
}

void DictionaryWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
    list_->setFocus();
}

}  // namespace dyd::ui
