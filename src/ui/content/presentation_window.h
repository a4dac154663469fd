#pragma once

// TForm33, the presentation: a slide show over the rows of the session plan, opened from the plan
// window. It shows a unit's foreign text, plays its recording and waits for it, shows the
// translation after a pause and goes on by itself; past the last row it closes. A click on the
// foreign text plays the recording again, one on the translation goes on at once. The options
// panel changes the pauses and the background and stores them in the settings. Closing in any
// way stops the timer and the sound.

#include <QPixmap>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "content/presentation.h"
#include "ui/widgets/keyed_dialog.h"

class QComboBox;
class QFrame;
class QLabel;

namespace dyd::ui {

struct AppContext;
class ImageButton;

// Timer1, the show's single-shot timer.
class PresentationTimerObject final : public QObject, public PresentationTimer {
    Q_OBJECT
  public:
    explicit PresentationTimerObject(QObject* parent);
    void SetHandler(std::function<void()> handler) { handler_ = std::move(handler); }
    void Start(int ms) override;
    void Stop() override;
    bool isActive() const { return timer_.isActive(); }
    int interval() const { return timer_.interval(); }
    // Ends the pause now, as if its time had run out.
    void Fire();

  private:
    QTimer timer_;
    std::function<void()> handler_;
};

class PresentationWindow final : public KeyedDialog, private PresentationView {
    Q_OBJECT
  public:
    explicit PresentationWindow(AppContext& context, QWidget* parent = nullptr);
    ~PresentationWindow() override;

    // Runs the show over the session plan modally.
    void ShowPresentation();

    const PresentationShow& presentation() const { return *show_; }
    // The recording last played (empty for a unit without one) and what the sound library said
    // of it (empty when it played).
    const std::string& lastRecording() const { return lastRecording_; }
    const std::string& lastSoundError() const { return lastSoundError_; }

  public slots:
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void ShowUnit(int unitNumber) override;
    void PlayAndWait(int unitNumber) override;
    void ShowTranslation(int unitNumber) override;
    void Finished() override;

    void Prepare();
    void ApplyBackground();
    void OpenOptions();
    void CloseOptions(bool store);
    void PlayAgain();
    void StopSound();

    AppContext& context_;
    PresentationTimerObject* timer_;
    std::unique_ptr<PresentationShow> show_;
    QPixmap picture_;
    int unitNumber_ = 0;
    std::string lastRecording_;
    std::string lastSoundError_;

    QLabel* image_;
    QLabel* foreign_;
    QLabel* translation_;
    ImageButton* optionsButton_;
    ImageButton* closeButton_;
    QFrame* panel_;
    QComboBox* translationDelay_;
    QComboBox* nextDelay_;
    QComboBox* background_;
    ImageButton* confirmButton_;
    ImageButton* closeOptionsButton_;
};

}  // namespace dyd::ui
