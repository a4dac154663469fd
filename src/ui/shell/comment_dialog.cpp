#include "ui/shell/comment_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

#include "runner/answer_check.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/focus_return.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 440;
constexpr int kHeight = 160;

bool IsEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

CommentDialog::CommentDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm27"));
    ReturnFocusOnClose(this);
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);
    background_ = InterfacePicture(context.programPaths, "komentarz.bmp");

    prompt_ = MakeLabel(this, QStringLiteral("Label1"), QString(), QRect(20, 44, 400, 22));
    prompt_->setTextFormat(Qt::PlainText);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit1"));
    edit_->setAccessibleName(QStringLiteral("Twój komentarz"));
    edit_->setGeometry(20, 70, 400, 26);
    edit_->setFont(QFont(QStringLiteral("Arial"), 10));
    edit_->installEventFilter(this);

    okButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_OK"), QStringLiteral("OK"),
                                this, QPoint(kWidth - 20, kHeight - 50), QSize(90, 32));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));

    connect(okButton_, &QAbstractButton::clicked, this, &CommentDialog::Confirm);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
    // After any edit the text may be confirmed as soon as it holds something.
    connect(edit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { okButton_->setVisible(!text.trimmed().isEmpty()); });
}

void CommentDialog::Prepare(const QString& prompt, const QString& text, int limit) {
    result_.reset();
    resultBytes_.clear();
    prompt_->setText(prompt);
    // The limit holds for typing; a text that is already longer is kept whole, so that
    // confirming it never cuts off what was there.
    const qsizetype longest = limit > 0 ? std::max<qsizetype>(limit, text.size()) : 32767;
    edit_->setMaxLength(static_cast<int>(std::min<qsizetype>(longest, 32767)));
    {
        const QSignalBlocker quiet(edit_);
        edit_->setText(text);
    }
    // An offered text of a single character is not taken as it stands.
    okButton_->setVisible(edit_->text().trimmed().size() > 1);
    edit_->setFocus();
}

std::optional<QString> CommentDialog::Ask(const QString& prompt, const QString& text, int limit) {
    bytesPage_.reset();
    Prepare(prompt, text, limit);
    exec();
    return result_;
}

std::optional<std::string> CommentDialog::AskBytes(const QString& prompt, std::string_view text,
                                                   int limit, CodePage page) {
    bytesPage_ = page;
    Prepare(prompt, Utf8(ToUtf8(text, page)), limit);
    exec();
    bytesPage_.reset();
    if (!result_) {
        return std::nullopt;
    }
    return resultBytes_;
}

void CommentDialog::Confirm() {
    if (okButton_->isHidden()) {
        return;
    }
    const QString text = edit_->text().trimmed();
    if (bytesPage_) {
        const QByteArray utf8 = text.toUtf8();
        std::string bad;
        const std::optional<std::string> bytes =
            FromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                     *bytesPage_, &bad);
        if (!bytes) {
            MessageBox::Show(
                context_,
                QStringLiteral("Znak „%1” nie może być użyty w tym tekście. Proszę go zmienić.")
                    .arg(Utf8(bad)),
                this);
            edit_->setFocus();
            return;
        }
        resultBytes_ = *bytes;
    }
    result_ = text;
    accept();
}

bool CommentDialog::TypeNationalKey(const QKeyEvent* event) {
    const int key = event->key();
    if (key < Qt::Key_A || key > Qt::Key_Z) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const DatabaseParameters& params = context_.session.db.params;
    const std::optional<unsigned char> code =
        NationalKey(params.language, static_cast<char>('A' + (key - Qt::Key_A)),
                    modifiers.testFlag(Qt::ControlModifier), modifiers.testFlag(Qt::AltModifier),
                    modifiers.testFlag(Qt::ShiftModifier));
    if (!code) {
        return false;
    }
    const char byte = static_cast<char>(*code);
    edit_->insert(Utf8(ToUtf8(std::string_view(&byte, 1), params.foreignCodePage())));
    return true;
}

bool CommentDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        // A mapped Ctrl key types its character; other Ctrl keys keep their usual work.
        if (TypeNationalKey(static_cast<QKeyEvent*>(event))) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CommentDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
    } else if (IsEnter(event)) {
        Confirm();
    } else {
        QDialog::keyPressEvent(event);
    }
}

void CommentDialog::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Komentarz"));
}

void CommentDialog::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
    edit_->setFocus();
    // The text is to be added to, not typed over by the first key: the field selects all when
    // the window takes the focus, so the cursor is put at the end once that has happened.
    QTimer::singleShot(0, edit_, [this] {
        edit_->deselect();
        edit_->end(false);
    });
}

}  // namespace dyd::ui
