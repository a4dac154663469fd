#pragma once

// TForm32, the parameters of a course database: creates a learner-made database (from the login)
// or edits the parameters of the open one (from the settings). Nothing is written until every
// check has passed; closing without OK leaves nothing behind.

#include <QDialog>
#include <QPixmap>
#include <string>

#include "core/database.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace dyd::ui {

struct AppContext;
class ImageButton;

class DatabaseParametersWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit DatabaseParametersWindow(AppContext& context, QWidget* parent = nullptr);

    // Shows the window modally for a new, learner-made database under programDir. True when it
    // was created (its folder and parameters file); createdCode() then names it.
    bool CreateNew();
    const std::string& createdCode() const { return createdCode_; }

    // Shows the window modally with the parameters of the open database (context.session);
    // OK changes them in memory and writes them. True when saved.
    bool EditOpen();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void ShowValues(const DatabaseParameters& params);
    void SetLearnerMade(bool learnerMade);
    // Takes the controls into params; false (and a message shown) when a text does not fit the
    // code page.
    bool TakeValues(DatabaseParameters& params);
    void Confirm();
    void Refuse(const QString& message);

    AppContext& context_;
    QPixmap background_;
    bool creating_ = false;
    DatabaseParameters newParams_;
    std::string createdCode_;

    QLineEdit* code_;
    QLineEdit* title_;
    QLineEdit* author_;
    QComboBox* language_;
    QComboBox* nativeLanguage_;
    QComboBox* charset_;
    QLineEdit* recordings_;
    QCheckBox* discLetter_;
    QCheckBox* plural_;
    QCheckBox* caseSensitive_;
    QCheckBox* learningMode2_;
    QLabel* recordingsLabel_;
    QLabel* nativeLabel_;
    ImageButton* okButton_;
    ImageButton* closeButton_;
};

}  // namespace dyd::ui
