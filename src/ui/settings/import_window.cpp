#include "ui/settings/import_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QTimer>

#include "core/database_list.h"
#include "core/repetitions.h"
#include "core/text.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/file_chooser_window.h"
#include "ui/shell/progress_window.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 540;
constexpr int kHeight = 400;
constexpr int kImageChoose = 1;
// The progress of the records runs from where the window shows it first to the end.
constexpr int kFirstPosition = 15;

QCheckBox* MakeTick(QWidget* parent, const QString& name, QRect area) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(name);
    box->setGeometry(area);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

Edition EditionAt(int index) {
    switch (index) {
        case 0:
            return Edition::E2001;
        case 2:
            return Edition::E50;
        default:
            return Edition::E40;
    }
}

}  // namespace

ImportWindow::ImportWindow(AppContext& context, QWidget* parent)
    : KeyedDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(Utf8(kImportWindowTitle));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);

    prompt_ = MakeLabel(this, QStringLiteral("Label1"), QString(), QRect(40, 102, 300, 22), 11);

    version_ = new QComboBox(this);
    version_->setObjectName(QStringLiteral("CB_Wersja"));
    version_->addItems({QStringLiteral("wersja 2001"), QStringLiteral("wersja 4.0"),
                        QStringLiteral("wersja 5.0")});
    version_->setGeometry(40, 130, 200, 28);
    version_->setCursor(Qt::PointingHandCursor);

    showButton_ = MakeImageButton(context, kImageChoose, QStringLiteral("K_Pokaz"),
                                  QStringLiteral("Pokaż konta"), this, QPoint(370, 128),
                                  QSize(110, 32));
    showButton_->setCursor(Qt::PointingHandCursor);

    accountList_ = new QListWidget(this);
    accountList_->setObjectName(QStringLiteral("ListBox1"));
    accountList_->setAccessibleName(QStringLiteral("Konta"));
    accountList_->setGeometry(40, 130, 230, 150);
    accountList_->setFont(QFont(QStringLiteral("Arial"), 10));
    accountList_->setCursor(Qt::PointingHandCursor);

    databaseList_ = new QComboBox(this);
    databaseList_->setObjectName(QStringLiteral("ListBox2"));
    databaseList_->setAccessibleName(QStringLiteral("Bazy konta"));
    databaseList_->setGeometry(290, 130, 210, 28);
    databaseList_->setCursor(Qt::PointingHandCursor);

    learnerUnits_ = MakeTick(this, QStringLiteral("Ch_slowka_tez"), QRect(290, 176, 20, 22));
    learnerUnitsLabel_ =
        MakeLabel(this, QStringLiteral("Label3"), QStringLiteral("Importuj słówka użytkownika"),
                  QRect(314, 176, 200, 22));
    keep_ = MakeTick(this, QStringLiteral("Ch_niekasuj"), QRect(290, 206, 20, 22));
    keepLabel_ =
        MakeLabel(this, QStringLiteral("Label4"), QStringLiteral("Pozostaw istniejące powtórki"),
                  QRect(314, 206, 200, 22));
    for (QLabel* label : {learnerUnitsLabel_, keepLabel_}) {
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
    }

    warning_ = MakeLabel(this, QStringLiteral("Label2"), Utf8(kImportWarning),
                         QRect(40, 290, kWidth - 80, 44), 9);
    warning_->setWordWrap(true);
    QPalette palette = warning_->palette();
    palette.setColor(QPalette::WindowText, QColor(150, 20, 20));
    warning_->setPalette(palette);

    importButton_ = MakeImageButton(context, kImageOk, QStringLiteral("k_importuj"),
                                    QStringLiteral("Importuj"), this,
                                    QPoint(kWidth - 40, kHeight - 56), QSize(110, 32));
    importButton_->setCursor(Qt::PointingHandCursor);
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    closeButton_->setToolTip(QStringLiteral("Zamknij"));
    closeButton_->setCursor(Qt::PointingHandCursor);

    connect(showButton_, &QAbstractButton::clicked, this, &ImportWindow::ShowAccounts);
    connect(accountList_, &QListWidget::currentRowChanged, this, &ImportWindow::AccountChosen);
    connect(importButton_, &QAbstractButton::clicked, this, &ImportWindow::Import);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
    for (QWidget* control : std::initializer_list<QWidget*>{version_, accountList_, databaseList_,
                                                            learnerUnits_, keep_}) {
        control->installEventFilter(this);
    }
    SetKeys({&context_, QStringLiteral("ustawienia.html"), false, nullptr, {}});
}

bool ImportWindow::Run() {
    Reset();
    background_ = InterfacePicture(context_.paths(), "powtorki.bmp");
    exec();
    return imported_;
}

void ImportWindow::Reset() {
    imported_ = false;
    sourceFolder_.clear();
    accounts_.clear();
    databaseCodes_.clear();
    accountList_->clear();
    databaseList_->clear();
    prompt_->clear();
    version_->setCurrentIndex(1);
    version_->show();
    showButton_->show();
    for (QWidget* control :
         std::initializer_list<QWidget*>{importButton_, accountList_, databaseList_, learnerUnits_,
                                         learnerUnitsLabel_, keep_, keepLabel_}) {
        control->hide();
    }
    learnerUnits_->setChecked(true);
    keep_->setChecked(false);
    version_->setFocus();
}

Edition ImportWindow::ChosenEdition() const {
    return EditionAt(version_->currentIndex());
}

std::optional<std::string> ImportWindow::AskForFolder(Edition edition, bool* declined) {
    // There is no registry to ask where an earlier edition was installed: the learner names the
    // folder (a copy of it taken from the old computer, say).
    *declined = false;
    if (!ConfirmationDialog::Confirm(context_, Utf8(NoInstallationQuestion(edition)), this)) {
        *declined = true;
        return std::nullopt;
    }
    FileChooserWindow chooser(context_, this);
    // The chooser opens where the learner chose last; here it starts from his home folder, where
    // a copy of an old installation is most likely to be.
    QTimer::singleShot(0, &chooser, [&chooser] { chooser.OpenFolder(QDir::homePath()); });
    return chooser.Choose(FileChooserMode::Folder, Utf8(FolderPrompt(edition)));
}

void ImportWindow::ShowAccounts() {
    const Edition edition = ChosenEdition();
    std::string folder;
    if (edition == Edition::E50) {
        folder = context_.paths().programDir;
    } else {
        bool declined = false;
        const std::optional<std::string> chosen = AskForFolder(edition, &declined);
        if (declined) {
            reject();
            return;
        }
        if (!chosen) {
            return;
        }
        folder = *chosen;
    }
    folder = NormalizeSourceFolder(folder);
    std::vector<ImportAccount> accounts = ReadImportAccounts(folder);
    if (accounts.empty()) {
        MessageBox::Show(context_, Utf8(NoAccountsMessage(edition)), this);
        reject();
        return;
    }
    edition_ = edition;
    sourceFolder_ = folder;
    accounts_ = std::move(accounts);
    accountList_->clear();
    for (const ImportAccount& account : accounts_) {
        accountList_->addItem(Polish(account.name));
    }
    accountList_->setCurrentRow(-1);
    prompt_->setText(Utf8(kChooseAccountPrompt));
    showButton_->hide();
    version_->hide();
    accountList_->show();
    for (QWidget* control : std::initializer_list<QWidget*>{learnerUnits_, learnerUnitsLabel_,
                                                            keep_, keepLabel_}) {
        control->show();
    }
    if (edition == Edition::E50) {
        databaseCodes_.clear();
        databaseList_->clear();
        for (const DatabaseEntry& entry : BuildDatabaseList(folder).entries) {
            if (entry.code.empty()) {
                continue;  // the entry that makes a new database
            }
            databaseCodes_.push_back(entry.code);
            databaseList_->addItem(Polish(Trim(entry.title)));
        }
        databaseList_->setCurrentIndex(databaseCodes_.empty() ? -1 : 0);
        databaseList_->show();
    }
    accountList_->setFocus();
}

void ImportWindow::AccountChosen(int row) {
    const bool named = row >= 0 && static_cast<std::size_t>(row) < accounts_.size() &&
                       !accounts_[static_cast<std::size_t>(row)].name.empty();
    importButton_->setVisible(named);
}

ProgressWindow* ImportWindow::Progress() {
    if (progress_ != nullptr) {
        return progress_;
    }
    if (ownProgress_ == nullptr) {
        ownProgress_ = new ProgressWindow(this);
    }
    return ownProgress_;
}

void ImportWindow::Import() {
    const int row = accountList_->currentRow();
    if (!importButton_->isVisible() || row < 0 || static_cast<std::size_t>(row) >= accounts_.size()) {
        return;
    }
    const ImportAccount& account = accounts_[static_cast<std::size_t>(row)];
    LearnerSession& session = context_.session;
    std::string code = session.paths.databaseCode;
    if (edition_ == Edition::E50) {
        const int index = databaseList_->currentIndex();
        if (index < 0 || static_cast<std::size_t>(index) >= databaseCodes_.size()) {
            return;
        }
        code = databaseCodes_[static_cast<std::size_t>(index)];
    }

    ProgressWindow* progress = Progress();
    progress->Report(Utf8(kImportingTitle), kFirstPosition);
    QStringList notes;
    if (learnerUnits_->isChecked()) {
        const LearnerUnitsImport units =
            ImportLearnerUnits(sourceFolder_, edition_, session.paths, session.db.units);
        imported_ = imported_ || units.added > 0;
        if (!units.error.empty()) {
            notes.append(Utf8(units.error));
        }
    }
    const ImportResult result = ImportRepetitionFile(
        AccountRepetitionFile(edition_, sourceFolder_, account.number, code), edition_,
        keep_->isChecked(), session.paths, session.db.units, session.repetitions,
        [progress](int position) {
            progress->SetPosition(kFirstPosition + position * (100 - kFirstPosition) / 100);
        });
    if (result.done) {
        imported_ = true;
        if (!result.reportError.empty()) {
            notes.append(Utf8(result.reportError));
        }
        // The records are the learner's now: a program that ends before the next session must
        // not lose them.
        progress->SetTitle(Utf8(kSavingRepetitionsTitle));
        const SaveRepetitionsResult saved = SaveLiveRepetitions(
            session.paths, session.db.units, session.repetitions, session.settings,
            context_.clock);
        if (!saved.error.empty()) {
            notes.append(Utf8(saved.error));
        }
    }
    progress->hide();
    QString message = Utf8(result.message);
    for (const QString& note : notes) {
        message += QStringLiteral("\n") + note;
    }
    MessageBox::Show(context_, message, this);
    if (result.done) {
        accept();
    }
}

bool ImportWindow::HandleKey(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (importButton_->isVisible()) {
            Import();
        } else if (showButton_->isVisible()) {
            ShowAccounts();
        }
        return true;
    }
    return KeyedDialog::HandleKey(key);
}

bool ImportWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == learnerUnitsLabel_) {
            learnerUnits_->toggle();
            return true;
        }
        if (watched == keepLabel_) {
            keep_->toggle();
            return true;
        }
    }
    return KeyedDialog::eventFilter(watched, event);
}

void ImportWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, windowTitle());
}

void ImportWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
}

}  // namespace dyd::ui
