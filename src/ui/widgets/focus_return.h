#pragma once

// When a small window over another closes, the window below takes the keyboard focus back: it
// is activated again (on X11 that sets the input focus itself, so it works without a window
// manager, which would otherwise leave the keys to nobody) and its focus goes back to the
// control that had it, or to the window itself when that control no longer shows. The window
// below is the one that had the keyboard focus when the small window showed; when none had
// it, the modal window below, else the parent's window. Nothing is taken back when another
// window already has the focus (the learner clicked into it).

class QWidget;

namespace dyd::ui {

// Makes the window hand the keyboard focus back whenever it hides; call it once, when the
// window is built.
void ReturnFocusOnClose(QWidget* window);

// Activates the window and gives the focus to its own focus control when that still shows and
// takes keys, else to the window.
void TakeFocusBack(QWidget* window);

}  // namespace dyd::ui
