// The browser driven through its controls on a learner of the small fixture database: the grid
// of all units, the filter boxes, the description with its recordings, composing with the mouse
// and the keys, saving and loading sets, learning the list, the clipboard, comments, editing and
// deleting own units, resetting and restoring repetitions, the QA import and what closing writes.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <deque>
#include <memory>

#include "content/browser.h"
#include "core/clock.h"
#include "core/codepage.h"
#include "core/datetime.h"
#include "core/learner_files.h"
#include "core/login.h"
#include "core/qa_import.h"
#include "core/repetitions.h"
#include "find_control.h"
#include "message_watch.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/content/browser_window.h"
#include "ui/content/search_options_window.h"
#include "ui/shell/comment_dialog.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/set_parameters_window.h"
#include "ui/widgets/ui_text.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Click;
using dyd::test::Find;
using dyd::test::MessageWatch;
using dyd::test::ReadBytes;
using dyd::test::Shown;
using dyd::test::TempDir;
using dyd::test::WhenModal;

namespace {

constexpr double kToday = 45000.0;

std::string Cp1250(const char* utf8) { return FromUtf8(utf8, CodePage::Cp1250).value(); }

// Answers the confirmations (TForm29) that open, in order, as the learner would.
class Answers {
  public:
    Answers() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (modal == nullptr || modal->objectName() != QStringLiteral("TForm29") ||
                answers_.empty()) {
                return;
            }
            const bool yes = answers_.front();
            answers_.pop_front();
            QTest::mouseClick(Find<QAbstractButton>(modal, yes ? "B_OK" : "B_Zamknij"),
                              Qt::LeftButton);
        });
        timer_.start();
    }
    void Next(bool yes) { answers_.push_back(yes); }
    bool used() const { return answers_.empty(); }

  private:
    QTimer timer_;
    std::deque<bool> answers_;
};

}  // namespace

class BrowserWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<FixedClock> clock_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<QWidget> owner_;
    MessageBox* messages_ = nullptr;
    ConfirmationDialog* confirmation_ = nullptr;
    CommentDialog* comment_ = nullptr;
    SetParametersWindow* setParameters_ = nullptr;
    SearchOptionsWindow* searchOptions_ = nullptr;
    std::unique_ptr<BrowserWindow> window_;
    std::optional<std::string> chosenFile_;
    std::optional<std::string> chosenFolder_;
    std::optional<std::vector<std::int32_t>> chosenSet_;
    std::vector<std::string> plans_;
    int setsChanged_ = 0;
    std::unique_ptr<Answers> answers_;

    void Answer(bool yes) { answers_->Next(yes); }

    LearnerSession& session() { return context_->session; }
    UnitTable& units() { return session().db.units; }
    QTableView* Grid() { return Find<QTableView>(window_.get(), "Grid1"); }
    QListWidget* List() { return Find<QListWidget>(window_.get(), "ListBox1"); }
    QString Text(const char* label) { return Find<QLabel>(window_.get(), label)->text(); }
    int Unit(std::int32_t id) { return units().IndexOfUnitId(id); }
    std::string UserFile(const char* name) { return session().paths.databaseDir + name; }

    void Login(const char* database) {
        QCOMPARE(dyd::Login(context_->programPaths, database, 1, "Ewa", *clock_, session()).status,
                 LoginStatus::Opened);
    }

    void Open() {
        window_ = std::make_unique<BrowserWindow>(*context_, owner_.get());
        BrowserDialogs dialogs;
        dialogs.messages = messages_;
        dialogs.confirmation = confirmation_;
        dialogs.comment = comment_;
        dialogs.askSetParameters = [this] { return setParameters_->Ask(); };
        dialogs.chooseSet = [this] { return chosenSet_; };
        dialogs.chooseFile = [this] { return chosenFile_; };
        dialogs.chooseFolder = [this] { return chosenFolder_; };
        dialogs.openPlan = [this](const std::string& info) { plans_.push_back(info); };
        dialogs.setsChanged = [this] { ++setsChanged_; };
        dialogs.askSearch = [this]() -> std::optional<BrowserQuery> {
            if (!searchOptions_->Ask()) {
                return std::nullopt;
            }
            return BrowserQuery{searchOptions_->queryText().toStdString(),
                                searchOptions_->foreignQuery(), searchOptions_->polishQuery(),
                                searchOptions_->flags()};
        };
        window_->SetDialogs(std::move(dialogs));
        window_->Prepare();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->activateWindow();
    }

    // The grid row of a unit, -1 when not listed.
    int RowOf(int unit) {
        const std::vector<int>& listed = window_->listed();
        const auto it = std::find(listed.begin(), listed.end(), unit);
        return it == listed.end() ? -1 : static_cast<int>(it - listed.begin());
    }

    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        Grid()->scrollTo(Grid()->model()->index(row, 0));
        const QPoint at = Grid()->visualRect(Grid()->model()->index(row, 1 % Grid()->model()->columnCount())).center();
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, modifiers, at);
    }

    void ClickUnit(int unit, Qt::KeyboardModifiers modifiers = {}) {
        const int row = RowOf(unit);
        QVERIFY2(row >= 0, "unit not listed");
        ClickRow(row, modifiers);
    }

    QString Cell(int row, int column) {
        return Grid()->model()->index(row, column).data().toString();
    }

    QStringList ListTexts() {
        QStringList texts;
        for (int i = 0; i < List()->count(); ++i) {
            texts.append(List()->item(i)->text());
        }
        return texts;
    }

    void Choose(const char* box, int index) {
        Find<QComboBox>(window_.get(), box)->setCurrentIndex(index);
    }

    void Close() { QTest::keyClick(window_.get(), Qt::Key_Escape); }

  private slots:
    void init() {
        dir_ = std::make_unique<TempDir>();
        dyd::test::CopyFixture("mini", dir_->path());
        clock_ = std::make_unique<FixedClock>(kToday + 0.5);
        context_ = std::make_unique<AppContext>(*clock_);
        context_->programPaths.programDir = dir_->path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_->path());
        owner_ = std::make_unique<QWidget>();
        messages_ = new MessageBox(*context_, owner_.get());
        confirmation_ = new ConfirmationDialog(*context_, owner_.get());
        comment_ = new CommentDialog(*context_, owner_.get());
        setParameters_ = new SetParametersWindow(*context_, owner_.get());
        searchOptions_ = new SearchOptionsWindow(*context_, owner_.get());
        chosenFile_.reset();
        chosenFolder_.reset();
        chosenSet_.reset();
        plans_.clear();
        setsChanged_ = 0;
        answers_ = std::make_unique<Answers>();
        Login("angtest");
    }

    void cleanup() {
        QVERIFY2(answers_->used(), "a question was not asked");
        answers_.reset();
        window_.reset();
        owner_.reset();
        context_.reset();
        dir_.reset();
    }

    void opensOnAllUnitsInTwoColumns() {
        Open();
        QCOMPARE(window_->objectName(), QStringLiteral("TForm2"));
        QCOMPARE(window_->mode(), BrowserWindow::Mode::All);
        const int count = units().unitCount();
        QCOMPARE(Text("L_Ile_wybrano"), QStringLiteral("%1 jednostek").arg(count));
        QCOMPARE(Grid()->model()->rowCount(), count);
        QCOMPARE(Grid()->model()->columnCount(), 2);
        QCOMPARE(Grid()->columnWidth(0), 221);
        QCOMPARE(Grid()->columnWidth(1), 221);
        const int dog = Unit(28656);
        QCOMPARE(Cell(RowOf(dog), 0), QStringLiteral("          dog"));
        QCOMPARE(Cell(RowOf(dog), 1), QStringLiteral("pies"));
        // Rows of one height.
        QCOMPARE(Grid()->rowHeight(0), Grid()->rowHeight(count - 1));
        for (const char* shown : {"K_przenies", "K_import_qa", "K_wczytaj", "CB_Graj"}) {
            QVERIFY2(Shown(window_.get(), shown), shown);
        }
        for (const char* hidden :
             {"CB_Gr_Tem", "CB_Poziom", "CB_Rodzaj", "CB_Jakie_Cw", "CB_Uczone", "CB_Filtr_2",
              "L_Filtr_opis", "K_Pokaz_slowka", "ListBox1", "K_Zapisz_cw", "K_zapisz_jako",
              "K_Nauka", "K_usun_all", "k_usun", "K_do_schowka", "l_naglowek_cw", "L_Ile_cw",
              "K_Edycja", "K_Usun_Slowko", "K_Kom_Usera", "K_Zeruj", "K_Przywroc", "L_przyklad"}) {
            QVERIFY2(!Shown(window_.get(), hidden), hidden);
        }
        // Playing is on: the box that switches it off starts unticked.
        QVERIFY(!Find<QCheckBox>(window_.get(), "CB_Graj")->isChecked());
        // The frame stands left of the active mode's button.
        const QRect frame = Find<QWidget>(window_.get(), "Shape2")->geometry();
        const QRect all = Find<QWidget>(window_.get(), "K_wszystkie")->geometry();
        QVERIFY(frame.right() < all.left() && all.left() - frame.right() < 12);
    }

    void filterBoxesNarrowTheGrid() {
        // Units 28656 (learnt, in the trash, 12 repetitions) and 90002 (an own sentence, learnt).
        session().repetitions.record(Unit(28656)) = RepetitionRecord{
            .unitId = 28656, .firstDate = kToday - 40, .lastDate = kToday - 5, .repetitionNo = 12,
            .interval = 20, .inTrash = 1};
        session().repetitions.record(Unit(90002)) = RepetitionRecord{
            .unitId = 90002, .firstDate = kToday - 3, .lastDate = kToday - 1, .repetitionNo = 1,
            .interval = 2};
        Open();
        Click(window_.get(), "K_filtr");
        QCOMPARE(window_->mode(), BrowserWindow::Mode::Filter);
        for (const char* shown : {"CB_Gr_Tem", "CB_Poziom", "CB_Rodzaj", "CB_Jakie_Cw",
                                  "CB_Uczone", "CB_Filtr_2", "L_Filtr_opis", "K_Pokaz_slowka"}) {
            QVERIFY2(Shown(window_.get(), shown), shown);
        }
        auto* groups = Find<QComboBox>(window_.get(), "CB_Gr_Tem");
        QCOMPARE(groups->itemText(0), QStringLiteral("Wszystkie"));
        QCOMPARE(groups->count(), 1 + static_cast<int>(std::count_if(
                                          session().db.groups.begin(), session().db.groups.end(),
                                          [](const Group& g) { return g.groupId > 0; })));
        // Nothing chosen: every unit, and the grid is not rebuilt for the same list.
        QCOMPARE(static_cast<int>(window_->listed().size()), units().unitCount());
        const int resets = window_->gridResets();
        Click(window_.get(), "K_Pokaz_slowka");
        QCOMPARE(window_->gridResets(), resets);

        // Own units never learnt.
        Choose("CB_Filtr_2", 1);
        Choose("CB_Uczone", 2);
        Click(window_.get(), "K_Pokaz_slowka");
        QCOMPARE(window_->listed(), (std::vector<int>{Unit(90001), Unit(90003), Unit(90004)}));
        QCOMPARE(Text("L_Ile_wybrano"), QStringLiteral("3 jednostek"));
        // In the trash.
        Choose("CB_Uczone", 0);
        Choose("CB_Filtr_2", 2);
        Click(window_.get(), "K_Pokaz_slowka");
        QCOMPARE(window_->listed(), std::vector<int>{Unit(28656)});
        // Sentences of level 3 and none of level 4: the grid shows one empty row.
        Choose("CB_Filtr_2", 0);
        Choose("CB_Jakie_Cw", 2);
        Choose("CB_Poziom", 3);
        Click(window_.get(), "K_Pokaz_slowka");
        QCOMPARE(window_->listed(),
                 (std::vector<int>{Unit(90002), Unit(28700), Unit(28701), Unit(28702)}));
        Choose("CB_Poziom", 4);
        Click(window_.get(), "K_Pokaz_slowka");
        QVERIFY(window_->listed().empty());
        QCOMPARE(Grid()->model()->rowCount(), 1);
        QCOMPARE(Cell(0, 0), QString());
        QVERIFY(!Shown(window_.get(), "K_przenies"));
        QCOMPARE(Text("L_Ile_wybrano"), QStringLiteral("0 jednostek"));

        // Ctrl+1 lists all again and hides the boxes; Ctrl+2 filters with the boxes as they are.
        QTest::keyClick(Grid(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(window_->mode(), BrowserWindow::Mode::All);
        QVERIFY(!Shown(window_.get(), "CB_Poziom"));
        QCOMPARE(static_cast<int>(window_->listed().size()), units().unitCount());
        QTest::keyClick(Grid(), Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(window_->mode(), BrowserWindow::Mode::Filter);
        QVERIFY(window_->listed().empty());
    }

    // Fills the search options window: the text, whole words or not, foreign and Polish texts.
    void SearchFor(const QString& text, bool whole, bool polish) {
        WhenModal([=](QDialog* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("TForm23"));
            Find<QCheckBox>(dialog, "CH_Jak_cale")->setChecked(whole);
            Find<QCheckBox>(dialog, "CH_Jak_duze")->setChecked(false);
            Find<QCheckBox>(dialog, "CH_Jak_ang")->setChecked(true);
            Find<QCheckBox>(dialog, "CH_Jak_pol")->setChecked(polish);
            QTest::keyClicks(Find<QLineEdit>(dialog, "Edit1"), text);
            QTest::mouseClick(Find<QAbstractButton>(dialog, "B_OK"), Qt::LeftButton);
        });
    }

    void searchListsWhatWasFound() {
        Open();
        MessageWatch watch;
        SearchFor(QStringLiteral("DOG"), true, false);
        QTest::keyClick(Grid(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(window_->mode(), BrowserWindow::Mode::Search);
        QCOMPARE(window_->listed(), std::vector<int>{Unit(28656)});
        QCOMPARE(Text("L_Ile_wybrano"), QStringLiteral("Szukaj - słowo \"DOG\" wystąpiło 1 raz."));
        // Contained, in foreign and Polish texts: "cat" and the sentence; "kot" in Polish too.
        SearchFor(QStringLiteral("cat"), false, true);
        Click(window_.get(), "k_szukaj");
        QCOMPARE(window_->listed(), (std::vector<int>{Unit(28657), Unit(28701)}));
        QCOMPARE(Text("L_Ile_wybrano"), QStringLiteral("Szukaj - słowo \"cat\" wystąpiło 2 razy."));
        const QRect frame = Find<QWidget>(window_.get(), "Shape2")->geometry();
        QVERIFY(frame.right() < Find<QWidget>(window_.get(), "k_szukaj")->geometry().left());
        // Closed without a text: the found units stay.
        WhenModal([](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        QTest::keyClick(Grid(), Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(window_->listed().size(), std::size_t{2});
        // Nothing found: one empty row, nothing to add.
        SearchFor(QStringLiteral("zebra"), false, true);
        Click(window_.get(), "k_szukaj");
        QVERIFY(window_->listed().empty());
        QCOMPARE(Text("L_Ile_wybrano"), QStringLiteral("Szukaj - słowo \"zebra\" wystąpiło 0 razy."));
        QVERIFY(!Shown(window_.get(), "K_przenies"));
        // Listing all clears the search.
        Click(window_.get(), "K_wszystkie");
        QCOMPARE(Text("L_Ile_wybrano"), QStringLiteral("%1 jednostek").arg(units().unitCount()));
        QVERIFY(watch.texts().isEmpty());
    }

    void descriptionPlaysRecordingsUnlessSwitchedOff() {
        session().repetitions.record(Unit(28657)) = RepetitionRecord{
            .unitId = 28657, .firstDate = DayNumber(2023, 1, 2), .lastDate = kToday - 5,
            .repetitionNo = 3, .interval = 8, .inTrash = 1};
        units().unit(Unit(28657)).userComment = Cp1250("mój kot");
        Open();
        MessageWatch watch;
        ClickUnit(Unit(28657));
        QCOMPARE(Text("L_Opis"),
                 QStringLiteral("kot\nCzasownik, typ: Słówka, poziom: 1, Id: 28657, grupa: %1 \n"
                                "Powtórki: 3, interwał: 8, pierwsza nauka: 2023-01-02 [Kosz]\n"
                                "mój kot")
                     .arg(Polish(GroupName(session().db.groups, units().unit(Unit(28657)).groupId))));
        for (const char* shown : {"K_Kom_Usera", "K_Zeruj", "K_Przywroc"}) {
            QVERIFY2(Shown(window_.get(), shown), shown);
        }
        QCOMPARE(window_->played().size(), std::size_t{1});
        QVERIFY(QString::fromStdString(window_->played().back()).endsWith(QStringLiteral("28657.ogg"), Qt::CaseInsensitive) ||
                QString::fromStdString(window_->played().back()).contains(QStringLiteral("28657")));
        // A sentence of an English course shows itself above its description; it has no record.
        ClickUnit(Unit(28701));
        QVERIFY(Text("L_Opis").startsWith(QStringLiteral("The <cat> is <black>.\nKot jest czarny.\n")));
        QVERIFY(!Shown(window_.get(), "K_Zeruj"));
        QVERIFY(!Shown(window_.get(), "K_Przywroc"));
        // A QA unit of the learner's own plays its question's and its answer's recordings.
        const std::size_t before = window_->played().size();
        ClickUnit(Unit(90003));
        QCOMPARE(window_->played().size(), before + 1);
        QVERIFY(QString::fromStdString(window_->played().back()).endsWith(QStringLiteral("odp1.wav")));
        // Ticked, the box keeps the recordings silent.
        QTest::mouseClick(Find<QCheckBox>(window_.get(), "CB_Graj"), Qt::LeftButton);
        const std::size_t ticked = window_->played().size();
        ClickUnit(Unit(28656));
        QCOMPARE(window_->played().size(), ticked);
        QVERIFY(!Text("L_Opis").isEmpty());
        // Two rows chosen: no description, the comment still offered; Ctrl+G shows nothing.
        ClickUnit(Unit(28657), Qt::ShiftModifier);
        QCOMPARE(Text("L_Opis"), QString());
        QVERIFY(Shown(window_.get(), "K_Kom_Usera"));
        QVERIFY(watch.texts().isEmpty());
    }

    void composingAddsOnceAndRemoves() {
        Open();
        MessageWatch watch;
        const int dog = Unit(28656);
        const int cat = Unit(28657);
        const int run = Unit(28658);
        ClickUnit(dog);
        ClickUnit(cat, Qt::ShiftModifier);
        Click(window_.get(), "K_przenies");
        QCOMPARE(window_->composed(), (std::vector<int>{dog, cat}));
        // Enter adds the rows chosen now; those already listed are passed over.
        ClickUnit(cat);
        ClickUnit(run, Qt::ShiftModifier);
        QTest::keyClick(Grid(), Qt::Key_Return);
        QCOMPARE(window_->composed(), (std::vector<int>{dog, cat, run}));
        // A double click adds its row.
        const int big = Unit(28659);
        const QPoint at = Grid()->visualRect(Grid()->model()->index(RowOf(big), 1)).center();
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(Grid()->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(window_->composed(), (std::vector<int>{dog, cat, run, big}));
        QCOMPARE(ListTexts(), (QStringList{QStringLiteral("dog"), QStringLiteral("cat"),
                                           QStringLiteral("run"), QStringLiteral("big")}));
        QCOMPARE(Text("L_Ile_cw"), QStringLiteral("4"));
        for (const char* shown : {"K_Zapisz_cw", "K_zapisz_jako", "K_Nauka", "K_usun_all",
                                  "ListBox1", "l_naglowek_cw", "L_Ile_cw", "K_do_schowka"}) {
            QVERIFY2(Shown(window_.get(), shown), shown);
        }
        QVERIFY(!Shown(window_.get(), "k_usun"));

        // A list item clicked offers k_usun, which asks first; no keeps the item.
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          List()->visualItemRect(List()->item(1)).center());
        QVERIFY(Shown(window_.get(), "k_usun"));
        Answer(false);
        Click(window_.get(), "k_usun");
        QCOMPARE(window_->composed().size(), std::size_t{4});
        Answer(true);
        Click(window_.get(), "k_usun");
        QCOMPARE(window_->composed(), (std::vector<int>{dog, run, big}));
        // The same position stays chosen; Delete removes it without a question.
        QCOMPARE(List()->currentRow(), 1);
        QTest::keyClick(List(), Qt::Key_Delete);
        QCOMPARE(window_->composed(), (std::vector<int>{dog, big}));
        // K_usun_all asks; yes empties the list and the list side hides.
        Answer(true);
        Click(window_.get(), "K_usun_all");
        QVERIFY(window_->composed().empty());
        QVERIFY(!Shown(window_.get(), "ListBox1"));
        QVERIFY(!Shown(window_.get(), "K_Nauka"));
        QVERIFY(watch.texts().isEmpty());
    }

    void saveAsSaveAgainAndRefusedOverwrite() {
        Open();
        MessageWatch watch;
        const int dog = Unit(28656);
        const int cat = Unit(28657);
        ClickUnit(dog);
        ClickUnit(cat, Qt::ShiftModifier);
        Click(window_.get(), "K_przenies");

        // Closing the dialog saves nothing, also with a name typed.
        WhenModal([](QDialog* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("TForm15"));
            QTest::keyClicks(Find<QLineEdit>(dialog, "E_Nazwa"), QStringLiteral("Zwierzaki"));
            QTest::mouseClick(Find<QAbstractButton>(dialog, "B_Zamknij"), Qt::LeftButton);
        });
        Click(window_.get(), "K_zapisz_jako");
        QVERIFY(!std::filesystem::exists(UserFile("cwa_su.txt")));

        const auto saveAs = [](const QString& name) {
            WhenModal([name](QDialog* dialog) {
                QTest::keyClicks(Find<QLineEdit>(dialog, "E_Nazwa"), name);
                Find<QComboBox>(dialog, "CB_Poziom")->setCurrentIndex(1);
                QTest::mouseClick(Find<QAbstractButton>(dialog, "B_OK"), Qt::LeftButton);
            });
        };
        saveAs(QStringLiteral("Zwierzaki"));
        Click(window_.get(), "K_zapisz_jako");
        const std::int32_t group = session().db.groups.front().groupId;
        const std::string key = "2" + std::string(group < 10 ? "0" : "") + std::to_string(group) + "-2";
        QCOMPARE(ReadBytes(UserFile("cwa_su.txt")),
                 "9=" + key + "-0001=Zwierzaki=28656=28657\r\n");
        QCOMPARE(watch.texts().back(), QStringLiteral("Ćwiczenie \"Zwierzaki\" zapisano."));
        QCOMPARE(Text("L_Ile_cw"), QStringLiteral("2, cw: Zwierzaki"));
        QCOMPARE(session().currentSet.setKey, key);
        QVERIFY(setsChanged_ > 0);

        // Saved again with a third unit: the line of the same name gets a new serial.
        ClickUnit(Unit(28658));
        Click(window_.get(), "K_przenies");
        Click(window_.get(), "K_Zapisz_cw");
        QCOMPARE(ReadBytes(UserFile("cwa_su.txt")),
                 "9=" + key + "-0002=Zwierzaki=28656=28657=28658\r\n");

        // The same name under save as, answered no: the file stays as it was.
        const std::string before = ReadBytes(UserFile("cwa_su.txt"));
        saveAs(QStringLiteral("Zwierzaki"));
        Answer(false);
        Click(window_.get(), "K_zapisz_jako");
        QCOMPARE(watch.texts().back(), QStringLiteral("Ćwiczenie nie zostało zapisane!"));
        QCOMPARE(ReadBytes(UserFile("cwa_su.txt")), before);
    }

    void loadLearnAndClipboard() {
        Open();
        MessageWatch watch;
        // Loading a set: its units replace the list, with the set's name beside the count.
        chosenSet_ = std::vector<std::int32_t>{Unit(28659), Unit(28656)};
        session().currentSet.name = "Moje";
        session().currentSet.setKey = "201-1-0001";
        Click(window_.get(), "K_wczytaj");
        QCOMPARE(window_->composed(), (std::vector<int>{Unit(28659), Unit(28656)}));
        QCOMPARE(Text("L_Ile_cw"), QStringLiteral("2, cw: Moje"));
        // The chooser closed without a set: the list stays.
        chosenSet_.reset();
        Click(window_.get(), "K_wczytaj");
        QCOMPARE(window_->composed().size(), std::size_t{2});

        Click(window_.get(), "K_do_schowka");
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 Utf8(kClipboardNotice) + QStringLiteral("\r\nbig = duży\r\ndog = pies\r\n"));
        QCOMPARE(watch.texts().back(), QStringLiteral("Wybrane słowa skopiowano do schowka."));

        Click(window_.get(), "K_Nauka");
        QCOMPARE(plans_.size(), std::size_t{1});
        QVERIFY(session().currentSet.ready);
        QCOMPARE(session().currentSet.count, 2);
        QCOMPARE(session().plan.mode, SessionMode::Learning);
        QVERIFY(session().plan.rowCount() > 0);
    }

    void commentEditDeleteAndClosingWrites() {
        Open();
        MessageWatch watch;
        const int dog = Unit(28656);
        const int tree = Unit(90001);
        // A course unit: no editing or deleting.
        ClickUnit(dog);
        QVERIFY(!Shown(window_.get(), "K_Edycja"));
        QVERIFY(!Shown(window_.get(), "K_Usun_Slowko"));
        // Ctrl+K edits the comment of the chosen unit.
        WhenModal([](QDialog* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("TForm27"));
            auto* edit = Find<QLineEdit>(dialog, "Edit1");
            QCOMPARE(edit->text(), QStringLiteral("Mój komentarz =1"));
            edit->clear();
            QTest::keyClicks(edit, QStringLiteral("Proste = dobre"));
            QTest::mouseClick(Find<QAbstractButton>(dialog, "B_OK"), Qt::LeftButton);
        });
        QTest::keyClick(Grid(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(units().unit(dog).userComment, std::string("Proste = dobre"));

        // An own unit with a comment and a record, also in the composed list, is deleted.
        units().unit(tree).userComment = "usun";
        session().repetitions.record(tree) = RepetitionRecord{
            .unitId = 90001, .firstDate = kToday - 3, .lastDate = kToday - 1, .repetitionNo = 1,
            .interval = 2};
        ClickUnit(tree);
        Click(window_.get(), "K_przenies");
        ClickUnit(tree);
        QVERIFY(Shown(window_.get(), "K_Edycja"));
        QVERIFY(Shown(window_.get(), "K_Usun_Slowko"));
        Answer(true);
        Click(window_.get(), "K_Usun_Slowko");
        QCOMPARE(watch.texts().back(),
                 QStringLiteral("Usunięto jednostkę, aktualizacja nastąpi po ponownym "
                                "uruchomieniu programu."));
        QCOMPARE(Cell(RowOf(tree), 0), QStringLiteral("          "));
        QCOMPARE(Cell(RowOf(tree), 1), QString());
        QVERIFY(window_->composed().empty());
        QVERIFY(window_->changes().userUnits);

        Close();
        QVERIFY(!window_->isVisible());
        const std::string learnerUnits = ReadBytes(UserFile("sbusr.txt"));
        QCOMPARE(learnerUnits.find("tree = drzewo"), std::string::npos);
        QVERIFY(learnerUnits.find("slowly") != std::string::npos);
        const std::string comments =
            ReadBytes(session().paths.userDir + CommentsFileName(session().paths.databaseCode));
        QVERIFY(comments.find("28656=" + std::string("Proste # dobre") + "=0=\r\n") != std::string::npos);
        QCOMPARE(comments.find("usun"), std::string::npos);
        QCOMPARE(comments.find("90001="), std::string::npos);
        const std::string records =
            ReadBytes(session().paths.userDir + RepetitionFileName(session().paths, ".p"));
        int written = 0;
        QCOMPARE(records, FormatRepetitionFile(session().repetitions, units().unitCount(), &written));
        QCOMPARE(written, 0);
    }

    void resetAndRestoreRepetitions() {
        const int cat = Unit(28657);
        const int dog = Unit(28656);
        session().repetitions.record(cat) = RepetitionRecord{
            .unitId = 28657, .firstDate = kToday - 30, .lastDate = kToday - 5, .repetitionNo = 4,
            .interval = 9, .inTrash = 1};
        session().repetitions.record(dog) = RepetitionRecord{
            .unitId = 28656, .firstDate = kToday - 30, .lastDate = kToday - 5, .repetitionNo = 2,
            .interval = 3};
        Open();
        MessageWatch watch;
        ClickUnit(cat);
        Click(window_.get(), "K_Przywroc");
        QCOMPARE(watch.texts().back(), QStringLiteral("Przywrócono z kosza."));
        QCOMPARE(session().repetitions.record(cat).inTrash, std::uint8_t{0});
        QVERIFY(!Shown(window_.get(), "K_Przywroc"));
        ClickUnit(dog);
        Click(window_.get(), "K_Zeruj");
        QVERIFY(!Shown(window_.get(), "K_Zeruj"));
        QCOMPARE(session().repetitions.record(dog).unitId, 0);
        Close();
        const std::string records =
            ReadBytes(session().paths.userDir + RepetitionFileName(session().paths, ".p"));
        RepetitionStore loaded;
        ParseRepetitionFile(records, units(), loaded);
        QCOMPARE(loaded.record(cat).unitId, 28657);
        QCOMPARE(loaded.record(cat).inTrash, std::uint8_t{0});
        QCOMPARE(loaded.record(dog).unitId, 0);
    }

    void qaImportListsTheNewUnitsAndStopsAtTheIdRange() {
        Open();
        MessageWatch watch;
        const int before = units().unitCount();
        chosenFile_ = dir_->path() + "pytania.txt";
        dyd::test::WriteBytes(*chosenFile_, "Q: dog\r\nA: pies\r\nq: cat\r\na: kot\r\n");
        // The chooser closed: nothing imported, nothing said.
        const std::optional<std::string> file = chosenFile_;
        chosenFile_.reset();
        Click(window_.get(), "K_import_qa");
        QVERIFY(watch.texts().isEmpty());
        chosenFile_ = file;
        Click(window_.get(), "K_import_qa");
        QCOMPARE(watch.texts().back(), QStringLiteral("Zaimportowano: 2 jednostek!"));
        QCOMPARE(units().unitCount(), before + 2);
        QCOMPARE(Text("L_Ile_wybrano"), QStringLiteral("%1 jednostek").arg(before + 2));
        QCOMPARE(Cell(before + 1, 1), QStringLiteral("kot"));
        // The learner's range ends just above the next id: the import stops with a message.
        session().db.params.userIdHigh = units().unit(before + 2).unitId + 2;
        watch.texts();
        Click(window_.get(), "K_import_qa");
        QCOMPARE(units().unitCount(), before + 3);
        QVERIFY(watch.texts().contains(Utf8(kQaNoIdsLeftMessage)));
        QCOMPARE(watch.texts().back(), QStringLiteral("Zaimportowano: 1 jednostek!"));
        Close();
        // They are the learner's own: written to the learner-units file.
        const std::string learnerUnits = ReadBytes(UserFile("sbusr.txt"));
        QVERIFY(learnerUnits.find("cat") != std::string::npos);
        QVERIFY(learnerUnits.find("kot") != std::string::npos);
    }

    void exchangeExportsTheComposedListAndImportsWholeFiles() {
        Open();
        MessageWatch watch;
        QVERIFY(Shown(window_.get(), "K_import_plik"));
        QVERIFY(!Shown(window_.get(), "K_eksport"));
        const int dog = Unit(28656);
        const int cat = Unit(28657);
        ClickUnit(dog);
        ClickUnit(cat, Qt::ShiftModifier);
        Click(window_.get(), "K_przenies");
        QVERIFY(Shown(window_.get(), "K_eksport"));
        auto* exportButton = Find<QPushButton>(window_.get(), "K_eksport");
        // The two share a row without overlapping.
        QVERIFY(!exportButton->geometry().intersects(
            Find<QPushButton>(window_.get(), "K_import_plik")->geometry()));
        QVERIFY(exportButton->menu() != nullptr);
        const auto exportAs = [&](const char* action) {
            auto* item = Find<QAction>(exportButton->menu(), action);
            QVERIFY(exportButton->menu()->actions().contains(item));
            item->trigger();
        };
        // The folder chooser closed: nothing written, nothing said.
        exportAs("M_eksport_kvtml");
        QVERIFY(watch.texts().isEmpty());

        chosenFolder_ = dir_->path();
        const std::string kvtml = dir_->path() + "lista.kvtml";
        exportAs("M_eksport_kvtml");
        QCOMPARE(watch.texts().back(),
                 QStringLiteral("Zapisano jednostek: 2 w pliku ") + QString::fromStdString(kvtml));
        const std::string written = ReadBytes(kvtml);
        for (const char* part : {"<kvtml version=\"2.0\">", "<text>dog</text>", "<text>pies</text>",
                                 "<text>dogs</text>", "<text>cat</text>"}) {
            QVERIFY2(written.find(part) != std::string::npos, part);
        }
        // An existing file is replaced only when the learner says so.
        dyd::test::WriteBytes(kvtml, "old");
        Answer(false);
        exportAs("M_eksport_kvtml");
        QCOMPARE(ReadBytes(kvtml), std::string("old"));
        Answer(true);
        exportAs("M_eksport_kvtml");
        QCOMPARE(ReadBytes(kvtml), written);
        exportAs("M_eksport_csv");
        const std::string csv = dir_->path() + "lista.csv";
        QVERIFY(ReadBytes(csv).rfind("obcy,polski,", 0) == 0);

        // The CSV comes back as two units of the learner's own, listed at once.
        const int before = units().unitCount();
        chosenFile_ = csv;
        Click(window_.get(), "K_import_plik");
        QCOMPARE(watch.texts().back(), QStringLiteral("Zaimportowano: 2 jednostek!"));
        QCOMPARE(units().unitCount(), before + 2);
        QCOMPARE(units().unit(before + 1).foreignText, std::string("dog"));
        QCOMPARE(units().unit(before + 1).recordingSource, std::uint8_t{1});
        QCOMPARE(units().unit(before + 2).nativeText, std::string("kot"));
        QCOMPARE(Text("L_Ile_wybrano"), QStringLiteral("%1 jednostek").arg(before + 2));

        // A file with a bad line: every fault said with its line, nothing taken.
        chosenFile_ = dir_->path() + "zle.tsv";
        dyd::test::WriteBytes(*chosenFile_, "obcy\tpolski\nfish\tryba\nbird\tptak = ptaszek\n");
        Click(window_.get(), "K_import_plik");
        QCOMPARE(watch.texts().back(),
                 QStringLiteral("Nic nie zaimportowano. Błędy w pliku:\n") +
                     QString::fromStdString(*chosenFile_) +
                     QStringLiteral(":3: Niedozwolony znak \"=\" !"));
        QCOMPARE(units().unitCount(), before + 2);
        Close();
        const std::string learnerUnits = ReadBytes(UserFile("sbusr.txt"));
        QVERIFY(learnerUnits.find("dog = pies") != std::string::npos);
        QVERIFY(learnerUnits.find("fish") == std::string::npos);
    }

    void oneColumnForOtherLanguages() {
        cleanup();
        init();
        Login("rostest");
        Open();
        QCOMPARE(Grid()->model()->columnCount(), 1);
        QCOMPARE(Grid()->columnWidth(0), 442);
        QVERIFY(!Shown(window_.get(), "K_import_qa"));
        int sentence = 0;
        for (int n = 1; n <= units().unitCount(); ++n) {
            if (units().unit(n).unitKind == kSentenceUnit) {
                sentence = n;
                break;
            }
        }
        QVERIFY(sentence > 0);
        ClickUnit(sentence);
        QVERIFY(Shown(window_.get(), "L_przyklad"));
        QCOMPARE(Text("L_przyklad"), Foreign(units().unit(sentence).foreignText,
                                             session().db.params.foreignCodePage()));
        QVERIFY(!Text("L_Opis").startsWith(Text("L_przyklad")));
    }
};

QTEST_MAIN(BrowserWindowTest)
#include "browser_window_test.moc"
