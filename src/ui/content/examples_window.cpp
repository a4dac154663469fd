#include "ui/content/examples_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "content/sentence_search.h"
#include "core/recording_path.h"
#include "sound/sound_player.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/focus_return.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/markup_view.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 540;
constexpr int kHeight = 260;
constexpr int kImageScrollUp = 13;
constexpr int kImageScrollDown = 14;
const QRect kBoxArea(20, 52, 496, 160);

bool IsSoundToken(std::string_view token) {
    return token.size() >= 3 && token[0] == '#' && (token[1] == 'S' || token[1] == 's') &&
           token[2] == '=';
}

QPushButton* MakeTextButton(QWidget* parent, const QString& name, const QString& text,
                            const QRect& area) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(area);
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

CodePage DatabasePage(const AppContext& context) {
    return context.session.db.params.foreignCodePage();
}

}  // namespace

ExamplesWindow::ExamplesWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TInformacjaForm"));
    ReturnFocusOnClose(this);
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);
    background_ = InterfacePicture(context.programPaths, "przyklady.bmp");

    box_ = new MarkupView(MarkupStyle::Example, this);
    box_->setObjectName(QStringLiteral("Pb1"));
    box_->setGeometry(kBoxArea);
    box_->setFocusPolicy(Qt::NoFocus);

    textHolder_ = new QLabel(this);
    textHolder_->setObjectName(QStringLiteral("Label1"));
    textHolder_->hide();

    translation_ = MakeLabel(this, QStringLiteral("Label2"), QString(), QRect(20, 214, 496, 18));
    translation_->setTextFormat(Qt::PlainText);

    searchButton_ = MakeTextButton(this, QStringLiteral("K_szukaj"), QStringLiteral("Szukaj"),
                                   QRect(20, 233, 84, 24));
    searchButton_->setToolTip(QStringLiteral("Szukaj zdań w bazie"));
    searchField_ = new QLineEdit(this);
    searchField_->setObjectName(QStringLiteral("E_Szukaj"));
    searchField_->setAccessibleName(QStringLiteral("Szukaj w zdaniach"));
    searchField_->setGeometry(20, 233, 300, 24);
    searchField_->setFont(QFont(QStringLiteral("Arial"), 10));
    showButton_ = MakeTextButton(this, QStringLiteral("K_Pokaz"), QStringLiteral("Pokaż"),
                                 QRect(326, 233, 70, 24));

    upButton_ =
        MakeImageButton(context, kImageScrollUp, QStringLiteral("btn_up"), QStringLiteral("▲"),
                        this, QPoint(kWidth - 2, kBoxArea.top()), QSize(22, 22));
    downButton_ =
        MakeImageButton(context, kImageScrollDown, QStringLiteral("btn_dn"), QStringLiteral("▼"),
                        this, QPoint(kWidth - 2, kBoxArea.bottom() - 22), QSize(22, 22));
    box_->AttachScrollButtons(upButton_, downButton_);
    okButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_OK"), QStringLiteral("X"),
                                this, QPoint(kWidth, 0), QSize(24, 24));
    okButton_->setToolTip(QStringLiteral("Wyjście"));

    // The icons the box draws, kept as in the window's set of pictures.
    for (const char* name : {"img_1", "img_2"}) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QString::fromLatin1(name));
        picture->hide();
    }

    connect(okButton_, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(searchButton_, &QAbstractButton::clicked, this, &ExamplesWindow::OpenSearchField);
    connect(showButton_, &QAbstractButton::clicked, this, &ExamplesWindow::Search);
    connect(searchField_, &QLineEdit::returnPressed, this, &ExamplesWindow::Search);
    connect(box_, &MarkupView::iconClicked, this, &ExamplesWindow::IconClicked);
    // Scrolling starts the walk over the sound icons again from the first visible one.
    connect(upButton_, &QAbstractButton::clicked, this, &ExamplesWindow::ResetPlayCursor);
    connect(downButton_, &QAbstractButton::clicked, this, &ExamplesWindow::ResetPlayCursor);
}

void ExamplesWindow::ShowExamples(const std::string& text, const std::string& searchText) {
    Prepare(text, searchText);
    exec();
}

void ExamplesWindow::Prepare(const std::string& text, const std::string& searchText) {
    box_->SetCodePage(DatabasePage(context_));
    searchField_->setText(Foreign(searchText, DatabasePage(context_)));
    searchField_->hide();
    showButton_->hide();
    searchButton_->show();
    SetText(text);
}

void ExamplesWindow::SetText(const std::string& text) {
    text_ = text;
    textHolder_->setText(Foreign(text, DatabasePage(context_)));
    ResetPlayCursor();
    translation_->clear();
    translation_->setToolTip(QString());
    box_->SetText(text_);
}

void ExamplesWindow::OpenSearchField() {
    showButton_->show();
    searchField_->show();
    searchButton_->hide();
    searchField_->setFocus();
}

void ExamplesWindow::Search() {
    const CodePage page = DatabasePage(context_);
    const QByteArray typed = searchField_->text().toUtf8();
    std::string bad;
    const std::optional<std::string> bytes = FromUtf8(
        std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())), page, &bad);
    if (!bytes) {
        MessageBox::Show(
            context_, QStringLiteral("Znak „%1” nie występuje w tekstach tej bazy.").arg(Utf8(bad)),
            this);
        searchField_->setFocus();
        return;
    }
    const std::optional<std::string> found = SearchSentences(context_.session.db.units, *bytes);
    if (!found) {
        return;
    }
    SetText(*found);
}

void ExamplesWindow::IconClicked(const QString& token) {
    const QByteArray latin = token.toLatin1();
    const std::string_view marker(latin.constData(), static_cast<std::size_t>(latin.size()));
    const UnitTable& units = context_.session.db.units;
    const std::optional<int> unit = IconUnit(marker, units);
    if (!unit) {
        return;
    }
    if (IsSoundToken(marker)) {
        Play(*unit);
    } else {
        // A translation longer than the line shows whole under the mouse.
        const QString line = Polish(TranslationLine(units.unit(*unit)));
        translation_->setText(line);
        translation_->setToolTip(line);
    }
}

std::vector<int> ExamplesWindow::SoundUnitsInside() const {
    std::vector<int> units;
    for (const MarkupHotspot& hotspot : box_->hotspots()) {
        if (!IsSoundToken(hotspot.token) || hotspot.y < 0 || hotspot.y >= box_->height() - 2) {
            continue;
        }
        if (const std::optional<int> unit = IconUnit(hotspot.token, context_.session.db.units)) {
            units.push_back(*unit);
        }
    }
    return units;
}

void ExamplesWindow::PlayNextSound() {
    if (box_->firstVisibleSound() < 0) {
        return;
    }
    const std::vector<int> units = SoundUnitsInside();
    if (units.empty()) {
        return;
    }
    const int count = static_cast<int>(units.size());
    if (playCursor_ < 1 || playCursor_ > count) {
        playCursor_ = 1;
    }
    const int unit = units[static_cast<std::size_t>(playCursor_ - 1)];
    playCursor_ = playCursor_ % count + 1;
    Play(unit);
}

void ExamplesWindow::Play(int unit) {
    const std::string path = RecordingPath(context_.paths(), context_.session.db.units.unit(unit));
    if (playedHook_) {
        playedHook_(unit, path);
    }
    if (context_.sound == nullptr || path.empty()) {
        return;
    }
    const std::string error = context_.sound->PlaySound(path, false);
    if (!error.empty()) {
        MessageBox::Show(context_, Utf8(error), this);
    }
}

void ExamplesWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            accept();
            return;
        case Qt::Key_Up:
            if (upButton_->isVisible()) {
                box_->ScrollUp();
                ResetPlayCursor();
            }
            return;
        case Qt::Key_Down:
            if (downButton_->isVisible()) {
                box_->ScrollDown();
                ResetPlayCursor();
            }
            return;
        case Qt::Key_Right:
        case Qt::Key_G:
            // The search field keeps its own letters and cursor keys.
            if (!searchField_->hasFocus()) {
                PlayNextSound();
            }
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Enter reaches the window only after the search field has run its search.
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void ExamplesWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Przykładowe zdania"));
}

void ExamplesWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
}

}  // namespace dyd::ui
