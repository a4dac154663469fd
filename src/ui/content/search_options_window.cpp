#include "ui/content/search_options_window.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QTimer>

#include "runner/answer_check.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 260;

// The Label5 text of the languages the table leaves alone.
constexpr char16_t kOwnCourseFontLabel[] = u"Czcionka j\u0119zyka kursu";

std::string ToBytes(const QString& text, CodePage page, QString* bad = nullptr) {
    const QByteArray utf8 = text.toUtf8();
    std::string badCharacter;
    const std::optional<std::string> bytes =
        FromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), page,
                 &badCharacter);
    if (!bytes) {
        if (bad != nullptr) {
            *bad = Utf8(badCharacter);
        }
        return {};
    }
    return *bytes;
}

QCheckBox* MakeBox(QWidget* parent, const QString& name, int y) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(name);
    box->setGeometry(20, y, 20, 20);
    box->setCursor(Qt::PointingHandCursor);
    // The field keeps the keyboard when the window opens (the boxes change by their labels'
    // letters there); Tab reaches the boxes too, the space bar changes them.
    box->setFocusPolicy(Qt::TabFocus);
    return box;
}

}  // namespace

QString ForeignTextsLabel(int language) {
    switch (language) {
        case 1:
            return QStringLiteral("Szukaj wśród &angielskich");
        case 2:
            return QStringLiteral("Szukaj wśród &niemieckich");
        case 3:
            return QStringLiteral("Szukaj wśród &francuskich");
        case 4:
            return QStringLiteral("Szukaj wśród hiszpańskich");
        case 5:
            return QStringLiteral("Szukaj wśród włoskich");
        case 6:
            return QStringLiteral("Szukaj wśród rosyjskich");
        default:
            return QStringLiteral("Szukaj wśród ...");
    }
}

QString CourseFontLabel(int language) {
    switch (language) {
        case 1:
            return QStringLiteral("Czcionka &angielska");
        case 2:
            return QStringLiteral("Czcionka &niemieckich");
        case 3:
            return QStringLiteral("Czcionka francuska");
        case 4:
            return QStringLiteral("Czcionka hiszpańska");
        case 5:
            return QStringLiteral("Czcionka włoska");
        case 6:
            return QStringLiteral("Czcionka rosyjska");
        default:
            return QString::fromUtf16(kOwnCourseFontLabel);
    }
}

SearchOptionsWindow::SearchOptionsWindow(AppContext& context, QWidget* parent)
    : KeyedDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm23"));
    setWindowTitle(QStringLiteral("Szukaj"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);

    MakeLabel(this, QStringLiteral("L_Tekst"), QStringLiteral("Szukane słowo lub wyrażenie:"),
              QRect(20, 54, 300, 20));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit1"));
    edit_->setGeometry(20, 76, 300, 26);
    edit_->setFont(QFont(QStringLiteral("Arial"), 10));
    edit_->setMaxLength(kMaxQueryLength);
    edit_->installEventFilter(this);

    wholeText_ = MakeBox(this, QStringLiteral("CH_Jak_cale"), 114);
    matchCase_ = MakeBox(this, QStringLiteral("CH_Jak_duze"), 138);
    foreign_ = MakeBox(this, QStringLiteral("CH_Jak_ang"), 162);
    polish_ = MakeBox(this, QStringLiteral("CH_Jak_pol"), 186);
    courseFont_ = MakeBox(this, QStringLiteral("CheckBox1"), 218);
    labelBoxes_ = {wholeText_, matchCase_, foreign_, polish_, courseFont_};
    const QString texts[] = {QStringLiteral("&Tylko całe wyrazy"),
                             QStringLiteral("&Rozróżniaj duże i małe litery"), ForeignTextsLabel(1),
                             QStringLiteral("Szukaj wśród &polskich"), CourseFontLabel(1)};
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        QLabel* label = MakeLabel(this, QStringLiteral("Label%1").arg(i + 1), texts[i],
                                  QRect(44, labelBoxes_[i]->y(), 260, 20));
        // The buddy makes the marked letter its accelerator; the letter toggles the box.
        label->setBuddy(labelBoxes_[i]);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        labels_[i] = label;
    }

    okButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_OK"), QStringLiteral("OK"),
                                this, QPoint(kWidth - 20, kHeight - 52), QSize(90, 32));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    okButton_->setCursor(Qt::PointingHandCursor);
    closeButton_->setCursor(Qt::PointingHandCursor);

    connect(okButton_, &QAbstractButton::clicked, this, &SearchOptionsWindow::Confirm);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(edit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { okButton_->setVisible(!text.trimmed().isEmpty()); });

    DialogKeys keys;
    keys.context = &context_;
    keys.mainButton = okButton_;
    keys.main = [this] { Confirm(); };
    SetKeys(std::move(keys));
}

void SearchOptionsWindow::Prepare() {
    result_.reset();
    queryText_.clear();
    foreignQuery_.clear();
    polishQuery_.clear();
    const std::array<bool, 5>& options = context_.session.settings.searchOptions;
    wholeText_->setChecked(options[1]);
    foreign_->setChecked(options[2]);
    polish_->setChecked(options[3]);
    matchCase_->setChecked(!options[4]);
    if (!foreign_->isChecked() && !polish_->isChecked()) {
        foreign_->setChecked(true);
        polish_->setChecked(true);
    }
    const int language = context_.session.db.params.language;
    labels_[2]->setText(ForeignTextsLabel(language));
    labels_[4]->setText(CourseFontLabel(language));
    courseFont_->setChecked(true);
    courseFont_->setVisible(language > 2);
    labels_[4]->setVisible(language > 2);
    {
        const QSignalBlocker quiet(edit_);
        edit_->clear();
    }
    okButton_->setVisible(false);
    edit_->setFocus();
}

std::optional<std::string> SearchOptionsWindow::Ask() {
    Prepare();
    exec();
    return result_;
}

CodePage SearchOptionsWindow::SelectedCodePage() const {
    return courseFont_->isChecked() ? context_.session.db.params.foreignCodePage()
                                    : CodePage::Cp1250;
}

void SearchOptionsWindow::Confirm() {
    if (okButton_->isHidden()) {
        return;
    }
    const QString text = edit_->text().trimmed();
    if (text.isEmpty()) {
        reject();
        return;
    }
    CodePage page = SelectedCodePage();
    QString bad;
    std::string bytes = ToBytes(text, page, &bad);
    if (bytes.empty() && courseFont_->isHidden() && page != CodePage::Cp1250) {
        // Without the box to switch, a text for the Polish side is taken in its characters.
        page = CodePage::Cp1250;
        bytes = ToBytes(text, page);
    }
    if (bytes.empty()) {
        const QString change = courseFont_->isVisible()
                                   ? QStringLiteral(" Zmień go albo wybierz drugą czcionkę.")
                                   : QStringLiteral(" Proszę go zmienić.");
        MessageBox::Show(
            context_,
            QStringLiteral("Znaku „%1” nie można szukać w tej czcionce.%2").arg(bad, change), this);
        edit_->setFocus();
        return;
    }
    queryText_ = text;
    queryPage_ = page;
    foreignQuery_ = ToBytes(text, context_.session.db.params.foreignCodePage());
    polishQuery_ = ToBytes(text, CodePage::Cp1250);
    Settings& settings = context_.session.settings;
    StoreSearchFlags(SearchFlags{wholeText_->isChecked(), foreign_->isChecked(),
                                 polish_->isChecked(), !matchCase_->isChecked()},
                     settings);
    flags_ = SearchFlagsFromSettings(settings);
    result_ = std::move(bytes);
    accept();
}

bool SearchOptionsWindow::TypeNationalKey(const QKeyEvent* event) {
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

bool SearchOptionsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress &&
        TypeNationalKey(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        if (watched != labels_[i]) {
            continue;
        }
        // A click on a label, or its accelerator, toggles its box; the field keeps the focus.
        const bool click = event->type() == QEvent::MouseButtonRelease &&
                           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        if (click || event->type() == QEvent::Shortcut) {
            labelBoxes_[i]->toggle();
            return true;
        }
    }
    return KeyedDialog::eventFilter(watched, event);
}

void SearchOptionsWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Szukaj"));
}

void SearchOptionsWindow::showEvent(QShowEvent* event) {
    if (!backgroundLoaded_) {
        background_ = InterfacePicture(context_.programPaths, "szuk_tlo.bmp");
        backgroundLoaded_ = true;
    }
    MakeBorderlessCentred(this, width(), height());
    KeyedDialog::showEvent(event);
    edit_->setFocus();
    // The field shows with nothing selected and the cursor at the end.
    QTimer::singleShot(0, edit_, [this] {
        edit_->deselect();
        edit_->end(false);
    });
}

}  // namespace dyd::ui
