// Pictures of the unit editor, written as PNG files to the folder named by the first argument
// (default: the current folder): the editor for a new word in its low layout, each kind in the
// tall one and a unit being edited. Each screen is also checked: the visible controls lie inside their
// window, do not overlap one another and their texts are not cut off.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/clock.h"
#include "core/paths.h"
#include "find_control.h"
#include "sample_installation.h"
#include "screen_check.h"
#include "sound/wav_file.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/content/unit_editor_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

QString g_outputDir = QStringLiteral(".");

void Type(QWidget* window, const char* field, const QString& text) {
    Find<QLineEdit>(window, field)->setText(text);
    emit Find<QLineEdit>(window, field)->textEdited(text);
}

}  // namespace

class EditorGalleryTest : public QObject {
    Q_OBJECT

  private:
    TempDir dir_;
    FixedClock clock_{46000.4};
    std::unique_ptr<AppContext> context_;
    QStringList problems_;

    void Take(QWidget* window, const QString& name) {
        dyd::test::TakePicture(window, QStringLiteral("%1/editor_%2.png").arg(g_outputDir, name),
                               name, {}, problems_);
    }

    std::unique_ptr<UnitEditorWindow> Editor(int unit = 0) {
        auto window = std::make_unique<UnitEditorWindow>(*context_);
        window->Prepare(unit);
        window->show();
        QTest::qWaitForWindowExposed(window.get());
        return window;
    }

  private slots:
    void initTestCase() {
        LinkInstallation(DYD_SAMPLE, dir_.path());
        context_ = std::make_unique<AppContext>(clock_);
        context_->programPaths.programDir = dir_.path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_.path());
        LearnerSession& s = context_->session;
        s.paths = context_->programPaths;
        s.paths.databaseDir = dir_.path() + "db/moja/";
        s.paths.userDir = dir_.path() + "1/";
        s.paths.databaseCode = "moja";
        std::filesystem::create_directories(s.paths.databaseDir + "wav");
        s.db.params.language = 2;
        s.db.params.learnerMade = true;
        s.db.params.userIdLow = 1;
        s.db.params.userIdHigh = 99000;
        s.db.groups = {DefaultGroup(), Group{60, 1, "", "Zwierz\xEAta", ""}};
        Unit sentence;
        sentence.unitId = 5;
        sentence.recordingSource = 1;
        sentence.unitKind = kSentenceUnit;
        sentence.level = 3;
        sentence.partOfSpeech = 5;
        sentence.groupId = 60;
        sentence.foreignText = "Der <Hund> schl\xE4" "ft.";
        sentence.nativeText = "pies";
        sentence.sentenceTranslation = "Pies \x9Cpi.";
        sentence.distractors = "Katze/Maus";
        sentence.recording = "5.wav";
        s.db.units.Append(sentence);
        WriteWav16(s.paths.databaseDir + "wav/hund.wav", std::vector<std::int16_t>(8000, 200), 1,
                   8000);
    }

    void theEditorInEachKindAndHeight() {
        auto window = Editor();
        Type(window.get(), "E_Ang", QStringLiteral("der Hund"));
        Type(window.get(), "E_Pol", QStringLiteral("pies"));
        Type(window.get(), "E_Synonimy", QStringLiteral("der Köter"));
        Take(window.get(), QStringLiteral("word_low"));
        QTest::mouseClick(Find<QAbstractButton>(window.get(), "k_opcje_wiecej"), Qt::LeftButton);
        Type(window.get(), "E_L_Mnoga", QStringLiteral("die Hunde"));
        Type(window.get(), "E_Komentarz", QStringLiteral("rodzaj męski"));
        Type(window.get(), "E_Podpowiedz", QStringLiteral("H..."));
        Find<QComboBox>(window.get(), "CB_Rodzaj")->setCurrentIndex(0);
        Take(window.get(), QStringLiteral("word_tall"));
        auto* kind = Find<QComboBox>(window.get(), "CB_Typ_Cw");
        kind->setCurrentIndex(1);
        Type(window.get(), "E_Ang", QStringLiteral("Ich <bin> hier."));
        Type(window.get(), "E_Pol", QStringLiteral("jestem"));
        Type(window.get(), "E_Synonimy", QStringLiteral("Jestem tutaj."));
        Type(window.get(), "E_Podpowiedz", QStringLiteral("ist/sind"));
        Take(window.get(), QStringLiteral("sentence_tall"));
        kind->setCurrentIndex(2);
        Type(window.get(), "E_Ang", QStringLiteral("Hauptstadt von Polen?"));
        Type(window.get(), "E_Pol", QStringLiteral("Warszawa"));
        Take(window.get(), QStringLiteral("qa_tall"));
        window->hide();

        auto edit = Editor(1);
        QTest::mouseClick(Find<QAbstractButton>(edit.get(), "k_opcje_wiecej"), Qt::LeftButton);
        Take(edit.get(), QStringLiteral("edit_sentence"));
        edit->hide();
    }

    void cleanupTestCase() {
        if (!problems_.isEmpty()) {
            QFAIL(qPrintable(problems_.join(QLatin1Char('\n'))));
        }
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
    EditorGalleryTest test;
    return QTest::qExec(&test, static_cast<int>(args.size()), args.data());
}

#include "editor_gallery_test.moc"
