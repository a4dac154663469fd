#include "ui/shell/help_viewer.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

#include "core/files.h"
#include "core/paths.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/focus_return.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"

namespace dyd::ui {
namespace {

// The size of the main menu and the exercise window, which it covers wholly: their close
// buttons do not show beside its own.
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kImageBack = 9;
constexpr int kImagePrint = 10;
constexpr int kImageClose = 18;
constexpr int kImageContents = 22;

// A local file named by an absolute path, its last component matched letter case aside.
QString ExistingFile(const QString& path) {
    const QFileInfo info(path);
    const std::string found = ResolvePath(info.path().toStdString(), info.fileName().toStdString());
    return FileExists(found) ? QString::fromStdString(found) : QString();
}

bool IsExternal(const QUrl& url) {
    return !url.scheme().isEmpty() && !url.isLocalFile() &&
           url.scheme().compare(QStringLiteral("qrc"), Qt::CaseInsensitive) != 0;
}

ImageButton* MakeButton(AppContext& context, int image, const QString& name, const QString& text,
                        QWidget* parent, QPoint at, QSize fallback) {
    auto* button = new ImageButton(context.images, image, parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(text);
    if (context.images.FrameSize(image).isEmpty()) {
        button->resize(fallback);
    }
    button->move(at);
    return button;
}

}  // namespace

// ---- Page view ---------------------------------------------------------------------------

HelpPageBrowser::HelpPageBrowser(QWidget* parent) : QTextBrowser(parent) {}

QVariant HelpPageBrowser::loadResource(int type, const QUrl& name) {
    QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (url.isLocalFile()) {
        const QString file = ExistingFile(url.toLocalFile());
        if (file.isEmpty()) {
            return {};
        }
        url = QUrl::fromLocalFile(file);
    }
    return QTextBrowser::loadResource(type, url);
}

// ---- Viewer ------------------------------------------------------------------------------

HelpViewer::HelpViewer(AppContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      openExternal_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("TForm28"));
    ReturnFocusOnClose(this);
    setWindowTitle(QStringLiteral("Pomoc"));
    MakeBorderlessCentred(this, kWidth, kHeight);

    contentsButton_ =
        MakeButton(context, kImageContents, QStringLiteral("K_Spis"), QStringLiteral("Spis treści"),
                   this, QPoint(12, 30), QSize(110, 30));
    backButton_ =
        MakeButton(context, kImageBack, QStringLiteral("K_Wstecz"), QStringLiteral("Wstecz"), this,
                   QPoint(contentsButton_->geometry().right() + 10, 30), QSize(100, 30));
    printButton_ =
        MakeButton(context, kImagePrint, QStringLiteral("K_Drukuj"), QStringLiteral("Drukuj"), this,
                   QPoint(backButton_->geometry().right() + 10, 30), QSize(100, 30));
    closeButton_ = MakeButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                              QStringLiteral("X"), this, QPoint(0, 0), QSize(24, 24));
    closeButton_->move(kWidth - closeButton_->width(), 0);

    browser_ = new HelpPageBrowser(this);
    browser_->setAccessibleName(QStringLiteral("Strona pomocy"));
    browser_->setObjectName(QStringLiteral("HelpPage"));
    browser_->setOpenLinks(false);
    const int top = printButton_->geometry().bottom() + 8;
    browser_->setGeometry(12, top, kWidth - 24, kHeight - top - 12);
    browser_->setFrameShape(QFrame::StyledPanel);
    backButton_->setEnabled(false);

    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpViewer::FollowLink);
    connect(browser_, &QTextBrowser::backwardAvailable, backButton_, &QWidget::setEnabled);
    connect(backButton_, &QAbstractButton::clicked, this, &HelpViewer::Back);
    connect(printButton_, &QAbstractButton::clicked, this, &HelpViewer::Print);
    connect(contentsButton_, &QAbstractButton::clicked, this,
            [this] { Open(QString::fromLatin1(kHelpStartPage)); });
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
}

QString HelpViewer::HelpFolder() const {
    return QString::fromStdString(ResolvePath(context_.programPaths.programDir, "htm_s/"));
}

QString HelpViewer::PageFile(const QString& page) const {
    if (page.isEmpty() || page.contains(QLatin1Char('/')) || page.contains(QLatin1Char('\\'))) {
        return {};
    }
    return ExistingFile(HelpFolder() + page);
}

QString HelpViewer::Open(const QString& page) {
    const qsizetype hash = page.indexOf(QLatin1Char('#'));
    const QString name = hash < 0 ? page : page.left(hash);
    const QString anchor = hash < 0 ? QString() : page.mid(hash + 1);
    QString file = PageFile(name);
    QUrl url;
    if (file.isEmpty()) {
        file = PageFile(QString::fromLatin1(kHelpStartPage));
        if (file.isEmpty()) {
            // No help folder at all: say so inside the viewer rather than showing an empty box.
            browser_->setHtml(QStringLiteral(
                "<h2>Pomoc</h2><p>Nie znaleziono stron pomocy w folderze htm_s programu.</p>"));
            return {};
        }
        url = QUrl::fromLocalFile(file);
    } else {
        url = QUrl::fromLocalFile(file);
        if (!anchor.isEmpty()) {
            url.setFragment(anchor);
        }
    }
    browser_->setSource(url, QTextDocument::HtmlResource);
    return url.fileName();
}

void HelpViewer::ShowPage(const QString& page) {
    Open(page);
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    exec();
}

QString HelpViewer::currentPage() const {
    return browser_->source().fileName();
}

void HelpViewer::Back() {
    browser_->backward();
}

void HelpViewer::Print() {
    if (QPrinterInfo::defaultPrinter().isNull()) {
        MessageBox::Show(context_,
                         QStringLiteral("Nie znaleziono drukarki. Zainstaluj drukarkę w systemie, "
                                        "aby wydrukować stronę pomocy."),
                         this);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!PrintTo(printer)) {
        MessageBox::Show(context_, QStringLiteral("Nie udało się wydrukować strony pomocy."), this);
    }
}

bool HelpViewer::PrintTo(QPrinter& printer) const {
    if (!printer.isValid()) {
        return false;
    }
    printer.setDocName(browser_->documentTitle());
    browser_->document()->print(&printer);
    return printer.printerState() != QPrinter::Error;
}

void HelpViewer::SetExternalOpener(std::function<bool(const QUrl&)> opener) {
    openExternal_ = std::move(opener);
}

void HelpViewer::FollowLink(const QUrl& link) {
    if (IsExternal(link)) {
        if (openExternal_) {
            openExternal_(link);
        }
        return;
    }
    const QUrl url = link.isRelative() ? browser_->source().resolved(link) : link;
    if (!url.isLocalFile()) {
        return;
    }
    const QString file = ExistingFile(url.toLocalFile());
    if (file.isEmpty()) {
        return;  // a page that is not there: stay on the page shown
    }
    QUrl target = QUrl::fromLocalFile(file);
    target.setFragment(url.fragment());
    browser_->setSource(target, QTextDocument::HtmlResource);
}

void HelpViewer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
    } else if (event->key() == Qt::Key_Backspace ||
               (event->key() == Qt::Key_Left && event->modifiers() & Qt::AltModifier)) {
        Back();
    } else {
        QDialog::keyPressEvent(event);
    }
}

void HelpViewer::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, QPixmap(), QStringLiteral("Pomoc programu Dydaktor"));
}

void HelpViewer::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, kWidth, kHeight);
    QDialog::showEvent(event);
    browser_->setFocus();
}

}  // namespace dyd::ui
