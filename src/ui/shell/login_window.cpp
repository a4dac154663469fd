#include "ui/shell/login_window.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>

#include "sound/audio_factory.h"
#include "ui/app_context.h"
#include "ui/shell/database_parameters_window.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/new_user_window.h"
#include "ui/widgets/after_first_paint.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 380;
const QString kHelpPage = QStringLiteral("logowanie.html");

}  // namespace

LoginWindow::LoginWindow(AppContext& context, QWidget* parent)
    : KeyedDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm9"));
    setWindowTitle(QStringLiteral("Dydaktor 5.0"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);
    background_ = InterfacePictureImage(context.programPaths, "logowanie.bmp");

    names_ = new QListWidget(this);
    names_->setObjectName(QStringLiteral("ComboBox1"));
    names_->setAccessibleName(QStringLiteral("Uczniowie"));
    names_->setAccessibleDescription(
        QStringLiteral("Lista uczniów: wybierz swoje imię strzałkami, Enter otwiera bazę"));
    names_->setGeometry(20, 104, 200, 220);
    names_->setSelectionMode(QAbstractItemView::SingleSelection);
    names_->setCursor(Qt::PointingHandCursor);
    QFont listFont = names_->font();
    listFont.setPointSize(11);
    names_->setFont(listFont);

    MakeLabel(this, QStringLiteral("L_Baza"), QStringLiteral("Baza:"), QRect(240, 104, 240, 22));
    databaseBox_ = new QComboBox(this);
    databaseBox_->setObjectName(QStringLiteral("CB_Baza"));
    databaseBox_->setGeometry(240, 128, 240, 28);
    databaseBox_->setCursor(Qt::PointingHandCursor);

    newUserButton_ =
        MakeImageButton(context, kImageNewUser, QStringLiteral("TransparentButton1"),
                        QStringLiteral("Nowy uczeń"), this, QPoint(240 + 130, 176), QSize(130, 32));
    okButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_OK"), QStringLiteral("OK"),
                                this, QPoint(kWidth - 20, kHeight - 56), QSize(90, 32));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    closeButton_->setToolTip(QStringLiteral("Koniec"));

    connect(names_, &QListWidget::currentRowChanged, this, &LoginWindow::UpdateOkButton);
    // While the learner chooses, the chosen course and learner are read on another thread; the
    // login takes what was read when its files are unchanged.
    connect(names_, &QListWidget::currentRowChanged, this, &LoginWindow::ReadAhead);
    connect(databaseBox_, &QComboBox::currentIndexChanged, this, &LoginWindow::ReadAhead);
    connect(names_, &QListWidget::itemDoubleClicked, this, [this] {
        if (okButton_->isVisible()) {
            LogIn();
        }
    });
    connect(okButton_, &QAbstractButton::clicked, this, &LoginWindow::LogIn);
    connect(newUserButton_, &QAbstractButton::clicked, this, &LoginWindow::NewLearner);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
    names_->installEventFilter(this);
    databaseBox_->installEventFilter(this);

    users_ = LoadUserList(context.programPaths.programDir);
    FillNames();
    SetKeys({&context_, kHelpPage, false, okButton_, [this] { LogIn(); }});
}

void LoginWindow::FillNames() {
    names_->clear();
    for (const UserEntry& user : users_.users) {
        names_->addItem(Polish(user.name));
    }
    if (names_->count() > 0) {
        names_->setCurrentRow(names_->count() - 1);
    }
    UpdateOkButton();
}

void LoginWindow::FillDatabases() {
    databases_ = BuildDatabaseList(context_.programPaths.programDir);
    databaseBox_->clear();
    for (const DatabaseEntry& entry : databases_.entries) {
        databaseBox_->addItem(Polish(entry.title));
    }
    databaseBox_->setCurrentIndex(0);
}

void LoginWindow::ReadAhead() {
    const int row = names_->currentRow();
    const int index = databaseBox_->currentIndex();
    if (!painted_ || !isVisible() || row < 0 || row >= static_cast<int>(users_.users.size()) ||
        index < 0 || index >= static_cast<int>(databases_.entries.size())) {
        return;
    }
    // The course's own menu picture is decoded on the same thread.
    readAhead_.Start(context_.programPaths,
                     databases_.entries[static_cast<std::size_t>(index)].code,
                     users_.users[static_cast<std::size_t>(row)].number, [](LoginReading& reading) {
                         if (reading.menuPicture) {
                             reading.extra = DecodePictureImage(QString::fromStdString(
                                 ResolvePath(reading.paths.databaseDir, kMenuPicture)));
                         }
                     });
}

void LoginWindow::UpdateOkButton() {
    const QListWidgetItem* item = names_->currentItem();
    okButton_->setVisible(item != nullptr && !item->text().trimmed().isEmpty());
}

void LoginWindow::NewLearner() {
    if (newUser_ == nullptr) {
        newUser_ = newUserProvider_ ? newUserProvider_() : new NewUserWindow(context_, this);
    }
    const std::size_t before = users_.users.size();
    newUser_->AddLearner(users_);
    FillNames();
    if (users_.users.size() > before && okButton_->isVisible()) {
        LogIn();
    }
}

void LoginWindow::LogIn() {
    const int row = names_->currentRow();
    const int index = databaseBox_->currentIndex();
    if (!okButton_->isVisible() || row < 0 || row >= static_cast<int>(users_.users.size()) ||
        index < 0 || index >= static_cast<int>(databases_.entries.size())) {
        return;
    }
    const UserEntry user = users_.users[static_cast<std::size_t>(row)];
    std::string code = databases_.entries[static_cast<std::size_t>(index)].code;
    if (code.empty()) {
        // "Nowa baza": the parameters window makes the database, or the login stays here.
        if (parameters_ == nullptr) {
            parameters_ = parametersProvider_ ? parametersProvider_()
                                              : new DatabaseParametersWindow(context_, this);
        }
        if (!parameters_->CreateNew()) {
            return;
        }
        code = parameters_->createdCode();
    }

    bool hidden = false;
    const LoginProgress progress = [this, &hidden](std::string_view title, int position) {
        if (!hidden) {
            hidden = true;
            hide();
        }
        if (progress_) {
            progress_(title, position);
        }
    };
    result_ = Login(context_.programPaths, code, user.number, user.name, context_.clock,
                    context_.session, progress, &readAhead_);
    switch (result_.status) {
        case LoginStatus::Opened:
            break;
        case LoginStatus::ParametersMissing:
            mustEnd_ = true;
            QMessageBox::critical(
                nullptr, windowTitle(),
                result_.messages.empty() ? QString() : Utf8(result_.messages.front()));
            done(QDialog::Rejected);
            return;
        case LoginStatus::NoDatabase:
        case LoginStatus::UserFolderFailed:
            // Nothing was opened yet: the learner stays in the login window.
            for (const std::string& message : result_.messages) {
                QMessageBox::critical(this, windowTitle(), Utf8(message));
            }
            context_.session.paths = AppPaths{};
            FillDatabases();
            if (!isVisible()) {
                show();
            }
            return;
    }
    for (const std::string& message : result_.messages) {
        MessageBox::Show(context_, Utf8(message));
    }
    if (!userLinesSaid_) {
        userLinesSaid_ = true;
        const std::string skipped =
            SkippedUserLinesMessage(users_, context_.programPaths.programDir);
        if (!skipped.empty()) {
            MessageBox::Show(context_, Utf8(skipped));
        }
    }
    OfferCopies();
    done(QDialog::Accepted);
}

void LoginWindow::OfferCopies() {
    LearnerSession& session = context_.session;
    if (result_.repetitionCopy) {
        if (ConfirmationDialog::Confirm(
                context_, Utf8(RestoreOfferQuestion(result_.repetitionCopy->dateTime)))) {
            const RestoreCopyResult restored =
                RestoreRepetitionCopy(session.paths, result_.repetitionCopy->name, session.db.units,
                                      session.repetitions, session.settings, context_.clock);
            MessageBox::Show(context_, Utf8(restored.load.message));
            if (!restored.save.error.empty()) {
                MessageBox::Show(context_, Utf8(restored.save.error));
            }
        } else {
            MessageBox::Show(context_, QStringLiteral("Kopie zapasowe powtórek pozostaną bez "
                                                      "zmian, dopóki powtórki są uszkodzone."));
        }
    }
    if (result_.historyCopyDate &&
        ConfirmationDialog::Confirm(context_,
                                    Utf8(HistoryRestoreQuestion(*result_.historyCopyDate)))) {
        MessageBox::Show(context_,
                         Utf8(RestoreHistoryCopy(session.paths, session.history).message));
    }
}

void LoginWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Logowanie"));
}

void LoginWindow::ReleaseUntilShown() {
    if (isVisible()) {
        return;
    }
    background_ = QImage();
    result_.log = LoadLog{};
    destroy();
}

void LoginWindow::showEvent(QShowEvent* event) {
    if (background_.isNull()) {
        background_ = InterfacePictureImage(context_.programPaths, "logowanie.bmp");
    }
    MakeBorderlessCentred(this, width(), height());
    FillNames();
    FillDatabases();
    QDialog::showEvent(event);
    names_->setFocus();
    if (!painted_) {
        RunAfterFirstPaint(this, [this] {
            painted_ = true;
            ReadAhead();
            // The main menu greets with a sound: its library loads while the learner chooses.
            PrepareAudio();
        });
    } else {
        ReadAhead();
    }
}

}  // namespace dyd::ui
