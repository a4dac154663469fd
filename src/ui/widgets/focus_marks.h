#pragma once

// The keyboard focus shown on every control. Buttons, fields and boxes draw it themselves; the
// controls whose own drawing does not show it (lists, drop-down boxes, texts to scroll, labels
// that are clicked) get a dotted frame around them while they have it, the same frame the image
// buttons draw.

class QLabel;
class QObject;

namespace dyd::ui {

// Watches the application's focus from now on; call it once, before the windows are made.
void MarkFocusedControls(QObject* owner);

// A label that does its work when clicked: Tab reaches it, and Enter or the space bar clicks it
// (its window handles the click as it handles the mouse's).
void ClickWithKeys(QLabel* label);

}  // namespace dyd::ui
