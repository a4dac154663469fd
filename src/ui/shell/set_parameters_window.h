#pragma once

// TForm15, the parameters of an exercise set about to be saved: its name, the thematic group it
// is filed under and its level. The editor and the browser ask with it before they save a set of
// units. The group chosen last stays chosen at the next opening while it still exists.

#include <QDialog>
#include <QPixmap>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;

namespace dyd::ui {

struct AppContext;
class ImageButton;

struct SetParameters {
    std::string name;  // trimmed, Windows-1250 bytes as the set files hold them
    int groupId = 0;
    int level = 1;  // 1..4
};

class SetParametersWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit SetParametersWindow(AppContext& context, QWidget* parent = nullptr);

    // Shows the dialog modally over the groups of the open database. The confirmed parameters;
    // nothing when the learner closed the dialog.
    std::optional<SetParameters> Ask();

    // What Ask does before the dialog runs: the group list, the name cleared.
    void Prepare();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Confirm();
    bool TypeNationalKey(const QKeyEvent* event);

    AppContext& context_;
    QPixmap background_;
    QLineEdit* name_;
    QComboBox* group_;
    QComboBox* level_;
    ImageButton* okButton_;
    ImageButton* closeButton_;
    std::vector<int> groupIds_;
    int lastGroupId_ = -1;  // the group chosen at the previous opening
    std::optional<SetParameters> result_;
};

}  // namespace dyd::ui
