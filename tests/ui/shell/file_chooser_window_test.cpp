// The file chooser driven through its lists and buttons while it runs modally, over a small tree
// of folders: what each mode lists and gives back, the play button of recording mode, the places,
// the keys, the folder kept from the last choice, and a confirm without a chosen file.

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QListView>
#include <QListWidget>
#include <QTest>
#include <optional>
#include <string>

#include "core/clock.h"
#include "find_control.h"
#include "modal_steps.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/shell/file_chooser_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::ModalSteps;
using dyd::test::TempDir;
using dyd::test::WriteBytes;

namespace {

const QString kWindow = QStringLiteral("TForm34");

QListView* Folders(QWidget* d) {
    return Find<QListView>(d, "LB_Katalogi");
}
QListView* Files(QWidget* d) {
    return Find<QListView>(d, "LB_Pliki");
}
QListWidget* Places(QWidget* d) {
    return Find<QListWidget>(d, "LB_Miejsca");
}

// The names a list shows under its root, once the model has read the folder.
QStringList Shown(QListView* list) {
    const QAbstractItemModel* model = list->model();
    QStringList names;
    const QModelIndex root = list->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row) {
        names << model->index(row, 0, root).data().toString();
    }
    names.sort();
    return names;
}

// Waits until the list shows exactly the names (the model reads folders in the background).
bool ShowsSoon(QListView* list, const QStringList& names) {
    QElapsedTimer waited;
    waited.start();
    while (Shown(list) != names && waited.elapsed() < 10000) {
        QTest::qWait(5);
    }
    if (Shown(list) != names) {
        qWarning("%s shows %s under %s", qPrintable(list->objectName()),
                 qPrintable(Shown(list).join(u',')),
                 qPrintable(list->rootIndex().data(QFileSystemModel::FilePathRole).toString()));
        return false;
    }
    return true;
}

// The item of the name, waited for while the model reads the folder (a loaded machine may take
// seconds).
QModelIndex Item(QListView* list, const QString& name) {
    QElapsedTimer waited;
    waited.start();
    do {
        const QModelIndex root = list->rootIndex();
        for (int row = 0; row < list->model()->rowCount(root); ++row) {
            const QModelIndex index = list->model()->index(row, 0, root);
            if (index.data().toString() == name) {
                return index;
            }
        }
        QTest::qWait(5);
    } while (waited.elapsed() < 10000);
    qFatal("no item %s", qPrintable(name));
}

void ClickItem(QListView* list, const QString& name) {
    const QModelIndex index = Item(list, name);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

void DoubleClickItem(QListView* list, const QString& name) {
    const QModelIndex index = Item(list, name);
    list->scrollTo(index);
    const QPoint at = list->visualRect(index).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

bool Shows(QWidget* d, const char* name) {
    return Find<QWidget>(d, name)->isVisible();
}

}  // namespace

class FileChooserWindowTest : public QObject {
    Q_OBJECT

  private:
    FixedClock clock_{45000.0};
    AppContext context_{clock_};
    TempDir dir_;
    QString root_;

  private slots:
    void initTestCase() {
        // The installation folder holds a folder of recordings with a subfolder, and a note.
        WriteBytes(dir_.path() + "nagrania/kot.wav", "RIFF");
        WriteBytes(dir_.path() + "nagrania/PIES.WAV", "RIFF");
        WriteBytes(dir_.path() + "nagrania/opis.txt", "opis");
        WriteBytes(dir_.path() + "nagrania/stare/mysz.wav", "RIFF");
        WriteBytes(dir_.path() + "czytaj.txt", "tekst");
        context_.programPaths.programDir = dir_.path();
        context_.programPaths.languageDir = "Lang_s/0/";
        root_ = QDir::cleanPath(QString::fromStdString(dir_.path()));
    }

    void recordingModeListsWavFilesAndReturnsTheDoubleClickedOne() {
        FileChooserWindow window(context_);
        QString openedIn;
        bool playAfterClick = false;
        bool playAfterFolderChange = true;
        ModalSteps steps(kWindow, {[&](QDialog* d) {
                             openedIn = window.currentFolder();
                             QVERIFY(ShowsSoon(Folders(d), {QStringLiteral(".."),
                                                            QStringLiteral("nagrania")}));
                             QVERIFY(ShowsSoon(Files(d), {}));  // czytaj.txt is not a recording
                             QVERIFY(!Shows(d, "k_graj"));
                             DoubleClickItem(Folders(d), QStringLiteral("nagrania"));
                             QVERIFY(ShowsSoon(Files(d), {QStringLiteral("PIES.WAV"),
                                                          QStringLiteral("kot.wav")}));
                             ClickItem(Files(d), QStringLiteral("kot.wav"));
                             playAfterClick = Shows(d, "k_graj");
                             DoubleClickItem(Folders(d), QStringLiteral("stare"));
                             QVERIFY(ShowsSoon(Files(d), {QStringLiteral("mysz.wav")}));
                             playAfterFolderChange = Shows(d, "k_graj");
                             DoubleClickItem(Folders(d), QStringLiteral(".."));
                             QVERIFY(ShowsSoon(Files(d), {QStringLiteral("PIES.WAV"),
                                                          QStringLiteral("kot.wav")}));
                             DoubleClickItem(Files(d), QStringLiteral("PIES.WAV"));
                         }});
        const std::optional<std::string> chosen = window.Choose(FileChooserMode::Recording);
        QVERIFY(!steps.leftOpen());
        QCOMPARE(openedIn, root_);
        QVERIFY(playAfterClick);
        QVERIFY(!playAfterFolderChange);
        QCOMPARE(chosen, std::optional<std::string>(dir_.path() + "nagrania/PIES.WAV"));
    }

    // Runs after a file of nagrania/ was chosen: every chooser now opens there.
    void opensInTheFolderOfTheLastChoiceAndCancelsWithNothing() {
        struct Case {
            const char* name;
            ModalSteps::Step step;
        };
        const Case cases[] = {
            {"Escape", [](QDialog* d) { QTest::keyClick(Files(d), Qt::Key_Escape); }},
            {"close button",
             [](QDialog* d) {
                 QTest::mouseClick(Find<QAbstractButton>(d, "B_Zamknij"), Qt::LeftButton);
             }},
        };
        for (const Case& c : cases) {
            FileChooserWindow window(context_);
            QString openedIn;
            ModalSteps steps(kWindow, {[&](QDialog* d) {
                                 openedIn = window.currentFolder();
                                 ClickItem(Files(d), QStringLiteral("kot.wav"));
                                 // A folder changed and then left by cancelling is not kept.
                                 DoubleClickItem(Folders(d), QStringLiteral("stare"));
                                 QVERIFY(ShowsSoon(Files(d), {QStringLiteral("mysz.wav")}));
                                 c.step(d);
                             }});
            QVERIFY2(!window.Choose(FileChooserMode::AnyFile).has_value(), c.name);
            QVERIFY2(!steps.leftOpen(), c.name);
            QCOMPARE(openedIn, root_ + QStringLiteral("/nagrania"));
        }
    }

    void anyFileModeListsEveryFileAndWantsOneChosen() {
        FileChooserWindow window(context_);
        ModalSteps steps(kWindow, {[&](QDialog* d) {
                             QVERIFY(ShowsSoon(Files(d), {QStringLiteral("PIES.WAV"),
                                                          QStringLiteral("kot.wav"),
                                                          QStringLiteral("opis.txt")}));
                             QTest::mouseClick(Find<QAbstractButton>(d, "K_OK"), Qt::LeftButton);
                         },
                                   [&](QDialog* d) {
                                       // Not in recording mode: no play button.
                                       ClickItem(Files(d), QStringLiteral("opis.txt"));
                                       QVERIFY(!Shows(d, "k_graj"));
                                       QTest::keyClick(Files(d), Qt::Key_Return);
                                   }});
        const std::optional<std::string> chosen =
            window.Choose(FileChooserMode::AnyFile, QStringLiteral("Plik z pytaniami"));
        QCOMPARE(steps.messages(), QStringList{QStringLiteral("Nie wybrano pliku.")});
        QCOMPARE(window.windowTitle(), QStringLiteral("Plik z pytaniami"));
        QCOMPARE(chosen, std::optional<std::string>(dir_.path() + "nagrania/opis.txt"));
    }

    void folderModeReturnsTheFolderShown() {
        FileChooserWindow window(context_);
        ModalSteps steps(kWindow, {[&](QDialog* d) {
                             QVERIFY(ShowsSoon(Folders(d), {QStringLiteral(".."),
                                                            QStringLiteral("stare")}));
                             // Enter in the folder list opens the folder and chooses nothing.
                             Folders(d)->setFocus();
                             Folders(d)->setCurrentIndex(Item(Folders(d), QStringLiteral("stare")));
                             QTest::keyClick(Folders(d), Qt::Key_Return);
                             QVERIFY(ShowsSoon(Files(d), {QStringLiteral("mysz.wav")}));
                             QVERIFY(d->isVisible());
                             // Backspace goes up a folder.
                             QTest::keyClick(Folders(d), Qt::Key_Backspace);
                             QCOMPARE(window.currentFolder(), root_ + QStringLiteral("/nagrania"));
                             QVERIFY(ShowsSoon(Folders(d), {QStringLiteral(".."),
                                                            QStringLiteral("stare")}));
                             DoubleClickItem(Folders(d), QStringLiteral("stare"));
                             QTest::mouseClick(Find<QAbstractButton>(d, "K_OK"), Qt::LeftButton);
                         }});
        const std::optional<std::string> chosen = window.Choose(FileChooserMode::Folder);
        QVERIFY(!steps.leftOpen());
        QCOMPARE(chosen, std::optional<std::string>(dir_.path() + "nagrania/stare"));
        // The next chooser opens in the chosen folder itself.
        FileChooserWindow next(context_);
        next.Prepare(FileChooserMode::Recording);
        QCOMPARE(next.currentFolder(), root_ + QStringLiteral("/nagrania/stare"));
    }

    void placesHoldTheHomeTheInstallationAndTheRoot() {
        FileChooserWindow window(context_);
        window.Prepare(FileChooserMode::AnyFile);
        QListWidget* places = Places(&window);
        QStringList paths;
        for (int row = 0; row < places->count(); ++row) {
            paths << places->item(row)->data(Qt::UserRole).toString();
        }
        QVERIFY2(paths.contains(QDir::cleanPath(QDir::homePath())), qPrintable(paths.join(u',')));
        QVERIFY(paths.contains(root_));
        QVERIFY(paths.contains(QStringLiteral("/")));
        QVERIFY(!paths.contains(QStringLiteral("/proc")));
        // The installation folder is marked while the chooser is inside it.
        QCOMPARE(places->currentItem()->data(Qt::UserRole).toString(), root_);

        ModalSteps steps(kWindow, {[&](QDialog* d) {
                             QListWidgetItem* home = Places(d)->item(
                                 static_cast<int>(paths.indexOf(QDir::cleanPath(QDir::homePath()))));
                             QTest::mouseClick(Places(d)->viewport(), Qt::LeftButton, {},
                                               Places(d)->visualItemRect(home).center());
                             QTest::keyClick(d, Qt::Key_Escape);
                         }});
        window.Choose(FileChooserMode::AnyFile);
        QCOMPARE(window.currentFolder(), QDir::cleanPath(QDir::homePath()));
    }
};

QTEST_MAIN(FileChooserWindowTest)
#include "file_chooser_window_test.moc"
