#include "ui/shell/database_parameters_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "core/database_list.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/focus_return.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 540;
constexpr int kHeight = 340;
constexpr int kLabelX = 20;
constexpr int kLabelWidth = 232;
constexpr int kFieldX = 256;
constexpr int kFieldWidth = 264;
constexpr int kRowHeight = 26;

int RowY(int row) {
    return 68 + row * 32;
}

QLineEdit* MakeEdit(QWidget* parent, const QString& name, int maxLength, int row) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    if (maxLength > 0) {
        edit->setMaxLength(maxLength);
    }
    edit->setGeometry(kFieldX, RowY(row), kFieldWidth, kRowHeight);
    return edit;
}

QComboBox* MakeCombo(QWidget* parent, const QString& name, const QStringList& items, int row) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    combo->setGeometry(kFieldX, RowY(row), kFieldWidth, kRowHeight);
    combo->setCursor(Qt::PointingHandCursor);
    return combo;
}

QCheckBox* MakeCheck(QWidget* parent, const QString& name, const QString& text, int row) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setGeometry(kLabelX, RowY(row), 400, kRowHeight);
    box->setCursor(Qt::PointingHandCursor);
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, QColor(25, 35, 50));
    box->setPalette(palette);
    return box;
}

QLabel* RowLabel(QWidget* parent, const QString& name, const QString& text, int row) {
    return MakeLabel(parent, name, text, QRect(kLabelX, RowY(row), kLabelWidth, kRowHeight));
}

int Position(std::int32_t value, const QComboBox* combo) {
    const int position = value - 1;
    return position >= 0 && position < combo->count() ? position : 0;
}

}  // namespace

DatabaseParametersWindow::DatabaseParametersWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm32"));
    ReturnFocusOnClose(this);
    setWindowTitle(QStringLiteral("Parametry bazy"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);
    background_ = InterfacePicture(context.programPaths, "baza_par.bmp");

    RowLabel(this, QStringLiteral("L_Id_czesci"),
             QStringLiteral("Unikalny kod bazy (3-15 znaków):"), 0);
    code_ = MakeEdit(this, QStringLiteral("E_Id_czesci"), 20, 0);
    RowLabel(this, QStringLiteral("L_Nazwa"), QStringLiteral("Nazwa bazy:"), 1);
    title_ = MakeEdit(this, QStringLiteral("E_Nazwa"), 30, 1);
    RowLabel(this, QStringLiteral("L_Autor"), QStringLiteral("Autor:"), 2);
    author_ = MakeEdit(this, QStringLiteral("E_Autor"), 25, 2);
    RowLabel(this, QStringLiteral("L_Jezyk"), QStringLiteral("Język (obcy):"), 3);
    language_ = MakeCombo(
        this, QStringLiteral("CB_Jezyk"),
        {QStringLiteral("Angielski"), QStringLiteral("Niemiecki"), QStringLiteral("Francuski"),
         QStringLiteral("Hiszpański"), QStringLiteral("Włoski"), QStringLiteral("Rosyjski"),
         QStringLiteral("Inny"), QStringLiteral("Polski")},
        3);
    RowLabel(this, QStringLiteral("L_Charset"), QStringLiteral("Zestaw znaków (charset):"), 4);
    charset_ =
        MakeCombo(this, QStringLiteral("CB_Charset"),
                  {QStringLiteral("238 - EASTEUROPE_CHARSET"), QStringLiteral("000 - ANSI_CHARSET"),
                   QStringLiteral("204 - RUSSIAN_CHARSET")},
                  4);
    plural_ = MakeCheck(this, QStringLiteral("CB_L_mnoga"),
                        QStringLiteral("Udostępnij ćwiczenia na l. mnogą"), 5);
    recordingsLabel_ =
        RowLabel(this, QStringLiteral("L_Cd"), QStringLiteral("Katalog z nagraniami (CD):"), 6);
    recordings_ = MakeEdit(this, QStringLiteral("E_Cd"), 0, 6);
    discLetter_ = MakeCheck(this, QStringLiteral("CB_Dodawaj_CD_Drv"),
                            QStringLiteral("Dodawaj do ścieżki literkę napędu CD"), 7);

    // Kept with their values but never shown.
    caseSensitive_ = MakeCheck(this, QStringLiteral("CB_Duze_litery"),
                               QStringLiteral("Rozróżniaj małe i wielkie litery"), 5);
    caseSensitive_->hide();
    learningMode2_ = MakeCheck(this, QStringLiteral("CB_Tryb_nauki2"),
                               QStringLiteral("Udostępnij tryb nauki 2"), 5);
    learningMode2_->hide();
    nativeLabel_ =
        RowLabel(this, QStringLiteral("L_jezyk_tlum"), QStringLiteral("Język (native):"), 5);
    nativeLabel_->hide();
    nativeLanguage_ =
        MakeCombo(this, QStringLiteral("CB_jezyk_tlum"),
                  {QStringLiteral("Angielski"), QStringLiteral("Niemiecki"),
                   QStringLiteral("Francuski"), QStringLiteral("Hiszpański"),
                   QStringLiteral("Włoski"), QStringLiteral("Rosyjski"), QStringLiteral("Polski")},
                  5);
    nativeLanguage_->hide();

    okButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_OK"), QStringLiteral("OK"),
                                this, QPoint(kWidth - 20, kHeight - 44), QSize(90, 32));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    connect(okButton_, &QAbstractButton::clicked, this, &DatabaseParametersWindow::Confirm);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
}

bool DatabaseParametersWindow::CreateNew() {
    creating_ = true;
    createdCode_.clear();
    newParams_ = NewDatabaseParameters();
    code_->setEnabled(true);
    charset_->setCurrentIndex(0);
    SetLearnerMade(true);
    return exec() == QDialog::Accepted;
}

bool DatabaseParametersWindow::EditOpen() {
    creating_ = false;
    createdCode_.clear();
    const AppPaths& paths = context_.session.paths;
    charset_->setCurrentIndex(0);
    code_->setText(QString::fromStdString(paths.databaseCode));
    code_->setEnabled(false);
    ShowValues(context_.session.db.params);
    SetLearnerMade(context_.session.db.params.learnerMade);
    return exec() == QDialog::Accepted;
}

void DatabaseParametersWindow::ShowValues(const DatabaseParameters& params) {
    title_->setText(Polish(params.title));
    author_->setText(Polish(params.author));
    language_->setCurrentIndex(Position(params.language, language_));
    nativeLanguage_->setCurrentIndex(Position(params.nativeLanguage, nativeLanguage_));
    const int charset = params.charsetIndex;
    charset_->setCurrentIndex(charset >= 0 && charset < charset_->count() ? charset : 0);
    recordings_->setText(Polish(params.recordingsPath));
    discLetter_->setChecked(params.discRootPrefix);
    plural_->setChecked(params.pluralExercises);
    caseSensitive_->setChecked(params.caseSensitive);
    learningMode2_->setChecked(params.learningMode2);
}

void DatabaseParametersWindow::SetLearnerMade(bool learnerMade) {
    // A learner's own database has no recordings disc; a shipped one keeps its texts.
    recordingsLabel_->setVisible(!learnerMade);
    recordings_->setVisible(!learnerMade);
    discLetter_->setVisible(!learnerMade);
    for (QWidget* control :
         std::initializer_list<QWidget*>{title_, author_, language_, nativeLanguage_, charset_}) {
        control->setEnabled(learnerMade);
    }
    learningMode2_->hide();
}

bool DatabaseParametersWindow::TakeValues(DatabaseParameters& params) {
    struct Field {
        const QLineEdit* edit;
        std::string* target;
        bool trimmed;
        const char* label;
    };
    const Field fields[] = {
        {title_, &params.title, true, "Nazwa bazy"},
        {author_, &params.author, true, "Autor"},
        {recordings_, &params.recordingsPath, false, "Katalog z nagraniami"},
    };
    std::string values[3];
    for (std::size_t i = 0; i < 3; ++i) {
        const Field& field = fields[i];
        const QString text = field.trimmed ? field.edit->text().trimmed() : field.edit->text();
        QString bad;
        const std::optional<std::string> bytes = ToPolishBytes(text, &bad);
        if (!bytes) {
            Refuse(QStringLiteral("Znak „%1” nie może być użyty w polu „%2”. Proszę go zmienić.")
                       .arg(bad, QString::fromUtf8(field.label)));
            return false;
        }
        values[i] = *bytes;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        *fields[i].target = values[i];
    }
    params.language = language_->currentIndex() + 1;
    params.nativeLanguage = nativeLanguage_->currentIndex() + 1;
    params.pluralExercises = plural_->isChecked();
    params.caseSensitive = caseSensitive_->isChecked();
    params.learningMode2 = learningMode2_->isChecked();
    params.charsetIndex = charset_->currentIndex();
    params.discRootPrefix = discLetter_->isChecked();
    return true;
}

void DatabaseParametersWindow::Refuse(const QString& message) {
    MessageBox::Show(context_, message, this);
}

void DatabaseParametersWindow::Confirm() {
    const QString title = title_->text();
    if (title.trimmed().isEmpty()) {
        Refuse(Utf8(CodeCheckMessage(CodeCheck::TitleEmpty)));
        return;
    }
    if (!creating_) {
        DatabaseParameters params = context_.session.db.params;
        if (!TakeValues(params)) {
            return;
        }
        std::string error;
        if (!SaveDatabaseParameters(context_.session.paths, params, &error)) {
            Refuse(QStringLiteral("Nie udało się zapisać parametrów bazy.\n") + Utf8(error));
            return;
        }
        context_.session.db.params = params;
        accept();
        return;
    }
    const std::string programDir = context_.programPaths.programDir;
    const QByteArray titleUtf8 = title.toUtf8();
    const QByteArray code = code_->text().trimmed().toUtf8();
    const std::string_view codeView(code.constData(), static_cast<std::size_t>(code.size()));
    const CodeCheck check = CheckNewDatabase(
        programDir,
        std::string_view(titleUtf8.constData(), static_cast<std::size_t>(titleUtf8.size())),
        codeView);
    if (check != CodeCheck::Ok) {
        Refuse(Utf8(CodeCheckMessage(check)));
        return;
    }
    DatabaseParameters params = newParams_;
    if (!TakeValues(params)) {
        return;
    }
    params.learnerMade = true;
    params.databaseCode = std::string(codeView);
    CodeCheck refused = CodeCheck::Ok;
    std::string error;
    switch (CreateDatabase(programDir, codeView, params, &refused, &error)) {
        case CreateResult::Created:
            createdCode_ = std::string(codeView);
            accept();
            return;
        case CreateResult::Refused:
            Refuse(Utf8(CodeCheckMessage(refused)));
            return;
        case CreateResult::FolderFailed:
            Refuse(Utf8(kCannotCreateFolderMessage));
            return;
        case CreateResult::WriteFailed:
            Refuse(QStringLiteral("Nie udało się zapisać parametrów bazy.\n") + Utf8(error));
            return;
    }
}

void DatabaseParametersWindow::keyPressEvent(QKeyEvent* event) {
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
        default:
            QDialog::keyPressEvent(event);
    }
}

void DatabaseParametersWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Parametry bazy"));
}

void DatabaseParametersWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
    (code_->isEnabled() ? code_ : title_)->setFocus();
}

}  // namespace dyd::ui
