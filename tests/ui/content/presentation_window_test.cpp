// The presentation (TForm33) driven through its controls on a learner of the English sample
// course, its timer fired by hand and its sound kept by capture outputs: the show over the plan
// rows with what it plays, the options panel and the three settings it stores, the clicks on the
// texts, a unit without a recording and one whose recording cannot be played, and closing in
// any way with the timer and the sound stopped.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "content/presentation.h"
#include "core/clock.h"
#include "core/login.h"
#include "core/markup.h"
#include "core/paths.h"
#include "core/recording_path.h"
#include "find_control.h"
#include "sample_installation.h"
#include "sound/capture_device.h"
#include "sound/sound_player.h"
#include "sound/waiter.h"
#include "sound/wav_file.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/content/presentation_window.h"
#include "ui/widgets/ui_text.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Click;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::Shown;
using dyd::test::TempDir;
using dyd::test::WhenModal;
using dyd::test::WriteBytes;

namespace {

constexpr double kToday = 45000.0;

// A waited-for file is played to its end at once; an Ogg wait holds no one.
class PlayAtOnce final : public Waiter {
  public:
    explicit PlayAtOnce(CaptureDevice& device) : device_(device) {}
    void Sleep(int) override {}
    void WaitUntil(const std::function<bool()>& finished, int) override {
        while (!finished() && device_.ReturnOne()) {
        }
    }

  private:
    CaptureDevice& device_;
};

// A learner of the English sample course; the plan holds a word with a recording of its own, a
// word without any and a sentence whose recording is damaged.
struct Show {
    Show() : context(clock), waiter(fileOut), player(oggOut, fileOut, waiter) {
        LinkInstallation(DYD_SAMPLE, dir.path());
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        ok = Login(context.programPaths, "angielski", 1, "Ewa", clock, context.session).status ==
             LoginStatus::Opened;
        context.sound = &player;
        LearnerSession& session = context.session;
        Settings& settings = session.settings;
        settings.presentationNextDelay = 0;
        settings.presentationTranslationDelay = 0;
        settings.presentationBackground = 0;

        UnitTable& units = session.db.units;
        sentence = units.wordUnitCount + 1;
        std::filesystem::create_directory(session.paths.databaseDir + "wav_3");
        samples.resize(4000);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<std::int16_t>((i * 53) % 12000 - 6000);
        }
        WriteWav16(session.paths.databaseDir + "wav_3/pokaz1.wav", samples, 1, 8000);
        WriteBytes(session.paths.databaseDir + "wav_3/zepsute.wav", "RIFF to nie jest dzwiek");
        Record(1, "pokaz1");
        Record(2, "");
        Record(sentence, "zepsute");
        units.unit(sentence).sentenceTranslation = "Zdanie po polsku.";
        for (int unit : {1, 2, sentence}) {
            PlanRow row;
            row.unitNumber = unit;
            session.plan.rows.push_back(row);
        }
        window = std::make_unique<PresentationWindow>(context);
    }
    void Record(int unit, const std::string& name) {
        Unit& u = context.session.db.units.unit(unit);
        u.recordingSource = 3;
        u.recording = name;
    }
    QString Foreign(int unit) const {
        return dyd::ui::Foreign(StripGapMarkers(context.session.db.units.unit(unit).foreignText),
                                context.session.db.params.foreignCodePage());
    }
    QString Native(int unit) const {
        return Polish(context.session.db.units.unit(unit).nativeText);
    }
    std::string Pcm() const {
        return std::string(reinterpret_cast<const char*>(samples.data()),
                           samples.size() * sizeof(std::int16_t));
    }

    TempDir dir;
    FixedClock clock{kToday};
    AppContext context;
    CaptureDevice oggOut;
    CaptureDevice fileOut;
    PlayAtOnce waiter;
    SoundPlayer player;
    std::vector<std::int16_t> samples;
    int sentence = 0;
    std::unique_ptr<PresentationWindow> window;
    bool ok = false;
};

PresentationTimerObject* Timer(QWidget* w) {
    return Find<PresentationTimerObject>(w, "Timer1");
}
QString Text(QWidget* w, const char* name) {
    return Find<QLabel>(w, name)->text();
}

}  // namespace

class PresentationWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void showsPlaysAndTranslatesEveryRowThenCloses() {
        Show s;
        QVERIFY(s.ok);
        QStringList steps;
        auto note = [&](QWidget* w) {
            steps.append(Text(w, "L_Ang") + QStringLiteral(" | ") + Text(w, "L_Pol") +
                         QStringLiteral(" | ") + QString::number(Timer(w)->interval()));
            QVERIFY(Timer(w)->isActive());
        };
        std::string played;
        std::string error;
        WhenModal([&](QDialog* w) {
            QCOMPARE(w->objectName(), QStringLiteral("TForm33"));
            QVERIFY(!Shown(w, "Panel"));
            QVERIFY(Shown(w, "K_opcje"));
            QCOMPARE(Find<QWidget>(w, "K_opcje")->toolTip(),
                     QStringLiteral("Umożliwia zmianę sposobu wyboru słówek do nauki."));
            QVERIFY(Shown(w, "Image1"));
            QVERIFY(!Find<QLabel>(w, "Image1")->pixmap().isNull());
            note(w);
            Timer(w)->Fire();
            note(w);
            played = s.fileOut.bytes;
            Timer(w)->Fire();
            note(w);
            const int opens = s.fileOut.opens;
            Timer(w)->Fire();  // the word without a recording
            note(w);
            QCOMPARE(s.fileOut.opens, opens);
            QCOMPARE(s.window->lastRecording(), std::string());
            Timer(w)->Fire();
            note(w);
            Timer(w)->Fire();  // the sentence: its recording cannot be played
            note(w);
            error = s.window->lastSoundError();
            Timer(w)->Fire();
            note(w);
            Timer(w)->Fire();  // past the last row
            QVERIFY(!w->isVisible());
        });
        s.window->ShowPresentation();
        const QString dots = QStringLiteral("...");
        QCOMPARE(steps,
                 (QStringList{
                     dots + QStringLiteral(" |  | 600"),
                     s.Foreign(1) + QStringLiteral(" |  | 100"),
                     s.Foreign(1) + QStringLiteral(" | ") + s.Native(1) + QStringLiteral(" | 1000"),
                     s.Foreign(2) + QStringLiteral(" |  | 100"),
                     s.Foreign(2) + QStringLiteral(" | ") + s.Native(2) + QStringLiteral(" | 1000"),
                     s.Foreign(s.sentence) + QStringLiteral(" |  | 100"),
                     s.Foreign(s.sentence) + QStringLiteral(" | Zdanie po polsku. | 1000"),
                 }));
        // The word's recording came out whole, byte for byte.
        QCOMPARE(played.size(), s.Pcm().size());
        QVERIFY(played == s.Pcm());
        QVERIFY(!error.empty());
        QVERIFY(!Timer(s.window.get())->isActive());
        QCOMPARE(s.window->presentation().position(), 4);
    }

    void theOptionsHoldTheShowAndStoreTheirThreeSettings() {
        Show s;
        QVERIFY(s.ok);
        s.context.session.settings.presentationNextDelay = 2;
        s.context.session.settings.presentationTranslationDelay = 3;
        s.context.session.settings.presentationBackground = 1;
        const QImage second = InterfacePicture(s.context.paths(), "prezentacja2.bmp").toImage();
        QVERIFY(!second.isNull());
        WhenModal([&](QDialog* w) {
            auto* next = Find<QComboBox>(w, "CB_Nast");
            auto* translation = Find<QComboBox>(w, "cb_tlum");
            auto* background = Find<QComboBox>(w, "CB_Tlo");
            QCOMPARE(next->currentText(), QStringLiteral("3 sek."));
            QCOMPARE(translation->currentText(), QStringLiteral("3 sek."));
            QCOMPARE(background->currentText(), QStringLiteral("Tło 2"));
            QCOMPARE(translation->itemText(0), QStringLiteral("po chwili"));
            QCOMPARE(background->itemText(2), QStringLiteral("Bez tła"));
            QCOMPARE(Find<QLabel>(w, "Image1")->pixmap().toImage(), second);

            // Opened and left without storing: nothing changes, the show goes on.
            Click(w, "K_opcje");
            QVERIFY(Shown(w, "Panel"));
            QVERIFY(!Shown(w, "K_opcje"));
            QVERIFY(!Timer(w)->isActive());
            next->setCurrentIndex(4);
            Click(w, "K_Zamknij_opcje");
            QVERIFY(!Shown(w, "Panel"));
            QVERIFY(Shown(w, "K_opcje"));
            QVERIFY(Timer(w)->isActive());
            QCOMPARE(s.context.session.settings.presentationNextDelay, 2);

            Click(w, "K_opcje");
            QCOMPARE(next->currentText(), QStringLiteral("5 sek."));
            translation->setCurrentIndex(0);
            background->setCurrentIndex(2);
            Click(w, "k_Zatwierdz");
            QVERIFY(!Shown(w, "Panel"));
            QVERIFY(!Shown(w, "Image1"));
            QVERIFY(Timer(w)->isActive());
            Timer(w)->Fire();
            QCOMPARE(Timer(w)->interval(), 100);  // "po chwili"
            Timer(w)->Fire();
            QCOMPARE(Timer(w)->interval(), 5000);  // "5 sek."
        });
        s.window->ShowPresentation();
        const Settings& settings = s.context.session.settings;
        QCOMPARE(settings.presentationNextDelay, 4);
        QCOMPARE(settings.presentationTranslationDelay, 0);
        QCOMPARE(settings.presentationBackground, 2);
    }

    void aClickOnTheTranslationGoesOnAndOneOnTheTextPlaysAgain() {
        Show s;
        QVERIFY(s.ok);
        WhenModal([&](QDialog* w) {
            Timer(w)->Fire();
            QCOMPARE(Text(w, "L_Ang"), s.Foreign(1));
            const int opens = s.fileOut.opens;
            QTest::mouseClick(Find<QLabel>(w, "L_Ang"), Qt::LeftButton);
            QCOMPARE(s.fileOut.opens, opens + 1);
            QCOMPARE(Text(w, "L_Pol"), QString());
            // Skips the rest of the translation pause and the next one.
            QTest::mouseClick(Find<QLabel>(w, "L_Pol"), Qt::LeftButton);
            QCOMPARE(Text(w, "L_Ang"), s.Foreign(2));
            QCOMPARE(s.window->presentation().position(), 2);
            QCOMPARE(Timer(w)->interval(), 100);
            QVERIFY(Timer(w)->isActive());
        });
        s.window->ShowPresentation();
    }

    void closingInAnyWayStopsTheTimerAndTheSound() {
        Show s;
        QVERIFY(s.ok);
        // An Ogg recording of the course goes on playing after its wait; the outputs hold it.
        const UnitTable& units = s.context.session.db.units;
        int oggUnit = 0;
        for (int u = 1; u <= units.unitCount() && oggUnit == 0; ++u) {
            if (RecordingPath(s.context.session.paths, units.unit(u)).ends_with(".ogg")) {
                oggUnit = u;
            }
        }
        QVERIFY(oggUnit > 0);
        s.context.session.plan.rows[0].unitNumber = oggUnit;
        for (const char* way : {"B_Zamknij", "Escape", "options"}) {
            WhenModal([&](QDialog* w) {
                Timer(w)->Fire();
                QVERIFY(s.player.ogg().playing());
                QVERIFY(Timer(w)->isActive());
                if (std::string(way) == "B_Zamknij") {
                    Click(w, "B_Zamknij");
                } else if (std::string(way) == "Escape") {
                    QTest::keyClick(w, Qt::Key_Escape);
                } else {
                    Click(w, "K_opcje");
                    QTest::keyClick(Find<QComboBox>(w, "CB_Tlo"), Qt::Key_Escape);
                    if (w->isVisible()) {
                        w->close();
                    }
                }
                QVERIFY(!w->isVisible());
            });
            s.window->ShowPresentation();
            QVERIFY2(!Timer(s.window.get())->isActive(), way);
            QVERIFY2(!s.player.ogg().playing(), way);
            QVERIFY2(!s.window->presentation().running(), way);
        }
    }
};

QTEST_MAIN(PresentationWindowTest)
#include "presentation_window_test.moc"
