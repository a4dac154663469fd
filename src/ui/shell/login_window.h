#pragma once

#include <any>
#include <functional>
#include <utility>

// TForm9, the login: the learner picks his name (or makes a new learner) and a course database
// (or makes a new one), and the login opens both in their fixed order while the progress is
// reported. exec() returns Accepted when a learner and a database were opened into
// context.session; Rejected when the learner left (the program then ends).

#include <QImage>

#include "core/database_list.h"
#include "core/login.h"
#include "core/users.h"
#include "ui/widgets/keyed_dialog.h"

class QComboBox;
class QLabel;
class QListWidget;

namespace dyd::ui {

struct AppContext;
class DatabaseParametersWindow;
class ImageButton;
class NewUserWindow;

class LoginWindow final : public KeyedDialog {
    Q_OBJECT
  public:
    explicit LoginWindow(AppContext& context, QWidget* parent = nullptr);

    // The windows it opens (the program's, made when first asked for); without them it makes its
    // own when first needed.
    void SetNewUserWindow(std::function<NewUserWindow*()> window) {
        newUserProvider_ = std::move(window);
    }
    void SetParametersWindow(std::function<DatabaseParametersWindow*()> window) {
        parametersProvider_ = std::move(window);
    }
    // Receives the progress of the loading (title in UTF-8, position 0..100); the first report
    // comes once this window is hidden.
    void SetProgress(LoginProgress progress) { progress_ = std::move(progress); }

    // What the login gave: the main menu's picture or label, the load log.
    const LoginResult& loginResult() const { return result_; }
    // What the reading ahead added for the main menu (its picture), handed over once.
    std::any TakeReadAheadExtra() { return std::exchange(result_.extra, std::any{}); }
    // Once the main menu has taken the login: the window gives back its picture, the image of
    // its pixels kept for the screen and the load log, until it is shown again.
    void ReleaseUntilShown();
    // The login found no parameters file: the program must end.
    bool mustEnd() const { return mustEnd_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void FillNames();
    void FillDatabases();
    void UpdateOkButton();
    // Reads ahead for the chosen learner and course, from the first paint on.
    void ReadAhead();
    // Esc, Enter and F1 of the window; false for other keys.
    void NewLearner();
    void LogIn();
    // A damaged repetition file or history found at the login: offers its newest good copy.
    void OfferCopies();

    AppContext& context_;
    QImage background_;  // as its file gives it: painted as it is, never converted
    UserList users_;
    bool userLinesSaid_ = false;  // the skipped lines of usr.t are said once a run
    DatabaseList databases_;
    LoginProgress progress_;
    LoginResult result_;
    bool mustEnd_ = false;
    bool painted_ = false;
    LoginReadAhead readAhead_;

    QListWidget* names_;
    QComboBox* databaseBox_;
    ImageButton* okButton_;
    ImageButton* newUserButton_;
    ImageButton* closeButton_;
    std::function<NewUserWindow*()> newUserProvider_;
    std::function<DatabaseParametersWindow*()> parametersProvider_;
    NewUserWindow* newUser_ = nullptr;
    DatabaseParametersWindow* parameters_ = nullptr;
};

}  // namespace dyd::ui
