#pragma once

// The small white window that shows the learner's own answer over the runner (F5). It does not
// block the runner and goes away on Escape, Enter, its close button, or as soon as the learner
// works elsewhere (it loses the focus).

#include <QWidget>
#include <string>

class QLabel;

namespace dyd::ui {

struct AppContext;
class ImageButton;

// Give it the runner window as parent: a window outside the modal runner would not get the
// learner's keys while the runner runs.
class AnswerPopup final : public QWidget {
    Q_OBJECT
  public:
    explicit AnswerPopup(AppContext& context, QWidget* parent = nullptr);

    // Shows the answer and takes the focus; returns at once.
    void ShowAnswer(const QString& answer);
    // The same for an answer in bytes of the database's code page.
    void ShowAnswerBytes(const std::string& answer);
    QString answerText() const;

  protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    AppContext& context_;
    QLabel* answer_;
    ImageButton* closeButton_;
};

}  // namespace dyd::ui
