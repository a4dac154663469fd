#pragma once

// TForm14, the progress window: a small window that stays above the others while something long
// runs (the login, saving the repetitions), with a status text in its title band and a bar 0..100.

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace dyd::ui {

class ProgressWindow final : public QWidget {
    Q_OBJECT
  public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    // Shows the window with the text, the bar at 80, painted at once.
    void ShowWithText(const QString& text);
    // The status text and the bar's position; the window is painted at once when it is shown.
    void SetTitle(const QString& text);
    void SetPosition(int position);
    // A progress report of the login: the title and the position, the window shown if hidden.
    void Report(const QString& text, int position);

    QString title() const;
    int position() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void PaintNow();

    QLabel* title_;
    QProgressBar* bar_;
};

}  // namespace dyd::ui
