#pragma once

// TForm22, the backdrop: a black window over the whole screen that takes no input and stays
// behind every other window of the program for the whole run. On X11 the server fills it with its
// black background pixel, so the window holds no image of the screen's size and is never painted
// by us; elsewhere it paints itself black.

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
    QPaintEngine* paintEngine() const override;

  private:
    bool serverPainted_ = false;
};

}  // namespace dyd::ui
