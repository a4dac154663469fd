#include "ui/shell/startup.h"

#include <QStringList>
#include <cmath>

#include "core/files.h"
#include "core/paths.h"
#include "core/scheduling.h"
#include "core/single_instance.h"
#include "session/statistics_figures.h"
#include "sound/audio_factory.h"
#include "sound/sound_player.h"
#include "content/unit_editor.h"
#include "core/learner_files.h"
#include "ui/content/examples_window.h"
#include "ui/content/browser_window.h"
#include "ui/content/search_options_window.h"
#include "ui/content/unit_editor_window.h"
#include "ui/content/presentation_window.h"
#include "ui/runner/answer_popup.h"
#include "ui/runner/interlude_windows.h"
#include "ui/runner/matching_window.h"
#include "ui/runner/runner_window.h"
#include "ui/session/dictionary_window.h"
#include "ui/session/kind_marks_window.h"
#include "ui/session/learning_window.h"
#include "ui/session/plan_window.h"
#include "ui/session/repetition_overview_window.h"
#include "ui/session/set_chooser_window.h"
#include "ui/session/statistics_window.h"
#include "ui/session/summary_window.h"
#include "ui/settings/import_window.h"
#include "ui/settings/settings_window.h"
#include "ui/shell/backdrop_window.h"
#include "ui/shell/comment_dialog.h"
#include "ui/shell/database_parameters_window.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/file_chooser_window.h"
#include "ui/shell/help_viewer.h"
#include "ui/shell/login_window.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/new_user_window.h"
#include "ui/shell/progress_window.h"
#include "ui/shell/set_parameters_window.h"
#include "ui/widgets/after_first_paint.h"
#include "ui/widgets/ui_text.h"

namespace dyd::ui {

bool ScreenLargeEnough(QSize screen) {
    return screen.width() >= kMinScreenWidth && screen.height() >= kMinScreenHeight;
}

bool RecommendedDpi(double logicalDpi) {
    return std::abs(logicalDpi - kRecommendedDpi) < 0.5;
}

QString DpiRecommendationText() {
    return QStringLiteral(
        "Zalecamy aby czcionka w systemie była ustawiona jako: \"Mała czcionka\" (96 dpi). "
        "Niektóre elementy programu mogą wyświetlać się niepoprawnie.");
}

Program::Program(const Clock& clock) : context_(clock) {}

Program::~Program() = default;

bool Program::Start(const StartupEnvironment& environment) {
    const auto say = [&environment](const QString& text) {
        if (environment.standardBox) {
            environment.standardBox(text);
        }
    };

    const ProgramPathsResult paths =
        ComputeProgramPaths(environment.programFile, environment.changeCurrentFolder);
    if (paths.status == ProgramPathsStatus::CannotSetFolder) {
        say(Utf8(kCannotFindDirectory));
    }
    if (paths.status == ProgramPathsStatus::MarkerMissing) {
        say(Utf8(kMarkerMissingMessage));
        return false;
    }
    context_.programPaths = paths.paths;
    context_.programPaths.databaseCode.clear();

    // Temporary files of writes that a killed copy never renamed, tidied while no other copy
    // runs on this installation.
    bool alone = false;
    installationLock_ = InstallationLock::Take(context_.programPaths.programDir, &alone);
    if (alone) {
        RemoveInstallationLeftovers(context_.programPaths.programDir);
    }

    // The button pictures come first: every window draws its buttons from them. A picture that
    // cannot be used leaves its buttons drawn as text.
    context_.images.Load(context_.programPaths.programDir);
    if (!context_.images.errors().empty()) {
        QStringList errors;
        for (const QString& error : context_.images.errors()) {
            errors.append(error);
        }
        say(errors.join(QLatin1Char('\n')));
    }

    CreateWindows();

    if (!RecommendedDpi(environment.logicalDpi)) {
        say(DpiRecommendationText());
    }
    if (!ScreenLargeEnough(environment.screenSize)) {
        say(QString::fromUtf8(kScreenTooSmallText));
        return false;
    }
    return true;
}

void Program::CreateWindows() {
    // The main menu is the main window; the dialogs belong to it and open over it. Only what the
    // login shows is made here: a window nobody opens costs nothing, and its pictures are decoded
    // when it is made.
    mainMenu_ = std::make_unique<MainMenuWindow>(context_);
    progress_ = std::make_unique<ProgressWindow>();
    backdrop_ = std::make_unique<BackdropWindow>();
    login_ = new LoginWindow(context_, mainMenu_.get());

    context_.openHelp = [this](const QString& page) { helpViewer()->ShowPage(page); };

    login_->SetNewUserWindow([this] { return newUserWindow(); });
    login_->SetParametersWindow([this] { return parametersWindow(); });
    ProgressWindow* progress = progress_.get();
    login_->SetProgress([progress](std::string_view title, int position) {
        progress->Report(Utf8(title), position);
    });

    mainMenu_->SetDialogs([this] { return messageBox(); }, [this] { return yesNoDialog(); });
    mainMenu_->SetProgressWindow(progress);
    if (random_ == nullptr) {
        ownRandom_ = std::make_unique<SeededRandom>();
        random_ = ownRandom_.get();
    }
    SetMainMenuActions();
}

void Program::SetMainMenuActions() {
    MainMenuActions actions;
    actions.learning = [this] { learningWindow()->exec(); };
    actions.settings = [this] { settingsWindow()->ShowSettingsScreen(); };
    actions.newUnit = [this] { NewUnits(); };
    actions.results = [this] { setChooser()->ShowChooser(SetChooserWindow::Mode::Results); };
    actions.exerciseSets = [this] { setChooser()->ShowChooser(SetChooserWindow::Mode::Sets); };
    actions.dictionaryUnits = [this] { dictionaryWindow()->ShowDictionaryUnits(); };
    actions.browser = [this] { browserWindow()->Browse(); };
    mainMenu_->SetActions(std::move(actions));
}

// ---- windows made when first asked for ---------------------------------------------------

MessageBox* Program::messageBox() {
    if (messageBox_ == nullptr) {
        messageBox_ = new MessageBox(context_, mainMenu_.get());
    }
    return messageBox_;
}

NewUserWindow* Program::newUserWindow() {
    if (newUser_ == nullptr) {
        newUser_ = new NewUserWindow(context_, mainMenu_.get());
    }
    return newUser_;
}

YesNoDialog* Program::yesNoDialog() {
    if (yesNo_ == nullptr) {
        yesNo_ = new YesNoDialog(context_, mainMenu_.get());
    }
    return yesNo_;
}

HelpViewer* Program::helpViewer() {
    if (help_ == nullptr) {
        help_ = new HelpViewer(context_, mainMenu_.get());
    }
    return help_;
}

ConfirmationDialog* Program::confirmationDialog() {
    if (confirmation_ == nullptr) {
        confirmation_ = new ConfirmationDialog(context_, mainMenu_.get());
    }
    return confirmation_;
}

DatabaseParametersWindow* Program::parametersWindow() {
    if (parameters_ == nullptr) {
        parameters_ = new DatabaseParametersWindow(context_, mainMenu_.get());
    }
    return parameters_;
}

RunnerWindow* Program::runnerWindow() {
    if (runner_ == nullptr) {
        runner_ = new RunnerWindow(context_, mainMenu_.get());
        WireRunner();
    }
    return runner_;
}

AnswerPopup* Program::answerPopup() {
    if (answerPopup_ == nullptr) {
        // The popup opens over the modal runner, which must let its keys through.
        answerPopup_ = new AnswerPopup(context_, runnerWindow());
    }
    return answerPopup_;
}

PlanWindow* Program::planWindow() {
    if (plan_ == nullptr) {
        plan_ = new PlanWindow(context_, mainMenu_.get());
        plan_->SetMessageBox(messageBox());
        plan_->SetProgressWindow(progress_.get());
        plan_->SetSummary([this] { summaryWindow()->ShowSummary(); });
        plan_->SetRunner([this] { runnerWindow()->RunKind(context_.session.plan.currentKind); });
        plan_->SetPresentation([this] { presentationWindow()->ShowPresentation(); });
    }
    return plan_;
}

LearningWindow* Program::learningWindow() {
    if (learning_ == nullptr) {
        learning_ = new LearningWindow(
            context_, planWindow(), [this] { overviewWindow()->ShowOverview(); }, mainMenu_.get());
        learning_->SetMessageBox(messageBox());
        learning_->SetRandom(random_);
    }
    return learning_;
}

RepetitionOverviewWindow* Program::overviewWindow() {
    if (overview_ == nullptr) {
        overview_ = new RepetitionOverviewWindow(context_, mainMenu_.get());
    }
    return overview_;
}

StatisticsWindow* Program::statisticsWindow() {
    if (statistics_ == nullptr) {
        statistics_ = new StatisticsWindow(context_, mainMenu_.get());
    }
    return statistics_;
}

CommentDialog* Program::commentDialog() {
    if (comment_ == nullptr) {
        comment_ = new CommentDialog(context_, mainMenu_.get());
    }
    return comment_;
}

KindMarksWindow* Program::kindMarksWindow() {
    if (kindMarks_ == nullptr) {
        kindMarks_ = new KindMarksWindow(context_, mainMenu_.get());
    }
    return kindMarks_;
}

ExamplesWindow* Program::examplesWindow() {
    if (examples_ == nullptr) {
        examples_ = new ExamplesWindow(context_, mainMenu_.get());
    }
    return examples_;
}

SummaryWindow* Program::summaryWindow() {
    if (summary_ == nullptr) {
        summary_ = new SummaryWindow(context_, mainMenu_.get());
        summary_->SetMessageBox(messageBox());
    }
    return summary_;
}

MatchingWindow* Program::matchingWindow() {
    if (matching_ == nullptr) {
        matching_ = new MatchingWindow(context_, mainMenu_.get());
        matching_->SetRandom(random_);
    }
    return matching_;
}

SettingsWindow* Program::settingsWindow() {
    if (settings_ == nullptr) {
        settings_ = new SettingsWindow(context_, mainMenu_.get());
        settings_->SetDialogs(messageBox(), confirmationDialog());
        settings_->SetParametersWindow(parametersWindow());
        // The import of earlier repetitions opens over the settings screen.
        auto* import = new ImportWindow(context_, settings_);
        import->SetProgressWindow(progress_.get());
        settings_->SetImportAction([import] { import->Run(); });
    }
    return settings_;
}

UnitEditorWindow* Program::unitEditor() {
    if (unitEditor_ == nullptr) {
        unitEditor_ = new UnitEditorWindow(context_, mainMenu_.get());
        WireUnitEditor();
    }
    return unitEditor_;
}

SetParametersWindow* Program::setParametersWindow() {
    if (setParameters_ == nullptr) {
        setParameters_ = new SetParametersWindow(context_, mainMenu_.get());
    }
    return setParameters_;
}

FileChooserWindow* Program::fileChooser() {
    if (fileChooser_ == nullptr) {
        fileChooser_ = new FileChooserWindow(context_, mainMenu_.get());
    }
    return fileChooser_;
}

SetChooserWindow* Program::setChooser() {
    if (chooser_ == nullptr) {
        chooser_ = new SetChooserWindow(context_, planWindow(), mainMenu_.get());
        chooser_->SetDialogs(messageBox(), confirmationDialog());
        chooser_->SetExampleSentencesFlag([this] { return learningWindow()->attachExampleSentences(); });
        chooser_->SetCatalogueChanged([this] { mainMenu_->UpdateExerciseSetsButton(); });
    }
    return chooser_;
}

DictionaryWindow* Program::dictionaryWindow() {
    if (dictionary_ == nullptr) {
        dictionary_ = new DictionaryWindow(context_, planWindow(), mainMenu_.get());
        dictionary_->SetMessageBox(messageBox());
    }
    return dictionary_;
}

PresentationWindow* Program::presentationWindow() {
    if (presentation_ == nullptr) {
        presentation_ = new PresentationWindow(context_, mainMenu_.get());
    }
    return presentation_;
}

BrowserWindow* Program::browserWindow() {
    if (browser_ == nullptr) {
        browser_ = new BrowserWindow(context_, mainMenu_.get());
        WireBrowser();
    }
    return browser_;
}

SearchOptionsWindow* Program::searchOptionsWindow() {
    if (searchOptions_ == nullptr) {
        searchOptions_ = new SearchOptionsWindow(context_, browserWindow());
    }
    return searchOptions_;
}

// ---- wiring of the larger windows --------------------------------------------------------

void Program::WireRunner() {
    runner_->SetDialogs(messageBox(), confirmationDialog());
    runner_->SetRandom(*random_);
    runner_->SetInterludeScheduler(interludes_);
    RunnerWindowHooks hooks;
    hooks.kindMarks = [this](int unitNumber) { kindMarksWindow()->ShowFor(unitNumber); };
    hooks.examples = [this](const std::string& text, const std::string& searchText) {
        examplesWindow()->ShowExamples(text, searchText);
    };
    hooks.editComment = [this](const QString& shown, int maxLength) -> std::optional<std::string> {
        std::optional<QString> edited = commentDialog()->Ask(QString(), shown, maxLength);
        if (!edited) {
            return std::nullopt;
        }
        return edited->toStdString();
    };
    hooks.statistics = [this](const RunStatistics& run) {
        ExerciseScore score;
        score.right = run.right;
        score.wrong = run.wrong;
        score.planned = run.planned;
        score.finished = run.finished;
        score.stepCount = run.stepCount;
        score.rowsPending = run.canGoBack;
        return statisticsWindow()->ShowScore(score);
    };
    hooks.answerPopup = [this](const QString& answer) { answerPopup()->ShowAnswer(answer); };
    interludeWindows_ = std::make_unique<InterludeWindows>(context_, runner_);
    interludeWindows_->SetMatchingOffer([this] { return matchingWindow()->OfferMatching(); });
    hooks.interludes = interludeWindows_.get();
    runner_->SetHooks(std::move(hooks));
    // The microphone of K_nagraj, owned by the runner window; its errors go to the message box.
    Recorder* recorder = MakeRecorder(
        context_.programPaths.programDir,
        [this] {
            if (context_.sound != nullptr) {
                context_.sound->CloseMediaPlayer();
            }
        },
        [this](const std::string& message) { messageBox()->ShowMessage(Utf8(message)); },
        runner_);
    runner_->SetRecorder(*recorder);
}

void Program::WireUnitEditor() {
    UnitEditorDialogs dialogs;
    dialogs.messages = messageBox();
    dialogs.confirmation = confirmationDialog();
    dialogs.prompt = commentDialog();
    dialogs.chooseRecording = [this] { return fileChooser()->Choose(FileChooserMode::Recording); };
    dialogs.askSetParameters = [this]() -> std::optional<EditorSetParameters> {
        const std::optional<SetParameters> chosen = setParametersWindow()->Ask();
        if (!chosen) {
            return std::nullopt;
        }
        return EditorSetParameters{chosen->name, chosen->groupId, chosen->level};
    };
    dialogs.setsChanged = [this] { mainMenu_->UpdateExerciseSetsButton(); };
    unitEditor_->SetDialogs(std::move(dialogs));
    Recorder* recorder = MakeRecorder(
        context_.programPaths.programDir,
        [this] {
            if (context_.sound != nullptr) {
                context_.sound->CloseMediaPlayer();
            }
        },
        [this](const std::string& message) { messageBox()->ShowMessage(Utf8(message)); },
        unitEditor_);
    unitEditor_->SetRecorder(*recorder);
}

void Program::WireBrowser() {
    BrowserDialogs browserDialogs;
    browserDialogs.messages = messageBox();
    browserDialogs.confirmation = confirmationDialog();
    browserDialogs.comment = commentDialog();
    browserDialogs.progress = progress_.get();
    browserDialogs.editUnit = [this](int unit, std::vector<int>& composed) {
        return unitEditor()->Edit(unit, &composed);
    };
    browserDialogs.askSetParameters = [this] { return setParametersWindow()->Ask(); };
    browserDialogs.chooseSet = [this] { return setChooser()->ChooseSetModally(); };
    browserDialogs.openPlan = [this](const std::string& info) { planWindow()->Open(info); };
    browserDialogs.chooseFile = [this] { return fileChooser()->Choose(FileChooserMode::AnyFile); };
    browserDialogs.chooseFolder = [this] { return fileChooser()->Choose(FileChooserMode::Folder); };
    browserDialogs.exampleSentences = [this] { return learningWindow()->attachExampleSentences(); };
    browserDialogs.setsChanged = [this] { mainMenu_->UpdateExerciseSetsButton(); };
    browserDialogs.askSearch = [this]() -> std::optional<BrowserQuery> {
        SearchOptionsWindow* options = searchOptionsWindow();
        if (!options->Ask()) {
            return std::nullopt;
        }
        return BrowserQuery{options->queryText().toStdString(), options->foreignQuery(),
                            options->polishQuery(), options->flags()};
    };
    browser_->SetDialogs(std::move(browserDialogs));
}

void Program::NewUnits() {
    UnitEditorWindow* editor = unitEditor();
    editor->Edit(0);
    if (!editor->unitsStored()) {
        return;  // nothing new: a learner-units file that failed to load stays as it is
    }
    progress_->Report(Utf8(kSavingTitle), 80);
    const SaveLearnerUnitsResult saved =
        SaveLearnerUnits(context_.session.paths, context_.session.db.units);
    progress_->hide();
    const std::string problem = LearnerUnitsSaveProblem(saved);
    if (!problem.empty()) {
        messageBox()->ShowMessage(Utf8(problem));
    }
}

bool Program::LogIn() {
    context_.programPaths.databaseCode.clear();
    backdrop_->ShowOverScreen();
    // The main menu's background is decoded while the learner chooses his name.
    MainMenuWindow* menu = mainMenu_.get();
    RunAfterFirstPaint(login_, [menu] { menu->PreparePictures(); });
    if (login_->exec() != QDialog::Accepted || login_->mustEnd()) {
        progress_->hide();
        return false;
    }
    // Every login loads the settings afresh: the interludes count down from the start again.
    interludes_.Reset();
    mainMenu_->ApplyLogin(login_->loginResult(), login_->TakeReadAheadExtra());
    login_->ReleaseUntilShown();
    // What the login's reading left (the files' bytes, a course read ahead for an earlier
    // choice) goes back to the system once the menu is on the screen.
    RunAfterFirstPaint(mainMenu_.get(), [] { ReleaseFreeMemory(); });
    mainMenu_->show();
    mainMenu_->raise();
    mainMenu_->activateWindow();
    return true;
}

}  // namespace dyd::ui
