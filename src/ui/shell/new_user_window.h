#pragma once

// TForm10, the new-learner window: one name field and its OK button, shown while the trimmed name
// has at least 2 characters. The name is added to the learner list (usr.t) or refused with a
// message in the shared message box.

#include <QDialog>
#include <QPixmap>

#include "core/users.h"

class QLabel;
class QLineEdit;

namespace dyd::ui {

struct AppContext;
class ImageButton;

class NewUserWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit NewUserWindow(AppContext& context, QWidget* parent = nullptr);

    // Shows the window modally with an empty field; true when a learner was added to list (and
    // to usr.t).
    bool AddLearner(UserList& list);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void UpdateOkButton();
    void Confirm();

    AppContext& context_;
    QPixmap background_;
    QLineEdit* edit_;
    ImageButton* okButton_;
    ImageButton* closeButton_;
    UserList* list_ = nullptr;
};

}  // namespace dyd::ui
