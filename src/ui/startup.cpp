#include "ui/startup.h"

#include <QStringList>
#include <cmath>

#include "core/paths.h"
#include "ui/backdrop_window.h"
#include "ui/database_parameters_window.h"
#include "ui/dialogs.h"
#include "ui/help_viewer.h"
#include "ui/login_window.h"
#include "ui/main_menu_window.h"
#include "ui/new_user_window.h"
#include "ui/progress_window.h"
#include "ui/ui_text.h"

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
    newUser_ = new NewUserWindow(context_, owner);
    progress_ = std::make_unique<ProgressWindow>();
    backdrop_ = std::make_unique<BackdropWindow>();
    yesNo_ = new YesNoDialog(context_, owner);
    help_ = new HelpViewer(context_, owner);
    confirmation_ = new ConfirmationDialog(context_, owner);
    parameters_ = new DatabaseParametersWindow(context_, owner);

    context_.openHelp = [this](const QString& page) { help_->ShowPage(page); };

    login_->SetNewUserWindow(newUser_);
    login_->SetParametersWindow(parameters_);
    ProgressWindow* progress = progress_.get();
    login_->SetProgress([progress](std::string_view title, int position) {
        progress->Report(Utf8(title), position);
    });

    mainMenu_->SetDialogs(messageBox_, yesNo_);
    mainMenu_->SetProgressWindow(progress);
}

bool Program::LogIn() {
    context_.programPaths.databaseCode.clear();
    backdrop_->ShowOverScreen();
    if (login_->exec() != QDialog::Accepted || login_->mustEnd()) {
        progress_->hide();
        return false;
    }
    mainMenu_->ApplyLogin(login_->loginResult());
    mainMenu_->show();
    mainMenu_->raise();
    mainMenu_->activateWindow();
    return true;
}

}  // namespace dyd::ui
