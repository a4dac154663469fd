// Whole sessions through the windows, on a copy of the sample installation: a new learner logs
// in, draws new words (with their example sentences), works through typing, choice,
// self-assessment and sentence kinds, closes the plan and sees the summary; the repetition file
// read back holds what the rules give for the answers given. Two days later the same learner
// repeats the units that fell due. A shorter run on the German course reaches the article
// choice and the plural.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "core/clock.h"
#include "core/repetitions.h"
#include "core/scheduling.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "modal_driver.h"
#include "support.h"
#include "ui/shell/dialogs.h"
#include "ui/session/learning_window.h"
#include "ui/shell/main_menu_window.h"
#include "ui/session/plan_window.h"
#include "ui/runner/runner_window.h"
#include "ui/shell/startup.h"
#include "ui/session/summary_window.h"
#include "ui/widgets/ui_text.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::ReadBytes;
using dyd::test::TempDir;

namespace {

constexpr double kToday = 46000.0;  // 2025-12-09
constexpr int kRunTyping = 6;
constexpr int kRunChoice = 4;
constexpr int kRunListening = 3;
constexpr int kRunSentenceChoice = 10;
constexpr int kRunArticle = 7;
constexpr int kRunPlural = 8;

const QString kF5Hint = QStringLiteral("Klawisz F5 wyświetli Twoją odpowiedź.");

// ---- Driving the modal windows ------------------------------------------------------------------

using Driver = dyd::test::ModalDriver;

void Click(QWidget* window, const char* name) {
    auto* button = Find<QAbstractButton>(window, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

// ---- What the learner answered, and what the rules make of it ----------------------------------

struct Cell {
    int attempts = 0;
    bool done = false;
};
using KindLog = std::map<int, Cell>;

// The kind whose answers decide the new interval of a unit, or 0 when none does.
int DeterminingKind(const Unit& unit, const KindLog& log, const Settings& settings) {
    const auto answered = [&log](int kind) {
        const auto it = log.find(kind);
        return it != log.end() && it->second.attempts > 0;
    };
    std::vector<int> order;
    if (unit.unitKind == kWordUnit) {
        order = {settings.determiningKindWords, 6, 16, 3, 4, 2, 5, 1, 7, 8, 9};
    } else if (unit.unitKind == kSentenceUnit) {
        order = {settings.determiningKindSentences, 12, 18, 17, 10, 11, 13, 14, 15};
    } else {
        order = {17};
    }
    for (const int kind : order) {
        if (answered(kind)) {
            return kind;
        }
    }
    return 0;
}

// The record after a session's full update of a unit whose record was `before`. The units of
// these sessions are few, so no day holds more than twenty of them and no interval is moved to
// a quieter day.
RepetitionRecord ExpectedRecord(const Unit& unit, const RepetitionRecord& before,
                                const KindLog& log, int stepCount, double today,
                                const Settings& settings) {
    const int deciding = DeterminingKind(unit, log, settings);
    if (deciding == 0) {
        return before;
    }
    RepetitionRecord after = before;
    after.unitId = unit.unitId;
    if (before.repetitionNo == 0) {
        after.firstDate = today;
    }
    after.lastDate = today;
    after.repetitionNo = before.repetitionNo + 1;
    after.previousInterval = before.interval;
    const Cell decidingCell = log.at(deciding);
    const bool success = decidingCell.done && decidingCell.attempts == stepCount;
    if (!success) {
        after.interval = after.repetitionNo < 2 ? 1 : 2;
    } else if (after.repetitionNo == 1) {
        after.interval = 2;
    } else {
        const long double grown = static_cast<long double>(before.interval) *
                                  static_cast<long double>(before.factor) *
                                  static_cast<long double>(settings.frequencyFactor);
        after.interval = static_cast<std::int32_t>(grown);
    }
    after.interval = std::max(after.interval, 1);
    if (after.repetitionNo == 1) {
        after.factor = 1.5;
    } else {
        const long double factor = success ? static_cast<long double>(before.factor) * 1.2L
                                           : static_cast<long double>(before.factor) / 1.1L;
        after.factor = std::clamp(static_cast<double>(factor), 1.0, 3.0);
    }
    for (int kind = 1; kind <= kMarkedKinds; ++kind) {
        const auto it = log.find(kind);
        std::uint8_t mark = 0;
        if (it != log.end() && it->second.attempts > 0) {
            mark = it->second.done && it->second.attempts == 1 ? 2 : 1;
        }
        after.kindMarks[static_cast<std::size_t>(kind - 1)] = mark;
    }
    after.knownFlag = 0;
    after.inTrash = 0;
    return after;
}

QString Describe(const RepetitionRecord& r) {
    QString marks;
    for (const std::uint8_t mark : r.kindMarks) {
        marks += QString::number(mark);
    }
    return QStringLiteral(
               "id %1 first %2 last %3 no %4 interval %5 previous %6 factor %7 "
               "marks %8 known %9 trash %10")
        .arg(r.unitId)
        .arg(r.firstDate)
        .arg(r.lastDate)
        .arg(r.repetitionNo)
        .arg(r.interval)
        .arg(r.previousInterval)
        .arg(r.factor, 0, 'g', 17)
        .arg(marks)
        .arg(r.knownFlag)
        .arg(r.inTrash);
}

// The learner's repetition file, read with the program's reader.
RepetitionStore ReadRepetitionFile(const LearnerSession& session) {
    const std::string path = session.paths.userDir + RepetitionFileName(session.paths, kLiveSuffix);
    RepetitionStore store;
    ParseRepetitionFile(ReadBytes(path), session.db.units, store);
    return store;
}

// The parts of a sentence marked for its exercises, as the choice of kind 10 expects them.
QString MarkedParts(const QString& sentence) {
    QStringList parts;
    qsizetype from = 0;
    while (true) {
        const qsizetype open = sentence.indexOf(QLatin1Char('<'), from);
        const qsizetype close = open < 0 ? -1 : sentence.indexOf(QLatin1Char('>'), open);
        if (close < 0) {
            break;
        }
        parts.append(sentence.mid(open + 1, close - open - 1).trimmed());
        from = close + 1;
    }
    return parts.join(QStringLiteral(" ... "));
}

// ---- The program -------------------------------------------------------------------------------

StartupEnvironment Environment(const std::string& programDir, QStringList* boxes) {
    StartupEnvironment environment;
    environment.programFile = programDir + "dydaktor";
    environment.screenSize = QSize(1024, 768);
    environment.changeCurrentFolder = false;
    environment.standardBox = [boxes](const QString& text) { boxes->append(text); };
    return environment;
}

std::string CopySample(const TempDir& dir) {
    std::filesystem::copy(DYD_SAMPLE, dir.path(), std::filesystem::copy_options::recursive);
    std::filesystem::remove(dir.path() + "dydaktor");
    return dir.path();
}

// The windows every session meets on its way: message boxes (their texts kept), the
// statistics after each run and the summary (its list kept).
void HandleCommonWindows(Driver& driver, std::vector<int>* summaryUnits) {
    driver.On("TForm20", [&driver](QDialog* box) {
        driver.messages.append(static_cast<MessageBox*>(box)->text());
        if (qEnvironmentVariableIsSet("DYD_E2E_TRACE")) {
            qInfo("message: %s", qPrintable(driver.messages.back()));
        }
        QTest::keyClick(box, Qt::Key_Escape);
    });
    driver.On("TForm25", [](QDialog* statistics) { Click(statistics, "B_OK"); });
    // The interludes between exercise steps (a quotation, a fact, a picture, the matching round).
    for (const char* interlude : {"TForm18", "TForm38", "TForm16", "TForm17"}) {
        driver.On(interlude, [](QDialog* window) { QTest::keyClick(window, Qt::Key_Escape); });
    }
    driver.On("TForm31", [summaryUnits](QDialog* summary) {
        *summaryUnits = static_cast<SummaryWindow*>(summary)->listedUnits();
        Click(summary, "B_Zamknij");
    });
}

// A new learner's login, on the course whose title starts with `course`.
void HandleNewLearnerLogin(Driver& driver, const QString& course) {
    driver.On("TForm9", [&driver, course](QDialog* login) {
        auto* databases = Find<QComboBox>(login, "CB_Baza");
        const int index = databases->findText(course, Qt::MatchStartsWith);
        if (index < 0) {
            driver.Fail(QStringLiteral("no course ") + course);
            login->reject();
            return;
        }
        databases->setCurrentIndex(index);
        Click(login, "TransparentButton1");
    });
    driver.On("TForm10", [](QDialog* newUser) {
        Find<QLineEdit>(newUser, "Edit1")->insert(QStringLiteral("Łucja"));
        Click(newUser, "B_OK");
    });
}

// Starts the kind in the plan window, or reports that it is not offered.
bool StartKind(Driver& driver, QDialog* planWindow, int kind) {
    auto* list = Find<QListWidget>(planWindow, "ListBox1");
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem* item = list->item(row);
        // " - " + the kind's name + " (" + units to do + ")"
        const QString prefix = QStringLiteral(" - ") + Utf8(KindName(kind)) + QStringLiteral(" (");
        if (item->text().startsWith(prefix) && !item->text().endsWith(QStringLiteral("(0)"))) {
            list->scrollToItem(item);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(item).center());
            if (list->currentRow() != row || !Find<QWidget>(planWindow, "B_OK")->isVisible()) {
                driver.Fail(QStringLiteral("the click did not select kind %1").arg(kind));
                planWindow->reject();
                return false;
            }
            Click(planWindow, "B_OK");
            return true;
        }
    }
    driver.Fail(QStringLiteral("the plan offers no kind %1").arg(kind));
    return false;
}

// The plan window starts the kinds in turn and is closed after the last.
void HandlePlan(Driver& driver, std::vector<int> kinds, std::function<void(QDialog*)> first) {
    auto next = std::make_shared<std::size_t>(0);
    auto opened = std::make_shared<bool>(false);
    driver.On("TForm8", [&driver, kinds, next, opened, first](QDialog* plan) {
        if (!*opened) {
            *opened = true;
            if (first) {
                first(plan);
            }
        }
        if (*next < kinds.size()) {
            StartKind(driver, plan, kinds[(*next)++]);
            return;
        }
        Click(plan, "B_Zamknij");
    });
}

}  // namespace

// ---- The sessions ------------------------------------------------------------------------------

class SessionEndToEndTest : public QObject {
    Q_OBJECT

  private slots:
    void aNewLearnerLearnsTenWordsAndRepeatsThemTwoDaysLater();
    void theGermanCourseAsksForArticlesAndPlurals();
};

namespace {

// One step of the runner answered as the test decides. The log keeps the learner's answers per
// unit and kind as the rules count them.
class Learner {
  public:
    Learner(Driver& driver, Program& program) : driver_(driver), program_(program) {}

    // The first answer of the n-th unit met in a kind goes wrong (by kind: the n of each wrong
    // answer); a wrong typed answer may then be accepted (by click or by F3).
    std::map<int, std::set<int>> wrongFirst;
    std::set<int> acceptByClick;  // n-th unit of kind 6
    std::set<int> acceptByF3;
    // Units (by number) whose first answer in a kind goes wrong, whatever their position.
    std::map<int, std::set<int>> wrongUnits;

    std::map<int, KindLog> log;  // unit number -> kind -> answers

    void Step(QDialog* window) {
        auto* runner = static_cast<RunnerWindow*>(window);
        const RunnerState& state = runner->runner().state();
        const int kind = state.stepKind;
        const int unitNumber = state.stepUnit;
        if (kind == kRunListening) {
            SelfAssess(window, state);
            return;
        }
        if (state.answered) {
            // A judged choice or typed answer: on to the next step.
            if (!Find<QWidget>(window, "B_OK")->isVisible()) {
                driver_.Fail(QStringLiteral("no B_OK after a verdict in kind %1").arg(kind));
                window->reject();
                return;
            }
            QTest::keyClick(window, Qt::Key_Return);
            return;
        }
        Cell& cell = log[unitNumber][kind];
        const int position = Position(kind, unitNumber);
        const bool goWrong = cell.attempts == 0 && (wrongFirst[kind].count(position) > 0 ||
                                                    wrongUnits[kind].count(unitNumber) > 0);
        const Unit& unit = db().units.unit(unitNumber);
        switch (kind) {
            case kRunTyping:
            case kRunPlural:
                Type(window, kind == kRunTyping ? unit.foreignText : unit.plural, goWrong, position,
                     cell);
                return;
            case kRunChoice:
                Choose(window, Foreign(unit.foreignText), goWrong, cell);
                return;
            case kRunSentenceChoice:
                Choose(window, MarkedParts(Foreign(unit.foreignText)), goWrong, cell);
                return;
            case kRunArticle:
                Choose(window, Foreign(unit.foreignText.substr(0, 3)).toLower(), goWrong, cell);
                return;
            default:
                driver_.Fail(QStringLiteral("kind %1 was not planned for this test").arg(kind));
                window->reject();
        }
    }

  private:
    // Position of the unit among those met in the kind (1 for the first), counting it as met.
    int Position(int kind, int unitNumber) {
        std::vector<int>& met = met_[kind];
        auto it = std::find(met.begin(), met.end(), unitNumber);
        if (it == met.end()) {
            met.push_back(unitNumber);
            return static_cast<int>(met.size());
        }
        return static_cast<int>(it - met.begin() + 1);
    }

    // A self-assessment step: Enter reveals the answer, then the digit gives the verdict.
    void SelfAssess(QDialog* window, const RunnerState& state) {
        const int kind = state.stepKind;
        const int unitNumber = state.stepUnit;
        const Unit& unit = db().units.unit(unitNumber);
        if (Find<QWidget>(window, "B_Sprawdz")->isVisible()) {
            QTest::keyClick(window, Qt::Key_Return);
            if (!Find<QWidget>(window, "B_Umiesz")->isVisible() ||
                !Find<QWidget>(window, "B_Nie_umiesz")->isVisible() ||
                Find<QLabel>(window, "L_Poprawna")->text() != Polish(unit.nativeText)) {
                driver_.Fail(QStringLiteral("the reveal of kind %1 shows \"%2\"")
                                 .arg(kind)
                                 .arg(Find<QLabel>(window, "L_Poprawna")->text()));
                window->reject();
            }
            return;
        }
        if (!Find<QWidget>(window, "B_Umiesz")->isVisible()) {
            driver_.Fail(QStringLiteral("neither B_Sprawdz nor B_Umiesz in kind %1").arg(kind));
            window->reject();
            return;
        }
        Cell& cell = log[unitNumber][kind];
        const bool goWrong =
            cell.attempts == 0 && wrongFirst[kind].count(Position(kind, unitNumber)) > 0;
        ++cell.attempts;
        cell.done = cell.done || !goWrong;
        QTest::keyClick(window, goWrong ? Qt::Key_2 : Qt::Key_1);
    }

    const CourseDatabase& db() const { return program_.context().session.db; }
    QString Foreign(const std::string& bytes) const {
        return dyd::ui::Foreign(bytes, db().params.foreignCodePage());
    }

    void ExpectVerdict(QDialog* window, bool right) {
        const QString verdict = Find<QLabel>(window, "L_Polecenie")->text();
        const QString expected =
            right ? QStringLiteral("Bardzo dobrze!") : QStringLiteral("Poprawnie:");
        if (verdict != expected) {
            driver_.Fail(QStringLiteral("verdict \"%1\", expected \"%2\"").arg(verdict, expected));
        }
    }

    // Types the answer (national characters with Ctrl as the learner would) and presses Enter.
    void Type(QDialog* window, const std::string& rightBytes, bool goWrong, int position,
              Cell& cell) {
        auto* field = Find<QLineEdit>(window, "E_Wpisana");
        if (!field->isVisible()) {
            driver_.Fail(QStringLiteral("no answer field"));
            window->reject();
            return;
        }
        const QString text = goWrong ? QStringLiteral("xyz") : Foreign(rightBytes);
        for (const QChar c : text) {
            const auto national = kNational.find(c);
            if (national != kNational.end()) {
                QTest::keyClick(field, national->second.first,
                                Qt::ControlModifier | national->second.second);
            } else {
                QTest::keyClicks(field, QString(c));
            }
        }
        if (field->text() != text) {
            driver_.Fail(
                QStringLiteral("typed \"%1\", the field holds \"%2\"").arg(text, field->text()));
        }
        ++cell.attempts;
        QTest::keyClick(field, Qt::Key_Return);
        ExpectVerdict(window, !goWrong);
        if (!goWrong) {
            cell.done = true;
            return;
        }
        const bool byClick = acceptByClick.count(position) > 0;
        const bool byF3 = acceptByF3.count(position) > 0;
        if (!byClick && !byF3) {
            return;
        }
        if (!Find<QWidget>(window, "K_Zaakceptuj")->isVisible()) {
            driver_.Fail(QStringLiteral("no K_Zaakceptuj after a wrong answer"));
            return;
        }
        if (byClick) {
            QTest::mouseClick(Find<QWidget>(window, "K_Zaakceptuj"), Qt::LeftButton);
        } else {
            QTest::keyClick(window, Qt::Key_F3);
        }
        cell.done = true;
        if (Find<QLabel>(window, "L_Polecenie")->text() !=
            QStringLiteral("Odpowiedź zaakceptowano! ")) {
            driver_.Fail(QStringLiteral("the accepted answer shows \"%1\"")
                             .arg(Find<QLabel>(window, "L_Polecenie")->text()));
        }
    }

    // Presses the digit of the right choice, or of another one shown.
    void Choose(QDialog* window, const QString& right, bool goWrong, Cell& cell) {
        int rightSlot = 0;
        int otherSlot = 0;
        for (int n = 1; n <= 4; ++n) {
            const QByteArray name = "L_Odp" + QByteArray::number(n);
            auto* label = Find<QLabel>(window, name.constData());
            if (!label->isVisible() || label->text().trimmed().isEmpty()) {
                continue;
            }
            if (label->text().trimmed() == right.trimmed()) {
                rightSlot = n;
            } else if (otherSlot == 0) {
                otherSlot = n;
            }
        }
        if (rightSlot == 0 || otherSlot == 0) {
            driver_.Fail(
                QStringLiteral("the choices do not offer \"%1\" and a wrong one").arg(right));
            window->reject();
            return;
        }
        const int slot = goWrong ? otherSlot : rightSlot;
        ++cell.attempts;
        cell.done = cell.done || !goWrong;
        QTest::keyClick(window, static_cast<Qt::Key>(Qt::Key_1 + slot - 1));
        ExpectVerdict(window, !goWrong);
    }

    // The German letters typed with Ctrl (and Shift for capitals).
    inline static const std::map<QChar, std::pair<Qt::Key, Qt::KeyboardModifiers>> kNational = {
        {QChar(0xE4), {Qt::Key_A, Qt::NoModifier}}, {QChar(0xC4), {Qt::Key_A, Qt::ShiftModifier}},
        {QChar(0xF6), {Qt::Key_O, Qt::NoModifier}}, {QChar(0xD6), {Qt::Key_O, Qt::ShiftModifier}},
        {QChar(0xFC), {Qt::Key_U, Qt::NoModifier}}, {QChar(0xDC), {Qt::Key_U, Qt::ShiftModifier}},
        {QChar(0xDF), {Qt::Key_S, Qt::NoModifier}},
    };

    Driver& driver_;
    Program& program_;
    std::map<int, std::vector<int>> met_;  // kind -> units in the order met
};

}  // namespace

void SessionEndToEndTest::aNewLearnerLearnsTenWordsAndRepeatsThemTwoDaysLater() {
    TempDir dir;
    const std::string programDir = CopySample(dir);
    std::map<int, KindLog> dayOne;
    std::map<int, RepetitionRecord> afterDayOne;

    // ---- Day one: ten new words with their example sentences -----------------------------------
    {
        FixedClock clock{kToday};
        SeededRandom random(20251209);
        Program program(clock);
        program.SetRandom(&random);
        QStringList boxes;
        QVERIFY(program.Start(Environment(programDir, &boxes)));

        Driver driver;
        std::vector<int> summaryUnits;
        HandleCommonWindows(driver, &summaryUnits);
        HandleNewLearnerLogin(driver, QStringLiteral("Angielski"));
        QVERIFY(program.LogIn());
        QVERIFY(driver.errors.isEmpty());
        LearnerSession& session = program.context().session;
        QCOMPARE(session.paths.databaseCode, std::string("angielski"));
        // No window sets these yet: the summary is wanted at the end of the session, and the
        // statistics after each run stay on as a new learner has them.
        session.settings.showSummary = true;
        QVERIFY(session.settings.showStatistics);
        QCOMPARE(session.settings.intensity, 0);
        const int stepCount = StepCount(SessionMode::Learning, session.settings);

        // The learning window: options (ten units, words with example sentences), the draw and
        // the start; after the plan it is closed.
        std::vector<int> planUnits;
        QString drawStatus;
        QString statusAfterPlan;
        bool resumeVisible = false;
        auto learningSteps = std::make_shared<int>(0);
        driver.On("TForm11", [&](QDialog* learning) {
            switch ((*learningSteps)++) {
                case 0: {
                    Click(learning, "K_ustaw");
                    auto* modes = Find<QComboBox>(learning, "CB_tryb_nauki");
                    if (modes->count() != 3) {
                        driver.Fail(QStringLiteral("learning mode 2 is not offered"));
                    }
                    modes->setCurrentIndex(2);
                    Find<QComboBox>(learning, "CB_Ile_nauka")->setCurrentIndex(0);
                    Click(learning, "k_Zatwierdz");
                    Click(learning, "K_Losuj");
                    drawStatus = Find<QLabel>(learning, "L_Tryb_nauki")->text();
                    for (const PlanRow& row : session.plan.rows) {
                        planUnits.push_back(row.unitNumber);
                    }
                    Click(learning, "K_Nauka");
                    return;
                }
                default:
                    // Kinds are left in the plan: the start button stays to resume it.
                    statusAfterPlan = Find<QLabel>(learning, "L_Tryb_nauki")->text();
                    resumeVisible = Find<QWidget>(learning, "K_Nauka")->isVisible();
                    Click(learning, "B_Zamknij");
            }
        });

        Learner learner(driver, program);
        learner.wrongFirst[kRunTyping] = {1, 2, 3};
        learner.acceptByClick = {2};
        learner.acceptByF3 = {3};
        learner.wrongFirst[kRunChoice] = {4};
        learner.wrongFirst[kRunListening] = {5};
        learner.wrongFirst[kRunSentenceChoice] = {1};
        driver.On("TForm4", [&learner](QDialog* runner) { learner.Step(runner); });
        HandlePlan(driver, {kRunTyping, kRunChoice, kRunListening, kRunSentenceChoice}, nullptr);

        QTest::mouseClick(Find<QAbstractButton>(program.mainMenu(), "btn_cwiczenia"),
                          Qt::LeftButton);
        QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));

        // Ten words were drawn, and the plan added their example sentences.
        QCOMPARE(drawStatus, QStringLiteral("Wybrano do nauki: 10"));
        int words = 0;
        int sentences = 0;
        for (const int u : planUnits) {
            (session.db.units.unit(u).unitKind == kWordUnit ? words : sentences) += 1;
        }
        QCOMPARE(words, 10);
        QVERIFY2(sentences > 0, "the words of the draw have no example sentences");
        QCOMPARE(statusAfterPlan, QStringLiteral("Trwa nauka %1 jednostek.").arg(planUnits.size()));
        QVERIFY(resumeVisible);
        QCOMPARE(driver.seen.count(QStringLiteral("TForm11")), 1);
        QCOMPARE(driver.seen.count(QStringLiteral("TForm8")), 1);
        QCOMPARE(driver.seen.count(QStringLiteral("TForm4")), 4);
        QCOMPARE(driver.seen.count(QStringLiteral("TForm25")), 4);  // statistics after each run
        QCOMPARE(driver.seen.count(QStringLiteral("TForm31")), 1);
        // More than thirty steps were done: the course's interludes came in between.
        const qsizetype interludes = driver.seen.count(QStringLiteral("TForm18")) +
                                     driver.seen.count(QStringLiteral("TForm38")) +
                                     driver.seen.count(QStringLiteral("TForm16")) +
                                     driver.seen.count(QStringLiteral("TForm17"));
        QVERIFY(interludes >= 1);
        // The hint of F5 comes with the first wrong typed answer only.
        QCOMPARE(driver.messages.count(kF5Hint), 1);
        QVERIFY(session.settings.f5HintShown);

        // Every word went through the typing, choice and listening kinds; the sentence choice
        // took the sentences that have wrong answers to offer.
        std::set<int> answered;
        for (const auto& [unitNumber, kinds] : learner.log) {
            answered.insert(unitNumber);
        }
        for (const int u : planUnits) {
            if (session.db.units.unit(u).unitKind == kWordUnit) {
                QCOMPARE(learner.log[u][kRunTyping].done, true);
                QCOMPARE(learner.log[u][kRunChoice].done, true);
                QCOMPARE(learner.log[u][kRunListening].done, true);
            }
        }
        QVERIFY(answered.size() > 10);

        // The summary listed exactly the units answered.
        QCOMPARE(std::set<int>(summaryUnits.begin(), summaryUnits.end()), answered);
        QCOMPARE(summaryUnits.size(), answered.size());

        // The repetition file holds what the rules make of the answers, and nothing else.
        const RepetitionStore store = ReadRepetitionFile(session);
        for (int u = 1; u <= session.db.units.unitCount(); ++u) {
            const auto logged = learner.log.find(u);
            if (logged == learner.log.end()) {
                QVERIFY2(store.record(u).unitId == 0, qPrintable(QString::number(u)));
                continue;
            }
            const RepetitionRecord expected =
                ExpectedRecord(session.db.units.unit(u), RepetitionRecord{}, logged->second,
                               stepCount, kToday, session.settings);
            QCOMPARE(Describe(store.record(u)), Describe(expected));
            QCOMPARE(expected.repetitionNo, 1);  // every answered unit was decided
            afterDayOne[u] = store.record(u);
        }
        dayOne = learner.log;

        // The learner ends the program from the main menu; the settings are saved then.
        driver.On("TForm24", [](QDialog* question) { Click(question, "B_OK"); });
        QTest::mouseClick(Find<QAbstractButton>(program.mainMenu(), "B_Zamknij"), Qt::LeftButton);
        QVERIFY(!program.mainMenu()->isVisible());
        QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
    }

    // ---- Two days later: the repetitions that fell due ------------------------------------------
    const double dayThree = kToday + 2;
    FixedClock clock{dayThree};
    SeededRandom random(20251211);
    Program program(clock);
    program.SetRandom(&random);
    QStringList boxes;
    QVERIFY(program.Start(Environment(programDir, &boxes)));
    Driver driver;
    std::vector<int> summaryUnits;
    HandleCommonWindows(driver, &summaryUnits);
    driver.On("TForm9", [](QDialog* login) {
        QCOMPARE(Find<QListWidget>(login, "ComboBox1")->currentItem()->text(),
                 QStringLiteral("Łucja"));
        Click(login, "B_OK");
    });
    QVERIFY(program.LogIn());
    QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
    LearnerSession& session = program.context().session;
    QCOMPARE(session.paths.databaseCode, std::string("angielski"));

    QString dueText;
    QString dueTextAfter;
    bool dueStartVisible = false;
    auto learningSteps = std::make_shared<int>(0);
    driver.On("TForm11", [&](QDialog* learning) {
        if ((*learningSteps)++ == 0) {
            dueText = Find<QLabel>(learning, "L_Ile")->text();
            dueStartVisible = Find<QWidget>(learning, "B_OK")->isVisible();
            Click(learning, "B_OK");
        } else {
            dueTextAfter = Find<QLabel>(learning, "L_Ile")->text();
            Click(learning, "B_Zamknij");
        }
    });
    std::vector<int> repetitionRows;
    HandlePlan(driver, {kRunTyping}, [&](QDialog*) {
        for (const PlanRow& row : session.plan.rows) {
            repetitionRows.push_back(row.unitNumber);
        }
    });

    // The first word that went right the first time now goes wrong; the others go right.
    int nowFailing = 0;
    for (const auto& [u, kinds] : dayOne) {
        if (session.db.units.unit(u).unitKind == kWordUnit && afterDayOne[u].interval == 2) {
            nowFailing = u;
            break;
        }
    }
    QVERIFY(nowFailing > 0);
    Learner learner(driver, program);
    learner.wrongUnits[kRunTyping] = {nowFailing};
    driver.On("TForm4", [&learner](QDialog* runner) { learner.Step(runner); });

    QTest::mouseClick(Find<QAbstractButton>(program.mainMenu(), "btn_cwiczenia"), Qt::LeftButton);
    QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));

    // The settings of day one came back: no hints again, and the summary of the words repeated.
    QCOMPARE(driver.messages, QStringList());
    std::set<int> repeatedWords;
    for (const auto& [u, kinds] : learner.log) {
        repeatedWords.insert(u);
    }
    QCOMPARE(std::set<int>(summaryUnits.begin(), summaryUnits.end()), repeatedWords);

    // Every unit learnt on day one is due (intervals 1 and 2 have run out), and only those.
    std::set<int> learnt;
    for (const auto& [u, record] : afterDayOne) {
        learnt.insert(u);
    }
    QCOMPARE(dueText, QStringLiteral("Do powtórzenia: %1 jednostek.").arg(learnt.size()));
    QVERIFY(dueStartVisible);
    QCOMPARE(std::set<int>(repetitionRows.begin(), repetitionRows.end()), learnt);
    QCOMPARE(repetitionRows.size(), learnt.size());

    // The words moved on by the rules; the sentences, not exercised in a deciding kind today,
    // kept their records.
    const int stepCount = StepCount(SessionMode::Repetition, session.settings);
    QCOMPARE(stepCount, 1);
    const RepetitionStore store = ReadRepetitionFile(session);
    int successAfterSuccess = 0;
    int failureAfterSuccess = 0;
    int successAfterFailure = 0;
    for (const auto& [u, before] : afterDayOne) {
        const Unit& unit = session.db.units.unit(u);
        const RepetitionRecord expected =
            ExpectedRecord(unit, before, learner.log[u], stepCount, dayThree, session.settings);
        QCOMPARE(Describe(store.record(u)), Describe(expected));
        if (unit.unitKind != kWordUnit) {
            QVERIFY(store.record(u) == before);
            continue;
        }
        QCOMPARE(store.record(u).repetitionNo, 2);
        QCOMPARE(store.record(u).lastDate, dayThree);
        QCOMPARE(store.record(u).firstDate, kToday);
        if (u == nowFailing) {
            ++failureAfterSuccess;
            QCOMPARE(store.record(u).interval, 2);
        } else if (before.interval == 2) {
            ++successAfterSuccess;
            // trunc(2 × 1.5 × 1.9)
            QCOMPARE(store.record(u).interval, 5);
            QCOMPARE(store.record(u).factor, 1.5 * 1.2);
        } else {
            ++successAfterFailure;
            // trunc(1 × 1.5 × 1.9)
            QCOMPARE(store.record(u).interval, 2);
        }
    }
    QCOMPARE(failureAfterSuccess, 1);
    QVERIFY(successAfterSuccess > 0);
    QVERIFY(successAfterFailure > 0);

    // After the session the panel counts what is still due: the sentences, not repeated today.
    const std::size_t sentencesDue =
        learnt.size() -
        static_cast<std::size_t>(successAfterSuccess + failureAfterSuccess + successAfterFailure);
    QCOMPARE(dueTextAfter, QStringLiteral("Do powtórzenia: %1 %2")
                               .arg(sentencesDue)
                               .arg(sentencesDue == 1 ? QStringLiteral("jednostka.")
                                                      : QStringLiteral("jednostek.")));
}

void SessionEndToEndTest::theGermanCourseAsksForArticlesAndPlurals() {
    TempDir dir;
    const std::string programDir = CopySample(dir);
    FixedClock clock{kToday};
    SeededRandom random(7);
    Program program(clock);
    program.SetRandom(&random);
    QStringList boxes;
    QVERIFY(program.Start(Environment(programDir, &boxes)));
    Driver driver;
    std::vector<int> summaryUnits;
    HandleCommonWindows(driver, &summaryUnits);
    HandleNewLearnerLogin(driver, QStringLiteral("Niemiecki"));
    QVERIFY(program.LogIn());
    QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
    LearnerSession& session = program.context().session;
    QCOMPARE(session.paths.databaseCode, std::string("niemiecki"));
    QCOMPARE(session.db.params.language, 2);
    // No window chooses the learning kinds yet: the article and plural kinds are switched on
    // here, the others off, so that the session is short.
    for (int kind = 1; kind <= kKindSlots; ++kind) {
        session.settings.learningKinds[kWordUnit][static_cast<std::size_t>(kind)] =
            kind == kRunArticle || kind == kRunPlural;
    }
    session.settings.showSummary = true;
    session.settings.showStatistics = false;

    std::vector<int> planUnits;
    auto learningSteps = std::make_shared<int>(0);
    driver.On("TForm11", [&](QDialog* learning) {
        if ((*learningSteps)++ == 0) {
            Click(learning, "K_Losuj");
            for (const PlanRow& row : session.plan.rows) {
                planUnits.push_back(row.unitNumber);
            }
            Click(learning, "K_Nauka");
        } else {
            Click(learning, "B_Zamknij");
        }
    });
    Learner learner(driver, program);
    learner.wrongFirst[kRunArticle] = {2};
    learner.wrongFirst[kRunPlural] = {1};
    driver.On("TForm4", [&learner](QDialog* runner) { learner.Step(runner); });
    HandlePlan(driver, {kRunArticle, kRunPlural}, nullptr);

    QTest::mouseClick(Find<QAbstractButton>(program.mainMenu(), "btn_cwiczenia"), Qt::LeftButton);
    QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
    QCOMPARE(planUnits.size(), std::size_t{10});

    // The nouns with an article and a plural went through both kinds; the kind that decides
    // is then the article choice, as the typing kind was not exercised.
    std::set<int> answered;
    for (const auto& [u, kinds] : learner.log) {
        answered.insert(u);
        QVERIFY(kinds.count(kRunArticle) > 0 || kinds.count(kRunPlural) > 0);
    }
    QVERIFY(answered.size() >= 2);
    // At least one plural was typed with a national character (Ctrl+A, Ctrl+O, Ctrl+U...).
    bool nationalPlural = false;
    for (const auto& [u, kinds] : learner.log) {
        const std::string& plural = session.db.units.unit(u).plural;
        nationalPlural = nationalPlural || (kinds.count(kRunPlural) > 0 &&
                                            std::any_of(plural.begin(), plural.end(), [](char c) {
                                                return static_cast<unsigned char>(c) >= 0x80;
                                            }));
    }
    QVERIFY(nationalPlural);
    QCOMPARE(std::set<int>(summaryUnits.begin(), summaryUnits.end()), answered);
    const RepetitionStore store = ReadRepetitionFile(session);
    const int stepCount = StepCount(SessionMode::Learning, session.settings);
    int decidedByArticle = 0;
    for (const int u : planUnits) {
        const Unit& unit = session.db.units.unit(u);
        const RepetitionRecord expected = ExpectedRecord(unit, RepetitionRecord{}, learner.log[u],
                                                         stepCount, kToday, session.settings);
        QCOMPARE(Describe(store.record(u)), Describe(expected));
        if (DeterminingKind(unit, learner.log[u], session.settings) == kRunArticle) {
            ++decidedByArticle;
        }
    }
    QVERIFY(decidedByArticle > 0);
}

QTEST_MAIN(SessionEndToEndTest)
#include "session_e2e_test.moc"
