// The summary at the end of a session driven through its controls: moving units to the trash and
// back, the list copied to the clipboard, the list printed into a PDF file and read back, and the
// databases whose summary shows the foreign texts alone.

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <functional>

#include "core/clock.h"
#include "core/paths.h"
#include "find_control.h"
#include "message_watch.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/session/summary_window.h"
#include "ui/widgets/ui_text.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using namespace Qt::StringLiterals;

namespace {

using dyd::test::MessageWatch;

// Runs the steps once the window's modal loop runs; a window the steps left open (a failed
// check) is closed after them.
void WhenShown(QDialog* window, const std::function<void()>& steps) {
    QTimer::singleShot(0, window, [window, steps] {
        steps();
        if (window->isVisible()) {
            window->done(0);
        }
    });
}

Unit MakeUnit(std::int32_t id, std::string foreign, std::string native) {
    Unit unit;
    unit.unitId = id;
    unit.foreignText = std::move(foreign);
    unit.nativeText = std::move(native);
    return unit;
}

QStringList ItemTexts(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts.append(list->item(i)->text());
    }
    return texts;
}

void Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

class SummaryWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        context_ = std::make_unique<AppContext>(clock_);
        context_->programPaths.programDir = DYD_SAMPLE "/";
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(context_->programPaths.programDir);
        LearnerSession& s = context_->session;
        s.settings.showSummary = true;
        s.db.params.language = 1;
        s.db.units.Append(MakeUnit(101, "cat", "kot"));
        s.db.units.Append(MakeUnit(102, "bed", "\xB3\xF3\xBFko"));  // "łóżko"
        s.db.units.Append(MakeUnit(103, "dog", "pies"));
        s.db.units.Append(MakeUnit(104, "house", "dom"));
        for (int u = 1; u <= 4; ++u) {
            PlanRow row;
            row.unitNumber = u;
            row.cells[4].remaining = 1;
            s.plan.rows.push_back(row);
            RepetitionRecord& r = s.repetitions.record(u);
            r.unitId = 100 + u;
            r.repetitionNo = u;
            r.interval = 2 * u;
        }
        s.repetitions.recordHighWater = 4;
        // Answers in rows 1, 2 and 4; unit 4 went to the trash during the exercise.
        s.plan.row(1).cells[4].attempts = 1;
        s.plan.row(2).cells[4].attempts = 2;
        s.plan.row(4).cells[16].attempts = 1;
        s.repetitions.record(4).inTrash = 1;
        window_ = std::make_unique<SummaryWindow>(*context_);
    }

    void cleanup() {
        window_.reset();
        context_.reset();
    }

    void notShownWithoutAnswersOrWhenSwitchedOff() {
        LearnerSession& s = context_->session;
        s.settings.showSummary = false;
        QVERIFY(!window_->ShowSummary());
        s.settings.showSummary = true;
        for (PlanRow& row : s.plan.rows) {
            for (PlanEntry& cell : row.cells) {
                cell.attempts = 0;
            }
        }
        QVERIFY(!window_->ShowSummary());
        QVERIFY(!window_->isVisible());
    }

    void trashAndRestoreThroughTheButtons() {
        auto* list = Find<QListWidget>(window_.get(), "ListBox1");
        auto* detail = Find<QLabel>(window_.get(), "Label2");
        auto* trash = Find<QAbstractButton>(window_.get(), "K_Do_Kosza");
        auto* restore = Find<QAbstractButton>(window_.get(), "K_Przywroc");
        RepetitionStore& store = context_->session.repetitions;
        bool checked = false;
        WhenShown(window_.get(), [&] {
            QCOMPARE(ItemTexts(list),
                     QStringList({u"cat - kot "_s, u"bed - łóżko "_s, u"house - dom (kosz) "_s}));
            QVERIFY(detail->text().isEmpty());
            QVERIFY(!trash->isVisible() && !restore->isVisible());

            list->setCurrentRow(1);
            QCOMPARE(detail->text(), u"Powtórka nr: 2, interwał: 4"_s);
            QVERIFY(trash->isVisible() && !restore->isVisible());
            Click(trash);
            QCOMPARE(store.record(2).inTrash, std::uint8_t{1});
            QCOMPARE(list->item(1)->text(), u"bed - łóżko (kosz) "_s);
            QVERIFY(detail->text().isEmpty());  // filled again: no selection
            QVERIFY(!trash->isVisible() && !restore->isVisible());

            list->setCurrentRow(2);
            QVERIFY(!trash->isVisible() && restore->isVisible());
            Click(restore);
            QCOMPARE(store.record(4).inTrash, std::uint8_t{0});
            QCOMPARE(list->item(2)->text(), u"house - dom "_s);
            // Nothing else of the records changed.
            QCOMPARE(store.record(4).interval, 8);
            QCOMPARE(store.record(2).repetitionNo, 2);
            checked = true;
            QTest::keyClick(list, Qt::Key_Escape);
        });
        QVERIFY(window_->ShowSummary());
        QVERIFY(checked);
        QVERIFY(!window_->isVisible());
    }

    void copiesTheListToTheClipboard() {
        MessageWatch messages;
        QGuiApplication::clipboard()->setText(u"earlier"_s);
        WhenShown(window_.get(), [&] {
            Click(Find<QAbstractButton>(window_.get(), "K_do_schowka"));
            window_->accept();
        });
        QVERIFY(window_->ShowSummary());
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 u"Dydaktor 5.0 - Słownictwo\r\ncat = kot\r\nbed = łóżko\r\nhouse = dom\r\n"_s);
        QCOMPARE(messages.texts(), QStringList({u"Skopiowano do schowka."_s}));
    }

    void printsTheListIntoAPdfFile() {
        dyd::test::TempDir dir;
        const QString pdf = QString::fromStdString(dir.path() + "summary.pdf");
        window_->SetPrintToFile(pdf);
        MessageWatch messages;
        WhenShown(window_.get(), [&] {
            Click(Find<QAbstractButton>(window_.get(), "K_wydruk"));
            window_->accept();
        });
        QVERIFY(window_->ShowSummary());
        QCOMPARE(messages.texts(), QStringList({u"Słówka/zdania przesłano do drukarki."_s}));

        QProcess pdftotext;
        pdftotext.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
        QVERIFY(pdftotext.waitForFinished(30000));
        QCOMPARE(pdftotext.exitCode(), 0);
        QStringList lines;
        for (const QString& line : QString::fromUtf8(pdftotext.readAllStandardOutput())
                                       .split(u'\n', Qt::SkipEmptyParts)) {
            if (!line.trimmed().isEmpty()) {
                lines.append(line.trimmed());
            }
        }
        QCOMPARE(lines, QStringList({u"Dydaktor 5.0 - Słownictwo"_s, u"cat = kot"_s,
                                     u"bed = łóżko"_s, u"house = dom"_s}));
    }

    void withoutAPrinterSaysSoInsteadOfSuccess() {
        if (!QPrinterInfo::defaultPrinter().isNull()) {
            QSKIP("this machine has a default printer");
        }
        MessageWatch messages;
        WhenShown(window_.get(), [&] {
            Click(Find<QAbstractButton>(window_.get(), "K_wydruk"));
            window_->accept();
        });
        QVERIFY(window_->ShowSummary());
        QCOMPARE(messages.texts(), QStringList({QString::fromUtf8(kNoPrinterText)}));
    }

    void otherLanguagesListForeignTextsOnlyWithoutClipboardAndPrinter() {
        struct Case {
            int language;
            std::int32_t charsetIndex;
            const char* foreign;
            QString shown;
        };
        const Case cases[] = {
            {3, 0, "ch\xE2teau", u"château"_s},  // French, Central European bytes
            {6, 2, "\xEA\xEE\xF2", u"кот"_s},    // Russian, Cyrillic bytes
        };
        for (const Case& c : cases) {
            LearnerSession& s = context_->session;
            s.db.params.language = c.language;
            s.db.params.charsetIndex = c.charsetIndex;
            s.db.units.unit(1).foreignText = c.foreign;
            auto* list = Find<QListWidget>(window_.get(), "ListBox1");
            WhenShown(window_.get(), [&] {
                QCOMPARE(ItemTexts(list), QStringList({c.shown, u"bed"_s, u"house"_s}));
                QVERIFY(!Find<QAbstractButton>(window_.get(), "K_do_schowka")->isVisible());
                QVERIFY(!Find<QAbstractButton>(window_.get(), "K_wydruk")->isVisible());
                QVERIFY(Find<QAbstractButton>(window_.get(), "B_Zamknij")->isVisible());
                // Trash and restore still work; the item shows no tag.
                list->setCurrentRow(2);
                Click(Find<QAbstractButton>(window_.get(), "K_Przywroc"));
                QCOMPARE(context_->session.repetitions.record(4).inTrash, std::uint8_t{0});
                QCOMPARE(list->item(2)->text(), u"house"_s);
                Click(Find<QAbstractButton>(window_.get(), "B_Zamknij"));
            });
            QVERIFY(window_->ShowSummary());
            QVERIFY(!window_->isVisible());
            context_->session.repetitions.record(4).inTrash = 1;
        }
    }

  private:
    FixedClock clock_{46000.0};
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<SummaryWindow> window_;
};

QTEST_MAIN(SummaryWindowTest)
#include "summary_window_test.moc"
