// Pictures of the shared dialogs of the content tools in their usual states, written as PNG files
// to the folder named by the first argument (default: the current folder): the set parameters
// over the groups of the English sample course, and the file chooser in recording mode with a
// recording clicked and in folder mode. Each screen is also checked: the visible controls lie
// inside their window, do not overlap one another and their texts are not cut off.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <memory>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "find_control.h"
#include "modal_steps.h"
#include "sample_installation.h"
#include "screen_check.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/shell/file_chooser_window.h"
#include "ui/shell/set_parameters_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::ModalSteps;
using dyd::test::TempDir;

namespace {

QString g_outputDir = QStringLiteral(".");

}  // namespace

class DialogGalleryTest : public QObject {
    Q_OBJECT

  private:
    TempDir dir_;
    FixedClock clock_{45000.4};
    std::unique_ptr<AppContext> context_;
    QStringList problems_;

    // Saves the picture of the window as dialog_<name>.png and notes what is wrong with it.
    void Take(QWidget* window, const QString& name) {
        dyd::test::TakePicture(window, QStringLiteral("%1/dialog_%2.png").arg(g_outputDir, name),
                               name, {}, problems_);
    }

    // Waits until the list has read its folder.
    static bool Filled(QListView* list, int atLeast) {
        for (int i = 0; i < 2000 && list->model()->rowCount(list->rootIndex()) < atLeast; ++i) {
            QTest::qWait(5);
        }
        return list->model()->rowCount(list->rootIndex()) >= atLeast;
    }

  private slots:
    void initTestCase() {
        LinkInstallation(DYD_SAMPLE, dir_.path());
        context_ = std::make_unique<AppContext>(clock_);
        context_->programPaths.programDir = dir_.path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_.path());
        QCOMPARE(Login(context_->programPaths, "angielski", 1, "Ewa", clock_, context_->session)
                     .status,
                 LoginStatus::Opened);
    }

    void init() { problems_.clear(); }

    void setParameters() {
        SetParametersWindow window(*context_);
        ModalSteps steps(QStringLiteral("TForm15"), {[&](QDialog* d) {
                             Find<QLineEdit>(d, "E_Nazwa")->insert(QStringLiteral("Moje zwierzęta"));
                             Find<QComboBox>(d, "CB_Poziom")->setCurrentIndex(1);
                             Take(d, QStringLiteral("set_parameters"));
                         }});
        window.Ask();
        QVERIFY(steps.done());
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QStringLiteral("; "))));
    }

    void fileChooser() {
        const QString recordings =
            QDir::cleanPath(QString::fromStdString(dir_.path()) + QStringLiteral("/db/niemiecki/nagrania/D_60/dd_600"));
        FileChooserWindow window(*context_);
        window.Prepare(FileChooserMode::Recording);
        ModalSteps steps(QStringLiteral("TForm34"),
                         {[&](QDialog* d) {
                              window.OpenFolder(recordings);
                              auto* files = Find<QListView>(d, "LB_Pliki");
                              QVERIFY(Filled(files, 2));
                              const QModelIndex second = files->model()->index(1, 0, files->rootIndex());
                              QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                                                files->visualRect(second).center());
                              QVERIFY(Find<QWidget>(d, "k_graj")->isVisible());
                              Take(d, QStringLiteral("file_chooser_recording"));
                              QTest::keyClick(d, Qt::Key_Escape);
                          },
                          [&](QDialog* d) {
                              window.OpenFolder(QString::fromStdString(dir_.path()));
                              QVERIFY(Filled(Find<QListView>(d, "LB_Katalogi"), 3));
                              Take(d, QStringLiteral("file_chooser_folder"));
                              QTest::keyClick(d, Qt::Key_Escape);
                          }});
        window.Choose(FileChooserMode::Recording);
        window.Choose(FileChooserMode::Folder, QStringLiteral("Wybierz katalog z plikami do importu"));
        QVERIFY(steps.done());
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
    DialogGalleryTest test;
    return QTest::qExec(&test, static_cast<int>(args.size()), args.data());
}

#include "dialog_gallery_test.moc"
