// Pictures of the browser on the English sample course, written as PNG files to the folder named
// by the first argument (default: the current folder): all units, the filter, a search, a
// composed list with a unit's description. Each screen is also checked: the visible controls lie
// inside their window, do not overlap one another and their texts are not cut off.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "find_control.h"
#include "sample_installation.h"
#include "screen_check.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/content/browser_window.h"
#include "ui/content/search_options_window.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

QString g_outputDir = QStringLiteral(".");
constexpr double kToday = 46000.0;

}  // namespace

class BrowserGalleryTest : public QObject {
    Q_OBJECT

  private:
    TempDir dir_;
    FixedClock clock_{kToday + 0.4};
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<SearchOptionsWindow> search_;
    QStringList problems_;

    LearnerSession& session() { return context_->session; }

    void Take(QWidget* window, const QString& name) {
        QApplication::processEvents();
        const QString file = QStringLiteral("%1/%2.png").arg(g_outputDir, name);
        if (!window->grab().save(file)) {
            problems_ << name + QStringLiteral(": not saved");
        }
        // The grid's icons are drawn inside its cells.
        const dyd::test::ScreenRules rules{{QStringLiteral("ico_")}, {}, {}, {}};
        for (const QString& problem : dyd::test::ScreenProblems(window, rules)) {
            problems_ << name + QStringLiteral(": ") + problem;
        }
    }

    void ClickRow(QTableView* grid, int row, Qt::KeyboardModifiers modifiers = {}) {
        const QModelIndex index = grid->model()->index(row, 1);
        grid->scrollTo(index);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers,
                          grid->visualRect(index).center());
    }

  private slots:
    void initTestCase() {
        LinkInstallation(DYD_SAMPLE, dir_.path());
        context_ = std::make_unique<AppContext>(clock_);
        context_->programPaths.programDir = dir_.path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_.path());
        context_->openHelp = [](const QString&) {};
        QCOMPARE(Login(context_->programPaths, "angielski", 1, "Ewa", clock_, session()).status,
                 LoginStatus::Opened);
        // Part of the course learnt, a few units in the trash.
        const UnitTable& units = session().db.units;
        for (int u = 1; u <= units.unitCount(); u += 2) {
            RepetitionRecord& r = session().repetitions.record(u);
            r.unitId = units.unit(u).unitId;
            r.firstDate = kToday - 40 - u;
            r.lastDate = kToday - 4;
            r.repetitionNo = 1 + u % 13;
            r.interval = 2 + u % 17;
            r.inTrash = u % 10 == 1 ? 1 : 0;
        }
        search_ = std::make_unique<SearchOptionsWindow>(*context_);
    }

    void theBrowser() {
        BrowserWindow window(*context_);
        BrowserDialogs dialogs;
        dialogs.askSearch = [this]() -> std::optional<BrowserQuery> {
            if (!search_->Ask()) {
                return std::nullopt;
            }
            return BrowserQuery{search_->queryText().toStdString(), search_->foreignQuery(),
                                search_->polishQuery(), search_->flags()};
        };
        window.SetDialogs(std::move(dialogs));
        window.Prepare();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* grid = Find<QTableView>(&window, "Grid1");
        Take(&window, QStringLiteral("browser_all"));

        QTest::mouseClick(Find<QAbstractButton>(&window, "K_filtr"), Qt::LeftButton);
        Find<QComboBox>(&window, "CB_Gr_Tem")->setCurrentIndex(1);
        Find<QComboBox>(&window, "CB_Uczone")->setCurrentIndex(1);
        QTest::mouseClick(Find<QAbstractButton>(&window, "K_Pokaz_slowka"), Qt::LeftButton);
        QVERIFY(!window.listed().empty());
        Take(&window, QStringLiteral("browser_filter"));

        dyd::test::WhenModal([](QDialog* dialog) {
            Find<QCheckBox>(dialog, "CH_Jak_cale")->setChecked(false);
            Find<QCheckBox>(dialog, "CH_Jak_pol")->setChecked(true);
            QTest::keyClicks(Find<QLineEdit>(dialog, "Edit1"), QStringLiteral("the"));
            QTest::mouseClick(Find<QAbstractButton>(dialog, "B_OK"), Qt::LeftButton);
        });
        QTest::mouseClick(Find<QAbstractButton>(&window, "k_szukaj"), Qt::LeftButton);
        QVERIFY(!window.listed().empty());
        Take(&window, QStringLiteral("browser_search"));

        // Twelve units composed, a word's description shown.
        QTest::mouseClick(Find<QAbstractButton>(&window, "K_wszystkie"), Qt::LeftButton);
        ClickRow(grid, 0);
        ClickRow(grid, 11, Qt::ShiftModifier);
        QTest::mouseClick(Find<QAbstractButton>(&window, "K_przenies"), Qt::LeftButton);
        QCOMPARE(window.composed().size(), std::size_t{12});
        ClickRow(grid, 2);
        Take(&window, QStringLiteral("browser_composed"));
        window.hide();
    }

    void cleanupTestCase() {
        if (!problems_.isEmpty()) {
            QFAIL(qPrintable(problems_.join(QLatin1Char('\n'))));
        }
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<char*> args(argv, argv + argc);
    if (argc > 1 && argv[1][0] != '-') {
        g_outputDir = QString::fromLocal8Bit(argv[1]);
        args.erase(args.begin() + 1);
    } else {
        g_outputDir = QDir::currentPath();
    }
    QDir().mkpath(g_outputDir);
    BrowserGalleryTest test;
    return QTest::qExec(&test, static_cast<int>(args.size()), args.data());
}

#include "browser_gallery_test.moc"
