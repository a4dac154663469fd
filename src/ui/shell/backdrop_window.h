#pragma once

// TForm22, the backdrop: a black window over the whole screen that takes no input and stays
// behind every other window of the program for the whole run.

#include <QWidget>

namespace dyd::ui {

class BackdropWindow final : public QWidget {
    Q_OBJECT
  public:
    explicit BackdropWindow(QWidget* parent = nullptr);

    // Covers the whole screen the window is on.
    void ShowOverScreen();

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace dyd::ui
