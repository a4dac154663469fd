// The interlude windows driven through their controls on a copy of the sample English course:
// the quotation with its translation and recording, the fact, the picture over the screen, the
// sounds they start in order, item numbers out of range, and the scheduler opening them.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/codepage.h"
#include "core/interlude_packs.h"
#include "core/login.h"
#include "core/paths.h"
#include "find_control.h"
#include "runner/interludes.h"
#include "sample_installation.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/runner/interlude_windows.h"
#include "ui/widgets/ui_text.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;
using namespace Qt::StringLiterals;

namespace {

// A learner logged into the sample English course; `edit` may change the course's files first.
struct Course {
    explicit Course(const std::function<void(const std::string& databaseDir)>& edit = {})
        : context(clock) {
        LinkInstallation(DYD_SAMPLE, dir.path());
        if (edit) {
            edit(dir.path() + "db/angielski/");
        }
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        ok = Login(context.programPaths, "angielski", 1, "Ewa", clock, context.session).status ==
             LoginStatus::Opened;
        windows = std::make_unique<InterludeWindows>(context, nullptr);
        windows->SetPlayedHook([this](const std::string& file) { played.push_back(file); });
    }

    std::string File(const std::string& relative) const {
        return ResolvePath(context.session.paths.databaseDir, relative);
    }

    TempDir dir;
    FixedClock clock{45000.0};
    AppContext context;
    bool ok = false;
    std::unique_ptr<InterludeWindows> windows;
    std::vector<std::string> played;
};

// Replaces the first line of a course file with a Windows-1250 line.
void ReplaceFirstLine(const std::string& file, const std::string& utf8Line) {
    std::ifstream in(file, std::ios::binary);
    std::string rest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    rest.erase(0, rest.find('\n'));
    std::filesystem::remove(file);  // a copy, never the sample itself
    std::ofstream(file, std::ios::binary) << FromUtf8(utf8Line, CodePage::Cp1250).value() << rest;
}

// Runs `inspect` on the modal window once it is up, then makes sure it is gone, so a window that
// fails to close cannot hang the test.
class OnModal {
  public:
    explicit OnModal(std::function<void(QWidget*)> inspect) : inspect_(std::move(inspect)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || done_) {
                return;
            }
            done_ = true;
            name = modal->objectName();
            inspect_(modal);
            closedByControl = !modal->isVisible();
            if (modal->isVisible()) {
                modal->close();
            }
        });
        timer_.start();
    }

    QString name;
    bool closedByControl = false;

  private:
    std::function<void(QWidget*)> inspect_;
    QTimer timer_;
    bool done_ = false;
};

QString Text(QWidget* window, const char* label) {
    return Find<QLabel>(window, label)->text();
}

}  // namespace

class InterludeWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void quotationShowsTranslationAndPlaysItsRecording();
    void quotationWithoutTranslationOrRecording();
    void itemsOutOfRangeShowTheFirst();
    void pictureFillsTheScreenAndClosesOnAClick();
    void missingPictureShowsTheDescriptionAlone();
    void schedulerOpensTheWindowOfThePack_data();
    void schedulerOpensTheWindowOfThePack();
    void matchingGoesThroughTheOffer();
};

void InterludeWindowsTest::quotationShowsTranslationAndPlaysItsRecording() {
    Course course;
    QVERIFY(course.ok);
    OnModal modal([&](QWidget* w) {
        QCOMPARE(Text(w, "L_Ang"), u"All that glitters is not gold."_s);
        QCOMPARE(Text(w, "L_Opis"),
                 u"Stare przysłowie, znane też z dramatu Szekspira Kupiec wenecki."_s);
        auto* translation = Find<QLabel>(w, "L_Pol");
        auto* translate = Find<QAbstractButton>(w, "K_Tlum");
        auto* play = Find<QAbstractButton>(w, "K_Graj");
        QVERIFY(!translation->isVisible());
        QVERIFY(translate->isVisible());
        QVERIFY(play->isVisible());
        QCOMPARE(play->toolTip(), u"Czytaj"_s);
        const std::string recording = course.File("bssent/d_roz.cdr/s1003.ogg");
        QCOMPARE(course.played, (std::vector<std::string>{course.File("b2.wav"), recording}));

        QTest::keyClick(w, Qt::Key_Space);
        QVERIFY(translation->isVisible());
        QVERIFY(!translate->isVisible());
        QCOMPARE(translation->text(), u"Nie wszystko złoto, co się świeci."_s);

        QTest::mouseClick(play, Qt::LeftButton);
        QTest::mouseClick(Find<QLabel>(w, "L_Ang"), Qt::LeftButton);
        QCOMPARE(course.played.size(), 4U);
        QCOMPARE(course.played[3], recording);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    course.windows->ShowQuotation(1, 3);
    QCOMPARE(modal.name, u"TForm18"_s);
    QVERIFY(modal.closedByControl);

    // The translation button itself, and Enter to close.
    OnModal again([&](QWidget* w) {
        QTest::mouseClick(Find<QAbstractButton>(w, "K_Tlum"), Qt::LeftButton);
        QVERIFY(Find<QLabel>(w, "L_Pol")->isVisible());
        QVERIFY(!Find<QAbstractButton>(w, "K_Tlum")->isVisible());
        QTest::keyClick(w, Qt::Key_Return);
    });
    course.windows->ShowQuotation(1, 3);
    QVERIFY(again.closedByControl);
}

void InterludeWindowsTest::quotationWithoutTranslationOrRecording() {
    // One quotation with neither, one whose recording file does not exist.
    Course course([](const std::string& db) {
        ReplaceFirstLine(db + "cytaty.txt", "Carpe diem, quam minimum credula postero.==");
        ReplaceFirstLine(db + "cytaty2.txt", "Veni, vidi, vici.=brak.ogg=Przybyłem, zobaczyłem.=");
    });
    QVERIFY(course.ok);
    for (int pack : {1, 6}) {
        course.played.clear();
        OnModal modal([&](QWidget* w) {
            QCOMPARE(Find<QAbstractButton>(w, "K_Tlum")->isVisible(), pack == 6);
            QVERIFY(!Find<QAbstractButton>(w, "K_Graj")->isVisible());
            QCOMPARE(course.played, std::vector<std::string>{course.File("b2.wav")});
            QTest::mouseClick(Find<QLabel>(w, "L_Ang"), Qt::LeftButton);
            QTest::keyClick(w, Qt::Key_Space);
            QCOMPARE(Find<QLabel>(w, "L_Pol")->isVisible(), pack == 6);
            QCOMPARE(course.played.size(), 1U);
            QTest::mouseClick(Find<QAbstractButton>(w, "B_zamknij"), Qt::LeftButton);
        });
        course.windows->ShowQuotation(pack, 1);
        QCOMPARE(modal.name, u"TForm18"_s);
        QVERIFY(modal.closedByControl);
    }
}

void InterludeWindowsTest::itemsOutOfRangeShowTheFirst() {
    Course course;
    QVERIFY(course.ok);
    const InterludePacks& packs = course.context.session.packs;
    QCOMPARE(packs[2].kind, static_cast<int>(kFacts));
    const QString firstFact = Polish(packs[2].facts[0]);
    const QString firstQuotation = u"An apple a day keeps the doctor away."_s;
    for (int item : {0, -3, packs[2].itemCount + 1}) {
        OnModal fact([&](QWidget* w) {
            QCOMPARE(w->objectName(), u"TForm38"_s);
            QCOMPARE(Text(w, "L_Ang"), firstFact);
            QVERIFY(Text(w, "L_Opis").isEmpty());
            QVERIFY(!Find<QLabel>(w, "L_Pol")->isVisible());
            QVERIFY(!Find<QAbstractButton>(w, "K_Tlum")->isVisible());
            QVERIFY(!Find<QAbstractButton>(w, "K_Graj")->isVisible());
            QTest::keyClick(w, Qt::Key_Enter);
        });
        course.windows->ShowFact(2, item);
        QVERIFY(fact.closedByControl);
    }
    for (int item : {0, -3, packs[1].itemCount + 1}) {
        OnModal quotation([&](QWidget* w) {
            QCOMPARE(Text(w, "L_Ang"), firstQuotation);
            QTest::keyClick(w, Qt::Key_Escape);
        });
        course.windows->ShowQuotation(1, item);
        QVERIFY(quotation.closedByControl);
    }
    // The fact window plays the cue alone.
    QCOMPARE(course.played[0], course.File("b2.wav"));
}

void InterludeWindowsTest::pictureFillsTheScreenAndClosesOnAClick() {
    Course course;
    QVERIFY(course.ok);
    const InterludePack& pack = course.context.session.packs[3];
    QVERIFY(pack.itemCount >= 2);
    OnModal modal([&](QWidget* w) {
        const QRect screen = w->screen()->geometry();
        QCOMPARE(w->geometry(), screen);
        QCOMPARE(Text(w, "L_Opis"), u"Kot śpi na kanapie - the cat is sleeping on the sofa."_s);
        auto* description = Find<QLabel>(w, "L_Opis");
        QCOMPARE(description->geometry().bottom() + 1, screen.height() - 18);
        QCOMPARE(Find<QLabel>(w, "Image1")->geometry(), QRect(QPoint(0, 0), screen.size()));
        auto* picture = Find<QLabel>(w, "Image2");
        QVERIFY(picture->isVisible());
        // The sample's pictures are 640 x 480: kept as they are on a larger screen, centred.
        const PicturePlacement place = PlacePicture(640, 480, screen.width(), screen.height());
        QCOMPARE(picture->geometry(), QRect(place.left, place.top, place.width, place.height));
        QCOMPARE(picture->pixmap().size(), QSize(place.width, place.height));
        QCOMPARE(course.played, std::vector<std::string>{course.File("b2.wav")});
        QTest::mouseClick(picture, Qt::LeftButton);
    });
    course.windows->ShowPicture(3, pack.itemCount + 4);
    QCOMPARE(modal.name, u"TForm16"_s);
    QVERIFY(modal.closedByControl);
    QCOMPARE(course.windows->pictureWindow().pictureFile(), course.File("pa/01/0101.jpg"));

    OnModal escape([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    course.windows->ShowPicture(3, 2);
    QVERIFY(escape.closedByControl);
    QCOMPARE(course.windows->pictureWindow().pictureFile(), course.File("pa/01/0102.jpg"));
}

void InterludeWindowsTest::missingPictureShowsTheDescriptionAlone() {
    Course course([](const std::string& db) {
        ReplaceFirstLine(db + "obrazki1.txt", "pa9999===Obrazka nie ma.=");
        std::filesystem::remove(db + "b2.wav");
    });
    QVERIFY(course.ok);
    OnModal modal([&](QWidget* w) {
        QVERIFY(!Find<QLabel>(w, "Image2")->isVisible());
        QCOMPARE(Text(w, "L_Opis"), u"Obrazka nie ma."_s);
        QVERIFY(course.played.empty());
        QTest::mouseClick(w, Qt::LeftButton);
    });
    course.windows->ShowPicture(3, 1);
    QVERIFY(modal.closedByControl);
    QVERIFY(course.windows->pictureWindow().pictureFile().empty());
}

void InterludeWindowsTest::schedulerOpensTheWindowOfThePack_data() {
    QTest::addColumn<int>("pack");
    QTest::addColumn<QString>("window");
    QTest::newRow("quotations") << 1 << u"TForm18"_s;
    QTest::newRow("facts") << 2 << u"TForm38"_s;
    QTest::newRow("pictures zd1") << 3 << u"TForm16"_s;
    QTest::newRow("pictures zd2") << 4 << u"TForm16"_s;
}

void InterludeWindowsTest::schedulerOpensTheWindowOfThePack() {
    QFETCH(int, pack);
    QFETCH(QString, window);
    Course course;
    QVERIFY(course.ok);
    Settings& settings = course.context.session.settings;
    settings.interludeEnabled.fill(false);
    settings.interludeEnabled[static_cast<std::size_t>(pack)] = true;
    settings.interludePosition[static_cast<std::size_t>(pack)] = 0;
    InterludeScheduler scheduler;
    scheduler.Reset();
    OnModal modal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QVERIFY(scheduler.Run(course.context.session.packs, settings, *course.windows));
    QCOMPARE(modal.name, window);
    QVERIFY(modal.closedByControl);
    QCOMPARE(settings.interludePosition[static_cast<std::size_t>(pack)], 1);
}

void InterludeWindowsTest::matchingGoesThroughTheOffer() {
    Course course;
    QVERIFY(course.ok);
    QCOMPARE(course.context.session.packs[5].kind, static_cast<int>(kMatching));
    Settings& settings = course.context.session.settings;
    settings.interludeEnabled.fill(false);
    settings.interludeEnabled[5] = true;
    InterludeScheduler scheduler;
    scheduler.Reset();
    QVERIFY(!course.windows->OfferMatching());
    QVERIFY(!scheduler.Run(course.context.session.packs, settings, *course.windows));

    int offers = 0;
    course.windows->SetMatchingOffer([&] {
        ++offers;
        return true;
    });
    scheduler.Reset();
    QVERIFY(scheduler.Run(course.context.session.packs, settings, *course.windows));
    QCOMPARE(offers, 1);
}

QTEST_MAIN(InterludeWindowsTest)
#include "interlude_windows_test.moc"
