#include "ui/shell/startup.h"

#include <QStringList>
#include <cmath>

#include "core/files.h"
#include "core/paths.h"
#include "core/scheduling.h"
#include "core/single_instance.h"
#include "session/statistics_figures.h"
#include "sound/qt_recorder.h"
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
    // The main menu is the main window; the dialogs belong to it and open over it.
    mainMenu_ = std::make_unique<MainMenuWindow>(context_);
    QWidget* owner = mainMenu_.get();
    messageBox_ = new MessageBox(context_, owner);
    login_ = new LoginWindow(context_, owner);
    runner_ = new RunnerWindow(context_, owner);
    // The popup opens over the modal runner, which must let its keys through.
    answerPopup_ = new AnswerPopup(context_, runner_);
    plan_ = new PlanWindow(context_, owner);
    newUser_ = new NewUserWindow(context_, owner);
    learning_ = new LearningWindow(
        context_, plan_, [this] { overview_->ShowOverview(); }, owner);
    progress_ = std::make_unique<ProgressWindow>();
    matching_ = new MatchingWindow(context_, owner);
    overview_ = new RepetitionOverviewWindow(context_, owner);
    backdrop_ = std::make_unique<BackdropWindow>();
    yesNo_ = new YesNoDialog(context_, owner);
    statistics_ = new StatisticsWindow(context_, owner);
    comment_ = new CommentDialog(context_, owner);
    help_ = new HelpViewer(context_, owner);
    confirmation_ = new ConfirmationDialog(context_, owner);
    kindMarks_ = new KindMarksWindow(context_, owner);
    examples_ = new ExamplesWindow(context_, owner);
    summary_ = new SummaryWindow(context_, owner);
    parameters_ = new DatabaseParametersWindow(context_, owner);
    settings_ = new SettingsWindow(context_, owner);
    unitEditor_ = new UnitEditorWindow(context_, owner);
    setParameters_ = new SetParametersWindow(context_, owner);
    fileChooser_ = new FileChooserWindow(context_, owner);
    chooser_ = new SetChooserWindow(context_, plan_, owner);
    dictionary_ = new DictionaryWindow(context_, plan_, owner);
    presentation_ = new PresentationWindow(context_, owner);
    browser_ = new BrowserWindow(context_, owner);
    searchOptions_ = new SearchOptionsWindow(context_, browser_);

    context_.openHelp = [this](const QString& page) { help_->ShowPage(page); };

    login_->SetNewUserWindow(newUser_);
    login_->SetParametersWindow(parameters_);
    ProgressWindow* progress = progress_.get();
    login_->SetProgress([progress](std::string_view title, int position) {
        progress->Report(Utf8(title), position);
    });

    settings_->SetDialogs(messageBox_, confirmation_);
    settings_->SetParametersWindow(parameters_);
    // The import of earlier repetitions opens over the settings screen.
    auto* import = new ImportWindow(context_, settings_);
    import->SetProgressWindow(progress);
    settings_->SetImportAction([import] { import->Run(); });
    mainMenu_->SetDialogs(messageBox_, yesNo_);
    mainMenu_->SetProgressWindow(progress);
    WireSessionWindows();
    WireContentWindows();
}

void Program::WireSessionWindows() {
    if (random_ == nullptr) {
        ownRandom_ = std::make_unique<SeededRandom>();
        random_ = ownRandom_.get();
    }
    learning_->SetMessageBox(messageBox_);
    learning_->SetRandom(random_);
    plan_->SetMessageBox(messageBox_);
    plan_->SetProgressWindow(progress_.get());
    plan_->SetSummary([this] { summary_->ShowSummary(); });
    plan_->SetRunner([this] { runner_->RunKind(context_.session.plan.currentKind); });
    plan_->SetPresentation([this] { presentation_->ShowPresentation(); });
    dictionary_->SetMessageBox(messageBox_);
    summary_->SetMessageBox(messageBox_);

    runner_->SetDialogs(messageBox_, confirmation_);
    runner_->SetRandom(*random_);
    runner_->SetInterludeScheduler(interludes_);
    RunnerWindowHooks hooks;
    hooks.kindMarks = [this](int unitNumber) { kindMarks_->ShowFor(unitNumber); };
    hooks.examples = [this](const std::string& text, const std::string& searchText) {
        examples_->ShowExamples(text, searchText);
    };
    hooks.editComment = [this](const QString& shown, int maxLength) -> std::optional<std::string> {
        std::optional<QString> edited = comment_->Ask(QString(), shown, maxLength);
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
        return statistics_->ShowScore(score);
    };
    hooks.answerPopup = [this](const QString& answer) { answerPopup_->ShowAnswer(answer); };
    interludeWindows_ = std::make_unique<InterludeWindows>(context_, runner_);
    matching_->SetRandom(random_);
    interludeWindows_->SetMatchingOffer([this] { return matching_->OfferMatching(); });
    hooks.interludes = interludeWindows_.get();
    runner_->SetHooks(std::move(hooks));
    // The microphone of K_nagraj, owned by the runner window; its errors go to the message box.
    auto* recorder = new QtRecorder(
        context_.programPaths.programDir,
        [this] {
            if (context_.sound != nullptr) {
                context_.sound->CloseMediaPlayer();
            }
        },
        [this](const std::string& message) { messageBox_->ShowMessage(Utf8(message)); }, runner_);
    runner_->SetRecorder(*recorder);

    MainMenuActions actions;
    actions.learning = [this] { learning_->exec(); };
    actions.settings = [this] { settings_->ShowSettingsScreen(); };
    actions.newUnit = [this] { NewUnits(); };
    chooser_->SetDialogs(messageBox_, confirmation_);
    chooser_->SetExampleSentencesFlag([this] { return learning_->attachExampleSentences(); });
    chooser_->SetCatalogueChanged([this] { mainMenu_->UpdateExerciseSetsButton(); });
    actions.results = [this] { chooser_->ShowChooser(SetChooserWindow::Mode::Results); };
    actions.exerciseSets = [this] { chooser_->ShowChooser(SetChooserWindow::Mode::Sets); };
    actions.dictionaryUnits = [this] { dictionary_->ShowDictionaryUnits(); };
    actions.browser = [this] { browser_->Browse(); };
    mainMenu_->SetActions(std::move(actions));
}

void Program::WireContentWindows() {
    UnitEditorDialogs dialogs;
    dialogs.messages = messageBox_;
    dialogs.confirmation = confirmation_;
    dialogs.prompt = comment_;
    dialogs.chooseRecording = [this] { return fileChooser_->Choose(FileChooserMode::Recording); };
    dialogs.askSetParameters = [this]() -> std::optional<EditorSetParameters> {
        const std::optional<SetParameters> chosen = setParameters_->Ask();
        if (!chosen) {
            return std::nullopt;
        }
        return EditorSetParameters{chosen->name, chosen->groupId, chosen->level};
    };
    dialogs.setsChanged = [this] { mainMenu_->UpdateExerciseSetsButton(); };
    unitEditor_->SetDialogs(std::move(dialogs));
    auto* recorder = new QtRecorder(
        context_.programPaths.programDir,
        [this] {
            if (context_.sound != nullptr) {
                context_.sound->CloseMediaPlayer();
            }
        },
        [this](const std::string& message) { messageBox_->ShowMessage(Utf8(message)); },
        unitEditor_);
    unitEditor_->SetRecorder(*recorder);

    BrowserDialogs browserDialogs;
    browserDialogs.messages = messageBox_;
    browserDialogs.confirmation = confirmation_;
    browserDialogs.comment = comment_;
    browserDialogs.progress = progress_.get();
    browserDialogs.editUnit = [this](int unit, std::vector<int>& composed) {
        return unitEditor_->Edit(unit, &composed);
    };
    browserDialogs.askSetParameters = [this] { return setParameters_->Ask(); };
    browserDialogs.chooseSet = [this] { return chooser_->ChooseSetModally(); };
    browserDialogs.openPlan = [this](const std::string& info) { plan_->Open(info); };
    browserDialogs.chooseFile = [this] { return fileChooser_->Choose(FileChooserMode::AnyFile); };
    browserDialogs.exampleSentences = [this] { return learning_->attachExampleSentences(); };
    browserDialogs.setsChanged = [this] { mainMenu_->UpdateExerciseSetsButton(); };
    browserDialogs.askSearch = [this]() -> std::optional<BrowserQuery> {
        if (!searchOptions_->Ask()) {
            return std::nullopt;
        }
        return BrowserQuery{searchOptions_->queryText().toStdString(),
                            searchOptions_->foreignQuery(), searchOptions_->polishQuery(),
                            searchOptions_->flags()};
    };
    browser_->SetDialogs(std::move(browserDialogs));
}

void Program::NewUnits() {
    unitEditor_->Edit(0);
    if (!unitEditor_->unitsStored()) {
        return;  // nothing new: a learner-units file that failed to load stays as it is
    }
    progress_->Report(Utf8(kSavingTitle), 80);
    const SaveLearnerUnitsResult saved =
        SaveLearnerUnits(context_.session.paths, context_.session.db.units);
    progress_->hide();
    const std::string problem = LearnerUnitsSaveProblem(saved);
    if (!problem.empty()) {
        messageBox_->ShowMessage(Utf8(problem));
    }
}

bool Program::LogIn() {
    context_.programPaths.databaseCode.clear();
    backdrop_->ShowOverScreen();
    if (login_->exec() != QDialog::Accepted || login_->mustEnd()) {
        progress_->hide();
        return false;
    }
    // Every login loads the settings afresh: the interludes count down from the start again.
    interludes_.Reset();
    mainMenu_->ApplyLogin(login_->loginResult());
    mainMenu_->show();
    mainMenu_->raise();
    mainMenu_->activateWindow();
    return true;
}

}  // namespace dyd::ui
