// The learning window driven through its controls on a copy of the sample installation: the draw
// of new units from choosing to drawn and back, groups, the filter mode and its way out, the
// start of the plan window and the status after it, the repetition panel under a fixed date, and
// what closing the window writes.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "core/clock.h"
#include "core/datetime.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "find_control.h"
#include "session/plan_builder.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/session/learning_window.h"
#include "ui/session/plan_window.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Click;
using dyd::test::Find;
using dyd::test::ReadBytes;
using dyd::test::Shown;
using dyd::test::TempDir;
using dyd::test::WhenModal;

namespace {

constexpr double kToday = 45000.0;

// The sample installation without its program; the recordings are linked, not copied.
void CopyInstallation(const std::filesystem::path& from, const std::filesystem::path& to) {
    namespace fs = std::filesystem;
    fs::create_directories(to);
    for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
        const std::string name = entry.path().filename().string();
        const fs::path target = to / name;
        if (name == "nagrania") {
            fs::create_directory_symlink(entry.path(), target);
        } else if (entry.is_directory()) {
            CopyInstallation(entry.path(), target);
        } else if (name != "dydaktor") {
            fs::copy_file(entry.path(), target);
        }
    }
}

QString Text(QWidget* window, const char* name) {
    return Find<QLabel>(window, name)->text();
}

void Choose(QWidget* window, const char* name, const QString& text) {
    auto* box = Find<QComboBox>(window, name);
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
}

}  // namespace

class LearningWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<FixedClock> clock_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<PlanWindow> plan_;
    std::unique_ptr<LearningWindow> window_;
    SeededRandom random_{17};
    int overviews_ = 0;

    LearnerSession& session() { return context_->session; }

    // The units of the CurrentSet.
    std::vector<int> Drawn() {
        std::vector<int> units;
        const CurrentSet& set = session().currentSet;
        for (int i = 0; i < set.count; ++i) {
            units.push_back(set.unitNumbers[static_cast<std::size_t>(i)]);
        }
        return units;
    }

    // Makes units 1..count learnt and due today, and one more learnt but not due.
    void MakeDue(int count) {
        RepetitionStore& store = session().repetitions;
        for (int u = 1; u <= count + 1; ++u) {
            RepetitionRecord& r = store.record(u);
            r.unitId = session().db.units.unit(u).unitId;
            r.repetitionNo = 2;
            r.factor = 1.5;
            r.lastDate = u <= count ? kToday - 10 : kToday;
            r.interval = 4;
        }
        store.recordHighWater = session().db.units.unitCount();
    }

    void Show() {
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

  private slots:
    void init() {
        dir_ = std::make_unique<TempDir>();
        CopyInstallation(DYD_SAMPLE, dir_->path());
        clock_ = std::make_unique<FixedClock>(kToday + 0.4);
        context_ = std::make_unique<AppContext>(*clock_);
        context_->programPaths.programDir = dir_->path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_->path());
        QCOMPARE(Login(context_->programPaths, "angielski", 1, "Ewa", *clock_, session()).status,
                 LoginStatus::Opened);
        plan_ = std::make_unique<PlanWindow>(*context_);
        overviews_ = 0;
        window_ =
            std::make_unique<LearningWindow>(*context_, plan_.get(), [this] { ++overviews_; });
        window_->SetRandom(&random_);
    }

    void cleanup() {
        window_.reset();
        plan_.reset();
        context_.reset();
        dir_.reset();
    }

    void drawMovesToDrawnAndRedrawReturns() {
        Show();
        QCOMPARE(window_->objectName(), QStringLiteral("TForm11"));
        // A new learner: no repetitions, every unit new.
        QVERIFY(!Shown(window_.get(), "Panel_P"));
        // The group chosen last (a new learner's settings say the first group).
        QCOMPARE(Text(window_.get(), "L_dzial"), QStringLiteral("Dział:  Ludzie i rodzina"));
        Choose(window_.get(), "CB_Gr_Tem", QStringLiteral("Wszystkie"));
        QCOMPARE(Text(window_.get(), "L_dzial"), QStringLiteral("Dział:  wszystkie"));
        const int total = session().db.units.unitCount();
        QVERIFY(Text(window_.get(), "L_Nauka")
                    .startsWith(
                        QStringLiteral("Uczysz się: 0 z %1\nDo nauki: %1 (słówka: ").arg(total)));
        for (const char* name : {"CB_Gr_Tem", "K_Losuj", "K_Losuj_z", "K_ustaw"}) {
            QVERIFY2(Shown(window_.get(), name), name);
        }
        for (const char* name : {"K_Nauka", "K_losuj_nowe", "k_wylacz_filtr", "Panel1"}) {
            QVERIFY2(!Shown(window_.get(), name), name);
        }

        Click(window_.get(), "K_Losuj");
        QVERIFY(window_->drawn());
        QCOMPARE(Text(window_.get(), "L_Tryb_nauki"), QStringLiteral("Wybrano do nauki: 10"));
        for (const char* name : {"K_Nauka", "K_losuj_nowe"}) {
            QVERIFY2(Shown(window_.get(), name), name);
        }
        for (const char* name : {"CB_Gr_Tem", "K_Losuj", "K_Losuj_z", "K_ustaw"}) {
            QVERIFY2(!Shown(window_.get(), name), name);
        }
        // Ten words or question items from the head of the level-ordered list, and their plan.
        const std::vector<int> drawn = Drawn();
        QCOMPARE(drawn.size(), std::size_t{10});
        QCOMPARE(std::set<int>(drawn.begin(), drawn.end()).size(), std::size_t{10});
        for (const int u : drawn) {
            QVERIFY(session().db.units.unit(u).unitKind != kSentenceUnit);
            QCOMPARE(session().db.units.unit(u).level, 1);
        }
        QCOMPARE(session().plan.rowCount(), 10);
        QCOMPARE(session().plan.mode, SessionMode::Learning);
        QVERIFY(session().currentSet.name.empty());
        QCOMPARE(window_->stepId(), 1);

        Click(window_.get(), "K_losuj_nowe");
        QVERIFY(!window_->drawn());
        QVERIFY(Shown(window_.get(), "CB_Gr_Tem"));
        QVERIFY(!Shown(window_.get(), "K_Nauka"));

        // The sentence button draws sentences only, in the size chosen in the options.
        Click(window_.get(), "K_ustaw");
        QVERIFY(Shown(window_.get(), "Panel1"));
        QVERIFY(!Shown(window_.get(), "CB_Poziom"));
        Choose(window_.get(), "CB_Ile_nauka", QStringLiteral("15"));
        QCOMPARE(session().settings.newUnitsCountIndex, 1);
        Click(window_.get(), "k_Zatwierdz");
        QVERIFY(!Shown(window_.get(), "Panel1"));
        Click(window_.get(), "K_Losuj_z");
        QCOMPARE(Text(window_.get(), "L_Tryb_nauki"), QStringLiteral("Wybrano do nauki: 15"));
        for (const int u : Drawn()) {
            QCOMPARE(session().db.units.unit(u).unitKind, std::int32_t{kSentenceUnit});
        }
    }

    void groupChoiceLimitsTheDraw() {
        Show();
        auto* groups = Find<QComboBox>(window_.get(), "CB_Gr_Tem");
        QCOMPARE(groups->itemText(0), QStringLiteral("Wszystkie"));
        Choose(window_.get(), "CB_Gr_Tem", QStringLiteral("Dom"));
        QCOMPARE(Text(window_.get(), "L_dzial"), QStringLiteral("Dział:  Dom"));
        QVERIFY(Text(window_.get(), "L_Nauka").contains(QStringLiteral(" w tym dziale\n")));
        Click(window_.get(), "K_Losuj");
        QVERIFY(!Drawn().empty());
        for (const int u : Drawn()) {
            QCOMPARE(session().db.units.unit(u).groupId, 2);
        }
        // Closing remembers the group and writes the repetition file.
        window_->reject();
        QCOMPARE(session().settings.groupIndex, groups->findText(QStringLiteral("Dom")));
        int count = -1;
        const std::string expected =
            FormatRepetitionFile(session().repetitions, session().db.units.unitCount(), &count);
        QCOMPARE(ReadBytes(session().paths.userDir + "angielski.p"), expected);
    }

    void filterWithoutMatchesAndFilterOff() {
        session().settings.groupIndex = 0;
        Show();
        Click(window_.get(), "K_ustaw");
        Choose(window_.get(), "CB_tryb_nauki", QStringLiteral("Filtr"));
        QVERIFY(Shown(window_.get(), "CB_Poziom"));
        QVERIFY(Shown(window_.get(), "L_ile_filtr"));
        const int total = session().db.units.unitCount();
        QCOMPARE(Text(window_.get(), "L_ile_filtr"), QStringLiteral("Wybrano: %1 z %1").arg(total));
        Choose(window_.get(), "CB_Rodzaj", QStringLiteral("przysłówek"));
        Choose(window_.get(), "CB_Jakie_Cw", QStringLiteral("zdanie"));
        QCOMPARE(Text(window_.get(), "L_ile_filtr"), QStringLiteral("Wybrano: 0 z %1").arg(total));
        Click(window_.get(), "k_Zatwierdz");
        QCOMPARE(session().settings.learningMode, 1);
        QCOMPARE(session().settings.filterWordClass, 6);
        QCOMPARE(session().settings.filterUnitType, 2);
        QCOMPARE(Text(window_.get(), "L_Tryb_nauki"), QStringLiteral("Tryb nauki: filtr\n"));
        QVERIFY(Shown(window_.get(), "k_wylacz_filtr"));
        QVERIFY(!Shown(window_.get(), "K_Losuj_z"));

        Click(window_.get(), "K_Losuj");
        QCOMPARE(Text(window_.get(), "L_Tryb_nauki"),
                 QStringLiteral(
                     "Brak materiału do nauki! Zmień ustawienia filtru lub grupę tematyczną."));
        QVERIFY(!Shown(window_.get(), "K_Nauka"));
        QVERIFY(Shown(window_.get(), "K_losuj_nowe"));

        // Back to choosing: the filter is switched off to the mode the options were opened in.
        Click(window_.get(), "K_losuj_nowe");
        QCOMPARE(Text(window_.get(), "L_Tryb_nauki"), QStringLiteral("Tryb: filtr"));
        Click(window_.get(), "k_wylacz_filtr");
        QCOMPARE(session().settings.learningMode, 0);
        QVERIFY(!Shown(window_.get(), "k_wylacz_filtr"));
        QVERIFY(Shown(window_.get(), "K_Losuj_z"));
    }

    void learningRunsThePlanWindowAndReportsWhatIsLeft() {
        // The runner answers the current kind right for every row.
        plan_->SetRunner([this] {
            SessionPlan& plan = session().plan;
            for (PlanRow& row : plan.rows) {
                PlanEntry& cell = row.cells[static_cast<std::size_t>(plan.currentKind)];
                cell.attempts += cell.remaining;
                cell.remaining = 0;
                cell.done = 1;
            }
        });
        Show();
        Click(window_.get(), "K_Losuj");
        QString info;
        WhenModal([&info](QDialog* w) {
            info = Find<QLabel>(w, "l_stat")->text();
            QTest::keyClick(Find<QListWidget>(w, "ListBox1"), Qt::Key_Return);
        });
        Click(window_.get(), "K_Nauka");
        QVERIFY(info.startsWith(QStringLiteral("Wybrano 10 w tym:\n")));
        QCOMPARE(Text(window_.get(), "L_Tryb_nauki"), QStringLiteral("Trwa nauka 10 jednostek."));
        QVERIFY(Shown(window_.get(), "K_Nauka"));

        // Resumed: every kind left is done, then the window is closed.
        WhenModal([](QDialog* w) {
            while (Find<QAbstractButton>(w, "B_OK")->isVisible()) {
                QTest::keyClick(Find<QListWidget>(w, "ListBox1"), Qt::Key_Return);
            }
        });
        Click(window_.get(), "K_Nauka");
        QCOMPARE(Text(window_.get(), "L_Tryb_nauki"),
                 QStringLiteral("Koniec ćwiczeń. Wybierz nowe jednostki do nauki."));
        QVERIFY(!Shown(window_.get(), "K_Nauka"));
        // The drawn units are learnt now.
        for (const int u : Drawn()) {
            QCOMPARE(session().repetitions.record(u).lastDate, kToday);
        }
        Click(window_.get(), "K_losuj_nowe");
        QVERIFY(Text(window_.get(), "L_Nauka").startsWith(QStringLiteral("Uczysz się: 10 z ")));
    }

    void repetitionPanelOffersAnAmountAboveForty() {
        MakeDue(45);
        Show();
        QVERIFY(Shown(window_.get(), "Panel_P"));
        QCOMPARE(Text(window_.get(), "Label1"), QStringLiteral("Powtórki na dzień: ") +
                                                    QString::fromStdString(FormatDate(kToday)));
        QCOMPARE(Text(window_.get(), "L_Ile"), QStringLiteral("Do powtórzenia: 45 jednostek."));
        QVERIFY(Shown(window_.get(), "L_Ile_teraz"));
        auto* amount = Find<QComboBox>(window_.get(), "CB_Ile_teraz");
        QVERIFY(amount->isVisible());
        QStringList entries;
        for (int i = 0; i < amount->count(); ++i) {
            entries.append(amount->itemText(i));
        }
        QCOMPARE(entries, (QStringList{QStringLiteral("10"), QStringLiteral("20"),
                                       QStringLiteral("40"), QStringLiteral("45")}));
        QCOMPARE(amount->currentText(), QStringLiteral("20"));
        amount->setCurrentIndex(0);

        std::vector<int> rows;
        bool tick = true;
        WhenModal([&](QDialog* w) {
            for (const PlanRow& row : session().plan.rows) {
                rows.push_back(row.unitNumber);
            }
            tick = Find<QWidget>(w, "CB_Bez_powtorki")->isVisible();
        });
        Click(window_.get(), "B_OK");
        QCOMPARE(rows, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QCOMPARE(session().plan.mode, SessionMode::Repetition);
        QVERIFY(!tick);
        // Nothing was answered: the records and the panel stay; the choice is kept.
        QCOMPARE(Text(window_.get(), "L_Ile"), QStringLiteral("Do powtórzenia: 45 jednostek."));
        QCOMPARE(amount->currentText(), QStringLiteral("10"));

        Click(window_.get(), "K_statystyka");
        QCOMPARE(overviews_, 1);
    }

    void repetitionPanelWithFewDueUnits() {
        struct Case {
            int due;
            QString text;
            bool start;
        };
        const Case cases[] = {{1, QStringLiteral("Do powtórzenia: 1 jednostka."), true},
                              {40, QStringLiteral("Do powtórzenia: 40 jednostek."), true},
                              {0, QStringLiteral("Do powtórzenia: 0 jednostek."), false}};
        for (const Case& c : cases) {
            session().repetitions = RepetitionStore{};
            MakeDue(c.due);
            Show();
            QVERIFY(Shown(window_.get(), "Panel_P"));
            QCOMPARE(Text(window_.get(), "L_Ile"), c.text);
            // The figure of the day stands out beside the text.
            QVERIFY(Shown(window_.get(), "L_Ile_dzis"));
            QCOMPARE(Text(window_.get(), "L_Ile_dzis"), QString::number(c.due));
            QCOMPARE(Text(window_.get(), "L_Ile_dzis_opis"),
                     c.due > 0 ? QStringLiteral("do powtórzenia dziś")
                               : QStringLiteral("dziś nic do powtórzenia"));
            QVERIFY(Find<QLabel>(window_.get(), "L_Ile_dzis")->font().pixelSize() >= 32);
            QVERIFY(!Find<QWidget>(window_.get(), "L_Ile_dzis")
                         ->geometry()
                         .intersects(Find<QWidget>(window_.get(), "B_OK")->geometry()));
            QVERIFY(!Shown(window_.get(), "CB_Ile_teraz"));
            QVERIFY(!Shown(window_.get(), "L_Ile_teraz"));
            QCOMPARE(Shown(window_.get(), "B_OK"), c.start);
            window_->hide();
        }
        // Forty due units are all taken.
        session().repetitions = RepetitionStore{};
        MakeDue(40);
        std::size_t rows = 0;
        WhenModal([&rows, this](QDialog*) { rows = session().plan.rows.size(); });
        Show();
        Click(window_.get(), "B_OK");
        QCOMPARE(rows, std::size_t{40});
    }

    void keys() {
        QString page;
        context_->openHelp = [&page](const QString& p) { page = p; };
        Show();
        QTest::keyClick(window_.get(), Qt::Key_F1);
        QCOMPARE(page, QStringLiteral("jak.html"));
        QVERIFY(window_->isVisible());
        QTest::keyClick(window_.get(), Qt::Key_Escape);
        QVERIFY(!window_->isVisible());
        QVERIFY(std::filesystem::exists(session().paths.userDir + "angielski.p"));
    }

    // The figures of the new material count the units of a session as soon as its plan closes,
    // without leaving the drawn batch.
    void figuresCountTheSessionWhenThePlanCloses() {
        plan_->SetRunner([this] {
            SessionPlan& plan = session().plan;
            for (PlanRow& row : plan.rows) {
                PlanEntry& cell = row.cells[static_cast<std::size_t>(plan.currentKind)];
                cell.attempts += cell.remaining;
                cell.remaining = 0;
                cell.done = 1;
            }
        });
        Show();
        const QRegularExpression figures(
            QStringLiteral("^Uczysz się: (\\d+) z (\\d+) w tym dziale\nDo nauki: (\\d+) "));
        const QRegularExpressionMatch before = figures.match(Text(window_.get(), "L_Nauka"));
        QVERIFY2(before.hasMatch(), qPrintable(Text(window_.get(), "L_Nauka")));
        QCOMPARE(before.captured(1), QStringLiteral("0"));
        Click(window_.get(), "K_Losuj");
        WhenModal([](QDialog* w) {
            while (Find<QAbstractButton>(w, "B_OK")->isVisible()) {
                QTest::keyClick(Find<QListWidget>(w, "ListBox1"), Qt::Key_Return);
            }
        });
        Click(window_.get(), "K_Nauka");
        QVERIFY(window_->drawn());
        const QRegularExpressionMatch after = figures.match(Text(window_.get(), "L_Nauka"));
        QVERIFY2(after.hasMatch(), qPrintable(Text(window_.get(), "L_Nauka")));
        QCOMPARE(after.captured(1), QStringLiteral("10"));
        QCOMPARE(after.captured(2), before.captured(2));
        QCOMPARE(after.captured(3).toInt(), before.captured(3).toInt() - 10);
    }
};

QTEST_MAIN(LearningWindowTest)
#include "learning_window_test.moc"
