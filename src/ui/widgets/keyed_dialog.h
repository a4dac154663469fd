#pragma once

// A dialog whose keys are its own: every key press, whichever control has the focus, first goes
// to HandleKey, and only the keys it leaves reach the control. Controls that should pass their
// keys to the window install the window as their event filter. The keys most windows share are
// set once with SetKeys: Escape closes, Enter runs the main action while its button shows, F1
// opens the window's help page. When the dialog closes, the window below takes the keyboard
// focus back (focus_return.h).

#include <QDialog>
#include <QString>
#include <functional>

class QKeyEvent;

namespace dyd::ui {

struct AppContext;

struct DialogKeys {
    const AppContext* context = nullptr;  // its help viewer opens the help page
    QString helpPage;                     // none: F1 does nothing here
    bool escapeAccepts = false;           // Escape closes with accept() instead of reject()
    const QWidget* mainButton = nullptr;  // Enter runs main only while this button shows
    std::function<void()> main;           // none: Enter does nothing (and is not passed on)
};

class KeyedDialog : public QDialog {
    Q_OBJECT
  public:
    explicit KeyedDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

  protected:
    void SetKeys(DialogKeys keys) { keys_ = std::move(keys); }

    // True when the window used the key; by default the keys of SetKeys.
    virtual bool HandleKey(int key);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    DialogKeys keys_;
};

}  // namespace dyd::ui
