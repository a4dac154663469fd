#pragma once

// TForm3, the import of repetitions from another account: of an earlier edition of the program
// (2001, 4.0) installed in a folder the learner names, or of this installation (5.0). It lists
// the accounts of the installation, and takes the chosen account's repetition records (and, when
// asked, the learner units of that installation) into the open database and account. Opened
// modally from the settings screen.

#include <QPixmap>
#include <optional>
#include <string>
#include <vector>

#include "core/repetition_import.h"
#include "ui/widgets/keyed_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;

namespace dyd::ui {

struct AppContext;
class ImageButton;
class ProgressWindow;

class ImportWindow final : public KeyedDialog {
    Q_OBJECT
  public:
    explicit ImportWindow(AppContext& context, QWidget* parent = nullptr);

    // The shared progress window; without one the window makes its own when it needs it.
    void SetProgressWindow(ProgressWindow* progress) { progress_ = progress; }

    // Shows the window modally in its starting state. True when repetition records or learner
    // units were taken over (the repetition records are then saved to the live file).
    bool Run();

  protected:
    bool HandleKey(int key) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Reset();
    Edition ChosenEdition() const;
    // K_Pokaz: finds the installation and lists its accounts.
    void ShowAccounts();
    // The folder of an earlier edition, as the learner names it; none when he declines (the
    // window then closes) or cancels the choice (the window stays).
    std::optional<std::string> AskForFolder(Edition edition, bool* declined);
    void AccountChosen(int row);
    // k_importuj.
    void Import();
    ProgressWindow* Progress();

    AppContext& context_;
    QPixmap background_;
    ProgressWindow* progress_ = nullptr;
    ProgressWindow* ownProgress_ = nullptr;
    std::string sourceFolder_;
    Edition edition_ = Edition::E40;
    std::vector<ImportAccount> accounts_;
    std::vector<std::string> databaseCodes_;  // of ListBox2, 5.0 only
    bool imported_ = false;

    QComboBox* version_;
    ImageButton* showButton_;
    QLabel* prompt_;
    QListWidget* accountList_;
    QComboBox* databaseList_;
    QCheckBox* learnerUnits_;
    QLabel* learnerUnitsLabel_;
    QCheckBox* keep_;
    QLabel* keepLabel_;
    QLabel* warning_;
    ImageButton* importButton_;
    ImageButton* closeButton_;
};

}  // namespace dyd::ui
