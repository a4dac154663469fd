#pragma once

// TForm1, the main menu and main window: the menu picture with its image buttons and clickable
// labels. It is shown after the login and stays until the program ends; closing it saves the
// learner's state. The windows that its entries open join through MainMenuActions as they are
// built; an entry whose window is not there does nothing.

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/login.h"

namespace dyd::ui {

struct AppContext;
class ImageButton;
class MessageBox;
class ProgressWindow;
class YesNoDialog;

inline constexpr const char* kHelpHintText =
    "Wybierając klawisz F1 wywołasz pomoc do programu. Koniecznie przeczytaj \"Pomoc - Ważne "
    "informacje\".";
inline constexpr const char* kTooFewUnitsText =
    "Uruchomienie nauki nie jest możliwe (wprowadzono mniej niż 10 jednostek)!";
inline constexpr int kMinUnitsToLearn = 10;

// The windows the menu opens, set once they exist.
struct MainMenuActions {
    std::function<void()> learning;         // btn_cwiczenia: new material and repetitions (modal)
    std::function<void()> results;          // btn_wyniki: the set chooser, results view
    std::function<void()> exerciseSets;     // K_cwiczenia: the set chooser, sets view
    std::function<void()> newUnit;          // k_nowe_slowko: the unit editor for a new unit
    std::function<void()> browser;          // L_Przegladaj
    std::function<void()> settings;         // btn_ustawienia
    std::function<void()> dictionaryUnits;  // the units handed over in slow.txt (first activation)
};

// Units that a learning session can draw: words and question/answer items.
int LearnableUnitCount(const UnitTable& units);

// What closing the menu writes: the settings (unless their file could not be read at the
// login), then, when there are repetition records, the repetition backup and the copy of the
// exercise history. Returns the messages for the learner (UTF-8), empty when everything was
// written.
std::vector<std::string> SaveLearnerStateAtExit(LearnerSession& session, const Clock& clock);

// A label that acts as a menu entry: pointing hand, clicked on release over it.
class MenuLabel final : public QLabel {
    Q_OBJECT
  public:
    MenuLabel(const QString& name, const QString& text, QWidget* parent);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// The little animation that plays while the mouse is over a menu button: a row of dots that
// light one after another.
class DotAnimation final : public QWidget {
    Q_OBJECT
  public:
    explicit DotAnimation(QWidget* parent = nullptr);
    void Start();
    void Stop();
    bool running() const { return timer_.isActive(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QTimer timer_;
    int step_ = 0;
};

class MainMenuWindow final : public QWidget {
    Q_OBJECT
  public:
    explicit MainMenuWindow(AppContext& context, QWidget* parent = nullptr);

    void SetDialogs(MessageBox* messages, YesNoDialog* yesNo);
    // The same, made when first needed.
    void SetDialogs(std::function<MessageBox*()> messages, std::function<YesNoDialog*()> yesNo);
    void SetProgressWindow(ProgressWindow* progress) { progress_ = progress; }
    void SetActions(MainMenuActions actions) { actions_ = std::move(actions); }
    // Decodes the common background picture unless the database's own took its place; done at
    // the first paint at the latest, and by the start-up while the login waits for the learner.
    void PreparePictures();
    // Where web addresses go (the system's browser by default).
    void SetExternalOpener(std::function<bool(const QUrl&)> opener) {
        openExternal_ = std::move(opener);
    }

    // After the login: the database's own menu picture, or the title and author in L_nazwa.
    // early: the course's own menu picture as the login read it ahead (a QImage), if it did.
    void ApplyLogin(const LoginResult& result, std::any early = {});
    // Shows or hides K_cwiczenia by the exercise catalogue.
    void UpdateExerciseSetsButton();

    // Whether closing has saved the learner's state (once per run).
    bool stateSaved() const { return stateSaved_; }

  signals:
    // The menu closed and the learner's state was saved: the program ends.
    void finished();

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    ImageButton* AddButton(const char* name, int image, int tag, QPoint topLeft,
                           const QString& text);
    MenuLabel* AddLabel(const char* name, const QString& text, const QRect& area,
                        Qt::Alignment alignment);
    void Activated();
    void ShowHelpHint();
    void HoverChanged(int tag, bool hovered);
    void ShowMessage(const QString& text);
    void Learning();
    void ExerciseSets();
    void Run(const std::function<void()>& action);
    void Help(const QString& page);
    void AskToClose();

    AppContext& context_;
    MainMenuActions actions_;
    std::function<MessageBox*()> messages_;
    std::function<YesNoDialog*()> yesNo_;
    ProgressWindow* progress_ = nullptr;
    std::function<bool(const QUrl&)> openExternal_;

    // Kept as the file gives it (three bytes a pixel for the usual bitmaps): the menu stays open
    // all session, and Qt converts the parts it paints.
    QImage background_;
    bool backgroundPending_ = true;  // the common picture, not decoded yet
    bool firstActivationDone_ = false;
    bool hintPending_ = false;
    bool stateSaved_ = false;

    ImageButton* repetitionsButton_;
    ImageButton* learningButton_;
    ImageButton* resultsButton_;
    ImageButton* newUnitButton_;
    ImageButton* setsButton_;
    ImageButton* closeButton_;
    QLabel* nameLabel_;
    QLabel* hint_;
    DotAnimation* animation_;
};

}  // namespace dyd::ui
