// Pictures of the dictionary hand-over window and of the presentation (showing a unit and its
// translation, and with its options open), written as PNG files to the folder named by the
// first argument (default: the current folder). Each screen is also checked: the visible
// controls lie inside their window, do not overlap one another and their texts are not cut off.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>
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
#include "ui/content/presentation_window.h"
#include "ui/session/dictionary_window.h"
#include "ui/session/plan_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

QString g_outputDir = QStringLiteral(".");

constexpr double kToday = 45000.0;

// The picture of the presentation lies under its texts; its options panel opens over the
// options button's corner.
const dyd::test::ScreenRules kRules = {
    {QStringLiteral("Image1")}, {QStringLiteral("Panel")}, {}, {QStringLiteral("Panel")}};

void WhenModal(const std::function<void(QDialog*)>& action) {
    QTimer::singleShot(0, [action] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr) {
            qWarning("no modal window");
            return;
        }
        action(modal);
        if (QApplication::activeModalWidget() == modal) {
            QTest::keyClick(modal, Qt::Key_Escape);
        }
    });
}

}  // namespace

class HandoverGalleryTest : public QObject {
    Q_OBJECT

  private:
    TempDir dir_;
    FixedClock clock_{kToday};
    std::unique_ptr<AppContext> context_;
    QStringList problems_;

    LearnerSession& session() { return context_->session; }

    void Take(QWidget* window, const QString& name) {
        dyd::test::TakePicture(window, QStringLiteral("%1/%2.png").arg(g_outputDir, name),
                               name, kRules, problems_);
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
    }

    void init() { problems_.clear(); }

    // Seven units picked in the dictionary, one code the course lacks.
    void dictionary() {
        std::string list;
        for (int i = 1; i <= 10; ++i) {
            list += "Slownik\r\n";
        }
        for (int u : {3, 8, 12, 15, 21, 26, 30}) {
            list += std::to_string(session().db.units.unit(u).unitId) + "\r\n";
        }
        list += "99999\r\n";
        dyd::test::WriteBytes(session().paths.userDir + "angielskislow.txt", list);
        PlanWindow plan(*context_);
        DictionaryWindow window(*context_, &plan);
        bool seen = false;
        WhenModal([&](QDialog* w) {
            seen = true;
            Find<QListWidget>(w, "ListBox1")->setCurrentRow(2);
            Take(w, QStringLiteral("handover_dictionary"));
        });
        window.ShowDictionaryUnits();
        QVERIFY(seen);
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QStringLiteral("; "))));
    }

    // A sentence with its translation, and a word with the options open.
    void presentation() {
        const int sentence = session().db.units.wordUnitCount + 1;
        session().plan.rows.clear();
        for (int u : {sentence, 5}) {
            PlanRow row;
            row.unitNumber = u;
            session().plan.rows.push_back(row);
        }
        session().settings.presentationBackground = 0;
        PresentationWindow window(*context_);
        bool seen = false;
        WhenModal([&](QDialog* w) {
            seen = true;
            auto* timer = Find<PresentationTimerObject>(w, "Timer1");
            timer->Fire();
            timer->Fire();
            Take(w, QStringLiteral("handover_presentation"));
            timer->Fire();
            QTest::mouseClick(Find<QAbstractButton>(w, "K_opcje"), Qt::LeftButton);
            Take(w, QStringLiteral("handover_presentation_options"));
        });
        window.ShowPresentation();
        QVERIFY(seen);
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QStringLiteral("; "))));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The first argument, when it is not an option of the test runner, names the folder.
    std::vector<char*> args(argv, argv + argc);
    if (argc > 1 && argv[1][0] != '-') {
        g_outputDir = QString::fromLocal8Bit(argv[1]);
        args.erase(args.begin() + 1);
    } else {
        g_outputDir = QDir::currentPath();
    }
    QDir().mkpath(g_outputDir);
    HandoverGalleryTest test;
    return QTest::qExec(&test, static_cast<int>(args.size()), args.data());
}

#include "handover_gallery_test.moc"
