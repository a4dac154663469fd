// The help viewer on the sample help pages and on a small help folder of its own: opening pages,
// following a link by clicking it, going back, printing to a PDF whose text is read back, web and
// mail links handed out, Esc.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QPrinter>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <string>
#include <vector>

#include "core/clock.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/shell/help_viewer.h"

using namespace dyd;
using namespace dyd::ui;

namespace {

QTextBrowser* PageView(HelpViewer& viewer) {
    auto* browser = viewer.findChild<QTextBrowser*>(QStringLiteral("HelpPage"));
    if (browser == nullptr) {
        qFatal("no page view");
    }
    return browser;
}

QString PageText(HelpViewer& viewer) {
    return PageView(viewer)->toPlainText();
}

// Clicks the first link of the page shown whose target is href, where the learner sees it.
bool ClickLink(HelpViewer& viewer, const QString& href) {
    QTextBrowser* browser = PageView(viewer);
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href) {
                continue;
            }
            QTextCursor cursor(browser->document());
            cursor.setPosition(fragment.position() + 1);
            browser->setTextCursor(cursor);
            browser->ensureCursorVisible();
            const QRect at = browser->cursorRect(cursor);
            QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at.center());
            return true;
        }
    }
    return false;
}

void Click(HelpViewer& viewer, const char* name) {
    auto* button = viewer.findChild<QAbstractButton*>(QString::fromLatin1(name));
    QVERIFY(button != nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

void SaveShot(QWidget& widget, const char* name) {
    const QByteArray dir = qgetenv("DYD_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        widget.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QLatin1String(name)));
    }
}

}  // namespace

class HelpViewerTest : public QObject {
    Q_OBJECT

  private:
    FixedClock clock_{45000.0};
    AppContext sample_{clock_};

  private slots:
    void initTestCase() {
        sample_.programPaths.programDir = DYD_SAMPLE "/";
        sample_.programPaths.languageDir = "Lang_s/0/";
        sample_.images.Load(sample_.programPaths.programDir);
    }

    void opensTheNamedPageOrTheStartPage() {
        HelpViewer viewer(sample_);
        QCOMPARE(viewer.objectName(), QStringLiteral("TForm28"));
        struct Case {
            const char* asked;
            const char* shown;
            const char* text;
        };
        const std::vector<Case> cases = {
            {"index.html", "index.html", "Pierwsze kroki"},
            {"logowanie.html", "logowanie.html", "Nowy uczeń"},
            {"LOGOWANIE.HTML", "logowanie.html", "Nowy uczeń"},
            {"ustawienia.html#inne", "ustawienia.html", "Ustawienia"},
            {"nie_ma_takiej.html", "index.html", "Pierwsze kroki"},
            {"../ds50.ini", "index.html", "Pierwsze kroki"},
            {"", "index.html", "Pierwsze kroki"},
        };
        for (const Case& c : cases) {
            viewer.Open(QString::fromUtf8(c.asked));
            QCOMPARE(viewer.currentPage(), QString::fromUtf8(c.shown));
            QVERIFY2(PageText(viewer).contains(QString::fromUtf8(c.text)), c.asked);
        }
    }

    void followsALinkAndGoesBack() {
        HelpViewer viewer(sample_);
        viewer.Open(QStringLiteral("index.html"));
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        auto* back = viewer.findChild<QAbstractButton*>(QStringLiteral("K_Wstecz"));
        QVERIFY(!back->isEnabled());

        QVERIFY(ClickLink(viewer, QStringLiteral("jak.html")));
        QCOMPARE(viewer.currentPage(), QStringLiteral("jak.html"));
        QVERIFY(back->isEnabled());
        SaveShot(viewer, "help_viewer.png");

        Click(viewer, "K_Wstecz");
        QCOMPARE(viewer.currentPage(), QStringLiteral("index.html"));
        QVERIFY(!back->isEnabled());

        // The contents button returns to the start page from anywhere.
        viewer.Open(QStringLiteral("wyniki.html"));
        Click(viewer, "K_Spis");
        QCOMPARE(viewer.currentPage(), QStringLiteral("index.html"));
    }

    void linksFindPagesLetterCaseAsideAndWebLinksGoOut() {
        test::TempDir install;
        test::WriteBytes(install.path() + "HTM_S/Index.HTML",
                         "<html><head><meta charset=\"utf-8\"></head><body><h1>Początek</h1>"
                         "<p><a href=\"Druga.html\">druga</a> "
                         "<a href=\"https://example.org/kurs\">strona</a> "
                         "<a href=\"mailto:pomoc@example.org\">poczta</a> "
                         "<a href=\"brak.html\">brak</a></p></body></html>");
        test::WriteBytes(install.path() + "HTM_S/druga.html",
                         "<html><body><p>Druga strona</p></body></html>");
        AppContext context(clock_);
        context.programPaths.programDir = install.path();
        HelpViewer viewer(context);
        std::vector<QUrl> opened;
        viewer.SetExternalOpener([&opened](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
        viewer.Open(QStringLiteral("index.html"));
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QVERIFY(PageText(viewer).contains(QStringLiteral("Początek")));

        QVERIFY(ClickLink(viewer, QStringLiteral("https://example.org/kurs")));
        QVERIFY(ClickLink(viewer, QStringLiteral("mailto:pomoc@example.org")));
        QCOMPARE(opened.size(), std::size_t{2});
        QCOMPARE(opened[0], QUrl(QStringLiteral("https://example.org/kurs")));
        QCOMPARE(opened[1].scheme(), QStringLiteral("mailto"));
        QCOMPARE(viewer.currentPage(), QStringLiteral("Index.HTML"));

        // A link to a page that is not there leaves the page shown.
        QVERIFY(ClickLink(viewer, QStringLiteral("brak.html")));
        QCOMPARE(viewer.currentPage(), QStringLiteral("Index.HTML"));

        QVERIFY(ClickLink(viewer, QStringLiteral("Druga.html")));
        QCOMPARE(viewer.currentPage(), QStringLiteral("druga.html"));
        QVERIFY(PageText(viewer).contains(QStringLiteral("Druga strona")));
        QCOMPARE(opened.size(), std::size_t{2});
    }

    void printsThePageShownToAPdf() {
        HelpViewer viewer(sample_);
        viewer.Open(QStringLiteral("logowanie.html"));
        test::TempDir out;
        const QString pdf = QString::fromStdString(out.path() + "strona.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(viewer.PrintTo(printer));

        const test::ProgramRun run =
            test::RunProgram({"/usr/bin/pdftotext", pdf.toStdString(), "-"});
        QCOMPARE(run.status, 0);
        const QString text = QString::fromUtf8(run.out.data(), static_cast<int>(run.out.size()));
        QVERIFY2(text.contains(QStringLiteral("Nowy uczeń")), run.out.c_str());
        QVERIFY(!text.contains(QStringLiteral("Pierwsze kroki")));
    }

    void escapeClosesTheModalViewer() {
        HelpViewer viewer(sample_);
        bool wasModal = false;
        QString shown;
        QTimer::singleShot(0, [&] {
            wasModal = QApplication::activeModalWidget() == &viewer;
            shown = viewer.currentPage();
            QTest::keyClick(PageView(viewer), Qt::Key_Escape);
        });
        viewer.ShowPage(QStringLiteral("seria.html"));
        QVERIFY(wasModal);
        QCOMPARE(shown, QStringLiteral("seria.html"));
        QVERIFY(!viewer.isVisible());
    }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
