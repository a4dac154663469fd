#include "ui/shell/new_user_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/focus_return.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {

NewUserWindow::NewUserWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm10"));
    ReturnFocusOnClose(this);
    setWindowTitle(QStringLiteral("Nowy użytkownik"));
    setModal(true);
    MakeBorderlessCentred(this, 360, 160);
    background_ = InterfacePicture(context.programPaths, "logow_new.bmp");

    auto* prompt = MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("Wpisz swoje imię:"),
                             QRect(20, 40, 320, 22));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit1"));
    edit_->setMaxLength(kMaxUserNameLength);
    edit_->setGeometry(20, 66, 320, 30);
    prompt->setBuddy(edit_);
    okButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_OK"), QStringLiteral("OK"),
                                this, QPoint(360 - 20, 112), QSize(90, 32));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(360, 0), QSize(24, 24));
    connect(edit_, &QLineEdit::textChanged, this, &NewUserWindow::UpdateOkButton);
    connect(okButton_, &QAbstractButton::clicked, this, &NewUserWindow::Confirm);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
    UpdateOkButton();
}

bool NewUserWindow::AddLearner(UserList& list) {
    list_ = &list;
    const bool added = exec() == QDialog::Accepted;
    list_ = nullptr;
    return added;
}

void NewUserWindow::UpdateOkButton() {
    okButton_->setVisible(edit_->text().trimmed().size() >= kMinUserNameLength);
}

void NewUserWindow::Confirm() {
    if (!okButton_->isVisible() || list_ == nullptr) {
        return;
    }
    std::string message;
    const QByteArray typed = edit_->text().toUtf8();
    const std::optional<std::string> name = UserNameFromUtf8(
        std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())), &message);
    if (!name) {
        MessageBox::Show(context_, Utf8(message), this);
        edit_->setFocus();
        return;
    }
    const AddUserResult result = AddUser(context_.programPaths.programDir, *list_, *name);
    if (!result.added()) {
        MessageBox::Show(context_, Utf8(result.message), this);
        if (result.status == AddUserStatus::Duplicate) {
            edit_->clear();
        }
        edit_->setFocus();
        return;
    }
    accept();
}

void NewUserWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            reject();
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (okButton_->isVisible()) {
                Confirm();
            }
            break;
        case Qt::Key_F1:
            if (context_.openHelp) {
                context_.openHelp(QStringLiteral("logowanie.html"));
            }
            break;
        default:
            QDialog::keyPressEvent(event);
    }
}

void NewUserWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Nowy użytkownik"));
}

void NewUserWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    edit_->clear();
    QDialog::showEvent(event);
    edit_->setFocus();
}

}  // namespace dyd::ui
