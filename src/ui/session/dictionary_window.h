#pragma once

// TForm26, the units picked in the dictionary: opened once at the main menu's first activation
// when the learner's list file exists. It lists the picked units (codes the course lacks are
// left out and said), lets the learner drop entries with Delete and learn the rest at once in a
// session of their own. Closing removes the list file unless "zachowaj do następnego
// uruchomienia programu" is ticked; a file that could not be read stays, and the learner is
// told so.

#include <QPixmap>
#include <string>

#include "session/dictionary_units.h"
#include "ui/widgets/keyed_dialog.h"

class QCheckBox;
class QLabel;
class QListWidget;

namespace dyd::ui {

struct AppContext;
class ImageButton;
class MessageBox;
class PlanWindow;

class DictionaryWindow final : public KeyedDialog {
    Q_OBJECT
  public:
    DictionaryWindow(AppContext& context, PlanWindow* planWindow, QWidget* parent = nullptr);

    void SetMessageBox(MessageBox* messages) { messages_ = messages; }

    // Reads the learner's list file and shows the window modally; a missing file opens nothing,
    // one that cannot be read gives a message and stays where it is.
    void ShowDictionaryUnits();

    const DictionaryUnits& units() const { return units_; }

  public slots:
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Fill(int selected);
    void RemoveSelected();
    void Learn();
    void ShowMessage(const std::string& text);

    AppContext& context_;
    PlanWindow* planWindow_;
    MessageBox* messages_ = nullptr;
    QPixmap background_;
    DictionaryUnits units_;
    std::string listPath_;
    bool listTaken_ = false;  // the file was read: closing may remove it

    QLabel* title_;
    QLabel* count_;
    QLabel* leftOut_;
    QListWidget* list_;
    QCheckBox* keep_;
    QLabel* keepLabel_;
    ImageButton* learnButton_;
    ImageButton* closeButton_;
};

}  // namespace dyd::ui
