#pragma once

// The runner's hold-to-record button and its 15-second limit as Qt objects. The button passes
// the pointer's enter and leave and the mouse buttons on to its owner; the timer fires once.

#include <QLabel>
#include <QObject>
#include <QPixmap>
#include <QTimer>
#include <functional>

#include "sound/hold_to_record.h"

namespace dyd::ui {

// K_nagraj: shows one of its pictures, or its text when a picture is empty. Reached with Tab,
// the space bar held down is the mouse button held down.
class RecordButton final : public QLabel {
    Q_OBJECT
  public:
    RecordButton(const QString& name, const QString& text, QWidget* parent);

    // Shows the picture and paints it at once.
    void ShowPicture(const QPixmap& picture);

  signals:
    void entered();
    void left();
    void pressed(dyd::PointerButton button);
    void released();

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    QString text_;
};

// Timer1: the recording's time limit, a single shot that calls its handler.
class RecordLimitTimer final : public QObject, public RecordTimer {
    Q_OBJECT
  public:
    explicit RecordLimitTimer(QObject* parent);

    void SetHandler(std::function<void()> handler) { handler_ = std::move(handler); }
    void Start(int ms) override;
    void Stop() override;

    bool isActive() const { return timer_.isActive(); }
    int interval() const { return timer_.interval(); }
    // Ends the wait now, as if the time had run out.
    void Fire();

  private:
    QTimer timer_;
    std::function<void()> handler_;
};

// The pictures of the record button: idle, recording and under the pointer.
QPixmap RecordButtonPicture(RecordPicture state, const QString& text, const QFont& font);

}  // namespace dyd::ui
