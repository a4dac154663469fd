#include "ui/session/kind_marks_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>

#include "ui/app_context.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 420;

}  // namespace

KindMarksWindow::KindMarksWindow(AppContext& context, QWidget* parent)
    : KeyedDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm30"));
    setWindowTitle(QStringLiteral("Dydaktor 5.0"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);

    explanation_ = MakeLabel(this, QStringLiteral("Label2"),
                             QString::fromUtf8(kKindMarksExplanation) + QStringLiteral("\n\n"),
                             QRect(20, 104, kWidth - 40, 56), 9);
    explanation_->setWordWrap(true);
    explanation_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ListBox1"));
    list_->setGeometry(20, 160, kWidth - 40, 196);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setCursor(Qt::PointingHandCursor);
    list_->setFont(QFont(QStringLiteral("Arial"), 10));

    okButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_OK"), QStringLiteral("OK"),
                                this, QPoint(kWidth - 20, kHeight - 52), QSize(90, 32));
    okButton_->setToolTip(QStringLiteral("Nauka słówek"));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    closeButton_->setToolTip(QStringLiteral("Zamknij"));
    okButton_->setCursor(Qt::PointingHandCursor);
    closeButton_->setCursor(Qt::PointingHandCursor);

    connect(okButton_, &QAbstractButton::clicked, this, &KindMarksWindow::Store);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
    list_->installEventFilter(this);
    SetKeys({&context_, QStringLiteral("slownictwo.html"), false, okButton_, [this] { Store(); }});
}

void KindMarksWindow::ShowFor(int unitNumber) {
    background_ = InterfacePicture(context_.paths(), "oznacz.bmp");
    Fill(unitNumber);
    exec();
}

void KindMarksWindow::Fill(int unitNumber) {
    const LearnerSession& session = context_.session;
    unitNumber_ = unitNumber;
    items_ = BuildKindMarkItems(session.db.units, session.settings, session.db.params.language,
                                session.repetitions, unitNumber);
    list_->clear();
    for (const KindMarkItem& item : items_) {
        auto* row = new QListWidgetItem(Utf8(item.text), list_);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(item.checked ? Qt::Checked : Qt::Unchecked);
    }
    if (list_->count() > 0) {
        list_->setCurrentRow(0);
    }
}

void KindMarksWindow::Store() {
    for (int i = 0; i < list_->count() && i < static_cast<int>(items_.size()); ++i) {
        items_[static_cast<std::size_t>(i)].checked = list_->item(i)->checkState() == Qt::Checked;
    }
    ApplyKindMarks(items_, context_.session.repetitions, unitNumber_);
    accept();
}

void KindMarksWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Oznacz ćwiczenia"));
}

void KindMarksWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
    list_->setFocus();
}

}  // namespace dyd::ui
