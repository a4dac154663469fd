// The matching window driven through its labels and buttons: the offer needs more than a hundred
// unused learnt words, clicks move the meanings between rows with the selection underlined and
// the placed row flashing navy until its timer ends, the check colours the right rows and scores
// them, a solved board plays the success sound and then the words' recordings, and Escape,
// B_zamknij and F1 do their work. Sounds are told apart by the first sample of their files.

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/paths.h"
#include "find_control.h"
#include "runner/matching.h"
#include "sample_installation.h"
#include "sound/capture_device.h"
#include "sound/sound_player.h"
#include "sound/waiter.h"
#include "sound/wav_file.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/widgets/image_button.h"
#include "ui/runner/matching_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

constexpr std::int16_t kSentSound = 1000;
constexpr std::int16_t kSuccessSound = 2000;
constexpr std::int16_t kRecordingSound = 3000;  // + row number 1..10

const QColor kNavy(0, 0, 128);
const QColor kBlack(0, 0, 0);

class PlayAtOnce final : public Waiter {
  public:
    void Sleep(int) override {}
    void WaitUntil(const std::function<bool()>&, int) override {}
};

// A program folder with the sample's pictures, sounds that tell themselves apart, and a learner
// whose first `learnt` words are learnt.
struct Installation {
    explicit Installation(int learnt) : context(clock), player(oggOut, fileOut, waiter) {
        LinkInstallation(DYD_SAMPLE, dir.path());
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        context.sound = &player;
        context.openHelp = [this](const QString& page) { helpPages.append(page); };
        Tone(dir.path() + "sent.wav", kSentSound);
        Tone(dir.path() + "b_ok.wav", kSuccessSound);
        fileOut.onWrite = [this](const WaveBuffer& buffer) {
            if (buffer.length >= 2) {
                std::int16_t first = 0;
                std::memcpy(&first, buffer.data.data(), 2);
                heard.push_back(first);
            }
            fileOut.PlayToEnd();
        };
        LearnerSession& session = context.session;
        for (int n = 1; n <= learnt + 5; ++n) {
            Unit unit;
            unit.unitId = n;
            unit.foreignText = "word" + std::to_string(n);
            unit.nativeText = "znaczenie" + std::to_string(n);
            session.db.units.Append(unit);
            session.repetitions.record(n).unitId = n <= learnt ? n : 0;
        }
        session.repetitions.recordHighWater = learnt + 5;
    }

    static void Tone(const std::string& path, std::int16_t value) {
        WriteWav16(path, std::vector<std::int16_t>(800, value), 1, 8000);
    }

    // Rows 1..10 hold "word<i>" meaning "znaczenie<i>", the right column in the given order of
    // meanings (1-based), each row's recording a tone of its own.
    MatchingRound Round(const std::vector<int>& order) {
        MatchingRound round;
        for (std::size_t i = 0; i < kMatchingPairs; ++i) {
            round.foreignWords[i] = "word" + std::to_string(i + 1);
            round.meanings[i] = "znaczenie" + std::to_string(i + 1);
            round.shuffled[i] = "znaczenie" + std::to_string(order[i]);
            round.recordings[i] = dir.path() + "rec" + std::to_string(i + 1) + ".wav";
            Tone(round.recordings[i], static_cast<std::int16_t>(kRecordingSound + i + 1));
        }
        return round;
    }

    TempDir dir;
    FixedClock clock{45000.0};
    SeededRandom random{11};
    AppContext context;
    CaptureDevice oggOut;
    CaptureDevice fileOut;
    PlayAtOnce waiter;
    SoundPlayer player;
    std::vector<std::int16_t> heard;
    QStringList helpPages;
};

QLabel* Row(MatchingWindow& window, const char* side, int row) {
    return Find<QLabel>(&window, (std::string(side) + std::to_string(row)).c_str());
}
void Click(MatchingWindow& window, const char* side, int row) {
    QTest::mouseClick(Row(window, side, row), Qt::LeftButton, {}, QPoint(5, 5));
}
QColor Ink(QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

}  // namespace

class MatchingWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void offeredOnlyWithMoreThanHundredWords() {
        for (const int learnt : {100, 101}) {
            Installation inst(learnt);
            MatchingWindow window(inst.context);
            window.SetRandom(&inst.random);
            bool wasVisible = false;
            if (learnt > 100) {
                QTimer::singleShot(0, &window, [&] {
                    wasVisible = window.isVisible();
                    QTest::keyClick(&window, Qt::Key_Escape);
                });
            }
            const bool shown = window.OfferMatching();
            QCOMPARE(shown, learnt == 101);
            QCOMPARE(wasVisible, shown);
            QCOMPARE(inst.heard.empty(), !shown);
            if (shown) {
                QCOMPARE(inst.heard.front(), kSentSound);
                QCOMPARE(window.windowTitle(), QStringLiteral("Dydaktor - Kojarzenie"));
                QCOMPARE(window.size(), QSize(800, 600));
                QCOMPARE(Find<QLabel>(&window, "L_Wynik")->text(), QStringLiteral("0 %"));
                QStringList meanings;
                for (int i = 1; i <= kMatchingPairs; ++i) {
                    QVERIFY(Row(window, "LL", i)->text().startsWith(QStringLiteral("word")));
                    meanings.append(Row(window, "LR", i)->text());
                    QCOMPARE(Row(window, "LL", i)->geometry().topLeft(), QPoint(20, 120 + 30 * i));
                    QCOMPARE(Row(window, "LR", i)->geometry().topLeft(), QPoint(300, 120 + 30 * i));
                }
                // The right column holds the meanings of the left column's words.
                for (int i = 1; i <= kMatchingPairs; ++i) {
                    const QString word = Row(window, "LL", i)->text();
                    QVERIFY(meanings.contains(QStringLiteral("znaczenie") + word.mid(4)));
                }
            }
        }
    }

    void clicksMoveMeaningsAndFlashTheRow() {
        Installation inst(0);
        MatchingWindow window(inst.context);
        window.Start(inst.Round({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        Click(window, "LL", 3);
        QVERIFY(Row(window, "LL", 3)->font().underline());
        QVERIFY(Row(window, "LL", 3)->font().bold());
        Click(window, "LR", 7);
        QCOMPARE(Row(window, "LR", 3)->text(), QStringLiteral("znaczenie7"));
        QCOMPARE(Row(window, "LR", 7)->text(), QStringLiteral("znaczenie3"));
        QVERIFY(!Row(window, "LL", 3)->font().underline());
        QCOMPARE(Ink(Row(window, "LL", 3)), kNavy);
        QCOMPARE(Ink(Row(window, "LR", 3)), kNavy);
        QCOMPARE(Ink(Row(window, "LR", 7)), kBlack);

        auto* timer = Find<QTimer>(&window, "Timer1");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 1500);
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
        QVERIFY(!timer->isActive());
        QCOMPARE(Ink(Row(window, "LL", 3)), kBlack);
        QCOMPARE(Ink(Row(window, "LR", 3)), kBlack);

        // Two meanings exchange their rows without a flash.
        Click(window, "LR", 1);
        QVERIFY(Row(window, "LR", 1)->font().underline());
        Click(window, "LR", 2);
        QCOMPARE(Row(window, "LR", 1)->text(), QStringLiteral("znaczenie2"));
        QCOMPARE(Row(window, "LR", 2)->text(), QStringLiteral("znaczenie1"));
        QVERIFY(!Row(window, "LR", 1)->font().underline());
        QVERIFY(!timer->isActive());
    }

    void checkScoresUntilSolved() {
        Installation inst(0);
        MatchingWindow window(inst.context);
        window.Start(inst.Round({2, 3, 1, 4, 5, 6, 7, 8, 9, 10}));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        inst.heard.clear();
        auto* check = Find<ImageButton>(&window, "K_Sprawdz");
        auto* score = Find<QLabel>(&window, "L_Wynik");

        Click(window, "LL", 1);
        Click(window, "LR", 2);  // rows 1 and 2 exchange: row 2 right, row 1 flashes
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(score->text(), QStringLiteral("80 %"));
        QVERIFY(!Find<QTimer>(&window, "Timer1")->isActive());
        QCOMPARE(Ink(Row(window, "LR", 2)), kNavy);
        QCOMPARE(Ink(Row(window, "LL", 2)), kNavy);
        QCOMPARE(Ink(Row(window, "LL", 1)), kBlack);
        QCOMPARE(Ink(Row(window, "LR", 3)), kBlack);
        QVERIFY(check->isVisible());
        QVERIFY(inst.heard.empty());

        Click(window, "LR", 3);
        Click(window, "LL", 1);
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(score->text(), QStringLiteral("100 %"));
        QVERIFY(!check->isVisible());
        QCOMPARE(inst.heard, std::vector<std::int16_t>{kSuccessSound});
        for (int i = 1; i <= kMatchingPairs; ++i) {
            QCOMPARE(Ink(Row(window, "LL", i)), kNavy);
        }

        // Solved: a word plays its row's recording, the meanings stay where they are.
        Click(window, "LL", 5);
        QCOMPARE(inst.heard.back(), static_cast<std::int16_t>(kRecordingSound + 5));
        Click(window, "LR", 1);
        Click(window, "LR", 4);
        QCOMPARE(Row(window, "LR", 1)->text(), QStringLiteral("znaczenie1"));
        QVERIFY(!Row(window, "LR", 1)->font().underline());
    }

    void keysAndCloseButton() {
        for (const bool escape : {true, false}) {
            Installation inst(0);
            MatchingWindow window(inst.context);
            window.Start(inst.Round({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTest::keyClick(&window, Qt::Key_F1);
            QCOMPARE(inst.helpPages, QStringList{QStringLiteral("jak.html")});
            if (escape) {
                QTest::keyClick(&window, Qt::Key_Escape);
            } else {
                QTest::mouseClick(Find<ImageButton>(&window, "B_zamknij"), Qt::LeftButton);
            }
            QVERIFY(!window.isVisible());
        }
    }
};

QTEST_MAIN(MatchingWindowTest)
#include "matching_window_test.moc"
