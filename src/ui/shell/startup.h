#pragma once

// The start of the program: the folders of the installation and its marker file, every window
// created once in its fixed order, the screen checks, the black backdrop and the modal login,
// after which the main menu is the main window until the program ends.

#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "core/clock.h"
#include "runner/interludes.h"
#include "ui/app_context.h"

namespace dyd {
class InstallationLock;
class SoundPlayer;
}  // namespace dyd

namespace dyd::ui {

class AnswerPopup;
class BackdropWindow;
class CommentDialog;
class ConfirmationDialog;
class DatabaseParametersWindow;
class DictionaryWindow;
class BrowserWindow;
class ExamplesWindow;
class FileChooserWindow;
class HelpViewer;
class InterludeWindows;
class KindMarksWindow;
class LearningWindow;
class LoginWindow;
class MatchingWindow;
class MainMenuWindow;
class MessageBox;
class NewUserWindow;
class PlanWindow;
class PresentationWindow;
class ProgressWindow;
class RepetitionOverviewWindow;
class RunnerWindow;
class SearchOptionsWindow;
class SettingsWindow;
class SetParametersWindow;
class SetChooserWindow;
class StatisticsWindow;
class SummaryWindow;
class UnitEditorWindow;
class YesNoDialog;

inline constexpr const char* kProgramTitle = "Dydaktor 5.0";
inline constexpr const char* kScreenTooSmallText =
    "Program należy uruchamiać w rozdzielczości 800x600 punktów lub większej.";
inline constexpr int kMinScreenWidth = 800;
inline constexpr int kMinScreenHeight = 600;
inline constexpr double kRecommendedDpi = 96;

// A screen of at least 800 by 600 points.
bool ScreenLargeEnough(QSize screen);
// Whether the screen's logical resolution is the one the windows are drawn for.
bool RecommendedDpi(double logicalDpi);
// The advice given when it is not.
QString DpiRecommendationText();

struct StartupEnvironment {
    std::string programFile;  // the program's file; its folder is the installation
    QSize screenSize;
    double logicalDpi = kRecommendedDpi;
    bool changeCurrentFolder = true;
    // The system's standard box, used for the few messages of the start-up.
    std::function<void(const QString& text)> standardBox;
};

class Program final {
  public:
    explicit Program(const Clock& clock);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    void SetSound(SoundPlayer* sound) { context_.sound = sound; }

    // The folders and the installation marker, the button pictures, every window, the screen
    // checks. False when the program must end (its message was given).
    bool Start(const StartupEnvironment& environment);
    // The backdrop, then the login modally; on a login the main menu is shown. False when the
    // learner left the login (or it found the database unusable): the program ends.
    bool LogIn();

    AppContext& context() { return context_; }
    MainMenuWindow* mainMenu() const { return mainMenu_.get(); }
    MessageBox* messageBox() const { return messageBox_; }
    LoginWindow* loginWindow() const { return login_; }
    NewUserWindow* newUserWindow() const { return newUser_; }
    ProgressWindow* progressWindow() const { return progress_.get(); }
    BackdropWindow* backdrop() const { return backdrop_.get(); }
    YesNoDialog* yesNoDialog() const { return yesNo_; }
    HelpViewer* helpViewer() const { return help_; }
    ConfirmationDialog* confirmationDialog() const { return confirmation_; }
    DatabaseParametersWindow* parametersWindow() const { return parameters_; }
    RunnerWindow* runnerWindow() const { return runner_; }
    AnswerPopup* answerPopup() const { return answerPopup_; }
    PlanWindow* planWindow() const { return plan_; }
    LearningWindow* learningWindow() const { return learning_; }
    RepetitionOverviewWindow* overviewWindow() const { return overview_; }
    StatisticsWindow* statisticsWindow() const { return statistics_; }
    CommentDialog* commentDialog() const { return comment_; }
    KindMarksWindow* kindMarksWindow() const { return kindMarks_; }
    ExamplesWindow* examplesWindow() const { return examples_; }
    SummaryWindow* summaryWindow() const { return summary_; }
    MatchingWindow* matchingWindow() const { return matching_; }
    SettingsWindow* settingsWindow() const { return settings_; }
    UnitEditorWindow* unitEditor() const { return unitEditor_; }
    SetParametersWindow* setParametersWindow() const { return setParameters_; }
    FileChooserWindow* fileChooser() const { return fileChooser_; }
    SetChooserWindow* setChooser() const { return chooser_; }
    DictionaryWindow* dictionaryWindow() const { return dictionary_; }
    PresentationWindow* presentationWindow() const { return presentation_; }
    BrowserWindow* browserWindow() const { return browser_; }
    SearchOptionsWindow* searchOptionsWindow() const { return searchOptions_; }

    // The draws of the program (batches, choices, row order, backgrounds); clock-seeded unless a
    // test gives its own before Start.
    void SetRandom(Random* random) { random_ = random; }

  private:
    void CreateWindows();
    void WireSessionWindows();
    void WireContentWindows();
    // "Nowe słówko": the editor for new units, then the learner-units file when it stored any.
    void NewUnits();

    AppContext context_;
    std::unique_ptr<InstallationLock> installationLock_;  // held for the whole run
    // The main menu owns the dialogs (Qt parent); the backdrop and the progress window stand
    // alone.
    std::unique_ptr<MainMenuWindow> mainMenu_;
    std::unique_ptr<ProgressWindow> progress_;
    std::unique_ptr<BackdropWindow> backdrop_;
    MessageBox* messageBox_ = nullptr;
    LoginWindow* login_ = nullptr;
    NewUserWindow* newUser_ = nullptr;
    YesNoDialog* yesNo_ = nullptr;
    HelpViewer* help_ = nullptr;
    ConfirmationDialog* confirmation_ = nullptr;
    DatabaseParametersWindow* parameters_ = nullptr;
    RunnerWindow* runner_ = nullptr;
    AnswerPopup* answerPopup_ = nullptr;
    PlanWindow* plan_ = nullptr;
    LearningWindow* learning_ = nullptr;
    RepetitionOverviewWindow* overview_ = nullptr;
    StatisticsWindow* statistics_ = nullptr;
    CommentDialog* comment_ = nullptr;
    KindMarksWindow* kindMarks_ = nullptr;
    ExamplesWindow* examples_ = nullptr;
    SummaryWindow* summary_ = nullptr;
    MatchingWindow* matching_ = nullptr;
    SettingsWindow* settings_ = nullptr;
    UnitEditorWindow* unitEditor_ = nullptr;
    SetParametersWindow* setParameters_ = nullptr;
    FileChooserWindow* fileChooser_ = nullptr;
    SetChooserWindow* chooser_ = nullptr;
    DictionaryWindow* dictionary_ = nullptr;
    PresentationWindow* presentation_ = nullptr;
    BrowserWindow* browser_ = nullptr;
    SearchOptionsWindow* searchOptions_ = nullptr;

    std::unique_ptr<Random> ownRandom_;
    Random* random_ = nullptr;
    // Lives as long as the program: its countdowns start again whenever the settings are loaded.
    InterludeScheduler interludes_;
    // The quotation, fact and picture windows the scheduler shows between exercise steps; gone
    // before the windows they stand over.
    std::unique_ptr<InterludeWindows> interludeWindows_;
};

}  // namespace dyd::ui
