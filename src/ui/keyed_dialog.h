#pragma once

// A dialog whose keys are its own: every key press, whichever control has the focus, first goes
// to HandleKey (Escape, Enter for the main button, F1 and the like), and only the keys it leaves
// reach the control. Controls that should pass their keys to the window install the window as
// their event filter.

#include <QDialog>

class QKeyEvent;

namespace dyd::ui {

class KeyedDialog : public QDialog {
    Q_OBJECT
  public:
    using QDialog::QDialog;

  protected:
    // True when the window used the key.
    virtual bool HandleKey(int key) = 0;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace dyd::ui
