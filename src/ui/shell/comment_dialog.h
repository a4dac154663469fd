#pragma once

// The text prompt, also the comment dialog: a prompt, one edit field with a limit the caller
// sets, a confirm and a close button. The learner's comment on a unit and the name of a new
// thematic group are asked with it. Ctrl + a letter types the national characters of the
// course language, as in the answer fields of the runner.

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "core/codepage.h"

class QLabel;
class QLineEdit;

namespace dyd::ui {

struct AppContext;
class ImageButton;

class CommentDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit CommentDialog(AppContext& context, QWidget* parent = nullptr);

    // Shows the prompt and the text (at most limit characters) modally. The confirmed text,
    // trimmed; nothing when the learner closed the dialog, so that the caller keeps its text.
    std::optional<QString> Ask(const QString& prompt, const QString& text, int limit);

    // The same over bytes in the given code page: a typed character the code page cannot hold
    // is refused with a message and the dialog stays open.
    std::optional<std::string> AskBytes(const QString& prompt, std::string_view text, int limit,
                                        CodePage page = CodePage::Cp1250);

    // What Ask does before the dialog runs (the prompt, the text, the limit, the buttons).
    void Prepare(const QString& prompt, const QString& text, int limit);

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
    QLabel* prompt_;
    QLineEdit* edit_;
    ImageButton* okButton_;
    ImageButton* closeButton_;
    std::optional<CodePage> bytesPage_;  // set while AskBytes runs
    std::optional<QString> result_;
    std::string resultBytes_;
};

}  // namespace dyd::ui
