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
    // The windows. The main menu, the login, the backdrop and the progress window are made by
    // Start; every other window is made when it is first asked for (by the program or a test),
    // wired to the windows it uses, and lives until the program ends.
    MainMenuWindow* mainMenu() const { return mainMenu_.get(); }
    LoginWindow* loginWindow() const { return login_; }
    ProgressWindow* progressWindow() const { return progress_.get(); }
    BackdropWindow* backdrop() const { return backdrop_.get(); }
    MessageBox* messageBox();
    NewUserWindow* newUserWindow();
    YesNoDialog* yesNoDialog();
    HelpViewer* helpViewer();
    ConfirmationDialog* confirmationDialog();
    DatabaseParametersWindow* parametersWindow();
    RunnerWindow* runnerWindow();
    AnswerPopup* answerPopup();
    PlanWindow* planWindow();
    LearningWindow* learningWindow();
    RepetitionOverviewWindow* overviewWindow();
    StatisticsWindow* statisticsWindow();
    CommentDialog* commentDialog();
    KindMarksWindow* kindMarksWindow();
    ExamplesWindow* examplesWindow();
    SummaryWindow* summaryWindow();
    MatchingWindow* matchingWindow();
    SettingsWindow* settingsWindow();
    UnitEditorWindow* unitEditor();
    SetParametersWindow* setParametersWindow();
    FileChooserWindow* fileChooser();
    SetChooserWindow* setChooser();
    DictionaryWindow* dictionaryWindow();
    PresentationWindow* presentationWindow();
    BrowserWindow* browserWindow();
    SearchOptionsWindow* searchOptionsWindow();

    // The draws of the program (batches, choices, row order, backgrounds); clock-seeded unless a
    // test gives its own before Start.
    void SetRandom(Random* random) { random_ = random; }

  private:
    void CreateWindows();
    void WireRunner();
    void WireUnitEditor();
    void WireBrowser();
    void SetMainMenuActions();
    // The main menu's pictures, decoded once the login has been painted.
    void PrepareMainMenuWhenLoginShown();
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
