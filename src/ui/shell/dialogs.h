#pragma once

// The three small modal windows that carry the program's own messages and questions: the message
// box, the confirmation dialog and the yes/no dialog that asks whether to end the program. Each
// is created once and reused (set the text, exec()); the static calls make a passing one for
// callers that hold none.

#include <QDialog>
#include <QPixmap>
#include <QString>

class QLabel;

namespace dyd::ui {

struct AppContext;
class ImageButton;

// TForm20: a word-wrapped text and a close button. A click anywhere, Esc, Space or Enter closes
// it; F1 opens the help at its start page.
class MessageBox final : public QDialog {
    Q_OBJECT
  public:
    explicit MessageBox(AppContext& context, QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString text() const;
    // Sets the text and shows the box modally.
    void ShowMessage(const QString& text);

    static void Show(AppContext& context, const QString& text, QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    AppContext& context_;
    QPixmap background_;
    QLabel* label_;
    ImageButton* okButton_;
};

// TForm29: a question, a confirm button and a close button. The answer is true only after the
// confirm button (or Enter); the close button, Esc and closing otherwise make it false.
class ConfirmationDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit ConfirmationDialog(AppContext& context, QWidget* parent = nullptr);

    void SetQuestion(const QString& question);
    QString question() const;
    // Sets the question, shows the dialog modally and returns the answer.
    bool Ask(const QString& question);
    bool confirmAnswer() const { return answer_; }

    static bool Confirm(AppContext& context, const QString& question, QWidget* parent = nullptr);

  public slots:
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Answer(bool yes);

    QPixmap background_;
    QLabel* label_;
    ImageButton* okButton_;
    ImageButton* closeButton_;
    bool answer_ = false;
};

// TForm24: the question whether to end the program (held by its picture), a yes and a no button.
// Esc answers no.
class YesNoDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit YesNoDialog(AppContext& context, QWidget* parent = nullptr);

    // Clears the answer, shows the dialog modally and returns the answer.
    bool Ask();
    bool yesAnswer() const { return answer_; }

    static bool AskYesNo(AppContext& context, QWidget* parent = nullptr);

  public slots:
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Answer(bool yes);

    QPixmap background_;
    QLabel* question_;  // shown only when the picture with the question is missing
    ImageButton* yesButton_;
    ImageButton* noButton_;
    bool answer_ = false;
};

}  // namespace dyd::ui
