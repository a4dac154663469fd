#pragma once

// The example-sentences window: a marked-up text of sentences in the example style, whose sound
// icons play a sentence's recording and whose translation icons show its translation, and a
// search over all sentence units of the course database. The runner opens it with the example
// sentences of the current word.

#include <QDialog>
#include <QPixmap>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace dyd::ui {

struct AppContext;
class ImageButton;
class MarkupView;

class ExamplesWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit ExamplesWindow(AppContext& context, QWidget* parent = nullptr);

    // Shows the text (bytes in the example markup and the database's code page) modally;
    // searchText (bytes of a foreign text, empty for none) waits in the search field.
    void ShowExamples(const std::string& text, const std::string& searchText);
    // What ShowExamples does before the window runs: the text, the search field, the icons.
    void Prepare(const std::string& text, const std::string& searchText);

    // Runs the search over the sentence units with the search field's text.
    void Search();
    // Plays the next sound icon inside the box (right arrow, G).
    void PlayNextSound();

    // Told of every recording the window plays: the unit number and the file (empty when the
    // unit's recording cannot be found), also when there is no sound output.
    void SetPlayedHook(std::function<void(int unit, const std::string& path)> hook) {
        playedHook_ = std::move(hook);
    }

    const std::string& textBytes() const { return text_; }
    int playCursor() const { return playCursor_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void SetText(const std::string& text);
    void OpenSearchField();
    void IconClicked(const QString& token);
    void Play(int unit);
    void ResetPlayCursor() { playCursor_ = 1; }
    // The unit numbers of the sound icons that lie inside the box, in drawing order.
    std::vector<int> SoundUnitsInside() const;

    AppContext& context_;
    QPixmap background_;
    MarkupView* box_;
    QLabel* textHolder_;
    QLabel* translation_;
    QPushButton* searchButton_;
    QLineEdit* searchField_;
    QPushButton* showButton_;
    ImageButton* upButton_;
    ImageButton* downButton_;
    ImageButton* okButton_;
    std::string text_;
    int playCursor_ = 1;
    std::function<void(int unit, const std::string& path)> playedHook_;
};

}  // namespace dyd::ui
