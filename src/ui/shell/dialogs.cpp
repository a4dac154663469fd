#include "ui/shell/dialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include "ui/app_context.h"
#include "ui/widgets/focus_return.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

QLabel* MakeTextLabel(QWidget* parent, const QRect& area) {
    QLabel* label = MakeLabel(parent, QStringLiteral("Label1"), QString(), area, 11);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QWidget* DialogParent(QWidget* parent) {
    return parent != nullptr ? parent : QApplication::activeWindow();
}

bool IsEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

// ---- Message box -------------------------------------------------------------------------

MessageBox::MessageBox(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm20"));
    ReturnFocusOnClose(this);
    setModal(true);
    MakeBorderlessCentred(this, 440, 120);
    background_ = InterfacePicture(context.programPaths, "komunikat.bmp");
    label_ = MakeTextLabel(this, QRect(18, 30, 404, 82));
    // Clicks on the text close the box like clicks on the picture.
    label_->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    okButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_OK"), QStringLiteral("X"),
                                this, QPoint(440, 0), QSize(24, 24));
    connect(okButton_, &QAbstractButton::clicked, this, &QDialog::accept);
}

void MessageBox::SetText(const QString& text) {
    label_->setText(text);
}

QString MessageBox::text() const {
    return label_->text();
}

void MessageBox::ShowMessage(const QString& text) {
    SetText(text);
    exec();
}

void MessageBox::Show(AppContext& context, const QString& text, QWidget* parent) {
    MessageBox box(context, DialogParent(parent));
    box.ShowMessage(text);
}

void MessageBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Space ||
        (IsEnter(event) && okButton_->isVisible())) {
        accept();
    } else if (event->key() == Qt::Key_F1) {
        if (context_.openHelp) {
            context_.openHelp(QStringLiteral("index.html"));
        }
    } else {
        QDialog::keyPressEvent(event);
    }
}

void MessageBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        accept();
    }
}

void MessageBox::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Komunikat"));
}

void MessageBox::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
}

// ---- Confirmation dialog -----------------------------------------------------------------

ConfirmationDialog::ConfirmationDialog(AppContext& context, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm29"));
    ReturnFocusOnClose(this);
    setModal(true);
    MakeBorderlessCentred(this, 439, 120);
    background_ = InterfacePicture(context.programPaths, "info.bmp");
    label_ = MakeTextLabel(this, QRect(18, 28, 403, 50));
    okButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_OK"), QStringLiteral("OK"),
                                this, QPoint(439 - 14, 80), QSize(90, 32));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(439, 0), QSize(24, 24));
    connect(okButton_, &QAbstractButton::clicked, this, [this] { Answer(true); });
    connect(closeButton_, &QAbstractButton::clicked, this, [this] { Answer(false); });
}

void ConfirmationDialog::SetQuestion(const QString& question) {
    label_->setText(question);
}

QString ConfirmationDialog::question() const {
    return label_->text();
}

bool ConfirmationDialog::Ask(const QString& question) {
    SetQuestion(question);
    answer_ = false;
    exec();
    return answer_;
}

bool ConfirmationDialog::Confirm(AppContext& context, const QString& question, QWidget* parent) {
    ConfirmationDialog dialog(context, DialogParent(parent));
    return dialog.Ask(question);
}

void ConfirmationDialog::Answer(bool yes) {
    answer_ = yes;
    if (yes) {
        accept();
    } else {
        QDialog::reject();
    }
}

void ConfirmationDialog::reject() {
    Answer(false);
}

void ConfirmationDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Answer(false);
    } else if (IsEnter(event)) {
        if (okButton_->isVisible()) {
            Answer(true);
        }
    } else {
        QDialog::keyPressEvent(event);
    }
}

void ConfirmationDialog::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Potwierdzenie"));
}

void ConfirmationDialog::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
}

// ---- Yes/no dialog -----------------------------------------------------------------------

YesNoDialog::YesNoDialog(AppContext& context, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm24"));
    ReturnFocusOnClose(this);
    setModal(true);
    MakeBorderlessCentred(this, 300, 100);
    background_ = InterfacePicture(context.programPaths, "koniec.bmp");
    question_ = new QLabel(QStringLiteral("Czy zakończyć pracę z programem?"), this);
    question_->setObjectName(QStringLiteral("L_Pytanie"));
    question_->setGeometry(8, 26, 284, 30);
    question_->setAlignment(Qt::AlignCenter);
    QFont font = question_->font();
    font.setPointSize(10);
    font.setBold(true);
    question_->setFont(font);
    question_->setVisible(background_.isNull());
    yesButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_OK"), QStringLiteral("Tak"),
                                 this, QPoint(145, 60), QSize(90, 32));
    noButton_ = MakeImageButton(context, kImageCancel, QStringLiteral("B_Zamknij"),
                                QStringLiteral("Nie"), this, QPoint(155 + 90, 60), QSize(90, 32));
    connect(yesButton_, &QAbstractButton::clicked, this, [this] { Answer(true); });
    connect(noButton_, &QAbstractButton::clicked, this, [this] { Answer(false); });
}

bool YesNoDialog::Ask() {
    answer_ = false;
    exec();
    return answer_;
}

bool YesNoDialog::AskYesNo(AppContext& context, QWidget* parent) {
    YesNoDialog dialog(context, DialogParent(parent));
    return dialog.Ask();
}

void YesNoDialog::Answer(bool yes) {
    answer_ = yes;
    if (yes) {
        accept();
    } else {
        QDialog::reject();
    }
}

void YesNoDialog::reject() {
    Answer(false);
}

void YesNoDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Answer(false);
    } else if (IsEnter(event)) {
        // Enter answers yes, as the yes button is the dialog's main button.
        Answer(true);
    } else {
        QDialog::keyPressEvent(event);
    }
}

void YesNoDialog::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Zakończenie"));
}

void YesNoDialog::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
}

}  // namespace dyd::ui
