#include "ui/shell/set_parameters_window.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "core/codepage.h"
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

constexpr int kWidth = 360;
constexpr int kHeight = 220;
constexpr int kNameLimit = 16;
constexpr int kFieldX = 160;
constexpr int kFieldWidth = 180;

bool IsEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

SetParametersWindow::SetParametersWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm15"));
    ReturnFocusOnClose(this);
    setWindowTitle(QStringLiteral("Parametry ćwiczenia"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);
    background_ = InterfacePicture(context.programPaths, "zapisz_cw.bmp");

    MakeLabel(this, QStringLiteral("L_Nazwa"), QStringLiteral("Nazwa ćwiczenia:"),
              QRect(20, 52, kFieldX - 24, 26));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("E_Nazwa"));
    name_->setMaxLength(kNameLimit);
    name_->setGeometry(kFieldX, 52, kFieldWidth, 26);
    name_->setFont(QFont(QStringLiteral("Arial"), 10));
    name_->installEventFilter(this);

    MakeLabel(this, QStringLiteral("L_Gr_Tem"), QStringLiteral("Grupa tematyczna:"),
              QRect(20, 90, kFieldX - 24, 26));
    group_ = new QComboBox(this);
    group_->setObjectName(QStringLiteral("CB_Gr_Tem"));
    group_->setGeometry(kFieldX, 90, kFieldWidth, 26);
    group_->setCursor(Qt::PointingHandCursor);

    MakeLabel(this, QStringLiteral("L_Poziom"), QStringLiteral("Poziom:"),
              QRect(20, 128, kFieldX - 24, 26));
    level_ = new QComboBox(this);
    level_->setObjectName(QStringLiteral("CB_Poziom"));
    level_->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                      QStringLiteral("4")});
    level_->setCurrentIndex(0);
    level_->setGeometry(kFieldX, 128, 60, 26);
    level_->setCursor(Qt::PointingHandCursor);

    okButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_OK"), QStringLiteral("OK"),
                                this, QPoint(kWidth - 20, kHeight - 50), QSize(90, 32));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    okButton_->hide();

    connect(okButton_, &QAbstractButton::clicked, this, &SetParametersWindow::Confirm);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(name_, &QLineEdit::textChanged, this,
            [this](const QString& text) { okButton_->setVisible(!text.trimmed().isEmpty()); });
}

void SetParametersWindow::Prepare() {
    result_.reset();
    // The group list follows the table: groups may have been added since the last opening.
    group_->clear();
    groupIds_.clear();
    int selected = 0;
    for (const Group& group : context_.session.db.groups) {
        // A set's identifier holds its group in two digits: a group outside 0..99 cannot hold
        // sets.
        if (group.listed == 0 || group.groupId < 0 || group.groupId > 99) {
            continue;
        }
        if (group.groupId == lastGroupId_) {
            selected = group_->count();
        }
        group_->addItem(Polish(group.name));
        groupIds_.push_back(group.groupId);
    }
    group_->setCurrentIndex(group_->count() > 0 ? selected : -1);
    name_->clear();
    okButton_->hide();
    name_->setFocus();
}

std::optional<SetParameters> SetParametersWindow::Ask() {
    Prepare();
    exec();
    return result_;
}

void SetParametersWindow::Confirm() {
    const QString text = name_->text().trimmed();
    if (text.isEmpty()) {
        return;
    }
    const int index = group_->currentIndex();
    if (index < 0 || index >= static_cast<int>(groupIds_.size())) {
        MessageBox::Show(context_, QStringLiteral("Brak grupy tematycznej, w której można zapisać ćwiczenie."),
                         this);
        return;
    }
    QString bad;
    const std::optional<std::string> bytes = ToPolishBytes(text, &bad);
    if (!bytes) {
        MessageBox::Show(
            context_,
            QStringLiteral("Znak „%1” nie może być użyty w tym tekście. Proszę go zmienić.").arg(bad),
            this);
        name_->setFocus();
        return;
    }
    // "=" separates the fields of a set line: a name holding it would not read back.
    if (text.contains(QLatin1Char('='))) {
        MessageBox::Show(context_, QStringLiteral("Niedozwolony znak \"=\" !"), this);
        name_->setFocus();
        return;
    }
    lastGroupId_ = groupIds_[static_cast<std::size_t>(index)];
    result_ = SetParameters{*bytes, lastGroupId_, level_->currentIndex() + 1};
    accept();
}

bool SetParametersWindow::TypeNationalKey(const QKeyEvent* event) {
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
    name_->insert(Utf8(ToUtf8(std::string_view(&byte, 1), params.foreignCodePage())));
    return true;
}

bool SetParametersWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == name_ && event->type() == QEvent::KeyPress &&
        TypeNationalKey(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void SetParametersWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
    } else if (IsEnter(event)) {
        if (!okButton_->isHidden()) {
            Confirm();
        }
    } else if (event->key() == Qt::Key_F1) {
        if (context_.openHelp) {
            context_.openHelp(QStringLiteral("wlasne_bazy.html"));
        }
    } else {
        QDialog::keyPressEvent(event);
    }
}

void SetParametersWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Parametry ćwiczenia"));
}

void SetParametersWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
    name_->setFocus();
}

}  // namespace dyd::ui
